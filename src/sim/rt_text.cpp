// Numbers to text and back: \str, \r2asc, \adjlng, \val, \asc2r. The formats follow the
// usual Pascal runtime conventions (see the README section "Running a compiled program").
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "sim/real48.h"
#include "sim/runtime.h"

namespace vorax::sim {

namespace {

constexpr int kMaxDecimals = 60;
constexpr int kMaxExponentDigits = 30;

std::string rightJustify(std::string text, int width) {
  if (width > static_cast<int>(text.size())) {
    text.insert(0, static_cast<size_t>(std::min(width, 255)) - text.size(), ' ');
  }
  if (text.size() > 255) text.resize(255);
  return text;
}

// \str: long -> its decimal text, no padding.
void integerToText(RuntimeCall& call) {
  int32_t value = static_cast<int32_t>(call.popLong());
  call.pushString(std::to_string(value));
}

// Enough digits after the point to write any REAL exactly: its mantissa has 40 bits and
// its smallest power of two is 2^-129, so no expansion runs past 170 decimals.
constexpr int kExactDecimals = 180;

// `value` with `decimals` digits after the point, an exact half rounded away from zero
// (2.5 gives 3, 0.125 gives 0.13), as Pascal programs expect; printf would round it to
// even. The sign stays even when every digit is zero (-0.001 gives -0.00).
std::string fixedRounded(long double value, int decimals) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%.*Lf", kExactDecimals, std::fabs(value));
  std::string exact = buffer;
  const size_t point = exact.find('.');
  std::string digits = exact.substr(0, point) + exact.substr(point + 1, static_cast<size_t>(decimals));
  const bool roundUp = exact[point + 1 + static_cast<size_t>(decimals)] >= '5';
  if (roundUp) {
    size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9') {
      digits[--i] = '0';
    }
    if (i == 0) {
      digits.insert(digits.begin(), '1');
    } else {
      ++digits[i - 1];
    }
  }
  std::string text = digits.substr(0, digits.size() - static_cast<size_t>(decimals));
  if (decimals > 0) {
    text += "." + digits.substr(digits.size() - static_cast<size_t>(decimals));
  }
  return std::signbit(value) ? "-" + text : text;
}

// Text of a REAL with `decimals` digits after the point; a negative count asks for the
// floating-point form " d.dddE+xx" that fills `width`.
std::string formatReal(long double value, int width, int decimals) {
  char buffer[512];
  if (decimals >= 0) {
    return fixedRounded(value, std::min(decimals, kMaxDecimals));
  }
  int digits = std::clamp(width - 7, 1, kMaxExponentDigits);
  std::snprintf(buffer, sizeof buffer, "%.*LE", digits, std::fabs(value));
  return std::string(value < 0 ? "-" : " ") + buffer;
}

// \r2asc: [result area] REAL, width, decimals -> the text, right-justified in the width.
void realToText(RuntimeCall& call) {
  int decimals = static_cast<int16_t>(call.popWord());
  int width = static_cast<int16_t>(call.popWord());
  long double value = real48::toLongDouble(call.popReal());
  call.writeString(call.cpu().er[7], rightJustify(formatReal(value, width, decimals), width));
}

// \adjlng: string, width -> the string right-justified in the width (never cut).
void adjustLength(RuntimeCall& call) {
  int width = static_cast<int16_t>(call.popWord());
  uint32_t at = call.cpu().er[7];
  call.writeString(at, rightJustify(call.readString(at), width));
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// \val: string -> the number in r0 and, in r1, 0 or the position of the first character
// that is not part of a number.
void textToInteger(RuntimeCall& call) {
  std::string text = call.popString();
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  bool hex = i < text.size() && text[i] == '$';
  if (hex) ++i;
  int64_t value = 0;
  size_t digits = 0;
  size_t bad = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int digit = -1;
    if (isDigit(c)) {
      digit = c - '0';
    } else if (hex && std::isxdigit(static_cast<unsigned char>(c))) {
      digit = std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
    }
    if (digit < 0) break;
    value = value * (hex ? 16 : 10) + digit;
    ++digits;
    bool tooLarge = hex ? value > 0xFFFFFFFFLL : value > (negative ? 2147483648LL : 2147483647LL);
    if (tooLarge) {
      bad = i + 1;
      break;
    }
  }
  if (bad == 0 && (i < text.size() || digits == 0)) bad = i + 1;
  if (bad != 0) {
    call.setR0(0);
    call.setR1Word(static_cast<uint16_t>(bad));
    return;
  }
  call.setR0(static_cast<uint32_t>(negative ? -value : value));
  call.setR1Word(0);
}

// Length of the number at the start of `text` (blanks, sign, digits, point, exponent), or
// the 0-based index of the first character that does not fit, through `bad`.
size_t scanReal(const std::string& text, size_t& bad) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) {
    bad = i;
    return 0;
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponentDigits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++exponentDigits;
    if (exponentDigits == 0) {
      bad = i;
      return 0;
    }
  }
  bad = i;
  return i;
}

// \asc2r: [result area] string -> the REAL into the area; r1 = 0 or the error position.
void textToReal(RuntimeCall& call) {
  std::string text = call.popString();
  size_t bad = 0;
  size_t length = scanReal(text, bad);
  real48::Bytes result{};
  uint16_t position = 0;
  if (length == 0 || length != text.size()) {
    position = static_cast<uint16_t>(bad + 1);
  } else {
    // A number beyond the REAL range is the text's error, reported at its last character,
    // not a fault of the program.
    long double value = std::strtold(text.c_str(), nullptr);
    try {
      result = real48::fromLongDouble(value);
    } catch (const RuntimeFault&) {
      position = static_cast<uint16_t>(text.size());
    }
  }
  call.writeReal(call.cpu().er[7], result);
  call.setR1Word(position);
}

}  // namespace

void addTextRoutines(std::vector<RoutineDef>& table) {
  table.push_back({"\\str", integerToText});
  table.push_back({"\\r2asc", realToText});
  table.push_back({"\\adjlng", adjustLength});
  table.push_back({"\\val", textToInteger});
  table.push_back({"\\asc2r", textToReal});
}

}  // namespace vorax::sim
