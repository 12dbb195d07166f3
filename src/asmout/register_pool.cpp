// Placeholder until the register pool is built: nothing is remembered yet, so there is
// nothing to forget.
#include "asmout/register_pool.h"

namespace vorax {

RegisterPool::RegisterPool(Compilation& compilation) : compilation_(compilation) {}
void RegisterPool::forgetRegisterContents() {}
void RegisterPool::releaseUnlockedRegisters() {}
void RegisterPool::resetRegisterPool() {}

}  // namespace vorax
