// The order of the peephole rules, one table per tier, and the loops that run them.
#include "asmout/peephole_optimizer.h"

#include <algorithm>
#include <array>
#include <utility>

#include "driver/compilation.h"

namespace vorax {
namespace {

using namespace peephole;

struct LocalRuleEntry {
  std::string_view id;
  LocalRule rule;
};

// Tried in this order at each position, newest line first.
constexpr std::array<LocalRuleEntry, 21> kLocalRules = {{
    {"L01", reverseMove},
    {"L02", deadResultBeforeLoad},
    {"L03", duplicateLoadBeforeBranch},
    {"L04", popThenPush},
    {"L05", deadUnaryOperation},
    {"L06", repeatedStore},
    {"L07", maskTestIntoBranch},
    {"L08", byteMask},
    {"L09", wordMask},
    {"L10", maskMerging},
    {"L11", sixLineExchange},
    {"L12", unreachableLine},
    {"L13", branchOverBranch},
    {"L14", compareWithoutBranch},
    {"L15", repeatedCompare},
    {"L16", rangeTestFolding},
    {"L17", branchToNextLine},
    {"L18", bitTestFromMask},
    {"L19", bitTestOfLoadedByte},
    {"L20", repeatedExtension},
    {"L21", knownFlags},
}};

constexpr std::string_view kClearRegisterId = "L-clear";

struct PositionRuleEntry {
  std::string_view id;
  PositionRule rule;
};

// Run together at each position from 2 to the newest but one.
constexpr std::array<PositionRuleEntry, 5> kRegisterPasses = {{
    {"R-slotfwd", frameSlotForwarding},
    {"R-slotload", frameSlotReload},
    {"R-clear", repeatedClear},
    {"R-load", repeatedLoad},
    {"R-move", registerMove},
}};

enum class StepKind {
  Whole,          // the pass walks the window itself
  SweepDown,      // the rule is tried at each position from `last` down to `first`
  SweepUp,        // ... from `first` up to `last`
  RegisterGroup,  // the register passes, together at each position
  LocalTier,      // the local tier once more
};

struct BlockStep {
  std::string_view id;
  StepKind kind;
  WholePass whole = nullptr;
  PositionRule rule = nullptr;
  int first = 0;           // lowest position
  int lastFromNewest = 0;  // highest position, counted back from the newest line
};

constexpr std::string_view kStackReservationId = "B-stack";

// One sequence of the block tier; it repeats until the line count stays the same.
constexpr BlockStep kBlockSequence[] = {
    {"B-labels", StepKind::Whole, unusedLocalLabels},
    {"", StepKind::RegisterGroup, nullptr, nullptr, 2, 1},
    {"J-labelbra", StepKind::SweepDown, nullptr, labelledBranch, 3, 0},
    {"J-condbra", StepKind::SweepDown, nullptr, branchAfterConditionalBranch, 3, 0},
    {"J-cmpbeq", StepKind::SweepDown, nullptr, compareChainBeforeBranch, 3, 0},
    {"J-known", StepKind::SweepDown, nullptr, knownValueCopy, 3, 0},
    {"J-pushcmp", StepKind::SweepUp, nullptr, reloadBeforePushedCompare, 3, 0},
    {"J-runmove", StepKind::SweepUp, nullptr, moveRunToItsBranch, 3, 0},
    {"J-runmerge", StepKind::SweepUp, nullptr, mergeRunsBeforeBranch, 3, 0},
    {"J-cross", StepKind::SweepUp, nullptr, oneLineCrossJump, 3, 0},
    {"", StepKind::LocalTier},
    {"F-leaf", StepKind::Whole, leafRoutineFrame},
    {"F-result", StepKind::Whole, resultSlotIntoRegister},
    {"F-fnleaf", StepKind::Whole, leafFunctionFrame},
    {"F-fwdleaf", StepKind::Whole, leafInlineEntryFrame},
    {"F-release", StepKind::Whole, stackAdjustBeforeFrameRelease},
    {"C-push", StepKind::SweepDown, nullptr, pushBeforeCall, 3, 0},
    {"C-loadcall", StepKind::SweepUp, nullptr, loadBeforeCall, 3, 2},
    {"C-storeload", StepKind::SweepUp, nullptr, storeAndReload, 3, 0},
    {"C-storebranch", StepKind::SweepUp, nullptr, storeBeforeBranch, 3, 0},
    {"C-reuse", StepKind::SweepUp, nullptr, registerReuse, 1, 2},
    {"C-deadstore", StepKind::Whole, deadStoreAtFrameRelease},
    {"C-extu", StepKind::SweepDown, nullptr, longExtension, 4, 0},
    {"B-shift", StepKind::SweepUp, nullptr, shiftPair, 0, 1},
    {"B-finaljump", StepKind::Whole, finalJump},
    {"B-nop", StepKind::Whole, nopRemoval},
};

constexpr std::size_t countNamedSteps() {
  std::size_t n = 0;
  for (const auto& step : kBlockSequence) {
    n += step.id.empty() ? 0 : 1;
  }
  return n;
}

// The local rules, the clear-register rule, the stack-reservation adjustment, the
// register passes and every named step of the sequence.
constexpr std::size_t kAllRuleCount =
    kLocalRules.size() + 2 + kRegisterPasses.size() + countNamedSteps();

constexpr std::array<std::string_view, kAllRuleCount> makeRuleIds() {
  std::array<std::string_view, kAllRuleCount> ids{};
  std::size_t n = 0;
  for (const auto& entry : kLocalRules) ids[n++] = entry.id;
  ids[n++] = kClearRegisterId;
  ids[n++] = kStackReservationId;
  for (const auto& step : kBlockSequence) {
    if (step.kind == StepKind::RegisterGroup) {
      for (const auto& entry : kRegisterPasses) ids[n++] = entry.id;
    } else if (!step.id.empty()) {
      ids[n++] = step.id;
    }
  }
  return ids;
}

constexpr std::array<std::string_view, kAllRuleCount> kRuleIds = makeRuleIds();

std::size_t indexOf(std::string_view id) {
  for (std::size_t i = 0; i < kRuleIds.size(); ++i) {
    if (kRuleIds[i] == id) {
      return i;
    }
  }
  return kRuleIds.size();
}

// Positions a step's sweep covers in a window of `count` lines.
std::pair<int, int> sweepRange(const BlockStep& step, int count) {
  return {step.first, count - 1 - step.lastFromNewest};
}

int runSweep(const BlockStep& step, RuleContext& context) {
  int fired = 0;
  PeepholeWindow& window = context.window();
  auto [first, last] = sweepRange(step, window.count());
  if (step.kind == StepKind::SweepDown) {
    for (int a = last; a >= first; --a) {
      if (a < window.count() && step.rule(context, a)) ++fired;
    }
  } else {
    for (int a = first; a <= last && a < window.count(); ++a) {
      if (step.rule(context, a)) ++fired;
    }
  }
  return fired;
}

}  // namespace

PeepholeOptimizer::PeepholeOptimizer(Compilation& compilation)
    : compilation_(compilation),
      statistics_(compilation.options.ruleStatistics != nullptr ? compilation.options.ruleStatistics
                                                                : &ownStatistics_) {
  context_.nextLabelNumber = [this] { return compilation_.emitter.newLabelNumber(); };
  context_.freeWorkRegister = [this](int number) { return workRegisterFree(number); };
  context_.sharedPlaces = &sharedPlaces_;
}

// Free for a borrowing rule: not in use or locked, no WITH base, not named by the record of
// register contents (whose registers the generators may read again).
bool PeepholeOptimizer::workRegisterFree(int number) const {
  const RegisterPool& pool = compilation_.registers;
  const std::string name{'r', static_cast<char>('0' + number)};
  if (number < 0 || number >= kWorkRegisterCount || pool.isRegisterInUse(name) ||
      pool.isRegisterLocked(name)) {
    return false;
  }
  for (int i = 0; i < pool.withRegisterCount(); ++i) {
    if (pool.withRegister(i).registerText == name) {
      return false;
    }
  }
  for (int i = 0; i < kRegisterContentsSize; ++i) {
    if (pool.contentsEntry(i).text.find(name) != std::string::npos) {
      return false;
    }
  }
  return true;
}

std::span<const std::string_view> PeepholeOptimizer::ruleIds() { return kRuleIds; }

void PeepholeOptimizer::setFreeWorkRegisterQuery(std::function<bool(int)> isFree) {
  context_.freeWorkRegister = std::move(isFree);
}

void PeepholeOptimizer::setLabelNumberSource(std::function<int()> next) {
  context_.nextLabelNumber = std::move(next);
}

void PeepholeOptimizer::count(std::string_view id, std::int64_t times) {
  if (times > 0) {
    statistics_->add(indexOf(id), times);
  }
}

void PeepholeOptimizer::prepare(PeepholeWindow& window) {
  context_.setWindow(window);
  context_.cpu2000 = compilation_.directives.settings().cpu2000;
}

void PeepholeOptimizer::runLocalTier(PeepholeWindow& window) {
  if (!compilation_.options.localTier) {
    return;
  }
  prepare(window);
  runLocalRules();
}

// Every rule at position a, in table order: a reported change ends the round (the scan
// restarts from the newest line); a silent change lets the next rules try.
IncrementalLocalTier::Answer PeepholeOptimizer::askLocalRules(int a) {
  IncrementalLocalTier::Answer answer;
  for (std::size_t r = 0; r < kLocalRules.size(); ++r) {
    const RuleResult result = kLocalRules[r].rule(context_, a);
    if (result == RuleResult::NoChange) {
      continue;
    }
    statistics_->add(r);
    answer.changed = true;
    if (result == RuleResult::Changed) {
      answer.restart = true;
      break;
    }
  }
  return answer;
}

void PeepholeOptimizer::runLocalRules() {
  if (compilation_.options.fullRescanReference) {
    runLocalRulesByFullRescan();
    return;
  }
  incremental_.attach(context_.window());
  if (context_.cpu2000 != lastCpu2000_) {
    lastCpu2000_ = context_.cpu2000;
    incremental_.unsettleAll();
  }
  incremental_.run([this](int a) { return askLocalRules(a); });
}

// The rules as they are stated: after every change, every position again, newest first.
void PeepholeOptimizer::runLocalRulesByFullRescan() {
  PeepholeWindow& window = context_.window();
  bool restart = true;
  while (restart) {
    restart = false;
    for (int a = window.count() - 1; a >= 1 && !restart; --a) {
      restart = askLocalRules(a).restart;
    }
  }
}

void PeepholeOptimizer::runClearRegisterRule(PeepholeWindow& window) {
  if (!compilation_.options.localTier) {
    return;
  }
  prepare(window);
  if (clearRegisterRule(context_)) {
    count(kClearRegisterId, 1);
  }
}

void PeepholeOptimizer::runBlockTier(PeepholeWindow& window) {
  if (!compilation_.options.blockTier || window.count() <= 3) {
    return;
  }
  prepare(window);
  count(kStackReservationId, stackReservationAdjustment(context_));
  int before = 0;
  do {
    before = window.count();
    runBlockSequence();
  } while (window.count() != before && window.count() > 3);
}

void PeepholeOptimizer::runBlockSequence() {
  PeepholeWindow& window = context_.window();
  for (const BlockStep& step : kBlockSequence) {
    switch (step.kind) {
      case StepKind::Whole:
        if (step.whole != nullptr) {
          count(step.id, step.whole(context_));
        }
        break;
      case StepKind::SweepDown:
      case StepKind::SweepUp:
        count(step.id, runSweep(step, context_));
        break;
      case StepKind::RegisterGroup:
        for (int a = step.first; a < window.count() - step.lastFromNewest; ++a) {
          for (const PositionRuleEntry& pass : kRegisterPasses) {
            if (pass.rule(context_, a)) {
              count(pass.id, 1);
            }
          }
        }
        break;
      case StepKind::LocalTier:
        runLocalRules();
        break;
    }
  }
}

int PeepholeOptimizer::runRegisterMoveFrom(PeepholeWindow& window, int first) {
  if (!compilation_.options.blockTier) {
    return 0;
  }
  prepare(window);
  int fired = 0;
  for (int a = std::max(first, 0); a < window.count() - 1; ++a) {
    if (registerMove(context_, a)) {
      ++fired;
    }
  }
  count("R-move", fired);
  return fired;
}

bool PeepholeOptimizer::runSingleRule(std::string_view id, PeepholeWindow& window) {
  prepare(window);
  for (const LocalRuleEntry& entry : kLocalRules) {
    if (entry.id != id) {
      continue;
    }
    for (int a = window.count() - 1; a >= 1; --a) {
      if (entry.rule(context_, a) != RuleResult::NoChange) {
        return true;
      }
    }
    return false;
  }
  if (id == kClearRegisterId) {
    return clearRegisterRule(context_);
  }
  if (id == kStackReservationId) {
    return stackReservationAdjustment(context_) > 0;
  }
  for (const PositionRuleEntry& pass : kRegisterPasses) {
    if (pass.id == id) {
      bool fired = false;
      for (int a = 2; a < window.count() - 1; ++a) {
        fired = pass.rule(context_, a) || fired;
      }
      return fired;
    }
  }
  for (const BlockStep& step : kBlockSequence) {
    if (step.id != id || id.empty()) {
      continue;
    }
    if (step.kind == StepKind::Whole) {
      return step.whole(context_) > 0;
    }
    return runSweep(step, context_) > 0;
  }
  return false;
}

}  // namespace vorax
