// Where variables live: the equate lines of stack, work-area, EXTERNAL and ABSOLUTE
// variables, and the sizes and offsets of types as the allocation shows them.
#include <gtest/gtest.h>

#include "decl_test_support.h"
#include "driver/compile_file.h"
#include "support/emit_fixture.h"

namespace vorax::testing {
namespace {

const std::string kWithStack = "{$M $8000,$FF00}\nPROGRAM P;\n";

struct StorageCase {
  const char* name;
  std::string declarations;           // between the heading and BEGIN
  std::vector<std::string> expected;  // consecutive lines
};

void PrintTo(const StorageCase& c, std::ostream* os) { *os << c.name; }

class ProgramStorageTest : public ::testing::TestWithParam<StorageCase> {};

TEST_P(ProgramStorageTest, WritesTheEquateLines) {
  const StorageCase& c = GetParam();
  const std::vector<std::string> lines =
      compileLines(kWithStack + "{$C-}" + c.declarations + "\nBEGIN\nEND.\n");
  EXPECT_TRUE(containsSequence(lines, c.expected));
}

// The main frame pointer lies 12 bytes below the stack top; level-1 locals start at -4.
INSTANTIATE_TEST_SUITE_P(
    Equates, ProgramStorageTest,
    ::testing::Values(
        StorageCase{"ScalarsAlignedDownwards",
                    "VAR C: CHAR; I: INTEGER; L: LONGINT;",
                    {"C\t\tequ\t\\stack-17", "I\t\tequ\t\\stack-20", "L\t\tequ\t\\stack-24"}},
        StorageCase{"BytesShareAWord",
                    "VAR B1, B2: BYTE;",
                    {"B1\t\tequ\t\\stack-17", "B2\t\tequ\t\\stack-18"}},
        StorageCase{"LongNameGetsOneTab",
                    "VAR ABCDEFG: BYTE; ABCDEFGH: BYTE;",
                    {"ABCDEFG\t\tequ\t\\stack-17", "ABCDEFGH\tequ\t\\stack-18"}},
        StorageCase{"ExternalTakesNoLineAndNoSpace",
                    "VAR X: INTEGER; EXTERNAL; Y: INTEGER;",
                    {"Y\t\tequ\t\\stack-18"}},
        StorageCase{"ExternalGroupOnItsOwnLine",
                    "VAR A: BYTE;\nX, Z: INTEGER;\nEXTERNAL;\nB: BYTE;",
                    // The words are given back, the byte of alignment before them is not.
                    {"A\t\tequ\t\\stack-17", "B\t\tequ\t\\stack-19"}},
        // An odd-sized string on an odd counter: giving back its rounded size must not
        // hand out the byte of the CHAR declared before it again.
        StorageCase{"ExternalOddSizeNeverRisesAboveItsStart",
                    "VAR C: CHAR; S: STRING[2]; EXTERNAL;\nVAR B: BYTE;",
                    {"C\t\tequ\t\\stack-17", "B\t\tequ\t\\stack-18"}},
        StorageCase{"AbsoluteConstantInDecimal",
                    "VAR PORT: BYTE ABSOLUTE $FFFFB1;",
                    {"PORT\t\tequ\t16777137"}},
        StorageCase{
            "AbsoluteWordRaisedToEven", "VAR PW: WORD ABSOLUTE $FFFFB1;", {"PW\t\tequ\t16777138"}},
        StorageCase{
            "AbsoluteSegmentAndOffset", "VAR PS: INTEGER ABSOLUTE $10:$20;", {"PS\t\tequ\t32"}},
        StorageCase{"AbsoluteGroupSharesTheAddress",
                    "VAR A, B: INTEGER ABSOLUTE $100;",
                    {"A\t\tequ\t256", "B\t\tequ\t256"}},
        StorageCase{"AbsoluteOverAVariable",
                    "VAR X: INTEGER; Y: BYTE ABSOLUTE X; Z: INTEGER;",
                    {"X\t\tequ\t\\stack-18", "Y\t\tequ\tX", "Z\t\tequ\t\\stack-20"}},
        StorageCase{"AbsoluteNextOfAVariable",
                    "VAR X: LONGINT; Y: INTEGER ABSOLUTE NEXTOF X;",
                    {"X\t\tequ\t\\stack-20", "Y\t\tequ\tX-4"}},
        StorageCase{"AbsoluteOverATypedConstant",
                    "CONST T: INTEGER = 5;\nVAR V: BYTE ABSOLUTE T;",
                    {"V\t\tequ\t\\T"}},
        StorageCase{"AbsoluteNextOfATypedConstantByte",
                    "CONST T: INTEGER = 5;\nVAR V: BYTE ABSOLUTE NEXTOF T;",
                    {"V\t\tequ\t\\T+2"}},
        StorageCase{"AbsoluteNextOfATypedConstantWord",
                    "CONST T: CHAR = 'A';\nVAR V: INTEGER ABSOLUTE NEXTOF T;",
                    {"V\t\tequ\t(\\T+1+1)/2*2"}},
        StorageCase{"AbsoluteOverAFixedVariable",
                    "VAR PORT: BYTE ABSOLUTE $FFFFB1; ALIAS: BYTE ABSOLUTE PORT;",
                    {"PORT\t\tequ\t16777137", "ALIAS\t\tequ\tPORT"}},
        StorageCase{
            "AbsoluteOverIoResult", "VAR R: INTEGER ABSOLUTE IORESULT;", {"R\t\tequ\t\\ram+16"}},
        // A program's own external IORESULT is its own symbol, not the runtime's cell.
        StorageCase{"AbsoluteOverAnExternalNamedLikeIoResult",
                    "VAR IORESULT: INTEGER; EXTERNAL;\nVAR R: INTEGER ABSOLUTE IORESULT;",
                    {"R\t\tequ\tIORESULT"}},
        // Fields and constant indexes after the base name move the place.
        StorageCase{
            "AbsoluteOverAFieldAndAnElement",
            "VAR R: RECORD A, B: INTEGER END; Y: INTEGER ABSOLUTE R.B;\n"
            "A: ARRAY[1..4] OF INTEGER; Q: INTEGER ABSOLUTE A[3];",
            {"R\t\tequ\t\\stack-20", "Y\t\tequ\tR+2", "A\t\tequ\t\\stack-28", "Q\t\tequ\tA+4"}},
        StorageCase{"AbsoluteOverATypedConstantElement",
                    "CONST T: ARRAY[0..3] OF BYTE = (1, 2, 3, 4);\nVAR U: BYTE ABSOLUTE T[2];",
                    {"U\t\tequ\t\\T+2"}}));

// Sizes and offsets of types, visible in the offsets the allocation gives.
INSTANTIATE_TEST_SUITE_P(
    TypeSizes, ProgramStorageTest,
    ::testing::Values(
        StorageCase{"ShortStringHasALengthByte",
                    "VAR Z: BYTE; S: STRING[10]; Y: BYTE;",
                    {"Z\t\tequ\t\\stack-17", "S\t\tequ\t\\stack-28", "Y\t\tequ\t\\stack-29"}},
        // The field offsets show through ABSOLUTE over the field.
        StorageCase{"RecordOfCharAndInteger",
                    "VAR R: RECORD C: CHAR; I: INTEGER END; Y: BYTE; F: INTEGER ABSOLUTE R.I;",
                    {"R\t\tequ\t\\stack-20", "Y\t\tequ\t\\stack-21", "F\t\tequ\tR+2"}},
        StorageCase{"RecordOfCharAndString",
                    "VAR R: RECORD C: CHAR; S: STRING[3] END; Y: BYTE; F: BYTE ABSOLUTE R.S;",
                    {"R\t\tequ\t\\stack-22", "Y\t\tequ\t\\stack-23", "F\t\tequ\tR+1"}},
        StorageCase{"ByteArrayHasOddSize",
                    "VAR Z: BYTE; A: ARRAY[1..3] OF BYTE; Y: BYTE;",
                    {"Z\t\tequ\t\\stack-17", "A\t\tequ\t\\stack-20", "Y\t\tequ\t\\stack-21"}},
        StorageCase{"SubrangeElementsAreWords",
                    "VAR A: ARRAY[1..3] OF 0..9; Y: BYTE;",
                    {"A\t\tequ\t\\stack-22", "Y\t\tequ\t\\stack-23"}},
        StorageCase{"TwoIndexesOfIntegers",
                    "VAR A: ARRAY[1..3, 0..1] OF INTEGER; Y: BYTE;",
                    {"A\t\tequ\t\\stack-28", "Y\t\tequ\t\\stack-29"}},
        StorageCase{"TwoIndexesOfBytes",
                    "VAR Z: BYTE; A: ARRAY[1..3, 1..3] OF BYTE; Y: BYTE;",
                    {"Z\t\tequ\t\\stack-17", "A\t\tequ\t\\stack-26", "Y\t\tequ\t\\stack-27"}},
        StorageCase{"NegatedConstantBoundKeepsTheConstant",
                    "CONST N = 5;\nVAR A: ARRAY[-N..N] OF BYTE; B: ARRAY[1..N] OF BYTE;",
                    {"A\t\tequ\t\\stack-28", "B\t\tequ\t\\stack-34"}},
        // -N+1..N is (-N)+1..N = -4..5: ten elements.
        StorageCase{"SignOfABoundBelongsToItsFirstOperand",
                    "CONST N = 5;\nVAR A: ARRAY[-N+1..N] OF BYTE; B: BYTE;",
                    {"A\t\tequ\t\\stack-26", "B\t\tequ\t\\stack-27"}},
        // A pointer type written before its target makes a placeholder that the later
        // declaration completes: both pointer types then take the address of a NODE.
        StorageCase{"PointerPlaceholderIsCompleted",
                    "TYPE P = ^NODE; NODE = RECORD V: INTEGER; NEXT: P END; Q = ^NODE;\n"
                    "VAR N: NODE; Y: BYTE;\nCONST A: P = @N; B: Q = @N;",
                    {"N\t\tequ\t\\stack-22", "Y\t\tequ\t\\stack-23", "\\A:\tdl\tN", "\\B:\tdl\tN"}},
        StorageCase{"TypeSectionsComeInAnyOrder",
                    "TYPE T = INTEGER;\nVAR A: T;\nCONST K = 2;\nVAR B: ARRAY[1..K] OF T;",
                    {"A\t\tequ\t\\stack-18", "B\t\tequ\t\\stack-22"}}));

// Below the main frame pointer lie the start-up call's return address (2 bytes on 300L,
// 4 on the others), the saved "\ram+12" and the saved frame pointer.
TEST(ProgramStorageTest, MainFrameLiesBelowTheReturnAddressOfTheCpu) {
  const std::string declarations = "{$C-}VAR C: CHAR; I: INTEGER; L: LONGINT;\nBEGIN\nEND.\n";
  EXPECT_TRUE(containsSequence(compileLines("{$CPU 300L}" + kWithStack + declarations),
                               {"C\t\tequ\t\\stack-15", "I\t\tequ\t\\stack-18",
                                "L\t\tequ\t\\stack-22"}));
  EXPECT_TRUE(containsSequence(compileLines("{$CPU 2000}" + kWithStack + declarations),
                               {"C\t\tequ\t\\stack-17", "I\t\tequ\t\\stack-20",
                                "L\t\tequ\t\\stack-24"}));
}

TEST(ProgramStorageTest, WithoutAStackValueLocalsGetNoEquates) {
  const std::vector<std::string> lines =
      compileLines("{$C-}PROGRAM P;\nVAR C: CHAR; I: INTEGER;\nBEGIN\nEND.\n");
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find("equ\t\\stack"), std::string::npos) << line;
  }
}

TEST(ProgramStorageTest, TheFrameReservesTheLocals) {
  // Locals down to -14 (rounded down to even), six temporaries: 24 + 14 - 4 bytes. The
  // optimizer would drop the reservation of an empty body, so it is off here.
  const SourceTree tree;
  const auto path = tree.write(
      "T.PAS", "{$C-}PROGRAM P;\nVAR L: LONGINT; L2: LONGINT; B: BYTE; C: BYTE;\nBEGIN\nEND.\n");
  RecordingHost host;
  compileFile(path.string(), host, pipelineOnly());
  EXPECT_TRUE(containsSequence(tree.readLines("T.asm"), {"\tmov.l\tfp,@-sp", "\tsub.l\t#34,sp"}));
}

TEST(ProgramStorageTest, EnumerationsHoldAtMost256Values) {
  std::string names;
  for (int i = 0; i < 256; ++i) {
    names += (i == 0 ? "" : i % 16 == 0 ? ",\n" : ",") + std::string("V") + std::to_string(i);
  }
  EXPECT_EQ(errorSite("PROGRAM P;\nTYPE E = (" + names + ");\nBEGIN\nEND.\n").number, 0);
  EXPECT_EQ(errorSite("PROGRAM P;\nTYPE E = (" + names + ",V256);\nBEGIN\nEND.\n").number, 45);
}

struct UnitCase {
  const char* name;
  std::string interfacePart;
  std::string implementationPart;
  std::vector<std::string> expected;
};

void PrintTo(const UnitCase& c, std::ostream* os) { *os << c.name; }

class UnitStorageTest : public ::testing::TestWithParam<UnitCase> {};

TEST_P(UnitStorageTest, WritesWorkAreaEquates) {
  const UnitCase& c = GetParam();
  const std::vector<std::string> lines =
      compileLines("{$C-}UNIT IO;\nINTERFACE\n" + c.interfacePart + "\nIMPLEMENTATION\n" +
                   c.implementationPart + "\nEND.\n");
  EXPECT_TRUE(containsSequence(lines, c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    WorkArea, UnitStorageTest,
    ::testing::Values(
        UnitCase{"InterfaceVariables",
                 "VAR A: BYTE; B: INTEGER;",
                 "",
                 {"A\t\tequ\tIO.WORK", "B\t\tequ\tIO.WORK+2"}},
        // The implementation continues the interface's area: no two variables overlap.
        UnitCase{"ImplementationContinues",
                 "VAR A: BYTE; B: LONGINT;",
                 "VAR C: BYTE;",
                 {"A\t\tequ\tIO.WORK", "B\t\tequ\tIO.WORK+2", "C\t\tequ\tIO.WORK+6"}},
        // An external unit variable takes no work-area space and leaves no line.
        UnitCase{"ExternalTakesNoSpace",
                 "VAR A: BYTE;\nX: INTEGER;\nEXTERNAL;\nB: BYTE;",
                 "",
                 {"A\t\tequ\tIO.WORK", "B\t\tequ\tIO.WORK+2"}},
        // A unit variable has its own symbol: no stack address is needed to overlay it.
        UnitCase{"AbsoluteOverAUnitVariable",
                 "VAR X: INTEGER; Y: INTEGER ABSOLUTE X;",
                 "",
                 {"X\t\tequ\tIO.WORK", "Y\t\tequ\tX"}},
        UnitCase{"EmptySections", "", "", {"\tend"}}));

TEST(UnitStorageTest, ExternalUnitVariableLeavesNoLineBehind) {
  const std::vector<std::string> lines =
      compileLines("UNIT IO;\nINTERFACE\nVAR X: INTEGER;\nEXTERNAL;\nIMPLEMENTATION\nEND.\n");
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find("IO.WORK"), std::string::npos) << line;
  }
  // The source echo around the withdrawn line stays in order.
  EXPECT_TRUE(containsSequence(lines, {"; VAR X: INTEGER;", "; EXTERNAL;"}));
}

}  // namespace
}  // namespace vorax::testing
