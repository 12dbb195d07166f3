#include "stmt/procedure_call.h"

#include "diag/error_table.h"
#include "driver/compilation.h"

namespace vorax {

// Procedure calls are not generated yet: a source that calls one is told so with the
// call's own internal error number instead of getting wrong code.
void compileProcedureCall(Compilation& c, SymbolEntry& /*routine*/, SymbolEntry& /*owner*/) {
  c.reportError(err::kProcedureCallNotBuilt);
}

}  // namespace vorax
