// The line operations the peephole rules added to the window: label redirection, moving
// runs of lines, and use counting for merged data lists.
#include "peephole_fixture.h"

namespace vorax::testing {
namespace {

class WindowOperations : public ::testing::Test, public PeepholeFixture {};

using Lines = std::vector<std::string>;

TEST_F(WindowOperations, RedirectReplacesWholeItemsOnly) {
  loadWindow(window(), {"bra $3", "dl $3,$30", "bne $30", "$3: nop", "$30: nop", "$9: nop"});
  window().redirectLabel("$3", "$9");
  EXPECT_EQ(windowLineTexts(window()),
            (Lines{"bra $9", "dl $9,$30", "bne $30", "$3: nop", "$30: nop", "$9: nop"}));
  EXPECT_EQ(window().labelUses().uses("$3"), 0);
  EXPECT_EQ(window().labelUses().uses("$9"), 2);
  EXPECT_EQ(window().labelUses().uses("$30"), 2);
}

TEST_F(WindowOperations, DeletedDataListGivesUpEveryUse) {
  loadWindow(window(), {"$2: dl $3,$4", "$3: nop", "$4: nop"});
  window().deleteLine(0);
  EXPECT_EQ(window().labelUses().uses("$3"), 0);
  EXPECT_EQ(window().labelUses().uses("$4"), 0);
  EXPECT_EQ(windowLineTexts(window())[0], "$2: nop");
}

TEST_F(WindowOperations, MoveLinesForwardAndBack) {
  loadWindow(window(), {"a1", "a2", "b1", "b2", "c1"});
  window().moveLines(2, 2, 1);  // b1 b2 before a2
  EXPECT_EQ(windowLineTexts(window()), (Lines{"a1", "b1", "b2", "a2", "c1"}));
  window().moveLines(1, 2, 4);  // back before c1
  EXPECT_EQ(windowLineTexts(window()), (Lines{"a1", "a2", "b1", "b2", "c1"}));
}

TEST_F(WindowOperations, FindLabel) {
  loadWindow(window(), {"nop", "$5: nop"});
  EXPECT_EQ(window().findLabel("$5"), 1);
  EXPECT_EQ(window().findLabel("$6"), -1);
  EXPECT_EQ(window().findLabel(""), -1);
}

}  // namespace
}  // namespace vorax::testing
