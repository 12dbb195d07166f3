// The window's indexes answer what a walk over the window would: where a label stands,
// which lines name it, where an instruction stood last, which lines write a register,
// call or carry a join label. Checked against such walks after every step of random edits,
// including the structural ones that move positions (insert, remove, move, the oldest
// line going out).
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "asmout/output_file.h"
#include "asmout/peephole_text.h"
#include "asmout/peephole_window.h"
#include "support/window_lines.h"

namespace vorax::testing {
namespace {

struct NamingCase {
  const char* text;
  const char* label;
};

// The name index files an operand under items that a label matches exactly when
// namesLabel finds the label in the text.
TEST(WindowIndexes, LabelItemsAgreeWithNamesLabel) {
  const NamingCase cases[] = {
      {"$3", "$3"},     {"$3,$30", "$3"},  {"$3,$30", "$30"}, {"  $3", "$3"},   {"@5", "@5"},
      {"x@5", "@5"},    {"@@5", "@5"},     {"#$3", "$3"},     {"$3+2", "$3"},   {"L$3", "$3"},
      {"$3$4", "$3"},   {"@(4,fp)", "@4"}, {"@5x", "@5"},     {"#12", "#12"},   {"a,#12", "#12"},
      {"$3.x", "$3"},   {"#12", "#1"},     {"$31", "$3"},     {"@(@5,r1)", "@5"}, {"", "$3"},
  };
  for (const NamingCase& c : cases) {
    ASSERT_TRUE(WindowIndexes::isIndexedLabel(c.label)) << c.label;
    std::vector<std::string> items;
    WindowIndexes::labelItems(c.text, items);
    const bool filed = std::find(items.begin(), items.end(), c.label) != items.end();
    EXPECT_EQ(filed, peephole::namesLabel(c.text, c.label)) << c.text << " / " << c.label;
  }
  EXPECT_FALSE(WindowIndexes::isIndexedLabel("L1"));
  EXPECT_FALSE(WindowIndexes::isIndexedLabel("@"));
  EXPECT_FALSE(WindowIndexes::isIndexedLabel("$3+1"));
}

const std::vector<std::string> kLines = {
    "mov.w r0,@(-2,fp)", "mov.w @(-2,fp),r0", "mov.w r1,r2",      "bra $3",   "beq $4",
    "$3: nop",           "$4: cmp.w #3,r0",   "@7: bcx @7",        "bsr P.4",  "jsr @r1",
    "extu.w r3",         "dl $3,$4",          "L9: mov.l #1,r4",   "xor.w r5,r5", "mov.w r2,@-sp",
};

class IndexedWindow : public ::testing::Test {
 protected:
  OutputFile output;
  PeepholeWindow window{output};
  std::mt19937 random{7};

  int pick(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }
  WindowLine line() { return parseWindowLine(kLines[static_cast<std::size_t>(pick(static_cast<int>(kLines.size())))]); }

  void step() {
    const int n = window.count();
    const int i = n == 0 ? 0 : pick(n);
    switch (n == 0 ? 0 : pick(9)) {
      case 0:
      case 1:
        window.append(line());
        break;
      case 2: {
        const WindowLine l = line();
        window.setMnemonic(i, l.mnemonic);
        window.setSource(i, l.source);
        window.setDestination(i, l.destination);
        break;
      }
      case 3:
        window.setLabel(i, pick(3) == 0 ? "" : "$" + std::to_string(pick(5) + 2));
        break;
      case 4:
        window.deleteLine(i);
        break;
      case 5:
        window.removeLine(i);
        break;
      case 6:
        window.insertBefore(i);
        break;
      case 7:
        if (n >= 4) {
          const int first = pick(n - 1);
          const int length = 1 + pick(std::min(3, n - first - 1));
          int before = pick(n + 1);
          if (before < first || before > first + length) {
            window.moveLines(first, length, before);
          }
        }
        break;
      default:
        window.writeOldest();
        break;
    }
  }

  void expectIndexesMatchTheLines() {
    const int n = window.count();
    for (const char* label : {"$2", "$3", "$4", "$5", "@7", "L9"}) {
      int first = -1;
      int last = -1;
      int naming = 0;
      for (int i = 0; i < n; ++i) {
        if (window[i].label == label) {
          last = i;
          first = first < 0 ? i : first;
        }
        naming += peephole::namesLabel(window[i].source, label) ||
                          peephole::namesLabel(window[i].destination, label)
                      ? 1
                      : 0;
      }
      EXPECT_EQ(window.findLabel(label), first) << label;
      EXPECT_EQ(window.findLabelFromNewest(label), last) << label;
      EXPECT_EQ(window.labelNamedElsewhere(label, -1), naming > 0) << label;
    }
    for (int a = 0; a < n; ++a) {
      int same = -1;
      for (int j = a - 1; j >= 0 && same < 0; --j) {
        if (peephole::sameInstruction(window[j], window[a])) same = j;
      }
      EXPECT_EQ(window.findInstructionBefore(a, window[a].decoded.texts), same) << "at " << a;
    }
    const WindowIndexes& indexes = window.indexes();
    for (int reg = 0; reg < 6; ++reg) {
      const std::string name = "r" + std::to_string(reg);
      std::int64_t newest = -1;
      for (int i = 0; i < n; ++i) {
        const WindowLine& l = window[i];
        if (l.destination == name || (l.destination.empty() && l.source == name)) {
          newest = window.absolutePosition(i);
        }
      }
      EXPECT_EQ(indexes.writersOf(reg).newest(), newest) << name;
    }
    std::int64_t call = -1;
    std::int64_t join = -1;
    for (int i = 0; i < n; ++i) {
      if (window[i].mnemonic == "bsr" || window[i].mnemonic == "jsr") call = window.absolutePosition(i);
      if (!window[i].label.empty() && window[i].label[0] != '@') join = window.absolutePosition(i);
    }
    EXPECT_EQ(indexes.calls().newest(), call);
    EXPECT_EQ(indexes.joins().newest(), join);
  }
};

TEST_F(IndexedWindow, AnswersLikeAWalkAfterEveryEdit) {
  for (int s = 0; s < 600; ++s) {
    step();
    expectIndexesMatchTheLines();
    if (HasFailure()) {
      FAIL() << "after step " << s;
    }
  }
}

TEST_F(IndexedWindow, RedirectingALabelRewritesOnlyWholeItems) {
  loadWindow(window, {"bra $3", "dl $3,$30"});
  WindowLine padded;  // a jump table item right-justified in its field
  padded.mnemonic = "dl";
  padded.source = "   $3";
  window.labelUses().countUsesIn(padded.source);
  window.append(padded);
  loadWindow(window, {"mov.w $3+2,r0", "$3: nop"});
  window.redirectLabel("$3", "$12");
  EXPECT_EQ(windowLineTexts(window), (std::vector<std::string>{"bra $12", "dl $12,$30", "dl   $12",
                                                               "mov.w $3+2,r0", "$3: nop"}));
  EXPECT_EQ(window.labelUses().uses("$12"), 3);
  EXPECT_EQ(window.labelUses().uses("$3"), 0);
  EXPECT_TRUE(window.labelNamedElsewhere("$3", -1));  // "$3+2" still names it
  EXPECT_EQ(window.linesNaming("$12"), (std::vector<int>{0, 1, 2}));
}

}  // namespace
}  // namespace vorax::testing
