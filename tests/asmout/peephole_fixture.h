// Shared set-up of the peephole rule tests: a compilation with a window that is not
// written anywhere, and a table form for "lines in -> lines out" cases.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "asmout/peephole_optimizer.h"
#include "asmout/peephole_window.h"
#include "driver/compilation.h"
#include "support/recording_host.h"
#include "support/window_lines.h"

namespace vorax::testing {

struct RuleCase {
  std::string name;
  std::string rule;  // rule id; empty runs a whole tier (see the test)
  std::vector<std::string> in;
  std::vector<std::string> out;  // the same as `in` when the rule must not fire
  std::vector<std::pair<std::string, int>> uses = {};  // label use counts afterwards
  bool cpu2000 = false;
  bool registersFree = true;   // the code generators hold no work register
  bool withSlotsUsed = false;  // the routine stored into its WITH slots
  // Names that may lie at another place's address (ABSOLUTE, EXTERNAL variables).
  std::vector<std::string> sharedPlaces = {};
};

// The case with `names` declared as places that may share their address.
inline RuleCase sharing(std::vector<std::string> names, RuleCase c) {
  c.sharedPlaces = std::move(names);
  return c;
}

inline std::ostream& operator<<(std::ostream& stream, const RuleCase& c) {
  return stream << c.name;
}

inline std::string caseName(const ::testing::TestParamInfo<RuleCase>& info) {
  std::string name = info.param.name;
  for (char& c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  }
  return name;
}

class PeepholeFixture {
 public:
  PeepholeFixture() {
    compilation_.optimizer.setFreeWorkRegisterQuery([this](int) { return registersFree; });
  }

  PeepholeOptimizer& optimizer() { return compilation_.optimizer; }
  PeepholeWindow& window() { return window_; }
  Compilation& compilation() { return compilation_; }

  void load(const RuleCase& c) {
    registersFree = c.registersFree;
    compilation_.directives.settings().cpu2000 = c.cpu2000;
    compilation_.directives.settings().cpu300H = !c.cpu2000;
    compilation_.optimizer.setWithSlotsUsed(c.withSlotsUsed);
    for (const std::string& name : c.sharedPlaces) {
      compilation_.optimizer.sharedPlaces().add(name);
    }
    loadWindow(window_, c.in);
  }

  // Runs the case's rule alone and checks lines, whether it fired, and label uses.
  void check(const RuleCase& c) {
    load(c);
    const bool fired = optimizer().runSingleRule(c.rule, window_);
    EXPECT_EQ(windowLineTexts(window_), c.out);
    EXPECT_EQ(fired, c.in != c.out);
    checkUses(c);
  }

  void checkUses(const RuleCase& c) {
    for (const auto& [label, count] : c.uses) {
      EXPECT_EQ(window_.labelUses().uses(label), count) << "uses of " << label;
    }
  }

  bool registersFree = true;

 private:
  RecordingHost host_;
  Compilation compilation_{host_, CompileOptions{}};
  PeepholeWindow window_{compilation_.output};
};

}  // namespace vorax::testing
