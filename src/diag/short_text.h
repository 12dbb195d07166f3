// Every fixed-width text of the compiler (identifiers 28, operands 48, source lines 255,
// ...) is cut to its maximum, never rejected. This is the one helper that does it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vorax {

[[nodiscard]] inline std::string cutText(std::string_view text, std::size_t maximum) {
  return std::string(text.substr(0, maximum));
}

inline void cutInPlace(std::string& text, std::size_t maximum) {
  if (text.size() > maximum) {
    text.resize(maximum);
  }
}

}  // namespace vorax
