#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/case_statement.h"
#include "stmt/for_statement.h"
#include "stmt/statement_forms.h"
#include "stmt/statements.h"

namespace vorax {

namespace {

void compileNonEmptyStatement(Compilation& c, SymbolEntry& owner) {
  switch (c.token()) {
    case TokenCode::Identifier:
      compileIdentifierStatement(c, owner);
      break;
    case TokenCode::Begin:
      compileCompound(c, owner);
      break;
    case TokenCode::If:
      compileIfStatement(c, owner);
      break;
    case TokenCode::For:
      compileForStatement(c, owner);
      break;
    case TokenCode::Case:
      compileCaseStatement(c, owner);
      break;
    case TokenCode::With:
      compileWithStatement(c, owner);
      break;
    case TokenCode::While:
      compileWhileStatement(c, owner);
      break;
    case TokenCode::Repeat:
      compileRepeatStatement(c, owner);
      break;
    default:
      break;
  }
}

bool startsStatement(TokenCode token) {
  switch (token) {
    case TokenCode::Identifier:
    case TokenCode::Begin:
    case TokenCode::If:
    case TokenCode::For:
    case TokenCode::Case:
    case TokenCode::With:
    case TokenCode::While:
    case TokenCode::Repeat:
      return true;
    default:
      return false;
  }
}

}  // namespace

// statement = [ identifier-statement | compound | if | for | case | with | while |
//               repeat ]
// Any other token starts the empty statement: nothing is read or emitted.
void compileStatement(Compilation& c, SymbolEntry& owner) {
  if (startsStatement(c.token())) {
    // Statements nest through the statements they hold: each one is a level of nesting.
    const Compilation::NestingLevel level(c, Compilation::NestingKind::Construct);
    compileNonEmptyStatement(c, owner);
  }
  // Between statements only the locked registers (WITH bases, loop counters) stay held.
  c.registers.releaseUnlockedRegisters();
}

// compound = BEGIN statement { ";" statement } END
void compileCompound(Compilation& c, SymbolEntry& owner) {
  do {
    c.nextToken();
    compileStatement(c, owner);
  } while (c.token() == TokenCode::Semicolon);
  if (c.token() != TokenCode::End) {
    c.reportError(err::kEndExpected);
  }
  c.nextToken();
}

}  // namespace vorax
