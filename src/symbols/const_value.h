// The value of a compile-time constant. Constant entries, subrange bounds and constant
// expression operands all carry one; its kind says which of the value fields is meaningful.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vorax {

// What a constant holds. The numbers are shared with the expression tree's constant
// leaves, which store the same codes.
enum class ConstKind : std::uint8_t {
  Integer = 0,           // integer or other ordinal: intValue
  Real = 1,              // realValue
  Boolean = 2,           // smallValue 0 or 1
  Character = 3,         // smallValue
  Set = 4,               // setBits (expression results only)
  StackReservation = 5,  // intValue is a byte count (expression results only)
  String = 6,            // text
};

// A REAL in the target's 6-byte format: byte 0 the binary exponent biased by 129 (0 means
// zero), bytes 1..5 the mantissa from least to most significant byte, the sign in the top
// bit of byte 5 where the implicit leading 1 would be.
using RealBytes = std::array<std::uint8_t, 6>;

// Bit n of the set stands for element n; byte n / 8, bit n % 8.
using SetBits = std::array<std::uint8_t, 32>;

struct ConstValue {
  ConstKind kind = ConstKind::Integer;
  std::uint8_t smallValue = 0;
  std::int32_t intValue = 0;
  RealBytes realValue{};
  SetBits setBits{};
  std::string text;

  [[nodiscard]] static ConstValue integer(std::int32_t value) {
    ConstValue result;
    result.intValue = value;
    return result;
  }
  [[nodiscard]] static ConstValue boolean(bool value) {
    ConstValue result;
    result.kind = ConstKind::Boolean;
    result.smallValue = value ? 1 : 0;
    return result;
  }
  [[nodiscard]] static ConstValue character(std::uint8_t value) {
    ConstValue result;
    result.kind = ConstKind::Character;
    result.smallValue = value;
    return result;
  }
  [[nodiscard]] static ConstValue real(const RealBytes& value) {
    ConstValue result;
    result.kind = ConstKind::Real;
    result.realValue = value;
    return result;
  }
};

// The ordinal number of an ordinal constant: the integer for integers and enumeration
// values, the byte for characters and booleans, 0 for anything else.
[[nodiscard]] inline std::int32_t ordinalValue(const ConstValue& value) {
  switch (value.kind) {
    case ConstKind::Integer:
      return value.intValue;
    case ConstKind::Boolean:
    case ConstKind::Character:
      return value.smallValue;
    default:
      return 0;
  }
}

}  // namespace vorax
