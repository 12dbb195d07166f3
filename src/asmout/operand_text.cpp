#include "asmout/operand_text.h"

#include "driver/compilation.h"

namespace vorax {

std::string_view sizeSuffix(std::int64_t size) {
  switch (size) {
    case 1:
      return ".b";
    case 2:
      return ".w";
    default:
      return ".l";
  }
}

OperandKind operandKind(std::string_view text) {
  if (text.empty()) {
    return OperandKind::Plain;
  }
  if (text[0] == '#') {
    return OperandKind::Immediate;
  }
  if (text == "fp" || (text.size() == 2 && text[0] == 'r' && text[1] >= '0' && text[1] <= '6')) {
    return OperandKind::Register;
  }
  if (text[0] != '@') {
    return OperandKind::Plain;
  }
  const char second = text.size() > 1 ? text[1] : '\0';
  if (second == '(') {
    return text.find(",fp)") != std::string_view::npos ? OperandKind::FrameSlot
                                                       : OperandKind::Indexed;
  }
  if (second == 'r' || second == 's') {
    return text.find('+') != std::string_view::npos ? OperandKind::PostIncrement
                                                    : OperandKind::RegisterIndirect;
  }
  return OperandKind::PreDecrementOrAbsolute;
}

bool isWorkRegister(std::string_view text) {
  return text.size() == 2 && text[0] == 'r' && text[1] >= '0' && text[1] <= '5';
}

int registerNumber(std::string_view text) {
  if (text.size() < 2 || text[0] != 'r' || text[1] < '0' || text[1] > '9') {
    return -1;
  }
  return text[1] - '0';
}

std::string registerName(int n) {
  std::string name = "r";
  name += static_cast<char>('0' + n);
  return name;
}

namespace {

std::string hexDigits(std::uint64_t value, int digits) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text = "h'";
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
    text += kDigits[(value >> shift) & 0xF];
  }
  return text;
}

}  // namespace

std::string hexImmediate16(std::int64_t value) {
  return hexDigits(static_cast<std::uint64_t>(value) & 0xFFFFu, 4);
}

std::string hexImmediate32(std::int64_t value) {
  return hexDigits(static_cast<std::uint64_t>(value) & 0xFFFF'FFFFu, 8);
}

std::int64_t roundToEven(std::int64_t n) {
  if (n % 2 == 0) {
    return n;
  }
  return n > 0 ? n + 1 : n - 1;
}

int addressSize(const Compilation& compilation) {
  return compilation.directives.settings().cpu300L ? 2 : 4;
}

std::string_view pointerMoveMnemonic(const Compilation& compilation) {
  return compilation.directives.settings().cpu300L ? "mov.w" : "mov.l";
}

bool parseDecimal(std::string_view text, std::int64_t& value) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > 18) {
    return false;
  }
  std::int64_t result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') {
      return false;
    }
    result = result * 10 + (c - '0');
  }
  value = negative ? -result : result;
  return true;
}

bool parseDecimalImmediate(std::string_view text, std::int64_t& value) {
  return !text.empty() && text[0] == '#' && parseDecimal(text.substr(1), value);
}

}  // namespace vorax
