// Operand texts of designators: bases, chains, constant and computed offsets, addresses,
// remembered address computations, and offsetOperand.
#include <gtest/gtest.h>

#include "access_fixture.h"
#include "codegen/codegen.h"

namespace vorax::testing {
namespace {

constexpr const char* kDeclarations =
    "TYPE REC = RECORD C: CHAR; I: INTEGER; NEXT: ^REC END;\n"
    "VAR I: INTEGER;\n"              // -6
    "B: BYTE;\n"                     // -7
    "L: LONGINT;\n"                  // -12
    "PR: ^REC;\n"                    // -16
    "A: ARRAY[1..10] OF INTEGER;\n"  // -36
    "RE: REC;\n"                     // -44
    "X: INTEGER ABSOLUTE $A000;\n"   // the symbol X
    "XA: ARRAY[1..10] OF INTEGER ABSOLUTE $B000;\n"
    "CB: ARRAY[0..3] OF BYTE ABSOLUTE $C000;\n"
    "E: INTEGER; EXTERNAL;\n";

struct OperandCase {
  const char* expression;
  bool addressWanted;
  const char* result;  // the operand text, then " | " and the lines emitted
};

void PrintTo(const OperandCase& c, std::ostream* os) { *os << c.expression; }

class OperandTest : public ::testing::TestWithParam<OperandCase> {};

TEST_P(OperandTest, BuildsTheOperand) {
  AccessFixture fixture;
  const OperandCase& param = GetParam();
  const auto lines =
      fixture.run(kDeclarations, {param.expression}, [&](Compilation& c, ExprPtr& t) {
        t->addressWanted = param.addressWanted;
        fixture.results.push_back(generateVariable(c, t));
      });
  ASSERT_EQ(fixture.results.size(), 1U) << joined(lines);
  EXPECT_EQ(fixture.results[0] + " | " + joined(lines), param.result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OperandTest,
    ::testing::Values(
        OperandCase{"I", false, "@(-6,fp) | "}, OperandCase{"I", true, "r0 | lea @(-6,fp),r0"},
        OperandCase{"X", false, "X | "}, OperandCase{"X", true, "#X | "},
        OperandCase{"E", false, "E | "}, OperandCase{"A[3]", false, "@(-32,fp) | "},
        OperandCase{"RE.I", false, "@(-42,fp) | "}, OperandCase{"XA[3]", false, "XA+4 | "},
        OperandCase{"XA[1]", false, "XA | "}, OperandCase{"XA[1]", true, "#XA | "},
        OperandCase{"PR^", false, "@r0 | mov.l @(-16,fp),r0"},
        OperandCase{"PR^.I", false, "@(2,r0) | mov.l @(-16,fp),r0"},
        OperandCase{"PR^.I", true, "r1 | mov.l @(-16,fp),r0 / lea @(2,r0),r1"},
        OperandCase{"PR^", true, "r0 | mov.l @(-16,fp),r0"},
        OperandCase{"PR^.NEXT^.C", false, "@r1 | mov.l @(-16,fp),r0 / mov.l @(4,r0),r1"},
        // A fixed-address array indexed by a byte: the index joins the symbol.
        OperandCase{"CB[B]", false, "@(CB,r0) | mov.b @(-7,fp),r0 / and.l #255,r0"},
        OperandCase{"CB[B + 2]", false, "@(CB+2,r0) | mov.b @(-7,fp),r0 / and.l #255,r0"}));

}  // namespace
}  // namespace vorax::testing
