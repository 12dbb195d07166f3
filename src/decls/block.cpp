#include "decls/block.h"

#include <cstdint>

#include "decls/declaration_sections.h"
#include "decls/routine_declarations.h"
#include "decls/routine_frame.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/statements.h"

namespace vorax {
namespace {

bool startsSection(TokenCode token) {
  return token == TokenCode::Var || token == TokenCode::Type || token == TokenCode::Const ||
         token == TokenCode::Procedure || token == TokenCode::Function;
}

// Where a section stands: routine declarations in a unit's interface are headings only.
enum class SectionPlace { Block, Interface, Implementation };

// One section of a declaration part; the keyword is the current token. VAR sections
// allocate with `mode` and `counter`.
void parseSection(Compilation& c, SectionPlace place, AllocationMode mode, std::int32_t& counter) {
  const TokenCode keyword = c.token();
  c.nextToken();
  switch (keyword) {
    case TokenCode::Var:
      parseVarSection(c, mode, counter);
      break;
    case TokenCode::Type:
      parseTypeSection(c);
      break;
    case TokenCode::Const:
      parseConstSection(c);
      break;
    default:
      if (place == SectionPlace::Interface) {
        parseInterfaceRoutineHeading(c, keyword == TokenCode::Function);
      } else {
        parseRoutineDeclaration(c, keyword == TokenCode::Function);
      }
      break;
  }
}

// Statement part: the compound statement of the body.
void parseStatementPart(Compilation& c, SymbolEntry& owner) {
  if (c.token() != TokenCode::Begin) {
    c.reportError(err::kBeginExpected);
  }
  compileCompound(c, owner);
}

}  // namespace

void compileBlock(Compilation& c, SymbolEntry& routine) {
  // The display takes the first 4 bytes per level below the frame pointer.
  std::int32_t localOffset = -4 * c.symbols.scopeLevel();
  // Nested routines are compiled here, whole, before this body's entry code.
  while (c.token() != TokenCode::Begin) {
    if (!startsSection(c.token())) {
      c.reportError(err::kBeginExpected);
    }
    parseSection(c, SectionPlace::Block, AllocationMode::Stack, localOffset);
  }
  emitEntryCode(c, routine, localOffset);
  parseStatementPart(c, routine);
  emitExitCode(c, routine);
  c.symbols.listUnusedIdentifiers();
}

void parseProgramBlock(Compilation& c) {
  // The main body is compiled as a routine of its own, named by the program label.
  SymbolEntry& program = c.symbols.newEntry();
  program.kind = IdentKind::Procedure;
  program.name = c.programLabel;
  program.level = 1;
  compileBlock(c, program);
}

void parseInterfacePart(Compilation& c) {
  while (startsSection(c.token())) {
    parseSection(c, SectionPlace::Interface, AllocationMode::WorkArea, c.unitWorkAreaOffset);
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
    parseSection(c, SectionPlace::Implementation, AllocationMode::WorkArea, c.unitWorkAreaOffset);
  }
}

}  // namespace vorax
