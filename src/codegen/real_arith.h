// REAL arithmetic: values are built on the machine stack by the runtime routines; the code
// generated here only pushes the operands and calls the routine of each operator.
#pragma once

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;

// Leaves both operands of a REAL operator node on the stack (left first), calls the
// routine of the operator and turns the node into a REAL runtime-result leaf.
void generateRealOperator(Compilation& c, ExprPtr& node);
// Pushes the value of a REAL variable; the leaf becomes a REAL runtime-result leaf with its
// pending negation done.
void loadRealLeaf(Compilation& c, ExprPtr& leaf);
// Flips the sign bit of the REAL on top of the stack.
void negateRealOnStack(Compilation& c);

}  // namespace vorax
