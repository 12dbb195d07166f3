// Dispatch of operator nodes to their generators, the call test that decides the order
// of evaluation, and addition, subtraction and the bitwise operators.
#include "codegen/arith_operator.h"

#include <charconv>
#include <cstdint>
#include <system_error>
#include <utility>

#include "asmout/operand_text.h"
#include "codegen/arith_internal.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {

using namespace arith;

namespace {

bool isCommutative(TokenCode op) {
  return op == TokenCode::Plus || op == TokenCode::And || op == TokenCode::Or ||
         op == TokenCode::Xor;
}

std::string_view additiveMnemonic(TokenCode op) {
  switch (op) {
    case TokenCode::Plus:
      return "add";
    case TokenCode::Minus:
      return "sub";
    case TokenCode::And:
      return "and";
    case TokenCode::Or:
      return "or";
    default:
      return "xor";
  }
}

// The type the operation is done in when both operands are computed: operator operands
// narrower than the target grow to it first; then each side is widened to the target and
// the narrower of the two results wins, so a wide target does not force a wide operation
// on narrow operands, nor a narrow target truncate a wide operand before the operation.
TypeDescriptor* operationType(Compilation& c, ExprNode& node, TypeDescriptor* target) {
  if (isAddressType(c, target)) {
    return target;
  }
  for (ExprNode* operand : {node.left.get(), node.right.get()}) {
    if (!operand->isLeaf && sizeOf(operand->type) < sizeOf(target)) {
      operand->type = target;
    }
  }
  TypeDescriptor* left = widerType(node.left->type, target);
  TypeDescriptor* right = widerType(node.right->type, target);
  return narrowerType(left, right);
}

// An AND computed in a 1- or 2-byte target only needs the mask's low bits: the bits above
// cannot reach the target. A mask beyond the target's range (x AND 91305 into an INTEGER)
// keeps those bits instead of being refused as a constant out of range.
void keepLowBitsOfMask(ExprNode& mask, int size) {
  if (!mask.isConstantOf(ConstKind::Integer) || size >= 4) return;
  const std::int64_t bits = size == 1 ? 0xFF : 0xFFFF;
  const std::int64_t value = mask.value.intValue;
  if (value >= -32768 && value <= bits) return;
  mask.value.intValue = static_cast<std::int32_t>(value & bits);
}

bool isNumberType(const TypeDescriptor* type) {
  if (type == nullptr) {
    return false;
  }
  switch (type->kind) {
    case TypeKind::Integer:
    case TypeKind::Byte:
    case TypeKind::Word:
    case TypeKind::LongInt:
      return true;
    default:
      return false;
  }
}

bool isBeyondWord(const ExprNode& leaf) {
  return leaf.isConstantOf(ConstKind::Integer) &&
         (leaf.value.intValue > 65535 || leaf.value.intValue < -32768);
}

bool isSmallByteConstant(const ExprNode& leaf) {
  return leaf.isConstantOf(ConstKind::Integer) && leaf.value.intValue >= 0 &&
         leaf.value.intValue < 256;
}

// R := R - value in one byte. The H8 has no byte subtraction of an immediate: a constant
// is added negated, which leaves the same byte; anything else goes through a register.
void emitByteSubtraction(Compilation& c, const std::string& value, const std::string& reg) {
  if (value.size() > 1 && value[0] == '#') {
    std::int64_t number = 0;
    const char* first = value.data() + 1;
    const char* last = value.data() + value.size();
    const auto [end, error] = std::from_chars(first, last, number);
    if (error == std::errc() && end == last) {
      emit(c, "add.b", "#" + std::to_string((0 - static_cast<std::uint64_t>(number)) & 0xFF), reg);
      return;
    }
    const std::string temporary = c.registers.allocateRegister();
    emit(c, "mov.b", value, temporary);
    emit(c, "sub.b", temporary, reg);
    c.registers.releaseRegister(temporary);
    return;
  }
  emit(c, "sub.b", value, reg);
}

// A target the operation can be computed in: an integer-like type. A REAL or other
// target gets the node's own type; the conversion to the target follows the operator.
TypeDescriptor* registerTarget(const ExprNode& node, TypeDescriptor* targetType) {
  return isRegisterType(targetType) ? targetType : node.type;
}

}  // namespace

void generateOperator(Compilation& c, ExprPtr& node, TypeDescriptor* targetType) {
  if (node->expectedType != nullptr) {
    node->left->expectedType = node->expectedType;
    node->right->expectedType = node->expectedType;
  }
  const TypeDescriptor* type = node->type;
  if (isBooleanType(type)) {
    generateBooleanValue(c, node);
  } else if (type != nullptr && type->kind == TypeKind::Real) {
    generateRealValue(c, node);
  } else if (type != nullptr && type->kind == TypeKind::String) {
    // Concatenations are built on the stack by the value generator, never here.
    c.reportError(kNoIntegerOperator);
  } else {
    generateIntegerOperator(c, node, targetType);
  }
}

void generateIntegerOperator(Compilation& c, ExprPtr& node, TypeDescriptor* targetType) {
  TypeDescriptor* target = registerTarget(*node, targetType);
  switch (node->op) {
    case TokenCode::Plus:
    case TokenCode::Minus:
    case TokenCode::And:
    case TokenCode::Or:
    case TokenCode::Xor:
      generateAdditive(c, node, target);
      return;
    case TokenCode::Star:
      generateMultiply(c, node, target);
      return;
    case TokenCode::Div:
      generateDivide(c, node);
      return;
    case TokenCode::Mod:
      generateModulo(c, node);
      return;
    case TokenCode::Shl:
    case TokenCode::Shr:
      generateShift(c, node);
      return;
    default:
      c.reportError(kNoIntegerOperator);
  }
}

void generateAdditive(Compilation& c, ExprPtr& node, TypeDescriptor* target) {
  const TokenCode op = node->op;
  if (isCommutative(op) && node->left->isConstant() && !node->right->isConstant()) {
    std::swap(node->left, node->right);
  }
  const std::string mnemonicBase(additiveMnemonic(op));

  if (op == TokenCode::Minus && sizeOf(node->left->type) == 1 && sizeOf(target) <= 1 &&
      isSmallByteConstant(*node->right)) {
    // There is no byte subtraction of an immediate: the word form gives the right low byte.
    // Only for a byte result: a wider target sees the borrow (K := B - 2 is -1 for B = 1).
    TypeDescriptor* byteType = c.symbols.types().byteType;
    const std::string reg = generateInRegister(c, node->left, byteType);
    const std::string value = generateValue(c, node->right, byteType);
    emit(c, "sub.w", value, reg);
    makeRegisterLeaf(*node, reg, byteType);
    return;
  }

  if (node->right->isConstant()) {
    TypeDescriptor* type = nullptr;
    if (isAddressType(c, target) || op == TokenCode::And) {
      type = target;
    } else {
      type = widerType(widerType(node->left->type, node->right->type),
                       isRegisterType(node->expectedType) ? node->expectedType : nullptr);
      // A node wider than its operands (a byte plus an integer constant that was later
      // retyped to a byte) keeps its own width as far as the target wants it: I := B + 1
      // must not wrap at 256.
      type = widerType(type, narrowerType(node->type, target));
      // A sum or difference wanted wider than its operands is computed in that width, as
      // one of two variables is: W - 161 compared with a LONGINT is -121, not the WORD
      // 65415, and (40000 + B) MOD 4 divides 40006, not the INTEGER -25530.
      if ((op == TokenCode::Plus || op == TokenCode::Minus) && isNumberType(target)) {
        type = widerType(type, target);
      }
    }
    if (op == TokenCode::And) keepLowBitsOfMask(*node->right, sizeOf(type));
    const std::string reg = generateInRegister(c, node->left, type);
    const std::string value = generateValue(c, node->right, type);
    if (op == TokenCode::Minus && sizeOf(type) == 1) {
      emitByteSubtraction(c, value, reg);
    } else {
      emit(c, sized(mnemonicBase, sizeOf(type)), value, reg);
    }
    makeRegisterLeaf(*node, reg, type);
    return;
  }

  TypeDescriptor* type = operationType(c, *node, target);
  if (op == TokenCode::Minus && sizeOf(type) < 4 && isBeyondWord(*node->left)) {
    // A constant minuend beyond 16 bits (70000 - W) is computed in 32 bits, as the
    // sum W + 70000 is: converting it to the narrower width would refuse it as out of range.
    type = c.symbols.types().longIntType;
  }
  const OperandTexts texts = evaluateOperands(c, *node, type, type, false);
  emit(c, sized(mnemonicBase, sizeOf(type)), texts.right, texts.left);
  c.registers.releaseRegister(texts.right);
  makeRegisterLeaf(*node, texts.left, type);
}

}  // namespace vorax
