// Bases of designators that depend on the setting (main program variables by name), WITH
// registers reloaded after calls, offsetOperand, and the errors of variable access.
#include <gtest/gtest.h>

#include "access_fixture.h"
#include "codegen/codegen.h"
#include "codegen/expr_tree.h"

namespace vorax::testing {
namespace {

constexpr const char* kDeclarations =
    "TYPE REC = RECORD C: CHAR; I: INTEGER END;\n"
    "VAR I: INTEGER;\n"              // -6
    "A: ARRAY[1..10] OF INTEGER;\n"  // -26
    "RE: REC;\n";                    // -30

struct StackCase {
  const char* expression;
  bool addressWanted;
  const char* result;
};

void PrintTo(const StackCase& c, std::ostream* os) { *os << c.expression; }

class StackSettingTest : public ::testing::TestWithParam<StackCase> {};

// With the stack address known, main program variables have equates of their own names.
TEST_P(StackSettingTest, AddressesMainVariablesByName) {
  AccessFixture fixture;
  fixture.withStack = true;
  const StackCase& param = GetParam();
  const auto lines =
      fixture.run(kDeclarations, {param.expression}, [&](Compilation& c, ExprPtr& t) {
        t->addressWanted = param.addressWanted;
        fixture.results.push_back(generateVariable(c, t));
      });
  EXPECT_EQ(joined(fixture.results) + " | " + joined(lines), param.result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StackSettingTest,
    ::testing::Values(StackCase{"I", false, "I | "}, StackCase{"I", true, "#I | "},
                      StackCase{"A[3]", false, "A+4 | "}, StackCase{"RE.I", false, "RE+2 | "},
                      StackCase{"RE.I", true, "#RE+2 | "},
                      StackCase{"A[I]", false,
                                "@(A-2,r0) | mov.w I,r0 / mov.w #2,r1 / mulxs.w r1,r0"}));

// A field named inside WITH: the record address lives in a register that a call destroys,
// so it is reloaded from its frame slot unless the window shows it loaded since the last
// call or join label.
TEST(WithRegisterTest, ReloadsAfterACallOrLabel) {
  AccessFixture fixture;
  const auto field = [](Compilation& c) {
    ExprPtr leaf = newExprNode();
    leaf->location = LocationKind::FixedAddress;
    leaf->text = "r3";
    leaf->type = c.symbols.types().integerType;
    leaf->offsetTree = makeIntegerConstant(c, 2);
    return leaf;
  };
  const auto lines = fixture.run(kDeclarations, {"0"}, [&](Compilation& c, ExprPtr&) {
    c.registers.pushWithRegister("r3", -40);
    c.registers.lockRegister("r3");
    for (const char* between : {"", "", "bsr", "", "$5"}) {
      if (std::string_view(between) == "bsr") {
        c.emitter.emitInstruction("bsr", "\\write", "");
      } else if (*between != '\0') {
        c.emitter.defineLabel(true, between);
      }
      ExprPtr leaf = field(c);
      fixture.results.push_back(generateVariable(c, leaf));
    }
  });
  EXPECT_EQ(joined(fixture.results), "@(2,r3) / @(2,r3) / @(2,r3) / @(2,r3) / @(2,r3)");
  EXPECT_EQ(joined(lines),
            "mov.l @(-40,fp),r3 / bsr \\write / mov.l @(-40,fp),r3 / $5: mov.l @(-40,fp),r3");
}

// A truth value computed into a register by a standard function, read as a value.
TEST(ConditionLeafTest, IsReadFromTheRegisterItNames) {
  for (const char* reg : {"r2", ""}) {
    AccessFixture fixture;
    fixture.run(kDeclarations, {"0"}, [&](Compilation& c, ExprPtr&) {
      ExprPtr leaf = newExprNode();
      leaf->location = LocationKind::Condition;
      leaf->text = reg;
      leaf->type = c.symbols.types().booleanType;
      fixture.results.push_back(generateValue(c, leaf, c.symbols.types().booleanType));
      fixture.results.push_back(c.registers.isRegisterInUse(fixture.results.back()) ? "held"
                                                                                    : "free");
    });
    EXPECT_EQ(joined(fixture.results), *reg != '\0' ? "r2 / held" : "r0 / held");
  }
}

struct OffsetCase {
  const char* operand;
  int n;
  const char* result;
};

TEST(OffsetOperandTest, ByteInsideAWordOrLong) {
  const OffsetCase cases[] = {
      {"X", 1, "X+1"},
      {"X+4", 1, "X+4+1"},
      {"@r2", 1, "@(1,r2)"},
      {"@(-6,fp)", 1, "@(-6+1,fp)"},
      {"@(A,r1)", 3, "@(A+3,r1)"},
      {"@(4,r0)", 2, "@(4+2,r0)"},
      {"#5", 1, "error 933"},
      {"r1", 1, "error 933"},
  };
  for (const OffsetCase& oc : cases) {
    AccessFixture fixture;
    std::string result;
    const auto lines = fixture.run(kDeclarations, {"0"}, [&](Compilation& c, ExprPtr&) {
      result = offsetOperand(c, oc.operand, oc.n);
    });
    EXPECT_EQ(lines.size() == 1 && lines[0].starts_with("error") ? lines[0] : result, oc.result)
        << oc.operand;
  }
}

TEST(AccessErrorTest, ReportsTheErrorNumber) {
  // A constant where a variable is wanted; a value whose type no load handles.
  AccessFixture fixture;
  EXPECT_EQ(joined(fixture.run(kDeclarations, {"5"},
                               [&](Compilation& c, ExprPtr& t) { (void)generateVariable(c, t); })),
            "error 32");
  EXPECT_EQ(joined(fixture.run(kDeclarations, {"I"},
                               [&](Compilation& c, ExprPtr& t) {
                                 t->oneByteResult = true;
                                 (void)generateValue(c, t, t->type);
                               })),
            "error 901");
  EXPECT_EQ(
      joined(fixture.run("TYPE S4 = STRING[4];\nVAR T: TEXT; S: S4;\n", {"T"},
                         [&](Compilation& c, ExprPtr& t) { (void)generateValue(c, t, t->type); })),
      "error 99");
}

}  // namespace
}  // namespace vorax::testing
