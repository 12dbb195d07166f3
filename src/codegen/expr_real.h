// Folding of REAL constants: arithmetic and comparisons with a REAL operand, and the
// REAL standard functions of constant arguments.
#pragma once

#include <optional>

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;

// The constant result of an operator node whose operands are both constants and at
// least one of them REAL (or "/" of two integers); nothing when it is not folded.
[[nodiscard]] ExprPtr foldRealOperation(Compilation& c, const ExprNode& node);

// The value of an integer or REAL constant leaf as a number.
[[nodiscard]] std::optional<double> numericValue(const ExprNode& leaf);
// A REAL constant leaf of the value.
[[nodiscard]] ExprPtr makeRealConstantOf(Compilation& c, double value);

}  // namespace vorax
