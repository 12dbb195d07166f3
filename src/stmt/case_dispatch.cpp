#include "stmt/case_dispatch.h"

#include "asmout/operand_text.h"
#include "asmout/peephole_text.h"
#include "codegen/codegen.h"
#include "driver/compilation.h"
#include "stmt/control_flow.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

std::string sizeSuffixOf(int size) { return size == 1 ? ".b" : size == 2 ? ".w" : ".l"; }

// One-byte selectors (CHAR, BYTE, BOOLEAN, enumerations) and WORD values are compared
// without sign; a signed test would send WORD values above 32767 below every tag.
bool comparesUnsigned(const TypeDescriptor& type) {
  if (type.size == 1 || type.kind == TypeKind::Word) {
    return true;
  }
  return type.kind == TypeKind::Subrange && type.base != nullptr &&
         type.base->kind == TypeKind::Word;
}

// The selector's value in a work register. A selector that folds away to a constant
// leaves nothing to test.
std::string selectorInRegister(Compilation& c, ExprPtr& selector, TypeDescriptor* type,
                               const std::string& suffix) {
  std::string value = generateValue(c, selector, type);
  if (value.empty() || value[0] == '#') {
    c.reportError(kConstantSelector);
  }
  if (!isWorkRegister(value)) {
    const std::string reg = c.registers.allocateRegister();
    c.emitter.emitInstruction("mov" + suffix, value, reg);
    c.registers.releaseRegister(value);
    value = reg;
  }
  return value;
}

void emitCompareChain(Compilation& c, ExprPtr& selector, const CaseDispatchPlan& plan) {
  TypeDescriptor* type = selector->type;
  const int size = type->size;
  const std::string s = sizeSuffixOf(size);
  const bool isUnsigned = comparesUnsigned(*type);
  const std::string reg = selectorInRegister(c, selector, type, s);
  Emitter& e = c.emitter;
  const CaseEntry* previous = nullptr;
  for (const CaseEntry& entry : plan.labels->entries()) {
    if (entry.low == entry.high) {
      e.emitInstruction("cmp" + s, "#" + std::to_string(entry.low), reg);
      e.emitInstruction("beq", entry.target, "");
    } else {
      // Values below the range were sent away already when the previous entry is a range
      // ending right below this one: its upper test failed for them.
      const bool lowerKnown = (isUnsigned && entry.low == 0) ||
                              (previous != nullptr && previous->low != previous->high &&
                               static_cast<std::int64_t>(previous->high) + 1 == entry.low);
      if (!lowerKnown) {
        e.emitInstruction("cmp" + s, "#" + std::to_string(entry.low), reg);
        e.emitInstruction(isUnsigned ? "bcs" : "blt", plan.elseLabel, "");
      }
      e.emitInstruction("cmp" + s, "#" + std::to_string(entry.high), reg);
      e.emitInstruction(isUnsigned ? "bls" : "ble", entry.target, "");
    }
    previous = &entry;
  }
  if (plan.elseLabel != plan.endLabel) {
    e.emitInstruction("bra", plan.elseLabel, "");
  }
  c.registers.releaseRegister(reg);
}

void emitJumpTable(Compilation& c, ExprPtr& selector, const CaseDispatchPlan& plan) {
  const std::vector<CaseEntry>& entries = plan.labels->entries();
  const std::int32_t min = entries.front().low;
  const std::int32_t max = entries.back().high;
  const std::string reg =
      selectorInRegister(c, selector, c.symbols.types().longIntType, std::string(".l"));
  Emitter& e = c.emitter;
  // The selector less min, compared without sign: one test for both ends, and a
  // selector far from the tags (the subtraction overflowing) is never taken for one
  // inside the table.
  e.emitInstruction("sub.l", "#" + std::to_string(min), reg);
  const std::int64_t span = static_cast<std::int64_t>(max) - min;
  e.emitInstruction("cmp.l", "#" + std::to_string(span), reg);
  e.emitInstruction("bhi", plan.elseLabel, "");
  // Entries are four bytes: the index becomes a byte offset.
  if (c.directives.settings().cpu2000) {
    e.emitInstruction("shal.l", "#2", reg);
  } else {
    e.emitInstruction("shal.l", "#1", reg);
    e.emitInstruction("shal.l", "#1", reg);
  }
  const std::string table = newLocalLabel(c);
  e.emitInstruction("mov.l", "@(" + table + "," + reg + ")", reg);
  e.emitInstruction("jmp", "@" + reg, "");
  e.emitInstruction("org", "($+1)/2*2", "");
  e.defineLabel(true, table);
  std::size_t next = 0;
  for (std::int64_t value = min; value <= max; ++value) {
    while (entries[next].high < value) {
      ++next;
    }
    const std::string& target = entries[next].low <= value ? entries[next].target : plan.elseLabel;
    // The emit pipeline counts a use only for an operand that starts with the label; a
    // padded entry is counted here.
    const std::string text = tableEntryText(target);
    if (text[0] != '$') {
      e.window().labelUses().countUse(target);
    }
    e.emitInstruction("dl", text, "");
  }
  c.registers.releaseRegister(reg);
}

}  // namespace

bool selectorCanHold(const TypeDescriptor& type, std::int32_t value) {
  switch (type.size) {
    case 1:
      return value >= 0 && value <= 0xFF;
    case 2:
      return comparesUnsigned(type) ? value >= 0 && value <= 0xFFFF
                                    : value >= -0x8000 && value <= 0x7FFF;
    default:
      return true;
  }
}

std::string tableEntryText(const std::string& label) {
  constexpr std::size_t kField = 4;
  return label.size() >= kField ? label : std::string(kField - label.size(), ' ') + label;
}

CaseDispatchForm chooseDispatch(const CaseLabelList& labels, int size) {
  return compareChainCost(labels, size) < jumpTableCost(labels) ? CaseDispatchForm::CompareChain
                                                                : CaseDispatchForm::JumpTable;
}

CaseDispatchForm generateCaseDispatch(Compilation& c, ExprPtr& selector,
                                      const CaseDispatchPlan& plan) {
  const CaseDispatchForm form = chooseDispatch(*plan.labels, selector->type->size);
  if (form == CaseDispatchForm::CompareChain) {
    emitCompareChain(c, selector, plan);
  } else {
    emitJumpTable(c, selector, plan);
  }
  return form;
}

}  // namespace vorax
