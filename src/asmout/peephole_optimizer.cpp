// The rules arrive with the optimizer itself; until then the window passes unchanged.
#include "asmout/peephole_optimizer.h"

namespace vorax {

PeepholeOptimizer::PeepholeOptimizer(Compilation& compilation) : compilation_(compilation) {}
void PeepholeOptimizer::runLocalTier(PeepholeWindow&) {}
void PeepholeOptimizer::runClearRegisterRule(PeepholeWindow&) {}
void PeepholeOptimizer::runBlockTier(PeepholeWindow&) {}

}  // namespace vorax
