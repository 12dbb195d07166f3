#include "sim/real48.h"

#include <cmath>

#include "sim/sim_types.h"

namespace vorax::sim::real48 {

namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr int kMantissaBits = 40;
constexpr int kBias = 129;
constexpr uint64_t kHiddenBit = uint64_t{1} << (kMantissaBits - 1);

// value = (negative ? -1 : 1) * mantissa * 2^exponent, mantissa 40 bits with bit 39 set.
struct Unpacked {
  bool negative = false;
  bool zero = true;
  uint64_t mantissa = 0;
  int exponent = 0;
};

Unpacked unpack(const Bytes& bytes) {
  Unpacked u;
  if (bytes[0] == 0) return u;
  uint64_t raw = 0;
  for (size_t i = 1; i < 6; ++i) raw = raw << 8 | bytes[i];
  u.zero = false;
  u.negative = (raw & kHiddenBit) != 0;
  u.mantissa = raw | kHiddenBit;
  u.exponent = bytes[0] - kBias - (kMantissaBits - 1);
  return u;
}

[[noreturn]] void overflow() {
  throw RuntimeFault(ExitStatus::kRuntimeError, "runtime error: REAL overflow");
}

int bitLength(Wide value) {
  int bits = 0;
  while (value != 0) {
    value >>= 1;
    ++bits;
  }
  return bits;
}

// Rounds significand * 2^exponent (plus a nonzero remainder below the significand's last
// bit when `sticky`) to the REAL format. Callers keep at least two bits more than the
// mantissa whenever `sticky` is set, so the remainder never reaches half a unit.
Bytes roundAndPack(bool negative, Wide significand, int exponent, bool sticky) {
  Bytes result{};
  if (significand == 0) return result;
  int shift = bitLength(significand) - kMantissaBits;
  uint64_t mantissa = 0;
  if (shift > 0) {
    Wide rest = significand & ((Wide{1} << shift) - 1);
    Wide half = Wide{1} << (shift - 1);
    mantissa = static_cast<uint64_t>(significand >> shift);
    bool up = rest > half || (rest == half && (sticky || (mantissa & 1) != 0));
    if (up) ++mantissa;
    if (mantissa >> kMantissaBits != 0) {
      mantissa >>= 1;
      ++shift;
    }
  } else {
    mantissa = static_cast<uint64_t>(significand << -shift);
  }
  int biased = exponent + shift + (kMantissaBits - 1) + kBias;
  if (biased > 255) overflow();
  if (biased < 1) return result;  // underflow: zero
  result[0] = static_cast<uint8_t>(biased);
  uint64_t raw = (mantissa & ~kHiddenBit) | (negative ? kHiddenBit : 0);
  for (int i = 5; i >= 1; --i) {
    result[static_cast<size_t>(i)] = static_cast<uint8_t>(raw);
    raw >>= 8;
  }
  return result;
}

Bytes addUnpacked(Unpacked a, Unpacked b) {
  if (a.zero) return roundAndPack(b.negative, b.mantissa, b.exponent, false);
  if (b.zero) return roundAndPack(a.negative, a.mantissa, a.exponent, false);
  if (a.exponent < b.exponent) std::swap(a, b);
  int difference = a.exponent - b.exponent;
  Wide big = 0;
  Wide small = 0;
  int exponent = 0;
  bool sticky = false;
  if (difference <= 80) {
    // Exact: both aligned to the smaller exponent in at most 120 bits.
    big = Wide{a.mantissa} << difference;
    small = b.mantissa;
    exponent = b.exponent;
  } else {
    // The smaller operand lies far below the rounding point; it only counts as a nonzero
    // remainder (a unit below 64 guard bits).
    big = Wide{a.mantissa} << 64;
    small = 1;
    exponent = a.exponent - 64;
    sticky = true;
  }
  if (a.negative == b.negative) return roundAndPack(a.negative, big + small, exponent, sticky);
  if (big == small) return Bytes{};
  if (big > small) return roundAndPack(a.negative, big - small, exponent, sticky);
  return roundAndPack(b.negative, small - big, exponent, sticky);
}

}  // namespace

bool isZero(const Bytes& a) { return a[0] == 0; }

Bytes negate(const Bytes& a) {
  Bytes result = a;
  if (!isZero(a)) result[1] ^= 0x80;
  return result;
}

Bytes add(const Bytes& a, const Bytes& b) { return addUnpacked(unpack(a), unpack(b)); }

Bytes subtract(const Bytes& a, const Bytes& b) { return add(a, negate(b)); }

Bytes multiply(const Bytes& a, const Bytes& b) {
  Unpacked x = unpack(a);
  Unpacked y = unpack(b);
  if (x.zero || y.zero) return Bytes{};
  return roundAndPack(x.negative != y.negative, Wide{x.mantissa} * y.mantissa,
                      x.exponent + y.exponent, false);
}

Bytes divide(const Bytes& a, const Bytes& b) {
  Unpacked x = unpack(a);
  Unpacked y = unpack(b);
  if (y.zero) throw RuntimeFault(ExitStatus::kDivisionByZero, "runtime error: division by zero");
  if (x.zero) return Bytes{};
  Wide dividend = Wide{x.mantissa} << 80;
  Wide quotient = dividend / y.mantissa;
  bool sticky = dividend % y.mantissa != 0;
  return roundAndPack(x.negative != y.negative, quotient, x.exponent - y.exponent - 80, sticky);
}

int compare(const Bytes& a, const Bytes& b) {
  long double x = toLongDouble(a);
  long double y = toLongDouble(b);
  return x < y ? -1 : x > y ? 1 : 0;
}

Bytes fromInteger(int64_t value) {
  bool negative = value < 0;
  uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  return roundAndPack(negative, magnitude, 0, false);
}

int32_t truncateToLong(const Bytes& a) {
  Unpacked u = unpack(a);
  if (u.zero) return 0;
  int64_t magnitude = 0;
  if (u.exponent >= 0) {
    if (u.exponent > 23) overflow();
    magnitude = static_cast<int64_t>(u.mantissa << u.exponent);
  } else {
    magnitude = u.exponent <= -64 ? 0 : static_cast<int64_t>(u.mantissa >> -u.exponent);
  }
  int64_t value = u.negative ? -magnitude : magnitude;
  if (value > INT32_MAX || value < INT32_MIN) {
    throw RuntimeFault(ExitStatus::kRuntimeError, "runtime error: REAL too large for an integer");
  }
  return static_cast<int32_t>(value);
}

long double toLongDouble(const Bytes& a) {
  Unpacked u = unpack(a);
  if (u.zero) return 0.0L;
  long double value = std::ldexp(static_cast<long double>(u.mantissa), u.exponent);
  return u.negative ? -value : value;
}

Bytes fromLongDouble(long double value) {
  if (std::isnan(value)) {
    throw RuntimeFault(ExitStatus::kRuntimeError, "runtime error: invalid REAL operation");
  }
  if (std::isinf(value)) overflow();
  if (value == 0.0L) return Bytes{};
  bool negative = value < 0;
  int exponent = 0;
  long double fraction = std::frexp(negative ? -value : value, &exponent);  // [0.5, 1)
  // 64 bits hold every long double significand exactly.
  uint64_t significand = static_cast<uint64_t>(std::ldexp(fraction, 64));
  return roundAndPack(negative, significand, exponent - 64, false);
}

}  // namespace vorax::sim::real48
