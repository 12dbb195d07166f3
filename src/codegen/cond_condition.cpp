// Conditions as branches: the entry the statements use (generateJumpIfFalse), the walk
// over AND and OR that turns them into jumps, and the test of a single BOOLEAN leaf.
#include <optional>
#include <string>

#include "asmout/labels.h"
#include "asmout/peephole_text.h"
#include "codegen/arith_internal.h"
#include "codegen/codegen.h"
#include "codegen/cond_internal.h"
#include "codegen/expr_tree.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {

using namespace arith;

namespace {

// A BOOLEAN (or other) leaf: its value is loaded and the flags tell zero from non-zero.
ConditionResult generateLeafCondition(Compilation& c, ExprPtr& leaf) {
  ConditionResult result;
  result.inverted = (leaf->unaryFlags & kComplementFlag) != 0;
  leaf->unaryFlags &= static_cast<std::uint8_t>(~kComplementFlag);
  TypeDescriptor* type = leaf->type;
  result.op = isBooleanType(type) ? TokenCode::NotEqual : TokenCode::Equal;
  result.isUnsigned = sizeOf(type) == 1 || isWordType(type);

  if (leaf->location == LocationKind::TypeCast) {
    c.reportError(kTypeCastAsValue);
  }
  if (leaf->location == LocationKind::Call) {
    generateCall(c, leaf);
  }
  if (leaf->location == LocationKind::Condition) {
    // The flags already hold the answer; the register the value came from is free again.
    c.registers.releaseRegister(leaf->text.empty() ? std::string("r0") : leaf->text);
    return result;
  }
  const std::string reg = generateInRegister(c, leaf, type);
  // Dropped by the emitter when the load already set the flags from the register.
  emit(c, sized("cmp", sizeOf(type)), "#0", reg);
  c.registers.releaseRegister(reg);
  return result;
}

// When the last line branches to `label`, it is turned into the opposite branch to
// `target`: falling through then reaches `label` itself.
void redirectFinalBranch(Compilation& c, std::string_view label, std::string_view target) {
  PeepholeWindow& window = c.emitter.window();
  if (window.empty()) {
    return;
  }
  const int last = window.count() - 1;
  const std::string_view inverse = peephole::inverseCondition(window[last].mnemonic);
  if (window[last].source != label || inverse.empty()) {
    return;
  }
  window.setMnemonic(last, inverse);
  window.redirectBranch(last, target);
}

ConditionResult generateJumpingCondition(Compilation& c, ExprPtr& tree, std::string_view falseLabel,
                                         std::string_view trueLabel) {
  const bool isAnd = tree->op == TokenCode::And;
  const bool leftIsLeaf = tree->left->isLeaf;
  const std::string rightStart = newLocalLabel(c);
  const ConditionResult left = isAnd ? generateCondition(c, tree->left, falseLabel, rightStart)
                                     : generateCondition(c, tree->left, rightStart, trueLabel);
  // AND leaves as soon as its left operand is false, OR as soon as it is true.
  const std::string_view exit = isAnd ? falseLabel : trueLabel;
  if (left.op.has_value()) {
    const bool branchOnTrue = isAnd == left.inverted;
    const TokenCode op = branchOnTrue ? *left.op : complementOf(*left.op);
    emit(c, branchFor(c, op, left.isUnsigned), exit);
  } else {
    redirectFinalBranch(c, rightStart, exit);
  }
  placeLabelIfUsed(c, !leftIsLeaf, rightStart);
  return generateCondition(c, tree->right, falseLabel, trueLabel);
}

}  // namespace

std::string_view branchFor(Compilation& c, TokenCode op, bool isUnsigned) {
  switch (op) {
    case TokenCode::Equal:
      return "beq";
    case TokenCode::NotEqual:
      return "bne";
    case TokenCode::Less:
      return isUnsigned ? "bcs" : "blt";
    case TokenCode::LessEqual:
      return isUnsigned ? "bls" : "ble";
    case TokenCode::Greater:
      return isUnsigned ? "bhi" : "bgt";
    case TokenCode::GreaterEqual:
      return isUnsigned ? "bcc" : "bge";
    default:
      c.reportError(kNoBranchForOperator);
  }
}

ConditionResult generateCondition(Compilation& c, ExprPtr& tree, std::string_view falseLabel,
                                  std::string_view trueLabel) {
  if (tree->isLeaf) {
    return generateLeafCondition(c, tree);
  }
  if ((tree->op == TokenCode::And || tree->op == TokenCode::Or) &&
      isBooleanType(tree->left->type)) {
    return generateJumpingCondition(c, tree, falseLabel, trueLabel);
  }
  if (tree->op == TokenCode::In) {
    return generateSetTest(c, tree, falseLabel, trueLabel);
  }
  return generateComparison(c, tree);
}

void generateJumpIfFalse(Compilation& c, ExprPtr& tree, std::string_view trueLabel,
                         std::string_view falseLabel) {
  if (!isBooleanType(tree->type)) {
    c.reportError(kConditionNotBoolean);
  }
  foldConstants(c, tree);
  const ConditionResult result = generateCondition(c, tree, falseLabel, trueLabel);
  if (result.op.has_value()) {
    const TokenCode op = result.inverted ? *result.op : complementOf(*result.op);
    emit(c, branchFor(c, op, result.isUnsigned), falseLabel);
  }
}

}  // namespace vorax
