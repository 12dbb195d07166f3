// Shared pieces of the operator and condition generators.
#include <string>

#include "asmout/labels.h"
#include "asmout/operand_text.h"
#include "codegen/arith_internal.h"
#include "codegen/codegen.h"
#include "codegen/register_spill.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax::arith {

std::string sized(std::string_view mnemonic, int size) {
  std::string text(mnemonic);
  text += sizeSuffix(size);
  return text;
}

void emit(Compilation& c, std::string_view mnemonic, std::string_view source,
          std::string_view destination) {
  c.emitter.emitInstruction(mnemonic, source, destination);
}

int sizeOf(const TypeDescriptor* type) { return type != nullptr ? type->size : 0; }

TypeDescriptor* widerType(TypeDescriptor* a, TypeDescriptor* b) {
  return sizeOf(b) > sizeOf(a) ? b : a;
}

TypeDescriptor* narrowerType(TypeDescriptor* a, TypeDescriptor* b) {
  return sizeOf(b) < sizeOf(a) ? b : a;
}

bool isRegisterType(const TypeDescriptor* type) {
  if (type == nullptr) {
    return false;
  }
  switch (type->kind) {
    case TypeKind::Char:
    case TypeKind::Integer:
    case TypeKind::Byte:
    case TypeKind::Word:
    case TypeKind::Boolean:
    case TypeKind::LongInt:
    case TypeKind::Address:
    case TypeKind::Enumeration:
    case TypeKind::Subrange:
    case TypeKind::Pointer:
      return true;
    default:
      return false;
  }
}

bool isUnsignedType(const TypeDescriptor* type) {
  if (type == nullptr) {
    return false;
  }
  switch (type->kind) {
    case TypeKind::Char:
    case TypeKind::Byte:
    case TypeKind::Word:
    case TypeKind::Boolean:
    case TypeKind::Enumeration:
    case TypeKind::Address:
    case TypeKind::Pointer:
      return true;
    case TypeKind::Subrange:
      return type->size == 1;
    default:
      return false;
  }
}

bool isWordType(const TypeDescriptor* type) {
  return type != nullptr && type->kind == TypeKind::Word;
}

bool isBooleanType(const TypeDescriptor* type) {
  return type != nullptr && type->kind == TypeKind::Boolean;
}

bool isAddressType(Compilation& c, const TypeDescriptor* type) {
  return type != nullptr && type == c.symbols.types().addressType;
}

TokenCode complementOf(TokenCode op) {
  switch (op) {
    case TokenCode::Equal:
      return TokenCode::NotEqual;
    case TokenCode::NotEqual:
      return TokenCode::Equal;
    case TokenCode::Less:
      return TokenCode::GreaterEqual;
    case TokenCode::GreaterEqual:
      return TokenCode::Less;
    case TokenCode::LessEqual:
      return TokenCode::Greater;
    case TokenCode::Greater:
      return TokenCode::LessEqual;
    default:
      return op;
  }
}

TokenCode mirrorOf(TokenCode op) {
  switch (op) {
    case TokenCode::Less:
      return TokenCode::Greater;
    case TokenCode::Greater:
      return TokenCode::Less;
    case TokenCode::LessEqual:
      return TokenCode::GreaterEqual;
    case TokenCode::GreaterEqual:
      return TokenCode::LessEqual;
    default:
      return op;
  }
}

std::string newLocalLabel(Compilation& c) { return localLabelText(c.emitter.newLabelNumber()); }

int powerOfTwoExponent(const ExprNode& leaf) {
  if (!leaf.isConstantOf(ConstKind::Integer)) {
    return -1;
  }
  const std::int32_t value = leaf.value.intValue;
  for (int k = 1; k <= 14; ++k) {
    if (value == (1 << k)) {
      return k;
    }
  }
  return -1;
}

HeldRegister::HeldRegister(Compilation& c, std::string_view text)
    : c_(c), text_(text), wasLocked_(c.registers.isRegisterLocked(text)) {
  c_.registers.lockRegister(text_);
}

HeldRegister::~HeldRegister() {
  if (!wasLocked_) {
    c_.registers.unlockRegister(text_);
  }
}

OperandTexts evaluateOperands(Compilation& c, ExprNode& node, TypeDescriptor* leftType,
                              TypeDescriptor* rightType, bool rightMayBeImmediate) {
  auto generateRight = [&] {
    return rightMayBeImmediate ? generateValue(c, node.right, rightType)
                               : generateInRegister(c, node.right, rightType);
  };
  const bool leftCalls = mayCall(*node.left);
  const bool rightCalls = mayCall(*node.right);
  OperandTexts texts;
  if (leftCalls && rightCalls) {
    // The left value waits in a register; only when a call really followed is it
    // pushed at the mark and popped again afterwards.
    texts.left = generateInRegister(c, node.left, leftType);
    if (parkValueWhenRegistersRunLow(c, texts.left, sizeOf(leftType))) {
      texts.right = generateInRegister(c, node.right, rightType);
      const HeldRegister right(c, texts.right);
      takeBackParkedValue(c, texts.left, sizeOf(leftType));
    } else {
      const std::string mark = placeSpillMark(c, texts.left);
      texts.right = generateRight();
      const HeldRegister right(c, texts.right);
      resolveSpillMark(c, mark, texts.left, sizeOf(leftType) == 4);
    }
  } else if (rightCalls || node.left->isConstant()) {
    texts.right = generateRight();
    if (parkValueWhenRegistersRunLow(c, texts.right, sizeOf(rightType))) {
      texts.left = generateInRegister(c, node.left, leftType);
      const HeldRegister left(c, texts.left);
      takeBackParkedValue(c, texts.right, sizeOf(rightType));
    } else {
      const HeldRegister right(c, texts.right);
      texts.left = generateInRegister(c, node.left, leftType);
    }
  } else {
    texts.left = generateInRegister(c, node.left, leftType);
    if (parkValueWhenRegistersRunLow(c, texts.left, sizeOf(leftType))) {
      // The right operand goes to a register: a memory operand built on the stack
      // pointer would move when the left value is popped.
      texts.right = generateInRegister(c, node.right, rightType);
      const HeldRegister right(c, texts.right);
      takeBackParkedValue(c, texts.left, sizeOf(leftType));
    } else {
      const HeldRegister left(c, texts.left);
      texts.right = generateRight();
    }
  }
  return texts;
}

}  // namespace vorax::arith
