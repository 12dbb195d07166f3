// The interval arithmetic decides which expressions the generator may write: an interval
// that is too narrow lets an overflowing or dividing-by-zero expression into a program,
// and both compilers then disagree for no fault of the compiler under test. So every
// operation is checked against all value pairs of many small ranges.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "random/random_source.h"
#include "random/value_range.h"

namespace vorax::randprog {
namespace {

using RangeOperation = std::function<std::optional<ValueRange>(const ValueRange&, const ValueRange&)>;
using ValueOperation = std::function<std::optional<int64_t>(int64_t, int64_t)>;

struct Operation {
  const char* name;
  RangeOperation ranges;
  ValueOperation values;  // nothing when the pair has no defined result
};

std::vector<Operation> operations() {
  return {
      {"+", [](auto& a, auto& b) { return std::optional(addRanges(a, b)); },
       [](int64_t a, int64_t b) { return std::optional(a + b); }},
      {"-", [](auto& a, auto& b) { return std::optional(subtractRanges(a, b)); },
       [](int64_t a, int64_t b) { return std::optional(a - b); }},
      {"*", [](auto& a, auto& b) { return std::optional(multiplyRanges(a, b)); },
       [](int64_t a, int64_t b) { return std::optional(a * b); }},
      {"DIV", [](auto& a, auto& b) { return divideRanges(a, b); },
       [](int64_t a, int64_t b) { return b == 0 ? std::nullopt : std::optional(a / b); }},
      {"MOD", [](auto& a, auto& b) { return moduloRanges(a, b); },
       [](int64_t a, int64_t b) { return b == 0 ? std::nullopt : std::optional(a % b); }},
      {"AND", [](auto& a, auto& b) { return std::optional(andRanges(a, b)); },
       [](int64_t a, int64_t b) { return std::optional(a & b); }},
      {"OR", [](auto& a, auto& b) { return std::optional(orRanges(a, b)); },
       [](int64_t a, int64_t b) { return std::optional(a | b); }},
      {"XOR", [](auto& a, auto& b) { return std::optional(xorRanges(a, b)); },
       [](int64_t a, int64_t b) { return std::optional(a ^ b); }},
      {"SHL", [](auto& a, auto& b) { return shiftLeftRanges(a, b); },
       [](int64_t a, int64_t b) { return a < 0 || b < 0 || b > 15 ? std::nullopt : std::optional(a << b); }},
      {"SHR", [](auto& a, auto& b) { return shiftRightRanges(a, b); },
       [](int64_t a, int64_t b) { return a < 0 || b < 0 || b > 15 ? std::nullopt : std::optional(a >> b); }},
  };
}

ValueRange randomRange(RandomSource& random) {
  static const std::vector<ValueRange> kWindows = {{-40, 40}, {0, 20}, {-300, -1}, {0, 600}, {-5, 5}, {1, 15}};
  const ValueRange window = random.pick(kWindows);
  int64_t a = random.between(window.low, window.high);
  int64_t b = random.between(window.low, window.high);
  if (a > b) std::swap(a, b);
  return {a, b};
}

TEST(ValueRange, EveryResultOfEveryPairLiesInTheDerivedRange) {
  RandomSource random(2024);
  for (const Operation& operation : operations()) {
    for (int round = 0; round < 400; ++round) {
      const ValueRange a = randomRange(random);
      const ValueRange b = operation.name == std::string("SHL") || operation.name == std::string("SHR")
                               ? ValueRange{random.between(0, 3), random.between(3, 7)}
                               : randomRange(random);
      const std::optional<ValueRange> derived = operation.ranges(a, b);
      bool anyUndefined = false;
      for (int64_t x = a.low; x <= a.high; ++x) {
        for (int64_t y = b.low; y <= b.high; ++y) {
          const std::optional<int64_t> value = operation.values(x, y);
          if (!value) {
            anyUndefined = true;
            continue;
          }
          if (!derived) continue;  // allowed only when some pair is undefined: checked below
          ASSERT_TRUE(derived->contains(*value))
              << x << " " << operation.name << " " << y << " = " << *value << " outside "
              << derived->text() << " derived from " << a.text() << " and " << b.text();
        }
      }
      // A range with an undefined pair (a zero divisor, a negative shift) derives nothing,
      // and only such a range.
      EXPECT_EQ(anyUndefined, !derived.has_value()) << a.text() << " " << operation.name << " " << b.text();
    }
  }
}

TEST(ValueRange, DivisionAndModuloFollowPascal) {
  // DIV truncates towards zero; MOD takes the dividend's sign.
  EXPECT_EQ(divideRanges({-7, -7}, {2, 2}), ValueRange::of(-3));
  EXPECT_EQ(moduloRanges({-7, -7}, {3, 3}), ValueRange::of(-1));
  EXPECT_EQ(moduloRanges({7, 7}, {-3, -3}), ValueRange::of(1));
  EXPECT_EQ(moduloRanges({5, 7}, {10, 10}), (ValueRange{5, 7}));  // no multiple crossed: exact
  EXPECT_EQ(moduloRanges({-1000, 1000}, {7, 7}), (ValueRange{-6, 6}));
  EXPECT_FALSE(divideRanges({1, 5}, {-1, 1}).has_value());
}

TEST(ValueRange, ExactForSingleValues) {
  for (int64_t a : {-9, -1, 0, 5, 300}) {
    for (int64_t b : {-3, 1, 6, 255}) {
      EXPECT_EQ(andRanges(ValueRange::of(a), ValueRange::of(b)), ValueRange::of(a & b));
      EXPECT_EQ(orRanges(ValueRange::of(a), ValueRange::of(b)), ValueRange::of(a | b));
      EXPECT_EQ(xorRanges(ValueRange::of(a), ValueRange::of(b)), ValueRange::of(a ^ b));
    }
  }
  EXPECT_EQ(complementRange({0, 5}), (ValueRange{-6, -1}));
  EXPECT_EQ(absRange({-8, 3}), (ValueRange{0, 8}));
}

}  // namespace
}  // namespace vorax::randprog
