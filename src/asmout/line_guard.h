// The last check before a line leaves the compiler: every instruction must exist on the
// target processor with the operand forms it is written with. A generator or a rewrite
// that produced anything else (a register the pool could not name, a byte subtraction of
// an immediate, a two-bit shift on a processor without it) is a fault of the compiler,
// and an assembly file with such a line must not be reported as compiled.
#pragma once

#include <string_view>

#include "driver/compile_options.h"

namespace vorax {

struct WindowLine;

// Internal consistency failure: a line about to be written is no instruction the target
// processor has.
inline constexpr int kRefusedInstruction = 970;

// Why the target processor has no such instruction, or empty when it has. Data lines
// ("db", "dw", "dl") and "org" are accepted as they are written; the placeholder lines
// that statements rewrite before the window is written ("bcx", "neop") are refused.
[[nodiscard]] std::string_view refusedForm(const WindowLine& line, TargetCpu cpu);

}  // namespace vorax
