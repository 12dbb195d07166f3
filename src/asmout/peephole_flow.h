// Questions about the control flow inside the window that several rules ask: is the
// value of a register or of the condition flags still read on some path from a line on?
// Both answers follow "bra" and conditional branches to their labels; whatever the window
// cannot show (its end, an unknown jump) counts as a read, so a rule that relies on a
// "dead" answer never changes what the program computes.
#pragma once

#include <string_view>

#include "asmout/peephole_rules.h"

namespace vorax::peephole {

// No path from line `start` on reads the low `width` bytes (1, 2 or 4) of register `reg`
// before overwriting them.
bool registerDeadFrom(RuleContext& context, int start, std::string_view reg, int width);

// Condition flags, as bits of a mask.
inline constexpr unsigned kFlagN = 1;
inline constexpr unsigned kFlagZ = 2;
inline constexpr unsigned kFlagV = 4;
inline constexpr unsigned kFlagC = 8;
inline constexpr unsigned kAllFlags = kFlagN | kFlagZ | kFlagV | kFlagC;
// What a move, a logical operation or a clear sets: N and Z from the result, V cleared;
// C keeps its earlier value.
inline constexpr unsigned kLogicFlags = kFlagN | kFlagZ | kFlagV;

// The flags an instruction sets from its own result (earlier values of them are dead
// after it), and the flags it reads.
unsigned flagsSetBy(std::string_view mnemonic);
unsigned flagsReadBy(std::string_view mnemonic);

// No path from line `start` on reads any of the flags in `flags` before setting it
// again. A rule that deletes a line asks this for the flags that line set.
bool flagsDeadFrom(RuleContext& context, int start, unsigned flags = kAllFlags);

// Some line other than `except` names `label` in an operand.
bool labelNamedElsewhere(const PeepholeWindow& window, std::string_view label, int except);

// Removes a local label from line `i` when nothing uses it any more.
void dropLabelIfUnused(PeepholeWindow& window, int i);

}  // namespace vorax::peephole
