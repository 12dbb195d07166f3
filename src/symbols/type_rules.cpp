#include "symbols/type_rules.h"

#include <array>

#include "diag/diagnostics.h"
#include "diag/error_table.h"
#include "symbols/symbol_entry.h"

namespace vorax {
namespace {

constexpr int kTableClasses = 8;  // classes 0..7 take part in the class table

// Row: class of the target; column: class of the source. true = the value may be stored.
constexpr std::array<std::array<bool, kTableClasses>, kTableClasses> kClassTable{{
    //  BOOL   CHAR   INT    BYTE   STR    REAL   LONG   PTR
    {{true, false, false, false, false, false, false, false}},  // BOOLEAN
    {{false, true, false, false, false, false, false, false}},  // CHAR
    {{false, false, true, true, false, false, true, false}},    // INTEGER, WORD, subrange
    {{false, false, true, true, false, false, true, false}},    // BYTE
    {{false, true, false, false, true, false, false, false}},   // STRING
    {{false, false, true, true, false, true, true, false}},     // REAL
    {{false, false, true, true, false, false, true, false}},    // LONGINT, address
    {{false, false, false, false, false, false, false, true}},  // POINTER
}};

}  // namespace

void OrdinalBounds(const TypeDescriptor* type, std::int32_t& low, std::int32_t& high) {
  if (type == nullptr) {
    return;
  }
  if (type->kind == TypeKind::Enumeration) {
    low = 0;
    high = type->lastValue != nullptr ? ordinalValue(type->lastValue->value) : 0;
  } else if (type->kind == TypeKind::Subrange) {
    low = ordinalValue(type->low);
    high = ordinalValue(type->high);
  }
}

TypeClass typeClassOf(TypeKind kind) {
  switch (kind) {
    case TypeKind::Boolean:
      return TypeClass::Boolean;
    case TypeKind::Char:
      return TypeClass::Char;
    case TypeKind::Integer:
    case TypeKind::Word:
    case TypeKind::Subrange:
      return TypeClass::Integer;
    case TypeKind::Byte:
      return TypeClass::Byte;
    case TypeKind::String:
      return TypeClass::String;
    case TypeKind::Real:
      return TypeClass::Real;
    case TypeKind::LongInt:
    case TypeKind::Address:
      return TypeClass::LongInt;
    case TypeKind::Pointer:
      return TypeClass::Pointer;
    case TypeKind::Enumeration:
      return TypeClass::Enumeration;
    case TypeKind::Array:
    case TypeKind::Record:
    case TypeKind::Variant:
    case TypeKind::Text:
    case TypeKind::TypedFile:
      return TypeClass::Structured;
  }
  return TypeClass::Structured;
}

TypeClass typeClassOf(const TypeDescriptor& type) { return typeClassOf(type.kind); }

bool IsAssignable(const TypeDescriptor* target, const TypeDescriptor* source) {
  if (target == nullptr || target == source) {
    return true;
  }
  if (source == nullptr) {
    return false;
  }
  switch (target->kind) {
    case TypeKind::LongInt:
      return source->kind == TypeKind::Integer || source->kind == TypeKind::Byte ||
             source->kind == TypeKind::Word || source->kind == TypeKind::LongInt ||
             source->kind == TypeKind::Pointer;
    case TypeKind::Pointer:
      if (source->kind != TypeKind::Pointer) {
        return false;
      }
      // The untyped POINTER (no target entry) goes with every pointer in both directions;
      // two typed pointers must point at the same type, which a completed forward
      // placeholder does because it is the very entry the later declaration reuses.
      if (source->target == nullptr || target->target == nullptr) {
        return true;
      }
      return target->target->type == source->target->type;
    case TypeKind::Array:
      return source->kind == TypeKind::Array && source->base == target->base;
    case TypeKind::Record:
      return false;
    default:
      break;
  }
  const auto row = static_cast<std::size_t>(typeClassOf(*target));
  const auto column = static_cast<std::size_t>(typeClassOf(*source));
  if (row >= kTableClasses || column >= kTableClasses) {
    return false;
  }
  return kClassTable[row][column];
}

bool constantFitsType(Diagnostics& diagnostics, const TypeDescriptor* target,
                      const TypeDescriptor* constantType, const ConstValue& value) {
  if (target == nullptr) {
    return true;
  }
  if (target->kind == TypeKind::Subrange && constantType != nullptr &&
      (constantType->kind == TypeKind::Integer || constantType->kind == TypeKind::Byte)) {
    std::int32_t low = 0;
    std::int32_t high = 0;
    OrdinalBounds(target, low, high);
    const std::int32_t number = ordinalValue(value);
    if (number < low || number > high) {
      diagnostics.reportError(err::kConstantOutOfRange);
    }
    return true;
  }
  if (target->kind == TypeKind::Char && constantType != nullptr &&
      constantType->kind == TypeKind::Enumeration) {
    return true;
  }
  return IsAssignable(target, constantType);
}

std::int32_t arrayElementSize(const TypeDescriptor& element) {
  switch (element.kind) {
    case TypeKind::Char:
    case TypeKind::Byte:
    case TypeKind::Boolean:
    case TypeKind::Enumeration:
    case TypeKind::String:
      return element.size;
    default:
      return RoundEven(element.size);
  }
}

}  // namespace vorax
