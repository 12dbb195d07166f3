// The unused-identifier listing, read back from the assembly file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/source_tree.h"
#include "symbol_test_support.h"

namespace vorax::testing {
namespace {

class UnusedListingTest : public ::testing::Test, public SymbolFixture {
 protected:
  SourceTree tree;

  UnusedListingTest() {
    c.symbols.enterPredefinedEnvironment();
    c.symbols.openScope();
  }

  std::vector<std::string> listing(bool switchOn) {
    c.directives.settings().unusedReportSwitch = switchOn;
    c.output.create(tree.root() / "OUT.asm");
    c.symbols.listUnusedIdentifiers();
    c.emitter.flushWindow();
    c.output.close();
    return tree.readLines("OUT.asm");
  }
};

TEST_F(UnusedListingTest, ListsUnusedEntriesWithTheirTagsInPostOrder) {
  // Tree: M with C (A below) on the left and X on the right; visited A, C, X, M.
  declare("M", IdentKind::FrameVariable, 12);
  declare("C", IdentKind::Constant, 7);
  declare("X", IdentKind::Function, 30);
  declare("A", IdentKind::Parameter, 4);
  EXPECT_EQ(listing(true), (std::vector<std::string>{";#UNUSED PRM: A.4", ";#UNUSED CST: C.7",
                                                     ";#UNUSED FUN: X.30", ";#UNUSED VAR: M.12"}));
  EXPECT_EQ(c.diagnostics.warningCount(), 4);
}

TEST_F(UnusedListingTest, TagsByKindAndKindsNeverListed) {
  struct Case {
    const char* name;
    IdentKind kind;
  };
  for (const Case& example :
       {Case{"AFIELD", IdentKind::Field}, Case{"BPROC", IdentKind::Procedure},
        Case{"CINT", IdentKind::InterruptProcedure}, Case{"DTYPE", IdentKind::Type},
        Case{"ETYPED", IdentKind::TypedConstant}, Case{"FEXT", IdentKind::ExternalTypedConstant},
        Case{"GFIXED", IdentKind::FixedVariable}, Case{"HDEV", IdentKind::Device}}) {
    declare(example.name, example.kind, 9);
  }
  // Entered in name order, so the tree is a right-leaning chain listed from its end.
  EXPECT_EQ(listing(true),
            (std::vector<std::string>{";#UNUSED PRC: CINT.9", ";#UNUSED PRC: BPROC.9",
                                      ";#UNUSED FLD: AFIELD.9"}));
  EXPECT_EQ(c.diagnostics.warningCount(), 3);
}

TEST_F(UnusedListingTest, UsedAndPredefinedEntriesAreNotListed) {
  declare("COUNT", IdentKind::FrameVariable, 12);
  declare("TOTAL", IdentKind::FrameVariable, 13);
  declare("STACK", IdentKind::Constant, 0);  // line 0: entered by the compiler itself
  (void)c.symbols.lookupName("TOTAL", kinds::kVariable);
  EXPECT_EQ(listing(true), (std::vector<std::string>{";#UNUSED VAR: COUNT.12"}));
}

TEST_F(UnusedListingTest, NothingWithoutTheSwitch) {
  declare("COUNT", IdentKind::FrameVariable, 12);
  EXPECT_TRUE(listing(false).empty());
  EXPECT_EQ(c.diagnostics.warningCount(), 0);
}

}  // namespace
}  // namespace vorax::testing
