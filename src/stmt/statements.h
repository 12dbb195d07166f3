// The statement parser: compiles one statement at a time, emitting its code while it
// parses. `owner` is the routine whose body the statements belong to.
#pragma once

namespace vorax {

class Compilation;
struct SymbolEntry;

// Compiles the statement that starts at the current token; any token that starts no
// statement is an empty statement.
void compileStatement(Compilation& c, SymbolEntry& owner);
// BEGIN statement { ";" statement } END; the current token is BEGIN.
void compileCompound(Compilation& c, SymbolEntry& owner);

}  // namespace vorax
