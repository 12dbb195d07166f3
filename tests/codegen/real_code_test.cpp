// The instruction sequences of REAL values: variables pushed through their address,
// constants pushed with their six data bytes, operators and comparisons calling their
// routines, integers converted on the way in and out, and pending minus signs. Whole
// programs are compiled with the peephole rules off so that the sequences are seen as
// they were emitted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "func_test_support.h"

namespace vorax::testing {
namespace {

// Frame offsets in declaration order: the display entry takes -4, then x -10, y -16,
// r -22, i -24, b -25, w -28, l -32.
const std::string kVariables =
    "VAR x, y, r: REAL; i: INTEGER; b: BYTE; w: WORD; l: LONGINT;\n"
    "FUNCTION F(a: REAL): REAL; BEGIN F := a END;\n"  // line 3
    "FUNCTION FB: BYTE; BEGIN FB := 7 END;\n";        // line 4

std::vector<std::string> pushOf(const std::string& frameSlot) {
  return {funcLine("lea", frameSlot, "r0"), funcLine("mov.l", "r0", "@-sp"),
          funcLine("bsr", "\\loadr")};
}

std::vector<std::string> storeTo(const std::string& frameSlot) {
  return {funcLine("lea", frameSlot, "r0"), funcLine("mov.l", "r0", "@-sp"),
          funcLine("bsr", "\\storer")};
}

const std::vector<std::string> kFlipSign = {funcLine("mov.b", "@(1,sp)", "r0"),
                                            funcLine("bnot", "#7", "r0"),
                                            funcLine("mov.b", "r0", "@(1,sp)")};

std::vector<std::string> joined(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

struct RealSequenceCase {
  const char* name;
  const char* body;
  std::vector<std::string> expected;
};

void PrintTo(const RealSequenceCase& c, std::ostream* os) { *os << c.name; }

class RealSequenceTest : public ::testing::TestWithParam<RealSequenceCase> {};

TEST_P(RealSequenceTest, EmitsTheSequence) {
  const RealSequenceCase& c = GetParam();
  const std::vector<std::string> lines = bodyLines({c.name, "", kVariables, c.body});
  EXPECT_TRUE(containsSequence(lines, c.expected));
}

const RealSequenceCase kSequences[] = {
    // Each operator pushes its left operand first and calls its own routine.
    {"Add", "r := x + y",
     joined({pushOf("@(-10,fp)"),
             pushOf("@(-16,fp)"),
             {funcLine("bsr", "\\add40")},
             storeTo("@(-22,fp)")})},
    {"Subtract", "r := y - x",
     joined({pushOf("@(-16,fp)"), pushOf("@(-10,fp)"), {funcLine("bsr", "\\sub40")}})},
    {"Multiply", "r := x * y",
     joined({pushOf("@(-10,fp)"), pushOf("@(-16,fp)"), {funcLine("bsr", "\\mul40")}})},
    {"Divide", "r := x / y",
     joined({pushOf("@(-10,fp)"), pushOf("@(-16,fp)"), {funcLine("bsr", "\\div40")}})},
    // "/" of two integers is a REAL division of their converted values.
    {"DivideIntegers",
     "r := i / l",
     {funcLine("mov.w", "@(-24,fp)", "r0"), funcLine("exts.l", "r0"),
      funcLine("mov.l", "r0", "@-sp"), funcLine("bsr", "\\int2r"),
      funcLine("mov.l", "@(-32,fp)", "r0"), funcLine("mov.l", "r0", "@-sp"),
      funcLine("bsr", "\\int2r"), funcLine("bsr", "\\div40")}},
    // Integer operands widen by their own signedness before the conversion.
    {"FromInteger",
     "r := i",
     {funcLine("mov.w", "@(-24,fp)", "r0"), funcLine("exts.l", "r0"),
      funcLine("mov.l", "r0", "@-sp"), funcLine("bsr", "\\int2r")}},
    {"FromByte",
     "r := b",
     {funcLine("mov.b", "@(-25,fp)", "r0"), funcLine("and.l", "#255", "r0"),
      funcLine("mov.l", "r0", "@-sp"), funcLine("bsr", "\\int2r")}},
    {"FromWord",
     "r := w",
     {funcLine("mov.w", "@(-28,fp)", "r0"), funcLine("extu.l", "r0"),
      funcLine("mov.l", "r0", "@-sp"), funcLine("bsr", "\\int2r")}},
    {"FromLongInt",
     "r := l",
     {funcLine("mov.l", "@(-32,fp)", "r0"), funcLine("mov.l", "r0", "@-sp"),
      funcLine("bsr", "\\int2r")}},
    // A negated integer is negated at the width the conversion gives it.
    {"FromNegatedInteger",
     "r := -i",
     {funcLine("mov.w", "@(-24,fp)", "r0"), funcLine("neg.w", "r0"), funcLine("exts.l", "r0"),
      funcLine("mov.l", "r0", "@-sp"), funcLine("bsr", "\\int2r")}},
    {"FromNegatedByte",
     "r := -b",
     {funcLine("mov.b", "@(-25,fp)", "r0"), funcLine("and.l", "#255", "r0"),
      funcLine("neg.l", "r0"), funcLine("mov.l", "r0", "@-sp"), funcLine("bsr", "\\int2r")}},
    {"FromNegatedWord",
     "r := -w",
     {funcLine("mov.w", "@(-28,fp)", "r0"), funcLine("extu.l", "r0"), funcLine("neg.l", "r0"),
      funcLine("mov.l", "r0", "@-sp"), funcLine("bsr", "\\int2r")}},
    // A minus sign flips bit 7 of the byte after the exponent, in place on the stack.
    {"NegatedVariable", "r := -x", joined({pushOf("@(-10,fp)"), kFlipSign, storeTo("@(-22,fp)")})},
    {"NegatedSum", "r := -(x + y)",
     joined({{funcLine("bsr", "\\add40")}, kFlipSign, storeTo("@(-22,fp)")})},
    // (The assignment first keeps the result slot apart from the frame's own reservation.)
    {"NegatedFunctionResult", "i := 0; r := -F(x)",
     joined({{funcLine("sub.l", "#6", "sp")},
             pushOf("@(-10,fp)"),
             {funcLine("bsr", "F.3")},
             kFlipSign,
             storeTo("@(-22,fp)")})},
    // Constants: exponent first, then the mantissa from its signed top byte down.
    {"ConstantOne", "r := 1.0",
     joined({{funcLine("bsr", "\\lodri"), funcLine("db", "129,  0,  0,  0,  0,  0")},
             storeTo("@(-22,fp)")})},
    {"NegativeConstant",
     "r := -2.5",
     {funcLine("bsr", "\\lodri"), funcLine("db", "130,160,  0,  0,  0,  0")}},
    {"Zero", "r := 0", {funcLine("bsr", "\\lodri"), funcLine("db", "  0,  0,  0,  0,  0,  0")}},
    // An integer constant in a REAL operation is converted by the compiler.
    {"IntegerConstantOperand", "r := x * 3",
     joined({pushOf("@(-10,fp)"),
             {funcLine("bsr", "\\lodri"), funcLine("db", "130, 64,  0,  0,  0,  0"),
              funcLine("bsr", "\\mul40")}})},
    // Comparisons go to the routine of their operator; the branch skips on "equal".
    {"CompareLess", "IF x < y THEN i := 1",
     joined({pushOf("@(-10,fp)"),
             pushOf("@(-16,fp)"),
             {funcLine("bsr", "\\xlty"), funcLine("beq", "$3")}})},
    {"CompareIntegerWithReal", "IF i >= x THEN i := 1",
     joined(
         {{funcLine("exts.l", "r0"), funcLine("mov.l", "r0", "@-sp"), funcLine("bsr", "\\int2r")},
          pushOf("@(-10,fp)"),
          {funcLine("bsr", "\\xgey")}})},
    {"CompareNotEqual",
     "WHILE x <> 0.5 DO x := x * y",
     {funcLine("bsr", "\\lodri"), funcLine("db", "128,  0,  0,  0,  0,  0"),
      funcLine("bsr", "\\xney")}},
    // TRUNC takes the REAL off the stack into r0.
    {"Trunc",
     "i := TRUNC(x * y)",
     {funcLine("bsr", "\\mul40"), funcLine("bsr", "\\r2int"),
      funcLine("mov.w", "r0", "@(-24,fp)")}},
    // Integer constants take the form of their target.
    {"MinusOneAsWord", "w := -1", {funcLine("mov.w", "#65535", "r0")}},
    {"MinusOneAsInteger", "i := -1", {funcLine("mov.w", "#-1", "r0")}},
    {"LargeLongInt", "l := 100000", {funcLine("mov.l", "#100000", "r0")}},
    // A byte loaded into a register is widened for a word target.
    {"ByteToInteger",
     "i := b",
     {funcLine("mov.b", "@(-25,fp)", "r0"), funcLine("extu.w", "r0"),
      funcLine("mov.w", "r0", "@(-24,fp)")}},
    // A BYTE function returns a word: its result needs no widening.
    {"ByteResultToInteger",
     "i := FB",
     {funcLine("bsr", "FB.4"), funcLine("mov.w", "r0", "@(-24,fp)")}},
};

INSTANTIATE_TEST_SUITE_P(Real, RealSequenceTest, ::testing::ValuesIn(kSequences),
                         [](const auto& info) { return std::string(info.param.name); });

// Sequences that must not be there: a result already on the stack is not loaded again, and
// a value without a minus sign keeps its sign.
TEST(RealSequence, PlainValuesKeepTheirSign) {
  for (const char* body : {"r := x", "r := x + y", "r := F(x)", "r := ABS(x)"}) {
    EXPECT_TRUE(lacksLine(bodyLines({"Plain", "", kVariables, body}), "bnot")) << body;
  }
}

TEST(RealSequence, IntegerConstantTooLargeForAWord) {
  EXPECT_EQ(errorNumberOf({"TooLarge", "", kVariables, "i := 100000"}), 45);
  EXPECT_EQ(errorNumberOf({"FitsLong", "", kVariables, "l := 100000"}), 0);
}

}  // namespace
}  // namespace vorax::testing
