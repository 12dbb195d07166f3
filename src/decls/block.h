// Program and unit structure: the block of a program or routine body, and the two
// declaration sections of a unit.
#pragma once

namespace vorax {

class Compilation;
struct SymbolEntry;

// The main program's block: declarations, then the body compiled as routine programLabel.
void parseProgramBlock(Compilation& c);
void parseInterfacePart(Compilation& c);
void parseImplementationPart(Compilation& c);

// A block at the current scope level: declarations, entry code, the statement part, exit
// code and the listing of the level's unused identifiers. `routine` is the routine whose
// body it is (the program's own entry for the main body).
void compileBlock(Compilation& c, SymbolEntry& routine);

}  // namespace vorax
