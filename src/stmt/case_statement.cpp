#include "stmt/case_statement.h"

#include "diag/error_table.h"
#include "driver/compilation.h"

namespace vorax {

// CASE statements are not generated yet: they stop with their own internal error number.
void compileCaseStatement(Compilation& c, SymbolEntry& /*owner*/) {
  c.reportError(err::kCaseNotBuilt);
}

}  // namespace vorax
