#include <optional>

#include "asmout/labels.h"
#include "asmout/peephole_text.h"
#include "codegen/expr_parser.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/control_flow.h"
#include "stmt/rewrite_passes.h"
#include "stmt/statement_forms.h"
#include "stmt/statements.h"

namespace vorax {
namespace {

void forgetAndRelease(Compilation& c) {
  c.registers.forgetRegisterContents();
  c.registers.releaseUnlockedRegisters();
}

// The arm statement after THEN or ELSE (the current token): it starts with no register
// known or held.
void compileArm(Compilation& c, SymbolEntry& owner) {
  c.nextToken();
  forgetAndRelease(c);
  compileStatement(c, owner);
}

// IF without ELSE: the false label follows the then-part on a "nop" of its own.
void finishWithoutElse(Compilation& c, const std::string& conditionMarker,
                       const std::string& thenMarker, const std::string& falseLabel) {
  const auto markers = lookupMarkers(c, {conditionMarker, thenMarker});
  if (markers) {
    dropRepeatedStores(c, {(*markers)[0].position, c.emitter.window().count()});
  }
  c.emitter.defineLabel(true, falseLabel);
  emitLabelCarrier(c);
}

// IF with ELSE (the current token): both arms end in "bra end"; the passes then share
// what the arms have in common, and the end label is placed only when some line still
// branches to it.
void compileElse(Compilation& c, SymbolEntry& owner, const std::string& conditionMarker,
                 const std::string& thenMarker, const std::string& falseLabel) {
  const std::string endLabel = newLocalLabel(c);
  Emitter& e = c.emitter;
  e.emitInstruction("bra", endLabel, "");
  e.defineLabel(false, falseLabel);
  emitLabelCarrier(c);
  const std::string elseMarker = placeMarker(c, "@");
  c.nextToken();
  std::optional<Compilation::ElseIfLink> chainLink;
  if (c.token() == TokenCode::If) {
    chainLink.emplace(c);
  }
  forgetAndRelease(c);
  compileStatement(c, owner);
  e.emitInstruction("bra", endLabel, "");

  if (const auto markers = lookupMarkers(c, {conditionMarker, thenMarker, elseMarker})) {
    const MarkerPosition& condition = (*markers)[0];
    const MarkerPosition& thenArm = (*markers)[1];
    const MarkerPosition& elseArm = (*markers)[2];
    reuseConditionLoadsInElse(c, {condition.position, thenArm.markerLine}, elseArm.position);
    // Positions are taken again: the pass above deletes lines in place, but the merge
    // moves lines in front of the condition.
    mergeArms(c, {condition.position, thenArm.markerLine},
              {{thenArm.position, elseArm.markerLine}, {elseArm.position, e.window().count()}});
  }
  threadBranches(c, endLabel);

  // A branch to the end label that has already left the window counts as well.
  PeepholeWindow& window = e.window();
  const int newest = window.count() - 1;
  bool namedElsewhere = window.labelUses().uses(endLabel) > 1;
  for (int i = 0; i < newest && !namedElsewhere; ++i) {
    namedElsewhere = peephole::namesLabel(window[i].source, endLabel);
  }
  if (namedElsewhere || window.empty() || window[newest].mnemonic != "bra" ||
      window[newest].source != endLabel || !window[newest].label.empty()) {
    e.defineLabel(true, endLabel);
  } else {
    // Only the else arm's own "bra end" names the label: both go. The source lines
    // echoed after the branch stay with the line before it.
    window.removeLineKeepingAttached(newest);
  }
}

}  // namespace

// if = IF condition THEN statement [ ELSE statement ]
void compileIfStatement(Compilation& c, SymbolEntry& owner) {
  forgetAndRelease(c);
  c.nextToken();
  ExprPtr condition = parseExpression(c);
  const std::string conditionMarker = placeMarker(c, "@");
  const std::string falseLabel = newLocalLabel(c);
  jumpIfFalse(c, condition, falseLabel);
  if (c.token() != TokenCode::Then) {
    c.reportError(err::kThenExpected);
  }
  const std::string thenMarker = placeMarker(c, "#");
  compileArm(c, owner);
  if (c.token() == TokenCode::Else) {
    compileElse(c, owner, conditionMarker, thenMarker, falseLabel);
  } else {
    finishWithoutElse(c, conditionMarker, thenMarker, falseLabel);
  }
  forgetAndRelease(c);
}

}  // namespace vorax
