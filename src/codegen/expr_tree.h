// Typing, unary flags and constant folding of expression trees: everything that turns a
// freshly parsed tree into the smallest equivalent one before code is generated.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;

// Constant leaves. An integer constant is typed INTEGER when its value lies in
// -32768..65535, else LONGINT.
[[nodiscard]] ExprPtr makeIntegerConstant(Compilation& c, std::int32_t value);
[[nodiscard]] ExprPtr makeCharConstant(Compilation& c, std::uint8_t value);
[[nodiscard]] ExprPtr makeBooleanConstant(Compilation& c, bool value);
[[nodiscard]] ExprPtr makeRealConstant(Compilation& c, const RealBytes& value);
[[nodiscard]] ExprPtr makeStringConstant(Compilation& c, std::string text);
[[nodiscard]] ExprPtr makeConstantLeaf(const ConstValue& value, TypeDescriptor* type);
// The type a new integer constant of `value` gets.
[[nodiscard]] TypeDescriptor* integerConstantType(Compilation& c, std::int32_t value);
// An INTEGER constant whose bits 8..15 are clear becomes BYTE (0..255 are bytes).
void retypeSmallConstant(Compilation& c, ExprNode& leaf);

// Leaves made by code generation.
void makeRegisterLeaf(ExprNode& node, std::string_view registerText, TypeDescriptor* type);
void makeRuntimeResultLeaf(ExprNode& node, TypeDescriptor* type);

// The type of `left op right` for the arithmetic and logical operators; error 44 for
// operand types the operator does not take.
[[nodiscard]] TypeDescriptor* resultTypeOf(Compilation& c, const ExprNode& left,
                                           const ExprNode& right, TokenCode op);
// Checks the operand types of a relational operator node (already typed BOOLEAN); error
// 44 when they may not be compared. IN with the empty set becomes the constant FALSE.
void checkComparison(Compilation& c, ExprPtr& node);

// Records NOT (complement) and/or minus (negate) applied now on top of the node's pending
// flags: cancelling pairs vanish, -(NOT x) becomes x + 1, NOT(-x) becomes x - 1, a
// constant absorbs its flags, a BOOLEAN operator node pushes a NOT into its operands.
void applyUnaryFlags(Compilation& c, ExprPtr& node, bool complementNow, bool negateNow);
// Hands the pending flags of a node that is being replaced to its replacement.
void handOverFlags(Compilation& c, std::uint8_t flags, ExprPtr& replacement);
// Rewrites a complemented BOOLEAN operator node into its complementary operator.
void pushNotDown(Compilation& c, ExprNode& node);

// Reduces an operator node whose left operand is BOOLEAN by the truth tables of its
// operator when an operand is constant or both operands are the same leaf.
void foldBooleanNode(Compilation& c, ExprPtr& node);
// Folds the tree bottom-up: constant operands are combined, constant terms of nested
// sums and products are merged, factors and divisors of 1 and -1 vanish.
void foldConstants(Compilation& c, ExprPtr& node);

// True when both leaves denote the same operand (flags aside).
[[nodiscard]] bool sameLeaf(const ExprNode& a, const ExprNode& b);

}  // namespace vorax
