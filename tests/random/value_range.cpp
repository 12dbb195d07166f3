#include "random/value_range.h"

#include <array>

namespace vorax::randprog {
namespace {

ValueRange spanOf(std::initializer_list<int64_t> values) {
  ValueRange result{*values.begin(), *values.begin()};
  for (int64_t value : values) {
    result.low = std::min(result.low, value);
    result.high = std::max(result.high, value);
  }
  return result;
}

// Pascal's DIV: truncation towards zero, which C++ division also does.
int64_t truncatingDivide(int64_t a, int64_t b) { return a / b; }

// The smallest k with every value of both ranges in [-2^k, 2^k - 1].
int64_t bitBound(const ValueRange& a, const ValueRange& b) {
  int64_t bound = 1;
  auto fits = [&](const ValueRange& r) { return r.low >= -bound && r.high <= bound - 1; };
  while (!fits(a) || !fits(b)) bound *= 2;
  return bound;
}

}  // namespace

std::string ValueRange::text() const {
  return "[" + std::to_string(low) + ", " + std::to_string(high) + "]";
}

ValueRange addRanges(const ValueRange& a, const ValueRange& b) {
  return {a.low + b.low, a.high + b.high};
}

ValueRange subtractRanges(const ValueRange& a, const ValueRange& b) {
  return {a.low - b.high, a.high - b.low};
}

ValueRange multiplyRanges(const ValueRange& a, const ValueRange& b) {
  return spanOf({a.low * b.low, a.low * b.high, a.high * b.low, a.high * b.high});
}

ValueRange negateRange(const ValueRange& a) { return {-a.high, -a.low}; }

ValueRange absRange(const ValueRange& a) {
  if (a.low >= 0) return a;
  if (a.high <= 0) return negateRange(a);
  return {0, std::max(-a.low, a.high)};
}

std::optional<ValueRange> divideRanges(const ValueRange& a, const ValueRange& b) {
  if (b.contains(0)) return std::nullopt;
  // With a divisor of one sign the quotient is monotonic in each operand, so the corners
  // hold the extremes.
  return spanOf({truncatingDivide(a.low, b.low), truncatingDivide(a.low, b.high),
                 truncatingDivide(a.high, b.low), truncatingDivide(a.high, b.high)});
}

std::optional<ValueRange> moduloRanges(const ValueRange& a, const ValueRange& b) {
  if (b.contains(0)) return std::nullopt;
  const int64_t largestDivisor = std::max(b.low < 0 ? -b.low : b.low, b.high < 0 ? -b.high : b.high);
  if (b.isSingle()) {
    // One divisor and a dividend range of one sign that crosses no multiple of it: the
    // remainders run from the low remainder to the high one.
    const int64_t divisor = largestDivisor;
    if ((a.low >= 0 || a.high <= 0) && a.low / divisor == a.high / divisor) {
      return ValueRange{a.low % divisor, a.high % divisor};
    }
  }
  const int64_t limit = largestDivisor - 1;
  if (a.low >= 0) return ValueRange{0, std::min(a.high, limit)};
  if (a.high <= 0) return ValueRange{std::max(a.low, -limit), 0};
  return ValueRange{std::max(a.low, -limit), std::min(a.high, limit)};
}

ValueRange andRanges(const ValueRange& a, const ValueRange& b) {
  if (a.isSingle() && b.isSingle()) return ValueRange::of(a.low & b.low);
  if (a.low >= 0 && b.low >= 0) return {0, std::min(a.high, b.high)};
  if (a.low >= 0) return {0, a.high};
  if (b.low >= 0) return {0, b.high};
  const int64_t bound = bitBound(a, b);
  // Two negative operands give a negative result no larger than either.
  if (a.high < 0 && b.high < 0) return {-bound, std::min(a.high, b.high)};
  return {-bound, std::max(a.high, b.high)};
}

ValueRange orRanges(const ValueRange& a, const ValueRange& b) {
  if (a.isSingle() && b.isSingle()) return ValueRange::of(a.low | b.low);
  const int64_t bound = bitBound(a, b);
  if (a.low >= 0 && b.low >= 0) return {std::max(a.low, b.low), bound - 1};
  if (a.high < 0 || b.high < 0) return {std::max(a.high < 0 ? a.low : -bound, b.high < 0 ? b.low : -bound), -1};
  return {-bound, bound - 1};
}

ValueRange xorRanges(const ValueRange& a, const ValueRange& b) {
  if (a.isSingle() && b.isSingle()) return ValueRange::of(a.low ^ b.low);
  const int64_t bound = bitBound(a, b);
  if (a.low >= 0 && b.low >= 0) return {0, bound - 1};
  if ((a.high < 0 && b.low >= 0) || (b.high < 0 && a.low >= 0)) return {-bound, -1};
  if (a.high < 0 && b.high < 0) return {0, bound - 1};
  return {-bound, bound - 1};
}

ValueRange complementRange(const ValueRange& a) { return {-a.high - 1, -a.low - 1}; }

std::optional<ValueRange> shiftLeftRanges(const ValueRange& a, const ValueRange& count) {
  if (a.low < 0 || count.low < 0 || count.high > 15) return std::nullopt;
  return ValueRange{a.low << count.low, a.high << count.high};
}

std::optional<ValueRange> shiftRightRanges(const ValueRange& a, const ValueRange& count) {
  if (a.low < 0 || count.low < 0 || count.high > 15) return std::nullopt;
  return ValueRange{a.low >> count.high, a.high >> count.low};
}

}  // namespace vorax::randprog
