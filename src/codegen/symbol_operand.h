// The assembler label of a named leaf: a routine, a typed constant, or a finished text.
#pragma once

#include <string>

#include "codegen/expr_node.h"

namespace vorax {

// "\" + lower-cased name for standard routines; the bare name for external and interface
// routines and for names that carry their own line or none; "\NAME" for typed constants
// of the main level; otherwise NAME.line, so that equal names declared on different
// lines get different labels.
[[nodiscard]] std::string symbolOperand(const ExprNode& leaf);

}  // namespace vorax
