// designator ":=" expression: parses both sides, checks that the source may be stored
// into the target and hands them to the store for the target's kind of type.
#include "stmt/assignment.h"

#include "codegen/codegen.h"
#include "codegen/expr_parser.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "stmt/assign_kinds.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

// Types whose store is a plain move of the value.
bool isPlainOrdinal(TypeKind kind) {
  return kind == TypeKind::Char || kind == TypeKind::LongInt || kind == TypeKind::Address ||
         kind == TypeKind::Subrange;
}

// Targets whose store converts the value in a register; REAL sources are converted by
// the REAL arithmetic and strings by the runtime.
bool isWideningTarget(TypeKind kind) {
  switch (kind) {
    case TypeKind::Integer:
    case TypeKind::Byte:
    case TypeKind::Word:
    case TypeKind::LongInt:
    case TypeKind::Address:
    case TypeKind::Subrange:
      return true;
    default:
      return false;
  }
}

void dispatchStore(Compilation& c, ExprPtr& target, ExprPtr& source) {
  TypeDescriptor* type = target->type;
  switch (type->kind) {
    case TypeKind::Integer:
    case TypeKind::Byte:
    case TypeKind::Word:
      assignOrdinal(c, target, source);
      return;
    case TypeKind::Boolean:
      assignBoolean(c, target, source);
      return;
    case TypeKind::Real:
      assignReal(c, target, source);
      return;
    case TypeKind::Enumeration:
      // Only a variable or a constant of the enumeration is stored.
      if (!source->isLeaf) {
        c.reportError(err::kTypeMismatch);
      }
      assignPlainOrdinal(c, target, source, type);
      return;
    case TypeKind::Pointer:
      assignPointer(c, target, source);
      return;
    case TypeKind::Array:
    case TypeKind::Record:
      assignStructured(c, target, source);
      return;
    case TypeKind::String:
      assignString(c, target, source);
      return;
    default:
      break;
  }
  if (isPlainOrdinal(type->kind)) {
    assignPlainOrdinal(c, target, source, type);
    return;
  }
  c.reportError(err::kTypeMismatch);  // files and anything else cannot be assigned
}

}  // namespace

bool targetAddressMayCall(const ExprNode& designator) {
  for (const ExprNode* leaf = &designator; leaf != nullptr; leaf = leaf->nextSelector.get()) {
    if (leaf->offsetTree && mayCall(*leaf->offsetTree)) {
      return true;
    }
  }
  return false;
}

void compileAssignment(Compilation& c, SymbolEntry& target, SymbolEntry& /*owner*/) {
  // A pending label is a join point: nothing is known about the registers there.
  if (!c.emitter.pendingLabel().empty()) {
    c.registers.forgetRegisterContents();
    c.registers.releaseUnlockedRegisters();
  }
  ExprPtr designator = parseVariableDesignator(c, target, false);
  if (designator->addressWanted) {
    c.reportError(kTargetNotVariable);
  }
  if (c.token() != TokenCode::Assign) {
    c.reportError(err::kAssignExpected);
  }
  c.nextToken();
  ExprPtr source = parseExpression(c);
  TypeDescriptor* targetType = designator->type;
  // A set constructor carries its element type, but it is no value of that type.
  if (targetType == nullptr || source->isConstantOf(ConstKind::Set) ||
      !IsAssignable(targetType, source->type)) {
    c.reportError(err::kTypeMismatch);
  }
  // An operation whose operands are narrower than an ordinal target is computed in the
  // target's width, so that nothing the target can hold is lost on the way.
  if (isWideningTarget(targetType->kind) && !source->isLeaf && source->type != nullptr &&
      source->type->size < targetType->size) {
    source->expectedType = targetType;
  }
  dispatchStore(c, designator, source);
}

}  // namespace vorax
