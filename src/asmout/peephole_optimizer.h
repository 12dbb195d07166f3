// The peephole optimizer's entry points, called by the emit pipeline: the local tier
// after every append, the clear-register rule on the newest line, and the block tier
// before the window is written out. The rules themselves live in peephole_*.cpp; the
// order they run in is the tables of peephole_optimizer.cpp.
#pragma once

#include <functional>
#include <span>
#include <string_view>

#include "asmout/peephole_incremental.h"
#include "asmout/peephole_rules.h"
#include "asmout/peephole_statistics.h"

namespace vorax {

class Compilation;
class PeepholeWindow;

class PeepholeOptimizer {
 public:
  explicit PeepholeOptimizer(Compilation& compilation);

  // The local rules, newest line first, to their fixed point.
  void runLocalTier(PeepholeWindow& window);
  // Drops a register clear on the newest line when the register is known to be zero.
  void runClearRegisterRule(PeepholeWindow& window);
  // The block passes, repeated until the line count stays the same (only while more than
  // three lines wait).
  void runBlockTier(PeepholeWindow& window);

  // Whether the routine being compiled stored into its WITH slots: then the block tier
  // keeps the temporary area of its frame. The routine code sets it at entry and at the
  // first slot store.
  void setWithSlotsUsed(bool used) { context_.withSlotsUsed = used; }
  [[nodiscard]] bool withSlotsUsed() const { return context_.withSlotsUsed; }
  // Lets a rule borrow a scratch register: `isFree(n)` tells whether work register rN is
  // free for the code generators at the newest line. By default the register pool of the
  // compilation answers; tests put their own answer here.
  void setFreeWorkRegisterQuery(std::function<bool(int)> isFree);
  // Where new local label numbers come from (by default the emit pipeline's counter).
  void setLabelNumberSource(std::function<int()> next);
  // The places that may share their address with others; the declarations add to them.
  SharedPlaces& sharedPlaces() { return sharedPlaces_; }
  [[nodiscard]] const SharedPlaces& sharedPlaces() const { return sharedPlaces_; }

  // The register-move pass at every position from `first` to the newest line but one: a
  // FOR statement tidies its own loop with it before it looks for free registers.
  // Returns how many times it fired; nothing runs while the block passes are off.
  int runRegisterMoveFrom(PeepholeWindow& window, int first);

  // Runs one rule alone, by id: a local rule at the first position (newest first) where it
  // fires; a block pass once over the window. Returns whether it changed anything. For
  // tests and for isolating a suspected rule.
  bool runSingleRule(std::string_view id, PeepholeWindow& window);

  // Every rule id, local tier first, then the clear-register rule, then the block tier in
  // the order it runs.
  static std::span<const std::string_view> ruleIds();
  [[nodiscard]] const RuleStatistics& statistics() const { return *statistics_; }

 private:
  void prepare(PeepholeWindow& window);
  void runLocalRules();
  void runLocalRulesByFullRescan();
  IncrementalLocalTier::Answer askLocalRules(int a);
  void runBlockSequence();
  void count(std::string_view id, std::int64_t times);
  [[nodiscard]] bool workRegisterFree(int number) const;

  Compilation& compilation_;
  SharedPlaces sharedPlaces_;
  peephole::RuleContext context_;
  RuleStatistics ownStatistics_;
  RuleStatistics* statistics_;
  IncrementalLocalTier incremental_;
  bool lastCpu2000_ = false;
};

}  // namespace vorax
