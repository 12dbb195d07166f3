// Options of one compilation that are not source directives: switches for isolating a
// suspected optimizer fault. The defaults give the normal output.
#pragma once

namespace vorax {

struct CompileOptions {
  bool localTier = true;        // the peephole rules run after every append
  bool blockTier = true;        // the block passes run before the window is written
  bool ruleStatistics = false;  // count how often each rule fired
};

}  // namespace vorax
