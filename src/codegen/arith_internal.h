// Pieces shared by the operator and condition generators: their error numbers, type
// width helpers, the evaluation order of two operands, and small emit helpers.
#pragma once

#include <string>
#include <string_view>

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;
struct TypeDescriptor;

namespace arith {

// Errors of the source.
inline constexpr int kConditionNotBoolean = 20;
inline constexpr int kNotComparable = 41;
inline constexpr int kDivisionByZero = 54;
// Internal consistency failures.
inline constexpr int kNoComparisonRoutine = 923;
inline constexpr int kNoBranchForOperator = 924;
inline constexpr int kNoBooleanRegisterOperator = 925;
inline constexpr int kNoBooleanOperand = 926;
inline constexpr int kNoIntegerOperator = 927;
inline constexpr int kTypeCastAsValue = 997;

// "mov" + ".b"/".w"/".l" for an operand of `size` bytes.
[[nodiscard]] std::string sized(std::string_view mnemonic, int size);
void emit(Compilation& c, std::string_view mnemonic, std::string_view source,
          std::string_view destination = {});

// The wider of two types (the first on a tie); a null type counts as narrowest.
[[nodiscard]] TypeDescriptor* widerType(TypeDescriptor* a, TypeDescriptor* b);
// The narrower of two types (the first on a tie).
[[nodiscard]] TypeDescriptor* narrowerType(TypeDescriptor* a, TypeDescriptor* b);
// Integer-like types a register operation can be done in: the integer types, CHAR,
// BOOLEAN, enumerations, subranges, pointers.
[[nodiscard]] bool isRegisterType(const TypeDescriptor* type);
// Types whose values never go below zero (CHAR, BYTE, WORD, BOOLEAN, enumerations, the
// address type, pointers, one-byte subranges).
[[nodiscard]] bool isUnsignedType(const TypeDescriptor* type);
[[nodiscard]] bool isWordType(const TypeDescriptor* type);
[[nodiscard]] bool isBooleanType(const TypeDescriptor* type);
[[nodiscard]] bool isAddressType(Compilation& c, const TypeDescriptor* type);
[[nodiscard]] int sizeOf(const TypeDescriptor* type);

// The comparison operator that holds exactly when `op` does not ("<" and ">=").
[[nodiscard]] TokenCode complementOf(TokenCode op);
// The operator that gives the same answer with the operands exchanged ("<" and ">").
[[nodiscard]] TokenCode mirrorOf(TokenCode op);

// A new local label "$n" (not placed yet).
[[nodiscard]] std::string newLocalLabel(Compilation& c);

// The constant value of an integer constant leaf that is a power of two 2^k with
// 2 <= 2^k <= 16384; k, or -1.
[[nodiscard]] int powerOfTwoExponent(const ExprNode& leaf);

// True when computing the address of a designator (its offset trees and chain) may call
// a routine; loading its value may call one besides (a REAL or STRING value).
[[nodiscard]] bool chainMayCall(const ExprNode& leaf);

// The operand texts of a binary operator node after both operands were generated.
struct OperandTexts {
  std::string left;   // always a register
  std::string right;  // a register, or an immediate when allowed
};

// Evaluates both operands of `node` in the order that keeps a value out of a register
// while a routine may be called: right first when only the right may call (or when the
// left is a constant), left first under a spill mark when both may call, else left
// first, held locked. The left operand ends in a register of `leftType`, the right in a
// register of `rightType` (or as an immediate when `rightMayBeImmediate`).
OperandTexts evaluateOperands(Compilation& c, ExprNode& node, TypeDescriptor* leftType,
                              TypeDescriptor* rightType, bool rightMayBeImmediate);

}  // namespace arith
}  // namespace vorax
