// Passes over the lines of a finished FOR statement: the control variable kept in a
// register for the whole loop (and the count-down loop it allows), and the pushed end
// value kept in a register instead.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorax {

class Compilation;
class PeepholeWindow;

// What the passes know about one FOR loop once its markers are looked up.
struct ForLoopLines {
  int initFrom = 0;      // the store of the initial value is the first such store from here on
  int body = 0;          // first line of the body
  int bodyEnd = 0;       // the marker line after the body: the step and the test follow it
  std::string variable;  // the control variable's operand
  std::string suffix;    // ".b", ".w" or ".l"
  bool downTo = false;
  // Both bounds constant: their values, which allow the count-down loop.
  std::optional<std::int64_t> constantStart;
  std::optional<std::int64_t> constantEnd;
};

// The first of r0..r5 that no line from `first` to the newest names or changes and that
// no one holds (in use, locked, a WITH base). Empty when there is none.
[[nodiscard]] std::string findUnusedRegister(Compilation& c, int first);

// True when a line from `first` to `last` (inclusive) calls a routine.
[[nodiscard]] bool callsBetween(Compilation& c, int first, int last);

// Keeps a frame variable in a free register for the whole loop. Returns whether it did.
bool promoteLoopVariable(Compilation& c, const ForLoopLines& loop);

// Deletes the constant load into `startRegister` in front of line `init` (the initial store
// of a loop counter that no longer reads it), when every path from `init` sets the
// register again, as wide as the load did, before reading it.
void dropStartLoad(PeepholeWindow& w, int init, const std::string& startRegister);

// A counter the body reads only through copies scaled by one element size (shal.l, or
// mulxs.w / mulxu.w by a constant, or extu.l / exts.l) counts in scaled units instead:
// start, step and end are scaled and the scaling lines leave the body. Only for the
// constant-bounds TO loop whose variable lives in a register ("inc.s #1,R / cmp.s #e,R /
// ble B" at its end) and that calls nothing. Returns whether it did.
bool reduceIndexScaling(Compilation& c, std::string_view body);

// The general form's pushed end value goes into a free register instead; `bodyLine` is the
// first line of the body. Returns whether it did.
bool keepEndValueInRegister(Compilation& c, int bodyLine);

}  // namespace vorax
