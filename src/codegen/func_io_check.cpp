#include "codegen/func_io_check.h"

#include "driver/compilation.h"
#include "symbols/symbol_entry.h"

namespace vorax {

bool callNeedsIoCheck(const Compilation& c, const SymbolEntry& routine) {
  return routine.acceptsFile && c.directives.settings().switchI;
}

void emitIoCheck(Compilation& c, const SymbolEntry& routine) {
  if (callNeedsIoCheck(c, routine)) {
    c.emitter.emitInstruction("trapa", "#0", "");
  }
}

}  // namespace vorax
