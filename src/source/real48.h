// The 6-byte REAL format of the target and conversions to and from it.
//
// Internal layout (the one constants are held in): byte 0 is the binary exponent biased
// by 129, 0 meaning the value zero; bytes 1..5 are the 40-bit mantissa from least to most
// significant byte, where the implied leading 1 is replaced by the sign bit (top bit of
// byte 5). A value is (1 + fraction / 2^39) * 2^(exponent - 129).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vorax {

struct Real48 {
  std::array<std::uint8_t, 6> bytes{};  // all zero: the value 0

  [[nodiscard]] bool isZero() const { return bytes[0] == 0; }
  [[nodiscard]] bool isNegative() const { return !isZero() && (bytes[5] & 0x80) != 0; }
  [[nodiscard]] Real48 negated() const;
  // The order the target stores a REAL in: exponent, then the mantissa from most
  // significant (carrying the sign) to least significant byte.
  [[nodiscard]] std::array<std::uint8_t, 6> targetOrder() const;

  friend bool operator==(const Real48&, const Real48&) = default;
};

// Decimal text ([sign] digits [. digits] [E [sign] digits], at least one digit before or
// after the point) to the nearest REAL, ties to even. Values too small for the format
// become 0; values too large, or malformed text, give no result.
[[nodiscard]] std::optional<Real48> real48FromDecimal(std::string_view text);

// The nearest REAL to a double (ties to even); no result for infinities, NaN and values
// beyond the REAL range.
[[nodiscard]] std::optional<Real48> real48FromDouble(double value);

// Exact: every REAL is a double.
[[nodiscard]] double real48ToDouble(const Real48& value);

// The shortest decimal text (at most 13 significant digits) that converts back to the
// same REAL: without an exponent from 1e-5 up to below 1e15 ("1.5", "1000", "0.0015"),
// otherwise with one ("1e+20", "2.9387358770557e-39").
[[nodiscard]] std::string real48ToDecimalText(const Real48& value);

}  // namespace vorax
