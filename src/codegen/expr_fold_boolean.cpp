// Folding of operators with a BOOLEAN left operand by their truth tables.
#include <utility>

#include "codegen/expr_tree.h"
#include "diag/error_table.h"
#include "driver/compilation.h"

namespace vorax {
namespace {

constexpr int kUnknownOperatorBothConstant = 906;
constexpr int kUnknownOperatorOneConstant = 907;

// The operator applied to two truth values; FALSE orders below TRUE and XOR is "<>".
bool applyBoolean(Compilation& c, TokenCode op, bool a, bool b, int errorNumber) {
  switch (op) {
    case TokenCode::And:
      return a && b;
    case TokenCode::Or:
      return a || b;
    case TokenCode::Xor:
    case TokenCode::NotEqual:
      return a != b;
    case TokenCode::Equal:
      return a == b;
    case TokenCode::Less:
      return !a && b;
    case TokenCode::LessEqual:
      return !a || b;
    case TokenCode::Greater:
      return a && !b;
    case TokenCode::GreaterEqual:
      return a || !b;
    default:
      c.reportError(errorNumber);
  }
}

// Replaces `node` by a BOOLEAN constant, keeping the node's pending flags.
void replaceByConstant(Compilation& c, ExprPtr& node, bool value) {
  const std::uint8_t flags = node->unaryFlags;
  node = makeBooleanConstant(c, value);
  handOverFlags(c, flags, node);
}

// Replaces `node` by one of its operands (complemented when asked), keeping the node's
// pending flags on top.
void replaceByOperand(Compilation& c, ExprPtr& node, bool takeLeft, bool complement) {
  const std::uint8_t flags = node->unaryFlags;
  ExprPtr operand = std::move(takeLeft ? node->left : node->right);
  if (complement) {
    applyUnaryFlags(c, operand, true, false);
  }
  handOverFlags(c, flags, operand);
  node = std::move(operand);
}

bool isConstantTruth(const ExprNode& node) { return node.isConstantOf(ConstKind::Boolean); }

}  // namespace

void foldBooleanNode(Compilation& c, ExprPtr& node) {
  if (node->isLeaf || !node->left || !node->right ||
      node->left->type != c.symbols.types().booleanType) {
    return;
  }
  const TokenCode op = node->op;
  const ExprNode& left = *node->left;
  const ExprNode& right = *node->right;
  const bool leftConstant = isConstantTruth(left);
  const bool rightConstant = isConstantTruth(right);
  const bool andOr = op == TokenCode::And || op == TokenCode::Or;

  if (leftConstant && rightConstant) {
    const bool value = applyBoolean(c, op, left.value.smallValue != 0, right.value.smallValue != 0,
                                    kUnknownOperatorBothConstant);
    replaceByConstant(c, node, value);
    return;
  }
  if (leftConstant || rightConstant) {
    // The node is a function of the other operand x alone: constant, x, or NOT x.
    const bool k = (leftConstant ? left : right).value.smallValue != 0;
    const auto f = [&](bool x) {
      return leftConstant ? applyBoolean(c, op, k, x, kUnknownOperatorOneConstant)
                          : applyBoolean(c, op, x, k, kUnknownOperatorOneConstant);
    };
    const bool whenFalse = f(false);
    const bool whenTrue = f(true);
    if (whenFalse == whenTrue) {
      replaceByConstant(c, node, whenFalse);
    } else {
      replaceByOperand(c, node, rightConstant, whenFalse);
    }
  } else if (andOr && left.isLeaf && left.location != LocationKind::Call && sameLeaf(left, right)) {
    if (left.unaryFlags == right.unaryFlags) {
      replaceByOperand(c, node, true, false);
    } else if ((left.unaryFlags ^ right.unaryFlags) == kComplementFlag) {
      // p AND NOT p, p OR NOT p.
      replaceByConstant(c, node, op == TokenCode::Or);
    } else {
      return;
    }
  } else {
    return;
  }
  if (andOr) {
    foldBooleanNode(c, node);
  }
}

}  // namespace vorax
