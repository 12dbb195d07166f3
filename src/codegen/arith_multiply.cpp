// Multiplication, DIV and MOD: shifts and masks for powers of two, the 16-bit multiply
// instructions where the product fits them, and the runtime routines otherwise.
#include <string>
#include <utility>

#include "asmout/runtime_names.h"
#include "codegen/arith_internal.h"
#include "codegen/arith_operator.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {

using namespace arith;

namespace {

bool isLastLine(Compilation& c, std::string_view mnemonic, std::string_view reg) {
  const PeepholeWindow& window = c.emitter.window();
  if (window.empty()) {
    return false;
  }
  const WindowLine& last = window[window.count() - 1];
  if (last.mnemonic != mnemonic) {
    return false;
  }
  // Two-operand lines name the register as destination, extensions as their operand.
  return last.destination.empty() ? last.source == reg : last.destination == reg;
}

// Pushes an operand as a long word for a runtime routine.
void pushLong(Compilation& c, ExprPtr& operand) {
  const std::string reg = generateInRegister(c, operand, c.symbols.types().longIntType);
  emit(c, "mov.l", reg, "@-sp");
  c.registers.releaseRegister(reg);
}

// Calls a runtime routine of long arithmetic whose arguments were pushed; its result
// is the LONGINT in r0.
void callLongRoutine(Compilation& c, ExprPtr& node, std::string_view routine) {
  emit(c, "bsr", routine);
  c.registers.markRegisterInUse("r0");
  makeRegisterLeaf(*node, "r0", c.symbols.types().longIntType);
}

// No register value survives the call: whatever is still cached is given up first.
void prepareRoutineCall(Compilation& c) {
  c.registers.forgetRegisterContents();
  c.registers.releaseUnlockedRegisters();
}

void multiplyByRoutine(Compilation& c, ExprPtr& node) {
  prepareRoutineCall(c);
  pushLong(c, node->left);
  pushLong(c, node->right);
  callLongRoutine(c, node, rt::kMul);
}

bool isConstantZeroDivisor(const ExprNode& right, std::uint32_t significantBits) {
  return right.isConstantOf(ConstKind::Integer) &&
         (static_cast<std::uint32_t>(right.value.intValue) & significantBits) == 0;
}

// A divisor the remainder routine's word cannot hold: a LONGINT or WORD value, or a
// constant beyond the INTEGER range.
bool needsLongDivisor(const ExprNode& right) {
  if (right.isConstantOf(ConstKind::Integer)) {
    return right.value.intValue < -32768 || right.value.intValue > 32767;
  }
  return sizeOf(right.type) == 4 || isWordType(right.type);
}

// x MOD y with a long divisor, from the long routines: x - (x DIV y) * y. The dividend
// waits on the stack below the routines' arguments:
//   push x / mov.l @sp,X / push y / push x / push y / bsr \div / push r0 / bsr \mul /
//   mov.l @sp+,R / sub.l r0,R
void moduloByLongRoutines(Compilation& c, ExprPtr& node) {
  TypeDescriptor* longType = c.symbols.types().longIntType;
  prepareRoutineCall(c);
  pushLong(c, node->left);
  const std::string divisor = generateInRegister(c, node->right, longType);
  const std::string dividend = c.registers.allocateRegister();
  emit(c, "mov.l", "@sp", dividend);
  emit(c, "mov.l", divisor, "@-sp");
  emit(c, "mov.l", dividend, "@-sp");
  emit(c, "mov.l", divisor, "@-sp");
  c.registers.releaseRegister(dividend);
  c.registers.releaseRegister(divisor);
  c.registers.forgetRegisterContents();
  emit(c, "bsr", rt::kDiv);
  emit(c, "mov.l", "r0", "@-sp");
  emit(c, "bsr", rt::kMul);
  c.registers.markRegisterInUse("r0");
  const std::string remainder = c.registers.allocateRegister();
  emit(c, "mov.l", "@sp+", remainder);
  emit(c, "sub.l", "r0", remainder);
  c.registers.releaseRegister("r0");
  makeRegisterLeaf(*node, remainder, longType);
}

}  // namespace

void generateMultiply(Compilation& c, ExprPtr& node, TypeDescriptor* target) {
  if (node->left->isConstant() && !node->right->isConstant()) {
    std::swap(node->left, node->right);
  }
  const int rightSize = sizeOf(node->right->type);
  const int leftSize = sizeOf(node->left->type);
  const int exponent = powerOfTwoExponent(*node->right);
  TypeDescriptor* longType = c.symbols.types().longIntType;

  if (exponent > 0 && leftSize == sizeOf(target)) {
    TypeDescriptor* type = node->type;
    const std::string reg = generateInRegister(c, node->left, type);
    std::string suffix = ".w";
    PeepholeWindow& window = c.emitter.window();
    if (isLastLine(c, "mulxu.w", reg) || isLastLine(c, "mulxs.w", reg) ||
        isLastLine(c, "and.l", reg)) {
      suffix = ".l";
    } else if (c.emitter.pendingLabel().empty() &&
               (isLastLine(c, "extu.l", reg) || isLastLine(c, "exts.l", reg)) &&
               window[window.count() - 1].label.empty()) {
      // The left operand is as wide as the target: the low word of the product is all
      // that is kept, so the widening is not needed and the product stays a word.
      window.removeLine(window.count() - 1);
      type = target;
    } else if (sizeOf(type) == 4) {
      suffix = ".l";
    }
    emitShifts(c, "shal" + suffix, reg, exponent);
    makeRegisterLeaf(*node, reg, type);
    return;
  }
  if (multiplyNeedsRoutine(*node->left, *node->right)) {
    multiplyByRoutine(c, node);
    return;
  }
  TypeDescriptor* operandType = c.symbols.types().integerType;
  std::string_view mnemonic = "mulxs.w";
  // An index product is unsigned only when both factors are: a negative INTEGER index
  // multiplied unsigned would move the address up by 128K instead of down.
  if ((rightSize == 1 && leftSize == 1) || fitsUnsignedWord(*node->left, *node->right)) {
    mnemonic = "mulxu.w";
  }
  const OperandTexts texts = evaluateOperands(c, *node, operandType, operandType, false);
  emit(c, mnemonic, texts.right, texts.left);
  c.registers.releaseRegister(texts.right);
  makeRegisterLeaf(*node, texts.left, longType);
}

void generateDivide(Compilation& c, ExprPtr& node) {
  if (isConstantZeroDivisor(*node->right, 0xffffffffU)) {
    c.reportError(kDivisionByZero);
  }
  const int exponent = powerOfTwoExponent(*node->right);
  if (exponent > 0) {
    TypeDescriptor* type = node->type;
    const bool unsignedDividend = isUnsignedType(node->left->type);
    const std::string reg = generateInRegister(c, node->left, type);
    const int size = sizeOf(type);
    if (unsignedDividend) {
      emitShifts(c, sized("shlr", size), reg, exponent);
    } else {
      // An arithmetic shift rounds down; DIV truncates towards zero, so a negative
      // dividend first gets the divisor minus one added.
      const std::string positive = newLocalLabel(c);
      emit(c, sized("cmp", size), "#0", reg);
      emit(c, "bpl", positive);
      emit(c, sized("add", size), "#" + std::to_string((1 << exponent) - 1), reg);
      c.emitter.defineLabel(false, positive);
      emitShifts(c, sized("shar", size), reg, exponent);
    }
    makeRegisterLeaf(*node, reg, type);
    return;
  }
  prepareRoutineCall(c);
  pushLong(c, node->left);
  pushLong(c, node->right);
  callLongRoutine(c, node, rt::kDiv);
}

void generateModulo(Compilation& c, ExprPtr& node) {
  if (needsLongDivisor(*node->right)) {
    if (isConstantZeroDivisor(*node->right, 0xffffffffU)) {
      c.reportError(kDivisionByZero);
    }
    moduloByLongRoutines(c, node);
    return;
  }
  // The divisor is passed as a word: a constant whose low word is zero divides by zero.
  if (isConstantZeroDivisor(*node->right, 0xffffU)) {
    c.reportError(kDivisionByZero);
  }
  const int exponent = powerOfTwoExponent(*node->right);
  if (exponent > 0 && isUnsignedType(node->left->type)) {
    TypeDescriptor* ownType = node->left->type;
    const std::string reg = generateInRegister(c, node->left, ownType);
    // Only the bytes the load wrote are masked in: the rest of the register is not
    // part of the value.
    std::int64_t mask = (std::int64_t{1} << exponent) - 1;
    if (sizeOf(ownType) == 1) {
      mask &= 0xff;
    }
    emit(c, "and.l", "#" + std::to_string(mask), reg);
    makeRegisterLeaf(*node, reg, c.symbols.types().longIntType);
    return;
  }
  // A signed dividend keeps its sign in the remainder, which a mask cannot give.
  prepareRoutineCall(c);
  pushLong(c, node->left);
  const std::string divisor = generateInRegister(c, node->right, c.symbols.types().integerType);
  emit(c, "mov.w", divisor, "@-sp");
  c.registers.releaseRegister(divisor);
  callLongRoutine(c, node, rt::kMod);
}

}  // namespace vorax
