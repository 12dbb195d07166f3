// Function calls inside expressions: user functions and the standard functions.
#include "codegen/codegen.h"
#include "diag/error_table.h"
#include "driver/compilation.h"

namespace vorax {

void generateCall(Compilation& c, ExprPtr& /*callLeaf*/) {
  c.reportError(err::kFunctionCallNotBuilt);
}

}  // namespace vorax
