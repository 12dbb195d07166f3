// Options of one compilation that are not source directives: switches for isolating a
// suspected optimizer fault. The defaults give the normal output.
#pragma once

namespace vorax {

class RuleStatistics;

struct CompileOptions {
  bool localTier = true;  // the peephole rules (and the clear-register rule) run after appends
  bool blockTier = true;  // the block passes run before the window is written
  // When set, the optimizer adds here how often each rule fired (the caller owns it).
  RuleStatistics* ruleStatistics = nullptr;
};

}  // namespace vorax
