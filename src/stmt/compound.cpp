#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/statements.h"

namespace vorax {

// Only empty statements are compiled so far.
void compileStatement(Compilation& /*c*/, SymbolEntry& /*owner*/) {}

void compileCompound(Compilation& c, SymbolEntry& owner) {
  do {
    c.nextToken();
    compileStatement(c, owner);
  } while (c.token() == TokenCode::Semicolon);
  if (c.token() != TokenCode::End) {
    c.reportError(err::kEndExpected);
  }
  c.nextToken();
}

}  // namespace vorax
