#include <string>
#include <vector>

#include "asmout/labels.h"
#include "codegen/codegen.h"
#include "codegen/expr_parser.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/control_flow.h"
#include "stmt/rewrite_passes.h"
#include "stmt/statement_forms.h"
#include "stmt/statements.h"

namespace vorax {
namespace {

// What one record of a WITH list left behind until the statement ends.
struct OpenRecord {
  std::string marker;    // the with-marker placed before its address code
  std::string slot;      // "@(d,fp)" where a register base was saved; empty for a constant
  std::string baseText;  // the record's address: a register or "#" and a symbol
  bool isRegisters = false;
};

// The fields of a record's tree in name order. The walk keeps its own stack: fields
// declared in sorted order make a tree as deep as the record has fields. The field trees
// of the predefined records are chains through the right links, which this visits too.
void collectFields(const SymbolEntry* node, std::vector<const SymbolEntry*>& out) {
  std::vector<const SymbolEntry*> pending;
  while (node != nullptr || !pending.empty()) {
    while (node != nullptr) {
      pending.push_back(node);
      node = node->left;
    }
    node = pending.back();
    pending.pop_back();
    out.push_back(node);
    node = node->right;
  }
}

// The WITH scope of this record: a copy of every field, addressed from `baseText`.
void enterFieldCopies(Compilation& c, const TypeDescriptor& record, const std::string& baseText) {
  SymbolEntry*& root = c.symbols.openWithScope();
  std::vector<const SymbolEntry*> fields;
  collectFields(record.fieldTree, fields);
  for (const SymbolEntry* field : fields) {
    SymbolEntry& copy = c.symbols.newWithEntry();
    copy = *field;
    copy.left = nullptr;
    copy.right = nullptr;
    copy.next = nullptr;
    copy.inserted = false;
    copy.baseText = baseText;
    c.symbols.EnterIdentifier(root, copy);
  }
}

// The address of the record, computed while r0 is kept out of use, so that the address
// never lands in the register the code inside the WITH needs first.
std::string generateRecordAddress(Compilation& c, ExprPtr& designator) {
  RegisterPool& pool = c.registers;
  const bool r0WasInUse = pool.isRegisterInUse("r0");
  pool.forgetRegisterContents();
  pool.releaseUnlockedRegisters();
  pool.markRegisterInUse("r0");
  pool.lockRegister("r0");
  std::string address = generateVariable(c, designator);
  pool.unlockRegister("r0");
  if (!r0WasInUse) {
    pool.releaseRegister("r0");
  }
  return address;
}

// One record of the list; the current token is WITH or the "," before it.
OpenRecord openRecord(Compilation& c) {
  c.nextToken();
  if (c.token() != TokenCode::Identifier) {
    c.reportError(err::kUndefinedIdentifier);
  }
  SymbolEntry* symbol = c.symbols.LookupIdentifier(kinds::kStorage);
  if (symbol == nullptr) {
    c.reportError(err::kUndefinedIdentifier);
  }
  c.nextToken();
  ExprPtr designator = parseVariableDesignator(c, *symbol, true);
  TypeDescriptor* type = designator->type;
  if (type == nullptr || type->kind != TypeKind::Record) {
    c.reportError(err::kTypeMismatch);
  }
  OpenRecord record;
  record.isRegisters = type == c.symbols.types().registersType;
  record.marker = "@" + std::to_string(c.emitter.newLabelNumber());
  c.emitter.defineLabel(true, record.marker);
  c.emitter.emitLabelFiller("bcc", record.marker);
  record.baseText = generateRecordAddress(c, designator);
  if (record.baseText.empty() || record.baseText[0] != '#') {
    // A computed address is kept in a register for the whole statement and saved in the
    // frame slot of its depth, from where the access code reloads it after a call. Only
    // two registers are given to WITH.
    RegisterPool& pool = c.registers;
    if (pool.withRegistersFull()) {
      c.reportError(err::kDoExpected);
    }
    const int depth = pool.withRegisterCount();
    const std::int32_t offset = c.routine.withSlotOffsets[static_cast<std::size_t>(depth)];
    record.slot = "@(" + std::to_string(offset) + ",fp)";
    c.emitter.emitInstruction("mov.l", record.baseText, record.slot);
    c.optimizer.setWithSlotsUsed(true);
    pool.lockRegister(record.baseText);
    pool.pushWithRegister(record.baseText, offset);
  }
  enterFieldCopies(c, *type, record.baseText);
  return record;
}

// Undoes what openRecord did, newest record first.
void closeRecord(Compilation& c, const OpenRecord& record) {
  if (!record.slot.empty()) {
    const WithRegisterEntry entry = c.registers.popWithRegister();
    c.registers.unlockRegister(entry.registerText);
  }
  PeepholeWindow& window = c.emitter.window();
  // A WITH longer than the window has written its marker out already (as nothing).
  const int markerLine = window.findLabel(record.marker);
  if (markerLine >= 0) {
    window.setLabel(markerLine, "");
    window.setMnemonic(markerLine, "nop");
    window.setSource(markerLine, "");
    window.setDestination(markerLine, "");
    if (!record.slot.empty()) {
      dropUnreadSlotStore(c, markerLine, record.slot);
    }
  }
  c.symbols.closeWithScope();
}

}  // namespace

// with = WITH record-variable { "," record-variable } DO statement
// Each record of the list opens a scope of its own, as if each had a WITH of its own: a
// later record may be a field of an earlier one, and two records of one type do not
// clash.
void compileWithStatement(Compilation& c, SymbolEntry& owner) {
  std::vector<OpenRecord> records;
  do {
    records.push_back(openRecord(c));
  } while (c.token() == TokenCode::Comma);
  if (c.token() != TokenCode::Do) {
    c.reportError(err::kDoExpected);
  }
  Scanner& scanner = c.scanner;
  const bool registerNamesBefore = scanner.registerNamesAllowed();
  scanner.setRegisterNamesAllowed(registerNamesBefore || records.back().isRegisters);
  c.nextToken();
  compileStatement(c, owner);
  scanner.setRegisterNamesAllowed(registerNamesBefore);
  for (auto record = records.rbegin(); record != records.rend(); ++record) {
    closeRecord(c, *record);
  }
}

}  // namespace vorax
