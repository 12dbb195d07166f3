// The statements the dispatcher hands on, one function per statement form. Each starts
// at the statement's first token and leaves the scanner on the token after it.
#pragma once

namespace vorax {

class Compilation;
struct SymbolEntry;

// A statement that begins with an identifier: assignment or procedure call.
void compileIdentifierStatement(Compilation& c, SymbolEntry& owner);
void compileIfStatement(Compilation& c, SymbolEntry& owner);
void compileWhileStatement(Compilation& c, SymbolEntry& owner);
void compileRepeatStatement(Compilation& c, SymbolEntry& owner);
void compileWithStatement(Compilation& c, SymbolEntry& owner);

}  // namespace vorax
