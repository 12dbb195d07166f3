// Assignment statements: target := expression.
#pragma once

namespace vorax {

class Compilation;
struct SymbolEntry;

// The current token is the one after the target's identifier, which named `target`.
void compileAssignment(Compilation& c, SymbolEntry& target, SymbolEntry& owner);

}  // namespace vorax
