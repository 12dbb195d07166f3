// The exit sequences compiled routines of one program share: a routine whose parameter
// area is n bytes (2..256) and whose result travels in a given way ends with a jump to
// "\exitw8" and the like once the first such routine has defined that label.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <string_view>

namespace vorax {

// How a routine hands back its result, which decides what its exit pops into r0.
enum class ExitKind : std::uint8_t {
  Real,       // nothing: the caller reserved the result's place below the parameters
  Long,       // four bytes popped into r0 (LONGINT, pointers, addresses)
  Word,       // a word popped into r0 (CHAR, INTEGER, BYTE, WORD, enumerations)
  Boolean,    // a word popped into r0, then zero-extended
  String,     // nothing, as for REAL
  Procedure,  // nothing
};
inline constexpr int kExitKindCount = 6;

// The runtime-style name of an exit kind's shared labels; the area size follows it.
[[nodiscard]] constexpr std::string_view exitLabelPrefix(ExitKind kind) {
  constexpr std::array<std::string_view, kExitKindCount> kPrefixes = {
      "\\exitr", "\\exitl", "\\exitw", "\\exitb", "\\exits", "\\exitp"};
  return kPrefixes[static_cast<std::size_t>(kind)];
}

class SharedExitTables {
 public:
  // Parameter areas of up to this many bytes have shared exits.
  static constexpr std::int32_t kLargestSharedArea = 256;

  // Whether an area of `size` bytes can have a shared exit at all: even, 2..256.
  [[nodiscard]] static constexpr bool isShareable(std::int32_t size) {
    return size > 0 && size <= kLargestSharedArea && size % 2 == 0;
  }
  [[nodiscard]] bool isDefined(ExitKind kind, std::int32_t size) const {
    return isShareable(size) && flags_[static_cast<std::size_t>(kind)].test(indexOf(size));
  }
  void markDefined(ExitKind kind, std::int32_t size) {
    if (isShareable(size)) {
      flags_[static_cast<std::size_t>(kind)].set(indexOf(size));
    }
  }

 private:
  static constexpr std::size_t indexOf(std::int32_t size) {
    return static_cast<std::size_t>(size / 2 - 1);
  }
  std::array<std::bitset<kLargestSharedArea / 2>, kExitKindCount> flags_{};
};

}  // namespace vorax
