// The data of typed constants, as it stands in the output after the emit pipeline has
// merged consecutive data lines.
#include <gtest/gtest.h>

#include "decl_test_support.h"

namespace vorax::testing {
namespace {

struct DataCase {
  const char* name;
  std::string declarations;
  std::vector<std::string> expected;
};

void PrintTo(const DataCase& c, std::ostream* os) { *os << c.name; }

class TypedConstantTest : public ::testing::TestWithParam<DataCase> {};

TEST_P(TypedConstantTest, EmitsTheData) {
  const DataCase& c = GetParam();
  const std::vector<std::string> lines =
      compileLines("{$M $8000,$FF00}\nPROGRAM P;\n{$C-}" + c.declarations + "\nBEGIN\nEND.\n");
  EXPECT_TRUE(containsSequence(lines, c.expected));
}

const std::string k40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";

// Every single byte is followed by the pad byte that the next label (the program's entry
// at the latest) needs.
INSTANTIATE_TEST_SUITE_P(
    Scalars, TypedConstantTest,
    ::testing::Values(
        // Three bytes leave the data odd: the next label gets a pad byte first.
        DataCase{"ByteArrayThenWord",
                 "CONST T: ARRAY[1..3] OF BYTE = (1, 2, 3);\nW: INTEGER = 300;",
                 {"\\T:\tdb\t  1,  2,  3,  0", "\\W:\tdw\th'012c"}},
        DataCase{"NegativeInteger", "CONST W: INTEGER = -2;", {"\\W:\tdw\th'fffe"}},
        DataCase{"CharAndBoolean",
                 "CONST C: CHAR = 'A'; F: BOOLEAN = TRUE; G: BOOLEAN = FALSE;",
                 {"\\C:\tdb\t 65,  0", "\\F:\tdb\t  1,  0", "\\G:\tdb\t  0,  0"}},
        DataCase{"LongInt", "CONST L: LONGINT = 100000;", {"\\L:\tdl\th'000186a0"}},
        // An INTEGER takes what a 16-bit word holds either way round, as in an assignment;
        // a BYTE keeps the low byte of any value, as a BYTE assignment does.
        DataCase{"IntegerLimits",
                 "CONST A: INTEGER = -32768; B: INTEGER = 65535; C: INTEGER = $FFFF;",
                 {"\\A:\tdw\th'8000", "\\B:\tdw\th'ffff", "\\C:\tdw\th'ffff"}},
        DataCase{"ByteKeepsTheLowByte",
                 "CONST A: BYTE = 300; B: BYTE = -1;",
                 {"\\A:\tdb\t 44,  0", "\\B:\tdb\t255,  0"}},
        DataCase{
            "Enumeration", "TYPE E = (RED, GREEN);\nCONST X: E = GREEN;", {"\\X:\tdb\t  1,  0"}},
        DataCase{"Real", "CONST R: REAL = PI;", {"\\R:\tdb\t130, 73, 15,218,162, 33"}},
        DataCase{"RealFromInteger", "CONST R: REAL = 1;", {"\\R:\tdb\t129,  0,  0,  0,  0,  0"}},
        DataCase{
            "ConstantExpression", "CONST K = 10;\nW: INTEGER = K * 3 + 2;", {"\\W:\tdw\th'0020"}},
        // A word after an odd number of bytes is aligned with a pad byte.
        DataCase{"ByteThenWordInsideArray",
                 "CONST A: ARRAY[0..1] OF CHAR = ('A', 'B');\nI: INTEGER = 1;",
                 {"\\A:\tdb\t 65, 66", "\\I:\tdw\th'0001"}}));

INSTANTIATE_TEST_SUITE_P(
    Strings, TypedConstantTest,
    ::testing::Values(
        // 6 bytes: the parity is unchanged, so the word after needs no pad.
        DataCase{"FilledWithBlanks",
                 "CONST S: STRING[5] = 'AB';\nW: INTEGER = 1;",
                 {"\\S:\tdb\t  5,'AB   '", "\\W:\tdw\th'0001"}},
        DataCase{"EvenLengthTogglesParity",
                 "CONST S: STRING[4] = 'AB';\nW: INTEGER = 1;",
                 {"\\S:\tdb\t  4,'AB  '", "\tdb\t  0", "\\W:\tdw\th'0001"}},
        DataCase{"CutToTheMaximum", "CONST S: STRING[3] = 'ABCDE';", {"\\S:\tdb\t  3,'ABC'"}},
        DataCase{"CharacterIsAString", "CONST S: STRING[1] = 'X';", {"\\S:\tdb\t  1,'X'"}},
        DataCase{"FortyCharactersInTwoChunks",
                 "CONST S: STRING[40] = '" + k40 + "';",
                 {"\\S:\tdb\t 40", "\tdb\t'" + k40.substr(0, 32) + "'",
                  "\tdb\t'" + k40.substr(32) + "'"}},
        DataCase{"ApostropheUsesDoubleQuotes",
                 "CONST S: STRING[4] = 'It''s';",
                 {"\\S:\tdb\t  4,\"It's\""}},
        DataCase{"BothQuotesSplit",
                 "CONST S: STRING[8] = 'It''s \"x\"';",
                 {"\\S:\tdb\t  8,\"It's \"", "\tdb\t'\"x\"'"}},
        DataCase{"UnprintableCharactersOneByOne",
                 "CONST S: STRING[2] = 'A' + CHR(7);",
                 {"\\S:\tdb\t  2, 65,  7,  0"}}));

INSTANTIATE_TEST_SUITE_P(
    Structures, TypedConstantTest,
    ::testing::Values(
        DataCase{"RecordFieldsInOrder",
                 "CONST R: RECORD C: CHAR; I: INTEGER END = (C: 'A'; I: 1);",
                 {"\\R:\tdb\t 65,  0", "\tdw\th'0001"}},
        DataCase{"NestedArrays",
                 "CONST M: ARRAY[1..2, 1..2] OF INTEGER = ((1, 2), (3, 4));",
                 {"\\M:\tdw\th'0001,h'0002,h'0003,h'0004"}},
        DataCase{"ArrayOfRecords",
                 "TYPE R = RECORD A, B: BYTE END;\nCONST T: ARRAY[1..2] OF R = ((A: 1; B: 2), (A: "
                 "3; B: 4));",
                 {"\\T:\tdb\t  1,  2,  3,  4"}},
        // The data takes the room the layout gives: a variant part is filled with zeros,
        // a field or element follows the padded size of the one before it, and the inner
        // arrays of a two-index array are packed.
        DataCase{"VariantPartFilledWithZeros",
                 "CONST V: RECORD A: BYTE; CASE B: BYTE OF 0: (X: LONGINT) END = (A: 1; B: 0);\n"
                 "W: INTEGER = 7;",
                 {"\\V:\tdb\t  1,  0,  0,  0,  0,  0", "\\W:\tdw\th'0007"}},
        DataCase{"FieldAfterAnOddInnerRecord",
                 "CONST R: RECORD Q: RECORD C: CHAR END; D: CHAR END = (Q: (C: 'A'); D: 'B');",
                 {"\\R:\tdb\t 65,  0, 66,  0"}},
        DataCase{"FieldAfterArraysOfArrays",
                 "CONST N: RECORD A: ARRAY[1..2] OF ARRAY[1..3] OF BYTE; C: CHAR END =\n"
                 "(A: ((1, 2, 3), (4, 5, 6)); C: 'C');",
                 {"\\N:\tdb\t  1,  2,  3,  0,  4,  5,  6,  0", "\tdb\t 67,  0"}},
        DataCase{"TwoIndexArrayOfBytesIsPacked",
                 "CONST M: ARRAY[1..2, 1..3] OF BYTE = ((1, 2, 3), (4, 5, 6));",
                 {"\\M:\tdb\t  1,  2,  3,  4,  5,  6"}},
        DataCase{"PointerNil", "CONST Q: POINTER = NIL;", {"\\Q:\tdl\th'00000000"}},
        DataCase{"PointerToAVariable", "VAR V: INTEGER;\nCONST Q: ^INTEGER = @V;", {"\\Q:\tdl\tV"}},
        DataCase{"PointerToATypedConstant",
                 "CONST T: INTEGER = 1; Q: ^INTEGER = @T;",
                 {"\\Q:\tdl\t\\T"}},
        // Field selectors and constant indexes after the name move the address.
        DataCase{"AddressesKeepTheirSelectors",
                 "VAR R: RECORD A, B: INTEGER END;\n"
                 "CONST T: ARRAY[0..3] OF INTEGER = (1, 2, 3, 4);\n"
                 "Q: ^INTEGER = @R.B; Q2: ^INTEGER = @T[2]; L: LONGINT = @T[1];",
                 {"\\Q:\tdl\tR+2", "\\Q2:\tdl\t\\T+4", "\\L:\tdl\t\\T+2"}},
        // DATE has no storage of its own: it is the compile-date string of the prologue.
        DataCase{"AddressOfDate", "CONST D: LONGINT = @DATE;", {"\\D:\tdl\t\\date"}},
        DataCase{"AddressAsLongInt", "CONST T: INTEGER = 1; A: LONGINT = @T;", {"\\A:\tdl\t\\T"}},
        DataCase{"ExternalTypedConstant",
                 "CONST E: INTEGER; EXTERNAL;\nA: LONGINT = @E;",
                 {"\\A:\tdl\tE"}}));

// A value its type can't hold is refused, wherever the typed constant puts it.
TEST(TypedConstantTest, ValueOutOfTheTypesRangeIsErrorFortyFive) {
  struct OutOfRange {
    const char* declaration;
    int error;
  };
  const OutOfRange cases[] = {
      {"T: INTEGER = 70000", 45},
      {"T: INTEGER = 65536", 45},
      {"T: INTEGER = -32769", 45},
      {"T: INTEGER = $7FFFFFFF", 45},
      {"T: ARRAY[1..2] OF INTEGER = (1, 100000)", 45},
      {"T: RECORD C: CHAR; I: INTEGER END = (C: 'A'; I: -40000)", 45},
      // Values of other types are type errors, as before.
      {"T: INTEGER = 1.5", 44},
      {"T: CHAR = 65", 44},
      {"T: LONGINT = 2.0", 44},
  };
  for (const OutOfRange& c : cases) {
    EXPECT_EQ(errorSite("PROGRAM P;\nCONST " + std::string(c.declaration) + ";\nBEGIN\nEND.\n")
                  .number,
              c.error)
        << c.declaration;
  }
}

TEST(TypedConstantTest, ExternalTypedConstantHasNoData) {
  const std::vector<std::string> lines =
      compileLines("{$C-}PROGRAM P;\nCONST E: INTEGER; EXTERNAL;\nBEGIN\nEND.\n");
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find("\\E"), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace vorax::testing
