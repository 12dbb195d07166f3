// String data: a length byte and the characters, the printable ones quoted in chunks of
// 32, and the alignment pad that keeps words on even addresses.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "decls/typed_constants.h"
#include "diag/error_table.h"
#include "driver/compilation.h"
#include "symbols/const_value.h"

namespace vorax {
namespace {

constexpr std::size_t kChunkLength = 32;

bool isPrintable(unsigned char ch) { return (ch >= 32 && ch <= 126) || (ch >= 161 && ch <= 223); }

// A chunk of printable characters: between apostrophes, or double quotes when it holds
// an apostrophe; holding both, it is split before the later of the first of each.
void emitQuoted(Emitter& emitter, std::string_view chunk) {
  const std::size_t apostrophe = chunk.find('\'');
  const std::size_t quote = chunk.find('"');
  if (apostrophe == std::string_view::npos) {
    emitter.emitInstruction("db", "'" + std::string(chunk) + "'", "");
  } else if (quote == std::string_view::npos) {
    emitter.emitInstruction("db", "\"" + std::string(chunk) + "\"", "");
  } else {
    const std::size_t split = apostrophe > quote ? apostrophe : quote;
    emitQuoted(emitter, chunk.substr(0, split));
    emitQuoted(emitter, chunk.substr(split));
  }
}

}  // namespace

std::string byteField(std::int32_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%3d", static_cast<int>(value & 0xff));
  return text;
}

void alignData(Compilation& c) {
  if (c.emitter.oddDataPending()) {
    c.emitter.emitInstruction("db", "  0", "");
    c.emitter.setOddDataPending(false);
  }
}

void emitStringData(Compilation& c, std::int32_t length, std::string_view text) {
  Emitter& emitter = c.emitter;
  emitter.emitInstruction("db", byteField(length), "");
  for (std::size_t start = 0; start < text.size(); start += kChunkLength) {
    const std::string_view chunk = text.substr(start, kChunkLength);
    bool printable = true;
    for (char ch : chunk) {
      printable = printable && isPrintable(static_cast<unsigned char>(ch));
    }
    if (printable) {
      emitQuoted(emitter, chunk);
    } else {
      for (char ch : chunk) {
        emitter.emitInstruction("db", byteField(static_cast<unsigned char>(ch)), "");
      }
    }
  }
}

void emitInlineStringConstant(Compilation& c, const ConstValue& value, std::int32_t maximumLength,
                              StringParity parity) {
  std::string text;
  if (value.kind == ConstKind::String) {
    text = value.text;
  } else if (value.kind == ConstKind::Character) {
    text = std::string(1, static_cast<char>(value.smallValue));
  } else {
    c.reportError(err::kInternal);
  }
  // A character is cut like a string: STRING[0] has no room for it.
  text.resize(std::min(text.size(), static_cast<std::size_t>(std::max(maximumLength, 0))));
  const auto length = static_cast<std::int32_t>(text.size());
  const bool evenLength = length % 2 == 0;
  if ((parity == StringParity::Even) == evenLength) {
    text += ' ';  // the pad byte keeps the code after the data on an even address
  }
  emitStringData(c, length, text);
}

}  // namespace vorax
