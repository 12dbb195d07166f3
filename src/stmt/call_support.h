// Pieces the code of every procedure call uses: runtime calls with their I/O check,
// words and longs pushed as arguments, and variables that receive a value after a
// runtime call has produced it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;
struct SymbolEntry;
struct TypeDescriptor;

// One call statement being compiled.
struct ProcedureCall {
  Compilation& c;
  const SymbolEntry& routine;
  // The routine does input or output and {$I+} is on (callNeedsIoCheck): every call of
  // an I/O runtime routine is followed by "trapa #0", which lets the runtime react to a
  // failure.
  bool ioCheck = false;
};

// "bsr" to `label`.
void emitCall(Compilation& c, std::string_view label);
// "bsr" to an I/O runtime routine, then the I/O check when the call asks for it.
void emitIoCall(const ProcedureCall& call, std::string_view label);

// The current token must be `token`, else error `error`.
void expectToken(Compilation& c, TokenCode token, int error);

// Pushes the value of `tree` as a word converted to INTEGER, or as a long converted to
// LONGINT; the tree is consumed.
void pushWordValue(Compilation& c, ExprPtr tree);
void pushLongValue(Compilation& c, ExprPtr tree);
// Pushes a constant word. The processor has no immediate-to-memory move, so the value
// goes through a register.
void pushWordConstant(Compilation& c, std::int32_t value);
// Parses a width (or decimals) expression after ":" and checks that it is an integer.
[[nodiscard]] ExprPtr parseWidth(Compilation& c);

// True for the integer types: INTEGER, BYTE, WORD, LONGINT, the internal address type
// and subranges.
[[nodiscard]] bool isIntegerKind(const TypeDescriptor* type);
// True when `reg` is the base register of an open WITH: reaching a field of its record
// may reload it from its frame slot, and nothing else may change it.
[[nodiscard]] bool isWithBase(const Compilation& c, std::string_view reg);
// True when `reg` is a work register that code may step through a loop: not locked and no
// WITH base.
[[nodiscard]] bool isScratchRegister(const Compilation& c, std::string_view reg);

// True when `node` is a variable: a designator whose storage can be read and written.
[[nodiscard]] bool isVariable(const ExprNode& node);

// True when computing the address of the designator `leaf` may call a routine (an index
// holding a function call). Loading its value may call for other reasons as well (a REAL
// or STRING value is loaded by the runtime); that does not count here.
[[nodiscard]] bool addressMayCall(const ExprNode& leaf);

// A copy of a whole tree, argument lists and designator chains included.
[[nodiscard]] ExprPtr cloneTree(const ExprNode& node);

// A variable that receives a value produced by runtime calls (a character in r0, a number
// from "\val"). When computing its address may itself call a routine (an index with a
// function call), the address is pushed before the runtime calls and popped for the
// store, so that the routine cannot destroy the value on its way.
class StoreTarget {
 public:
  StoreTarget(Compilation& c, ExprPtr designator);
  // The memory operand to store into; the registers in use stay untouched.
  [[nodiscard]] std::string operand();
  [[nodiscard]] TypeDescriptor* type() const { return type_; }

 private:
  Compilation& c_;
  ExprPtr designator_;
  TypeDescriptor* type_;
  bool pushed_ = false;
};

}  // namespace vorax
