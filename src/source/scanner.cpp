// Placeholder until the scanner is built.
#include "source/scanner.h"

#include <stdexcept>

namespace vorax {

Scanner::Scanner(Compilation& compilation) : compilation_(compilation) {}
void Scanner::buildReservedWordTable() {}
void Scanner::nextToken() { throw std::logic_error("scanner not built yet"); }

}  // namespace vorax
