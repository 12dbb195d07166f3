#include "asmout/decoded_line.h"

#include <array>
#include <utility>

#include "asmout/peephole_text.h"

namespace vorax {
namespace {

using peephole::startsWith;

constexpr std::array<std::pair<std::string_view, Mnemonic>, 51> kMnemonics = {{
    {"nop", Mnemonic::Nop},       {"neop", Mnemonic::Neop},     {"bcx", Mnemonic::Bcx},
    {"org", Mnemonic::Org},       {"db", Mnemonic::Db},         {"dw", Mnemonic::Dw},
    {"dl", Mnemonic::Dl},         {"bra", Mnemonic::Bra},       {"beq", Mnemonic::Beq},
    {"bne", Mnemonic::Bne},       {"ble", Mnemonic::Ble},       {"blt", Mnemonic::Blt},
    {"bge", Mnemonic::Bge},       {"bgt", Mnemonic::Bgt},       {"bpl", Mnemonic::Bpl},
    {"bcc", Mnemonic::Bcc},       {"bhi", Mnemonic::Bhi},       {"bls", Mnemonic::Bls},
    {"bcs", Mnemonic::Bcs},       {"bsr", Mnemonic::Bsr},       {"jsr", Mnemonic::Jsr},
    {"jmp", Mnemonic::Jmp},       {"rts", Mnemonic::Rts},       {"rte", Mnemonic::Rte},
    {"trapa", Mnemonic::Trapa},   {"eepmov", Mnemonic::Eepmov}, {"ldm", Mnemonic::Ldm},
    {"stm", Mnemonic::Stm},       {"sleep", Mnemonic::Sleep},   {"btst", Mnemonic::Btst},
    {"bset", Mnemonic::Bset},     {"bclr", Mnemonic::Bclr},     {"lea", Mnemonic::Lea},
    {"adds", Mnemonic::Adds},     {"subs", Mnemonic::Subs},     {"mov.b", Mnemonic::MovB},
    {"mov.w", Mnemonic::MovW},    {"mov.l", Mnemonic::MovL},    {"xor.w", Mnemonic::XorW},
    {"xor.l", Mnemonic::XorL},    {"and.b", Mnemonic::AndB},    {"and.w", Mnemonic::AndW},
    {"and.l", Mnemonic::AndL},    {"add.l", Mnemonic::AddL},    {"sub.l", Mnemonic::SubL},
    {"extu.w", Mnemonic::ExtuW},  {"extu.l", Mnemonic::ExtuL},  {"inc.w", Mnemonic::IncW},
    {"inc.l", Mnemonic::IncL},    {"dec.w", Mnemonic::DecW},    {"dec.l", Mnemonic::DecL},
}};

constexpr std::array<std::string_view, static_cast<std::size_t>(MnemonicPrefix::Count)> kPrefixes =
    {"mov.", "cmp.", "and.", "xor.", "or.",  "add.",  "sub.", "inc.", "dec.", "neg.",
     "not.", "extu", "exts", "shal", "shar", "shll",  "shlr", "rot",  "addx", "subx",
     "rotx", "mulxs", "divx", "stc", "ldc", "andc", "orc",  "xorc", "da"};

Mnemonic mnemonicOf(std::string_view text) {
  for (const auto& [name, id] : kMnemonics) {
    if (text == name) {
      return id;
    }
  }
  return Mnemonic::Other;
}

std::uint16_t registerNames(std::string_view text) {
  std::uint16_t names = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    const char c = text[i];
    const char next = text[i + 1];
    if (c == 'r' && next >= '0' && next <= '6') {
      names = static_cast<std::uint16_t>(names | (1u << (next - '0')));
    } else if (c == 'f' && next == 'p') {
      names |= kFramePointerBit;
    } else if (c == 's' && next == 'p') {
      names |= kStackPointerBit;
    }
  }
  return names;
}

DecodedOperand decodeOperand(std::string_view text) {
  DecodedOperand operand;
  if (text.empty()) {
    return operand;
  }
  operand.kind = static_cast<OperandForm>(peephole::operandKind(text));
  if (operand.kind == OperandForm::Register) {
    operand.reg = static_cast<std::int8_t>(text == "fp" ? 7 : text[1] - '0');
  }
  operand.names = registerNames(text);
  return operand;
}

}  // namespace

DecodedLine decodeLine(std::string_view mnemonic, std::string_view source,
                       std::string_view destination) {
  DecodedLine line;
  line.mnemonic = mnemonicOf(mnemonic);
  line.size = static_cast<std::uint8_t>(peephole::operationSize(mnemonic));
  for (std::size_t p = 0; p < kPrefixes.size(); ++p) {
    if (startsWith(mnemonic, kPrefixes[p])) {
      line.prefixes |= 1u << p;
    }
  }
  line.conditionalBranch = peephole::isConditionalBranch(mnemonic);
  line.branch = peephole::isBranch(mnemonic);
  line.data = peephole::isDataMnemonic(mnemonic);
  line.opaque = peephole::isOpaque(mnemonic);
  line.source = decodeOperand(source);
  line.destination = decodeOperand(destination);
  if (peephole::isWorkRegister(destination)) {
    line.namedTarget = static_cast<std::int8_t>(destination[1] - '0');
  } else if (destination.empty() && peephole::isWorkRegister(source)) {
    line.namedTarget = static_cast<std::int8_t>(source[1] - '0');
  }
  return line;
}

}  // namespace vorax
