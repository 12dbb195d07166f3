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

// No path from line `start` on reads the condition flags before setting all of them.
bool flagsDeadFrom(RuleContext& context, int start);

// Some line other than `except` names `label` in an operand.
bool labelNamedElsewhere(const PeepholeWindow& window, std::string_view label, int except);

// Removes a local label from line `i` when nothing uses it any more.
void dropLabelIfUnused(PeepholeWindow& window, int i);

}  // namespace vorax::peephole
