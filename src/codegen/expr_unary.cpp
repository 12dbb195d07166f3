// Pending negation and complement: NOT and unary minus are not nodes of their own but
// flags on the operand, combined here so that doubled operators cancel and constants
// take their value at once.
#include <cstdint>
#include <utility>

#include "codegen/expr_tree.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

constexpr int kUnknownFlagCombination = 902;
constexpr int kOperatorWithoutComplement = 901;

std::int32_t negateWrapped(std::int32_t value) {
  return static_cast<std::int32_t>(0U - static_cast<std::uint32_t>(value));
}

// A constant takes its pending flags into its value.
void absorbFlags(Compilation& c, ExprNode& leaf) {
  const std::uint8_t flags = leaf.unaryFlags;
  leaf.unaryFlags = 0;
  ConstValue& value = leaf.value;
  switch (value.kind) {
    case ConstKind::Integer:
      if ((flags & kNegateFlag) != 0) {
        value.intValue = negateWrapped(value.intValue);
        // A negated byte or integer constant gets the type its new value calls for.
        const PredefinedTypes& t = c.symbols.types();
        if (leaf.type == t.byteType || leaf.type == t.integerType) {
          leaf.type = integerConstantType(c, value.intValue);
        }
      }
      if ((flags & kComplementFlag) != 0) {
        value.intValue = static_cast<std::int32_t>(~static_cast<std::uint32_t>(value.intValue));
      }
      retypeSmallConstant(c, leaf);
      break;
    case ConstKind::Real:
      // Zero (exponent 0) has no sign to flip.
      if ((flags & kNegateFlag) != 0 && value.realValue[0] != 0) {
        value.realValue[5] = static_cast<std::uint8_t>(value.realValue[5] ^ 0x80U);
      }
      break;
    case ConstKind::Boolean:
      if ((flags & kComplementFlag) != 0) {
        value.smallValue = value.smallValue != 0 ? 0 : 1;
      }
      break;
    default:
      break;
  }
}

bool isBooleanOperator(const Compilation& c, const ExprNode& node) {
  return !node.isLeaf && node.type == c.symbols.types().booleanType;
}

}  // namespace

void applyUnaryFlags(Compilation& c, ExprPtr& node, bool complementNow, bool negateNow) {
  const int combined = (complementNow ? 8 : 0) + (negateNow ? 4 : 0) + node->unaryFlags;
  switch (combined) {
    case 0:
    case 5:
    case 10:
      node->unaryFlags = 0;
      break;
    case 1:
    case 4:
      node->unaryFlags = kNegateFlag;
      break;
    case 2:
    case 8:
      node->unaryFlags = kComplementFlag;
      break;
    case 6:    // -(NOT x) = x + 1
    case 9: {  // NOT(-x) = x - 1
      node->unaryFlags = 0;
      TypeDescriptor* type = node->type;
      ExprPtr one = makeIntegerConstant(c, 1);
      retypeSmallConstant(c, *one);
      node = makeOperatorNode(combined == 6 ? TokenCode::Plus : TokenCode::Minus, std::move(node),
                              std::move(one), type);
      break;
    }
    default:
      c.reportError(kUnknownFlagCombination);
  }
  if (node->isConstant()) {
    absorbFlags(c, *node);
  } else if ((node->unaryFlags & kComplementFlag) != 0 && isBooleanOperator(c, *node)) {
    pushNotDown(c, *node);
  }
}

void handOverFlags(Compilation& c, std::uint8_t flags, ExprPtr& replacement) {
  if ((flags & kNegateFlag) != 0) {
    applyUnaryFlags(c, replacement, false, true);
  }
  if ((flags & kComplementFlag) != 0) {
    applyUnaryFlags(c, replacement, true, false);
  }
}

void pushNotDown(Compilation& c, ExprNode& node) {
  if (node.op == TokenCode::In) {
    return;  // the membership test is complemented when it is generated
  }
  node.unaryFlags = static_cast<std::uint8_t>(node.unaryFlags & ~kComplementFlag);
  switch (node.op) {
    case TokenCode::Equal:
      node.op = TokenCode::NotEqual;
      break;
    case TokenCode::NotEqual:
    case TokenCode::Xor:
      node.op = TokenCode::Equal;
      break;
    case TokenCode::Less:
      node.op = TokenCode::GreaterEqual;
      break;
    case TokenCode::GreaterEqual:
      node.op = TokenCode::Less;
      break;
    case TokenCode::LessEqual:
      node.op = TokenCode::Greater;
      break;
    case TokenCode::Greater:
      node.op = TokenCode::LessEqual;
      break;
    case TokenCode::Or:
    case TokenCode::And:
      // De Morgan: NOT(p OR q) = NOT p AND NOT q, and the other way round.
      node.op = node.op == TokenCode::Or ? TokenCode::And : TokenCode::Or;
      applyUnaryFlags(c, node.left, true, false);
      applyUnaryFlags(c, node.right, true, false);
      break;
    default:
      c.reportError(kOperatorWithoutComplement);
  }
}

}  // namespace vorax
