#include "driver/compile_file.h"

#include <memory>

#include "decls/block.h"
#include "diag/error_table.h"
#include "diag/short_text.h"
#include "driver/clock_text.h"
#include "driver/compilation.h"
#include "driver/prologue.h"
#include "driver/trailer.h"

namespace vorax {
namespace {

constexpr std::size_t kLabelTextWidth = 28;

void expectToken(Compilation& c, TokenCode token, int errorNumber) {
  if (c.token() != token) {
    c.reportError(errorNumber);
  }
}

// UNIT name ; INTERFACE ... IMPLEMENTATION ... END
void compileUnit(Compilation& c) {
  c.nextToken();
  expectToken(c, TokenCode::Identifier, err::kUndefinedIdentifier);
  c.unitName = cutText(c.scanner.currentIdentifier(), kLabelTextWidth);
  c.nextToken();
  c.emitter.clearPendingLabel();
  expectToken(c, TokenCode::Semicolon, err::kSemicolonExpected);
  c.nextToken();
  c.symbols.openScope();
  c.programLabel = c.unitName;
  expectToken(c, TokenCode::Interface, err::kInterfaceExpected);
  writeUnitMemoryMap(c);
  writeSignature(c, false);
  c.nextToken();
  parseInterfacePart(c);
  if (!c.directives.settings().stackSetting.empty()) {
    c.emitter.emitRawLine(c.programLabel + ".WORK\tequ\t\\stack");
  }
  parseImplementationPart(c);
  expectToken(c, TokenCode::End, err::kEndExpected);
  c.nextToken();
}

// PROGRAM name [ ( name { , name } ) ] ; block
void compileProgram(Compilation& c) {
  c.nextToken();
  expectToken(c, TokenCode::Identifier, err::kUndefinedIdentifier);
  c.programLabel = cutText("\\" + c.scanner.currentIdentifier(), kLabelTextWidth);
  c.nextToken();
  c.symbols.openScope();
  c.emitter.clearPendingLabel();
  if (c.token() == TokenCode::OpenParen) {
    do {
      c.nextToken();
      expectToken(c, TokenCode::Identifier, err::kUndefinedIdentifier);
      c.nextToken();
    } while (c.token() == TokenCode::Comma);
    expectToken(c, TokenCode::CloseParen, err::kCloseParenExpected);
    c.nextToken();
  }
  writeProgramPrologue(c);
  if (c.stackConstant) {
    c.symbols.enterStackConstant(*c.stackConstant);
  }
  writeSignature(c, true);
  expectToken(c, TokenCode::Semicolon, err::kSemicolonExpected);
  c.nextToken();
  if (c.token() == TokenCode::Uses) {
    c.reportError(err::kUsesNotAllowed);
  }
  parseProgramBlock(c);
}

void runCompilation(Compilation& c, const std::string& fileName, const LocalDateTime& startTime) {
  c.reader.openCompilationFiles(fileName);
  c.scanner.buildReservedWordTable();
  // The environment exists before the first token: a memory directive in front of the
  // heading already reads constant expressions.
  c.symbols.enterPredefinedEnvironment();
  c.nextToken();
  c.compilationKind = c.token();
  if (c.compilationKind == TokenCode::Unit) {
    compileUnit(c);
  } else if (c.compilationKind == TokenCode::Program) {
    compileProgram(c);
  } else {
    c.reportError(err::kProgramExpected);
  }
  c.emitter.flushWindow();
  // The program's (or unit's) level, then the predefined one: closing reports routines
  // that were promised a body and never got one.
  c.symbols.CloseScope();
  c.symbols.CloseScope();
  c.registers.forgetRegisterContents();
  expectToken(c, TokenCode::Period, err::kPeriodExpected);
  writeTrailer(c);
  c.reader.closeAllSources();
  c.output.close();
  if (InMemoryFiles* memory = c.options.memoryFiles) {
    memory->finished = InMemoryFiles::Finished{c.directives.settings().targetCpu(),
                                               c.compilationKind == TokenCode::Unit};
  }

  const LocalDateTime endTime = c.host.now();
  c.host.showMessage(
      "コンパイル終了  " +
          elapsedTimeText(endTime.millisecondsOfDay() - startTime.millisecondsOfDay()),
      "VORAX", MessageIcon::Information);
}

}  // namespace

void compileFile(const std::string& fileName, CompileHost& host, const CompileOptions& options) {
  host.pauseBeforeCompile();
  const LocalDateTime startTime = host.now();
  // A fresh Compilation is the reset of every piece of compiler state.
  auto compilation = std::make_unique<Compilation>(host, options);
  try {
    runCompilation(*compilation, fileName, startTime);
  } catch (const tokeninvalid&) {
    // The error has been written and shown; the compilation is over.
  }
}

}  // namespace vorax
