#include "sim/asm_expr.h"

#include <algorithm>
#include <cctype>

namespace vorax::sim {

// Names are letters, digits, "_", "." and "\\" (the runtime's names), not starting with a
// digit; local labels are "$", "@" or "#" followed by digits only.
bool isSymbolStart(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u < 0x80 && std::isalpha(u)) || c == '\\' || c == '_' || c == '.' || c == '$' ||
         c == '@';
}

bool isSymbolChar(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (u < 0x80 && std::isalnum(u)) || c == '\\' || c == '_' || c == '.';
}

bool isValidLabel(const std::string& name) {
  if (name.empty()) return false;
  if (name[0] == '$' || name[0] == '@' || name[0] == '#') {
    return name.size() > 1 && std::all_of(name.begin() + 1, name.end(), [](char c) {
             return c >= '0' && c <= '9';
           });
  }
  return isSymbolStart(name[0]) &&
         std::all_of(name.begin() + 1, name.end(), [](char c) { return isSymbolChar(c); });
}

namespace {

class ExprParser {
 public:
  explicit ExprParser(const std::string& text) : text_(text) {}

  std::unique_ptr<ExprNode> parseAll() {
    auto node = parseSum();
    skipBlanks();
    if (pos_ != text_.size()) fail("unexpected text in expression");
    return node;
  }

 private:
  [[noreturn]] void fail(const std::string& what) { throw AsmError(what + " \"" + text_ + "\""); }

  void skipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
  }

  // A long chain of operators builds a tree as deep as the chain is long, and evaluating or
  // freeing it recurses that deep: the count is bounded like the nesting.
  std::unique_ptr<ExprNode> binary(ExprNode::Kind kind, std::unique_ptr<ExprNode> left,
                                   std::unique_ptr<ExprNode> right) {
    if (++operators_ > kMaxOperators) fail("expression too long");
    auto node = std::make_unique<ExprNode>();
    node->kind = kind;
    node->left = std::move(left);
    node->right = std::move(right);
    return node;
  }

  std::unique_ptr<ExprNode> parseSum() {
    auto node = parseProduct();
    for (;;) {
      skipBlanks();
      if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
        char op = text_[pos_++];
        node = binary(op == '+' ? ExprNode::Kind::Add : ExprNode::Kind::Sub, std::move(node),
                      parseProduct());
      } else {
        return node;
      }
    }
  }

  std::unique_ptr<ExprNode> parseProduct() {
    auto node = parseUnary();
    for (;;) {
      skipBlanks();
      if (pos_ < text_.size() && (text_[pos_] == '*' || text_[pos_] == '/')) {
        char op = text_[pos_++];
        node = binary(op == '*' ? ExprNode::Kind::Mul : ExprNode::Kind::Div, std::move(node),
                      parseUnary());
      } else {
        return node;
      }
    }
  }

  std::unique_ptr<ExprNode> parseUnary() {
    // Deep nesting would exhaust the host stack; no real expression comes near this.
    if (++depth_ > kMaxDepth) fail("expression nested too deeply");
    auto node = parseUnaryAtDepth();
    --depth_;
    return node;
  }

  std::unique_ptr<ExprNode> parseUnaryAtDepth() {
    skipBlanks();
    if (pos_ < text_.size() && (text_[pos_] == '-' || text_[pos_] == '+')) {
      char op = text_[pos_++];
      auto operand = parseUnary();
      if (op == '+') return operand;
      auto node = std::make_unique<ExprNode>();
      node->kind = ExprNode::Kind::Negate;
      node->left = std::move(operand);
      return node;
    }
    return parsePrimary();
  }

  std::unique_ptr<ExprNode> parsePrimary() {
    skipBlanks();
    if (pos_ >= text_.size()) fail("missing operand in expression");
    char c = text_[pos_];
    auto node = std::make_unique<ExprNode>();
    if (c == '(') {
      ++pos_;
      node = parseSum();
      skipBlanks();
      if (pos_ >= text_.size() || text_[pos_] != ')') fail("missing \")\" in expression");
      ++pos_;
      return node;
    }
    if (std::isdigit(static_cast<unsigned char>(c))) {
      int64_t value = 0;
      while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
        value = value * 10 + (text_[pos_++] - '0');
        if (value > 0xFFFFFFFFLL) fail("number too large");
      }
      if (pos_ < text_.size() && isSymbolChar(text_[pos_])) fail("bad number");
      node->number = value;
      return node;
    }
    if ((c == 'h' || c == 'H') && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
      pos_ += 2;
      int64_t value = 0;
      int digits = 0;
      while (pos_ < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[pos_]))) {
        char d = static_cast<char>(std::tolower(static_cast<unsigned char>(text_[pos_++])));
        value = value * 16 + (d <= '9' ? d - '0' : d - 'a' + 10);
        if (++digits > 8) fail("hexadecimal number too long");
      }
      if (digits == 0) fail("bad hexadecimal number");
      if (pos_ < text_.size() && text_[pos_] == '\'') ++pos_;  // closing apostrophe is optional
      node->number = value;
      return node;
    }
    if (c == '$' && (pos_ + 1 >= text_.size() || !isSymbolChar(text_[pos_ + 1]))) {
      ++pos_;
      node->kind = ExprNode::Kind::Here;
      return node;
    }
    if (isSymbolStart(c)) {
      size_t start = pos_++;
      while (pos_ < text_.size() && isSymbolChar(text_[pos_])) ++pos_;
      node->kind = ExprNode::Kind::Symbol;
      node->symbol = text_.substr(start, pos_ - start);
      return node;
    }
    fail("bad expression");
  }

  static constexpr int kMaxDepth = 200;
  static constexpr int kMaxOperators = 1000;
  const std::string& text_;
  size_t pos_ = 0;
  int depth_ = 0;
  int operators_ = 0;
};

}  // namespace

ExprPtr parseExpression(const std::string& text) {
  ExprParser parser(text);
  return ExprPtr(parser.parseAll());
}

std::optional<int64_t> evaluate(const ExprNode& node, int64_t here, const SymbolResolver& resolve) {
  switch (node.kind) {
    case ExprNode::Kind::Number:
      return node.number;
    case ExprNode::Kind::Here:
      return here;
    case ExprNode::Kind::Symbol:
      return resolve(node.symbol);
    case ExprNode::Kind::Negate: {
      auto value = evaluate(*node.left, here, resolve);
      if (!value) return std::nullopt;
      return -*value;
    }
    default:
      break;
  }
  auto left = evaluate(*node.left, here, resolve);
  auto right = evaluate(*node.right, here, resolve);
  if (!left || !right) return std::nullopt;
  // Values stay within 32 bits plus sign, so these never overflow 64 bits.
  constexpr int64_t kLimit = int64_t{1} << 40;
  int64_t result = 0;
  switch (node.kind) {
    case ExprNode::Kind::Add:
      result = *left + *right;
      break;
    case ExprNode::Kind::Sub:
      result = *left - *right;
      break;
    case ExprNode::Kind::Mul:
      if (__builtin_mul_overflow(*left, *right, &result)) {
        throw AsmError("value out of range in expression");
      }
      break;
    case ExprNode::Kind::Div:
      if (*right == 0) throw AsmError("division by zero in expression");
      result = *left / *right;
      break;
    default:
      break;
  }
  if (result > kLimit || result < -kLimit) throw AsmError("value out of range in expression");
  return result;
}

void collectSymbols(const ExprNode& node, std::vector<std::string>& names) {
  if (node.kind == ExprNode::Kind::Symbol) names.push_back(node.symbol);
  if (node.left) collectSymbols(*node.left, names);
  if (node.right) collectSymbols(*node.right, names);
}

}  // namespace vorax::sim
