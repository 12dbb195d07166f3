#include "diag/text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace vorax {
namespace {

struct IconvCloser {
  void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

// Converts with iconv; an invalid or unconvertible sequence costs one input byte and
// yields `replacement`, so the result always covers the whole input.
std::string convert(std::string_view input, const char* to, const char* from,
                    std::string_view replacement) {
  std::string output;
  iconv_t raw = iconv_open(to, from);
  if (raw == reinterpret_cast<iconv_t>(-1)) {
    return std::string(input);
  }
  IconvHandle handle(raw);
  output.reserve(input.size() * 3 / 2 + 8);
  std::string inputCopy(input);
  char* in = inputCopy.data();
  std::size_t inLeft = inputCopy.size();
  char buffer[1024];
  while (inLeft > 0) {
    char* out = buffer;
    std::size_t outLeft = sizeof buffer;
    std::size_t result = iconv(raw, &in, &inLeft, &out, &outLeft);
    output.append(buffer, static_cast<std::size_t>(out - buffer));
    if (result == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) {
        continue;
      }
      // EILSEQ or EINVAL: skip one byte of input.
      output.append(replacement);
      ++in;
      --inLeft;
      iconv(raw, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return output;
}

bool isAscii(std::string_view text) {
  for (unsigned char c : text) {
    if (c >= 0x80) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string cp932ToUtf8(std::string_view cp932) {
  if (isAscii(cp932)) {
    return std::string(cp932);
  }
  return convert(cp932, "UTF-8", "CP932", "\xEF\xBF\xBD");
}

std::string utf8ToCp932(std::string_view utf8) {
  if (isAscii(utf8)) {
    return std::string(utf8);
  }
  return convert(utf8, "CP932", "UTF-8", "?");
}

}  // namespace vorax
