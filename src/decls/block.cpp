#include "decls/block.h"

#include "asmout/runtime_names.h"
#include "diag/error_table.h"
#include "driver/compilation.h"

namespace vorax {
namespace {

bool startsSection(TokenCode token) {
  return token == TokenCode::Var || token == TokenCode::Type || token == TokenCode::Const ||
         token == TokenCode::Procedure || token == TokenCode::Function;
}

// Entry code of the main program (level 1): save the main frame cell, build the frame
// and its one-entry display, reserve the fixed temporaries.
void emitMainEntry(Compilation& c) {
  Emitter& e = c.emitter;
  e.defineLabel(true, c.programLabel);
  const std::string cell(rt::kMainFramePointerCell);
  e.emitInstruction("mov.l", cell, "r0");
  e.emitInstruction("mov.l", "r0", "@-sp");
  e.emitInstruction("mov.l", "fp", "@-sp");
  e.emitInstruction("mov.l", "sp", "fp");
  e.emitInstruction("mov.l", "fp", cell);
  e.emitInstruction("mov.l", "fp", "@-sp");
  // Locals start at -4 * level; 24 - b - 4 * level bytes lie below the display.
  const int level = 1;
  const int localOffset = -4 * level;
  e.emitInstruction("sub.l", "#" + std::to_string(24 - localOffset - 4 * level), "sp");
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

// Statement part: BEGIN, statements separated by ";", END. Until statements are
// compiled, only empty statements are accepted.
void parseStatementPart(Compilation& c) {
  if (c.token() != TokenCode::Begin) {
    c.reportError(err::kBeginExpected);
  }
  c.nextToken();
  while (c.token() == TokenCode::Semicolon) {
    c.nextToken();
  }
  if (c.token() != TokenCode::End) {
    c.reportError(err::kEndExpected);
  }
  c.nextToken();
}

}  // namespace

void parseProgramBlock(Compilation& c) {
  if (c.token() != TokenCode::Begin) {
    c.reportError(err::kBeginExpected);
  }
  emitMainEntry(c);
  parseStatementPart(c);
  emitMainExit(c);
}

void parseInterfacePart(Compilation& c) {
  while (startsSection(c.token())) {
    // Declarations arrive with the identifier table; until then a section is refused
    // the way an unexpected token would be.
    c.reportError(err::kImplementationExpected);
  }
}

void parseImplementationPart(Compilation& c) {
  if (c.token() != TokenCode::Implementation) {
    c.reportError(err::kImplementationExpected);
  }
  c.nextToken();
  while (startsSection(c.token())) {
    c.reportError(err::kEndExpected);
  }
}

}  // namespace vorax
