// BOOLEAN values in registers: leaves, the byte operations for "=", "<>", XOR, AND and
// OR on a leaf, and every other BOOLEAN expression materialised through its condition.
#include <string>

#include "asmout/labels.h"
#include "asmout/operand_text.h"
#include "asmout/peephole_text.h"
#include "codegen/arith_internal.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {

using namespace arith;

namespace {

// Width of a BOOLEAN value held in a word register (materialised or returned by a call).
constexpr int kWordValueWidth = 2;

bool takeComplement(ExprNode& node) {
  const bool complemented = (node.unaryFlags & kComplementFlag) != 0;
  node.unaryFlags &= static_cast<std::uint8_t>(~kComplementFlag);
  return complemented;
}

void generateBooleanLeaf(Compilation& c, ExprPtr& leaf) {
  switch (leaf->location) {
    case LocationKind::Constant:
    case LocationKind::Register:
    case LocationKind::RuntimeResult:
    case LocationKind::Condition:
      return;  // converted when it is used
    case LocationKind::TypeCast:
      c.reportError(kTypeCastAsValue);
    case LocationKind::Call: {
      const bool complemented = takeComplement(*leaf);
      generateCall(c, leaf);
      if (leaf->location == LocationKind::Register) {
        // A BOOLEAN function result comes back in a word register.
        leaf->registerWidth = kWordValueWidth;
      }
      if (complemented) {
        leaf->unaryFlags |= kComplementFlag;
      }
      return;
    }
    default:
      break;
  }
  const bool complemented = takeComplement(*leaf);
  const std::string operand = generateVariable(c, leaf);
  c.registers.releaseRegister(operand);
  const std::string reg = c.registers.allocateRegister();
  emit(c, "mov.b", operand, reg);
  if (complemented) {
    emit(c, "bnot", "#0", reg);
  }
  makeRegisterLeaf(*leaf, reg, c.symbols.types().booleanType);
}

bool hasByteOperation(TokenCode op) {
  switch (op) {
    case TokenCode::Equal:
    case TokenCode::NotEqual:
    case TokenCode::Xor:
    case TokenCode::Or:
    case TokenCode::And:
      return true;
    default:
      return false;
  }
}

void generateByteOperation(Compilation& c, ExprPtr& node) {
  TypeDescriptor* booleanType = c.symbols.types().booleanType;
  const OperandTexts texts = evaluateOperands(c, *node, booleanType, booleanType, false);
  switch (node->op) {
    case TokenCode::Equal:
      emit(c, "xor.b", texts.right, texts.left);
      emit(c, "bnot", "#0", texts.left);
      break;
    case TokenCode::NotEqual:
    case TokenCode::Xor:
      emit(c, "xor.b", texts.right, texts.left);
      break;
    case TokenCode::Or:
      emit(c, "or.b", texts.right, texts.left);
      break;
    case TokenCode::And:
      emit(c, "and.b", texts.right, texts.left);
      break;
    default:
      c.reportError(kNoBooleanRegisterOperator);
  }
  c.registers.releaseRegister(texts.right);
  makeRegisterLeaf(*node, texts.left, booleanType);
}

bool isLine(const WindowLine& line, std::string_view mnemonic, std::string_view source,
            std::string_view destination) {
  return line.mnemonic == mnemonic && line.source == source && line.destination == destination;
}

// A work register that none of the lines first..last names and that holds nothing:
// it can carry the value across them instead of the stack.
std::string unusedRegister(Compilation& c, int first, int last) {
  const PeepholeWindow& window = c.emitter.window();
  for (int n = 0; n < kWorkRegisterCount; ++n) {
    const std::string reg = registerName(n);
    if (c.registers.isRegisterInUse(reg) || c.registers.isRegisterLocked(reg)) {
      continue;
    }
    bool named = false;
    for (int i = 0; i < c.registers.withRegisterCount(); ++i) {
      named = named || c.registers.withRegister(i).registerText == reg;
    }
    for (int i = first; i <= last && !named; ++i) {
      named = peephole::mentions(window[i], reg);
    }
    if (!named) {
      return reg;
    }
  }
  return {};
}

// Whether a line from `first` to `last` reads `reg` before setting it. The clear in front
// of the pushed zero may serve later lines too: the optimizer drops a second clear of a
// register that still holds zero.
bool readBeforeSet(const PeepholeWindow& window, int first, int last, std::string_view reg) {
  for (int i = first; i <= last; ++i) {
    const WindowLine& line = window[i];
    if (peephole::clearsRegister(line, reg)) {
      return false;
    }
    if (peephole::mentions(line, reg)) {
      return !(peephole::setsRegister(line, reg) && !peephole::contains(line.source, reg));
    }
  }
  return false;
}

// The value 0 pushed at `pushLine` (after "xor.w Z,Z") and overwritten by 1 at the end
// ("mov.w #1,R" / "mov.w R,@sp"): when no call came in between and a register K is left
// untouched by the condition's code, K carries the value instead ("xor.w K,K" ...
// "inc.w #1,K"). Returns K, or an empty text when the stack stays.
std::string keepValueInRegister(Compilation& c, int pushLine, std::string_view zero,
                                std::string_view one) {
  PeepholeWindow& window = c.emitter.window();
  const int last = window.count() - 1;
  if (pushLine < 1 || last < pushLine + 2) {
    return {};
  }
  if (!isLine(window[pushLine - 1], "xor.w", zero, zero) ||
      !isLine(window[pushLine], "mov.w", zero, "@-sp") ||
      !isLine(window[last - 1], "mov.w", "#1", one) || !isLine(window[last], "mov.w", one, "@sp")) {
    return {};
  }
  for (int i = pushLine + 1; i < last; ++i) {
    if (window[i].mnemonic == "bsr") {
      return {};
    }
  }
  std::string reg = unusedRegister(c, pushLine, last - 1);
  if (reg.empty()) {
    return {};
  }
  window.setMnemonic(last, "inc.w");
  window.setSource(last, "#1");
  window.setDestination(last, reg);
  if (window[last - 1].label.empty()) {
    window.removeLineKeepingAttached(last - 1);
  } else {
    window.deleteLine(last - 1);
  }
  if (readBeforeSet(window, pushLine + 1, last - 2, zero)) {
    // Later lines still count on the first register's zero: it stays, and K gets its own.
    window.setMnemonic(pushLine, "xor.w");
    window.setSource(pushLine, reg);
    window.setDestination(pushLine, reg);
    return reg;
  }
  window.removeLineKeepingAttached(pushLine);
  window.setSource(pushLine - 1, reg);
  window.setDestination(pushLine - 1, reg);
  return reg;
}

// Releases every unlocked register, after saving the values that wait at a spill mark
// (the left operand while this one is computed): the mark would save such a value only if
// a call followed, and none need follow. The mark is told to become a push all the same,
// and settling it pops the value into a fresh register.
void saveWaitingValuesAndRelease(Compilation& c) {
  PeepholeWindow& window = c.emitter.window();
  for (int i = 0; i < window.count(); ++i) {
    const WindowLine& line = window[i];
    if (line.mnemonic == "bcx" && isWorkRegister(line.destination) &&
        c.registers.isRegisterHeld(line.destination) &&
        !c.registers.isRegisterLocked(line.destination)) {
      requireSpillPush(c, i);
    }
  }
  c.registers.releaseUnlockedRegisters();
}

void materialise(Compilation& c, ExprPtr& node) {
  TypeDescriptor* booleanType = c.symbols.types().booleanType;
  saveWaitingValuesAndRelease(c);
  const std::string zero = c.registers.allocateRegister();
  emit(c, "xor.w", zero, zero);
  emit(c, "mov.w", zero, "@-sp");
  const int pushLine = c.emitter.window().count() - 1;
  c.registers.releaseRegister(zero);
  const std::string trueLabel = newLocalLabel(c);
  const std::string falseLabel = newLocalLabel(c);
  generateJumpIfFalse(c, node, trueLabel, falseLabel);
  placeLabelIfUsed(c, true, trueLabel);
  const std::string one = c.registers.allocateRegister();
  emit(c, "mov.w", "#1", one);
  emit(c, "mov.w", one, "@sp");
  std::string result = keepValueInRegister(c, pushLine, zero, one);
  c.registers.releaseRegister(one);
  placeLabelIfUsed(c, true, falseLabel);
  // The jumps already honoured a complement the tree kept (NOT (x IN s)): the value
  // computed is the node's whole value.
  node->unaryFlags &= static_cast<std::uint8_t>(~kComplementFlag);
  if (result.empty()) {
    result = c.registers.allocateRegister();
    emit(c, "mov.w", "@sp+", result);
  } else {
    c.registers.markRegisterInUse(result);
  }
  makeRegisterLeaf(*node, result, booleanType);
  node->registerWidth = kWordValueWidth;
}

}  // namespace

void generateBooleanValue(Compilation& c, ExprPtr& node) {
  if (node->isLeaf) {
    generateBooleanLeaf(c, node);
    return;
  }
  const bool leafOperand = node->left->isLeaf || node->right->isLeaf;
  if (isBooleanType(node->left->type) && leafOperand && hasByteOperation(node->op)) {
    generateByteOperation(c, node);
    return;
  }
  // Orderings of two BOOLEANs and all other comparisons are computed through branches.
  materialise(c, node);
}

}  // namespace vorax
