// Pushing addresses and the arguments of a call. Every push is a word or a long word: a
// one-byte value goes as a word, a STRING, REAL or structured value is built on the stack
// by its own generator and is not pushed again.
#include <string>

#include "codegen/access_internal.h"
#include "codegen/codegen.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/type_descriptor.h"

namespace vorax {
namespace {

// Kinds of leaves that have an address a VAR parameter can receive.
bool isAddressable(LocationKind location) {
  switch (location) {
    case LocationKind::FrameVariable:
    case LocationKind::Parameter:
    case LocationKind::NamedMemory:
    case LocationKind::FixedAddress:
    case LocationKind::Device:
    case LocationKind::DeviceFrameVariable:
      return true;
    default:
      return false;
  }
}

// A type cast of a variable passed to a VAR parameter: the variable itself is passed. This
// holds for a record or array seen as another structured type too: a copy of its bytes
// on the stack would be taken for an address by the routine.
bool isAddressableCast(const Compilation& c, const ExprNode& node) {
  if (node.location != LocationKind::TypeCast || node.type == nullptr) {
    return false;
  }
  const PredefinedTypes& t = c.symbols.types();
  const TypeDescriptor* type = node.type;
  return type == t.charType || type == t.integerType || type == t.byteType ||
         type->kind == TypeKind::Enumeration || type->kind == TypeKind::Subrange ||
         type->kind == TypeKind::Pointer || type->kind == TypeKind::Array ||
         type->kind == TypeKind::Record;
}

bool wantsAddress(const Compilation& c, const ExprNode& argument) {
  return argument.isLeaf && argument.addressWanted &&
         (isAddressable(argument.location) || isAddressableCast(c, argument));
}

// The variable inside a type cast, now wanted by address.
void unwrapTypeCast(ExprPtr& argument) {
  while (argument->isLeaf && argument->location == LocationKind::TypeCast && argument->attached) {
    ExprPtr inner = std::move(argument->attached);
    inner->addressWanted = true;
    argument = std::move(inner);
  }
}

void pushOneArgument(Compilation& c, ExprPtr& argument) {
  const PredefinedTypes& t = c.symbols.types();
  TypeDescriptor* formal =
      argument->expectedType != nullptr ? argument->expectedType : argument->type;
  if (isStringType(formal)) {
    if (argument->isLeaf && argument->addressWanted) {
      const TypeDescriptor* actual = argument->type;
      if (c.directives.settings().switchV && actual != nullptr && actual->size != formal->size) {
        c.reportError(err::kTypeMismatch);
      }
      pushAddress(c, argument);
      return;
    }
    pushStringValue(c, argument, formal->size);
    return;
  }
  if (wantsAddress(c, *argument)) {
    unwrapTypeCast(argument);
    pushAddress(c, argument);
    return;
  }
  if (formal != nullptr && formal->size == 1) {
    formal = t.widenedInteger;
  }
  const std::string reg = generateInRegister(c, argument, formal);
  if (reg.empty()) {
    return;  // a routine left the value on the stack
  }
  const std::int32_t size = formal != nullptr ? formal->size : 2;
  c.emitter.emitInstruction(size <= 2 ? "mov.w" : "mov.l", reg, "@-sp");
  c.registers.releaseRegister(reg);
}

}  // namespace

void pushAddress(Compilation& c, ExprPtr& designator) {
  designator->addressWanted = true;
  std::string text = generateVariable(c, designator);
  if (!text.empty() && text[0] == '#') {
    text = loadImmediate(c, text, 4);
  }
  c.emitter.emitInstruction("mov.l", text, "@-sp");
  c.registers.releaseRegister(text);
}

void pushArgumentList(Compilation& c, ExprPtr& firstArgument) {
  for (ExprPtr* argument = &firstArgument; *argument; argument = &(*argument)->next) {
    // The generators replace the node in place; the rest of the list is kept apart
    // meanwhile.
    ExprPtr rest = std::move((*argument)->next);
    pushOneArgument(c, *argument);
    (*argument)->next = std::move(rest);
  }
}

}  // namespace vorax
