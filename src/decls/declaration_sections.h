// CONST, TYPE and VAR sections. Each starts at the token after its keyword and ends at
// the first token that does not start another declaration of its kind.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorax {

class Compilation;

// Where the variables of a VAR section live: in the stack frame of the block (programs
// and routines), or in the unit's work area.
enum class AllocationMode { Stack, WorkArea };

void parseConstSection(Compilation& c);
void parseTypeSection(Compilation& c);
// `counter` is the block's local-offset counter (stack mode: the frame offset of the
// lowest allocated byte) or the unit's work-area counter (the next free offset).
void parseVarSection(Compilation& c, AllocationMode mode, std::int32_t& counter);

// An equate line: name, a tab (two for names of up to 7 characters), "equ", a tab and
// the value.
[[nodiscard]] std::string equateLine(std::string_view name, std::string_view value);

}  // namespace vorax
