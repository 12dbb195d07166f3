// The 6-byte REAL: encoding, exact arithmetic and rounding to nearest, ties to even.
#include "sim/real48.h"

#include <gtest/gtest.h>

#include <cmath>

#include "sim/sim_types.h"

namespace vorax::sim::real48 {
namespace {

Bytes value(long double v) { return fromLongDouble(v); }

TEST(Real48Test, EncodesLikeTheCompiler) {
  EXPECT_EQ(value(1.0L), (Bytes{129, 0, 0, 0, 0, 0}));
  EXPECT_EQ(value(-1.5L), (Bytes{129, 0xC0, 0, 0, 0, 0}));
  EXPECT_EQ(value(0.5L), (Bytes{128, 0, 0, 0, 0, 0}));
  EXPECT_EQ(value(3.14159265358979323846L), (Bytes{130, 73, 15, 218, 162, 33}));
  EXPECT_EQ(value(0.0L), Bytes{});
  EXPECT_EQ(toLongDouble(Bytes{130, 0x80, 0, 0, 0, 0}), -2.0L);
}

TEST(Real48Test, RoundsToNearestTiesToEvenOnTheFraction) {
  const long double ulp = std::ldexp(1.0L, -39);  // one unit of the fraction at 1.0
  // Exactly half a unit above 1.0: ties to the even mantissa (1.0).
  EXPECT_EQ(add(value(1.0L), value(ulp / 2)), value(1.0L));
  // Half a unit above 1 + ulp: ties to 1 + 2 ulp (even).
  EXPECT_EQ(add(value(1.0L + ulp), value(ulp / 2)), value(1.0L + 2 * ulp));
  // A little more than half rounds up, a little less rounds down.
  EXPECT_EQ(add(value(1.0L), value(ulp / 2 + ulp / 8)), value(1.0L + ulp));
  EXPECT_EQ(add(value(1.0L), value(ulp / 2 - ulp / 8)), value(1.0L));
  // A product whose exact value lies just above a tie rounds up.
  Bytes third = divide(value(1.0L), value(3.0L));
  EXPECT_EQ(toLongDouble(third), std::ldexp(std::nearbyint(std::ldexp(1.0L / 3, 41)), -41));
}

TEST(Real48Test, ArithmeticIsExactWhereTheResultFits) {
  EXPECT_EQ(toLongDouble(add(value(1.25L), value(2.5L))), 3.75L);
  EXPECT_EQ(toLongDouble(subtract(value(1.0L), value(1.0L))), 0.0L);
  EXPECT_EQ(toLongDouble(subtract(value(1.0L), value(3.0L))), -2.0L);
  EXPECT_EQ(toLongDouble(multiply(value(-1.5L), value(4.0L))), -6.0L);
  EXPECT_EQ(toLongDouble(divide(value(10.0L), value(4.0L))), 2.5L);
  EXPECT_EQ(toLongDouble(add(value(1e30L), value(1.0L))), toLongDouble(value(1e30L)));
  EXPECT_EQ(toLongDouble(subtract(value(1.0L), value(1e-30L))), 1.0L);
}

TEST(Real48Test, IntegersConvertBothWays) {
  for (int64_t n : {0LL, 1LL, -1LL, 32767LL, -2147483648LL, 2147483647LL}) {
    EXPECT_EQ(truncateToLong(fromInteger(n)), n) << n;
  }
  EXPECT_EQ(truncateToLong(value(-2.75L)), -2);
  EXPECT_EQ(truncateToLong(value(2.999L)), 2);
  EXPECT_THROW(truncateToLong(value(3e9L)), RuntimeFault);
}

TEST(Real48Test, OverflowFaultsAndUnderflowGivesZero) {
  EXPECT_THROW(multiply(value(1e38L), value(1e38L)), RuntimeFault);
  EXPECT_EQ(multiply(value(1e-38L), value(1e-38L)), Bytes{});
  EXPECT_THROW(divide(value(1.0L), Bytes{}), RuntimeFault);
}

TEST(Real48Test, ComparesWithSigns) {
  EXPECT_LT(compare(value(-2.0L), value(1.0L)), 0);
  EXPECT_GT(compare(value(0.5L), value(-0.5L)), 0);
  EXPECT_EQ(compare(Bytes{}, Bytes{0, 0x80, 0, 0, 0, 0}), 0);  // zero has no sign
}

}  // namespace
}  // namespace vorax::sim::real48
