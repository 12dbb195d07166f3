// Sources nested without end (parentheses, types inside types) are refused with error 98
// instead of exhausting the stack; nesting of a sensible depth still compiles.
#include <gtest/gtest.h>

#include <string>

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

int errorOf(const std::string& source) {
  SourceTree tree;
  const auto result = compileSource(tree, source, "DEEP.PAS");
  return result.host.errors.empty() ? 0 : result.host.errors[0].number;
}

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
}

TEST(DeepNesting, ModerateNestingCompiles) {
  EXPECT_EQ(errorOf("{$M 0+" + repeated("(", 100) + "$8000" + repeated(")", 100) +
                    "}\nPROGRAM P; BEGIN END."),
            0);
  EXPECT_EQ(errorOf("PROGRAM P; CONST A = 1" + repeated("+1\n", 1000) + ";\nBEGIN END."), 0);
  EXPECT_EQ(errorOf("PROGRAM P; TYPE T = " + repeated("ARRAY[1..2] OF\n", 8) + "BYTE;\nBEGIN END."),
            0);
}

}  // namespace
}  // namespace vorax::testing
