// The fast local tier asks only the positions a change may concern. Whatever happens to
// the window between two runs (appends, edits of any field, lines removed, inserted or
// moved by the statement passes, the oldest line written out when the window is full)
// it must leave the window exactly as the full rescan does. Two windows take the same
// random steps, one run by each engine.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "asmout/peephole_optimizer.h"
#include "asmout/peephole_window.h"
#include "driver/compilation.h"
#include "support/recording_host.h"
#include "support/window_lines.h"

namespace vorax::testing {
namespace {

// Lines that let most local rules fire: loads and stores of the same places, compares
// and branches to labels that come and go, masks, extensions, pushes and pops, clears.
const std::vector<std::string> kLines = {
    "mov.w @(-2,fp),r0", "mov.w r0,@(-2,fp)", "mov.w r0,@(-4,fp)", "mov.w @(-4,fp),r1",
    "mov.w r1,r0",       "mov.w r0,r1",       "mov.w #5,r0",       "xor.w r0,r0",
    "cmp.w #3,r0",       "cmp.w #9,r0",       "ble $3",            "beq $3",
    "bne $4",            "bra $4",            "$3: nop",           "$4: mov.w r0,@(-2,fp)",
    "and.b #8,r0",       "cmp.b #8,r0",       "and.b #255,r0",     "and.w #65535,r0",
    "and.w #12,r0",      "extu.w r0",         "extu.w r1",         "not.w r0",
    "mov.w @sp+,r2",     "mov.w r2,@-sp",     "inc.w #1,r0",       "mov.b P5DR,r2",
    "btst #2,r2",        "bsr P.4",           "add.w r1,r0",       "mov.w r0,X.1",
    "mov.w X.1,r0",      "mov.w Y.2,r1",      "mov.w r1,Y.2",      "mov.w r1,X.1",
};

class Engine {
 public:
  explicit Engine(bool fullRescan) : compilation_(host_, options(fullRescan)) {
    compilation_.optimizer.setFreeWorkRegisterQuery([](int n) { return n >= 3; });
  }
  PeepholeWindow& window() { return window_; }
  void run() {
    compilation_.optimizer.runLocalTier(window_);
  }

 private:
  static CompileOptions options(bool fullRescan) {
    CompileOptions o;
    o.fullRescanReference = fullRescan;
    return o;
  }
  RecordingHost host_;
  Compilation compilation_;
  PeepholeWindow window_{compilation_.output};
};

class TwoEngines : public ::testing::TestWithParam<unsigned> {
 protected:
  Engine fast{false};
  Engine reference{true};
  std::mt19937 random{GetParam()};

  int pick(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }

  // One random step, taken in both windows alike.
  void step() {
    const int n = fast.window().count();
    const int i = n == 0 ? 0 : pick(n);
    const WindowLine line = parseWindowLine(kLines[static_cast<std::size_t>(pick(static_cast<int>(kLines.size())))]);
    const int kind = n < 8 ? 0 : pick(12);
    for (PeepholeWindow* w : {&fast.window(), &reference.window()}) {
      switch (kind) {
        case 0:
        case 1:
        case 2:
        case 3:
          w->labelUses().countUsesIn(line.source);
          w->append(line);
          break;
        case 4:
          w->setMnemonic(i, line.mnemonic);
          w->setSource(i, line.source);
          w->setDestination(i, line.destination);
          break;
        case 5:
          w->setLabel(i, line.label);
          break;
        case 6:
          w->deleteLine(i);
          break;
        case 7:
          w->removeLine(i);
          break;
        case 8:
          w->insertBefore(i);
          w->setMnemonic(i, line.mnemonic);
          w->setSource(i, line.source);
          break;
        case 9:
          if (i + 2 < n) {
            w->moveLines(i, 2, i > 3 ? i - 3 : n);
          }
          break;
        case 10:
          w->writeOldest();
          break;
        default:
          w->setSource(i, line.source);
          break;
      }
    }
  }
};

TEST_P(TwoEngines, LeaveTheWindowAlikeAfterEveryStep) {
  for (int s = 0; s < 400; ++s) {
    step();
    fast.run();
    reference.run();
    ASSERT_EQ(windowLineTexts(fast.window()), windowLineTexts(reference.window()))
        << "after step " << s;
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, TwoEngines, ::testing::Range(1u, 13u));

}  // namespace
}  // namespace vorax::testing
