#include "asmout/labels.h"
#include "codegen/expr_parser.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/control_flow.h"
#include "stmt/rewrite_passes.h"
#include "stmt/statement_forms.h"
#include "stmt/statements.h"

namespace vorax {
namespace {

// Error: the condition after UNTIL is a constant that is not BOOLEAN.
constexpr int kBooleanExpected = 20;

// The top of a loop: a marker that the hoisting pass finds the loop by, and the label the
// loop branches back to, which the first line of the loop carries.
struct LoopHead {
  std::string marker;
  std::string top;
};

LoopHead placeLoopHead(Compilation& c) {
  LoopHead head;
  head.marker = placeMarker(c, "@");
  head.top = currentLabel(c, true);
  c.registers.releaseUnlockedRegisters();
  return head;
}

void hoistFromLoop(Compilation& c, const LoopHead& head) {
  if (const auto marker = lookupMarker(c, head.marker)) {
    hoistLoopInvariants(c, marker->position);
  }
}

}  // namespace

// while = WHILE condition DO statement
void compileWhileStatement(Compilation& c, SymbolEntry& owner) {
  c.nextToken();
  const LoopHead head = placeLoopHead(c);
  ExprPtr condition = parseExpression(c);
  const std::string exitLabel = newLocalLabel(c);
  jumpIfFalse(c, condition, exitLabel);
  if (c.token() != TokenCode::Do) {
    c.reportError(err::kDoExpected);
  }
  c.nextToken();
  compileStatement(c, owner);
  c.emitter.emitInstruction("bra", head.top, "");
  c.emitter.defineLabel(true, exitLabel);
  hoistFromLoop(c, head);
}

// repeat = REPEAT statement { ";" statement } UNTIL condition
void compileRepeatStatement(Compilation& c, SymbolEntry& owner) {
  const LoopHead head = placeLoopHead(c);
  do {
    c.nextToken();
    compileStatement(c, owner);
  } while (c.token() == TokenCode::Semicolon);
  if (c.token() != TokenCode::Until) {
    c.reportError(err::kUntilExpected);
  }
  c.nextToken();
  ExprPtr condition = parseExpression(c);
  if (condition->isConstant() && condition->unaryFlags == 0) {
    if (condition->value.kind != ConstKind::Boolean) {
      c.reportError(kBooleanExpected);
    }
    // UNTIL FALSE loops for ever; UNTIL TRUE runs the statements once.
    if (condition->value.smallValue == 0) {
      c.emitter.emitInstruction("bra", head.top, "");
    }
  } else {
    jumpIfFalse(c, condition, head.top);
  }
  hoistFromLoop(c, head);
}

}  // namespace vorax
