#include "source/real48.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace vorax {
namespace {

constexpr int kExponentBias = 129;
constexpr int kMantissaBits = 40;                 // including the implied leading 1
constexpr std::uint64_t kHiddenBit = 1ULL << 39;  // the implied 1 of a mantissa
constexpr std::uint64_t kFractionMask = kHiddenBit - 1;
// Decimal magnitudes outside these bounds need no exact arithmetic: 10^39 is beyond the
// largest REAL (about 1.7e38) and 10^-40 is below half the smallest (about 2.9e-39).
constexpr int kOverflowDecade = 39;
constexpr int kUnderflowDecade = -40;
constexpr int kExponentDigitLimit = 1000000;  // exponents are saturated here
// Decimal texts of values from 1e-5 up to below 1e15 are written without an exponent.
constexpr int kFixedNotationLow = -5;
constexpr int kFixedNotationHigh = 15;

// Just enough unsigned big-integer arithmetic for an exactly rounded decimal conversion.
class BigUnsigned {
 public:
  explicit BigUnsigned(std::uint32_t value = 0) {
    if (value != 0) {
      limbs_.push_back(value);
    }
  }

  [[nodiscard]] bool isZero() const { return limbs_.empty(); }

  void multiplyAdd(std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (std::uint32_t& limb : limbs_) {
      const std::uint64_t product = static_cast<std::uint64_t>(limb) * factor + carry;
      limb = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) {
      limbs_.push_back(static_cast<std::uint32_t>(carry));
    }
    trim();
  }

  [[nodiscard]] int bitLength() const {
    if (limbs_.empty()) {
      return 0;
    }
    int bits = static_cast<int>(limbs_.size() - 1) * 32;
    for (std::uint32_t top = limbs_.back(); top != 0; top >>= 1) {
      ++bits;
    }
    return bits;
  }

  [[nodiscard]] BigUnsigned shiftedLeft(int bits) const {
    BigUnsigned result;
    if (limbs_.empty()) {
      return result;
    }
    const auto whole = static_cast<std::size_t>(bits / 32);
    const int part = bits % 32;
    result.limbs_.assign(whole, 0);
    std::uint32_t carry = 0;
    for (const std::uint32_t limb : limbs_) {
      result.limbs_.push_back(part == 0 ? limb : (limb << part) | carry);
      carry = part == 0 ? 0 : limb >> (32 - part);
    }
    if (carry != 0) {
      result.limbs_.push_back(carry);
    }
    return result;
  }

  friend int compare(const BigUnsigned& a, const BigUnsigned& b) {
    if (a.limbs_.size() != b.limbs_.size()) {
      return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
    }
    for (std::size_t i = a.limbs_.size(); i-- > 0;) {
      if (a.limbs_[i] != b.limbs_[i]) {
        return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
      }
    }
    return 0;
  }

  // *this -= other; requires *this >= other.
  void subtract(const BigUnsigned& other) {
    std::int64_t borrow = 0;
    for (std::size_t i = 0; i < limbs_.size(); ++i) {
      std::int64_t difference = static_cast<std::int64_t>(limbs_[i]) - borrow -
                                (i < other.limbs_.size() ? other.limbs_[i] : 0);
      borrow = difference < 0 ? 1 : 0;
      if (difference < 0) {
        difference += std::int64_t{1} << 32;
      }
      limbs_[i] = static_cast<std::uint32_t>(difference);
    }
    trim();
  }

 private:
  void trim() {
    while (!limbs_.empty() && limbs_.back() == 0) {
      limbs_.pop_back();
    }
  }

  std::vector<std::uint32_t> limbs_;  // least significant first
};

BigUnsigned powerOfTen(int exponent) {
  BigUnsigned result(1);
  for (int i = 0; i < exponent; ++i) {
    result.multiplyAdd(10, 0);
  }
  return result;
}

// Quotient of a / b when it is known to be below 2^(kMantissaBits + 1); a becomes the
// remainder.
std::uint64_t divideSmallQuotient(BigUnsigned& a, const BigUnsigned& b) {
  std::uint64_t quotient = 0;
  for (int bit = kMantissaBits; bit >= 0; --bit) {
    const BigUnsigned shifted = b.shiftedLeft(bit);
    if (compare(shifted, a) <= 0) {
      a.subtract(shifted);
      quotient |= 1ULL << bit;
    }
  }
  return quotient;
}

// Packs a mantissa in [2^39, 2^40) and an unbiased binary exponent (value = mantissa *
// 2^(binaryExponent - 39)). Too small gives zero, too large gives no result.
std::optional<Real48> pack(bool negative, std::uint64_t mantissa, int binaryExponent) {
  const int biased = binaryExponent + kExponentBias;
  if (biased > 255) {
    return std::nullopt;
  }
  Real48 result;
  if (biased < 1) {
    return result;
  }
  std::uint64_t field = mantissa & kFractionMask;
  if (negative) {
    field |= kHiddenBit;
  }
  result.bytes[0] = static_cast<std::uint8_t>(biased);
  for (std::size_t i = 1; i <= 5; ++i) {
    result.bytes[i] = static_cast<std::uint8_t>(field >> (8 * (i - 1)));
  }
  return result;
}

// Rounds quotient + remainder/divisor to nearest, ties to even, where the comparison of
// twice the remainder with the divisor is `half` (<0 below half, 0 exactly half).
std::uint64_t roundToNearestEven(std::uint64_t quotient, int half) {
  if (half > 0 || (half == 0 && (quotient & 1) != 0)) {
    return quotient + 1;
  }
  return quotient;
}

struct DecimalParts {
  bool negative = false;
  BigUnsigned digits;
  int significantDigits = 0;
  int decimalExponent = 0;  // value = digits * 10^decimalExponent
};

std::optional<DecimalParts> parseDecimal(std::string_view text) {
  DecimalParts parts;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    parts.negative = text[i] == '-';
    ++i;
  }
  auto isDigit = [&](std::size_t at) {
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
  };
  int mantissaDigits = 0;
  auto takeDigit = [&](char c, bool afterPoint) {
    ++mantissaDigits;
    if (afterPoint) {
      --parts.decimalExponent;
    }
    if (parts.significantDigits == 0 && c == '0') {
      return;  // leading zeros add nothing
    }
    ++parts.significantDigits;
    parts.digits.multiplyAdd(10, static_cast<std::uint32_t>(c - '0'));
  };
  while (isDigit(i)) {
    takeDigit(text[i++], false);
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (isDigit(i)) {
      takeDigit(text[i++], true);
    }
  }
  if (mantissaDigits == 0) {
    return std::nullopt;
  }
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      negativeExponent = text[i] == '-';
      ++i;
    }
    if (!isDigit(i)) {
      return std::nullopt;
    }
    int exponent = 0;
    while (isDigit(i)) {
      exponent = std::min(exponent * 10 + (text[i++] - '0'), kExponentDigitLimit);
    }
    parts.decimalExponent += negativeExponent ? -exponent : exponent;
  }
  if (i != text.size()) {
    return std::nullopt;
  }
  return parts;
}

}  // namespace

Real48 Real48::negated() const {
  Real48 result = *this;
  if (!isZero()) {
    result.bytes[5] ^= 0x80;
  }
  return result;
}

std::array<std::uint8_t, 6> Real48::targetOrder() const {
  return {bytes[0], bytes[5], bytes[4], bytes[3], bytes[2], bytes[1]};
}

std::optional<Real48> real48FromDecimal(std::string_view text) {
  std::optional<DecimalParts> parts = parseDecimal(text);
  if (!parts) {
    return std::nullopt;
  }
  if (parts->digits.isZero()) {
    return Real48{};
  }
  // The value lies in [10^(decade-1), 10^decade).
  const int decade = parts->significantDigits + parts->decimalExponent;
  if (decade - 1 >= kOverflowDecade) {
    return std::nullopt;
  }
  if (decade <= kUnderflowDecade) {
    return Real48{};
  }
  BigUnsigned numerator = parts->digits;
  BigUnsigned denominator(1);
  if (parts->decimalExponent >= 0) {
    for (int k = 0; k < parts->decimalExponent; ++k) {
      numerator.multiplyAdd(10, 0);
    }
  } else {
    denominator = powerOfTen(-parts->decimalExponent);
  }

  // Find s with 2^39 <= numerator * 2^s / denominator < 2^40.
  int shift = kMantissaBits - 1 - (numerator.bitLength() - denominator.bitLength());
  std::uint64_t quotient = 0;
  int half = 0;
  for (;;) {
    BigUnsigned a = shift >= 0 ? numerator.shiftedLeft(shift) : numerator;
    const BigUnsigned b = shift >= 0 ? denominator : denominator.shiftedLeft(-shift);
    quotient = divideSmallQuotient(a, b);
    if (quotient < kHiddenBit) {
      ++shift;
      continue;
    }
    half = compare(a.shiftedLeft(1), b);
    break;
  }
  quotient = roundToNearestEven(quotient, half);
  if (quotient == (kHiddenBit << 1)) {
    quotient >>= 1;
    --shift;
  }
  return pack(parts->negative, quotient, kMantissaBits - 1 - shift);
}

std::optional<Real48> real48FromDouble(double value) {
  if (!std::isfinite(value)) {
    return std::nullopt;
  }
  if (value == 0.0) {
    return Real48{};
  }
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);  // [0.5, 1)
  // 53 significant bits, then rounded to 40.
  const auto bits53 = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
  constexpr int kDropped = 53 - kMantissaBits;
  const std::uint64_t dropped = bits53 & ((1ULL << kDropped) - 1);
  const std::uint64_t halfway = 1ULL << (kDropped - 1);
  std::uint64_t mantissa =
      roundToNearestEven(bits53 >> kDropped, dropped < halfway ? -1 : (dropped == halfway ? 0 : 1));
  int binaryExponent = exponent - 1;
  if (mantissa == (kHiddenBit << 1)) {
    mantissa >>= 1;
    ++binaryExponent;
  }
  return pack(value < 0, mantissa, binaryExponent);
}

double real48ToDouble(const Real48& value) {
  if (value.isZero()) {
    return 0.0;
  }
  std::uint64_t field = 0;
  for (std::size_t i = 5; i >= 1; --i) {
    field = (field << 8) | value.bytes[i];
  }
  const double magnitude = std::ldexp(static_cast<double>((field & kFractionMask) | kHiddenBit),
                                      value.bytes[0] - kExponentBias - (kMantissaBits - 1));
  return value.isNegative() ? -magnitude : magnitude;
}

std::string real48ToDecimalText(const Real48& value) {
  const double number = real48ToDouble(value);
  char text[64];
  int precision = 1;
  for (; precision < 13; ++precision) {
    std::snprintf(text, sizeof text, "%.*e", precision - 1, number);
    if (real48FromDecimal(text) == value) {
      break;
    }
  }
  std::snprintf(text, sizeof text, "%.*e", precision - 1, number);
  const int decimalExponent = std::atoi(std::strchr(text, 'e') + 1);
  if (decimalExponent >= kFixedNotationLow && decimalExponent < kFixedNotationHigh) {
    std::snprintf(text, sizeof text, "%.*f", std::max(0, precision - 1 - decimalExponent), number);
  } else {
    std::snprintf(text, sizeof text, "%.*g", precision, number);
  }
  return text;
}

}  // namespace vorax
