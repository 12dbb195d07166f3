// A window line taken apart once: what its mnemonic is, the size it works on, what kind
// of operands it has and which registers they name. The peephole rules ask these
// questions of every line many times; asking them of numbers instead of texts is what
// keeps the optimizer fast. Every answer is computed from the texts by the same test the
// text form would use, so a rule reads the same result either way.
#pragma once

#include <cstdint>
#include <string_view>

namespace vorax {

// The mnemonics the rules name exactly. Anything else is Other (its text still tells).
enum class Mnemonic : std::uint8_t {
  Other,
  Nop,
  Neop,
  Bcx,
  Org,
  Db,
  Dw,
  Dl,
  Bra,
  Beq,
  Bne,
  Ble,
  Blt,
  Bge,
  Bgt,
  Bpl,
  Bcc,
  Bhi,
  Bls,
  Bcs,
  Bsr,
  Jsr,
  Jmp,
  Rts,
  Rte,
  Trapa,
  Eepmov,
  Ldm,
  Stm,
  Sleep,
  Btst,
  Bset,
  Bclr,
  Lea,
  Adds,
  Subs,
  MovB,
  MovW,
  MovL,
  XorW,
  XorL,
  AndB,
  AndW,
  AndL,
  AddL,
  SubL,
  ExtuW,
  ExtuL,
  IncW,
  IncL,
  DecW,
  DecL,
};

// Prefixes of mnemonic texts the rules test, one bit each.
enum class MnemonicPrefix : std::uint8_t {
  Mov,    // "mov."
  Cmp,    // "cmp."
  And,    // "and."
  Xor,    // "xor."
  Or,     // "or."
  Add,    // "add."
  Sub,    // "sub."
  Inc,    // "inc."
  Dec,    // "dec."
  Neg,    // "neg."
  Not,    // "not."
  Extu,   // "extu"
  Exts,   // "exts"
  Shal,   // "shal"
  Shar,   // "shar"
  Shll,   // "shll"
  Shlr,   // "shlr"
  Rot,    // "rot"
  Addx,   // "addx"
  Subx,   // "subx"
  Rotx,   // "rotx"
  Mulxs,  // "mulxs"
  Divx,   // "divx"
  Stc,    // "stc"
  Ldc,    // "ldc"
  Andc,   // "andc"
  Orc,    // "orc"
  Xorc,   // "xorc"
  Da,     // "da"
  Count,
};

// Kinds of an operand text (the same numbering as peephole::OperandKind), plus None for
// an empty text.
enum class OperandForm : std::uint8_t {
  Plain = 0,
  Immediate = 1,
  Register = 2,
  Indirect = 3,
  FrameSlot = 4,
  Indexed = 5,
  PostIncrement = 6,
  PreDecrementOrAbsolute = 7,
  None = 8,
};

// Bits of register names: bit n for "rn" (n = 0..6), then "fp" and "sp".
inline constexpr std::uint16_t kFramePointerBit = 1u << 7;
inline constexpr std::uint16_t kStackPointerBit = 1u << 8;

// The numbers of a line's mnemonic, source and destination texts (see TextNumbers):
// two lines hold the same instruction exactly when their keys are equal.
struct InstructionKey {
  std::uint32_t mnemonic = 0;
  std::uint32_t source = 0;
  std::uint32_t destination = 0;
  friend bool operator==(const InstructionKey&, const InstructionKey&) = default;
};

struct DecodedOperand {
  OperandForm kind = OperandForm::None;
  // For a register operand: 0..6 for "r0".."r6", 7 for "fp"; otherwise -1.
  std::int8_t reg = -1;
  // Registers whose names occur anywhere in the text (as text, "r1" in "@(2,r1)").
  std::uint16_t names = 0;
};

struct DecodedLine {
  Mnemonic mnemonic = Mnemonic::Other;
  std::uint8_t size = 0;  // bytes the mnemonic's size suffix names: 1, 2, 4, or 0
  std::uint32_t prefixes = 0;
  bool branch = false;             // a conditional branch or "bra"
  bool conditionalBranch = false;  // "beq", "bne", ... (see peephole::isConditionalBranch)
  bool data = false;               // "db", "dw", "dl"
  bool opaque = false;             // calls, returns, traps, block moves (peephole::isOpaque)
  DecodedOperand source;
  DecodedOperand destination;
  // Work register 0..5 that the line names as its destination, or as its only operand;
  // -1 when it names none so.
  std::int8_t namedTarget = -1;
  InstructionKey texts;  // filled in by the window, which numbers the texts

  [[nodiscard]] bool has(MnemonicPrefix prefix) const {
    return (prefixes & (1u << static_cast<unsigned>(prefix))) != 0;
  }
  [[nodiscard]] bool is(Mnemonic m) const { return mnemonic == m; }
};

DecodedLine decodeLine(std::string_view mnemonic, std::string_view source,
                       std::string_view destination);

}  // namespace vorax
