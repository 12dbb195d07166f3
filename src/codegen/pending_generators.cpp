// REAL arithmetic is not part of the compiler yet: it stops the compilation with its own
// internal error number, so a source that needs it is told so instead of getting wrong code.
#include "codegen/codegen.h"
#include "diag/error_table.h"
#include "driver/compilation.h"

namespace vorax {

void generateRealValue(Compilation& c, ExprPtr& /*node*/) {
  c.reportError(err::kRealArithmeticNotBuilt);
}

}  // namespace vorax
