// Typing and folding of expression trees, checked on the tree the parser returns.
#include <gtest/gtest.h>

#include "expr_fixture.h"

namespace vorax::testing {
namespace {

struct TreeCase {
  const char* source;
  const char* tree;
};

void PrintTo(const TreeCase& c, std::ostream* os) { *os << c.source; }

class ExprTreeTest : public ::testing::TestWithParam<TreeCase> {};

TEST_P(ExprTreeTest, ParsesToTheExpectedTree) {
  ExprFixture fixture;
  EXPECT_EQ(fixture.parse(GetParam().source), GetParam().tree);
}

// Integer literals: INTEGER for -32768..65535 (0..255 are BYTE once folded), else LONGINT.
INSTANTIATE_TEST_SUITE_P(
    LiteralTyping, ExprTreeTest,
    ::testing::Values(TreeCase{"255", "255:BYTE"}, TreeCase{"256", "256:INTEGER"},
                      TreeCase{"65535", "65535:INTEGER"}, TreeCase{"65536", "65536:LONGINT"},
                      TreeCase{"-1", "-1:INTEGER"}, TreeCase{"-32768", "-32768:INTEGER"},
                      TreeCase{"-32769", "-32769:LONGINT"}, TreeCase{"0", "0:BYTE"},
                      TreeCase{"$FFFFFFFF", "-1:INTEGER"}));

// NOT and minus are flags on their operand; pairs cancel, mixed pairs become +1 / -1.
INSTANTIATE_TEST_SUITE_P(
    UnaryFlags, ExprTreeTest,
    ::testing::Values(TreeCase{"-I", "-I"}, TreeCase{"-(-I)", "I"}, TreeCase{"NOT I", "~I"},
                      TreeCase{"NOT (NOT I)", "I"}, TreeCase{"-(NOT I)", "(+ I 1:BYTE):INTEGER"},
                      TreeCase{"NOT (-I)", "(- I 1:BYTE):INTEGER"}, TreeCase{"-(-(-L))", "-L"},
                      TreeCase{"NOT 0", "-1:INTEGER"}, TreeCase{"-(5)", "-5:INTEGER"},
                      TreeCase{"NOT TRUE", "FALSE"}, TreeCase{"-R", "-R"},
                      TreeCase{"-(-2.5)", "2.5"}, TreeCase{"+I", "I"}));

// NOT over a BOOLEAN operator is pushed down into its operands.
INSTANTIATE_TEST_SUITE_P(
    PushNotDown, ExprTreeTest,
    ::testing::Values(
        TreeCase{"NOT (I < J)", "(>= I J):BOOLEAN"}, TreeCase{"NOT (I >= J)", "(< I J):BOOLEAN"},
        TreeCase{"NOT (I <= J)", "(> I J):BOOLEAN"}, TreeCase{"NOT (I > J)", "(<= I J):BOOLEAN"},
        TreeCase{"NOT (I = J)", "(<> I J):BOOLEAN"}, TreeCase{"NOT (I <> J)", "(= I J):BOOLEAN"},
        TreeCase{"NOT (P XOR Q)", "(= P Q):BOOLEAN"},
        TreeCase{"NOT (P OR Q)", "(AND ~P ~Q):BOOLEAN"},
        TreeCase{"NOT (P AND (I < 3))", "(OR ~P (>= I 3:BYTE):BOOLEAN):BOOLEAN"},
        TreeCase{"NOT (B IN [1, 2])", "~(IN B [1..2]:BYTE):BOOLEAN"},
        TreeCase{"NOT (I AND J)", "~(AND I J):INTEGER"}));

// Operator result types.
INSTANTIATE_TEST_SUITE_P(
    ResultTypes, ExprTreeTest,
    ::testing::Values(TreeCase{"I * J", "(* I J):LONGINT"}, TreeCase{"B * B", "(* B B):INTEGER"},
                      TreeCase{"B + B", "(+ B B):BYTE"}, TreeCase{"B + I", "(+ B I):INTEGER"},
                      TreeCase{"I + L", "(+ I L):LONGINT"}, TreeCase{"L + R", "(+ L R):REAL"},
                      TreeCase{"I / J", "(/ I J):REAL"}, TreeCase{"B DIV I", "(DIV B I):BYTE"},
                      TreeCase{"I MOD L", "(MOD I L):LONGINT"},
                      TreeCase{"W + I", "(+ W I):INTEGER"}, TreeCase{"C + C", "(+ C C):STRING"},
                      TreeCase{"S + C", "(+ S C):STRING"},
                      TreeCase{"(I * J) SHL 2", "(SHL (* I J):LONGINT 2:BYTE):LONGINT"},
                      TreeCase{"I SHL 2", "(SHL I 2:BYTE):INTEGER"},
                      TreeCase{"P AND Q", "(AND P Q):BOOLEAN"},
                      TreeCase{"B AND B", "(AND B B):BYTE"}, TreeCase{"'A' + 'B'", "'AB'"},
                      TreeCase{"'AB' + 'CD'", "'ABCD'"}));

// Operand types an operator does not take.
INSTANTIATE_TEST_SUITE_P(
    TypeErrors, ExprTreeTest,
    ::testing::Values(TreeCase{"C - C", "error 44"}, TreeCase{"'A' - 'B'", "error 44"},
                      TreeCase{"NOT W", "error 44"}, TreeCase{"NOT C", "error 44"},
                      TreeCase{"-C", "error 44"}, TreeCase{"-P", "error 44"},
                      TreeCase{"R DIV 2", "error 44"}, TreeCase{"R AND I", "error 44"},
                      TreeCase{"P + Q", "error 44"}, TreeCase{"P AND I", "error 44"},
                      TreeCase{"I = P", "error 44"}, TreeCase{"R = L", "error 44"},
                      TreeCase{"C < S", "error 44"}, TreeCase{"F + 1", "error 44"},
                      TreeCase{"F = 1", "error 44"}, TreeCase{"C IN [1]", "error 44"},
                      TreeCase{"I IN ['A']", "error 44"}, TreeCase{"I IN B", "error 44"},
                      TreeCase{"- NOT I", "error 41"}, TreeCase{"NOT NOT I", "error 41"}));

// Comparisons that are allowed, and how they fold.
INSTANTIATE_TEST_SUITE_P(
    Comparisons, ExprTreeTest,
    ::testing::Values(TreeCase{"C = S", "(= C S):BOOLEAN"},
                      TreeCase{"F < BLUE", "(< F 2:COLOUR):BOOLEAN"},
                      TreeCase{"R < I", "(< R I):BOOLEAN"}, TreeCase{"3 < 4", "TRUE"},
                      TreeCase{"-3 < -4", "FALSE"}, TreeCase{"'A' < 'B'", "TRUE"},
                      TreeCase{"'AB' = 'AB'", "TRUE"}, TreeCase{"'AB' < 'ABC'", "TRUE"},
                      TreeCase{"1.5 > 1", "TRUE"}, TreeCase{"NIL = NIL", "TRUE"},
                      TreeCase{"B IN []", "FALSE"}, TreeCase{"3 IN [1..5]", "TRUE"},
                      TreeCase{"'C' IN ['A'..'B']", "FALSE"},
                      TreeCase{"C IN ['A', 'Z']", "(IN C [65,90]:CHAR):BOOLEAN"}));

// Set constructors.
INSTANTIATE_TEST_SUITE_P(
    SetConstructors, ExprTreeTest,
    ::testing::Values(TreeCase{"B IN [1..1]", "error 45"}, TreeCase{"B IN [300]", "error 45"},
                      TreeCase{"B IN [5..3]", "error 45"}, TreeCase{"B IN [-1]", "error 45"},
                      TreeCase{"B IN [TRUE]", "error 22"}, TreeCase{"B IN [I]", "error 22"},
                      TreeCase{"B IN [1, 'A']", "error 44"},
                      TreeCase{"B IN [0, 255, 7..9]", "(IN B [0,7..9,255]:BYTE):BOOLEAN"},
                      TreeCase{"B IN [1, 2", "error 9"}));

// Boolean truth tables with one constant operand, and identical operands.
INSTANTIATE_TEST_SUITE_P(
    BooleanFolding, ExprTreeTest,
    ::testing::Values(
        TreeCase{"P AND FALSE", "FALSE"}, TreeCase{"P AND TRUE", "P"}, TreeCase{"TRUE AND P", "P"},
        TreeCase{"P OR TRUE", "TRUE"}, TreeCase{"P OR FALSE", "P"}, TreeCase{"P = TRUE", "P"},
        TreeCase{"P = FALSE", "~P"}, TreeCase{"P <> FALSE", "P"}, TreeCase{"P <> TRUE", "~P"},
        TreeCase{"P XOR TRUE", "~P"}, TreeCase{"P >= TRUE", "P"}, TreeCase{"FALSE >= P", "~P"},
        TreeCase{"TRUE >= P", "TRUE"}, TreeCase{"P > FALSE", "P"}, TreeCase{"TRUE > P", "~P"},
        TreeCase{"FALSE > P", "FALSE"}, TreeCase{"P < TRUE", "~P"}, TreeCase{"FALSE < P", "P"},
        TreeCase{"P <= FALSE", "~P"}, TreeCase{"TRUE <= P", "P"}, TreeCase{"P AND P", "P"},
        TreeCase{"P OR P", "P"}, TreeCase{"P AND NOT P", "FALSE"}, TreeCase{"NOT P OR P", "TRUE"},
        TreeCase{"P AND Q", "(AND P Q):BOOLEAN"},
        TreeCase{"(I < 3) AND TRUE", "(< I 3:BYTE):BOOLEAN"},
        TreeCase{"NOT ((I < 3) AND FALSE)", "TRUE"}, TreeCase{"TRUE = FALSE", "FALSE"},
        TreeCase{"FALSE < TRUE", "TRUE"}));

// Integer arithmetic on constants: 32-bit wraparound, truncating division.
INSTANTIATE_TEST_SUITE_P(
    IntegerFolding, ExprTreeTest,
    ::testing::Values(TreeCase{"200 + 100", "300:INTEGER"}, TreeCase{"2 * 3", "6:LONGINT"},
                      TreeCase{"7 DIV 2", "3:BYTE"}, TreeCase{"-7 DIV 2", "-3:INTEGER"},
                      TreeCase{"-7 MOD 2", "-1:INTEGER"}, TreeCase{"7 MOD -1", "0:BYTE"},
                      TreeCase{"I MOD 1", "0:BYTE"}, TreeCase{"I MOD -1", "0:BYTE"},
                      TreeCase{"I DIV 0", "error 54"}, TreeCase{"I MOD 0", "error 54"},
                      TreeCase{"R / 0", "error 54"}, TreeCase{"5 DIV 0", "error 54"},
                      TreeCase{"I / 0.0", "error 54"},
                      TreeCase{"$7FFFFFFF + 1", "-2147483648:LONGINT"},
                      TreeCase{"$80000000 DIV -1", "-2147483648:LONGINT"},
                      TreeCase{"65536 * 65536", "0:LONGINT"}, TreeCase{"1 SHL 4", "16:BYTE"},
                      TreeCase{"1 SHL 40", "0:BYTE"}, TreeCase{"-2 SHR 1", "32767:INTEGER"},
                      TreeCase{"$F0 AND $3C", "48:BYTE"},
                      TreeCase{"5 XOR 3", "(XOR 5:BYTE 3:BYTE):INTEGER"}, TreeCase{"3 / 2", "1.5"},
                      TreeCase{"1.5 * 2", "3"}));

// One constant operand: units vanish, nested constants merge.
INSTANTIATE_TEST_SUITE_P(
    Simplification, ExprTreeTest,
    ::testing::Values(TreeCase{"I * 1", "I"}, TreeCase{"1 * I", "I"}, TreeCase{"I * -1", "-I"},
                      TreeCase{"I DIV 1", "I"}, TreeCase{"I DIV -1", "-I"}, TreeCase{"R / 1", "R"},
                      TreeCase{"I / 1", "(/ I 1:BYTE):REAL"},
                      TreeCase{"I + 1 + 2", "(+ I 3:BYTE):INTEGER"},
                      TreeCase{"I - 1 + 3", "(+ I 2:BYTE):INTEGER"},
                      TreeCase{"I + 1 - 3", "(- I 2:BYTE):INTEGER"}, TreeCase{"1 + I - 1", "I"},
                      TreeCase{"L * 2 * 3", "(* L 6:BYTE):LONGINT"},
                      // A byte sum wraps at 8 bits: its constant must not move into the wider sum.
                      TreeCase{"(B + ORD('A')) + 1", "(+ (+ B 65:BYTE):BYTE 1:BYTE):INTEGER"},
                      TreeCase{"(B + 255) + 1", "(+ B 256:INTEGER):INTEGER"},
                      TreeCase{"-(I + 1)", "-(+ I 1:BYTE):INTEGER"}));

// Standard functions of constant arguments are computed while parsing.
INSTANTIATE_TEST_SUITE_P(
    StandardFunctions, ExprTreeTest,
    ::testing::Values(TreeCase{"ABS(-5)", "5:BYTE"}, TreeCase{"ABS(-2.5)", "2.5"},
                      TreeCase{"ABS('A')", "error 44"}, TreeCase{"CHR(65)", "#65"},
                      TreeCase{"UPCASE('a')", "#65"}, TreeCase{"UPCASE('1')", "#49"},
                      TreeCase{"LENGTH('abc')", "3:BYTE"}, TreeCase{"LENGTH('a')", "1:BYTE"},
                      TreeCase{"ORD('A')", "65:BYTE"}, TreeCase{"ORD(300)", "300:INTEGER"},
                      TreeCase{"ORD(TRUE)", "error 44"}, TreeCase{"TRUNC(-2.7)", "-2:INTEGER"},
                      TreeCase{"TRUNC(7)", "7:BYTE"}, TreeCase{"ODD(3)", "TRUE"},
                      TreeCase{"ODD(4)", "FALSE"}, TreeCase{"SUCC('A')", "#66"},
                      TreeCase{"PRED(GREEN)", "0:COLOUR"}, TreeCase{"SUCC(10)", "11:BYTE"},
                      TreeCase{"SQRT(16)", "4"}, TreeCase{"COS(0)", "1"}, TreeCase{"SIN(0)", "0"},
                      TreeCase{"SIZEOF(LONGINT)", "4:BYTE"},
                      TreeCase{"SIZEOF(STRING)", "256:INTEGER"}, TreeCase{"SIZEOF(I)", "error 63"},
                      TreeCase{"ABS 5", "error 4"}, TreeCase{"ABS(5, 6)", "error 1"},
                      TreeCase{"POS('A')", "error 3"}, TreeCase{"ABS(5", "error 5"},
                      TreeCase{"MAXAVAIL(1)", "error 14"}));

TEST(ExprParserTest, ASecondRelationalOperatorEndsTheExpression) {
  ExprFixture fixture;
  EXPECT_EQ(fixture.parse("I = J = P"), "(= I J):BOOLEAN");
  EXPECT_EQ(fixture.tokenAfter(), TokenCode::Equal);
}

TEST(ExprParserTest, CallsThatNeverFoldStayCalls) {
  ExprFixture fixture;
  ExprPtr tree = fixture.parseTree("POS('A', 'BAC')");
  ASSERT_TRUE(tree);
  EXPECT_EQ(tree->location, LocationKind::Call);
  EXPECT_EQ(tree->standardRoutine, 16);
  ASSERT_TRUE(tree->attached && tree->attached->next);
  EXPECT_EQ(fixture.describe(*tree->attached->next), "'BAC'");
  EXPECT_EQ(fixture.typeName(tree->attached->expectedType), "STRING");
}

}  // namespace
}  // namespace vorax::testing
