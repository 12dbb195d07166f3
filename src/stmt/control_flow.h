// The pieces every control statement shares: the branch on a condition, and finding a
// marker line again once the statement's code is complete.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;


// Falls through when `condition` holds and branches to `falseLabel` otherwise. The label
// the condition's own jumps take when it holds is placed right after its code, when some
// jump uses it.
void jumpIfFalse(Compilation& c, ExprPtr& condition, std::string_view falseLabel);

// Where a marker line stood.
struct MarkerPosition {
  int markerLine = 0;  // the marker's own line, now an unlabelled "nop"
  int position = 0;    // the first line after it that carries code (the window's count when none)
};

// Finds the marker line labelled `marker` (newest first), turns a "bcx" marker into an
// unlabelled "nop", and moves the labels of the "nop" lines that follow onto the first
// line with code, so that the position returned is where the code the marker announced
// begins. A statement longer than the window, or one that an assembly include wrote out,
// finds its marker gone: nothing, and the statement's passes leave it as it is.
std::optional<MarkerPosition> lookupMarker(Compilation& c, std::string_view marker);

// Looks up every marker of a statement, so that none of them is left as a placeholder;
// their positions in order, or nothing when any of them has left the window.
std::optional<std::vector<MarkerPosition>> lookupMarkers(
    Compilation& c, std::initializer_list<std::string_view> markers);

// A new local label "$n".
[[nodiscard]] std::string newLocalLabel(Compilation& c);

// Emits a "nop" whose only purpose is to carry the pending label.
void emitLabelCarrier(Compilation& c);

}  // namespace vorax
