#include "decls/block.h"

#include <cstdint>
#include <limits>

#include "asmout/runtime_names.h"
#include "decls/declaration_sections.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/statements.h"

namespace vorax {
namespace {

// Routine declarations arrive with the routines and their frames; until then a PROCEDURE
// or FUNCTION heading stops here.
constexpr int kRoutineDeclarationsNotSupported = 961;

bool startsSection(TokenCode token) {
  return token == TokenCode::Var || token == TokenCode::Type || token == TokenCode::Const ||
         token == TokenCode::Procedure || token == TokenCode::Function;
}

// One section of a declaration part; the keyword is the current token. VAR sections
// allocate with `mode` and `counter`.
void parseSection(Compilation& c, AllocationMode mode, std::int32_t& counter) {
  const TokenCode keyword = c.token();
  if (keyword == TokenCode::Procedure || keyword == TokenCode::Function) {
    c.reportError(kRoutineDeclarationsNotSupported);
  }
  c.nextToken();
  switch (keyword) {
    case TokenCode::Var:
      parseVarSection(c, mode, counter);
      break;
    case TokenCode::Type:
      parseTypeSection(c);
      break;
    default:
      parseConstSection(c);
      break;
  }
}

// Entry code of the main program (level 1): save the main frame cell, build the frame
// and its one-entry display, reserve the fixed temporaries.
void emitMainEntry(Compilation& c, std::int32_t localOffset) {
  Emitter& e = c.emitter;
  e.defineLabel(true, c.programLabel);
  const std::string cell(rt::kMainFramePointerCell);
  e.emitInstruction("mov.l", cell, "r0");
  e.emitInstruction("mov.l", "r0", "@-sp");
  e.emitInstruction("mov.l", "fp", "@-sp");
  e.emitInstruction("mov.l", "sp", "fp");
  e.emitInstruction("mov.l", "fp", cell);
  e.emitInstruction("mov.l", "fp", "@-sp");
  // The locals end at b (the counter rounded down to even); the six temporaries follow:
  // 24 - b - 4 * level bytes lie below the display.
  const int level = 1;
  const std::int64_t b = localOffset - (localOffset & 1);
  const std::int64_t reserved = 24 - b - 4 * level;
  // Locals of nearly 2 GB leave no 32-bit operand for the reservation.
  if (reserved > std::numeric_limits<std::int32_t>::max()) {
    c.reportError(err::kConstantOutOfRange);
  }
  e.emitInstruction("sub.l", "#" + std::to_string(reserved), "sp");
  c.registers.forgetRegisterContents();
  c.registers.resetRegisterPool();
}

void emitMainExit(Compilation& c) {
  Emitter& e = c.emitter;
  const std::string cell(rt::kMainFramePointerCell);
  e.emitInstruction("mov.l", "fp", "sp");
  e.emitInstruction("mov.l", "@sp+", "fp");
  e.emitInstruction("mov.l", "@sp+", "r0");
  e.emitInstruction("mov.l", "r0", cell);
  e.emitInstruction("rts", "", "");
}

// Statement part: the compound statement of the body.
void parseStatementPart(Compilation& c, SymbolEntry& owner) {
  if (c.token() != TokenCode::Begin) {
    c.reportError(err::kBeginExpected);
  }
  compileCompound(c, owner);
}

}  // namespace

void parseProgramBlock(Compilation& c) {
  // The display takes the first 4 bytes per level below the frame pointer.
  std::int32_t localOffset = -4 * c.symbols.scopeLevel();
  while (c.token() != TokenCode::Begin) {
    if (!startsSection(c.token())) {
      c.reportError(err::kBeginExpected);
    }
    parseSection(c, AllocationMode::Stack, localOffset);
  }
  // The main body is compiled as a routine of its own, named by the program label.
  SymbolEntry& program = c.symbols.newEntry();
  program.kind = IdentKind::Procedure;
  program.name = c.programLabel;
  program.level = 1;
  c.routine.routine = &program;
  c.routine.level = 1;
  emitMainEntry(c, localOffset);
  parseStatementPart(c, program);
  emitMainExit(c);
  c.symbols.listUnusedIdentifiers();
}

void parseInterfacePart(Compilation& c) {
  while (startsSection(c.token())) {
    parseSection(c, AllocationMode::WorkArea, c.unitWorkAreaOffset);
  }
}

void parseImplementationPart(Compilation& c) {
  if (c.token() != TokenCode::Implementation) {
    c.reportError(err::kImplementationExpected);
  }
  c.nextToken();
  // The implementation's variables continue where the interface's end: both sections
  // share the unit's one work area.
  while (startsSection(c.token())) {
    parseSection(c, AllocationMode::WorkArea, c.unitWorkAreaOffset);
  }
}

}  // namespace vorax
