// The peephole optimizer's entry points, called by the emit pipeline: the local tier
// after every append, the clear-register rule on the newest line, and the block tier
// before the window is written out.
#pragma once

namespace vorax {

class Compilation;
class PeepholeWindow;

class PeepholeOptimizer {
 public:
  explicit PeepholeOptimizer(Compilation& compilation);

  // The local rules, newest line first, to their fixed point.
  void runLocalTier(PeepholeWindow& window);
  // Rewrites a register clear on the newest line where the register is known.
  void runClearRegisterRule(PeepholeWindow& window);
  // The block passes, repeated until the line count stays the same.
  void runBlockTier(PeepholeWindow& window);

 private:
  Compilation& compilation_;
};

}  // namespace vorax
