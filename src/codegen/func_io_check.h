// The I/O check after a call of an I/O routine: with I/O checking switched on, a failed
// operation traps into the runtime's handler right after the call.
#pragma once

namespace vorax {

class Compilation;
struct SymbolEntry;

// True when a call of `routine` made now must be followed by the I/O check.
[[nodiscard]] bool callNeedsIoCheck(const Compilation& c, const SymbolEntry& routine);
// Emits "trapa #0" when the call just emitted needs the check.
void emitIoCheck(Compilation& c, const SymbolEntry& routine);

}  // namespace vorax
