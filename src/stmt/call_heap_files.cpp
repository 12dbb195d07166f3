// NEW and DISPOSE, which pass the size of the pointer's base type to the heap routines,
// and ASSIGN, which tells the runtime whether the file is a text file.
//
// new = NEW "(" pointer-variable ")"      dispose = DISPOSE "(" pointer-variable ")"
// assign = ASSIGN "(" file-variable "," string ")"
#include <cstdint>
#include <string>
#include <utility>

#include "asmout/runtime_names.h"
#include "codegen/codegen.h"
#include "codegen/expr_parser_parts.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/call_standard.h"
#include "stmt/call_support.h"
#include "symbols/symbol_entry.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

constexpr int kPointerVariableExpected = 28;
constexpr int kInvalidPointer = 81;

// The single argument of NEW or DISPOSE: a variable of a pointer type with a known base
// type, whose size the heap routines need.
ExprPtr parsePointerArgument(const ProcedureCall& call, std::int32_t& baseSize) {
  Compilation& c = call.c;
  ExprNode arguments;
  parseArgumentList(c, arguments, call.routine);
  ExprPtr pointer = std::move(arguments.attached);
  pointer->addressWanted = false;
  const TypeDescriptor* type = pointer->type;
  if (type == nullptr || type->kind != TypeKind::Pointer) {
    c.reportError(kPointerVariableExpected);
  }
  const SymbolEntry* target = type->target;
  if (target == nullptr || target->isPlaceholder || target->type == nullptr) {
    c.reportError(kInvalidPointer);
  }
  baseSize = target->type->size;
  return pointer;
}

}  // namespace

void compileNew(const ProcedureCall& call) {
  Compilation& c = call.c;
  std::int32_t size = 0;
  StoreTarget pointer(c, parsePointerArgument(call, size));
  pushWordConstant(c, size);
  emitCall(c, rt::kNew);
  c.registers.markRegisterInUse("r0");
  const std::string operand = pointer.operand();
  c.emitter.emitInstruction("mov.l", "r0", operand);
  c.registers.releaseRegister(operand);
}

void compileDispose(const ProcedureCall& call) {
  Compilation& c = call.c;
  std::int32_t size = 0;
  ExprPtr pointer = parsePointerArgument(call, size);
  TypeDescriptor* type = pointer->type;
  const std::string value = generateInRegister(c, pointer, type);
  c.emitter.emitInstruction("mov.l", value, "@-sp");
  c.registers.releaseRegister(value);
  pushWordConstant(c, size);
  emitCall(c, rt::kDispose);
}

void compileAssign(const ProcedureCall& call) {
  Compilation& c = call.c;
  ExprNode arguments;
  parseArgumentList(c, arguments, call.routine);
  const bool isText = arguments.attached->type == c.symbols.types().textType;
  pushArgumentList(c, arguments.attached);
  if (isText) {
    c.emitter.emitInstruction("mov.w", "#1", "r0");
  } else {
    c.emitter.emitInstruction("xor.w", "r0", "r0");
  }
  c.emitter.emitInstruction("mov.w", "r0", "@-sp");
  emitCall(c, rt::kAssign);
}

}  // namespace vorax
