#include "stmt/for_statement.h"

#include "diag/error_table.h"
#include "driver/compilation.h"

namespace vorax {

// FOR statements are not generated yet: they stop with their own internal error number.
void compileForStatement(Compilation& c, SymbolEntry& /*owner*/) {
  c.reportError(err::kForNotBuilt);
}

}  // namespace vorax
