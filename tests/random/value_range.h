// Closed intervals of integer values: what the generator knows about every variable and
// every expression it writes. A generated program is only meaningful when no operation
// leaves the range of the type it is computed in, so each operator's interval is derived
// here and compared with the limits of that type before the operator is used.
//
// Values stay within the 32-bit range of LONGINT, so every bound and every product of two
// bounds fits an int64_t.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

namespace vorax::randprog {

struct ValueRange {
  int64_t low = 0;
  int64_t high = 0;

  static ValueRange of(int64_t value) { return {value, value}; }
  [[nodiscard]] bool contains(int64_t value) const { return low <= value && value <= high; }
  [[nodiscard]] bool within(const ValueRange& outer) const {
    return outer.low <= low && high <= outer.high;
  }
  [[nodiscard]] bool isSingle() const { return low == high; }
  [[nodiscard]] int64_t span() const { return high - low; }
  [[nodiscard]] ValueRange joined(const ValueRange& other) const {
    return {std::min(low, other.low), std::max(high, other.high)};
  }
  [[nodiscard]] std::optional<ValueRange> intersected(const ValueRange& other) const {
    const ValueRange result{std::max(low, other.low), std::min(high, other.high)};
    if (result.low > result.high) return std::nullopt;
    return result;
  }
  [[nodiscard]] std::string text() const;
  bool operator==(const ValueRange&) const = default;
};

// The arithmetic of intervals, exact for the operations Pascal defines on integers (DIV
// and MOD truncate towards zero; MOD takes the sign of the dividend). Each returns nothing
// when the operation is not defined for some pair of values (a divisor range holding 0).
ValueRange addRanges(const ValueRange& a, const ValueRange& b);
ValueRange subtractRanges(const ValueRange& a, const ValueRange& b);
ValueRange multiplyRanges(const ValueRange& a, const ValueRange& b);
ValueRange negateRange(const ValueRange& a);
ValueRange absRange(const ValueRange& a);
std::optional<ValueRange> divideRanges(const ValueRange& a, const ValueRange& b);
std::optional<ValueRange> moduloRanges(const ValueRange& a, const ValueRange& b);
// Bitwise operations; for operands that may be negative the result is bounded by the
// values two's complement can produce from operands of that many bits.
ValueRange andRanges(const ValueRange& a, const ValueRange& b);
ValueRange orRanges(const ValueRange& a, const ValueRange& b);
ValueRange xorRanges(const ValueRange& a, const ValueRange& b);
ValueRange complementRange(const ValueRange& a);  // NOT x = -x - 1
// Shifts of non-negative values by a non-negative count of at most 15.
std::optional<ValueRange> shiftLeftRanges(const ValueRange& a, const ValueRange& count);
std::optional<ValueRange> shiftRightRanges(const ValueRange& a, const ValueRange& count);

}  // namespace vorax::randprog
