// The assembler labels of compiled routines: where a body starts, what a call names, and
// the stub and equate lines that give a routine a second name.
#pragma once

#include <string>
#include <string_view>

namespace vorax {

struct SymbolEntry;

// NAME.line: the label every routine has unless it is the program itself or an
// interrupt handler; routines of the same name on different lines stay apart.
[[nodiscard]] std::string numberedRoutineLabel(const SymbolEntry& routine);

// The label defined at the first instruction of the body: the program's own "\NAME", the
// bare name of an interrupt procedure (interrupt vectors name it), NAME.line otherwise.
[[nodiscard]] std::string routineBodyLabel(const SymbolEntry& routine);

// The label a procedure call statement branches to: the bare name while the body of an
// interface routine is compiled (its stub), for external routines and for compiled
// interrupt procedures (the only label they have), NAME.line for everything else.
[[nodiscard]] std::string routineCallLabel(const SymbolEntry& routine);

// The label a function call inside an expression branches to: the bare name for external
// routines and for interface routines whose body has not come yet, NAME.line otherwise.
[[nodiscard]] std::string functionCallLabel(const SymbolEntry& routine);

// The label "@" gives for a routine: one that is sure to exist however the routine was
// declared - the bare name for interrupt procedures and external routines (the only
// label they have), NAME.line otherwise.
[[nodiscard]] std::string routineAddressLabel(const SymbolEntry& routine);

// "NAME:", padding to the operand column, "jmp" and the body label: the routine's bare
// name written where it is declared FORWARD or in a unit's interface.
[[nodiscard]] std::string routineStubLine(std::string_view name, std::string_view bodyLabel);

// An absolute routine's label equated to its address, padded like a stub line.
[[nodiscard]] std::string routineEquateLine(std::string_view label, std::string_view value);

}  // namespace vorax
