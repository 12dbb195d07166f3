// Assignment statements: target := expression.
#pragma once

namespace vorax {

class Compilation;
struct SymbolEntry;

// designator ":=" expression. The current token is the one after the target's identifier,
// which named `target`; `owner` is the routine whose body holds the statement.
void compileAssignment(Compilation& c, SymbolEntry& target, SymbolEntry& owner);

}  // namespace vorax
