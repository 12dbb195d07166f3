// Procedure call statements: user procedures and the standard procedures.
#pragma once

namespace vorax {

class Compilation;
struct SymbolEntry;

// The current token is the one after the procedure's name. `owner` is the routine whose
// body holds the call.
void compileProcedureCall(Compilation& c, SymbolEntry& routine, SymbolEntry& owner);

}  // namespace vorax
