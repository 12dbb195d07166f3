#include "asmout/peephole_text.h"

#include <array>
#include <charconv>

namespace vorax::peephole {
namespace {

constexpr std::array<std::string_view, 11> kConditionalBranches = {
    "beq", "bne", "ble", "blt", "bge", "bgt", "bpl", "bcc", "bhi", "bls", "bcs"};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::optional<std::int64_t> parseDecimal(std::string_view text) {
  std::int64_t value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') {
    ++first;
  }
  auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last || first == last) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

bool isLabelCharacter(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == '.' ||
         c == '$' || c == '\\';
}

OperandKind operandKind(std::string_view text) {
  if (startsWith(text, "#")) {
    return OperandKind::Immediate;
  }
  if (isRegisterOperand(text)) {
    return OperandKind::Register;
  }
  if (startsWith(text, "@(")) {
    return contains(text, ",fp)") ? OperandKind::FrameSlot : OperandKind::Indexed;
  }
  if (text.size() >= 2 && text[0] == '@' && (text[1] == 'r' || text[1] == 's')) {
    return contains(text, "+") ? OperandKind::PostIncrement : OperandKind::Indirect;
  }
  if (startsWith(text, "@")) {
    return OperandKind::PreDecrementOrAbsolute;
  }
  return OperandKind::Plain;
}

bool isWorkRegister(std::string_view text) {
  return text.size() == 2 && text[0] == 'r' && text[1] >= '0' && text[1] <= '5';
}

bool isRegisterOperand(std::string_view text) {
  return text == "fp" || (text.size() == 2 && text[0] == 'r' && text[1] >= '0' && text[1] <= '6');
}

bool isPortRegister(std::string_view text) {
  if (text.size() < 4 || text[0] != 'P' || !isDigit(text[1])) {
    return false;
  }
  const std::string_view rest = text.substr(2);
  return equals(rest, "DR") || equals(rest, "DDR");
}

bool isAutoModifying(std::string_view text) {
  return startsWith(text, "@-") ||
         (startsWith(text, "@") && !startsWith(text, "@(") && contains(text, "+") &&
          operandKind(text) == OperandKind::PostIncrement);
}

bool isConditionalBranch(std::string_view mnemonic) {
  if (mnemonic.size() != 3 || mnemonic[0] != 'b') {
    return false;
  }
  for (std::string_view branch : kConditionalBranches) {
    if (mnemonic == branch) {
      return true;
    }
  }
  return false;
}

bool isBranch(std::string_view mnemonic) {
  return equals(mnemonic, "bra") || isConditionalBranch(mnemonic);
}

bool isDataMnemonic(std::string_view mnemonic) {
  return equals(mnemonic, "db") || equals(mnemonic, "dw") || equals(mnemonic, "dl");
}

bool isUnconditionalTransfer(std::string_view mnemonic) {
  return equals(mnemonic, "bra") || equals(mnemonic, "jmp") || equals(mnemonic, "rts") ||
         equals(mnemonic, "rte");
}

std::string_view inverseCondition(std::string_view mnemonic) {
  if (equals(mnemonic, "beq")) return "bne";
  if (equals(mnemonic, "bne")) return "beq";
  if (equals(mnemonic, "ble")) return "bgt";
  if (equals(mnemonic, "bgt")) return "ble";
  if (equals(mnemonic, "blt")) return "bge";
  if (equals(mnemonic, "bge")) return "blt";
  if (equals(mnemonic, "bcc")) return "bcs";
  if (equals(mnemonic, "bcs")) return "bcc";
  if (equals(mnemonic, "bhi")) return "bls";
  if (equals(mnemonic, "bls")) return "bhi";
  return {};
}

std::string_view sizeSuffix(std::string_view mnemonic) {
  return mnemonic.size() >= 5 ? mnemonic.substr(3, 2) : std::string_view();
}

int operationSize(std::string_view mnemonic) {
  if (mnemonic.size() < 3 || mnemonic[mnemonic.size() - 2] != '.') {
    return 0;
  }
  switch (mnemonic.back()) {
    case 'b':
      return 1;
    case 'w':
      return 2;
    case 'l':
      return 4;
    default:
      return 0;
  }
}

int singleBitMask(std::string_view source) {
  static constexpr std::array<std::string_view, 8> kMasks = {"#1",  "#2",  "#4",  "#8",
                                                             "#16", "#32", "#64", "#128"};
  for (int bit = 0; bit < 8; ++bit) {
    if (source == kMasks[static_cast<std::size_t>(bit)]) {
      return bit;
    }
  }
  return -1;
}

std::optional<std::int64_t> immediateValue(std::string_view source) {
  if (!startsWith(source, "#")) {
    return std::nullopt;
  }
  std::string_view text = source.substr(1);
  if (startsWith(text, "h'")) {
    text.remove_prefix(2);
    if (text.empty() || text.size() > 8) {
      return std::nullopt;
    }
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc() || end != text.data() + text.size()) {
      return std::nullopt;
    }
    return value;
  }
  return parseDecimal(text);
}

std::string immediateText(std::int64_t value) {
  std::string text(1, '#');
  text += std::to_string(value);
  return text;
}

std::optional<std::int64_t> frameSlotOffset(std::string_view operand) {
  if (!startsWith(operand, "@(") || operand.size() < 7 ||
      operand.substr(operand.size() - 4) != ",fp)") {
    return std::nullopt;
  }
  return parseDecimal(operand.substr(2, operand.size() - 6));
}

bool clearsRegister(const WindowLine& line, std::string_view reg) {
  return startsWith(line.mnemonic, "xor.") && line.source == reg && line.destination == reg;
}

std::string_view clearedRegister(const WindowLine& line) {
  if (startsWith(line.mnemonic, "xor.") && !line.source.empty() &&
      line.source == line.destination) {
    return line.source;
  }
  return {};
}

bool setsRegister(const WindowLine& line, std::string_view reg) {
  return clearsRegister(line, reg) ||
         (startsWith(line.mnemonic, "mov.") && line.destination == reg);
}

bool writesOperand(const WindowLine& line, std::string_view operand) {
  const std::string_view m = line.mnemonic;
  if (equals(m, "nop") || equals(m, "btst") || equals(m, "extu.l") || startsWith(m, "cmp.")) {
    return false;
  }
  return line.destination.empty() ? line.source == operand : line.destination == operand;
}

bool isOpaque(std::string_view mnemonic) {
  return equals(mnemonic, "bsr") || equals(mnemonic, "jsr") || equals(mnemonic, "trapa") ||
         equals(mnemonic, "eepmov") || equals(mnemonic, "ldm") || equals(mnemonic, "stm") ||
         equals(mnemonic, "rte") || equals(mnemonic, "rts") || equals(mnemonic, "jmp") ||
         equals(mnemonic, "bcx") || equals(mnemonic, "sleep");
}

bool changesRegister(const WindowLine& line, std::string_view reg) {
  const std::string_view m = line.mnemonic;
  if (isOpaque(m)) {
    return true;
  }
  if (line.source.size() > reg.size() && isAutoModifying(line.source) &&
      contains(line.source, reg)) {
    return true;
  }
  if (line.destination.size() > reg.size() && isAutoModifying(line.destination) &&
      contains(line.destination, reg)) {
    return true;
  }
  if (equals(m, "nop") || equals(m, "btst") || startsWith(m, "cmp.") || isBranch(m) ||
      isDataMnemonic(m) || equals(m, "org")) {
    return false;
  }
  return line.destination.empty() ? line.source == reg : line.destination == reg;
}

bool mentions(const WindowLine& line, std::string_view text) {
  return contains(line.source, text) || contains(line.destination, text);
}

bool sameInstruction(const WindowLine& a, const WindowLine& b) {
  return a.mnemonic == b.mnemonic && a.source == b.source && a.destination == b.destination;
}

bool namesLabel(std::string_view text, std::string_view label) {
  if (label.empty()) {
    return false;
  }
  for (std::size_t at = text.find(label); at != std::string_view::npos;
       at = text.find(label, at + 1)) {
    const bool startOk = at == 0 || !isLabelCharacter(text[at - 1]);
    const std::size_t end = at + label.size();
    const bool endOk = end == text.size() || !isLabelCharacter(text[end]);
    if (startOk && endOk) {
      return true;
    }
  }
  return false;
}

namespace {

// A symbol operand split into its symbol and a decimal displacement ("X+4" is X and 4).
struct SymbolPlace {
  std::string_view symbol;
  std::optional<std::int64_t> displacement;  // empty when the rest is not a plain number
};

SymbolPlace symbolPlace(std::string_view operand) {
  const std::size_t sign = operand.find_first_of("+-", 1);
  if (sign == std::string_view::npos) {
    return {operand, 0};
  }
  return {operand.substr(0, sign), parseDecimal(operand.substr(sign))};
}

}  // namespace

bool disjointMemory(std::string_view p, std::string_view q, int size, const SharedPlaces& shared) {
  if (p == q) {
    return false;
  }
  const auto slotP = frameSlotOffset(p);
  const auto slotQ = frameSlotOffset(q);
  if (slotP && slotQ) {
    const std::int64_t distance = *slotP > *slotQ ? *slotP - *slotQ : *slotQ - *slotP;
    return distance >= size;
  }
  if (slotP || slotQ) {
    return !shared.contains(symbolPlace(slotP ? q : p).symbol);
  }
  const SymbolPlace placeP = symbolPlace(p);
  const SymbolPlace placeQ = symbolPlace(q);
  if (placeP.symbol == placeQ.symbol) {
    if (!placeP.displacement || !placeQ.displacement) {
      return false;
    }
    const std::int64_t a = *placeP.displacement;
    const std::int64_t b = *placeQ.displacement;
    return (a > b ? a - b : b - a) >= size;
  }
  return !shared.contains(placeP.symbol) && !shared.contains(placeQ.symbol);
}

bool isFixedMemory(std::string_view operand) {
  const OperandKind kind = operandKind(operand);
  if (kind == OperandKind::FrameSlot) {
    return frameSlotOffset(operand).has_value();
  }
  return kind == OperandKind::Plain && !isPortRegister(operand) && !operand.empty();
}

bool isMemoryOperand(std::string_view operand) {
  return !operand.empty() && !startsWith(operand, "#") && !isRegisterOperand(operand) &&
         operand != "sp";
}

bool storeMayReach(std::string_view store, std::string_view place, int size,
                   const SharedPlaces& shared) {
  if (!isMemoryOperand(store) || !isMemoryOperand(place)) {
    return false;
  }
  if (isFixedMemory(place)) {
    if (store == "@-sp") {
      return false;
    }
    if (isFixedMemory(store)) {
      return !disjointMemory(store, place, size, shared);
    }
  }
  return true;
}

bool isLocalLabel(std::string_view label) { return LocalLabelUses::labelNumber(label) >= 0; }

bool isMarkerLabel(std::string_view label) {
  return !label.empty() && (label[0] == '@' || label[0] == '#');
}

}  // namespace vorax::peephole
