// CASE selector OF arms END.
#pragma once

namespace vorax {

class Compilation;
struct SymbolEntry;

// The current token is CASE.
void compileCaseStatement(Compilation& c, SymbolEntry& owner);

}  // namespace vorax
