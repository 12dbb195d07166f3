// The rewrites the emit pipeline applies to a new instruction before it enters the
// window: single-instruction rewrites (which may also touch the newest window lines) and
// the absorption tests that fold the instruction into the lines before it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "asmout/pending_instruction.h"

namespace vorax {

class PeepholeWindow;
struct WindowLine;

// Whether conditional branch `mnemonic` reads nothing but flags in `kept`.
[[nodiscard]] bool branchReadsOnly(std::string_view mnemonic, KeptCompareFlags kept);

// The rewrites that look at the instruction alone, or at it and the newest lines. The
// call bookkeeping of "bsr" and the label-use count are the pipeline's own business.
void rewriteSingleInstruction(PeepholeWindow& window, PendingInstruction& instruction,
                              bool labelPending);

// Runs the absorption tests in order; true when one of them folded the instruction into
// the window (it must then not be appended). A test may also rewrite the instruction and
// let it go on (a compare against zero becomes a register test).
bool absorbIntoWindow(PeepholeWindow& window, PendingInstruction& instruction, bool labelPending);

// Shared text tests of the emit rules.
[[nodiscard]] bool startsWith(std::string_view text, std::string_view prefix);
[[nodiscard]] bool isConditionalBranch(std::string_view mnemonic);
[[nodiscard]] bool isDataMnemonic(std::string_view mnemonic);
// The size letter of a mnemonic: the character after its first ".", or '\0'.
[[nodiscard]] char sizeLetter(std::string_view mnemonic);
// True when `operand` occurs anywhere in the line's source or destination text.
[[nodiscard]] bool mentions(const WindowLine& line, std::string_view operand);
// True when the line stores a new value into `operand`: its destination, or its only
// operand, is that text. Compares and bit tests only read.
[[nodiscard]] bool writes(const WindowLine& line, std::string_view operand);
// The offset d of a frame slot written exactly "@(d,fp)".
[[nodiscard]] bool parseFrameSlot(std::string_view text, std::int64_t& offset);

}  // namespace vorax
