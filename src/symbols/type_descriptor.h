// Type descriptors: one per type the compiler handles, predefined or declared. A
// descriptor belongs to the scope level that was current when it was made and lives until
// that level closes (SymbolTable::newType).
#pragma once

#include <cstdint>

#include "symbols/const_value.h"

namespace vorax {

struct SymbolEntry;

// The type kinds. The numbers are fixed; sizes are the target's sizes in bytes.
enum class TypeKind : std::uint8_t {
  Char = 0,         // 1
  Integer = 1,      // 2, signed
  Byte = 2,         // 1
  Word = 3,         // 2, unsigned
  Boolean = 4,      // 1
  LongInt = 5,      // 4, signed
  Address = 6,      // 4, unsigned: the code generator's address and index arithmetic
  Real = 7,         // 6
  Enumeration = 8,  // 1
  Subrange = 9,     // 2, or 1 for the index of STRING[n]
  Pointer = 10,     // 4
  Array = 11,       // element count * element size
  String = 12,      // maximum length + 1; the length byte comes first
  Record = 13,      // fixed part + largest variant
  Variant = 14,     // one variant of a record; only inside record descriptors
  Text = 15,        // 532
  TypedFile = 16,   // 532
};

inline constexpr std::int32_t kTextFileSize = 532;
inline constexpr std::int32_t kPointerSize = 4;

struct TypeDescriptor {
  std::int32_t size = 0;
  TypeKind kind = TypeKind::Char;

  // Subrange: the type of its bounds. Array: element type (for several indexes, the array
  // of the next index). String: CHAR. Text and typed file: the element type.
  TypeDescriptor* base = nullptr;
  // Array: index type (enumeration or subrange). String: its index subrange 0..n.
  TypeDescriptor* index = nullptr;

  // Enumeration: its last-declared value; the values are chained through `next`, newest
  // first.
  SymbolEntry* lastValue = nullptr;
  // Pointer: the type identifier entry of the target; null for the untyped POINTER. The
  // entry may be a forward placeholder that a later TYPE declaration completes.
  SymbolEntry* target = nullptr;

  // Record: root of the field tree holding every field, variant fields included.
  SymbolEntry* fieldTree = nullptr;
  // Record: first field in declaration order (chained through `next`).
  SymbolEntry* firstField = nullptr;
  // Record: first variant.
  TypeDescriptor* firstVariant = nullptr;
  // Variant: next variant of the same record.
  TypeDescriptor* nextVariant = nullptr;
  // Variant: the record descriptor holding the variant's own fields.
  TypeDescriptor* variantFields = nullptr;

  // Subrange bounds.
  ConstValue low;
  ConstValue high;
};

}  // namespace vorax
