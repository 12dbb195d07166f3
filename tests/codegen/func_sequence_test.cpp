// The instruction sequences of function calls and of the standard functions compiled in
// line, seen in whole programs compiled with the peephole rules off.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "func_test_support.h"

namespace vorax::testing {
namespace {

// A stack reservation first in a body would be merged into the frame's own: the cases
// that reserve one start with an assignment.
// Frame offsets of the main program's variables below, in declaration order: the display
// entry takes -4, then i -6, j -8, l -12, b -13, c -14, s -270, r -272, ok -273, f -806,
// e -807, w -810, x -816.
const std::string kVariables =
    "CONST LO = -5;\n"
    "TYPE SR = LO..5; COLOR = (RED, GREEN);\n"
    "VAR i, j: INTEGER; l: LONGINT; b: BYTE; c: CHAR; s: STRING; r: SR; ok: BOOLEAN;\n"
    "  f: TEXT; e: COLOR; w: WORD; x: REAL;\n"
    "FUNCTION F1(x: INTEGER): INTEGER; BEGIN F1 := x END;\n"   // line 6
    "FUNCTION BF(x: INTEGER): BYTE; BEGIN BF := x END;\n"      // line 7
    "FUNCTION SF(x: INTEGER): STRING; BEGIN SF := 'x' END;\n"  // line 8
    "FUNCTION RF: REAL; BEGIN END;\n"                          // line 9
    "FUNCTION EXTF(x: INTEGER): INTEGER; EXTERNAL;\n";

struct SequenceCase {
  const char* name;
  const char* header;
  const char* body;
  std::vector<std::string> expected;
};

void PrintTo(const SequenceCase& c, std::ostream* os) { *os << c.name; }

class CallSequenceTest : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(CallSequenceTest, EmitsTheSequence) {
  const SequenceCase& c = GetParam();
  const std::vector<std::string> lines = bodyLines({c.name, c.header, kVariables, c.body});
  EXPECT_TRUE(containsSequence(lines, c.expected));
}

const SequenceCase kSequences[] = {
    // The flags of the load decide whether the value is negated.
    {"AbsOfIntegerVariable",
     "",
     "j := ABS(i)",
     {funcLine("mov.w", "@(-6,fp)", "r0"), funcLine("bpl", "$2"), funcLine("neg.w", "r0"),
      "$2:\tmov.w\tr0,@(-8,fp)"}},
    // A result from a call carries no flags: they are set first.
    {"AbsOfIntegerFunction",
     "",
     "j := ABS(F1(i))",
     {funcLine("bsr", "F1.6"), funcLine("and.w", "r0", "r0"), funcLine("bpl", "$2"),
      funcLine("neg.w", "r0"), "$2:\tmov.w\tr0,@(-8,fp)"}},
    {"AbsOfLongInt",
     "",
     "l := ABS(l)",
     {funcLine("mov.l", "@(-12,fp)", "r0"), funcLine("bpl", "$2"), funcLine("neg.l", "r0")}},
    // A subrange that reaches below zero is negated like an INTEGER.
    {"AbsOfSignedSubrange",
     "",
     "r := ABS(r)",
     {funcLine("mov.w", "@(-272,fp)", "r0"), funcLine("bpl", "$2"), funcLine("neg.w", "r0")}},
    {"AbsOfByteIsTheByte",
     "",
     "b := ABS(b)",
     {funcLine("mov.b", "@(-13,fp)", "r0"), funcLine("mov.b", "r0", "@(-13,fp)")}},
    // SUCC and PRED step at the value's own width: SUCC(255) of an INTEGER is 256.
    {"SuccOfIntegerStepsTheWord",
     "",
     "j := SUCC(i)",
     {funcLine("mov.w", "@(-6,fp)", "r0"), funcLine("inc.w", "#1", "r0"),
      funcLine("mov.w", "r0", "@(-8,fp)")}},
    {"PredOfChar",
     "",
     "c := PRED(c)",
     {funcLine("mov.b", "@(-14,fp)", "r0"), funcLine("dec.b", "#1", "r0")}},
    {"SuccOfLongInt", "", "l := SUCC(l)", {funcLine("inc.l", "#1", "r0")}},
    {"SuccOfEnumeration",
     "",
     "e := SUCC(e)",
     {funcLine("mov.b", "@(-807,fp)", "r0"), funcLine("inc.b", "#1", "r0")}},
    {"OddTestsTheLowBitAtTheArgumentsSize",
     "",
     "ok := ODD(l)",
     {funcLine("mov.l", "@(-12,fp)", "r0"), funcLine("and.l", "#1", "r0"),
      funcLine("mov.b", "r0", "@(-273,fp)")}},
    {"UpcasePushesTheCharacter",
     "",
     "c := UPCASE(c)",
     {funcLine("mov.b", "@(-14,fp)", "r0"), funcLine("mov.w", "r0", "@-sp"),
      funcLine("bsr", "\\upcase"), funcLine("mov.b", "r0", "@(-14,fp)")}},
    {"SqrtOfIntegerIsLong",
     "",
     "l := SQRT(i)",
     {funcLine("exts.l", "r0"), funcLine("mov.l", "r0", "@-sp"), funcLine("bsr", "\\sqrtl"),
      funcLine("mov.l", "r0", "@(-12,fp)")}},
    {"ChrIsTheArgumentsRegister",
     "",
     "c := CHR(b)",
     {funcLine("mov.b", "@(-13,fp)", "r0"), funcLine("mov.b", "r0", "@(-14,fp)")}},
    // LENGTH: a variable's length byte; a constant text is a constant.
    {"LengthOfVariable",
     "",
     "b := LENGTH(s)",
     {funcLine("mov.b", "@(-270,fp)", "r0"), funcLine("mov.b", "r0", "@(-13,fp)")}},
    {"LengthOfConstant",
     "",
     "b := LENGTH('abc')",
     {funcLine("mov.b", "#3", "r0"), funcLine("mov.b", "r0", "@(-13,fp)")}},
    // A concatenation: the parts' lengths summed, stopping at 255 as the string does.
    {"LengthOfConcatenation",
     "",
     "b := LENGTH(s + 'abc' + c)",
     {funcLine("mov.b", "@(-270,fp)", "r0"), funcLine("add.b", "#4", "r0"), funcLine("bcc", "$2"),
      funcLine("mov.b", "#255", "r0"), "$2:\tmov.b\tr0,@(-13,fp)"}},
    // A function result: made on the stack, its length byte read, the string dropped.
    {"LengthOfStringFunction",
     "",
     "i := 2; b := LENGTH(SF(1))",
     {funcLine("sub.l", "#256", "sp"), funcLine("mov.w", "#1", "r0"),
      funcLine("mov.w", "r0", "@-sp"), funcLine("bsr", "SF.8"), funcLine("mov.b", "@sp", "r0"),
      funcLine("add.l", "#256", "sp"), funcLine("mov.b", "r0", "@(-13,fp)")}},
    {"LengthOfCallThenVariable",
     "",
     "b := LENGTH(SF(1) + s)",
     {funcLine("bsr", "SF.8"), funcLine("mov.b", "@sp", "r0"), funcLine("add.l", "#256", "sp"),
      funcLine("mov.b", "@(-270,fp)", "r1"), funcLine("add.b", "r1", "r0"), funcLine("bcc", "$2"),
      funcLine("mov.b", "#255", "r0")}},
    // The running sum waits on the stack while a later part calls a routine.
    {"LengthOfVariableThenCall",
     "",
     "b := LENGTH(s + SF(1))",
     {funcLine("mov.b", "@(-270,fp)", "r0"), funcLine("mov.w", "r0", "@-sp"),
      funcLine("sub.l", "#256", "sp"), funcLine("mov.w", "#1", "r0"),
      funcLine("mov.w", "r0", "@-sp"), funcLine("bsr", "SF.8"), funcLine("mov.b", "@sp", "r0"),
      funcLine("add.l", "#256", "sp"), funcLine("mov.w", "@sp+", "r1"),
      funcLine("add.b", "r0", "r1")}},
    {"ReadKeyWithIoCheck",
     "{$I+}",
     "c := READKEY",
     {funcLine("mov.l", "#\\con", "r0"), funcLine("mov.l", "r0", "@-sp"), funcLine("bsr", "\\ich"),
      funcLine("trapa", "#0"), funcLine("mov.b", "r0", "@(-14,fp)")}},
    {"EofPushesTheFileAndChecks",
     "{$I+}",
     "ok := EOF(f)",
     {funcLine("lea", "@(-806,fp)", "r0"), funcLine("mov.l", "r0", "@-sp"),
      funcLine("bsr", "\\eof"), funcLine("trapa", "#0"), funcLine("mov.b", "r0", "@(-273,fp)")}},
    // A BYTE result comes back as a word: no widening before it is stored as INTEGER.
    {"ByteFunctionResultIsAWord",
     "",
     "i := BF(3)",
     {funcLine("bsr", "BF.7"), funcLine("mov.w", "r0", "@(-6,fp)")}},
    // A REAL function gets its 6-byte result slot before the call.
    {"RealFunctionReservesItsResult",
     "",
     "i := 2; j := TRUNC(RF)",
     {funcLine("sub.l", "#6", "sp"), funcLine("bsr", "RF.9"), funcLine("bsr", "\\r2int"),
      funcLine("mov.w", "r0", "@(-8,fp)")}},
    // ABS of a REAL clears the sign bit of the value on the stack.
    {"AbsOfRealFunction",
     "",
     "i := 2; x := ABS(RF)",
     {funcLine("sub.l", "#6", "sp"), funcLine("bsr", "RF.9"), funcLine("mov.b", "@(1,sp)", "r0"),
      funcLine("bclr", "#7", "r0"), funcLine("mov.b", "r0", "@(1,sp)")}},
    // A minus in front of a REAL function flips the sign bit of its result.
    {"NegatedRealFunction",
     "",
     "i := 2; x := -RF",
     {funcLine("bsr", "RF.9"), funcLine("mov.b", "@(1,sp)", "r0"), funcLine("bnot", "#7", "r0"),
      funcLine("mov.b", "r0", "@(1,sp)")}},
    {"SinOfInteger",
     "",
     "x := SIN(i)",
     {funcLine("mov.w", "@(-6,fp)", "r0"), funcLine("exts.l", "r0"),
      funcLine("mov.l", "r0", "@-sp"), funcLine("bsr", "\\int2r"), funcLine("bsr", "\\sin")}},
    // An external routine is called by its bare name.
    {"ExternalFunction",
     "",
     "j := EXTF(i)",
     {funcLine("mov.w", "r0", "@-sp"), funcLine("bsr", "EXTF"),
      funcLine("mov.w", "r0", "@(-8,fp)")}},
};

INSTANTIATE_TEST_SUITE_P(Calls, CallSequenceTest, ::testing::ValuesIn(kSequences),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CallSequenceTest, IoCheckOnlyWhenSwitchedOn) {
  const std::vector<std::string> lines = bodyLines({"NoCheck", "", kVariables, "c := READKEY"});
  EXPECT_TRUE(
      containsSequence(lines, {funcLine("bsr", "\\ich"), funcLine("mov.b", "r0", "@(-14,fp)")}));
  EXPECT_TRUE(lacksLine(lines, "trapa"));
}

struct ErrorCase {
  const char* name;
  const char* body;
  int error;
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.name; }

class CallErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CallErrorTest, StopsWithTheError) {
  const ErrorCase& c = GetParam();
  EXPECT_EQ(errorNumberOf({c.name, "", kVariables, c.body}), c.error);
}

const ErrorCase kErrors[] = {
    {"AbsOfWord", "w := ABS(w)", 44},
    {"AbsOfChar", "c := ABS(c)", 44},
    {"AbsOfBoolean", "ok := ABS(ok)", 44},
    {"AbsOfIntegerCompiles", "j := ABS(i) + 1", 0},
    {"SuccTypedLikeItsArgument", "j := SUCC(i) * 2", 0},
};

INSTANTIATE_TEST_SUITE_P(Calls, CallErrorTest, ::testing::ValuesIn(kErrors),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax::testing
