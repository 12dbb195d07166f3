// The vocabulary the peephole rules use to read window lines: mnemonic classes, operand
// kinds, registers, and what a line reads and writes. Everything works on string_view so
// the rules compare texts without building strings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "asmout/peephole_window.h"
#include "asmout/shared_places.h"

namespace vorax::peephole {

// Compared character by character: the texts are a few bytes long and this is the
// innermost test of every scan.
constexpr bool startsWith(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) {
    return false;
  }
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (text[i] != prefix[i]) {
      return false;
    }
  }
  return true;
}
constexpr bool equals(std::string_view a, std::string_view b) {
  return a.size() == b.size() && startsWith(a, b);
}
constexpr bool contains(std::string_view text, std::string_view part) {
  return !part.empty() && text.find(part) != std::string_view::npos;
}

// How an operand text addresses its value.
enum class OperandKind {
  Plain = 0,          // a symbol or absolute address
  Immediate = 1,      // "#..."
  Register = 2,       // "r0".."r6", "fp"
  Indirect = 3,       // "@r3", "@sp"
  FrameSlot = 4,      // "@(d,fp)"
  Indexed = 5,        // "@(d,rN)"
  PostIncrement = 6,  // "@r2+", "@sp+"
  PreDecrementOrAbsolute = 7,
};
OperandKind operandKind(std::string_view text);

// "r0".."r5": the registers the code generators hand out.
bool isWorkRegister(std::string_view text);
// Any register operand: "r0".."r6" or "fp".
bool isRegisterOperand(std::string_view text);
// "P" digit "DR" / "P" digit "DDR": an I/O port register, whose reads and writes matter.
bool isPortRegister(std::string_view text);
// An operand that changes a register by being used (post-increment, pre-decrement).
bool isAutoModifying(std::string_view text);

bool isConditionalBranch(std::string_view mnemonic);
bool isBranch(std::string_view mnemonic);        // conditional branch or "bra"
bool isDataMnemonic(std::string_view mnemonic);  // "db", "dw", "dl"
// A line after which control never falls through to the next line.
bool isUnconditionalTransfer(std::string_view mnemonic);
// The branch with the opposite condition, or empty when there is none.
std::string_view inverseCondition(std::string_view mnemonic);

// The fourth and fifth characters of a mnemonic ("mov.w" -> ".w"), or empty.
std::string_view sizeSuffix(std::string_view mnemonic);
// The operand size a mnemonic ends with: 1, 2 or 4; 0 when it names none.
int operationSize(std::string_view mnemonic);

// Bit number 0..7 of a single-bit mask source "#1".."#128", or -1.
int singleBitMask(std::string_view source);
// The value of an immediate "#123", "#-5", "#h'00ff"; nothing for a symbol immediate.
std::optional<std::int64_t> immediateValue(std::string_view source);
// "#" and the value in decimal.
std::string immediateText(std::int64_t value);
// The offset d of a frame slot "@(d,fp)", when it is written as a decimal number.
std::optional<std::int64_t> frameSlotOffset(std::string_view operand);

// A line clears R: "xor.X R,R".
bool clearsRegister(const WindowLine& line, std::string_view reg);
// The register a line clears, or empty.
std::string_view clearedRegister(const WindowLine& line);
// A line sets R: it clears R, or it is a "mov." into R.
bool setsRegister(const WindowLine& line, std::string_view reg);
// The narrow sense the rules are written in: R is the destination (or the only operand)
// of a line other than "nop", "btst", "extu.l" and "cmp.".
bool writesOperand(const WindowLine& line, std::string_view operand);
// Every way a line can change register R: as destination or only operand, through an
// auto-modifying operand, or by being an instruction that changes registers it does not
// name (calls, traps, block moves, multiple loads).
bool changesRegister(const WindowLine& line, std::string_view reg);
// R occurs anywhere in the line's operand texts.
bool mentions(const WindowLine& line, std::string_view text);
// Same mnemonic, source and destination.
bool sameInstruction(const WindowLine& a, const WindowLine& b);
// An instruction whose effect the rules do not model: calls, returns, traps, block moves.
bool isOpaque(std::string_view mnemonic);

// Characters a label may contain: letters, digits, "_", ".", "$" and "\".
bool isLabelCharacter(char c);
// Whether `text` names label `label` as a whole item (a branch target, or an item of a
// data list such as "$3,$4").
bool namesLabel(std::string_view text, std::string_view label);
// A place at a fixed address: a symbol or a frame slot, not a port register.
bool isFixedMemory(std::string_view operand);
// Whether memory operands p and q of `size` bytes certainly do not overlap: two frame
// slots far enough apart, one symbol at displacements far enough apart, or two places of
// their own (different symbols, a symbol and a frame slot). A shared place (ABSOLUTE,
// EXTERNAL) may overlap any place with an address.
bool disjointMemory(std::string_view p, std::string_view q, int size, const SharedPlaces& shared);
// A memory operand (not an immediate, a register or empty).
bool isMemoryOperand(std::string_view operand);
// Whether a store to memory operand `store` may change some of the `size` bytes that
// memory operand `place` names. A push goes below every fixed place; a store through a
// register may reach anything.
bool storeMayReach(std::string_view store, std::string_view place, int size,
                   const SharedPlaces& shared);

bool isLocalLabel(std::string_view label);   // "$n"
bool isMarkerLabel(std::string_view label);  // "@n" or "#n"

}  // namespace vorax::peephole
