// Program and unit structure: the block of a program or routine body, and the two
// declaration sections of a unit.
#pragma once

namespace vorax {

class Compilation;

// The main program's block: declarations, then the body compiled as routine programLabel.
void parseProgramBlock(Compilation& c);
void parseInterfacePart(Compilation& c);
void parseImplementationPart(Compilation& c);

}  // namespace vorax
