// Entry and exit code of routines in whole sources. Every expected line was worked out by
// hand from the frame rules (display entries, result slot, 24 bytes of temporaries below
// the locals, exits shared by area size and result kind), not copied from the output.
// The optimizer is off: it rewrites frames that turn out not to be needed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/source_tree.h"

namespace vorax::testing {
namespace {

CompileOptions unoptimized() {
  CompileOptions options;
  options.localTier = false;
  options.blockTier = false;
  return options;
}

std::vector<std::string> compileRaw(const std::string& source, const std::string& name = "P.PAS") {
  const SourceTree tree;
  CompileResult result = compileSource(tree, source, name, unoptimized());
  EXPECT_TRUE(result.host.errors.empty()) << result.host.errors.front().message;
  return std::move(result.lines);
}

::testing::AssertionResult hasSequence(const std::vector<std::string>& lines,
                                       const std::vector<std::string>& expected) {
  if (findSequence(lines, expected) >= 0) {
    return ::testing::AssertionSuccess();
  }
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << "expected lines not found in order; output was:\n";
  for (const std::string& line : lines) {
    failure << "  [" << line << "]\n";
  }
  return failure;
}

long countOf(const std::vector<std::string>& lines, const std::string& line) {
  return std::count(lines.begin(), lines.end(), line);
}

long countStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
  return std::count_if(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

// A level-2 routine without locals: r0 = 1 for "\slset", then the 24 bytes of temporaries
// (24 - b - 4 * level with b = -8).
std::vector<std::string> slsetEntry(const std::string& label, const std::string& resultPush = "") {
  std::vector<std::string> lines;
  if (!resultPush.empty()) {
    lines.push_back(label + resultPush);
    lines.emplace_back("\tmov.b\t#1,r0");
  } else {
    lines.push_back(label + "mov.b\t#1,r0");
  }
  lines.emplace_back("\tbsr\t\\slset");
  lines.emplace_back("\tsub.l\t#24,sp");
  return lines;
}

TEST(RoutineExitTest, ProgramRoutinesShareExitsByAreaSizeAndResultKind) {
  const std::vector<std::string> lines = compileRaw(
      "{$C-}PROGRAM P;\n"
      "PROCEDURE A(X: INTEGER; VAR Y: BYTE; Z: BYTE);\nBEGIN END;\n"
      "FUNCTION F(X: INTEGER; VAR Y: BYTE; Z: BYTE): INTEGER;\nBEGIN END;\n"
      "FUNCTION G(VAR X: LONGINT; Y, Z: BYTE): WORD;\nBEGIN END;\n"
      "PROCEDURE B(VAR X: INTEGER; Y: LONGINT);\nBEGIN END;\n"
      "BEGIN\nEND.\n");
  // Parameter area 2 + 4 + 2 = 8 bytes: the return address goes to r1, the area is
  // released, and the routine jumps back.
  std::vector<std::string> a = slsetEntry("A.2:\t");
  a.insert(a.end(), {"\\exitp8:mov.l\tfp,sp", "\tmov.l\t@sp+,fp", "\tmov.l\t@sp+,r1",
                     "\tadds\t#4,sp", "\tadds\t#4,sp", "\tjmp\t@r1"});
  EXPECT_TRUE(hasSequence(lines, a));
  // The INTEGER result is popped into r0 before the return address.
  std::vector<std::string> f = slsetEntry("F.4:\t", "mov.w\tr0,@-sp");
  f.insert(f.end(), {"\\exitw8:mov.l\tfp,sp", "\tmov.l\t@sp+,fp", "\tmov.w\t@sp+,r0",
                     "\tmov.l\t@sp+,r1", "\tadds\t#4,sp", "\tadds\t#4,sp", "\tjmp\t@r1"});
  EXPECT_TRUE(hasSequence(lines, f));
  // Same size and kind: a jump to the exit F defined.
  std::vector<std::string> g = slsetEntry("G.6:\t", "mov.w\tr0,@-sp");
  g.emplace_back("\tjmp\t\\exitw8");
  EXPECT_TRUE(hasSequence(lines, g));
  std::vector<std::string> b = slsetEntry("B.8:\t");
  b.emplace_back("\tjmp\t\\exitp8");
  EXPECT_TRUE(hasSequence(lines, b));
  EXPECT_EQ(countStartingWith(lines, "\\exitw8:"), 1);
  EXPECT_EQ(countStartingWith(lines, "\\exitp8:"), 1);
}

TEST(RoutineExitTest, UnitRoutinesCarryTheirOwnExits) {
  const std::vector<std::string> lines = compileRaw(
      "{$C-}UNIT U;\nINTERFACE\nPROCEDURE A(X: INTEGER);\nIMPLEMENTATION\n"
      "PROCEDURE A(X: INTEGER);\nBEGIN END;\nPROCEDURE B(Y: INTEGER);\nBEGIN END;\nEND.\n",
      "U.PAS");
  const std::vector<std::string> exit = {"\tmov.l\tfp,sp", "\tmov.l\t@sp+,fp", "\tmov.l\t@sp+,r1",
                                         "\tadds\t#2,sp", "\tjmp\t@r1"};
  for (const char* label : {"A.3:\t", "B.7:\t"}) {
    std::vector<std::string> routine = slsetEntry(label);
    routine.insert(routine.end(), exit.begin(), exit.end());
    EXPECT_TRUE(hasSequence(lines, routine)) << label;
  }
  EXPECT_EQ(countStartingWith(lines, "\\exit"), 0);
  EXPECT_EQ(countOf(lines, "\tjmp\t@r1"), 2);
}

TEST(RoutineExitTest, AreasAbove256BytesAreNeverShared) {
  const std::vector<std::string> lines = compileRaw(
      "{$C-}PROGRAM P;\nPROCEDURE A(S: STRING; B: BYTE);\nBEGIN END;\n"
      "PROCEDURE C(T: STRING; D: CHAR);\nBEGIN END;\nBEGIN\nEND.\n");
  EXPECT_EQ(countOf(lines, "\tadd.l\t#258,sp"), 2);
  EXPECT_EQ(countStartingWith(lines, "\\exit"), 0);
  EXPECT_EQ(countStartingWith(lines, "\tjmp\t\\exit"), 0);
}

TEST(RoutineExitTest, ReturnAddressIsAWordOn300L) {
  const std::vector<std::string> lines = compileRaw(
      "{$C-}{$CPU 300L}PROGRAM P;\nFUNCTION A(X: INTEGER): BOOLEAN;\nBEGIN END;\nBEGIN\nEND.\n");
  // BOOLEAN results are zero-extended once the area is released.
  EXPECT_TRUE(
      hasSequence(lines, {"\\exitb2:mov.l\tfp,sp", "\tmov.l\t@sp+,fp", "\tmov.w\t@sp+,r0",
                          "\tmov.w\t@sp+,r1", "\tadds\t#2,sp", "\textu.w\tr0", "\tjmp\t@r1"}));
}

struct ResultCase {
  const char* declarations;  // on line 2, before the function
  const char* resultType;
  std::vector<std::string> push;  // after the body label
  std::vector<std::string> exit;  // after "mov.l fp,sp" and "mov.l @sp+,fp"
};

void PrintTo(const ResultCase& c, std::ostream* os) { *os << c.resultType; }

class RoutineResultTest : public ::testing::TestWithParam<ResultCase> {};

// Functions without parameters return with "rts"; the result slot sits right above the
// saved frame pointer and is popped into r0.
TEST_P(RoutineResultTest, SlotIsPushedAndPopped) {
  const ResultCase& c = GetParam();
  const std::vector<std::string> lines =
      compileRaw(std::string("{$C-}PROGRAM P;\n") + c.declarations + "FUNCTION F: " + c.resultType +
                 ";\nBEGIN END;\nBEGIN\nEND.\n");
  std::vector<std::string> expected;
  if (c.push.empty()) {
    expected = slsetEntry("F.2:\t");
  } else {
    expected = slsetEntry("F.2:\t", c.push[0]);
  }
  expected.insert(expected.end(), {"\tmov.l\tfp,sp", "\tmov.l\t@sp+,fp"});
  expected.insert(expected.end(), c.exit.begin(), c.exit.end());
  EXPECT_TRUE(hasSequence(lines, expected));
}

INSTANTIATE_TEST_SUITE_P(
    Results, RoutineResultTest,
    ::testing::Values(
        ResultCase{"", "REAL", {}, {"\trts"}}, ResultCase{"", "STRING", {}, {"\trts"}},
        ResultCase{"", "INTEGER", {"mov.w\tr0,@-sp"}, {"\tmov.w\t@sp+,r0", "\trts"}},
        ResultCase{"", "CHAR", {"mov.w\tr0,@-sp"}, {"\tmov.w\t@sp+,r0", "\trts"}},
        ResultCase{
            "TYPE E = (RED, GREEN); ", "E", {"mov.w\tr0,@-sp"}, {"\tmov.w\t@sp+,r0", "\trts"}},
        ResultCase{
            "", "BOOLEAN", {"mov.w\tr0,@-sp"}, {"\tmov.w\t@sp+,r0", "\textu.w\tr0", "\trts"}},
        ResultCase{"", "LONGINT", {"mov.l\tr0,@-sp"}, {"\tmov.l\t@sp+,r0", "\trts"}},
        ResultCase{"TYPE Q = ^INTEGER; ", "Q", {"mov.l\tr0,@-sp"}, {"\tmov.l\t@sp+,r0", "\trts"}}));

TEST(RoutineEntryTest, NestedRoutinesComeFirstAndLocalsLieBelowTheDisplay) {
  const std::vector<std::string> lines = compileRaw(
      "{$C-}PROGRAM P;\nPROCEDURE O;\nVAR C: CHAR; I: INTEGER; L: LONGINT;\n"
      "  PROCEDURE Q;\n  BEGIN END;\nBEGIN END;\nBEGIN\nEND.\n");
  // Q is at level 3: two outer display entries to copy; no locals (b = -12).
  const int inner = findSequence(lines, {"Q.4:\tmov.b\t#2,r0", "\tbsr\t\\slset", "\tsub.l\t#24,sp",
                                         "\tmov.l\tfp,sp", "\tmov.l\t@sp+,fp", "\trts"});
  // O's locals: C at -9, I at -12, L at -16, so 24 + 16 - 8 bytes below the display.
  const int outer = findSequence(lines, {"O.2:\tmov.b\t#1,r0", "\tbsr\t\\slset", "\tsub.l\t#32,sp",
                                         "\tmov.l\tfp,sp", "\tmov.l\t@sp+,fp", "\trts"});
  const int main = findSequence(lines, {"\\P:\tmov.l\t\\ram+12,r0"});
  ASSERT_GE(inner, 0);
  EXPECT_GT(outer, inner);
  EXPECT_GT(main, outer);
}

TEST(RoutineEntryTest, ForwardRoutineBuildsItsDisplayInline) {
  const std::vector<std::string> lines = compileRaw(
      "{$C-}PROGRAM P;\nFUNCTION LATER(X: INTEGER): LONGINT; FORWARD;\nPROCEDURE SETTINGS; "
      "FORWARD;\nFUNCTION LATER(X: INTEGER): LONGINT;\nBEGIN END;\nPROCEDURE SETTINGS;\nBEGIN "
      "END;\nBEGIN\nEND.\n");
  // The stubs: the bare name jumps to the body, padded to the operand column.
  EXPECT_EQ(countOf(lines, "LATER:\t\tjmp\tLATER.2"), 1);
  EXPECT_EQ(countOf(lines, "SETTINGS:\tjmp\tSETTINGS.3"), 1);
  EXPECT_TRUE(hasSequence(
      lines,
      {"LATER.2:mov.l\tr0,@-sp", "\tmov.l\tfp,@-sp", "\tmov.l\tsp,fp", "\tmov.l\t\\ram+12,r0",
       "\tmov.l\tr0,@-sp", "\tmov.l\tfp,@-sp", "\tsub.l\t#24,sp", "\\exitl2:mov.l\tfp,sp",
       "\tmov.l\t@sp+,fp", "\tmov.l\t@sp+,r0", "\tmov.l\t@sp+,r1", "\tadds\t#2,sp", "\tjmp\t@r1"}));
}

struct InterruptCase {
  const char* cpu;
  std::vector<std::string> entry;  // from the body label to the display
  std::vector<std::string> exit;   // after "mov.l fp,sp"
};

void PrintTo(const InterruptCase& c, std::ostream* os) { *os << c.cpu; }

class InterruptFrameTest : public ::testing::TestWithParam<InterruptCase> {};

TEST_P(InterruptFrameTest, SavesEveryRegisterAndReturnsWithRte) {
  const InterruptCase& c = GetParam();
  const std::vector<std::string> lines = compileRaw(
      std::string("{$C-}{$CPU ") + c.cpu +
      "}PROGRAM P;\nPROCEDURE TICK(R: REGISTERS); INTERRUPT;\nBEGIN END;\nBEGIN\nEND.\n");
  std::vector<std::string> expected = c.entry;
  expected.insert(expected.end(), {"\tmov.l\tsp,fp", "\tmov.l\t\\ram+12,r0", "\tmov.l\tr0,@-sp",
                                   "\tmov.l\tfp,@-sp", "\tsub.l\t#24,sp", "\tmov.l\tfp,sp"});
  expected.insert(expected.end(), c.exit.begin(), c.exit.end());
  expected.emplace_back("\trte");
  EXPECT_TRUE(hasSequence(lines, expected));
}

INSTANTIATE_TEST_SUITE_P(
    Targets, InterruptFrameTest,
    ::testing::Values(InterruptCase{"2000",
                                    {"TICK:\tstm\t(r0-r3),@-sp", "\tstm\t(r4-r6),@-sp"},
                                    {"\tldm\t@sp+,(r4-r6)", "\tldm\t@sp+,(r0-r3)"}},
                      InterruptCase{"300H",
                                    {"TICK:\tmov.l\tr0,@-sp", "\tmov.l\tr1,@-sp",
                                     "\tmov.l\tr2,@-sp", "\tmov.l\tr3,@-sp", "\tmov.l\tr4,@-sp",
                                     "\tmov.l\tr5,@-sp", "\tmov.l\tr6,@-sp"},
                                    {"\tmov.l\t@sp+,r6", "\tmov.l\t@sp+,r5", "\tmov.l\t@sp+,r4",
                                     "\tmov.l\t@sp+,r3", "\tmov.l\t@sp+,r2", "\tmov.l\t@sp+,r1",
                                     "\tmov.l\t@sp+,r0"}}));

TEST(RoutineLabelTest, AddressOfARoutineIsALabelThatExists) {
  const std::vector<std::string> lines = compileRaw(
      "{$C-}PROGRAM P;\nPROCEDURE TICK; INTERRUPT;\nBEGIN END;\nPROCEDURE EXT; EXTERNAL;\n"
      "PROCEDURE PLAIN;\nBEGIN END;\nPROCEDURE LATE; FORWARD;\n"
      "CONST T: ARRAY[1..4] OF POINTER = (@TICK, @EXT, @PLAIN, @LATE);\n"
      "PROCEDURE LATE;\nBEGIN END;\nBEGIN\nEND.\n");
  // An interrupt procedure's body is its bare name; an external routine has no other.
  EXPECT_TRUE(hasSequence(lines, {"\\T:\tdl\tTICK,EXT,PLAIN.5,LATE.7"}));
}

TEST(RoutineLabelTest, AbsoluteRoutinesAreEquatedUnderTheirCallLabel) {
  const std::vector<std::string> lines = compileRaw(
      "{$C-}PROGRAM P;\nCONST TABLE: ARRAY[1..3] OF BYTE = (1, 2, 3);\n"
      "PROCEDURE RESET; ABSOLUTE $100;\nPROCEDURE AFTER(X: INTEGER); ABSOLUTE NEXTOF TABLE;\n"
      "FUNCTION AT: BYTE; ABSOLUTE TABLE;\nPROCEDURE SEG; ABSOLUTE $10:$20;\nBEGIN\nEND.\n");
  EXPECT_EQ(countOf(lines, "RESET.3\tequ\t256"), 1);
  // Past the 3-byte table, at the next even address.
  EXPECT_EQ(countOf(lines, "AFTER.4\tequ\t\\TABLE+4"), 1);
  EXPECT_EQ(countOf(lines, "AT.5\t\tequ\t\\TABLE"), 1);
  EXPECT_EQ(countOf(lines, "SEG.6\t\tequ\t32"), 1);
  // No code for any of them: the main body is the only routine.
  EXPECT_EQ(countOf(lines, "\tbsr\t\\slset"), 0);
}

TEST(RoutineLabelTest, InterfaceRoutinesHaveStubsAndBodies) {
  const std::vector<std::string> lines = compileRaw(
      "{$C-}UNIT U;\nINTERFACE\nPROCEDURE MOVE(A, B: INTEGER);\nPROCEDURE FIXED; ABSOLUTE "
      "$400;\nPROCEDURE HANDLER; INTERRUPT;\nIMPLEMENTATION\nPROCEDURE MOVE(A, B: INTEGER);\n"
      "BEGIN END;\nPROCEDURE HANDLER; INTERRUPT;\nBEGIN END;\nEND.\n",
      "U.PAS");
  EXPECT_EQ(countOf(lines, "MOVE:\t\tjmp\tMOVE.3"), 1);
  EXPECT_EQ(countOf(lines, "HANDLER:\tjmp\tHANDLER.5"), 1);
  EXPECT_EQ(countOf(lines, "FIXED.4\tequ\t1024"), 1);
  EXPECT_EQ(countStartingWith(lines, "FIXED:"), 0);
  EXPECT_TRUE(hasSequence(lines, slsetEntry("MOVE.3:\t")));
  // The handler's body is reached through its stub, under NAME.line.
  EXPECT_EQ(countStartingWith(lines, "HANDLER.5:"), 1);
  EXPECT_EQ(countOf(lines, "\trte"), 1);
}

// Declaring a body for an announced routine, or a nested routine of the same name, is not
// a use: routines nobody calls are listed, parameters and locals with them.
TEST(RoutineListingTest, UncalledRoutinesAreListed) {
  const std::vector<std::string> lines = compileRaw(
      "{$U+}{$C-}PROGRAM P;\nPROCEDURE Q(A, B: INTEGER);\nVAR X: BYTE;\n  PROCEDURE Q; BEGIN "
      "END;\nBEGIN END;\nPROCEDURE NEVER; FORWARD;\nPROCEDURE NEVER; BEGIN END;\nBEGIN\nEND.\n");
  for (const char* line : {";#UNUSED PRC: Q.4", ";#UNUSED VAR: X.3", ";#UNUSED PRM: B.2",
                           ";#UNUSED PRM: A.2", ";#UNUSED PRC: NEVER.6", ";#UNUSED PRC: Q.2"}) {
    EXPECT_EQ(countOf(lines, line), 1) << line;
  }
  EXPECT_EQ(countOf(lines, "; (# Warning) 6"), 1);
}

}  // namespace
}  // namespace vorax::testing
