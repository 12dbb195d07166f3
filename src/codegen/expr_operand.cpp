// Operands named by identifiers: type casts, constants, function calls and variables,
// and the address operator "@".
#include <utility>

#include "codegen/expr_parser.h"
#include "codegen/expr_parser_parts.h"
#include "codegen/expr_tree.h"
#include "decls/routine_labels.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/type_rules.h"

namespace vorax {
namespace {

constexpr int kTypeCastAsAddress = 997;
constexpr int kAddressOfNestedRoutine = 79;
constexpr int kAddressOfRoutineWithArguments = 80;

bool isCastOperandType(const TypeDescriptor* type) {
  if (type == nullptr) {
    return false;
  }
  switch (type->kind) {
    case TypeKind::Char:
    case TypeKind::Integer:
    case TypeKind::Byte:
    case TypeKind::LongInt:
    case TypeKind::Enumeration:
    case TypeKind::Pointer:
    case TypeKind::Array:
    case TypeKind::Record:
      return true;
    default:
      return false;
  }
}

// The type a pointer type points to; null for the untyped POINTER.
const TypeDescriptor* pointedType(const TypeDescriptor& pointer) {
  return pointer.target != nullptr ? pointer.target->type : nullptr;
}

// May a pointer of type `source` be cast to the pointer type `target`? When both point
// to the same type, or `source` points to the element type of the array `target` points
// to.
bool pointerCastAllowed(const TypeDescriptor& target, const TypeDescriptor& source) {
  const TypeDescriptor* targetBase = pointedType(target);
  const TypeDescriptor* sourceBase = pointedType(source);
  if (targetBase == sourceBase) {
    return true;
  }
  return targetBase != nullptr && targetBase->kind == TypeKind::Array &&
         targetBase->base == sourceBase;
}

void checkCast(Compilation& c, TypeDescriptor& target, const ExprNode& operand) {
  const TypeDescriptor* source = operand.type;
  if (!isCastOperandType(source)) {
    c.reportError(err::kTypeMismatch);
  }
  switch (target.kind) {
    case TypeKind::Char:
    case TypeKind::Integer:
    case TypeKind::Byte:
      return;
    case TypeKind::Enumeration: {
      if (operand.isConstant()) {
        std::int32_t low = 0;
        std::int32_t high = 0;
        OrdinalBounds(&target, low, high);
        const std::int32_t value = ordinalValue(operand.value);
        if (value < 0 || value > high) {
          c.reportError(err::kConstantOutOfRange);
        }
      }
      return;
    }
    case TypeKind::Pointer:
      if (source->kind == TypeKind::Integer || source->kind == TypeKind::Byte ||
          source->kind == TypeKind::LongInt) {
        return;
      }
      if (source->kind == TypeKind::Pointer && pointerCastAllowed(target, *source)) {
        return;
      }
      c.reportError(err::kTypeMismatch);
    case TypeKind::Array:
    case TypeKind::Record:
      if (source->kind == TypeKind::Array || source->kind == TypeKind::Record) {
        return;
      }
      c.reportError(err::kTypeMismatch);
    default:
      c.reportError(err::kTypeMismatch);
  }
}

// type-identifier "(" expression ")"
ExprPtr parseTypeCast(Compilation& c, TypeDescriptor* target) {
  if (c.token() != TokenCode::OpenParen) {
    c.reportError(err::kOpenParenExpected);
  }
  c.nextToken();
  ExprPtr operand = parseExpression(c);
  if (target == nullptr) {
    c.reportError(err::kTypeMismatch);
  }
  checkCast(c, *target, *operand);
  if (c.token() != TokenCode::CloseParen) {
    c.reportError(err::kCloseParenExpected);
  }
  c.nextToken();
  ExprPtr cast = newExprNode();
  cast->location = LocationKind::TypeCast;
  cast->text = "dummy";
  cast->type = target;
  cast->attached = std::move(operand);
  return cast;
}

ExprPtr constantOperand(Compilation& c, const SymbolEntry& constant) {
  c.nextToken();
  return makeConstantLeaf(constant.value, constant.type);
}

// The operand an identifier names, with the scanner on the identifier.
ExprPtr parseNamedOperand(Compilation& c, SymbolEntry& entry, bool addressWanted) {
  switch (entry.kind) {
    case IdentKind::Type:
      c.nextToken();
      return parseTypeCast(c, entry.type);
    case IdentKind::Constant:
      return constantOperand(c, entry);
    case IdentKind::Function:
      c.nextToken();
      return parseFunctionCall(c, entry);
    default:
      c.nextToken();
      return parseVariableDesignator(c, entry, addressWanted);
  }
}

// The operand of "@" when it names a routine: the routine's label as named memory.
ExprPtr routineAddress(Compilation& c, SymbolEntry& routine) {
  if (routine.level > 2) {
    c.reportError(kAddressOfNestedRoutine);
  }
  c.nextToken();
  if (c.token() == TokenCode::OpenParen) {
    c.reportError(kAddressOfRoutineWithArguments);
  }
  ExprPtr leaf = newExprNode();
  leaf->location = LocationKind::NamedMemory;
  leaf->text = routine.name;
  leaf->declarationLine = routine.declarationLine;
  if (routine.standardRoutine == 0) {
    // The finished label, which carries its line (or none) as it must.
    leaf->text = routineAddressLabel(routine);
    leaf->declarationLine = 0;
  }
  leaf->standardRoutine = routine.standardRoutine;
  leaf->routine = &routine;
  leaf->scopeLevel = routine.level;
  leaf->type = routine.type;
  leaf->addressWanted = true;
  return leaf;
}

// A new pointer type to `base` (the untyped POINTER when there is no base type).
TypeDescriptor* pointerTo(Compilation& c, TypeDescriptor* base) {
  SymbolTable& symbols = c.symbols;
  TypeDescriptor& pointer = symbols.newType(TypeKind::Pointer, kPointerSize);
  if (base != nullptr) {
    SymbolEntry& target = symbols.newEntry();
    target.kind = IdentKind::Type;
    target.type = base;
    pointer.target = &target;
  }
  return &pointer;
}

}  // namespace

ExprPtr parseIdentifierOperand(Compilation& c) {
  SymbolEntry* entry = c.symbols.LookupIdentifier(kinds::kOperand);
  if (entry == nullptr) {
    c.reportError(err::kUndefinedIdentifier);
  }
  return parseNamedOperand(c, *entry, false);
}

ExprPtr parseAddressOf(Compilation& c) {
  c.nextToken();
  SymbolEntry* entry =
      c.token() == TokenCode::Identifier ? c.symbols.LookupIdentifier(kinds::kAny) : nullptr;
  if (entry == nullptr) {
    c.reportError(err::kUndefinedIdentifier);
  }
  ExprPtr operand;
  if (entry->isRoutine()) {
    operand = routineAddress(c, *entry);
  } else {
    operand = parseNamedOperand(c, *entry, true);
    entry->addressTaken = true;
    switch (operand->location) {
      case LocationKind::TypeCast:
        c.reportError(kTypeCastAsAddress);
      case LocationKind::FixedAddress:
        // Its text is the finished label already.
        operand->location = LocationKind::NamedMemory;
        operand->declarationLine = 0;
        break;
      case LocationKind::FrameVariable:
      case LocationKind::Parameter:
      case LocationKind::NamedMemory:
        break;
      default:
        c.reportError(err::kTypeMismatch);
    }
  }
  operand->addressWanted = true;
  operand->type = pointerTo(c, operand->type);
  return operand;
}

}  // namespace vorax
