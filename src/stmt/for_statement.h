// FOR variable := first TO|DOWNTO last DO statement.
#pragma once

namespace vorax {

class Compilation;
struct SymbolEntry;

// The current token is FOR.
void compileForStatement(Compilation& c, SymbolEntry& owner);

}  // namespace vorax
