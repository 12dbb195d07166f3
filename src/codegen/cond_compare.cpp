// Single comparisons: integer-like operands with "cmp", a masked bit with "btst", and
// REAL and STRING operands through the runtime comparison routines.
#include <bit>
#include <string>
#include <utility>

#include "asmout/labels.h"
#include "asmout/operand_text.h"
#include "asmout/peephole_text.h"
#include "asmout/runtime_names.h"
#include "asmout/stack_adjust.h"
#include "codegen/arith_internal.h"
#include "codegen/codegen.h"
#include "codegen/cond_internal.h"
#include "codegen/expr_tree.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {

using namespace arith;

namespace {

// Bytes a STRING value on the stack takes.
constexpr std::int32_t kStackStringSize = 256;

bool isOrdinalKind(const TypeDescriptor* type) {
  return isRegisterType(type) && !isBooleanType(type);
}

bool isKind(const ExprNode& node, TypeKind kind) {
  return node.type != nullptr && node.type->kind == kind;
}

bool isEmptyString(const ExprNode& node) {
  return node.isConstantOf(ConstKind::String) && node.value.text.empty();
}

bool isVariableLeaf(const ExprNode& node) {
  if (!node.isLeaf) {
    return false;
  }
  switch (node.location) {
    case LocationKind::FrameVariable:
    case LocationKind::Parameter:
    case LocationKind::NamedMemory:
    case LocationKind::FixedAddress:
      return true;
    default:
      return false;
  }
}

// "and.X #m,R" whose mask has a single bit, tested only for zero: the mask is dropped
// and the bit tested with "btst" (which sets Z to the inverted bit), on the byte of
// memory the value was just loaded from when there is one.
void rewriteMaskIntoBitTest(Compilation& c, std::string_view reg) {
  PeepholeWindow& window = c.emitter.window();
  if (window.empty() || !c.emitter.pendingLabel().empty()) {
    return;
  }
  const int maskLine = window.count() - 1;
  const WindowLine& mask = window[maskLine];
  const int size = peephole::operationSize(mask.mnemonic);
  const std::optional<std::int64_t> m = peephole::immediateValue(mask.source);
  if (!peephole::startsWith(mask.mnemonic, "and.") || mask.destination != reg || !m || *m <= 0 ||
      std::popcount(static_cast<std::uint64_t>(*m)) != 1 || !mask.label.empty()) {
    return;
  }
  const int bit = std::countr_zero(static_cast<std::uint64_t>(*m));
  const std::string bitText = "#" + std::to_string(bit % 8);
  const bool loadedBefore = maskLine > 0 && window[maskLine - 1].mnemonic == sized("mov", size) &&
                            window[maskLine - 1].destination == reg &&
                            peephole::isMemoryOperand(window[maskLine - 1].source) &&
                            !peephole::isAutoModifying(window[maskLine - 1].source);
  if (loadedBefore) {
    // Memory holds the high byte first.
    const int byteIndex = size - 1 - bit / 8;
    const std::string memory = window[maskLine - 1].source;
    const std::string byteOperand = byteIndex == 0 ? memory : offsetOperand(c, memory, byteIndex);
    if (operandKind(byteOperand) == OperandKind::RegisterIndirect) {
      // The bit instructions address memory through a register directly.
      window.setMnemonic(maskLine, "btst");
      window.setSource(maskLine, bitText);
      window.setDestination(maskLine, byteOperand);
      if (window[maskLine - 1].label.empty() && window[maskLine - 1].attached.empty()) {
        window.removeLine(maskLine - 1);
      }
      return;
    }
    // Other memory operands cannot be bit-tested: the byte is loaded alone instead.
    window.setMnemonic(maskLine - 1, "mov.b");
    window.setSource(maskLine - 1, byteOperand);
    window.setMnemonic(maskLine, "btst");
    window.setSource(maskLine, bitText);
    return;
  }
  if (*m < 256) {
    window.setMnemonic(maskLine, "btst");
    window.setSource(maskLine, bitText);
  }
}

// The flags after a comparison with zero that the emitter turned into a load or an
// "and" carry no borrow: an unsigned test is made on Z alone, or on a comparison of the
// register with itself (equal, no borrow) when the answer does not depend on the value.
TokenCode unsignedAgainstZero(Compilation& c, TokenCode op, std::string_view reg, int size) {
  switch (op) {
    case TokenCode::Greater:
      return TokenCode::NotEqual;
    case TokenCode::LessEqual:
      return TokenCode::Equal;
    case TokenCode::Less:
    case TokenCode::GreaterEqual:
      emit(c, sized("cmp", size), reg, reg);
      return op;
    default:
      return op;
  }
}

// An operand whose values may lie below zero.
bool signedOperand(const ExprNode& operand) {
  if (operand.isConstantOf(ConstKind::Integer)) {
    return operand.value.intValue < 0;
  }
  return sizeOf(operand.type) == 2 && !isUnsignedType(operand.type);
}

ConditionResult compareIntegers(Compilation& c, ExprPtr& node) {
  TokenCode op = node->op == TokenCode::Xor ? TokenCode::NotEqual : node->op;
  if (node->left->isConstant() && !node->right->isConstant()) {
    std::swap(node->left, node->right);
    op = mirrorOf(op);
  }
  const TypeDescriptor* leftType = node->left->type;
  const TypeDescriptor* rightType = node->right->type;
  TypeDescriptor* type = widerType(node->left->type, node->right->type);
  if (isOrdinalKind(node->expectedType)) {
    type = widerType(type, node->expectedType);
  }
  // A WORD against a signed word (an INTEGER, a negative constant) is compared in
  // LONGINT, which holds both: -1 < 40000 without sign would be false.
  if (sizeOf(type) == 2 &&
      ((isWordType(leftType) && signedOperand(*node->right)) ||
       (isWordType(rightType) && signedOperand(*node->left)))) {
    type = c.symbols.types().longIntType;
  }
  const int size = sizeOf(type);
  ConditionResult result;
  if (size == 4) {
    // Both operands are extended to 32 bits by their own signedness first.
    result.isUnsigned = isUnsignedType(type);
  } else {
    result.isUnsigned = (sizeOf(leftType) == 1 && sizeOf(rightType) == 1) || isWordType(leftType) ||
                        isWordType(rightType);
  }
  const OperandTexts texts = evaluateOperands(c, *node, type, type, true);
  if (texts.right == "#0" && result.isUnsigned) {
    op = unsignedAgainstZero(c, op, texts.left, size);
    if (op == TokenCode::Less || op == TokenCode::GreaterEqual) {
      c.registers.releaseRegister(texts.left);
      result.op = op;
      return result;
    }
  }
  emit(c, sized("cmp", size), texts.right, texts.left);
  if (texts.right == "#0" && (op == TokenCode::Equal || op == TokenCode::NotEqual)) {
    rewriteMaskIntoBitTest(c, texts.left);
  }
  c.registers.releaseRegister(texts.right);
  c.registers.releaseRegister(texts.left);
  result.op = op;
  return result;
}

ConditionResult compareOnStack(Compilation& c, ExprPtr& node, TypeDescriptor* type, bool strings) {
  generateValue(c, node->left, type);
  generateValue(c, node->right, type);
  const TokenCode op = node->op == TokenCode::Xor ? TokenCode::NotEqual : node->op;
  emit(c, "bsr", comparisonRoutine(c, op, strings));
  ConditionResult result;
  result.op = TokenCode::NotEqual;  // the routines clear Z when the relation holds
  return result;
}

// The word at the start of a STRING value: its length byte, then its first character.
// `mnemonic` "mov.b" reads the length alone. Returns the register it is loaded into.
std::string loadStringHead(Compilation& c, ExprPtr& string, std::string_view mnemonic) {
  if (isVariableLeaf(*string)) {
    const std::string operand = generateVariable(c, string);
    c.registers.releaseRegister(operand);
    const std::string reg = c.registers.allocateRegister();
    emit(c, mnemonic, operand, reg);
    return reg;
  }
  generateValue(c, string, c.symbols.types().stringType);
  const std::string reg = c.registers.allocateRegister();
  emit(c, mnemonic, "@sp", reg);
  releaseStack(c.emitter, kStackStringSize);
  return reg;
}

ConditionResult compareWithEmptyString(Compilation& c, ExprPtr& string, TokenCode op) {
  const std::string reg = loadStringHead(c, string, "mov.b");
  ConditionResult result;
  result.isUnsigned = true;  // a length runs up to 255
  result.op = unsignedAgainstZero(c, op, reg, 1);
  if (result.op != TokenCode::Less && result.op != TokenCode::GreaterEqual) {
    emit(c, "cmp.b", "#0", reg);
  }
  c.registers.releaseRegister(reg);
  return result;
}

// A STRING variable whose first word can be read as one: a frame slot at an even offset.
// Strings inside records and arrays need not start at an even address.
bool isEvenFrameSlot(std::string_view operand) {
  const std::optional<std::int64_t> offset = peephole::frameSlotOffset(operand);
  return operandKind(operand) == OperandKind::FrameSlot && offset && *offset % 2 == 0;
}

// A STRING variable and a CHAR: equal when the length byte is 1 and the first character
// is the CHAR. At an even address the word made of both is compared with 256 + code;
// elsewhere both bytes are compared with exclusive-or and the differences or-ed, so that
// Z is set exactly when both match.
ConditionResult compareVariableWithChar(Compilation& c, ExprPtr& string, ExprPtr& character,
                                        TokenCode op) {
  std::string charSide;
  if (character->isConstantOf(ConstKind::Character)) {
    charSide = "#" + std::to_string(character->value.smallValue);
  } else {
    charSide = generateInRegister(c, character, c.symbols.types().charType);
  }
  const bool charInRegister = charSide[0] != '#';
  const std::string mark = charInRegister && chainMayCall(*string) ? placeSpillMark(c, charSide) : "";
  std::string operand;
  {
    const HeldRegister held(c, charSide);
    operand = generateVariable(c, string);
  }
  const std::string head = c.registers.allocateRegister();
  if (isEvenFrameSlot(operand)) {
    emit(c, "mov.w", operand, head);
    c.registers.releaseRegister(operand);
    if (!mark.empty()) {
      resolveSpillMark(c, mark, charSide, false);
    }
    if (charInRegister) {
      emit(c, "extu.w", charSide);
      emit(c, "or.w", "#256", charSide);
      emit(c, "cmp.w", charSide, head);
    } else {
      emit(c, "cmp.w", "#" + std::to_string(256 + character->value.smallValue), head);
    }
  } else {
    const std::string first = c.registers.allocateRegister();
    emit(c, "mov.b", operand, head);
    emit(c, "mov.b", offsetOperand(c, operand, 1), first);
    c.registers.releaseRegister(operand);
    if (!mark.empty()) {
      resolveSpillMark(c, mark, charSide, false);
    }
    emit(c, "xor.b", "#1", head);
    emit(c, "xor.b", charSide, first);
    emit(c, "or.b", first, head);
    c.registers.releaseRegister(first);
  }
  c.registers.releaseRegister(head);
  c.registers.releaseRegister(charSide);
  ConditionResult result;
  result.op = op;
  return result;
}

// A STRING and a CHAR are equal when the string's length byte is 1 and its first
// character is the CHAR: the word at the string's start is compared with 256 + code.
ConditionResult compareStringWithChar(Compilation& c, ExprPtr& string, ExprPtr& character,
                                      TokenCode op) {
  if (isVariableLeaf(*string)) {
    return compareVariableWithChar(c, string, character, op);
  }
  TypeDescriptor* integerType = c.symbols.types().integerType;
  std::string stringSide;
  if (string->isConstantOf(ConstKind::String)) {
    const std::string& text = string->value.text;
    const int first = text.empty() ? 0 : static_cast<unsigned char>(text[0]);
    stringSide = "#" + std::to_string(static_cast<int>(text.size()) * 256 + first);
  } else {
    // A computed string lies on the stack, which is always at an even address.
    stringSide = loadStringHead(c, string, "mov.w");
  }
  std::string charSide;
  if (character->isConstantOf(ConstKind::Character)) {
    charSide = "#" + std::to_string(256 + character->value.smallValue);
  } else {
    const bool stringInRegister = stringSide[0] != '#';
    std::string mark;
    if (stringInRegister && mayCall(*character)) {
      mark = placeSpillMark(c, stringSide);
    }
    {
      const HeldRegister held(c, stringSide);
      charSide = generateInRegister(c, character, integerType);
    }
    if (!mark.empty()) {
      const HeldRegister held(c, charSide);
      resolveSpillMark(c, mark, stringSide, false);
    }
    emit(c, "or.w", "#256", charSide);
  }
  if (stringSide[0] == '#' && charSide[0] == '#') {
    // Two constants: one of them goes into a register so that "cmp" can take them.
    const std::string reg = c.registers.allocateRegister();
    emit(c, "mov.w", charSide, reg);
    charSide = reg;
  }
  if (charSide[0] == '#') {
    std::swap(stringSide, charSide);
  }
  emit(c, "cmp.w", stringSide, charSide);
  c.registers.releaseRegister(stringSide);
  c.registers.releaseRegister(charSide);
  ConditionResult result;
  result.op = op;
  return result;
}

ConditionResult compareStrings(Compilation& c, ExprPtr& node) {
  TokenCode op = node->op;
  if (isEmptyString(*node->left) && !isEmptyString(*node->right)) {
    std::swap(node->left, node->right);
    op = mirrorOf(op);
  }
  if (isEmptyString(*node->right)) {
    return compareWithEmptyString(c, node->left, op);
  }
  if (isKind(*node->right, TypeKind::Char)) {
    return compareStringWithChar(c, node->left, node->right, op);
  }
  return compareOnStack(c, node, c.symbols.types().stringType, true);
}

}  // namespace

std::string comparisonRoutine(Compilation& c, TokenCode op, bool strings) {
  std::string_view name;
  switch (op) {
    case TokenCode::Equal:
      name = rt::kRealEqual;
      break;
    case TokenCode::NotEqual:
      name = rt::kRealNotEqual;
      break;
    case TokenCode::Less:
      name = rt::kRealLess;
      break;
    case TokenCode::LessEqual:
      name = rt::kRealLessEqual;
      break;
    case TokenCode::Greater:
      name = rt::kRealGreater;
      break;
    case TokenCode::GreaterEqual:
      name = rt::kRealGreaterEqual;
      break;
    default:
      c.reportError(kNoComparisonRoutine);
  }
  std::string routine(name);
  if (strings) {
    routine += 's';
  }
  return routine;
}

ConditionResult generateComparison(Compilation& c, ExprPtr& node) {
  const ExprNode& left = *node->left;
  const ExprNode& right = *node->right;
  if (isKind(left, TypeKind::Char) && isKind(right, TypeKind::String)) {
    return compareStringWithChar(c, node->right, node->left, node->op);
  }
  if (isKind(left, TypeKind::Real) || (isOrdinalKind(left.type) && isKind(right, TypeKind::Real))) {
    return compareOnStack(c, node, c.symbols.types().realType, false);
  }
  if (isRegisterType(left.type)) {
    return compareIntegers(c, node);
  }
  if (isKind(left, TypeKind::String)) {
    return compareStrings(c, node);
  }
  c.reportError(kNotComparable);
}

}  // namespace vorax
