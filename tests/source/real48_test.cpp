#include "source/real48.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace vorax {
namespace {

using Bytes = std::array<std::uint8_t, 6>;

Bytes bytesOf(const std::string& text) {
  const std::optional<Real48> value = real48FromDecimal(text);
  EXPECT_TRUE(value.has_value()) << text;
  return value ? value->bytes : Bytes{};
}

struct DecimalCase {
  std::string text;
  Bytes bytes;  // internal layout: exponent, then the mantissa from least significant
};

class Real48FromDecimal : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(Real48FromDecimal, GivesTheNearestRealTiesToEven) {
  EXPECT_EQ(bytesOf(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Real48FromDecimal,
    ::testing::Values(
        DecimalCase{"1.0", {129, 0, 0, 0, 0, 0}}, DecimalCase{"1", {129, 0, 0, 0, 0, 0}},
        DecimalCase{"2", {130, 0, 0, 0, 0, 0}}, DecimalCase{"0.5", {128, 0, 0, 0, 0, 0}},
        DecimalCase{"1.5", {129, 0, 0, 0, 0, 0x40}}, DecimalCase{"-1.5", {129, 0, 0, 0, 0, 0xC0}},
        DecimalCase{"-2", {130, 0, 0, 0, 0, 0x80}}, DecimalCase{"10", {132, 0, 0, 0, 0, 0x20}},
        DecimalCase{"1e3", {138, 0, 0, 0, 0, 0x7A}}, DecimalCase{"1000.", {138, 0, 0, 0, 0, 0x7A}},
        DecimalCase{"0.1", {125, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C}},
        // pi, as the predefined constant holds it
        DecimalCase{"3.14159265358979323846", {0x82, 0x21, 0xA2, 0xDA, 0x0F, 0x49}},
        DecimalCase{"0", {0, 0, 0, 0, 0, 0}}, DecimalCase{"0.000", {0, 0, 0, 0, 0, 0}},
        DecimalCase{"-0", {0, 0, 0, 0, 0, 0}}, DecimalCase{"0e99999", {0, 0, 0, 0, 0, 0}},
        // exactly halfway between 1 and the next real: to the even one (1)
        DecimalCase{"1.0000000000009094947017729282379150390625", {129, 0, 0, 0, 0, 0}},
        // a hair above halfway goes up
        DecimalCase{"1.00000000000090949470177292823791503906251", {129, 1, 0, 0, 0, 0}},
        // halfway between the odd fraction 1 and 2: to the even 2
        DecimalCase{"1.0000000000027284841053187847137451171875", {129, 2, 0, 0, 0, 0}},
        // the smallest positive real, 2^-128
        DecimalCase{"2."
                    "938735877055718769921841343055614194546663891930218803771879265696043148636817"
                    "93212890625e-39",
                    {1, 0, 0, 0, 0, 0}},
        // half of it can't be held: zero
        DecimalCase{"1."
                    "469367938527859384960920671527807097273331945965109401885939632848021574318408"
                    "966064453125e-39",
                    {0, 0, 0, 0, 0, 0}},
        DecimalCase{"1e-45", {0, 0, 0, 0, 0, 0}},
        // the largest real, (2 - 2^-39) * 2^126
        DecimalCase{"170141183460314489226776631181521715200", {255, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}},
        DecimalCase{"1.70141183460314489226776631181521715200E38",
                    {255, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}},
        // many digits, and an exponent that undoes them
        DecimalCase{"1" + std::string(100, '0') + "e-100", {129, 0, 0, 0, 0, 0}},
        DecimalCase{"0." + std::string(100, '0') + "1e101", {129, 0, 0, 0, 0, 0}}));

TEST(Real48FromDecimalLimits, RejectsValuesBeyondTheLargestAndMalformedText) {
  const std::vector<std::string> rejected = {
      // halfway between the largest real and 2^127 rounds to even, past the range
      "170141183460391860479231967448702910464",
      "1.8e38",
      "1e39",
      "1e999999999999",
      "",
      ".",
      "1e",
      "1e+",
      "e5",
      "abc",
      "1.2.3",
      "1 ",
      "+",
      "--1",
      "1e5x"};
  for (const std::string& text : rejected) {
    EXPECT_FALSE(real48FromDecimal(text).has_value()) << text;
  }
  EXPECT_EQ(bytesOf("1e-99999999999"), (Bytes{0, 0, 0, 0, 0, 0}));
}

TEST(Real48Layout, TargetOrderPutsTheExponentFirstThenTheMantissaFromItsTop) {
  const Real48 pi{{0x82, 0x21, 0xA2, 0xDA, 0x0F, 0x49}};
  EXPECT_EQ(pi.targetOrder(), (Bytes{130, 73, 15, 218, 162, 33}));
}

TEST(Real48Layout, NegationFlipsTheSignBitButKeepsZeroZero) {
  const Real48 one{{129, 0, 0, 0, 0, 0}};
  EXPECT_TRUE(one.negated().isNegative());
  EXPECT_EQ(one.negated().negated(), one);
  EXPECT_EQ(Real48{}.negated(), Real48{});
  EXPECT_FALSE(Real48{}.isNegative());
}

TEST(Real48Double, ConvertsBothWaysWithRounding) {
  const std::vector<double> exact = {1.0,
                                     -1.5,
                                     0.375,
                                     1.5e12,
                                     std::ldexp(1.0, -128),
                                     std::ldexp(1.0, 126) * (2 - std::ldexp(1.0, -39))};
  for (const double value : exact) {
    const std::optional<Real48> real = real48FromDouble(value);
    ASSERT_TRUE(real.has_value()) << value;
    EXPECT_EQ(real48ToDouble(*real), value);
  }
  // 1 + 2^-40 is a tie (to 1); 1 + 3 * 2^-40 too (to 1 + 2^-38).
  EXPECT_EQ(real48FromDouble(1 + std::ldexp(1.0, -40))->bytes, (Bytes{129, 0, 0, 0, 0, 0}));
  EXPECT_EQ(real48FromDouble(1 + 3 * std::ldexp(1.0, -40))->bytes, (Bytes{129, 2, 0, 0, 0, 0}));
  // the rounding carry moves into the exponent
  EXPECT_EQ(real48FromDouble(2 - std::ldexp(1.0, -45))->bytes, (Bytes{130, 0, 0, 0, 0, 0}));
  EXPECT_EQ(real48FromDouble(std::ldexp(1.0, -130))->bytes, (Bytes{0, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(real48FromDouble(std::ldexp(1.0, 127)).has_value());
  EXPECT_FALSE(real48FromDouble(INFINITY).has_value());
  EXPECT_FALSE(real48FromDouble(NAN).has_value());
  EXPECT_NEAR(real48ToDouble(Real48{{0x82, 0x21, 0xA2, 0xDA, 0x0F, 0x49}}), M_PI, 1e-11);
}

TEST(Real48Decimal, ShortestTextConvertsBackToTheSameReal) {
  EXPECT_EQ(real48ToDecimalText(Real48{}), "0");
  EXPECT_EQ(real48ToDecimalText(*real48FromDecimal("1.5")), "1.5");
  EXPECT_EQ(real48ToDecimalText(*real48FromDecimal("-2")), "-2");
  EXPECT_EQ(real48ToDecimalText(*real48FromDecimal("0.1")), "0.1");
  EXPECT_EQ(real48ToDecimalText(*real48FromDecimal("1e20")), "1e+20");
  for (const char* text : {"3.14159265358979", "2.9387358770557e-39", "1.7014118346031e38",
                           "123456.789", "-0.000123"}) {
    const Real48 value = *real48FromDecimal(text);
    EXPECT_EQ(real48FromDecimal(real48ToDecimalText(value)), value) << text;
  }
}

}  // namespace
}  // namespace vorax
