// Expressions of the assembler: + - * / and parentheses over decimal numbers, h'..'
// numbers, symbols and "$" (the address of the current line).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorax::sim {

class AsmError : public std::runtime_error {
 public:
  explicit AsmError(const std::string& message) : std::runtime_error(message) {}
};

struct ExprNode {
  enum class Kind { Number, Symbol, Here, Negate, Add, Sub, Mul, Div };
  Kind kind = Kind::Number;
  int64_t number = 0;
  std::string symbol;
  std::unique_ptr<ExprNode> left;
  std::unique_ptr<ExprNode> right;
};

using ExprPtr = std::shared_ptr<const ExprNode>;

// Parses a whole expression; throws AsmError on a syntax error or trailing text.
ExprPtr parseExpression(const std::string& text);

// True when the text is a symbol name (used to tell "@sym" from "@rN").
bool isSymbolStart(char c);
bool isSymbolChar(char c);
// A name an assembler takes as a label: "$12", "@3", "#4", or a name such as "\\ram" or
// "R.3" (no "%", "$", "#", ":" or other punctuation inside).
bool isValidLabel(const std::string& name);

// Looks a symbol up: a value, or nothing when it is not known (yet).
using SymbolResolver = std::function<std::optional<int64_t>(const std::string&)>;

// Evaluates; nothing when a symbol is not known. Division by zero throws AsmError.
std::optional<int64_t> evaluate(const ExprNode& node, int64_t here, const SymbolResolver& resolve);

// Collects the symbol names the expression refers to.
void collectSymbols(const ExprNode& node, std::vector<std::string>& names);

}  // namespace vorax::sim
