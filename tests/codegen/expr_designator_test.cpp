// Variable designators: base leaves by identifier kind, selectors, offset trees,
// constant-term extraction, range checks, type casts and the address operator.
#include <gtest/gtest.h>

#include "expr_fixture.h"

namespace vorax::testing {
namespace {

struct DesignatorCase {
  const char* declarations;
  const char* source;
  const char* designator;
};

void PrintTo(const DesignatorCase& c, std::ostream* os) { *os << c.source; }

class DesignatorTest : public ::testing::TestWithParam<DesignatorCase> {};

TEST_P(DesignatorTest, BuildsTheChain) {
  ExprFixture fixture;
  EXPECT_EQ(fixture.parseDesignator(GetParam().source, GetParam().declarations),
            GetParam().designator);
}

constexpr const char* kArrays =
    "CONST LOW = 'A'; HIGH = 'Z';\nTYPE LETTER = LOW..HIGH;\n"
    "VAR A: ARRAY[1..10] OF INTEGER;\n"         // -24
    "M: ARRAY[1..3, 1..3] OF BYTE;\n"           // -34 (9 bytes, on an even offset)
    "N: ARRAY[1..3] OF ARRAY[1..3] OF BYTE;\n"  // -46: elements padded to 4
    "T: ARRAY[LETTER] OF BYTE;\n"               // -72
    "U: ARRAY[COLOUR] OF INTEGER;\n"            // -78
    "ST: STRING[20];";                          // -100

// Offsets are summed into the last leaf: frame offset + (index - low) * element size.
INSTANTIATE_TEST_SUITE_P(
    Indexes, DesignatorTest,
    ::testing::Values(
        DesignatorCase{kArrays, "A", "1:A{-24:INTEGER}=kind11"},
        DesignatorCase{kArrays, "A[3]", "1:A{-20:LONGINT}=INTEGER"},
        DesignatorCase{kArrays, "A[I]", "1:A{(- (* I 2:BYTE):LONGINT 26:BYTE):LONGINT}=INTEGER"},
        // The constant term of the index moves into the constant offset.
        DesignatorCase{kArrays, "A[I + 4]",
                       "1:A{(- (* I 2:BYTE):LONGINT 18:BYTE):LONGINT}=INTEGER"},
        DesignatorCase{kArrays, "A[4 + I]",
                       "1:A{(- (* I 2:BYTE):LONGINT 18:BYTE):LONGINT}=INTEGER"},
        // Elements of the inner array of ARRAY[a, b] are not padded.
        DesignatorCase{kArrays, "M[2, 3]", "1:M{-29:LONGINT}=BYTE"},
        DesignatorCase{kArrays, "M[3][3]", "1:M{-26:LONGINT}=BYTE"},
        DesignatorCase{kArrays, "N[2, 3]", "1:N{-40:LONGINT}=BYTE"},
        DesignatorCase{kArrays, "M[B, 1]", "1:M{(- (* B 3:BYTE):LONGINT 37:BYTE):LONGINT}=BYTE"},
        DesignatorCase{kArrays, "T['C']", "1:T{-70:LONGINT}=BYTE"},
        DesignatorCase{kArrays, "T[C]", "1:T{(- C 137:BYTE):LONGINT}=BYTE"},
        DesignatorCase{kArrays, "U[BLUE]", "1:U{-74:LONGINT}=INTEGER"},
        DesignatorCase{kArrays, "ST[0]", "1:ST{-100:INTEGER}=CHAR"},
        DesignatorCase{kArrays, "ST[B]", "1:ST{(+ -100:INTEGER B):LONGINT}=CHAR"}));

INSTANTIATE_TEST_SUITE_P(IndexErrors, DesignatorTest,
                         ::testing::Values(DesignatorCase{kArrays, "A[11]", "error 45"},
                                           DesignatorCase{kArrays, "A[0]", "error 45"},
                                           DesignatorCase{kArrays, "ST[21]", "error 45"},
                                           DesignatorCase{kArrays, "T[1]", "error 44"},
                                           DesignatorCase{kArrays, "U[1]", "error 44"},
                                           DesignatorCase{kArrays, "A[R]", "error 44"},
                                           DesignatorCase{kArrays, "A[1, 2]", "error 1"},
                                           DesignatorCase{kArrays, "A[1", "error 9"},
                                           DesignatorCase{kArrays, "I[1]", "error 44"}));

constexpr const char* kRecords =
    "TYPE REC = RECORD C: CHAR; I: INTEGER; NEXT: ^REC END;\n"
    "VAR RE: REC;\n"   // -12
    "PR: ^REC;\n"      // -16
    "PP: POINTER;\n"   // -20
    "RS: REGISTERS;";  // -48

INSTANTIATE_TEST_SUITE_P(
    FieldsAndPointers, DesignatorTest,
    ::testing::Values(
        DesignatorCase{kRecords, "RE.I", "1:RE{-10:LONGINT}=INTEGER"},
        DesignatorCase{kRecords, "RE.C", "1:RE{-12:INTEGER}=CHAR"},
        // Following a pointer starts a new leaf of the chain.
        DesignatorCase{kRecords, "PR^", "1:PR{-16:INTEGER} > 1:PR{}=kind13"},
        DesignatorCase{kRecords, "PR^.I", "1:PR{-16:INTEGER} > 1:PR{2:BYTE}=INTEGER"},
        DesignatorCase{kRecords, "PR^.NEXT^.C", "1:PR{-16:INTEGER} > 1:PR{4:BYTE} > 1:PR{}=CHAR"},
        DesignatorCase{kRecords, "RS.R0", "1:RS{-28:LONGINT}=LONGINT"},
        DesignatorCase{kRecords, "RE.X", "error 41"}, DesignatorCase{kRecords, "I.C", "error 44"},
        DesignatorCase{kRecords, "RE^", "error 44"}, DesignatorCase{kRecords, "PP^", "error 81"}));

INSTANTIATE_TEST_SUITE_P(
    BaseLeaves, DesignatorTest,
    ::testing::Values(DesignatorCase{"CONST T: INTEGER = 5;", "T", "8:T{}=INTEGER"},
                      DesignatorCase{"CONST E: INTEGER; EXTERNAL;", "E", "8:E{}=INTEGER"},
                      DesignatorCase{"VAR X: BYTE ABSOLUTE $100;", "X", "9:X{}=BYTE"},
                      DesignatorCase{"VAR X: INTEGER; EXTERNAL;", "X", "9:X{}=INTEGER"},
                      DesignatorCase{"", "IORESULT", "9:\\ram+16{}=INTEGER"},
                      DesignatorCase{"", "DOSERROR", "9:\\ram+18{}=INTEGER"},
                      DesignatorCase{"", "DATE", "9:\\date{}=STRING"},
                      DesignatorCase{"", "CON", "10:con{}=CHDEVP"},
                      DesignatorCase{"VAR D: CHDEVP;", "D", "11:d{-12:INTEGER}=CHDEVP"}));

INSTANTIATE_TEST_SUITE_P(
    TypeCastsAndAddresses, DesignatorTest,
    ::testing::Values(
        DesignatorCase{"", "BYTE(C)", "12:dummy{}=BYTE"},
        DesignatorCase{"", "INTEGER(L)", "12:dummy{}=INTEGER"},
        DesignatorCase{"", "COLOUR(2)", "12:dummy{}=COLOUR"},
        DesignatorCase{"", "COLOUR(3)", "error 45"}, DesignatorCase{"", "WORD(I)", "error 44"},
        DesignatorCase{"", "LONGINT(I)", "error 44"}, DesignatorCase{"", "CHAR(W)", "error 44"},
        DesignatorCase{"", "BYTE C", "error 4"}, DesignatorCase{"", "BYTE(C", "error 5"},
        DesignatorCase{"TYPE PI2 = ^INTEGER;", "PI2(L)", "12:dummy{}=^INTEGER"},
        DesignatorCase{"TYPE PI2 = ^INTEGER; PC = ^CHAR; VAR QC: PC;", "PI2(QC)", "error 44"},
        DesignatorCase{"TYPE AI = ARRAY[1..4] OF INTEGER; PA = ^AI; VAR QI: ^INTEGER;", "PA(QI)",
                       "12:dummy{}=^kind11"},
        DesignatorCase{"", "@I", "&1:I{-12:INTEGER}=^INTEGER"},
        DesignatorCase{"CONST T: INTEGER = 5;", "@T", "&8:T{}=^INTEGER"},
        DesignatorCase{"VAR X: BYTE ABSOLUTE $100;", "@X", "&8:X{}=^BYTE"},
        DesignatorCase{"", "@ABS", "&8:ABS{}=^none"}, DesignatorCase{"", "@RED", "error 44"},
        DesignatorCase{"", "@CON", "error 44"}, DesignatorCase{"", "@NOWHERE", "error 41"}));

TEST(DesignatorTest, MainVariablesWithAStackAreAddressedByName) {
  ExprFixture fixture;
  fixture.withStack = true;
  EXPECT_EQ(fixture.parseDesignator("A[2]", "VAR A: ARRAY[1..3] OF INTEGER;"),
            "1:A{2:BYTE}=INTEGER");
}

}  // namespace
}  // namespace vorax::testing
