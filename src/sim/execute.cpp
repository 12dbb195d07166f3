// Execution of one instruction of each class.
#include "sim/alu.h"
#include "sim/machine.h"

namespace vorax::sim {

namespace {

uint32_t effectiveAddress(CpuState& cpu, const Memory& memory, const Operand& operand, int size) {
  switch (operand.kind) {
    case OperandKind::Indirect:
      return memory.wrap(cpu.er[static_cast<size_t>(operand.reg)]);
    case OperandKind::Displacement:
      return memory.wrap(cpu.er[static_cast<size_t>(operand.reg)] +
                         static_cast<uint32_t>(operand.value));
    case OperandKind::PostIncrement: {
      uint32_t address = memory.wrap(cpu.er[static_cast<size_t>(operand.reg)]);
      cpu.er[static_cast<size_t>(operand.reg)] += static_cast<uint32_t>(size);
      return address;
    }
    case OperandKind::PreDecrement:
      cpu.er[static_cast<size_t>(operand.reg)] -= static_cast<uint32_t>(size);
      return memory.wrap(cpu.er[static_cast<size_t>(operand.reg)]);
    default:
      return memory.wrap(static_cast<uint64_t>(operand.value));
  }
}

// Reads a source operand: register, immediate or memory.
uint32_t readOperand(CpuState& cpu, Memory& memory, const Operand& operand, int size) {
  switch (operand.kind) {
    case OperandKind::Register:
      return cpu.reg(operand.reg, size);
    case OperandKind::Immediate:
      return static_cast<uint32_t>(operand.value) & sizeMask(size);
    default: {
      // For a post-increment the read must happen before the register moves on, and a
      // misaligned access must not change the register.
      uint32_t address = effectiveAddress(cpu, memory, operand, size);
      return memory.read(address, size);
    }
  }
}

void writeOperand(CpuState& cpu, Memory& memory, const Operand& operand, int size, uint32_t value) {
  if (operand.kind == OperandKind::Register) {
    cpu.setReg(operand.reg, size, value);
    return;
  }
  uint32_t address = effectiveAddress(cpu, memory, operand, size);
  memory.write(address, size, value);
}

// Address of the byte a bit instruction works on.
uint32_t bitAddress(CpuState& cpu, const Memory& memory, const Operand& operand) {
  return effectiveAddress(cpu, memory, operand, 1);
}

int64_t signExtend(uint32_t value, int size) {
  uint32_t v = value & sizeMask(size);
  if ((v & signBit(size)) != 0) return static_cast<int64_t>(v) - (int64_t{1} << (size * 8));
  return v;
}

}  // namespace

void Machine::execute(const Instruction& ins) {
  CpuState& cpu = cpu_;
  Memory& mem = memory();
  ConditionFlags& f = cpu.flags;
  const int size = ins.size;
  uint32_t nextPc = cpu.pc + static_cast<uint32_t>(ins.length);
  auto dstReg = [&](int sz) { return cpu.reg(ins.dst.reg, sz); };

  switch (ins.op) {
    case Op::Mov: {
      uint32_t value = readOperand(cpu, mem, ins.src, size);
      writeOperand(cpu, mem, ins.dst, size, value);
      alu::logicFlags(value, size, f);
      // Loading the stack pointer with an address from outside the stack (mov.l #\stack,sp
      // at the start, mov.l \ram,sp at the end) sets up a stack of its own there.
      if (ins.dst.kind == OperandKind::Register && ins.dst.reg == 7 && size == 4 &&
          ins.src.kind != OperandKind::Register && !stackArea_.contains(cpu.er[7])) {
        stackArea_.startAt(cpu.er[7]);
      }
      break;
    }
    case Op::Add:
      cpu.setReg(ins.dst.reg, size,
                 alu::add(dstReg(size), readOperand(cpu, mem, ins.src, size), size, f));
      break;
    case Op::Sub:
      cpu.setReg(ins.dst.reg, size,
                 alu::sub(dstReg(size), readOperand(cpu, mem, ins.src, size), size, f));
      break;
    case Op::Cmp:
      alu::sub(dstReg(size), readOperand(cpu, mem, ins.src, size), size, f);
      break;
    case Op::And:
    case Op::Or:
    case Op::Xor: {
      uint32_t a = dstReg(size);
      uint32_t b = readOperand(cpu, mem, ins.src, size);
      uint32_t r = ins.op == Op::And ? a & b : ins.op == Op::Or ? a | b : a ^ b;
      cpu.setReg(ins.dst.reg, size, r);
      alu::logicFlags(r, size, f);
      break;
    }
    case Op::Not: {
      uint32_t r = ~cpu.reg(ins.src.reg, size) & sizeMask(size);
      cpu.setReg(ins.src.reg, size, r);
      alu::logicFlags(r, size, f);
      break;
    }
    case Op::Neg:
      cpu.setReg(ins.src.reg, size, alu::neg(cpu.reg(ins.src.reg, size), size, f));
      break;
    case Op::Extu:
      cpu.setReg(ins.src.reg, size, alu::extu(cpu.reg(ins.src.reg, size), size, f));
      break;
    case Op::Exts:
      cpu.setReg(ins.src.reg, size, alu::exts(cpu.reg(ins.src.reg, size), size, f));
      break;
    case Op::Inc:
      cpu.setReg(ins.dst.reg, size,
                 alu::inc(dstReg(size), static_cast<uint32_t>(ins.src.value), size, f));
      break;
    case Op::Dec:
      cpu.setReg(ins.dst.reg, size,
                 alu::dec(dstReg(size), static_cast<uint32_t>(ins.src.value), size, f));
      break;
    case Op::Adds:
      cpu.er[static_cast<size_t>(ins.dst.reg)] += static_cast<uint32_t>(ins.src.value);
      break;
    case Op::Subs:
      cpu.er[static_cast<size_t>(ins.dst.reg)] -= static_cast<uint32_t>(ins.src.value);
      break;
    case Op::Shal:
    case Op::Shar:
    case Op::Shll:
    case Op::Shlr: {
      int count = static_cast<int>(ins.src.value);
      uint32_t a = dstReg(size);
      uint32_t r = ins.op == Op::Shal   ? alu::shal(a, count, size, f)
                   : ins.op == Op::Shar ? alu::shar(a, count, size, f)
                   : ins.op == Op::Shll ? alu::shll(a, count, size, f)
                                        : alu::shlr(a, count, size, f);
      cpu.setReg(ins.dst.reg, size, r);
      break;
    }
    case Op::Mulxu: {
      uint32_t product = cpu.reg(ins.src.reg, size) * dstReg(size);
      cpu.setReg(ins.dst.reg, size * 2, product);
      break;
    }
    case Op::Mulxs: {
      int64_t product =
          signExtend(cpu.reg(ins.src.reg, size), size) * signExtend(dstReg(size), size);
      uint32_t result = static_cast<uint32_t>(product) & sizeMask(size * 2);
      cpu.setReg(ins.dst.reg, size * 2, result);
      cpu.setNZ(result, size * 2);
      break;
    }
    case Op::Divxu:
    case Op::Divxs: {
      uint32_t divisor = cpu.reg(ins.src.reg, size);
      uint32_t dividend = dstReg(size * 2);
      if (divisor == 0) {
        // The chip leaves the registers alone and reports the zero divisor in Z.
        f.z = true;
        f.n = ins.op == Op::Divxu ? false : (dividend & signBit(size * 2)) != 0;
        break;
      }
      uint32_t quotient = 0;
      uint32_t remainder = 0;
      if (ins.op == Op::Divxu) {
        quotient = dividend / divisor;
        remainder = dividend % divisor;
        f.n = (divisor & signBit(size)) != 0;
      } else {
        int64_t a = signExtend(dividend, size * 2);
        int64_t b = signExtend(divisor, size);
        int64_t q = a / b;
        quotient = static_cast<uint32_t>(q);
        remainder = static_cast<uint32_t>(a % b);
        f.n = q < 0;
      }
      f.z = false;
      uint32_t mask = sizeMask(size);
      cpu.setReg(ins.dst.reg, size * 2, (remainder & mask) << (size * 8) | (quotient & mask));
      break;
    }
    case Op::Bset:
    case Op::Bclr:
    case Op::Bnot:
    case Op::Btst: {
      int bit = ins.src.kind == OperandKind::Immediate
                    ? static_cast<int>(ins.src.value)
                    : static_cast<int>(cpu.reg(ins.src.reg, 1) & 7);
      uint8_t mask = static_cast<uint8_t>(1u << bit);
      bool inRegister = ins.dst.kind == OperandKind::Register;
      uint32_t address = inRegister ? 0 : bitAddress(cpu, mem, ins.dst);
      uint8_t value = inRegister ? static_cast<uint8_t>(dstReg(1)) : mem.read8(address);
      if (ins.op == Op::Btst) {
        f.z = (value & mask) == 0;
        break;
      }
      value = ins.op == Op::Bset   ? static_cast<uint8_t>(value | mask)
              : ins.op == Op::Bclr ? static_cast<uint8_t>(value & ~mask)
                                   : static_cast<uint8_t>(value ^ mask);
      if (inRegister) {
        cpu.setReg(ins.dst.reg, 1, value);
      } else {
        mem.write8(address, value);
      }
      break;
    }
    case Op::Branch:
      if (alu::branchTaken(static_cast<int>(ins.cond), f)) {
        nextPc = static_cast<uint32_t>(ins.src.value);
      }
      break;
    case Op::Bsr:
      pushReturnAddress(nextPc);
      nextPc = static_cast<uint32_t>(ins.src.value);
      break;
    case Op::Jsr:
    case Op::Jmp: {
      uint32_t target = ins.src.kind == OperandKind::Indirect
                            ? cpu.er[static_cast<size_t>(ins.src.reg)]
                            : static_cast<uint32_t>(ins.src.value);
      if (ins.op == Op::Jsr) pushReturnAddress(nextPc);
      nextPc = target;
      break;
    }
    case Op::Rts:
      nextPc = popReturnAddress();
      break;
    case Op::Rte:
      if (returnAddressSize(model()) == 2) {
        f.fromByte(static_cast<uint8_t>(pop16() >> 8));
        nextPc = pop16();
      } else {
        uint32_t stacked = pop32();
        f.fromByte(static_cast<uint8_t>(stacked >> 24));
        nextPc = stacked & 0xFFFFFF;
      }
      break;
    case Op::Trapa:
      // A fault raised by the handler is reported at the trapa line itself.
      host_.trap(static_cast<int>(ins.src.value), *this);
      break;
    case Op::Nop:
      break;
    case Op::Stm:
      for (int r = ins.src.reg; r < ins.src.reg + ins.src.regCount; ++r) {
        push32(cpu.er[static_cast<size_t>(r)]);
      }
      break;
    case Op::Ldm:
      for (int r = ins.dst.reg + ins.dst.regCount - 1; r >= ins.dst.reg; --r) {
        cpu.er[static_cast<size_t>(r)] = pop32();
      }
      break;
    case Op::Lea: {
      // lea is mov.l ERs,ERd (or mov.l #address,ERd) followed by add.l #d,ERd; the flags
      // are those of the last of them.
      if (ins.src.kind == OperandKind::Displacement) {
        uint32_t base = cpu.er[static_cast<size_t>(ins.src.reg)];
        cpu.er[static_cast<size_t>(ins.dst.reg)] =
            alu::add(base, static_cast<uint32_t>(ins.src.value), 4, f);
      } else {
        uint32_t value = ins.src.kind == OperandKind::Indirect
                             ? cpu.er[static_cast<size_t>(ins.src.reg)]
                             : static_cast<uint32_t>(ins.src.value);
        cpu.er[static_cast<size_t>(ins.dst.reg)] = value;
        alu::logicFlags(value, 4, f);
      }
      break;
    }
  }
  cpu.pc = mem.wrap(nextPc);
}

}  // namespace vorax::sim
