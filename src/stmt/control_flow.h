// The pieces every control statement shares: the branch on a condition, and finding a
// marker line again once the statement's code is complete.
#pragma once

#include <string>
#include <string_view>

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;

// Internal consistency failure: a marker line is no longer in the window.
inline constexpr int kMarkerLost = 934;

// Falls through when `condition` holds and branches to `falseLabel` otherwise. The label
// the condition's own jumps take when it holds is placed right after its code, when some
// jump uses it.
void jumpIfFalse(Compilation& c, ExprPtr& condition, std::string_view falseLabel);

// Where a marker line stood.
struct MarkerPosition {
  int markerLine = 0;  // the marker's own line, now an unlabelled "nop"
  int position = 0;    // the first line after it that carries code (the window's count when none)
};

// Finds the marker line labelled `marker` (newest first; gone is internal error 934),
// turns a "bcx" marker into an unlabelled "nop", and moves the labels of the "nop" lines
// that follow onto the first line with code, so that the position returned is where the
// code the marker announced begins.
MarkerPosition lookupMarker(Compilation& c, std::string_view marker);

// A new local label "$n".
[[nodiscard]] std::string newLocalLabel(Compilation& c);

// Emits a "nop" whose only purpose is to carry the pending label.
void emitLabelCarrier(Compilation& c);

}  // namespace vorax
