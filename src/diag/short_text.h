// Every fixed-width text of the compiler (identifiers 28, operands 48, source lines 255,
// ...) is cut to its maximum, never rejected. This is the one helper that does it. Texts
// are Shift-JIS bytes, so a cut never separates a lead byte from the byte it belongs to:
// a character that does not fit whole is left out whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorax {

// The first byte of a two-byte Shift-JIS character; the byte after it belongs to the same
// character whatever its value (it may be "}", "\" or a letter).
[[nodiscard]] constexpr bool isShiftJisLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The length of the longest prefix of `text` that holds whole characters only and has at
// most `maximum` bytes.
[[nodiscard]] constexpr std::size_t wholeCharacterLength(std::string_view text,
                                                         std::size_t maximum) {
  if (text.size() <= maximum) {
    return text.size();
  }
  std::size_t length = 0;
  while (length < maximum) {
    const std::size_t width = isShiftJisLeadByte(static_cast<unsigned char>(text[length])) ? 2 : 1;
    if (length + width > maximum) {
      break;
    }
    length += width;
  }
  return length;
}

[[nodiscard]] inline std::string cutText(std::string_view text, std::size_t maximum) {
  return std::string(text.substr(0, wholeCharacterLength(text, maximum)));
}

inline void cutInPlace(std::string& text, std::size_t maximum) {
  text.resize(wholeCharacterLength(text, maximum));
}

}  // namespace vorax
