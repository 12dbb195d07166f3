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
// A routine returns one-byte results as a word in r0.
constexpr int kWordResult = 2;

bool isRealType(const TypeDescriptor* type) {
  return type != nullptr && type->kind == TypeKind::Real;
}

bool leftOnStack(const TypeDescriptor* type) {
  return type != nullptr && (type->kind == TypeKind::Real || type->kind == TypeKind::String);
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
  if (leftOnStack(type)) {
    const std::uint8_t flags = leaf.unaryFlags;
    makeRuntimeResultLeaf(leaf, type);
    leaf.unaryFlags = flags;
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
