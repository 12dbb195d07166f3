// What the code generators need to know about the routine whose body is being compiled:
// set by the routine's entry code, read by statements and variable access.
#pragma once

#include <array>
#include <cstdint>

namespace vorax {

struct SymbolEntry;

inline constexpr int kWithSlotCount = 6;

struct RoutineContext {
  // The routine whose body is compiled (the program's own entry for the main body).
  SymbolEntry* routine = nullptr;
  // Scope level of the body: 1 for the main program.
  std::int32_t level = 0;
  // Frame offsets of the six four-byte save slots below the locals; WITH depth i saves
  // its record address in slot i.
  std::array<std::int32_t, kWithSlotCount> withSlotOffsets{};
  // The exit label "$00" was branched to (EXIT); the exit code must define it.
  bool exitLabelUsed = false;
  // Between the entry code and the exit code of a body: statements may be open, so the
  // window must not be flushed as if a routine had ended.
  bool bodyOpen = false;
};

}  // namespace vorax
