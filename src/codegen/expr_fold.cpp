// Constant folding. Integer arithmetic follows the target: 32-bit two's complement with
// wraparound, division truncating towards zero.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

#include "codegen/expr_real.h"
#include "codegen/expr_tree.h"
#include "codegen/relational.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

constexpr int kDivisionByZero = 54;
constexpr std::size_t kMaximumStringLength = 255;

using u32 = std::uint32_t;

std::int32_t wrap(u32 bits) { return static_cast<std::int32_t>(bits); }

bool isWholeNumberType(const TypeDescriptor* type) {
  if (type == nullptr) {
    return false;
  }
  const TypeClass k = typeClassOf(*type);
  return k == TypeClass::Integer || k == TypeClass::Byte || k == TypeClass::LongInt;
}

// The bits a shift to the right sees: the width of the operation's type.
u32 shiftWidthMask(const TypeDescriptor* type) {
  if (type != nullptr && type->size == 1) {
    return 0xffU;
  }
  if (type != nullptr && type->size == 2) {
    return 0xffffU;
  }
  return 0xffffffffU;
}

// Integer operators on two constants; nothing for XOR, which is left to the code.
std::optional<std::int32_t> integerOperation(TokenCode op, std::int32_t a, std::int32_t b,
                                             const TypeDescriptor* type) {
  const u32 ua = static_cast<u32>(a);
  const u32 ub = static_cast<u32>(b);
  switch (op) {
    case TokenCode::Plus:
      return wrap(ua + ub);
    case TokenCode::Minus:
      return wrap(ua - ub);
    case TokenCode::Star:
      return wrap(ua * ub);
    case TokenCode::Div:
      if (a == std::numeric_limits<std::int32_t>::min() && b == -1) {
        return a;  // the one quotient that does not fit wraps around
      }
      return a / b;
    case TokenCode::Mod:
      if (b == 1 || b == -1) {
        return 0;
      }
      return a % b;
    case TokenCode::Shl:
      return ub >= 32 ? 0 : wrap(ua << ub);
    case TokenCode::Shr:
      return ub >= 32 ? 0 : wrap((ua & shiftWidthMask(type)) >> ub);
    case TokenCode::And:
      return wrap(ua & ub);
    case TokenCode::Or:
      return wrap(ua | ub);
    default:
      return std::nullopt;
  }
}

bool isZeroConstant(const ExprNode& node) {
  if (node.isConstantOf(ConstKind::Integer)) {
    return node.value.intValue == 0;
  }
  return node.isConstantOf(ConstKind::Real) && node.value.realValue[0] == 0;
}

bool isUnitConstant(const ExprNode& node, std::int32_t unit) {
  return node.isConstantOf(ConstKind::Integer) && node.value.intValue == unit;
}

// The text of a CHAR or string constant.
std::optional<std::string> constantText(const ExprNode& node) {
  if (node.isConstantOf(ConstKind::Character)) {
    return std::string(1, static_cast<char>(node.value.smallValue));
  }
  if (node.isConstantOf(ConstKind::String)) {
    return node.value.text;
  }
  return std::nullopt;
}

// Texts compare by their bytes as unsigned values, a prefix before the longer text.
int compareTexts(const std::string& a, const std::string& b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (x != y) {
      return x < y ? -1 : 1;
    }
  }
  if (a.size() == b.size()) {
    return 0;
  }
  return a.size() < b.size() ? -1 : 1;
}

// Replaces `node` by `replacement`, handing over the node's pending flags.
void replaceNode(Compilation& c, ExprPtr& node, ExprPtr replacement) {
  const std::uint8_t flags = node->unaryFlags;
  node = std::move(replacement);
  handOverFlags(c, flags, node);
}

// Both operands constant: the computed constant, or nothing when the operation is left
// to the generated code.
ExprPtr computeConstant(Compilation& c, const ExprNode& node) {
  const ExprNode& left = *node.left;
  const ExprNode& right = *node.right;
  const TokenCode op = node.op;

  if (op == TokenCode::In) {
    if (!right.isConstantOf(ConstKind::Set)) {
      return nullptr;
    }
    const std::int32_t element = ordinalValue(left.value);
    const bool member =
        element >= 0 && element <= 255 &&
        (right.value.setBits[static_cast<std::size_t>(element) / 8] & (1U << (element % 8))) != 0;
    return makeBooleanConstant(c, member);
  }
  if (left.isConstantOf(ConstKind::Integer) && right.isConstantOf(ConstKind::Integer)) {
    const std::int32_t a = left.value.intValue;
    const std::int32_t b = right.value.intValue;
    if (isRelational(op)) {
      return makeBooleanConstant(c, compareValues(op, a, b));
    }
    if (op == TokenCode::Slash) {
      return foldRealOperation(c, node);
    }
    const std::optional<std::int32_t> value = integerOperation(op, a, b, node.type);
    if (!value) {
      return nullptr;
    }
    ExprPtr result = makeConstantLeaf(ConstValue::integer(*value), node.type);
    retypeSmallConstant(c, *result);
    return result;
  }
  if (left.isConstantOf(ConstKind::Real) || right.isConstantOf(ConstKind::Real)) {
    return foldRealOperation(c, node);
  }
  const std::optional<std::string> a = constantText(left);
  const std::optional<std::string> b = constantText(right);
  if (a && b) {
    if (op == TokenCode::Plus) {
      // Concatenation; a string holds at most 255 characters.
      std::string text = *a + *b;
      text.resize(std::min(text.size(), kMaximumStringLength));
      return makeStringConstant(c, std::move(text));
    }
    if (isRelational(op)) {
      return makeBooleanConstant(c, compareValues(op, compareTexts(*a, *b), 0));
    }
  }
  return nullptr;
}

// A node with one constant operand whose other operand is a node of the same type and
// the same operator family with a constant operand: the constants are merged.
//   (y + k1) + k2  =>  y + (k1 + k2)      (y - k1) + k2  =>  y + (k2 - k1)
//   (y * k1) * k2  =>  y * (k1 * k2)
struct ConstantTerm {
  ExprPtr* variable = nullptr;  // the non-constant operand
  std::int32_t constant = 0;    // the node's value is variable + constant (or * constant)
};

std::optional<ConstantTerm> splitConstantTerm(ExprNode& node) {
  if (node.isLeaf || node.unaryFlags != 0) {
    return std::nullopt;
  }
  const bool leftConstant = node.left->isConstantOf(ConstKind::Integer);
  const bool rightConstant = node.right->isConstantOf(ConstKind::Integer);
  if (leftConstant == rightConstant) {
    return std::nullopt;
  }
  ConstantTerm term;
  term.variable = leftConstant ? &node.right : &node.left;
  const std::int32_t k = (leftConstant ? node.left : node.right)->value.intValue;
  switch (node.op) {
    case TokenCode::Plus:
    case TokenCode::Star:
      term.constant = k;
      return term;
    case TokenCode::Minus:
      if (leftConstant) {
        return std::nullopt;  // k - y is not y plus a constant
      }
      term.constant = wrap(0U - static_cast<u32>(k));
      return term;
    default:
      return std::nullopt;
  }
}

bool sameFamily(TokenCode a, TokenCode b) {
  const auto additive = [](TokenCode op) {
    return op == TokenCode::Plus || op == TokenCode::Minus;
  };
  return (additive(a) && additive(b)) || (a == TokenCode::Star && b == TokenCode::Star);
}

bool reassociate(Compilation& c, ExprPtr& node) {
  std::optional<ConstantTerm> outer = splitConstantTerm(*node);
  if (!outer || !isWholeNumberType(node->type)) {
    return false;
  }
  ExprNode& inner = **outer->variable;
  if (inner.isLeaf || inner.type != node->type || !sameFamily(inner.op, node->op)) {
    return false;
  }
  std::optional<ConstantTerm> nested = splitConstantTerm(inner);
  if (!nested) {
    return false;
  }
  const bool product = node->op == TokenCode::Star;
  const u32 a = static_cast<u32>(outer->constant);
  const u32 b = static_cast<u32>(nested->constant);
  const std::int32_t merged = product ? wrap(a * b) : wrap(a + b);
  ExprPtr variable = std::move(*nested->variable);
  TypeDescriptor* type = node->type;
  const std::uint8_t flags = node->unaryFlags;
  const std::int32_t neutral = product ? 1 : 0;
  if (merged == neutral) {
    node = std::move(variable);
  } else {
    TokenCode op = product ? TokenCode::Star : TokenCode::Plus;
    std::int32_t shown = merged;
    if (!product && merged < 0 && merged != std::numeric_limits<std::int32_t>::min()) {
      op = TokenCode::Minus;
      shown = -merged;
    }
    ExprPtr constant = makeIntegerConstant(c, shown);
    retypeSmallConstant(c, *constant);
    node = makeOperatorNode(op, std::move(variable), std::move(constant), type);
  }
  handOverFlags(c, flags, node);
  return true;
}

// Exactly one operand constant.
void simplifyWithOneConstant(Compilation& c, ExprPtr& node) {
  const TokenCode op = node->op;
  ExprNode& right = *node->right;
  ExprNode& left = *node->left;
  const bool divides = op == TokenCode::Slash || op == TokenCode::Div || op == TokenCode::Mod;
  if (divides && isZeroConstant(right)) {
    c.reportError(kDivisionByZero);
  }
  if (op == TokenCode::Star && (isUnitConstant(left, 1) || isUnitConstant(left, -1))) {
    const bool negate = left.value.intValue == -1;
    ExprPtr other = std::move(node->right);
    if (negate) {
      applyUnaryFlags(c, other, false, true);
    }
    replaceNode(c, node, std::move(other));
    return;
  }
  const bool unitDivisor = isUnitConstant(right, 1) || isUnitConstant(right, -1);
  // Dividing by 1 with "/" keeps the REAL result type only when the dividend is REAL.
  const bool realDividend = left.type != nullptr && typeClassOf(*left.type) == TypeClass::Real;
  if (unitDivisor &&
      (op == TokenCode::Star || op == TokenCode::Div || (op == TokenCode::Slash && realDividend))) {
    const bool negate = right.value.intValue == -1;
    ExprPtr other = std::move(node->left);
    if (negate) {
      applyUnaryFlags(c, other, false, true);
    }
    replaceNode(c, node, std::move(other));
    return;
  }
  if (unitDivisor && op == TokenCode::Mod) {
    // x MOD 1 and x MOD -1 are 0 whatever x is.
    ExprPtr zero = makeConstantLeaf(ConstValue::integer(0), node->type);
    retypeSmallConstant(c, *zero);
    replaceNode(c, node, std::move(zero));
    return;
  }
  reassociate(c, node);
}

}  // namespace

void foldConstants(Compilation& c, ExprPtr& node) {
  if (node->isLeaf) {
    if (node->isConstant()) {
      applyUnaryFlags(c, node, false, false);
    }
    return;
  }
  foldConstants(c, node->left);
  foldConstants(c, node->right);
  if (node->left->type == c.symbols.types().booleanType) {
    foldBooleanNode(c, node);
    return;
  }
  const bool leftConstant = node->left->isConstant();
  const bool rightConstant = node->right->isConstant();
  if (leftConstant && rightConstant) {
    const TokenCode op = node->op;
    const bool divides = op == TokenCode::Slash || op == TokenCode::Div || op == TokenCode::Mod;
    if (divides && isZeroConstant(*node->right)) {
      c.reportError(kDivisionByZero);
    }
    ExprPtr folded = computeConstant(c, *node);
    if (folded) {
      replaceNode(c, node, std::move(folded));
    }
    return;
  }
  if (leftConstant || rightConstant) {
    simplifyWithOneConstant(c, node);
  }
}

}  // namespace vorax
