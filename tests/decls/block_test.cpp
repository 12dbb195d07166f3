// Program and unit structure: declaration parts in any order, the unit sections, the
// unused-identifier listing and constant expressions in the memory directive.
#include <gtest/gtest.h>

#include "decl_test_support.h"

namespace vorax::testing {
namespace {

TEST(BlockTest, SectionsRepeatInAnyOrder) {
  const SourceTree tree;
  const CompileResult result =
      compileSource(tree,
                    "{$M $8000,$FF00}{$C-}PROGRAM P;\nTYPE T = BYTE;\nVAR A: T;\nCONST K = 3;\nVAR "
                    "B: ARRAY[1..K] OF T;\nTYPE U = INTEGER;\nCONST L: U = K;\nBEGIN\nEND.\n");
  EXPECT_TRUE(result.host.errors.empty());
  EXPECT_TRUE(containsSequence(
      result.lines, {"A\t\tequ\t\\stack-17", "B\t\tequ\t\\stack-20", "\\L:\tdw\th'0003"}));
}

TEST(BlockTest, EmptyUnitCompiles) {
  const SourceTree tree;
  const CompileResult result = compileSource(tree, "UNIT U; INTERFACE IMPLEMENTATION END.\n");
  EXPECT_TRUE(result.host.errors.empty());
  EXPECT_FALSE(result.lines.empty());
}

TEST(BlockTest, UnitSectionsTakeConstantsAndTypes) {
  const SourceTree tree;
  const CompileResult result = compileSource(
      tree,
      "{$C-}UNIT IO;\nINTERFACE\nCONST N = 4;\nTYPE BUF = ARRAY[1..N] OF BYTE;\nVAR B: BUF;\n"
      "IMPLEMENTATION\nCONST T: BUF = (1, 2, 3, 4);\nVAR C: BYTE;\nEND.\n");
  EXPECT_TRUE(result.host.errors.empty());
  EXPECT_TRUE(containsSequence(result.lines, {"B\t\tequ\tIO.WORK"}));
  EXPECT_TRUE(containsSequence(result.lines, {"\\T:\tdb\t  1,  2,  3,  4"}));
  EXPECT_TRUE(containsSequence(result.lines, {"C\t\tequ\tIO.WORK+4"}));
}

// Unused identifiers of the program's level are listed, each raising the warning count.
TEST(BlockTest, UnusedIdentifiersAreListed) {
  const SourceTree tree;
  const CompileResult result = compileSource(
      tree,
      "{$M $8000,$FF00}{$U+}{$C-}PROGRAM P;\nCONST K = 5;\nVAR COUNT: INTEGER;\nUSED: "
      "BYTE;\nTYPE T = INTEGER;\nCONST X: BYTE = SIZEOF(T); Q: ^BYTE = @USED;\nBEGIN\nEND.\n");
  EXPECT_TRUE(result.host.errors.empty());
  EXPECT_TRUE(containsSequence(result.lines, {";#UNUSED CST: K.2"}));
  EXPECT_TRUE(containsSequence(result.lines, {";#UNUSED VAR: COUNT.3"}));
  for (const std::string& line : result.lines) {
    EXPECT_EQ(line.find("USED."), std::string::npos) << line;  // USED was read
    EXPECT_EQ(line.find(": T."), std::string::npos) << line;   // types are never listed
  }
  EXPECT_TRUE(containsSequence(result.lines, {"; (# Warning) 2"}));
}

TEST(BlockTest, MemoryDirectiveValuesAreConstantExpressions) {
  const std::vector<std::string> lines =
      compileLines("{$M $8000 + 2 * $100, $10000 - $100, 0}\nPROGRAM P;\nBEGIN\nEND.\n");
  EXPECT_TRUE(containsSequence(lines, {"\\ram\tequ\th'00008200", "\\stack\tequ\th'0000ff00"}));
}

TEST(BlockTest, StackConstantIsKnownAfterTheDirective) {
  const std::vector<std::string> lines =
      compileLines("{$M $8000,$FF00}{$C-}PROGRAM P;\nCONST S: LONGINT = STACK;\nBEGIN\nEND.\n");
  EXPECT_TRUE(containsSequence(lines, {"\\S:\tdl\th'0000ff00"}));
}

}  // namespace
}  // namespace vorax::testing
