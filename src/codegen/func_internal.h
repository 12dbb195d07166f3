// Pieces shared by the generators of function calls: the generic call through a routine
// label, taking a result from r0, and the standard functions compiled in line.
#pragma once

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;
struct TypeDescriptor;

namespace func {
// A type cast standing where the length of a string is asked.
inline constexpr int kTypeCastInLength = 997;
}  // namespace func

// Pushes the arguments, calls the routine's label (with the I/O check when it is asked
// for) and leaves the result: r0 for ordinal, BOOLEAN and pointer results, the stack for
// REAL and STRING results. A REAL function gets its result slot first; the result area
// of a STRING function is reserved by the caller.
void generateGenericCall(Compilation& c, ExprPtr& callLeaf);

// The leaf becomes r0 holding a routine's result of `type`: every unlocked register is
// free again, nothing is remembered about r0, and r0 is now in use.
void takeResultInR0(Compilation& c, ExprNode& leaf, TypeDescriptor* type);

// The leaf becomes the REAL value a routine left on the stack; a minus still pending on
// the call is applied there by flipping the value's sign bit.
void takeRealResult(Compilation& c, ExprNode& leaf);

// The standard functions with instruction sequences of their own; false when the call
// is made through the generic call instead.
bool generateStandardFunction(Compilation& c, ExprPtr& callLeaf);

// LENGTH of a STRING expression, as a BYTE in a register or a constant.
void generateLength(Compilation& c, ExprPtr& callLeaf);

}  // namespace vorax
