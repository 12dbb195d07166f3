// CASE selector OF tags: statement { ; tags: statement } [ELSE statement [;]] END
//
// The arms are compiled first, behind a branch to the dispatch code; the dispatch follows
// them, once every tag is known, so that its form can be chosen by size.
#include "stmt/case_statement.h"

#include <string>
#include <vector>

#include "asmout/labels.h"
#include "codegen/expr_parser.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/case_dispatch.h"
#include "stmt/case_labels.h"
#include "stmt/case_passes.h"
#include "stmt/control_flow.h"
#include "stmt/rewrite_passes.h"
#include "stmt/statements.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

// Errors of the CASE statement.
constexpr int kNoArm = 19;
constexpr int kTagNotConstant = 22;
constexpr int kTagsCollide = 51;

// The selector must be an ordinal value that fits a register.
bool isOrdinalSelector(const TypeDescriptor* type) {
  if (type == nullptr) {
    return false;
  }
  switch (type->kind) {
    case TypeKind::Char:
    case TypeKind::Integer:
    case TypeKind::Byte:
    case TypeKind::Word:
    case TypeKind::Boolean:
    case TypeKind::LongInt:
    case TypeKind::Enumeration:
    case TypeKind::Subrange:
      return true;
    default:
      return false;
  }
}

// Tags are checked against the type a subrange is cut from.
const TypeDescriptor* tagType(const TypeDescriptor* selectorType) {
  if (selectorType->kind == TypeKind::Subrange && selectorType->base != nullptr) {
    return selectorType->base;
  }
  return selectorType;
}

// One tag value: a constant of the selector's type that a selector can hold (a tag
// such as 100000 for an INTEGER could never match and has no compare instruction).
std::int32_t parseTagValue(Compilation& c, const TypeDescriptor* selectorType) {
  const ExprPtr tag = parseExpression(c);
  if (!tag->isConstant()) {
    c.reportError(kTagNotConstant);
  }
  if (!IsAssignable(tagType(selectorType), tag->type)) {
    c.reportError(err::kTypeMismatch);
  }
  const std::int32_t value = ordinalValue(tag->value);
  if (!selectorCanHold(*selectorType, value)) {
    c.reportError(err::kConstantOutOfRange);
  }
  return value;
}

// tags = tag { "," tag }, tag = constant [ ".." constant ]; the current token is the
// first token of the first tag. Ends on the ":".
void parseTags(Compilation& c, const TypeDescriptor* selectorType, CaseLabelList& labels,
               const std::string& armLabel) {
  while (true) {
    const std::int32_t low = parseTagValue(c, selectorType);
    std::int32_t high = low;
    if (c.token() == TokenCode::Range) {
      c.nextToken();
      high = parseTagValue(c, selectorType);
      if (high <= low) {
        c.reportError(err::kConstantOutOfRange);
      }
    }
    if (!labels.add(low, high, armLabel)) {
      c.reportError(kTagsCollide);
    }
    if (c.token() != TokenCode::Comma) {
      break;
    }
    c.nextToken();
  }
  if (c.token() != TokenCode::Colon) {
    c.reportError(err::kColonExpected);
  }
}

// What the arms leave for the dispatch and the passes.
struct CaseArms {
  CaseLabelList labels;
  std::vector<std::string> markers;  // one per arm, the ELSE part's last
  std::string elseLabel;
  bool hasElse = false;
};

// The arms; the current token is the first tag. Ends on END or ELSE.
void compileArms(Compilation& c, SymbolEntry& owner, const TypeDescriptor* selectorType,
                 const std::string& endLabel, CaseArms& arms) {
  while (c.token() != TokenCode::End && c.token() != TokenCode::Else) {
    const std::string armLabel = newLocalLabel(c);
    c.registers.releaseUnlockedRegisters();
    parseTags(c, selectorType, arms.labels, armLabel);
    arms.markers.push_back(placeMarker(c, "@"));
    c.nextToken();
    c.emitter.defineLabel(true, armLabel);
    compileStatement(c, owner);
    c.emitter.emitInstruction("bra", endLabel, "");
    if (c.token() == TokenCode::Semicolon) {
      c.nextToken();
    } else if (c.token() != TokenCode::End && c.token() != TokenCode::Else) {
      c.reportError(err::kEndExpected);
    }
  }
}

// ELSE statement [";"]; the current token is ELSE.
void compileElsePart(Compilation& c, SymbolEntry& owner, const std::string& endLabel,
                     CaseArms& arms) {
  c.nextToken();
  arms.markers.push_back(placeMarker(c, "@"));
  arms.elseLabel = currentLabel(c, true);
  arms.hasElse = true;
  c.registers.forgetRegisterContents();
  c.registers.releaseUnlockedRegisters();
  compileStatement(c, owner);
  c.emitter.emitInstruction("bra", endLabel, "");
  if (c.token() == TokenCode::Semicolon) {
    c.nextToken();
  }
}

// After a call in the dispatch code the WITH bases are reloaded from their frame slots:
// the arms the dispatch branches to expect them in their registers.
void reloadWithBases(Compilation& c, int dispatchStart) {
  PeepholeWindow& w = c.emitter.window();
  const RegisterPool& pool = c.registers;
  int call = -1;
  for (int i = dispatchStart; i < w.count(); ++i) {
    if (w[i].mnemonic == "bsr") {
      call = i;
    }
  }
  if (call < 0 || pool.withRegisterCount() == 0) {
    return;
  }
  for (int k = 0; k < pool.withRegisterCount(); ++k) {
    const WithRegisterEntry& entry = pool.withRegister(k);
    const int at = call + 1 + k;
    const std::string slot = "@(" + std::to_string(entry.slotOffset) + ",fp)";
    if (at < w.count()) {
      w.insertBefore(at);
      w.setMnemonic(at, "mov.l");
      w.setSource(at, slot);
      w.setDestination(at, entry.registerText);
    } else {
      c.emitter.emitInstruction("mov.l", slot, entry.registerText);
    }
  }
}

}  // namespace

// case = CASE selector OF arm { ";" arm } [ ELSE statement [ ";" ] ] END
void compileCaseStatement(Compilation& c, SymbolEntry& owner) {
  Emitter& e = c.emitter;
  const std::string dispatchLabel = newLocalLabel(c);
  e.emitInstruction("bra", dispatchLabel, "");
  const std::string endLabel = newLocalLabel(c);

  c.nextToken();
  ExprPtr selector = parseExpression(c);
  if (selector->isConstant() || !isOrdinalSelector(selector->type)) {
    c.reportError(kConstantSelector);
  }
  if (c.token() != TokenCode::Of) {
    c.reportError(err::kOfExpected);
  }
  c.nextToken();
  if (c.token() == TokenCode::End || c.token() == TokenCode::Else) {
    c.reportError(kNoArm);
  }

  CaseArms arms;
  compileArms(c, owner, selector->type, endLabel, arms);
  if (c.token() == TokenCode::Else) {
    compileElsePart(c, owner, endLabel, arms);
  } else {
    arms.elseLabel = endLabel;
  }

  e.defineLabel(true, dispatchLabel);
  c.registers.releaseUnlockedRegisters();
  const CaseDispatchPlan plan{&arms.labels, arms.elseLabel, endLabel};
  const int dispatchStart = e.window().count();
  generateCaseDispatch(c, selector, plan);
  reloadWithBases(c, dispatchStart);
  runCasePasses(c, {dispatchLabel, endLabel, arms.elseLabel, arms.markers, arms.hasElse});

  if (c.token() != TokenCode::End) {
    c.reportError(err::kEndExpected);
  }
  c.nextToken();
  e.defineLabel(true, endLabel);
  c.registers.forgetRegisterContents();
  c.registers.releaseUnlockedRegisters();
}

}  // namespace vorax
