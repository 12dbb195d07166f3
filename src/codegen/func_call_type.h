// The type of a standard function call whose routine declares no result type: ABS, SUCC
// and PRED have their argument's type, SQRT is REAL for a REAL argument and LONGINT
// otherwise. The parser types the call with it, so that the call can be used like any
// other operand of its type.
#pragma once

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;

// Gives a call leaf of such a standard function its type; other leaves are left alone.
void typeStandardCall(Compilation& c, ExprNode& call);

}  // namespace vorax
