#include "asmout/stack_adjust.h"

#include <string>

#include "asmout/emitter.h"
#include "asmout/operand_text.h"

namespace vorax {

void allocateStack(Emitter& emitter, std::int64_t n) {
  const std::int64_t m = roundToEven(n);
  if (m == 2 || m == 4) {
    emitter.emitInstruction("subs", "#" + std::to_string(m), "sp");
  } else {
    emitter.emitInstruction("sub.l", "#" + std::to_string(m), "sp");
  }
}

// "adds" adds 1, 2 or 4 only; up to 8 bytes two of them are still shorter than "add.l".
void releaseStack(Emitter& emitter, std::int64_t n) {
  const std::int64_t m = roundToEven(n);
  switch (m) {
    case 0:
      return;
    case 2:
      emitter.emitInstruction("adds", "#2", "sp");
      return;
    case 4:
      emitter.emitInstruction("adds", "#4", "sp");
      return;
    case 6:
      emitter.emitInstruction("adds", "#4", "sp");
      emitter.emitInstruction("adds", "#2", "sp");
      return;
    case 8:
      emitter.emitInstruction("adds", "#4", "sp");
      emitter.emitInstruction("adds", "#4", "sp");
      return;
    default:
      emitter.emitInstruction("add.l", "#" + std::to_string(m), "sp");
  }
}

}  // namespace vorax
