// FOR statements compiled from whole programs: both forms, the control variable kept in a
// register, count-down loops, the end value on the stack or in a register, the hint for
// variables that are not locals, and every error with its caret. The peephole rules are
// off, so the lines are those the statement and its own passes leave.
#include <gtest/gtest.h>

#include "for_case_support.h"

namespace vorax::testing {
namespace {

const std::string kDeclarations =
    "TYPE COLOUR = (RED, GREEN, BLUE);\n"
    "VAR I, J, N: INTEGER; B, BN: BYTE; L, LN: LONGINT; K: COLOUR; W: WORD; R: REAL;\n"
    "  C: CHAR; S: STRING[5]; A: ARRAY[1..20] OF INTEGER;";

struct FormCase {
  const char* name;
  const char* body;
  std::vector<std::string> expected;  // consecutive instruction lines
  const char* absent = nullptr;       // a mnemonic that must not occur
};

void PrintTo(const FormCase& c, std::ostream* os) { *os << c.name; }

class ForFormTest : public ::testing::TestWithParam<FormCase> {};

TEST_P(ForFormTest, EmitsTheLoop) {
  const FormCase& c = GetParam();
  const std::vector<std::string> lines = codeLines({"", kDeclarations, c.body});
  EXPECT_TRUE(hasSequence(lines, c.expected));
  if (c.absent != nullptr) {
    EXPECT_TRUE(lacksMnemonic(lines, c.absent));
  }
}

// A string assignment in the body calls a routine, which keeps the variable in memory and
// the end value on the stack.
INSTANTIATE_TEST_SUITE_P(
    Forms, ForFormTest,
    ::testing::Values(
        // Both bounds are loaded before the variable is written; an empty range skips the
        // loop.
        FormCase{"GeneralFormPushesTheEnd",
                 "FOR I := 1 TO N DO S := S",
                 {"\tmov.w\t#1,r0", "\tmov.w\t@(-10,fp),r1", "\tmov.w\tr0,@(-6,fp)",
                  "\tmov.w\tr1,@-sp", "\tcmp.w\tr1,r0", "\tbgt\t$5", "$7:\tmov.w\t#6,r0"}},
        // The round for the end value is the last: the test comes before the step, which
        // could wrap round past the type's last value.
        FormCase{"GeneralFormTestsAfterTheBody",
                 "FOR I := 1 TO N DO S := S",
                 {"\tbsr\t\\movs", "\tmov.w\t@(-6,fp),r0", "\tmov.w\t@sp,r1", "\tcmp.w\tr1,r0",
                  "\tbeq\t$5", "\tinc.w\t#1,r0", "\tmov.w\tr0,@(-6,fp)", "\tbra\t$7",
                  "$5:\tadds\t#2,sp"}},
        // A byte end value is pushed as a word and compared as a byte, without sign.
        FormCase{"ByteEndOnTheStack",
                 "FOR B := 1 TO BN DO S := S",
                 {"\tmov.b\t@(-11,fp),r0", "\tmov.w\t@sp,r1", "\tcmp.b\tr1,r0", "\tbeq\t$5",
                  "\tinc.b\t#1,r0", "\tmov.b\tr0,@(-11,fp)", "\tbra\t$7", "$5:\tadds\t#2,sp"}},
        FormCase{"ByteRangeTestedWithoutSign",
                 "FOR B := 1 TO BN DO S := S",
                 {"\tmov.w\tr1,@-sp", "\tcmp.b\tr1,r0", "\tbhi\t$5"}},
        FormCase{"LongEndOnTheStack",
                 "FOR L := 1 TO LN DO S := S",
                 {"\tmov.l\tr1,@-sp", "\tcmp.l\tr1,r0", "\tbgt\t$5"}},
        FormCase{"ConstantFormEntersTheBody",
                 "FOR I := 1 TO 10 DO S := S",
                 {"\tmov.w\t#1,r0", "\tmov.w\tr0,@(-6,fp)", "$4:\tmov.w\t#6,r0"},
                 "adds"},
        FormCase{"ConstantFormTestsAfterTheBody",
                 "FOR I := 1 TO 10 DO S := S",
                 {"\tbsr\t\\movs", "\tmov.w\t@(-6,fp),r0", "\tinc.w\t#1,r0", "\tmov.w\tr0,@(-6,fp)",
                  "\tcmp.w\t#10,r0", "\tble\t$4"}},
        FormCase{"DownToStepsDown",
                 "FOR I := 10 DOWNTO 1 DO S := S",
                 {"\tdec.w\t#1,r0", "\tmov.w\tr0,@(-6,fp)", "\tcmp.w\t#1,r0", "\tbge\t$4"}},
        // Without a call the variable lives in a free register for the whole loop.
        FormCase{"VariableInRegister",
                 "FOR I := 1 TO N DO J := J + I",
                 {"\tmov.w\t#1,r0", "\tmov.w\t@(-10,fp),r1", "\tmov.w\tr0,r2", "\tmov.w\tr1,r3",
                  "\tcmp.w\tr1,r0", "\tbgt\t$5", "$7:\tmov.w\t@(-8,fp),r0", "\tmov.w\tr2,r1",
                  "\tadd.w\tr1,r0", "\tmov.w\tr0,@(-8,fp)", "\tcmp.w\tr3,r2", "\tbeq\t$5",
                  "\tinc.w\t#1,r2", "\tbra\t$7"},
                 "adds"},
        FormCase{"ConstantLoopReadingTheVariable",
                 "FOR I := 1 TO 10 DO J := J + I",
                 {"\tmov.w\t#1,r0", "\tmov.w\tr0,r2", "$4:\tmov.w\t@(-8,fp),r0", "\tmov.w\tr2,r1",
                  "\tadd.w\tr1,r0", "\tmov.w\tr0,@(-8,fp)", "\tinc.w\t#1,r2", "\tcmp.w\t#10,r2",
                  "\tble\t$4"}},
        // A body that never reads the variable counts the rounds down to zero.
        FormCase{"CountDownLoop",
                 "FOR I := 1 TO 10 DO J := J + 1",
                 {"\tmov.w\t#10-1+1,r1", "$4:\tmov.w\t@(-8,fp),r0", "\tinc.w\t#1,r0",
                  "\tmov.w\tr0,@(-8,fp)", "\tdec.w\t#1,r1", "\tbne\t$4"},
                 "cmp.w"},
        // The count takes the start value's place: the start's load goes with it.
        FormCase{"CountDownDropsTheStartLoad",
                 "J := 0; FOR I := 1 TO 10 DO J := J + 1",
                 {"\tmov.w\tr0,@(-8,fp)", "\tmov.w\t#10-1+1,r1", "$4:\tmov.w\t@(-8,fp),r0"}},
        FormCase{"CountDownDropsTheStartLoadOfDownTo",
                 "J := 0; FOR B := 200 DOWNTO 7 DO J := J + 1",
                 {"\tmov.w\tr0,@(-8,fp)", "\tmov.b\t#200-7+1,r1", "$4:\tmov.w\t@(-8,fp),r0"}},
        // A counter the body reads only as a scaled index counts in element sizes: the
        // multiply (or the shifts of a long counter) leaves the loop.
        FormCase{"IndexCounterCountsInElementSizes",
                 "FOR I := 1 TO 10 DO A[I] := 5",
                 {"\tmov.l\t#1*2,r3", "$4:\tmov.w\t#5,r0", "\tmov.l\tr3,r1", "\tadd.l\tfp,r1",
                  "\tmov.w\tr0,@(-80,r1)", "\tadd.l\t#2,r3", "\tcmp.l\t#10*2,r3", "\tble\t$4"},
                 "mulxs.w"},
        FormCase{"LongIndexCounterDropsItsShifts",
                 "FOR L := -3 TO 10 DO A[L + 4] := 5",
                 {"\tmov.l\t#(-3)*2,r2", "\tmov.w\t#5,r1", "$4:\tmov.l\tr2,r0", "\tadd.l\tfp,r0",
                  "\tmov.w\tr1,@(-72,r0)", "\tadd.l\t#2,r2", "\tcmp.l\t#10*2,r2", "\tble\t$4"},
                 "shal.l"},
        // The counter read as a value too: it keeps counting in ones.
        FormCase{"CounterReadAsAValueKeepsItsScaling",
                 "FOR I := 1 TO 10 DO A[I] := I",
                 {"\tmov.w\tr3,r1", "\tmulxs.w\tr2,r1", "\tadd.l\tfp,r1", "\tmov.w\tr0,@(-80,r1)",
                  "\tinc.w\t#1,r3", "\tcmp.w\t#10,r3", "\tble\t$4"}},
        FormCase{"CountDownFromDownTo",
                 "FOR I := 10 DOWNTO -3 DO J := J + 1",
                 {"\tmov.w\t#10-(-3)+1,r1", "$4:\tmov.w\t@(-8,fp),r0"}},
        FormCase{"CountDownByte",
                 "FOR B := 3 TO 200 DO J := J + 1",
                 {"\tmov.b\t#200-3+1,r1", "$4:\tmov.w\t@(-8,fp),r0", "\tinc.w\t#1,r0",
                  "\tmov.w\tr0,@(-8,fp)", "\tdec.b\t#1,r1", "\tbne\t$4"}},
        // 256 rounds of a byte counter: the first decrement wraps from 0.
        FormCase{"CountDownWholeByte",
                 "FOR B := 0 TO 255 DO J := J + 1",
                 {"\tmov.b\t#0,r1", "$4:\tmov.w\t@(-8,fp),r0"}},
        // A long count may exceed a word: the counter steps as a long.
        FormCase{"CountDownLong",
                 "FOR L := 1 TO 100000 DO J := J + 1",
                 {"\tmov.l\t#100000-1+1,r1", "$4:\tmov.w\t@(-8,fp),r0", "\tinc.w\t#1,r0",
                  "\tmov.w\tr0,@(-8,fp)", "\tdec.l\t#1,r1", "\tbne\t$4"}},
        // An empty constant range is tested before the first round, so the body never runs.
        FormCase{"EmptyConstantRange",
                 "FOR I := 5 TO 1 DO J := J + 1",
                 {"\tmov.w\t#5,r0", "\tmov.w\tr0,r1", "\tcmp.w\t#1,r0", "\tbgt\t$4",
                  "$6:\tmov.w\t@(-8,fp),r0"}},
        // No value can exceed the type's largest: the loop ends when the step wraps round.
        FormCase{"EndAtTheLargestValue",
                 "FOR I := 1 TO 32767 DO J := I",
                 {"\tinc.w\t#1,r1", "\tcmp.w\t#-32768,r1", "\tbne\t$4"},
                 "ble"},
        FormCase{"EndAtTheSmallestByte",
                 "FOR B := 9 DOWNTO 0 DO J := B",
                 {"\tdec.b\t#1,r1", "\tcmp.b\t#255,r1", "\tbne\t$4"},
                 "bcc"},
        // Loads the body repeats to no purpose go in front of the body, after the test of
        // an empty range.
        FormCase{"HoistedInFrontOfTheBody",
                 "FOR I := 1 TO N DO A[I] := 5",
                 {"\tbgt\t$5", "\tmov.w\t#2,r2", "$7:\tmov.w\t#5,r0", "\tmov.w\tr3,r1",
                  "\tmulxs.w\tr2,r1"}},
        FormCase{"EnumerationCountsBytes",
                 "FOR K := RED TO BLUE DO J := J + 1",
                 {"\tmov.b\t#2-0+1,r1", "$4:\tmov.w\t@(-8,fp),r0"}}));

TEST(ForStatement, NestedLoopsKeepTheirOwnRegisters) {
  const std::vector<std::string> lines =
      codeLines({"", kDeclarations, "FOR I := 1 TO 3 DO FOR J := 1 TO I DO N := N + J"});
  // The inner loop takes its end value from the outer variable's register; each loop
  // steps a register of its own.
  EXPECT_TRUE(hasSequence(lines, {"$4:\tmov.w\t#1,r0", "\tmov.w\tr4,r1", "\tmov.w\tr0,r2",
                                  "\tmov.w\tr1,r3", "\tcmp.w\tr1,r0", "\tbgt\t$8"}));
  EXPECT_TRUE(hasSequence(lines, {"\tcmp.w\tr3,r2", "\tbeq\t$8", "\tinc.w\t#1,r2", "\tbra\t$10",
                                  "$8:\tnop", "\tinc.w\t#1,r4", "\tcmp.w\t#3,r4", "\tble\t$4"}));
}

// Not a variable of the routine compiling the loop: the hint, counted as a warning.
struct HintCase {
  const char* name;
  const char* declarations;
  const char* body;
  bool hint;
};

void PrintTo(const HintCase& c, std::ostream* os) { *os << c.name; }

class ForHintTest : public ::testing::TestWithParam<HintCase> {};

TEST_P(ForHintTest, WarnsAboutTheControlVariable) {
  const HintCase& c = GetParam();
  const CompileResult result = compileAssignProgram({"", c.declarations, c.body});
  ASSERT_TRUE(result.host.errors.empty());
  const auto hintLines =
      std::count(result.lines.begin(), result.lines.end(), ";#Using local var makes compact code!");
  EXPECT_EQ(hintLines, c.hint ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Hints, ForHintTest,
    ::testing::Values(
        HintCase{"LocalOfTheProgram", "VAR I, J: INTEGER;", "FOR I := 1 TO 3 DO J := I", false},
        HintCase{"LocalOfAProcedure",
                 "VAR J: INTEGER;\nPROCEDURE P; VAR I: INTEGER; BEGIN FOR I := 1 TO 3 DO J := I "
                 "END;",
                 "", false},
        HintCase{"ProgramVariableInAProcedure",
                 "VAR I, J: INTEGER;\nPROCEDURE P; BEGIN FOR I := 1 TO 3 DO J := I END;", "", true},
        HintCase{"VarParameter",
                 "VAR J: INTEGER;\nPROCEDURE P(VAR I: INTEGER); BEGIN FOR I := 1 TO 3 DO J := I "
                 "END;",
                 "", true}));

struct ErrorCase {
  const char* body;
  int number;
  const char* atCaret;  // the source text from the caret on starts with this
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.body; }

class ForErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ForErrorTest, StopsAtTheRightToken) {
  const ErrorCase& c = GetParam();
  const AssignErrorSite site = assignErrorSite({"", kDeclarations + "\nCONST LIMIT = 5;", c.body});
  EXPECT_EQ(site.number, c.number);
  EXPECT_EQ(site.atCaret.rfind(c.atCaret, 0), 0U) << "caret at: " << site.atCaret;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ForErrorTest,
    ::testing::Values(ErrorCase{"FOR X := 1 TO 3 DO J := 1;", 41, "X :="},
                      ErrorCase{"FOR LIMIT := 1 TO 3 DO J := 1;", 27, "LIMIT :="},
                      ErrorCase{"FOR W := 1 TO 3 DO J := 1;", 24, ":= 1"},
                      ErrorCase{"FOR R := 1 TO 3 DO J := 1;", 24, ":= 1"},
                      ErrorCase{"FOR C := 'A' TO 'Z' DO J := 1;", 24, ":= 'A'"},
                      ErrorCase{"FOR I = 1 TO 3 DO J := 1;", 7, "= 1"},
                      ErrorCase{"FOR I := 'A' TO 3 DO J := 1;", 44, "TO 3"},
                      ErrorCase{"FOR K := 1 TO 3 DO J := 1;", 44, "TO 3"},
                      ErrorCase{"FOR I := 1 UPTO 3 DO J := 1;", 18, "UPTO"},
                      ErrorCase{"FOR I := 1 TO 3 J := 1;", 13, "J :="},
                      ErrorCase{"FOR I := 1 TO N J := 1;", 13, "J :="},
                      ErrorCase{"FOR I := 1 TO R DO J := 1;", 24, "DO J"},
                      ErrorCase{"FOR I := 1 TO 'Z' DO J := 1;", 24, "DO J"}));

}  // namespace
}  // namespace vorax::testing
