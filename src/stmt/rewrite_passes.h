// Rewriting passes that control statements run over their own finished code while it is
// still in the window. Each takes window positions found through the statement's marker
// lines and keeps the meaning of the code: where it cannot be sure, it leaves the lines
// as they are.
#pragma once

#include <string_view>
#include <vector>

namespace vorax {

class Compilation;

// Lines [begin, end) of the window.
struct LineRange {
  int begin = 0;
  int end = 0;
};

// Moves loads of constants and frame variables, and register clears, that the loop
// repeats to no purpose in front of the loop; the loop's lines are [loopStart, newest].
// Returns how many lines moved.
int hoistLoopInvariants(Compilation& c, int loopStart);

// On the end label of an IF with ELSE or of a CASE: "bra end" lines give their own labels
// up to the end label, and identical runs of lines in front of different "bra end" lines
// are kept once, the others branching to it.
void threadBranches(Compilation& c, std::string_view endLabel);

// Instructions that stand identically at the start of every arm move once in front of
// the condition code [condition.begin, condition.end). Returns how many lines moved.
// `laterCode`, when not empty, is code that runs after the moved lines and before the arms
// as well (a CASE's dispatch, which stands behind its arms): the moved lines must be
// independent of it too.
int mergeArms(Compilation& c, LineRange condition, const std::vector<LineRange>& arms,
              LineRange laterCode = {});

// Loads at the start of the else arm that repeat the first loads of the condition code
// [condition.begin, condition.end) are dropped: the values are still in their registers
// when the condition branches to the else arm. Returns how many lines went.
int reuseConditionLoadsInElse(Compilation& c, LineRange condition, int elseStart);

// Stores in [range.begin, range.end) (condition and then-part of an IF without ELSE) that
// repeat the last store into the same frame slot before `range.begin`, with nothing
// between changing the slot or the stored register, are dropped. Returns how many went.
int dropRepeatedStores(Compilation& c, LineRange range);

// The store of a WITH's record address into `slot`, the first such store from line
// `from` on, is deleted when no line reads the slot. Returns whether it was deleted.
bool dropUnreadSlotStore(Compilation& c, int from, std::string_view slot);

}  // namespace vorax
