// The expression parser: reads one whole expression into a typed and folded tree. The
// scanner is left on the first token after the expression.
#pragma once

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;
struct SymbolEntry;

// expression = simple-expression [ relational-operator simple-expression ]
[[nodiscard]] ExprPtr parseExpression(Compilation& c);

// A variable with its selectors. The scanner stands on the token after the identifier
// that named `symbol`. With `addressWanted` the caller wants the variable's address.
[[nodiscard]] ExprPtr parseVariableDesignator(Compilation& c, SymbolEntry& symbol,
                                              bool addressWanted);

}  // namespace vorax
