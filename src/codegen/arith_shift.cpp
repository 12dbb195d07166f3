// SHL and SHR, and the shift sequences the multiplication and DIV by powers of two use.
#include <algorithm>
#include <string>

#include "asmout/labels.h"
#include "asmout/operand_text.h"
#include "codegen/arith_internal.h"
#include "codegen/arith_operator.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {

using namespace arith;

namespace {

// A memory operand a byte of which can be read instead: a symbol, or an "@" operand that
// moves neither the stack nor a register.
bool isPlainMemory(std::string_view operand) {
  if (operandKind(operand) == OperandKind::Plain) {
    return !operand.empty() && operand != "sp";
  }
  return operand.size() > 1 && operand[0] == '@' && operand[1] != '-' && operand.back() != '+';
}

// "shlr.w" by eight or more: the high byte of a word is the byte at its address, so a
// word just loaded from (or stored to) memory is read as that byte instead.
int shiftWordFromMemory(Compilation& c, std::string_view reg, int count) {
  PeepholeWindow& window = c.emitter.window();
  if (count < 8 || window.empty() || !c.emitter.pendingLabel().empty()) {
    return count;
  }
  const WindowLine& last = window[window.count() - 1];
  if (last.mnemonic != "mov.w") {
    return count;
  }
  if (last.destination == reg && isPlainMemory(last.source)) {
    window.setMnemonic(window.count() - 1, "mov.b");
    emit(c, "extu.w", reg);
    return count - 8;
  }
  if (last.source == reg && isPlainMemory(last.destination)) {
    const std::string memory = last.destination;
    emit(c, "mov.b", memory, reg);
    emit(c, "extu.w", reg);
    return count - 8;
  }
  return count;
}

bool usesConstantMultiply(Compilation& c, int count) {
  const bool twoBitShifts = c.directives.settings().cpu2000;
  return ((count == 3 || count == 4) && !twoBitShifts) || (count >= 5 && count <= 15);
}

}  // namespace

void emitShifts(Compilation& c, std::string_view mnemonic, std::string_view reg, int count) {
  const std::string_view suffix = mnemonic.size() >= 2 ? mnemonic.substr(mnemonic.size() - 2) : "";
  const int width = suffix == ".b" ? 8 : suffix == ".w" ? 16 : 32;
  // Past the width every bit is shifted out; more shifts would change nothing.
  if (count < 0 || count > width) {
    count = width;
  }
  if (mnemonic == "shlr.l" && count >= 16 && count <= 23) {
    emit(c, "mov.l", reg, "@-sp");
    emit(c, "mov.w", "@sp", reg);
    emit(c, "adds", "#4", "sp");
    emit(c, "extu.l", reg);
    count -= 16;
  } else if (mnemonic == "shlr.l" && count >= 24 && count <= 31) {
    emit(c, "mov.l", reg, "@-sp");
    emit(c, "mov.b", "@sp", reg);
    emit(c, "adds", "#4", "sp");
    emit(c, "and.l", "#255", reg);
    count -= 24;
  } else if (mnemonic == "shlr.w") {
    count = shiftWordFromMemory(c, reg, count);
  }
  if (c.directives.settings().cpu2000) {
    if (count % 2 == 1) {
      emit(c, mnemonic, "#1", reg);
    }
    for (int i = 0; i < count / 2; ++i) {
      emit(c, mnemonic, "#2", reg);
    }
  } else {
    for (int i = 0; i < count; ++i) {
      emit(c, mnemonic, "#1", reg);
    }
  }
}

void generateShift(Compilation& c, ExprPtr& node) {
  TypeDescriptor* type = node->type;
  const int size = sizeOf(type);
  const std::string mnemonic = sized(node->op == TokenCode::Shl ? "shll" : "shlr", size);

  if (node->right->isConstantOf(ConstKind::Integer)) {
    const std::int32_t count = node->right->value.intValue;
    const std::string reg = generateInRegister(c, node->left, type);
    if (mnemonic == "shll.w" && usesConstantMultiply(c, count)) {
      // One multiplication by 2^n is shorter than n shifts. The shift keeps the operand's
      // width, so only the product's low word counts (-1 SHL 4 is -16, as on every CPU).
      const std::string factor = c.registers.allocateRegister();
      emit(c, "mov.w", "#" + std::to_string(1 << count), factor);
      emit(c, "mulxu.w", factor, reg);
      c.registers.releaseRegister(factor);
    } else if (mnemonic == "shll.w" && count == 16) {
      emit(c, "xor.w", reg, reg);
    } else {
      emitShifts(c, mnemonic, reg, count);
    }
    makeRegisterLeaf(*node, reg, type);
    return;
  }

  // A counted loop of single shifts.
  std::string reg;
  std::string counter;
  TypeDescriptor* countType = node->right->type;
  if (mayCall(*node->right)) {
    // The shifted value cannot stay in a register across the call that computes the count.
    reg = generateInRegister(c, node->left, type);
    const std::string mark = placeSpillMark(c, reg);
    counter = generateInRegister(c, node->right, countType);
    const HeldRegister held(c, counter);
    resolveSpillMark(c, mark, reg, size == 4);
  } else {
    reg = generateInRegister(c, node->left, type);
    const HeldRegister held(c, reg);
    counter = generateInRegister(c, node->right, countType);
  }
  const int countSize = sizeOf(countType);
  const std::string loop = newLocalLabel(c);
  const std::string test = newLocalLabel(c);
  // The loop starts with the test of the count; the flags must come from the count, which
  // the load of the count need not have set (a reused register emits no load).
  emit(c, sized("cmp", countSize), "#0", counter);
  emit(c, "bra", test);
  c.emitter.defineLabel(false, loop);
  emit(c, mnemonic, "#1", reg);
  emit(c, sized("dec", countSize), "#1", counter);
  c.emitter.defineLabel(false, test);
  emit(c, "bne", loop);
  c.registers.releaseRegister(counter);
  makeRegisterLeaf(*node, reg, type);
}

}  // namespace vorax
