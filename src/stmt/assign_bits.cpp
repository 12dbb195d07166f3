#include "stmt/assign_bits.h"

#include <bit>
#include <cstdint>
#include <string>
#include <utility>

#include "asmout/operand_text.h"
#include "codegen/expr_tree.h"
#include "driver/compilation.h"
#include "stmt/assign_kinds.h"

namespace vorax {
namespace {

std::uint32_t maskOfSize(int size) {
  return size >= 4 ? 0xFFFFFFFFU : (std::uint32_t{1} << (8 * size)) - 1;
}

bool isBitOperator(TokenCode op) {
  return op == TokenCode::Or || op == TokenCode::And || op == TokenCode::Xor;
}

}  // namespace

std::optional<BitUpdate> findBitUpdate(const ExprNode& target, const ExprNode& source, int size) {
  if (source.isLeaf || source.unaryFlags != 0 || !isBitOperator(source.op) || !source.left ||
      !source.right) {
    return std::nullopt;
  }
  const ExprNode* variable = source.left.get();
  const ExprNode* mask = source.right.get();
  if (!sameLeaf(target, *variable)) {
    std::swap(variable, mask);
  }
  if (!sameLeaf(target, *variable) || variable->unaryFlags != 0 ||
      !mask->isConstantOf(ConstKind::Integer) || mask->unaryFlags != 0) {
    return std::nullopt;
  }
  auto bits = static_cast<std::uint32_t>(mask->value.intValue);
  if (source.op == TokenCode::And) {
    bits = ~bits;  // the one bit AND clears
  }
  bits &= maskOfSize(size);
  if (!std::has_single_bit(bits)) {
    return std::nullopt;
  }
  return BitUpdate{source.op, std::countr_zero(bits)};
}

std::string_view bitMnemonic(Compilation& c, TokenCode op) {
  switch (op) {
    case TokenCode::Or:
      return "bset";
    case TokenCode::And:
      return "bclr";
    case TokenCode::Xor:
      return "bnot";
    default:
      c.reportError(kUnexpectedBitOperator);
  }
}

void emitBitInstruction(Compilation& c, std::string_view mnemonic, int bitInByte,
                        std::string_view operand) {
  const std::string bitText = "#" + std::to_string(bitInByte);
  Emitter& emitter = c.emitter;
  if (!operand.empty() && operand[0] == '@') {
    if (isWorkRegister(operand.substr(1))) {
      emitter.emitInstruction(mnemonic, bitText, operand);
      return;
    }
    // "@(d,rN)" and frame slots: the address goes into a register first.
    const std::string address = c.registers.allocateRegister();
    emitter.emitInstruction("lea", operand, address);
    emitter.emitInstruction(mnemonic, bitText, "@" + address);
    c.registers.releaseRegister(address);
    return;
  }
  if (isWorkRegister(operand) || c.directives.settings().cpu2000) {
    emitter.emitInstruction(mnemonic, bitText, operand);
    return;
  }
  // An absolute address: the 300H reaches only the top page directly.
  const std::string address = c.registers.allocateRegister();
  emitter.emitInstruction("mov.l", "#" + std::string(operand), address);
  emitter.emitInstruction(mnemonic, bitText, "@" + address);
  c.registers.releaseRegister(address);
}

}  // namespace vorax
