// Function calls inside expressions: the dispatch between the standard functions that
// have sequences of their own and the generic call of a routine label, and the generic
// call itself.
#include <string>
#include <utility>

#include "asmout/stack_adjust.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"
#include "codegen/func_internal.h"
#include "codegen/func_io_check.h"
#include "codegen/symbol_operand.h"
#include "driver/compilation.h"
#include "symbols/symbol_entry.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

constexpr int kRealSize = 6;
// Bit 7 of the byte after the exponent holds the sign of a REAL value on the stack.
constexpr std::string_view kRealSignByte = "@(1,sp)";
// A routine returns one-byte results as a word in r0.
constexpr int kWordResult = 2;

bool isRealType(const TypeDescriptor* type) {
  return type != nullptr && type->kind == TypeKind::Real;
}

bool returnedAsWord(const TypeDescriptor* type) {
  return type != nullptr && (type->kind == TypeKind::Byte || type->kind == TypeKind::Enumeration);
}

}  // namespace

void takeResultInR0(Compilation& c, ExprNode& leaf, TypeDescriptor* type) {
  c.registers.releaseUnlockedRegisters();
  c.registers.forgetContentsOfRegister(0);
  c.registers.unlockRegister("r0");
  c.registers.releaseRegister("r0");
  makeRegisterLeaf(leaf, "r0", type);
  c.registers.markRegisterInUse("r0");
}

void takeRealResult(Compilation& c, ExprNode& leaf) {
  const bool negate = (leaf.unaryFlags & kNegateFlag) != 0;
  makeRuntimeResultLeaf(leaf, c.symbols.types().realType);
  if (negate) {
    const std::string reg = c.registers.allocateRegister();
    c.emitter.emitInstruction("mov.b", kRealSignByte, reg);
    c.emitter.emitInstruction("bnot", "#7", reg);
    c.emitter.emitInstruction("mov.b", reg, kRealSignByte);
    c.registers.releaseRegister(reg);
  }
}

void generateGenericCall(Compilation& c, ExprPtr& callLeaf) {
  ExprNode& leaf = *callLeaf;
  TypeDescriptor* type = leaf.type;
  if (isRealType(type)) {
    allocateStack(c.emitter, kRealSize);
  }
  if (leaf.attached) {
    pushArgumentList(c, leaf.attached);
  }
  c.emitter.emitInstruction("bsr", symbolOperand(leaf), "");
  if (leaf.routine != nullptr) {
    emitIoCheck(c, *leaf.routine);
  }
  c.registers.releaseUnlockedRegisters();
  if (isRealType(type)) {
    takeRealResult(c, leaf);
    return;
  }
  if (type != nullptr && type->kind == TypeKind::String) {
    makeRuntimeResultLeaf(leaf, type);
    return;
  }
  takeResultInR0(c, leaf, type);
  if (returnedAsWord(type)) {
    leaf.registerWidth = kWordResult;
  }
}

void generateCall(Compilation& c, ExprPtr& callLeaf) {
  if (!generateStandardFunction(c, callLeaf)) {
    generateGenericCall(c, callLeaf);
  }
}

}  // namespace vorax
