// BOOLEAN results as operands.
#pragma once

#include <string>

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;
struct TypeDescriptor;

// The operand text of an evaluated BOOLEAN leaf for a target of `targetType`: "#1"/"#0"
// for a constant, a register (complemented with "bnot" when a NOT is pending) for a
// register leaf, a value left on the stack or in the flags (ODD) taken into a register;
// a byte widened with "extu.w" for a two-byte target. Anything else is an internal error.
std::string booleanOperand(Compilation& c, ExprNode& leaf, const TypeDescriptor* targetType);

}  // namespace vorax
