// The rules that keep generated expressions inside the subset where this dialect and
// Free Pascal compute the same: a rule that lets a node through wrongly makes the two
// compilers disagree for no fault of the compiler under test, a rule that refuses too
// much hides shapes from the hunt.
#include <gtest/gtest.h>

#include "random/expression_rules.h"

namespace vorax::randprog {
namespace {

ExprPtr leaf() {
  auto expr = std::make_unique<Expr>();
  expr->kind = ExprKind::Designator;
  return expr;
}

ExprPtr node(ExprKind kind, Op op) {
  auto expr = std::make_unique<Expr>();
  expr->kind = kind;
  expr->op = op;
  expr->operands.push_back(leaf());
  expr->operands.push_back(leaf());
  return expr;
}

ExprInfo value(TypeKind kind, ValueRange range, bool isUnsigned = false, bool wide = false) {
  ExprInfo info;
  info.kind = kind;
  info.range = range;
  info.isUnsigned = isUnsigned;
  info.isWideUnsigned = wide;
  return info;
}

struct BinaryCase {
  const char* name;
  Op op;
  ExprInfo left;
  ExprInfo right;
  bool accepted;
  TypeKind kind;  // when accepted
};

class BinaryRules : public ::testing::TestWithParam<BinaryCase> {};

TEST_P(BinaryRules, AcceptOnlyWhatBothCompilersComputeAlike) {
  const BinaryCase& c = GetParam();
  GeneratorOptions options;
  options.disabled = {Feature::WideModDivisor, Feature::WordIntegerCompare, Feature::SubrangeByteOperand};
  const ExpressionRules rules(options);
  ExprPtr expr = node(ExprKind::Binary, c.op);
  std::string why;
  const std::optional<ExprInfo> info = rules.binary(*expr, c.left, c.right, why);
  EXPECT_EQ(info.has_value(), c.accepted) << why;
  if (info && c.accepted) {
    EXPECT_EQ(info->kind, c.kind);
  }
}

const ExprInfo kByte = value(TypeKind::Byte, {0, 255}, true);
const ExprInfo kSmallByte = value(TypeKind::Byte, {0, 20}, true);
const ExprInfo kInteger = value(TypeKind::Integer, {-1000, 1000});
const ExprInfo kFullInteger = value(TypeKind::Integer, {-32768, 32767});
const ExprInfo kWord = value(TypeKind::Word, {0, 65535}, true);
const ExprInfo kSmallWord = value(TypeKind::Word, {0, 1000}, true);
const ExprInfo kLong = value(TypeKind::LongInt, {-100000, 100000});

ExprInfo foldedConstant(TypeKind kind, int64_t number) {
  ExprInfo info = value(kind, ValueRange::of(number));
  info.isConstant = true;
  return info;
}
const ExprInfo kFoldedHundred = foldedConstant(TypeKind::Integer, 100);

INSTANTIATE_TEST_SUITE_P(
    Dialect, BinaryRules,
    ::testing::Values(
        // BYTE + BYTE is BYTE arithmetic here: only sums that stay below 256.
        BinaryCase{"byte_sum_in_range", Op::Add, kSmallByte, kSmallByte, true, TypeKind::Byte},
        BinaryCase{"byte_sum_may_wrap", Op::Add, kByte, kSmallByte, false, TypeKind::Byte},
        BinaryCase{"byte_difference_may_go_negative", Op::Sub, kSmallByte, kSmallByte, false, TypeKind::Byte},
        // INTEGER + INTEGER is 16-bit: the sum must fit.
        BinaryCase{"integer_sum_fits", Op::Add, kInteger, kInteger, true, TypeKind::Integer},
        BinaryCase{"integer_sum_may_overflow", Op::Add, kFullInteger, kInteger, false, TypeKind::Integer},
        // INTEGER * INTEGER is a LONGINT product of 16-bit operands.
        BinaryCase{"integer_product_is_long", Op::Mul, kFullInteger, kFullInteger, true, TypeKind::LongInt},
        BinaryCase{"word_operand_read_as_signed", Op::Mul, kWord, kInteger, false, TypeKind::LongInt},
        BinaryCase{"small_word_in_integer_sum", Op::Add, kSmallWord, kInteger, true, TypeKind::Integer},
        BinaryCase{"big_word_in_integer_sum", Op::Add, kWord, kInteger, false, TypeKind::Integer},
        BinaryCase{"word_in_longint_sum", Op::Add, kWord, kLong, true, TypeKind::LongInt},
        // BYTE DIV INTEGER is a BYTE here: a negative divisor gives a negative BYTE.
        BinaryCase{"byte_div_negative", Op::Div, kByte, value(TypeKind::Integer, {-9, -1}), false, TypeKind::Byte},
        BinaryCase{"divisor_may_be_zero", Op::Div, kInteger, value(TypeKind::Integer, {-3, 3}), false, TypeKind::Integer},
        // LONGINT MOD reads a 16-bit divisor (switchable while that is repaired).
        BinaryCase{"long_mod_wide_divisor", Op::Mod, kLong, value(TypeKind::LongInt, {70000, 70000}), false, TypeKind::LongInt},
        BinaryCase{"long_mod_narrow_divisor", Op::Mod, kLong, value(TypeKind::Integer, {7, 7}), true, TypeKind::LongInt},
        // Free Pascal computes with two unsigned operands in 64-bit unsigned arithmetic.
        BinaryCase{"unsigned_difference_below_zero", Op::Sub, kSmallWord, kSmallByte, false, TypeKind::Integer},
        BinaryCase{"wide_unsigned_with_negative", Op::Add, value(TypeKind::Integer, {0, 500}, true, true),
                   value(TypeKind::Integer, {-5, -5}), false, TypeKind::Integer},
        BinaryCase{"bitwise_negative_with_unsigned", Op::And, kSmallByte, value(TypeKind::Integer, {-9, -9}), false, TypeKind::Integer},
        // Shifts: non-negative values, counts up to 15 (7 on BYTE values), results in range.
        BinaryCase{"shift_fits", Op::Shl, value(TypeKind::Integer, {0, 100}), value(TypeKind::Byte, {0, 6}), true, TypeKind::Integer},
        BinaryCase{"shift_overflows", Op::Shl, value(TypeKind::Integer, {0, 100}), value(TypeKind::Byte, {0, 9}), false, TypeKind::Integer},
        BinaryCase{"shift_of_negative", Op::Shr, kInteger, value(TypeKind::Byte, {1, 1}), false, TypeKind::Integer},
        // A constant expression folds to a BYTE constant when it lies in 0..255 (-(-100)),
        // and is shifted in 8 bits then.
        BinaryCase{"folded_byte_constant_shifted", Op::Shl, kFoldedHundred, value(TypeKind::Integer, {0, 2}), false,
                   TypeKind::Byte},
        BinaryCase{"folded_byte_constant_shift_fits", Op::Shl, kFoldedHundred, value(TypeKind::Integer, {0, 1}), true,
                   TypeKind::Byte},
        // 1000 * (256 - 1): an INTEGER times a BYTE is an INTEGER product here.
        BinaryCase{"folded_byte_constant_factor", Op::Mul, foldedConstant(TypeKind::Integer, 1000),
                   foldedConstant(TypeKind::Integer, 255), false, TypeKind::Integer},
        BinaryCase{"integer_constant_factors", Op::Mul, foldedConstant(TypeKind::Integer, 1000),
                   foldedConstant(TypeKind::Integer, 256), true, TypeKind::LongInt},
        // A folded LONGINT constant below 65536 is an INTEGER here: ABS(-40000) + B does not
        // fit the INTEGER it is computed in.
        BinaryCase{"folded_long_constant_is_integer", Op::Add, foldedConstant(TypeKind::LongInt, 40000),
                   kSmallByte, false, TypeKind::Integer},
        BinaryCase{"folded_long_constant_stays_long", Op::Add, foldedConstant(TypeKind::LongInt, 70000),
                   kSmallByte, true, TypeKind::LongInt},
        // x DIV 1 is folded to x, keeping x's type.
        BinaryCase{"div_by_one", Op::Div, kWord, value(TypeKind::Integer, {1, 1}), false, TypeKind::Integer},
        BinaryCase{"div_by_minus_one", Op::Div, kInteger, value(TypeKind::Integer, {-1, -1}), false, TypeKind::Integer},
        // A factor 1 or -1 is removed: W * 1 stays a WORD, which NOT refuses (error 44).
        BinaryCase{"factor_one", Op::Mul, kSmallWord, foldedConstant(TypeKind::Integer, 1), false, TypeKind::LongInt},
        BinaryCase{"factor_minus_one", Op::Mul, foldedConstant(TypeKind::Integer, -1), kSmallWord, false, TypeKind::LongInt},
        BinaryCase{"factor_two", Op::Mul, kSmallWord, foldedConstant(TypeKind::Integer, 2), true, TypeKind::Integer},
        // Comparisons: INTEGER against WORD is compared without sign here (switchable).
        BinaryCase{"negative_integer_against_word", Op::Lt, kInteger, kWord, false, TypeKind::Boolean},
        BinaryCase{"integer_against_longint", Op::Lt, kInteger, kLong, true, TypeKind::Boolean},
        BinaryCase{"boolean_ordering", Op::Lt, value(TypeKind::Boolean, {0, 1}), value(TypeKind::Boolean, {0, 1}), false, TypeKind::Boolean},
        // A subrange and a BYTE variable in one sum (switchable).
        BinaryCase{"subrange_plus_byte", Op::Add, value(TypeKind::Subrange, {0, 200}, true), kSmallByte, false, TypeKind::Integer}),
    [](const ::testing::TestParamInfo<BinaryCase>& info) { return std::string(info.param.name); });

TEST(UnaryRules, OnlySignedValuesAreNegatedOrComplemented) {
  GeneratorOptions options;
  const ExpressionRules rules(options);
  auto negate = [&](const ExprInfo& operand, Op op) {
    auto expr = std::make_unique<Expr>();
    expr->kind = ExprKind::Unary;
    expr->op = op;
    std::string why;
    return rules.unary(*expr, operand, why);
  };
  EXPECT_TRUE(negate(kInteger, Op::Neg).has_value());
  EXPECT_FALSE(negate(kFullInteger, Op::Neg).has_value());  // -(-32768) does not fit
  EXPECT_FALSE(negate(kByte, Op::Neg).has_value());         // a BYTE stays a BYTE here
  EXPECT_FALSE(negate(kSmallWord, Op::Not).has_value());
  const std::optional<ExprInfo> complement = negate(value(TypeKind::Integer, {0, 9}), Op::Not);
  ASSERT_TRUE(complement.has_value());
  EXPECT_EQ(complement->range, (ValueRange{-10, -1}));
}

TEST(LiteralRules, LiteralsTakeTheDialectsTypes) {
  EXPECT_EQ(literalKind(0), TypeKind::Byte);
  EXPECT_EQ(literalKind(255), TypeKind::Byte);
  EXPECT_EQ(literalKind(256), TypeKind::Integer);
  EXPECT_EQ(literalKind(-1), TypeKind::Integer);
  EXPECT_EQ(literalKind(65535), TypeKind::Integer);
  EXPECT_EQ(literalKind(65536), TypeKind::LongInt);
  GeneratorOptions options;
  const ExpressionRules rules(options);
  Expr smallest;
  smallest.kind = ExprKind::IntConst;
  smallest.value = -2147483648LL;  // written -2147483648: 2147483648 is no integer literal here
  std::string why;
  EXPECT_FALSE(rules.literal(smallest, why).has_value());
  Expr single;
  single.kind = ExprKind::StringConst;
  single.text = "a";  // a one-character literal is a CHAR
  EXPECT_FALSE(rules.literal(single, why).has_value());
}

TEST(AssignmentRules, StoredValuesStayInTheVariablesRange) {
  GeneratorOptions options;
  options.disabled = {Feature::ToSubrange};
  const ExpressionRules rules(options);
  std::string why;
  Type target;
  target.kind = TypeKind::Integer;
  target.range = {-1000, 1000};
  EXPECT_TRUE(rules.assignable(target, kInteger, true, why));
  EXPECT_FALSE(rules.assignable(target, kFullInteger, true, why));
  Type subrange;
  subrange.kind = TypeKind::Subrange;
  subrange.range = {0, 200};
  EXPECT_FALSE(rules.assignable(subrange, kSmallByte, true, why));  // switchable
  ExprInfo constant = kSmallByte;
  constant.isConstant = true;
  EXPECT_TRUE(rules.assignable(subrange, constant, true, why));
  Type text;
  text.kind = TypeKind::String;
  text.maxLength = 8;
  text.range = {2, 8};
  // A longer value is cut to 8 characters; a one-character value is too short.
  EXPECT_TRUE(rules.assignable(text, value(TypeKind::String, {3, 40}), false, why));
  EXPECT_FALSE(rules.assignable(text, value(TypeKind::Char, {65, 65}), true, why));
}

}  // namespace
}  // namespace vorax::randprog
