// Integer operators generated from parsed expressions: the emitted lines and the result
// operand, for each operator family and the operand sizes that change the code.
#include <gtest/gtest.h>

#include "arith_fixture.h"

namespace vorax::testing {
namespace {

// Frame slots of the fixture's variables: I -6, J -8, B -9, C -10, W -12, L -16.
struct ValueCase {
  const char* expression;
  const char* target;
  bool cpu2000;
  const char* expected;  // lines " => " operand, or "error N"
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.expression << " as " << c.target; }

class IntegerOperatorTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(IntegerOperatorTest, EmitsTheOperation) {
  ArithFixture fixture;
  fixture.cpu2000 = GetParam().cpu2000;
  EXPECT_EQ(fixture.value(GetParam().expression, GetParam().target), GetParam().expected);
  // Only the register holding the result is still taken.
  const std::string expected = GetParam().expected;
  const auto arrow = expected.find(" => ");
  if (arrow != std::string::npos) {
    EXPECT_EQ(fixture.registersInUse, expected.substr(arrow + 4));
  }
}

INSTANTIATE_TEST_SUITE_P(
    AdditiveAndBitwise, IntegerOperatorTest,
    ::testing::Values(
        // add.w #1 becomes inc.w on its way into the window.
        ValueCase{"I + 1", "INTEGER", false, "mov.w @(-6,fp),r0 / inc.w #1,r0 => r0"},
        ValueCase{"3 + I", "INTEGER", false, "mov.w @(-6,fp),r0 / add.w #3,r0 => r0"},
        ValueCase{"I + J", "INTEGER", false,
                  "mov.w @(-6,fp),r0 / mov.w @(-8,fp),r1 / add.w r1,r0 => r0"},
        // "-" keeps its order: the constant left operand is loaded after the right one.
        ValueCase{"5 - I", "INTEGER", false, "mov.w @(-6,fp),r0 / mov.w #5,r1 / sub.w r0,r1 => r1"},
        // No byte subtraction of an immediate exists: the word form is used.
        ValueCase{"B - 1", "BYTE", false, "mov.b @(-9,fp),r0 / dec.w #1,r0 => r0"},
        ValueCase{"I AND 15", "INTEGER", false, "mov.w @(-6,fp),r0 / and.w #15,r0 => r0"},
        ValueCase{"I OR 256", "INTEGER", false, "mov.w @(-6,fp),r0 / or.w #256,r0 => r0"},
        ValueCase{"I XOR J", "INTEGER", false,
                  "mov.w @(-6,fp),r0 / mov.w @(-8,fp),r1 / xor.w r1,r0 => r0"},
        // A wide constant widens the operation; a wide target alone does not.
        ValueCase{"I + 100000", "LONGINT", false,
                  "mov.w @(-6,fp),r0 / exts.l r0 / add.l #100000,r0 => r0"},
        ValueCase{"I + L", "LONGINT", false,
                  "mov.w @(-6,fp),r0 / exts.l r0 / mov.l @(-16,fp),r1 / add.l r1,r0 => r0"},
        ValueCase{"I - L", "INTEGER", false,
                  "mov.w @(-6,fp),r0 / mov.l @(-16,fp),r1 / sub.w r1,r0 => r0"},
        // A byte plus a constant is an INTEGER: an INTEGER target gets the carry.
        ValueCase{"B + 1", "INTEGER", false, "mov.b @(-9,fp),r0 / extu.w r0 / inc.w #1,r0 => r0"},
        ValueCase{"B + 1", "BYTE", false, "mov.b @(-9,fp),r0 / inc.b #1,r0 => r0"},
        ValueCase{"B + C", "BYTE", false,
                  "mov.b @(-9,fp),r0 / mov.b @(-10,fp),r1 / add.b r1,r0 => r0"},
        ValueCase{"B + C", "INTEGER", false,
                  "mov.b @(-9,fp),r0 / extu.w r0 / mov.b @(-10,fp),r1 / extu.w r1 / add.w r1,r0 "
                  "=> r0"},
        // Pending flags of the operator node are applied to its result.
        ValueCase{"-(I + J)", "INTEGER", false,
                  "mov.w @(-6,fp),r0 / mov.w @(-8,fp),r1 / add.w r1,r0 / neg.w r0 => r0"}));

INSTANTIATE_TEST_SUITE_P(
    Multiplication, IntegerOperatorTest,
    ::testing::Values(
        // The widening of the left operand is dropped: only the low word is wanted.
        ValueCase{"I * 8", "INTEGER", false,
                  "mov.w @(-6,fp),r0 / shal.w #1,r0 / shal.w #1,r0 / shal.w #1,r0 => r0"},
        ValueCase{"I * 8", "INTEGER", true,
                  "mov.w @(-6,fp),r0 / shal.w #1,r0 / shal.w #2,r0 => r0"},
        ValueCase{"B * 4", "BYTE", false,
                  "mov.b @(-9,fp),r0 / extu.w r0 / shal.w #1,r0 / shal.w #1,r0 => r0"},
        ValueCase{"I * 3", "LONGINT", false,
                  "mov.w @(-6,fp),r0 / mov.w #3,r1 / mulxs.w r1,r0 => r0"},
        ValueCase{"B * C", "INTEGER", false,
                  "mov.b @(-9,fp),r0 / extu.w r0 / mov.b @(-10,fp),r1 / extu.w r1 / mulxu.w r1,r0 "
                  "=> r0"},
        // Index products: signed unless both factors are unsigned; a constant factor
        // counts by its value.
        ValueCase{"I * 2", "ADDRESS", false,
                  "mov.w @(-6,fp),r0 / mov.w #2,r1 / mulxs.w r1,r0 => r0"},
        ValueCase{"W * 2", "ADDRESS", false,
                  "mov.w @(-12,fp),r0 / mov.w #2,r1 / mulxu.w r1,r0 => r0"},
        ValueCase{"B * 40000", "ADDRESS", false,
                  "mov.b @(-9,fp),r0 / extu.w r0 / mov.w #40000,r1 / mulxu.w r1,r0 => r0"},
        ValueCase{"I * 40000", "ADDRESS", false,
                  "mov.w @(-6,fp),r0 / exts.l r0 / mov.l r0,@-sp / mov.l #40000,r0 / mov.l "
                  "r0,@-sp / bsr \\mul => r0"},
        ValueCase{"W * W", "LONGINT", false,
                  "mov.w @(-12,fp),r0 / mov.w @(-12,fp),r1 / mulxu.w r1,r0 => r0"},
        // A WORD times a signed word fits neither multiply instruction.
        ValueCase{"W * J", "LONGINT", false,
                  "mov.w @(-12,fp),r0 / extu.l r0 / mov.l r0,@-sp / mov.w @(-8,fp),r0 / exts.l r0 "
                  "/ mov.l r0,@-sp / bsr \\mul => r0"},
        ValueCase{"L * I", "LONGINT", false,
                  "mov.l @(-16,fp),r0 / mov.l r0,@-sp / mov.w @(-6,fp),r0 / exts.l r0 / mov.l "
                  "r0,@-sp / bsr \\mul => r0"}));

INSTANTIATE_TEST_SUITE_P(
    DivisionAndRemainder, IntegerOperatorTest,
    ::testing::Values(
        ValueCase{"I DIV 3", "LONGINT", false,
                  "mov.w @(-6,fp),r0 / exts.l r0 / mov.l r0,@-sp / mov.l #3,r0 / mov.l r0,@-sp / "
                  "bsr \\div => r0"},
        // A negative dividend is rounded towards zero before the arithmetic shift.
        ValueCase{
            "I DIV 4", "INTEGER", false,
            "mov.w @(-6,fp),r0 / bpl $2 / add.w #3,r0 / $2: shar.w #1,r0 / shar.w #1,r0 => r0"},
        ValueCase{"W DIV 4", "INTEGER", false,
                  "mov.w @(-12,fp),r0 / shlr.w #1,r0 / shlr.w #1,r0 => r0"},
        ValueCase{"W MOD 16", "WORD", false, "mov.w @(-12,fp),r0 / and.l #15,r0 => r0"},
        // Bits 8..15 of a register loaded with a byte are not part of the value.
        ValueCase{"B MOD 512", "INTEGER", false, "mov.b @(-9,fp),r0 / and.l #255,r0 => r0"},
        // The remainder of a negative dividend is negative: no mask gives it.
        ValueCase{"I MOD 8", "INTEGER", false,
                  "mov.w @(-6,fp),r0 / exts.l r0 / mov.l r0,@-sp / mov.w #8,r0 / mov.w r0,@-sp / "
                  "bsr \\mod => r0"},
        ValueCase{"I DIV 0", "INTEGER", false, "error 54"},
        ValueCase{"I MOD 0", "INTEGER", false, "error 54"},
        // A divisor beyond a word: x - (x DIV y) * y from the long routines, the dividend
        // kept on the stack below their arguments.
        ValueCase{"L MOD 65536", "LONGINT", false,
                  "mov.l @(-16,fp),r0 / mov.l r0,@-sp / mov.l #65536,r0 / mov.l @sp,r1 / "
                  "mov.l r0,@-sp / mov.l r1,@-sp / mov.l r0,@-sp / bsr \\div / mov.l r0,@-sp / "
                  "bsr \\mul / mov.l @sp+,r1 / sub.l r0,r1 => r1"},
        ValueCase{"L MOD W", "LONGINT", false,
                  "mov.l @(-16,fp),r0 / mov.l r0,@-sp / mov.w @(-12,fp),r0 / extu.l r0 / "
                  "mov.l @sp,r1 / mov.l r0,@-sp / mov.l r1,@-sp / mov.l r0,@-sp / bsr \\div / "
                  "mov.l r0,@-sp / bsr \\mul / mov.l @sp+,r1 / sub.l r0,r1 => r1"},
        ValueCase{"L MOD 0", "LONGINT", false, "error 54"}));

INSTANTIATE_TEST_SUITE_P(
    Shifts, IntegerOperatorTest,
    ::testing::Values(
        ValueCase{"I SHL 4", "INTEGER", false,
                  "mov.w @(-6,fp),r0 / mov.w #16,r1 / mulxu.w r1,r0 => r0"},
        ValueCase{"I SHL 4", "INTEGER", true,
                  "mov.w @(-6,fp),r0 / shll.w #2,r0 / shll.w #2,r0 => r0"},
        ValueCase{"I SHL 2", "INTEGER", false,
                  "mov.w @(-6,fp),r0 / shll.w #1,r0 / shll.w #1,r0 => r0"},
        ValueCase{"I SHL 16", "INTEGER", false, "mov.w @(-6,fp),r0 / xor.w r0,r0 => r0"},
        ValueCase{"B SHL 3", "BYTE", false,
                  "mov.b @(-9,fp),r0 / shll.b #1,r0 / shll.b #1,r0 / shll.b #1,r0 => r0"},
        // The high byte of a word in memory is the byte at its address.
        ValueCase{"I SHR 8", "INTEGER", false, "mov.b @(-6,fp),r0 / extu.w r0 => r0"},
        ValueCase{"X SHR 9", "INTEGER", false, "mov.b X,r0 / extu.w r0 / shlr.w #1,r0 => r0"},
        ValueCase{"L SHR 20", "LONGINT", false,
                  "mov.l @(-16,fp),r0 / mov.l r0,@-sp / mov.w @sp,r0 / adds #4,sp / extu.l r0 / "
                  "shlr.l #1,r0 / shlr.l #1,r0 / shlr.l #1,r0 / shlr.l #1,r0 => r0"},
        ValueCase{"L SHR 26", "LONGINT", true,
                  "mov.l @(-16,fp),r0 / mov.l r0,@-sp / mov.b @sp,r0 / adds #4,sp / and.l #255,r0 "
                  "/ shlr.l #2,r0 => r0"},
        ValueCase{"I SHL J", "INTEGER", false,
                  "mov.w @(-6,fp),r0 / mov.w @(-8,fp),r1 / bra $3 / $2: shll.w #1,r0 / dec.w "
                  "#1,r1 / $3: bne $2 => r0"},
        // The count comes from a call: the shifted value waits on the stack, and the flags
        // of the count are set again after the value is popped.
        ValueCase{"I SHL (J DIV 3)", "INTEGER", false,
                  "mov.w @(-6,fp),r0 / mov.w r0,@-sp / mov.w @(-8,fp),r0 / exts.l r0 / mov.l "
                  "r0,@-sp / mov.l #3,r0 / mov.l r0,@-sp / bsr \\div / mov.w @sp+,r1 / and.w "
                  "r0,r0 / bra $4 / $3: shll.w #1,r1 / dec.w #1,r0 / $4: bne $3 => r1"}));

INSTANTIATE_TEST_SUITE_P(
    EvaluationOrder, IntegerOperatorTest,
    ::testing::Values(
        // Only the right operand calls: it goes first and nothing waits in a register.
        ValueCase{"I + (J DIV 3)", "LONGINT", false,
                  "mov.w @(-8,fp),r0 / exts.l r0 / mov.l r0,@-sp / mov.l #3,r0 / mov.l r0,@-sp / "
                  "bsr \\div / mov.w @(-6,fp),r1 / exts.l r1 / add.l r0,r1 => r1"},
        // Both call: the left value is pushed at its spill mark and popped after the call.
        ValueCase{"(I DIV 3) + (J DIV 3)", "LONGINT", false,
                  "mov.w @(-6,fp),r0 / exts.l r0 / mov.l r0,@-sp / mov.l #3,r0 / mov.l r0,@-sp / "
                  "bsr \\div / mov.l r0,@-sp / mov.w @(-8,fp),r0 / exts.l r0 / mov.l r0,@-sp / "
                  "mov.l #3,r0 / mov.l r0,@-sp / bsr \\div / mov.l @sp+,r1 / add.l r0,r1 => r1"}));

}  // namespace
}  // namespace vorax::testing
