// Expression forms whose code generation is not part of the compiler yet. Each stops the
// compilation with its own internal error number, so a source that needs one is told so
// instead of getting wrong code.
#include "codegen/codegen.h"
#include "diag/error_table.h"
#include "driver/compilation.h"

namespace vorax {

void generateCall(Compilation& c, ExprPtr& /*callLeaf*/) {
  c.reportError(err::kFunctionCallNotBuilt);
}

void generateRealValue(Compilation& c, ExprPtr& /*node*/) {
  c.reportError(err::kRealArithmeticNotBuilt);
}

}  // namespace vorax
