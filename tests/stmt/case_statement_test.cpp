// CASE statements compiled from whole programs: the dispatch form and its lines, and
// every error with the caret under the right token. The peephole rules are off, so the
// lines are those the statement itself leaves.
#include <gtest/gtest.h>

#include <algorithm>

#include "for_case_support.h"

namespace vorax::testing {
namespace {

const std::string kDeclarations =
    "TYPE COLOUR = (RED, GREEN, BLUE);\n"
    "VAR I, J: INTEGER; B: BYTE; W: WORD; L: LONGINT; C: CHAR; K: COLOUR; R: REAL;";

std::vector<std::string> caseLines(const std::string& body, const std::string& header = "") {
  return codeLines({header, kDeclarations, body});
}

struct DispatchCase {
  const char* name;
  const char* header;
  const char* body;
  std::vector<std::string> expected;  // consecutive lines, "\t" separated as written
};

void PrintTo(const DispatchCase& c, std::ostream* os) { *os << c.name; }

class CaseDispatchTest : public ::testing::TestWithParam<DispatchCase> {};

TEST_P(CaseDispatchTest, EmitsTheDispatch) {
  const DispatchCase& c = GetParam();
  EXPECT_TRUE(hasSequence(caseLines(c.body, c.header), c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CaseDispatchTest,
    ::testing::Values(
        // A range right after a range needs no lower test; after a single value it does.
        DispatchCase{"ChainOfSinglesAndRanges",
                     "",
                     "CASE I OF 1: J := 1; 2, 3: J := 2; 5..9: J := 3; 10..12: J := 4 "
                     "ELSE J := 5 END",
                     {"$2:\tmov.w\t@(-6,fp),r0", "\tcmp.w\t#1,r0", "\tbeq\t$4", "\tcmp.w\t#2,r0",
                      "\tblt\t$13", "\tcmp.w\t#3,r0", "\tble\t$6", "\tcmp.w\t#5,r0", "\tblt\t$13",
                      "\tcmp.w\t#9,r0", "\tble\t$8", "\tcmp.w\t#12,r0", "\tble\t$10", "\tbra\t$13",
                      "$3:\tmov.l\tfp,sp"}},
        // A one-byte selector compares without sign; 0 is its lowest value anyway.
        DispatchCase{"ByteRangeFromZero",
                     "",
                     "CASE B OF 0..3: J := 1; 7: J := 2 END",
                     {"$2:\tmov.b\t@(-9,fp),r0", "\tcmp.b\t#3,r0", "\tbls\t$4", "\tcmp.b\t#7,r0",
                      "\tbeq\t$6", "$3:\tmov.l\tfp,sp"}},
        DispatchCase{
            "CharRange",
            "",
            "CASE C OF 'A'..'Z': J := 1 END",
            {"\tcmp.b\t#65,r0", "\tbcs\t$3", "\tcmp.b\t#90,r0", "\tbls\t$4", "$3:\tmov.l\tfp,sp"}},
        // WORD values above 32767 lie above the smaller tags: the tests are unsigned.
        DispatchCase{"WordRangeIsUnsigned",
                     "",
                     "CASE W OF 40000..50000: J := 1 END",
                     {"\tcmp.w\t#40000,r0", "\tbcs\t$3", "\tcmp.w\t#50000,r0", "\tbls\t$4"}},
        DispatchCase{"IntegerRangeIsSigned",
                     "",
                     "CASE I OF -5..5: J := 1 END",
                     {"\tcmp.w\t#-5,r0", "\tblt\t$3", "\tcmp.w\t#5,r0", "\tble\t$4"}},
        DispatchCase{
            "EnumerationValues",
            "",
            "CASE K OF BLUE: J := 1; GREEN: J := 2 END",
            {"\tcmp.b\t#1,r0", "\tbeq\t$6", "\tcmp.b\t#2,r0", "\tbeq\t$4", "$3:\tmov.l\tfp,sp"}},
        // Seven single tags cost 56 as a chain and 52 as a table.
        DispatchCase{
            "SevenTagsMakeATable",
            "",
            "CASE I OF 1: J := 1; 2: J := 2; 3: J := 3; 4: J := 4; 5: J := 5; "
            "6: J := 6; 7: J := 7 END",
            {"$2:\tmov.w\t@(-6,fp),r0", "\texts.l\tr0", "\tdec.l\t#1,r0",
             "\tcmp.l\t#6,r0", "\tbhi\t$3", "\tshal.l\t#1,r0", "\tshal.l\t#1,r0",
             "\tmov.l\t@($18,r0),r0", "\tjmp\t@r0", "\torg\t($+1)/2*2",
             "$18:\tdl\t  $4,  $6,  $8, $10, $12, $14", "\tdl\t $16", "$3:\tmov.l\tfp,sp"}},
        DispatchCase{"TableShiftOn2000",
                     "{$CPU 2000}",
                     "CASE I OF 1: J := 1; 2: J := 2; 3: J := 3; 4: J := 4; 5: J := 5; "
                     "6: J := 6; 7: J := 7 END",
                     {"\tbhi\t$3", "\tshal.l\t#2,r0", "\tmov.l\t@($18,r0),r0"}},
        // A value between the tags goes to the end, or to the ELSE part.
        DispatchCase{"TableGapWithoutElse",
                     "",
                     "CASE L OF 1: J := 1; 2: J := 2; 3: J := 3; 5: J := 5; 6: J := 6; "
                     "7: J := 7 END",
                     {"\tdec.l\t#1,r0", "\tcmp.l\t#6,r0", "\tbhi\t$3",
                      "\tshal.l\t#1,r0", "\tshal.l\t#1,r0", "\tmov.l\t@($16,r0),r0", "\tjmp\t@r0",
                      "\torg\t($+1)/2*2", "$16:\tdl\t  $4,  $6,  $8,  $3, $10, $12", "\tdl\t $14"}},
        DispatchCase{
            "TableGapWithElse",
            "",
            "CASE L OF 1: J := 1; 2: J := 2; 3: J := 3; 5: J := 5; 6: J := 6; "
            "7: J := 7 ELSE J := 0 END",
            {"\tdec.l\t#1,r0", "\tcmp.l\t#6,r0", "\tbhi\t$17", "\tshal.l\t#1,r0",
             "\tshal.l\t#1,r0", "\tmov.l\t@($18,r0),r0", "\tjmp\t@r0", "\torg\t($+1)/2*2",
             "$18:\tdl\t  $4,  $6,  $8, $17, $10, $12", "\tdl\t $14"}}));

TEST(CaseStatement, ChainWithoutElseFallsThroughToTheEnd) {
  const std::vector<std::string> lines = caseLines("CASE I OF 1: J := 1; 3: J := 2 END; J := 9");
  EXPECT_TRUE(hasSequence(lines, {"\tcmp.w\t#3,r0", "\tbeq\t$6", "$3:\tmov.w\t#9,r0"}));
}

struct ErrorCase {
  const char* body;
  int number;
  const char* atCaret;  // the source text from the caret on starts with this
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.body; }

class CaseErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CaseErrorTest, StopsAtTheRightToken) {
  const ErrorCase& c = GetParam();
  const AssignErrorSite site = assignErrorSite({"", kDeclarations, c.body});
  EXPECT_EQ(site.number, c.number);
  EXPECT_EQ(site.atCaret.rfind(c.atCaret, 0), 0U) << "caret at: " << site.atCaret;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CaseErrorTest,
    ::testing::Values(ErrorCase{"CASE I 1: J := 1 END;", 15, "1:"},
                      ErrorCase{"CASE I OF END;", 19, "END;"},
                      ErrorCase{"CASE I OF ELSE J := 1 END;", 19, "ELSE"},
                      ErrorCase{"CASE I OF J: J := 1 END;", 22, ": J"},
                      ErrorCase{"CASE 5 OF 1: J := 1 END;", 24, "OF 1"},
                      ErrorCase{"CASE R OF 1: J := 1 END;", 24, "OF 1"},
                      ErrorCase{"CASE I OF 'A': J := 1 END;", 44, ": J"},
                      ErrorCase{"CASE K OF 1: J := 1 END;", 44, ": J"},
                      ErrorCase{"CASE I OF 5..5: J := 1 END;", 45, ": J"},
                      ErrorCase{"CASE I OF 5..2: J := 1 END;", 45, ": J"},
                      // Tags the selector's type cannot hold have no compare.
                      ErrorCase{"CASE I OF 1: J := 1; 100000: J := 2 END;", 45, ": J := 2"},
                      ErrorCase{"CASE I OF 40000: J := 1 END;", 45, ": J"},
                      ErrorCase{"CASE I OF 1..32768: J := 1 END;", 45, ": J"},
                      ErrorCase{"CASE B OF 256: J := 1 END;", 45, ": J"},
                      ErrorCase{"CASE B OF -1: J := 1 END;", 45, ": J"},
                      ErrorCase{"CASE W OF -1: J := 1 END;", 45, ": J"},
                      ErrorCase{"CASE W OF 65536: J := 1 END;", 45, ": J"},
                      ErrorCase{"CASE I OF 1..5: J := 1; 3: J := 2 END;", 51, ": J := 2"},
                      ErrorCase{"CASE I OF 1: J := 1; 1: J := 2 END;", 51, ": J := 2"},
                      ErrorCase{"CASE I OF 2..4, 3: J := 1 END;", 51, ": J"},
                      ErrorCase{"CASE I OF 1: J := 1; 3: J := 2; 0..5: J := 3 END;", 51,
                                ": J := 3"},
                      ErrorCase{"CASE I OF 1 J := 1 END;", 2, "J :="},
                      ErrorCase{"CASE I OF 1: J := 1 J := 2 END;", 14, "J := 2"},
                      // Two statements after ELSE need BEGIN ... END.
                      ErrorCase{"CASE I OF 1: J := 1 ELSE J := 2; J := 3 END;", 14, "J := 3"}));

const std::string kProcedures =
    "\nPROCEDURE P1; BEGIN END; PROCEDURE P2; BEGIN END; PROCEDURE P3; BEGIN END;\n"
    "PROCEDURE P4; BEGIN END; PROCEDURE P5; BEGIN END; PROCEDURE P6; BEGIN END;\n"
    "PROCEDURE P7; BEGIN END;";

std::vector<std::string> callLines(const std::string& body) {
  return codeLines({"", kDeclarations + kProcedures, body});
}

// How many lines call one of the procedures P1..P7 directly.
long directCalls(const std::vector<std::string>& lines) {
  return std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
    return line.find("bsr\tP") != std::string::npos;
  });
}

// Arms that only call a routine: the table holds the routines and the dispatch calls.
TEST(CaseStatement, CallTable) {
  const std::vector<std::string> lines =
      callLines("CASE I OF 1: P1; 2: P2; 3: P3; 4: P4; 5: P5; 6: P6; 7: P7 END");
  EXPECT_TRUE(
      hasSequence(lines, {"\tmov.l\t@($18,r0),r0", "\tjsr\t@r0", "\tbra\t$3", "\torg\t($+1)/2*2",
                          "$18:\tdl\tP1.4,P2.4,P3.4,P4.5,P5.5,P6.5", "\tdl\tP7.6"}));
  EXPECT_EQ(directCalls(lines), 0);
  EXPECT_TRUE(lacksMnemonic(lines, "jmp"));
}

// The ELSE routine is entry 0, which every selector outside the range indexes: the
// biased selector compared without sign.
TEST(CaseStatement, CallTableWithElse) {
  const std::vector<std::string> lines =
      callLines("CASE I OF 1: P1; 2: P2; 3: P3; 4: P4; 5: P5; 6: P6; 7: P7 ELSE P1 END");
  EXPECT_TRUE(hasSequence(
      lines, {"\tdec.l\t#1,r0", "\tcmp.l\t#6,r0", "\tbls\t$21", "\tmov.l\t#-1,r0",
              "$21:\tinc.l\t#1,r0", "\tshal.l\t#1,r0", "\tshal.l\t#1,r0", "\tmov.l\t@($20,r0),r0",
              "\tjsr\t@r0", "\tbra\t$3", "\torg\t($+1)/2*2", "$20:\tdl\tP1.4",
              "\tdl\tP1.4,P2.4,P3.4,P4.5,P5.5,P6.5", "\tdl\tP7.6"}));
  EXPECT_EQ(directCalls(lines), 0);
}

// A chain keeps its calls in the arms.
TEST(CaseStatement, CallsInAChainStay) {
  const std::vector<std::string> lines = callLines("CASE I OF 1: P1; 9: P2 END");
  EXPECT_TRUE(hasSequence(lines, {"$4:\tbsr\tP1.4"}));
  EXPECT_EQ(directCalls(lines), 2);
  EXPECT_TRUE(lacksMnemonic(lines, "jsr"));
}

// With an ELSE part every way through the CASE runs one arm: what all arms start with
// runs once, before the dispatch, which takes another register for the selector.
TEST(CaseStatement, CommonStartOfArmsRunsBeforeTheDispatch) {
  const std::vector<std::string> lines =
      codeLines({"", kDeclarations,
                 "CASE I OF 1: BEGIN J := 0; B := 1 END; 2: BEGIN J := 0; B := 2 END "
                 "ELSE BEGIN J := 0; B := 3 END END"});
  EXPECT_TRUE(hasSequence(lines, {"\txor.w\tr0,r0", "\tmov.w\tr0,@(-8,fp)", "\tbra\t$2", "$4:\tnop",
                                  "\tmov.b\t#1,r0"}));
  EXPECT_TRUE(hasSequence(lines, {"$2:\tmov.w\t@(-6,fp),r1", "\tcmp.w\t#1,r1", "\tbeq\t$4"}));
}

// Without ELSE a selector may match no arm, which must then run nothing.
TEST(CaseStatement, ArmsWithoutElseKeepTheirStart) {
  const std::vector<std::string> lines =
      codeLines({"", kDeclarations,
                 "CASE I OF 1: BEGIN J := 0; B := 1 END; 2: BEGIN J := 0; B := 2 END END"});
  EXPECT_TRUE(hasSequence(lines, {"\tbra\t$2", "$4:\txor.w\tr0,r0", "\tmov.w\tr0,@(-8,fp)"}));
  EXPECT_TRUE(hasSequence(lines, {"$6:\txor.w\tr0,r0", "\tmov.w\tr0,@(-8,fp)"}));
}

}  // namespace
}  // namespace vorax::testing
