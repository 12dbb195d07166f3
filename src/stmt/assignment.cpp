#include "stmt/assignment.h"

#include "diag/error_table.h"
#include "driver/compilation.h"

namespace vorax {

// Assignments are not generated yet.
void compileAssignment(Compilation& c, SymbolEntry& /*target*/, SymbolEntry& /*owner*/) {
  c.reportError(err::kAssignmentNotBuilt);
}

}  // namespace vorax
