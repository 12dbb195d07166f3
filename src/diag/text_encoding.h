// Conversions between the compiler's two encodings: CP932 (Shift-JIS) for source and
// assembly files, UTF-8 for everything a person reads on a terminal or in the window.
#pragma once

#include <string>
#include <string_view>

namespace vorax {

// Bytes that cannot be converted are replaced (by "?" / U+FFFD), never dropped silently
// and never an exception: both directions are used on arbitrary user text.
[[nodiscard]] std::string cp932ToUtf8(std::string_view cp932);
[[nodiscard]] std::string utf8ToCp932(std::string_view utf8);

}  // namespace vorax
