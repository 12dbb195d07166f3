// The expression parser: reads one whole expression into a typed and folded tree. The
// scanner is left on the first token after the expression.
#pragma once

#include <optional>

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;
struct SymbolEntry;

// expression = simple-expression [ relational-operator simple-expression ]
[[nodiscard]] ExprPtr parseExpression(Compilation& c);
// The same, when the caller has already read a leading "+" or "-" (`sign`): the sign
// belongs to the first operand only, as if it had been read here.
[[nodiscard]] ExprPtr parseExpressionAfterSign(Compilation& c, std::optional<TokenCode> sign);

// A variable with its selectors. The scanner stands on the token after the identifier
// that named `symbol`. With `addressWanted` the caller wants the variable's address.
[[nodiscard]] ExprPtr parseVariableDesignator(Compilation& c, SymbolEntry& symbol,
                                              bool addressWanted);

}  // namespace vorax
