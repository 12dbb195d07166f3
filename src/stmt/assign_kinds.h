// The stores of an assignment, one per kind of target. compileAssignment has parsed both
// sides, checked that they are compatible and picked the store by the target's type; each
// store consumes both trees.
#pragma once

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;
struct TypeDescriptor;

// Error numbers of the assignment stores.
inline constexpr int kTargetNotVariable = 27;
inline constexpr int kUnexpectedBitOperator = 941;
inline constexpr int kUnsupportedStringSource = 997;

// True when computing the target's address may call a routine (an index or a pointer
// on the way is computed by a call); loading its value is not part of that.
[[nodiscard]] bool targetAddressMayCall(const ExprNode& designator);

// INTEGER, BYTE, WORD, CHAR, LONGINT, the address type, subranges and enumerations:
// a register move, or a single bit instruction for x := x OR/AND/XOR mask.
void assignOrdinal(Compilation& c, ExprPtr& target, ExprPtr& source);
// The plain move of an ordinal value of `type`, in the order of evaluation that keeps a
// value held in a register safe from a routine call.
void assignPlainOrdinal(Compilation& c, ExprPtr& target, ExprPtr& source, TypeDescriptor* type);
void assignBoolean(Compilation& c, ExprPtr& target, ExprPtr& source);
void assignReal(Compilation& c, ExprPtr& target, ExprPtr& source);
void assignPointer(Compilation& c, ExprPtr& target, ExprPtr& source);
// Arrays and records.
void assignStructured(Compilation& c, ExprPtr& target, ExprPtr& source);
void assignString(Compilation& c, ExprPtr& target, ExprPtr& source);

}  // namespace vorax
