#include "codegen/register_spill.h"

#include "asmout/operand_text.h"
#include "driver/compilation.h"

namespace vorax {

namespace {

std::string_view pushMnemonic(int size) { return size == 4 ? "mov.l" : "mov.w"; }

}  // namespace

bool parkValueWhenRegistersRunLow(Compilation& c, std::string& text, int size) {
  RegisterPool& pool = c.registers;
  if (!isWorkRegister(text) || pool.isRegisterLocked(text)) {
    // A locked register (a FOR loop's, a WITH base) is owned by a statement that
    // reloads it itself; it is never handed out, so it cannot run short either.
    return false;
  }
  if (pool.availableRegisterCount() >= kRegistersForAnOperand) {
    return false;
  }
  c.emitter.emitInstruction(pushMnemonic(size), text, "@-sp");
  pool.forgetContentsOfRegister(registerNumber(text));
  pool.releaseRegister(text);
  return true;
}

void takeBackParkedValue(Compilation& c, std::string& text, int size) {
  text = c.registers.allocateRegister();
  c.emitter.emitInstruction(pushMnemonic(size), "@sp+", text);
}

}  // namespace vorax
