// The case label list: tags of one arm join into ranges, tags of different arms stay
// apart, overlapping tags are refused, and the size estimates pick the dispatch form.
#include "stmt/case_labels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "stmt/case_dispatch.h"

namespace vorax {
namespace {

struct Tag {
  std::int32_t low;
  std::int32_t high;
  const char* arm;
};

struct ListCase {
  const char* name;
  std::vector<Tag> tags;
  std::vector<Tag> expected;  // empty with `collides`
  bool collides = false;      // the last tag is refused
};

void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }

class CaseLabelListTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(CaseLabelListTest, EntersTags) {
  const ListCase& c = GetParam();
  CaseLabelList list;
  for (std::size_t i = 0; i < c.tags.size(); ++i) {
    const Tag& tag = c.tags[i];
    const bool added = list.add(tag.low, tag.high, tag.arm);
    const bool last = i + 1 == c.tags.size();
    EXPECT_EQ(added, !(last && c.collides)) << "tag " << i;
  }
  if (c.collides) {
    return;
  }
  ASSERT_EQ(list.entries().size(), c.expected.size());
  for (std::size_t i = 0; i < c.expected.size(); ++i) {
    EXPECT_EQ(list.entries()[i].low, c.expected[i].low) << i;
    EXPECT_EQ(list.entries()[i].high, c.expected[i].high) << i;
    EXPECT_EQ(list.entries()[i].target, c.expected[i].arm) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Tags, CaseLabelListTest,
    ::testing::Values(
        ListCase{"OneArmRun", {{1, 1, "A"}, {2, 2, "A"}, {3, 3, "A"}}, {{1, 3, "A"}}},
        ListCase{"OneArmRunBackwards", {{3, 3, "A"}, {2, 2, "A"}, {1, 1, "A"}}, {{1, 3, "A"}}},
        ListCase{"GapJoinsBothSides", {{1, 2, "A"}, {4, 5, "A"}, {3, 3, "A"}}, {{1, 5, "A"}}},
        ListCase{"NeighboursOfOtherArms",
                 {{2, 2, "B"}, {1, 1, "A"}, {3, 3, "C"}},
                 {{1, 1, "A"}, {2, 2, "B"}, {3, 3, "C"}}},
        ListCase{"SortedAcrossArms",
                 {{10, 20, "A"}, {-5, -5, "B"}, {30, 30, "C"}, {0, 3, "D"}},
                 {{-5, -5, "B"}, {0, 3, "D"}, {10, 20, "A"}, {30, 30, "C"}}},
        ListCase{"ExtremeValues",
                 {{INT32_MAX, INT32_MAX, "A"}, {INT32_MIN, INT32_MIN, "B"}},
                 {{INT32_MIN, INT32_MIN, "B"}, {INT32_MAX, INT32_MAX, "A"}}},
        ListCase{"RangeOverSingle", {{1, 5, "A"}, {3, 3, "B"}}, {}, true},
        ListCase{"SingleInRange", {{3, 3, "B"}, {1, 5, "A"}}, {}, true},
        ListCase{"SameTagTwice", {{4, 4, "A"}, {4, 4, "A"}}, {}, true},
        ListCase{"OverlapAtTop", {{1, 5, "A"}, {5, 9, "B"}}, {}, true},
        // Growing an entry of the same arm must not swallow the next arm's tag.
        ListCase{"GrowthIntoNextArm", {{1, 1, "A"}, {3, 3, "B"}, {2, 5, "A"}}, {}, true}));

struct CostCase {
  const char* name;
  std::vector<Tag> tags;
  int size;
  std::int64_t chain;
  std::int64_t table;
  CaseDispatchForm form;
};

void PrintTo(const CostCase& c, std::ostream* os) { *os << c.name; }

class DispatchCostTest : public ::testing::TestWithParam<CostCase> {};

TEST_P(DispatchCostTest, ChoosesBySize) {
  const CostCase& c = GetParam();
  CaseLabelList list;
  for (const Tag& tag : c.tags) {
    ASSERT_TRUE(list.add(tag.low, tag.high, tag.arm));
  }
  EXPECT_EQ(compareChainCost(list, c.size), c.chain);
  EXPECT_EQ(jumpTableCost(list), c.table);
  EXPECT_EQ(chooseDispatch(list, c.size), c.form);
}

INSTANTIATE_TEST_SUITE_P(
    Costs, DispatchCostTest,
    ::testing::Values(
        CostCase{"FourSinglesWord",
                 {{1, 1, "A"}, {2, 2, "B"}, {3, 3, "C"}, {4, 4, "D"}},
                 2,
                 32,
                 40,
                 CaseDispatchForm::CompareChain},
        CostCase{"SevenSinglesWord",
                 {{1, 1, "A"},
                  {2, 2, "B"},
                  {3, 3, "C"},
                  {4, 4, "D"},
                  {5, 5, "E"},
                  {6, 6, "F"},
                  {7, 7, "G"}},
                 2,
                 56,
                 52,
                 CaseDispatchForm::JumpTable},
        CostCase{
            "RangesByte", {{0, 3, "A"}, {10, 12, "B"}}, 1, 24, 76, CaseDispatchForm::CompareChain},
        // Equal costs take the table.
        CostCase{"TieLong",
                 {{0, 0, "A"}, {1, 1, "B"}, {2, 2, "C"}, {3, 3, "D"}},
                 4,
                 40,
                 40,
                 CaseDispatchForm::JumpTable},
        CostCase{"WideSpanStaysChain",
                 {{INT32_MIN, INT32_MIN, "A"}, {INT32_MAX, INT32_MAX, "B"}},
                 4,
                 20,
                 (std::int64_t{INT32_MAX} - INT32_MIN) * 4 + 28,
                 CaseDispatchForm::CompareChain}));

TEST(TableEntryText, RightJustifiesShortLabels) {
  EXPECT_EQ(tableEntryText("$5"), "  $5");
  EXPECT_EQ(tableEntryText("$12"), " $12");
  EXPECT_EQ(tableEntryText("$123"), "$123");
  EXPECT_EQ(tableEntryText("PROC.12"), "PROC.12");
}

}  // namespace
}  // namespace vorax
