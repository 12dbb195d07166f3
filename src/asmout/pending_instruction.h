// An instruction on its way through the emit pipeline, before it enters the window.
#pragma once

#include <cstdint>
#include <string>

namespace vorax {

// Which of the flags a compare against zero sets an earlier line has already set the
// same way: sign and zero always; overflow (clear) only after a move, a logical operation
// or a shift that clears it. The carry a compare against zero clears is never known.
enum class KeptCompareFlags : std::uint8_t { None, SignAndZero, SignZeroAndOverflow };

// An instruction on its way into the window.
struct PendingInstruction {
  std::string mnemonic;
  std::string source;
  std::string destination;
  // Set when absorption drops a compare against zero because an earlier line set the flags.
  KeptCompareFlags keptFlags = KeptCompareFlags::None;
};

}  // namespace vorax
