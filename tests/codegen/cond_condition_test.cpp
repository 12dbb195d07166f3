// Conditions as branches: generateJumpIfFalse with the labels "T" (true) and "F"
// (false) falls through when the condition holds.
#include <gtest/gtest.h>

#include "arith_fixture.h"
#include "codegen/codegen.h"
#include "driver/compilation.h"

namespace vorax::testing {
namespace {

// Frame slots: I -6, J -8, B -9, C -10, W -12, L -16, P -21, Q -22, CH -23, S -280,
// PT -284, E -291.
struct JumpCase {
  const char* condition;
  const char* expected;
};

void PrintTo(const JumpCase& c, std::ostream* os) { *os << c.condition; }

class JumpIfFalseTest : public ::testing::TestWithParam<JumpCase> {};

TEST_P(JumpIfFalseTest, BranchesToTheFalseLabel) {
  ArithFixture fixture;
  EXPECT_EQ(fixture.jump(GetParam().condition), GetParam().expected);
  EXPECT_EQ(fixture.registersInUse, "");
}

INSTANTIATE_TEST_SUITE_P(
    Comparisons, JumpIfFalseTest,
    ::testing::Values(
        JumpCase{"I < J", "mov.w @(-6,fp),r0 / mov.w @(-8,fp),r1 / cmp.w r1,r0 / bge F"},
        JumpCase{"I <> J", "mov.w @(-6,fp),r0 / mov.w @(-8,fp),r1 / cmp.w r1,r0 / beq F"},
        // A constant left operand changes sides and the operator is mirrored.
        JumpCase{"5 < I", "mov.w @(-6,fp),r0 / cmp.w #5,r0 / ble F"},
        JumpCase{"B < C", "mov.b @(-9,fp),r0 / mov.b @(-10,fp),r1 / cmp.b r1,r0 / bcc F"},
        JumpCase{"CH < 'B'", "mov.b @(-23,fp),r0 / cmp.b #66,r0 / bcc F"},
        JumpCase{"E = GREEN", "mov.b @(-291,fp),r0 / cmp.b #1,r0 / bne F"},
        JumpCase{"PT = NIL", "mov.l @(-284,fp),r0 / bne F"},
        // Four bytes: the WORD is zero-extended, so a signed comparison is exact.
        JumpCase{"L < W",
                 "mov.l @(-16,fp),r0 / mov.w @(-12,fp),r1 / extu.l r1 / cmp.l r1,r0 / bge F"},
        // Against 0 the comparison is dropped after the load, which leaves the carry
        // alone: unsigned tests go by Z, or by a comparison of the register with itself.
        JumpCase{"W > 0", "mov.w @(-12,fp),r0 / beq F"},
        JumpCase{"W <= 0", "mov.w @(-12,fp),r0 / bne F"},
        JumpCase{"W >= 0", "mov.w @(-12,fp),r0 / cmp.w r0,r0 / bcs F"},
        JumpCase{"W < 0", "mov.w @(-12,fp),r0 / cmp.w r0,r0 / bcc F"},
        JumpCase{"P = Q", "mov.b @(-21,fp),r0 / mov.b @(-22,fp),r1 / cmp.b r1,r0 / bne F"},
        JumpCase{"P XOR Q", "mov.b @(-21,fp),r0 / mov.b @(-22,fp),r1 / cmp.b r1,r0 / beq F"}));

INSTANTIATE_TEST_SUITE_P(
    BitTests, JumpIfFalseTest,
    ::testing::Values(
        // The bit is read from the byte of memory that holds it (high byte first).
        JumpCase{"(I AND 8) <> 0", "mov.b @(-6+1,fp),r0 / btst #3,r0 / beq F"},
        JumpCase{"(I AND 512) <> 0", "mov.b @(-6,fp),r0 / btst #1,r0 / beq F"},
        JumpCase{"(X AND 512) <> 0", "mov.b X,r0 / btst #1,r0 / beq F"},
        JumpCase{"(L AND 65536) = 0", "mov.b @(-16+1,fp),r0 / btst #0,r0 / bne F"},
        // Two bits: the mask stays.
        JumpCase{"(I AND 12) <> 0", "mov.w @(-6,fp),r0 / and.w #12,r0 / beq F"}));

INSTANTIATE_TEST_SUITE_P(
    BooleanLeavesAndJumps, JumpIfFalseTest,
    ::testing::Values(
        JumpCase{"P", "mov.b @(-21,fp),r0 / beq F"},
        JumpCase{"NOT P", "mov.b @(-21,fp),r0 / bne F"},
        JumpCase{"(I < J) AND (J < 10)",
                 "mov.w @(-6,fp),r0 / mov.w @(-8,fp),r1 / cmp.w r1,r0 / bge F / cmp.w #10,r1 / "
                 "bge F"},
        JumpCase{"(I < J) OR (J < 10)",
                 "mov.w @(-6,fp),r0 / mov.w @(-8,fp),r1 / cmp.w r1,r0 / blt T / cmp.w #10,r1 / "
                 "bge F"},
        JumpCase{"(P OR Q) AND (I > 0)",
                 "mov.b @(-21,fp),r0 / bne $2 / mov.b @(-22,fp),r0 / beq F / $2: mov.w "
                 "@(-6,fp),r0 / ble F"},
        // NOT is pushed down: (I >= J) AND NOT P.
        JumpCase{"NOT ((I < J) OR P)",
                 "mov.w @(-6,fp),r0 / mov.w @(-8,fp),r1 / cmp.w r1,r0 / blt F / mov.b "
                 "@(-21,fp),r0 / bne F"}));

INSTANTIATE_TEST_SUITE_P(
    SetMembership, JumpIfFalseTest,
    ::testing::Values(
        JumpCase{"I IN [1, 3..7, 9, 10]",
                 "mov.w @(-6,fp),r0 / cmp.w #1,r0 / beq T / cmp.w #3,r0 / blt F / cmp.w #7,r0 / "
                 "ble T / cmp.w #9,r0 / beq T / cmp.w #10,r0 / bne F"},
        JumpCase{"NOT (B IN [0..5, 200])",
                 "mov.b @(-9,fp),r0 / cmp.b #5,r0 / bls F / cmp.b #200,r0 / beq F"},
        JumpCase{"(I < J) AND (C IN [1..5])",
                 "mov.w @(-6,fp),r0 / mov.w @(-8,fp),r1 / cmp.w r1,r0 / bge F / mov.b "
                 "@(-10,fp),r0 / cmp.b #1,r0 / bcs F / cmp.b #5,r0 / bhi F"},
        // The set test's final jump to the right operand becomes the jump to T.
        JumpCase{"(C IN [1..5]) OR (I < J)",
                 "mov.b @(-10,fp),r0 / cmp.b #1,r0 / bcs $2 / cmp.b #5,r0 / bls T / $2: mov.w "
                 "@(-6,fp),r0 / mov.w @(-8,fp),r1 / cmp.w r1,r0 / bge F"}));

INSTANTIATE_TEST_SUITE_P(
    Strings, JumpIfFalseTest,
    ::testing::Values(
        JumpCase{"S = ''", "mov.b @(-280,fp),r0 / bne F"},
        // Mirrored: S > '', an unsigned test of the length.
        JumpCase{"'' < S", "mov.b @(-280,fp),r0 / beq F"},
        // Length 1 and the character: the word 256 + code.
        JumpCase{"S = 'A'", "mov.w @(-280,fp),r0 / cmp.w #321,r0 / bne F"},
        JumpCase{"CH = S",
                 "mov.b @(-23,fp),r0 / mov.w @(-280,fp),r1 / extu.w r0 / or.w #256,r0 / cmp.w "
                 "r0,r1 / bne F"},
        JumpCase{"S < 'AB'",
                 "lea @(-280,fp),r0 / mov.l r0,@-sp / bsr \\lods / bsr \\lodsi / db   2,'AB ' / "
                 "bsr \\xltys / beq F"}));

TEST(JumpIfFalse, ConditionMustBeBoolean) {
  ArithFixture fixture;
  EXPECT_EQ(fixture.jump("I + 1"), "error 20");
}

// RS.K stands at -298, so the string after it starts at an odd address: it is compared
// byte by byte.
TEST(JumpIfFalse, StringInRecordIsReadByteByByte) {
  ArithFixture fixture;
  const auto jump = [](Compilation& c, ExprPtr& tree) { generateJumpIfFalse(c, tree, "T", "F"); };
  const char* const record = "VAR RS: RECORD K: CHAR; T: STRING[3] END;";
  EXPECT_EQ(fixture.run("RS.T = 'A'", jump, record),
            "mov.b @(-297,fp),r0 / mov.b @(-297+1,fp),r1 / xor.b #1,r0 / xor.b #65,r1 / or.b "
            "r1,r0 / bne F");
  EXPECT_EQ(fixture.run("RS.T <> CH", jump, record),
            "mov.b @(-23,fp),r0 / mov.b @(-297,fp),r1 / mov.b @(-297+1,fp),r2 / xor.b #1,r1 / "
            "xor.b r0,r2 / or.b r2,r1 / beq F");
}

struct BranchCase {
  TokenCode op;
  const char* signedBranch;
  const char* unsignedBranch;
};

TEST(BranchFor, SignedAndUnsignedMnemonics) {
  const BranchCase cases[] = {
      {TokenCode::Equal, "beq", "beq"},   {TokenCode::NotEqual, "bne", "bne"},
      {TokenCode::Less, "blt", "bcs"},    {TokenCode::LessEqual, "ble", "bls"},
      {TokenCode::Greater, "bgt", "bhi"}, {TokenCode::GreaterEqual, "bge", "bcc"},
  };
  ArithFixture fixture;
  fixture.run("P", [&](Compilation& c, ExprPtr&) {
    for (const BranchCase& b : cases) {
      EXPECT_EQ(branchFor(c, b.op, false), b.signedBranch);
      EXPECT_EQ(branchFor(c, b.op, true), b.unsignedBranch);
    }
  });
  EXPECT_EQ(
      fixture.run("P", [](Compilation& c, ExprPtr&) { (void)branchFor(c, TokenCode::In, false); }),
      "error 924");
}

}  // namespace
}  // namespace vorax::testing
