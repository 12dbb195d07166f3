// The statistics trailer at the end of a compiled file.
#pragma once

namespace vorax {

class Compilation;

void writeTrailer(Compilation& c);

}  // namespace vorax
