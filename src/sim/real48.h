// The 6-byte REAL of the target: an exponent byte biased by 129 (0 for zero), then a
// 40-bit mantissa, most significant byte first, whose top bit holds the sign in place of
// the implied leading 1. Arithmetic is exact and rounds once, to nearest with ties to even,
// on the 39-bit fraction.
#pragma once

#include <array>
#include <cstdint>

namespace vorax::sim::real48 {

using Bytes = std::array<uint8_t, 6>;

// Throws RuntimeFault on overflow; results too small to represent become zero.
Bytes add(const Bytes& a, const Bytes& b);
Bytes subtract(const Bytes& a, const Bytes& b);
Bytes multiply(const Bytes& a, const Bytes& b);
Bytes divide(const Bytes& a, const Bytes& b);  // division by zero throws
Bytes negate(const Bytes& a);

// -1, 0 or 1.
int compare(const Bytes& a, const Bytes& b);

Bytes fromInteger(int64_t value);
// Truncates towards zero; throws when the result does not fit 32 bits.
int32_t truncateToLong(const Bytes& a);

// Exact value as a long double (40 significant bits always fit).
long double toLongDouble(const Bytes& a);
// Rounds a long double to the nearest REAL (ties to even); NaN throws.
Bytes fromLongDouble(long double value);

bool isZero(const Bytes& a);

}  // namespace vorax::sim::real48
