#include "asmout/emit_rules.h"

#include <array>

#include "asmout/operand_text.h"
#include "asmout/peephole_window.h"

namespace vorax {

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool isConditionalBranch(std::string_view mnemonic) {
  static constexpr std::array<std::string_view, 11> kBranches = {
      "beq", "bne", "ble", "blt", "bge", "bgt", "bpl", "bcc", "bhi", "bls", "bcs"};
  for (std::string_view branch : kBranches) {
    if (mnemonic == branch) {
      return true;
    }
  }
  return false;
}

bool branchReadsOnly(std::string_view mnemonic, KeptCompareFlags kept) {
  if (mnemonic == "beq" || mnemonic == "bne" || mnemonic == "bpl" || mnemonic == "bmi") {
    return kept != KeptCompareFlags::None;
  }
  if (mnemonic == "bge" || mnemonic == "blt" || mnemonic == "bgt" || mnemonic == "ble") {
    return kept == KeptCompareFlags::SignZeroAndOverflow;
  }
  return false;  // the carry ("bcc", "bcs", "bhi", "bls")
}

bool isDataMnemonic(std::string_view mnemonic) {
  return mnemonic == "db" || mnemonic == "dw" || mnemonic == "dl";
}

char sizeLetter(std::string_view mnemonic) {
  const std::size_t dot = mnemonic.find('.');
  return dot != std::string_view::npos && dot + 1 < mnemonic.size() ? mnemonic[dot + 1] : '\0';
}

bool mentions(const WindowLine& line, std::string_view operand) {
  return !operand.empty() && (line.source.find(operand) != std::string::npos ||
                              line.destination.find(operand) != std::string::npos);
}

bool writes(const WindowLine& line, std::string_view operand) {
  if (line.mnemonic == "nop" || line.mnemonic == "btst" || startsWith(line.mnemonic, "cmp.")) {
    return false;
  }
  return line.destination == operand || (line.destination.empty() && line.source == operand);
}

bool parseFrameSlot(std::string_view text, std::int64_t& offset) {
  if (!startsWith(text, "@(") || text.size() < 6 || text.substr(text.size() - 4) != ",fp)") {
    return false;
  }
  return parseDecimal(text.substr(2, text.size() - 6), offset);
}

}  // namespace vorax
