// The expression grammar, one function per level; operators are left-associative.
#include "codegen/expr_parser.h"

#include <optional>
#include <utility>

#include "codegen/expr_parser_parts.h"
#include "codegen/expr_tree.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

constexpr int kSetElementNotConstant = 22;

bool isRelationalOperator(TokenCode token) {
  switch (token) {
    case TokenCode::Equal:
    case TokenCode::NotEqual:
    case TokenCode::Less:
    case TokenCode::LessEqual:
    case TokenCode::Greater:
    case TokenCode::GreaterEqual:
    case TokenCode::In:
      return true;
    default:
      return false;
  }
}

bool isAddingOperator(TokenCode token) {
  return token == TokenCode::Plus || token == TokenCode::Minus || token == TokenCode::Or ||
         token == TokenCode::Xor;
}

bool isMultiplyingOperator(TokenCode token) {
  switch (token) {
    case TokenCode::Star:
    case TokenCode::Slash:
    case TokenCode::And:
    case TokenCode::Div:
    case TokenCode::Mod:
    case TokenCode::Shl:
    case TokenCode::Shr:
      return true;
    default:
      return false;
  }
}

bool kindIn(const TypeDescriptor* type, std::initializer_list<TypeKind> kinds) {
  if (type == nullptr) {
    return false;
  }
  for (TypeKind kind : kinds) {
    if (type->kind == kind) {
      return true;
    }
  }
  return false;
}

// One element value of a set constructor: an integer or CHAR constant in 0..255. The
// element type is CHAR for characters, BYTE for INTEGER and BYTE values.
std::int32_t parseSetElement(Compilation& c, TypeDescriptor*& elementType) {
  ExprPtr element = parseExpression(c);
  const PredefinedTypes& t = c.symbols.types();
  std::int32_t value = 0;
  TypeDescriptor* type = nullptr;
  if (element->isConstantOf(ConstKind::Character)) {
    value = element->value.smallValue;
    type = t.charType;
  } else if (element->isConstantOf(ConstKind::Integer)) {
    value = element->value.intValue;
    type = element->type == t.integerType ? t.byteType : element->type;
  } else {
    c.reportError(kSetElementNotConstant);
  }
  if (elementType == nullptr) {
    elementType = type;
  } else if (elementType != type) {
    c.reportError(err::kTypeMismatch);
  }
  if (value < 0 || value > 255) {
    c.reportError(err::kConstantOutOfRange);
  }
  return value;
}

void addSetElement(SetBits& bits, std::int32_t value) {
  const auto index = static_cast<std::size_t>(value);
  bits[index / 8] = static_cast<std::uint8_t>(bits[index / 8] | (1U << (index % 8)));
}

// set-constructor = "[" [ element { "," element } ] "]",  element = expr [ ".." expr ]
ExprPtr parseSetConstructor(Compilation& c) {
  ConstValue value;
  value.kind = ConstKind::Set;
  TypeDescriptor* elementType = nullptr;
  c.nextToken();
  if (c.token() != TokenCode::CloseBracket) {
    while (true) {
      const std::int32_t low = parseSetElement(c, elementType);
      if (c.token() == TokenCode::Range) {
        c.nextToken();
        const std::int32_t high = parseSetElement(c, elementType);
        if (low >= high) {
          c.reportError(err::kConstantOutOfRange);
        }
        for (std::int32_t v = low; v <= high; ++v) {
          addSetElement(value.setBits, v);
        }
      } else {
        addSetElement(value.setBits, low);
      }
      if (c.token() != TokenCode::Comma) {
        break;
      }
      c.nextToken();
    }
    if (c.token() != TokenCode::CloseBracket) {
      c.reportError(err::kCloseBracketExpected);
    }
  }
  c.nextToken();
  return makeConstantLeaf(value, elementType);
}

ExprPtr parseFactor(Compilation& c) {
  Scanner& s = c.scanner;
  ExprPtr node;
  switch (c.token()) {
    case TokenCode::Identifier:
      return parseIdentifierOperand(c);
    case TokenCode::IntegerConst:
      node = makeIntegerConstant(c, s.integerValue());
      break;
    case TokenCode::CharConst:
      node = makeCharConstant(c, s.charValue());
      break;
    case TokenCode::RealConst:
      node = makeRealConstant(c, s.realValue().bytes);
      break;
    case TokenCode::StringConst:
      node = makeStringConstant(c, s.stringValue());
      break;
    case TokenCode::Nil:
      node = makeConstantLeaf(ConstValue::integer(0), c.symbols.types().pointerType);
      break;
    case TokenCode::OpenParen:
      c.nextToken();
      node = parseExpression(c);
      if (c.token() != TokenCode::CloseParen) {
        c.reportError(err::kCloseParenExpected);
      }
      break;
    case TokenCode::OpenBracket:
      return parseSetConstructor(c);
    case TokenCode::At:
      return parseAddressOf(c);
    default:
      c.reportError(err::kUndefinedIdentifier);
  }
  c.nextToken();
  return node;
}

bool isSign(TokenCode token) { return token == TokenCode::Plus || token == TokenCode::Minus; }

// signed-factor = [ "+" | "-" ] factor
// `readSign` is a sign the caller has already read (a declaration that had to look past
// it), or no sign at all.
ExprPtr parseSignedFactor(Compilation& c, std::optional<TokenCode> readSign) {
  TokenCode sign = readSign.value_or(c.token());
  if (!readSign) {
    if (!isSign(sign)) {
      return parseFactor(c);
    }
    c.nextToken();
  }
  ExprPtr node = parseFactor(c);
  if (sign == TokenCode::Minus) {
    if (!kindIn(node->type, {TypeKind::Integer, TypeKind::Byte, TypeKind::Word, TypeKind::LongInt,
                             TypeKind::Real})) {
      c.reportError(err::kTypeMismatch);
    }
    applyUnaryFlags(c, node, false, true);
  }
  return node;
}

// not-operand = [ NOT ] signed-factor
ExprPtr parseNotOperand(Compilation& c, std::optional<TokenCode> readSign = std::nullopt) {
  if (readSign || c.token() != TokenCode::Not) {
    return parseSignedFactor(c, readSign);
  }
  c.nextToken();
  ExprPtr node = parseSignedFactor(c, std::nullopt);
  if (!kindIn(node->type, {TypeKind::Integer, TypeKind::Byte, TypeKind::Boolean, TypeKind::LongInt,
                           TypeKind::Address})) {
    c.reportError(err::kTypeMismatch);
  }
  applyUnaryFlags(c, node, true, false);
  return node;
}

ExprPtr makeTypedOperator(Compilation& c, TokenCode op, ExprPtr left, ExprPtr right) {
  TypeDescriptor* type = resultTypeOf(c, *left, *right, op);
  ExprPtr node = makeOperatorNode(op, std::move(left), std::move(right), type);
  foldBooleanNode(c, node);
  return node;
}

// term = not-operand { ( "*" | "/" | AND | DIV | MOD | SHL | SHR ) not-operand }
ExprPtr parseTerm(Compilation& c, std::optional<TokenCode> readSign = std::nullopt) {
  ExprPtr node = parseNotOperand(c, readSign);
  while (isMultiplyingOperator(c.token())) {
    const TokenCode op = c.token();
    c.countOperator();
    c.nextToken();
    ExprPtr right = parseNotOperand(c);
    node = makeTypedOperator(c, op, std::move(node), std::move(right));
    // A product that is shifted is computed in LONGINT, so the shift sees all its bits.
    if ((op == TokenCode::Shl || op == TokenCode::Shr) && !node->isLeaf && node->op == op &&
        !node->left->isLeaf && node->left->op == TokenCode::Star) {
      node->type = c.symbols.types().longIntType;
      node->left->type = c.symbols.types().longIntType;
    }
  }
  return node;
}

// simple-expression = term { ( "+" | "-" | OR | XOR ) term }
ExprPtr parseSimpleExpression(Compilation& c, std::optional<TokenCode> readSign = std::nullopt) {
  ExprPtr node = parseTerm(c, readSign);
  while (isAddingOperator(c.token())) {
    const TokenCode op = c.token();
    c.countOperator();
    c.nextToken();
    ExprPtr right = parseTerm(c);
    node = makeTypedOperator(c, op, std::move(node), std::move(right));
  }
  return node;
}

}  // namespace

ExprPtr parseExpression(Compilation& c) { return parseExpressionAfterSign(c, std::nullopt); }

ExprPtr parseExpressionAfterSign(Compilation& c, std::optional<TokenCode> sign) {
  const Compilation::NestingLevel level(c);
  ExprPtr node = parseSimpleExpression(c, sign);
  foldConstants(c, node);
  if (!isRelationalOperator(c.token())) {
    return node;
  }
  const TokenCode op = c.token();
  c.countOperator();
  c.nextToken();
  ExprPtr right = parseSimpleExpression(c);
  node = makeOperatorNode(op, std::move(node), std::move(right), c.symbols.types().booleanType);
  checkComparison(c, node);
  if (!node->isLeaf) {
    foldBooleanNode(c, node);
  }
  if (!node->isLeaf) {
    foldConstants(c, node);
  }
  return node;
}

}  // namespace vorax
