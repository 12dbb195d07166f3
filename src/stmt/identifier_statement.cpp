#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/assignment.h"
#include "stmt/procedure_call.h"
#include "stmt/statement_forms.h"

namespace vorax {
namespace {

// Error: an interrupt procedure is called, or a function's result is assigned outside
// the function.
constexpr int kInvalidRoutineUse = 66;

// A function's name takes its result only inside the function: in its own body, or in
// a routine nested in it (whose body lies deeper than the function's). A standard
// function has no result to assign.
bool mayAssignResultOf(const Compilation& c, const SymbolEntry& function) {
  if (function.standardRoutine != 0) {
    return false;
  }
  if (&function == c.routine.routine) {
    return true;
  }
  return function.level < c.routine.level;
}

}  // namespace

// identifier-statement = procedure-name [ arguments ] | variable-or-function ":=" expr
void compileIdentifierStatement(Compilation& c, SymbolEntry& owner) {
  SymbolEntry* target = c.symbols.LookupIdentifier(kinds::kStatementStart);
  if (target == nullptr) {
    c.reportError(err::kUndefinedIdentifier);
  }
  if (target->kind == IdentKind::InterruptProcedure) {
    c.reportError(kInvalidRoutineUse);
  }
  c.nextToken();
  if (target->kind == IdentKind::Procedure) {
    compileProcedureCall(c, *target, owner);
    return;
  }
  if (target->kind == IdentKind::Function && !mayAssignResultOf(c, *target)) {
    c.reportError(kInvalidRoutineUse);
  }
  compileAssignment(c, *target, owner);
}

}  // namespace vorax
