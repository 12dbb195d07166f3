// Sources nested without end (parentheses, types inside types, statements inside
// statements) are refused with error 98 instead of exhausting the stack; nesting of a
// sensible depth still compiles.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "driver/compilation.h"
#include "support/source_tree.h"

namespace vorax::testing {
namespace {

std::string repeated(const std::string& text, int count) {
  std::string result;
  for (int i = 0; i < count; ++i) {
    result += text;
  }
  return result;
}

struct Outcome {
  int number = 0;  // 0: compiled
  int line = 0;
};

// The nesting limit is the parser's: the optimizer, whose work grows fast with a deep
// statement's lines, is left out to keep these tests quick.
Outcome compileOutcome(const std::string& source) {
  SourceTree tree;
  CompileOptions withoutOptimizer;
  withoutOptimizer.localTier = false;
  withoutOptimizer.blockTier = false;
  const auto result = compileSource(tree, source, "DEEP.PAS", withoutOptimizer);
  if (result.host.errors.empty()) {
    return {};
  }
  return {result.host.errors[0].number, result.host.errors[0].lineNumber};
}

int errorOf(const std::string& source) { return compileOutcome(source).number; }

TEST(DeepNesting, EndlessNestingIsError98) {
  const int endless = 100000;
  EXPECT_EQ(errorOf("{$M 1+" + repeated("(\n", endless) + "}\nPROGRAM P; BEGIN END."), 98);
  EXPECT_EQ(errorOf("PROGRAM P; CONST A = " + repeated("(\n", endless) + "1;\nBEGIN END."), 98);
  // A chain of operators builds a tree as deep as it is long.
  EXPECT_EQ(errorOf("PROGRAM P; CONST A = 1" + repeated("+1\n", endless) + ";\nBEGIN END."), 98);
  EXPECT_EQ(errorOf("PROGRAM P; CONST A = 1" + repeated("*1\n", endless) + ";\nBEGIN END."), 98);
  EXPECT_EQ(
      errorOf("PROGRAM P; TYPE T = " + repeated("ARRAY[1..2] OF\n", endless) + "BYTE;\nBEGIN END."),
      98);
  // Statements inside statements recurse like expressions do.
  EXPECT_EQ(errorOf("PROGRAM P;\nBEGIN\n" + repeated("BEGIN\n", 200000) + "END."), 98);
  EXPECT_EQ(errorOf("PROGRAM P;\nVAR B: BOOLEAN;\nBEGIN\n" + repeated("IF B THEN\n", 200000) +
                    "END."),
            98);
  EXPECT_EQ(errorOf("PROGRAM P;\nBEGIN\n" + repeated("REPEAT\n", 200000) + "END."), 98);
  EXPECT_EQ(errorOf("PROGRAM P;\nVAR B: BOOLEAN;\nBEGIN\nIF B THEN\n" +
                    repeated("ELSE IF B THEN\n", 200000) + "END."),
            98);
}

TEST(DeepNesting, ModerateNestingCompiles) {
  EXPECT_EQ(errorOf("{$M 0+" + repeated("(", 100) + "$8000" + repeated(")", 100) +
                    "}\nPROGRAM P; BEGIN END."),
            0);
  EXPECT_EQ(errorOf("PROGRAM P; CONST A = 1" + repeated("+1\n", 1000) + ";\nBEGIN END."), 0);
  EXPECT_EQ(errorOf("PROGRAM P; TYPE T = " + repeated("ARRAY[1..2] OF\n", 8) + "BYTE;\nBEGIN END."),
            0);
}

// Every recursive construct takes one level of the one nesting budget, and so does the
// expression or type inside the innermost one. Each source below nests its construct n
// times, one per line; `limit` is the deepest that compiles, and one more is error 98 on
// the line where the level past the budget begins.
struct NestedConstruct {
  const char* name;
  std::function<std::string(int n)> source;
  int limit;
  std::function<int(int n)> errorLine;  // for n = limit + 1
};

constexpr int kBudget = Compilation::kMaxParseNesting;

std::string variantParts(int n) {
  return "PROGRAM P;\nTYPE T = RECORD\n" + repeated("CASE BYTE OF 1: (\n", n) +
         repeated(")\n", n) + "END;\nBEGIN\nEND.\n";
}

std::string typedConstant(int n) {
  // Named types nest without nesting the source; the constant's value nests n deep.
  std::string source = "PROGRAM P;\nTYPE T0 = BYTE;\n";
  for (int i = 1; i <= n; ++i) {
    source += "T" + std::to_string(i) + " = ARRAY[1..1] OF T" + std::to_string(i - 1) + ";\n";
  }
  return source + "CONST C: T" + std::to_string(n) + " =\n" + repeated("(\n", n) + "5\n" +
         repeated(")", n) + ";\nBEGIN\nEND.\n";
}

const NestedConstruct kConstructs[] = {
    // The innermost BEGIN holds the empty statement, which is no level.
    {"Begin",
     [](int n) { return "PROGRAM P;\nBEGIN\n" + repeated("BEGIN\n", n) + repeated("END;\n", n) +
                        "END.\n"; },
     kBudget, [](int n) { return 2 + n; }},
    // The condition of the innermost one is a level of its own.
    {"If",
     [](int n) { return "PROGRAM P;\nVAR B: BOOLEAN;\nBEGIN\n" + repeated("IF B THEN\n", n) +
                        "END.\n"; },
     kBudget - 1, [](int n) { return 3 + n; }},
    {"While",
     [](int n) { return "PROGRAM P;\nVAR B: BOOLEAN;\nBEGIN\n" + repeated("WHILE B DO\n", n) +
                        "END.\n"; },
     kBudget - 1, [](int n) { return 3 + n; }},
    // The innermost UNTIL's condition is the first thing past the budget.
    {"Repeat",
     [](int n) { return "PROGRAM P;\nVAR B: BOOLEAN;\nBEGIN\n" + repeated("REPEAT\n", n) +
                        repeated("UNTIL B;\n", n) + "END.\n"; },
     kBudget - 1, [](int n) { return 3 + n + 1; }},
    {"For",
     [](int n) { return "PROGRAM P;\nVAR I: INTEGER;\nBEGIN\n" +
                        repeated("FOR I := 1 TO 2 DO\n", n) + "END.\n"; },
     kBudget - 1, [](int n) { return 3 + n; }},
    {"Case",
     [](int n) { return "PROGRAM P;\nVAR I: INTEGER;\nBEGIN\n" + repeated("CASE I OF 1:\n", n) +
                        repeated("END;\n", n) + "END.\n"; },
     kBudget - 1, [](int n) { return 3 + n; }},
    // ELSE IF links are a chain, not nesting: they have a longer limit of their own.
    {"ElseIfChain",
     [](int n) { return "PROGRAM P;\nVAR I: INTEGER;\nBEGIN\nIF I = 0 THEN I := 1\n" +
                        repeated("ELSE IF I = 0 THEN I := 1\n", n) + "END.\n"; },
     Compilation::kMaxElseIfChain, [](int n) { return 4 + n; }},
    // RECORD A: RECORD A: ... BYTE END END: the innermost type is a level too.
    {"Record",
     [](int n) { return "PROGRAM P;\nTYPE T =\n" + repeated("RECORD A:\n", n) + "BYTE\n" +
                        repeated("END\n", n) + ";\nBEGIN\nEND.\n"; },
     kBudget - 1, [](int n) { return 2 + n + 1; }},
    // The record, its variant parts, and the label of the innermost variant.
    {"VariantPart", variantParts, kBudget - 2, [](int n) { return 2 + n; }},
    // One level per array, one for the element and one for its value's expression.
    {"TypedConstant", typedConstant, kBudget - 2, [](int n) { return 4 + 2 * n; }},
};

class NestedConstructTest : public ::testing::TestWithParam<NestedConstruct> {};

TEST_P(NestedConstructTest, CompilesAtTheLimitAndIsError98OneLevelDeeper) {
  const NestedConstruct& construct = GetParam();
  EXPECT_EQ(compileOutcome(construct.source(construct.limit)).number, 0);
  const int past = construct.limit + 1;
  const Outcome outcome = compileOutcome(construct.source(past));
  EXPECT_EQ(outcome.number, 98);
  EXPECT_EQ(outcome.line, construct.errorLine(past));
}

INSTANTIATE_TEST_SUITE_P(Constructs, NestedConstructTest, ::testing::ValuesIn(kConstructs),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax::testing
