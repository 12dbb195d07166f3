// The pieces of the expression parser that live in files of their own.
#pragma once

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;
struct SymbolEntry;

// identifier-operand: type cast, constant, function call or variable. The scanner
// stands on the identifier.
[[nodiscard]] ExprPtr parseIdentifierOperand(Compilation& c);
// "@" designator. The scanner stands on the "@".
[[nodiscard]] ExprPtr parseAddressOf(Compilation& c);
// A call of `routine` with its argument list; standard functions with a constant
// argument are folded to their result. The scanner stands after the routine's name.
[[nodiscard]] ExprPtr parseFunctionCall(Compilation& c, SymbolEntry& routine);
// The argument list of a call of `routine`, one expression per parameter, attached to
// `call`; the argument of a VAR parameter must be a variable and is marked address-wanted.
// The scanner stands after the routine's name.
void parseArgumentList(Compilation& c, ExprNode& call, const SymbolEntry& routine);
// The standard function's result when its argument is a constant; `call` unchanged
// otherwise.
void foldStandardFunction(Compilation& c, ExprPtr& call);

}  // namespace vorax
