// Single-bit updates: x := x OR mask, x := x AND mask and x := x XOR mask become one
// "bset", "bclr" or "bnot" on the variable's memory when the mask names a single bit.
#pragma once

#include <optional>
#include <string_view>

#include "codegen/expr_node.h"

namespace vorax {

class Compilation;

// A recognised single-bit update of a variable.
struct BitUpdate {
  TokenCode op = TokenCode::Or;  // OR sets, AND clears, XOR toggles
  int bit = 0;                   // bit number within the whole value, 0 = least significant
};

// The update `source` makes when it is `target` OR/AND/XOR a constant that touches exactly
// one bit of a `size`-byte value (the target may stand on either side). Only bits inside
// the target count: the store drops the others anyway.
[[nodiscard]] std::optional<BitUpdate> findBitUpdate(const ExprNode& target, const ExprNode& source,
                                                     int size);

// "bset", "bclr" or "bnot" for the update's operator; internal error 941 for any other.
[[nodiscard]] std::string_view bitMnemonic(Compilation& c, TokenCode op);

// Emits `mnemonic` "#bitInByte" on the byte operand `operand`. Bit instructions address
// memory only through a register ("@rN") or by an absolute address on the 2000, so other
// operands are first turned into an address register.
void emitBitInstruction(Compilation& c, std::string_view mnemonic, int bitInByte,
                        std::string_view operand);

}  // namespace vorax
