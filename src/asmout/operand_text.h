// The assembler dialect every generator speaks: size suffixes, register names, operand
// kinds, hexadecimal immediates and the sizes that depend on the target processor.
// Registers are spelled "r0".."r6", "fp" and "sp" whatever the operand size; the size
// lives only in the mnemonic's suffix.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorax {

class Compilation;

// The mnemonic suffix for an operand of `size` bytes: ".b", ".w", or ".l" for any other size.
[[nodiscard]] std::string_view sizeSuffix(std::int64_t size);

// What an operand text addresses. The numbers are part of the vocabulary shared with the
// peephole rules, so they are fixed.
enum class OperandKind {
  Plain = 0,                   // a symbol or absolute address used as memory
  Immediate = 1,               // "#..."
  Register = 2,                // "r0".."r6", "fp"
  RegisterIndirect = 3,        // "@r3", "@sp"
  FrameSlot = 4,               // "@(d,fp)"
  Indexed = 5,                 // "@(d,r1)", "@(d,sp)"
  PostIncrement = 6,           // "@r2+", "@sp+"
  PreDecrementOrAbsolute = 7,  // "@-sp", "@h'0000a000"
};

[[nodiscard]] OperandKind operandKind(std::string_view text);

// True for the registers the pool hands out: "r0".."r5" exactly.
[[nodiscard]] bool isWorkRegister(std::string_view text);
// The digit after "r" in a register text ("r3" -> 3); -1 when the text is not "r" + digit.
[[nodiscard]] int registerNumber(std::string_view text);
// "r" followed by the digit n.
[[nodiscard]] std::string registerName(int n);

// "h'" + the low 16 bits as 4 lower-case hexadecimal digits (255 -> "h'00ff").
[[nodiscard]] std::string hexImmediate16(std::int64_t value);
// "h'" + the low 32 bits as 8 lower-case hexadecimal digits (40960 -> "h'0000a000").
[[nodiscard]] std::string hexImmediate32(std::int64_t value);

// n rounded away from zero to an even number (3 -> 4, -3 -> -4); even numbers stay.
[[nodiscard]] std::int64_t roundToEven(std::int64_t n);

// Bytes of an address on the selected processor: 2 on the 300L, 4 otherwise.
[[nodiscard]] int addressSize(const Compilation& compilation);
// The move that copies a pointer: "mov.w" on the 300L, "mov.l" otherwise.
[[nodiscard]] std::string_view pointerMoveMnemonic(const Compilation& compilation);

// The decimal integer written after "#" in an immediate ("#-12" -> -12); false when the
// text is not "#" followed by an optionally signed decimal number.
[[nodiscard]] bool parseDecimalImmediate(std::string_view text, std::int64_t& value);
// A whole text as an optionally signed decimal number.
[[nodiscard]] bool parseDecimal(std::string_view text, std::int64_t& value);

}  // namespace vorax
