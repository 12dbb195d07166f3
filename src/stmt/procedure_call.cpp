// procedure-call = procedure-name [ "(" argument { "," argument } ")" ]
// User procedures and most standard procedures push their arguments and call one
// routine; EXIT branches to the routine's exit, and the standard procedures of
// call_standard.h get code of their own.
#include "stmt/procedure_call.h"

#include <cctype>
#include <string>

#include "codegen/codegen.h"
#include "codegen/expr_parser_parts.h"
#include "codegen/func_io_check.h"
#include "decls/routine_labels.h"
#include "driver/compilation.h"
#include "stmt/call_standard.h"
#include "stmt/call_support.h"
#include "symbols/predefined_types.h"
#include "symbols/symbol_entry.h"

namespace vorax {
namespace {

// A standard procedure's runtime routine: "\" and its name in lower case (\reset).
std::string standardRoutineLabel(const SymbolEntry& routine) {
  std::string label = "\\";
  for (const char ch : routine.name) {
    label += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  }
  return label;
}

// The arguments pushed in parameter order, then one "bsr".
void compileGenericCall(const ProcedureCall& call) {
  Compilation& c = call.c;
  const std::string label = call.routine.standardRoutine != 0 ? standardRoutineLabel(call.routine)
                                                              : routineCallLabel(call.routine);
  ExprNode arguments;
  parseArgumentList(c, arguments, call.routine);
  pushArgumentList(c, arguments.attached);
  emitIoCall(call, label);
  c.registers.releaseUnlockedRegisters();
}

// EXIT: on to the exit code of the routine being compiled.
void compileExit(Compilation& c) {
  c.emitter.emitInstruction("bra", "$00", "");
  c.routine.exitLabelUsed = true;
}

}  // namespace

void compileProcedureCall(Compilation& c, SymbolEntry& routine, SymbolEntry& /*owner*/) {
  // A pending label is a join point: nothing is known about the registers there.
  if (!c.emitter.pendingLabel().empty()) {
    c.registers.forgetRegisterContents();
    c.registers.releaseUnlockedRegisters();
  }
  const ProcedureCall call{c, routine, callNeedsIoCheck(c, routine)};
  switch (static_cast<StandardRoutine>(routine.standardRoutine)) {
    case StandardRoutine::Str:
      compileStr(call);
      return;
    case StandardRoutine::Val:
      compileVal(call);
      return;
    case StandardRoutine::New:
      compileNew(call);
      return;
    case StandardRoutine::Dispose:
      compileDispose(call);
      return;
    case StandardRoutine::Exit:
      compileExit(c);
      return;
    case StandardRoutine::Read:
      compileRead(call);
      return;
    case StandardRoutine::ReadLn:
      compileReadLine(call);
      return;
    case StandardRoutine::Assign:
      compileAssign(call);
      return;
    case StandardRoutine::Write:
      compileWrite(call, false);
      return;
    case StandardRoutine::WriteLn:
      compileWrite(call, true);
      return;
    default:
      compileGenericCall(call);
      return;
  }
}

}  // namespace vorax
