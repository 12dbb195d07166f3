// BOOLEAN values in registers, and the call test that orders the evaluation of operands.
#include <gtest/gtest.h>

#include "arith_fixture.h"
#include "codegen/codegen.h"
#include "driver/compilation.h"

namespace vorax::testing {
namespace {

struct BooleanCase {
  const char* expression;
  const char* expected;
};

void PrintTo(const BooleanCase& c, std::ostream* os) { *os << c.expression; }

class BooleanValueTest : public ::testing::TestWithParam<BooleanCase> {};

TEST_P(BooleanValueTest, LeavesTheValueInARegister) {
  ArithFixture fixture;
  EXPECT_EQ(fixture.value(GetParam().expression, "BOOLEAN"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BooleanValueTest,
    ::testing::Values(
        BooleanCase{"NOT P", "mov.b @(-21,fp),r0 / bnot #0,r0 => r0"},
        BooleanCase{"P AND Q", "mov.b @(-21,fp),r0 / mov.b @(-22,fp),r1 / and.b r1,r0 => r0"},
        BooleanCase{"P = Q",
                    "mov.b @(-21,fp),r0 / mov.b @(-22,fp),r1 / xor.b r1,r0 / bnot #0,r0 => r0"},
        BooleanCase{"P <> Q", "mov.b @(-21,fp),r0 / mov.b @(-22,fp),r1 / xor.b r1,r0 => r0"},
        // No call inside: the value is kept in a register the condition does not touch.
        BooleanCase{"I < J",
                    "xor.w r2,r2 / mov.w @(-6,fp),r0 / mov.w @(-8,fp),r1 / cmp.w r1,r0 / bge $3 / "
                    "inc.w #1,r2 => r2"},
        // An ordering of two BOOLEANs goes through the branches as well.
        BooleanCase{"P < Q",
                    "xor.w r2,r2 / mov.b @(-21,fp),r0 / mov.b @(-22,fp),r1 / cmp.b r1,r0 / bcc $3 "
                    "/ inc.w #1,r2 => r2"},
        // The left operand r0 is held while the right one is computed: r3 carries it.
        BooleanCase{"P OR (I < J)",
                    "mov.b @(-21,fp),r0 / xor.w r3,r3 / mov.w @(-6,fp),r1 / mov.w @(-8,fp),r2 / "
                    "cmp.w r2,r1 / bge $3 / inc.w #1,r3 / $3: or.b r3,r0 => r0"},
        // The true label stays on a "nop" where "mov.w #1" was.
        BooleanCase{"(I < J) OR (J < 5)",
                    "xor.w r2,r2 / mov.w @(-6,fp),r0 / mov.w @(-8,fp),r1 / cmp.w r1,r0 / blt $2 / "
                    "cmp.w #5,r1 / bge $3 / $2: nop / inc.w #1,r2 => r2"},
        // A call in between: the value stays on the stack.
        BooleanCase{"(I DIV 3) < J",
                    "xor.w r0,r0 / mov.w r0,@-sp / mov.w @(-6,fp),r0 / exts.l r0 / mov.l r0,@-sp / "
                    "mov.l #3,r0 / mov.l r0,@-sp / bsr \\div / mov.w @(-8,fp),r1 / cmp.w r1,r0 / "
                    "bge $3 / mov.w #1,r0 / mov.w r0,@sp / $3: mov.w @sp+,r0 => r0"}));

// A register that holds a value of the enclosing code is never taken as the carrier.
TEST(BooleanValue, CarrierAvoidsLockedRegisters) {
  ArithFixture fixture;
  std::string operand;
  const std::string lines = fixture.run("I < J", [&](Compilation& c, ExprPtr& tree) {
    for (const char* held : {"r2", "r3"}) {
      c.registers.markRegisterInUse(held);
      c.registers.lockRegister(held);
    }
    operand = generateValue(c, tree, c.symbols.types().booleanType);
  });
  EXPECT_EQ(lines,
            "xor.w r4,r4 / mov.w @(-6,fp),r0 / mov.w @(-8,fp),r1 / cmp.w r1,r0 / bge $3 / inc.w "
            "#1,r4");
  EXPECT_EQ(operand, "r4");
}

struct CallCase {
  const char* expression;
  bool calls;
};

TEST(MayCall, CallsOnlyWhereARoutineIsCalled) {
  const CallCase cases[] = {
      {"I + J", false},         {"I * J", false},   {"L * I", true},   {"W * J", true},
      {"W * W", false},         {"I DIV 2", true},  {"I MOD 2", true}, {"I + (J DIV 3)", true},
      {"P AND (I < J)", false}, {"R < 1.0", true},  {"S = 'A'", true}, {"A[I DIV 3]", true},
      {"A[I + 1]", false},      {"I SHL J", false},
  };
  for (const CallCase& c : cases) {
    ArithFixture fixture;
    bool result = !c.calls;
    fixture.run(
        c.expression, [&](Compilation&, ExprPtr& tree) { result = mayCall(*tree); },
        "VAR A: ARRAY[1..10] OF INTEGER;");
    EXPECT_EQ(result, c.calls) << c.expression;
  }
}

}  // namespace
}  // namespace vorax::testing
