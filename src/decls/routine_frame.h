// Entry and exit code of every block: the main program, compiled routines at any level,
// routines declared in advance, interrupt procedures; and the result slot that functions
// keep in their frame.
#pragma once

#include <cstdint>
#include <optional>

namespace vorax {

class Compilation;
struct SymbolEntry;
struct TypeDescriptor;

// Bytes the frame keeps for a function result of `type` above the saved frame pointer:
// 2 for one- and two-byte ordinal results, 4 for LONGINT, pointers and addresses, 0 for
// REAL and STRING (which travel on the stack) and for procedures (no type). Empty for a
// type no result can have (subranges, files, structures).
[[nodiscard]] std::optional<std::int32_t> resultSlotSize(const TypeDescriptor* type);

// Defines the body label, builds the frame, reserves the locals and the six temporary
// slots below the display, and fills c.routine for the body. `localOffset` is the block's
// local-offset counter after its declarations.
void emitEntryCode(Compilation& c, SymbolEntry& routine, std::int32_t localOffset);

// Releases the frame and returns: inline, or through the exit shared by every routine of
// the program with the same result kind and parameter area size.
void emitExitCode(Compilation& c, const SymbolEntry& routine);

}  // namespace vorax
