// The first lines of every assembly file: memory map, the startup sequence of a program,
// and the signature with the compile date.
#pragma once

namespace vorax {

class Compilation;

void writeProgramPrologue(Compilation& c);
void writeUnitMemoryMap(Compilation& c);
void writeSignature(Compilation& c, bool isProgram);

}  // namespace vorax
