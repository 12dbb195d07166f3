// Sizes and compatibility of types: the rules every declaration, typed constant,
// assignment and argument check applies.
#pragma once

#include <cstdint>

#include "symbols/const_value.h"
#include "symbols/type_descriptor.h"

namespace vorax {

class Diagnostics;

// n rounded up to the next even number; an odd negative n goes away from zero (-3 gives
// -4) and an even one stays, so addresses and offsets that are already even never move.
[[nodiscard]] constexpr std::int32_t RoundEven(std::int32_t n) {
  const std::int64_t wide = n;
  const std::int64_t even = wide >= 0 ? wide + (wide & 1) : wide - (wide & 1);
  return static_cast<std::int32_t>(even);
}

// The bounds of an ordinal type: (0, last value) for an enumeration, the bounds of a
// subrange. Any other type leaves low and high as they are.
void OrdinalBounds(const TypeDescriptor* type, std::int32_t& low, std::int32_t& high);

// Compatibility classes: 0 BOOLEAN, 1 CHAR, 2 INTEGER/WORD/subrange, 3 BYTE, 4 STRING,
// 5 REAL, 6 LONGINT/address, 7 pointer, 8 enumeration, 9 structured.
enum class TypeClass : std::uint8_t {
  Boolean = 0,
  Char = 1,
  Integer = 2,
  Byte = 3,
  String = 4,
  Real = 5,
  LongInt = 6,
  Pointer = 7,
  Enumeration = 8,
  Structured = 9,
};
[[nodiscard]] TypeClass typeClassOf(TypeKind kind);
[[nodiscard]] TypeClass typeClassOf(const TypeDescriptor& type);

// May a value of type `source` be stored into a place of type `target`? A null target
// accepts everything.
[[nodiscard]] bool IsAssignable(const TypeDescriptor* target, const TypeDescriptor* source);

// Does a constant of `constantType` with `value` fit the type of a typed constant? A
// subrange target checks INTEGER and BYTE constants against its bounds and reports error
// 45 when the value lies outside; CHAR accepts enumeration constants; everything else is
// IsAssignable.
[[nodiscard]] bool constantFitsType(Diagnostics& diagnostics, const TypeDescriptor* target,
                                    const TypeDescriptor* constantType, const ConstValue& value);

// The size an array reserves per element of this type: the size itself for 1-byte
// scalars and strings, the size rounded up to even for everything else.
[[nodiscard]] std::int32_t arrayElementSize(const TypeDescriptor& element);

}  // namespace vorax
