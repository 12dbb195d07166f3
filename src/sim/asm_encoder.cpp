#include "sim/asm_encoder.h"

#include <map>

#include "sim/asm_operand.h"

namespace vorax::sim {

namespace {

struct MnemonicInfo {
  Op op;
  Cond cond = Cond::Always;
};

const std::map<std::string, MnemonicInfo>& mnemonicTable() {
  static const std::map<std::string, MnemonicInfo> table = {
      {"mov", {Op::Mov}},
      {"add", {Op::Add}},
      {"sub", {Op::Sub}},
      {"cmp", {Op::Cmp}},
      {"and", {Op::And}},
      {"or", {Op::Or}},
      {"xor", {Op::Xor}},
      {"not", {Op::Not}},
      {"neg", {Op::Neg}},
      {"extu", {Op::Extu}},
      {"exts", {Op::Exts}},
      {"inc", {Op::Inc}},
      {"dec", {Op::Dec}},
      {"adds", {Op::Adds}},
      {"subs", {Op::Subs}},
      {"shal", {Op::Shal}},
      {"shar", {Op::Shar}},
      {"shll", {Op::Shll}},
      {"shlr", {Op::Shlr}},
      {"mulxu", {Op::Mulxu}},
      {"mulxs", {Op::Mulxs}},
      {"divxu", {Op::Divxu}},
      {"divxs", {Op::Divxs}},
      {"bset", {Op::Bset}},
      {"bclr", {Op::Bclr}},
      {"bnot", {Op::Bnot}},
      {"btst", {Op::Btst}},
      {"bsr", {Op::Bsr}},
      {"jsr", {Op::Jsr}},
      {"jmp", {Op::Jmp}},
      {"rts", {Op::Rts}},
      {"rte", {Op::Rte}},
      {"trapa", {Op::Trapa}},
      {"nop", {Op::Nop}},
      {"stm", {Op::Stm}},
      {"ldm", {Op::Ldm}},
      {"lea", {Op::Lea}},
      {"bra", {Op::Branch, Cond::Always}},
      {"bt", {Op::Branch, Cond::Always}},
      {"brn", {Op::Branch, Cond::Never}},
      {"bf", {Op::Branch, Cond::Never}},
      {"bhi", {Op::Branch, Cond::Hi}},
      {"bls", {Op::Branch, Cond::Ls}},
      {"bcc", {Op::Branch, Cond::Cc}},
      {"bhs", {Op::Branch, Cond::Cc}},
      {"bcs", {Op::Branch, Cond::Cs}},
      {"blo", {Op::Branch, Cond::Cs}},
      {"bne", {Op::Branch, Cond::Ne}},
      {"beq", {Op::Branch, Cond::Eq}},
      {"bvc", {Op::Branch, Cond::Vc}},
      {"bvs", {Op::Branch, Cond::Vs}},
      {"bpl", {Op::Branch, Cond::Pl}},
      {"bmi", {Op::Branch, Cond::Mi}},
      {"bge", {Op::Branch, Cond::Ge}},
      {"blt", {Op::Branch, Cond::Lt}},
      {"bgt", {Op::Branch, Cond::Gt}},
      {"ble", {Op::Branch, Cond::Le}},
  };
  return table;
}

[[noreturn]] void lacks(const std::string& mnemonic, const std::string& why) {
  throw AsmError("operand form not available: " + mnemonic + ": " + why);
}

bool isMemory(OperandKind kind) {
  return kind == OperandKind::Indirect || kind == OperandKind::Displacement ||
         kind == OperandKind::PostIncrement || kind == OperandKind::PreDecrement ||
         kind == OperandKind::Absolute;
}

// Which sizes a mnemonic accepts; 0 stands for "no suffix".
void requireSize(const std::string& full, int size, std::initializer_list<int> allowed) {
  for (int s : allowed) {
    if (s == size) return;
  }
  throw AsmError(size == 0 ? "missing size suffix: " + full : "size not available: " + full);
}

int64_t constantValue(const Operand& operand, const std::string& full) {
  auto value =
      evaluate(*operand.expr, 0, [](const std::string&) { return std::optional<int64_t>(); });
  if (!value) throw AsmError("constant required: " + full);
  return *value;
}

void checkCount(const std::string& full, const std::vector<std::string>& operands, size_t n) {
  if (operands.size() != n) {
    throw AsmError("wrong number of operands (" + std::to_string(operands.size()) + ") for " +
                   full);
  }
}

// The widths an operand may name for its address or displacement field. Only these fields
// exist: @aa:8 for byte moves and bit instructions, @aa:16 and @(d:16,ERn) everywhere,
// the 24-bit forms where addresses have 24 bits, and the 32-bit forms of the 2000.
void checkWidth(const std::string& mnemonic, const Instruction& ins, const Operand& operand,
                CpuModel cpu) {
  const int width = operand.width;
  if (width == 0) return;
  const bool is2000 = cpu == CpuModel::H2000;
  const bool wide = cpu != CpuModel::H300L;
  const bool isBit = ins.op == Op::Bset || ins.op == Op::Bclr || ins.op == Op::Bnot ||
                     ins.op == Op::Btst;
  bool exists = false;
  if (operand.kind == OperandKind::Displacement && ins.op == Op::Mov) {
    exists = width == 16 || (width == 24 && wide) || (width == 32 && is2000);
  } else if (operand.kind == OperandKind::Absolute && ins.op == Op::Mov) {
    if (width == 8 && ins.size != 1) {
      lacks(mnemonic, "@aa:8 exists for byte moves and bit instructions only");
    }
    exists = width == 8 || width == 16 || (width == 24 && wide) || (width == 32 && is2000);
  } else if (operand.kind == OperandKind::Absolute && isBit) {
    exists = width == 8 || ((width == 16 || width == 32) && is2000);
  } else if (operand.kind == OperandKind::Absolute && (ins.op == Op::Jmp || ins.op == Op::Jsr)) {
    exists = width == 24;
  }
  if (!exists) {
    lacks(mnemonic, "no " + std::to_string(width) + "-bit " +
                        (operand.kind == OperandKind::Displacement ? "displacement" : "address") +
                        " form");
  }
}

void checkWidths(const std::string& mnemonic, const Instruction& ins, CpuModel cpu) {
  checkWidth(mnemonic, ins, ins.src, cpu);
  checkWidth(mnemonic, ins, ins.dst, cpu);
}

// An address or displacement field holds at most the CPU's address bits; a value beyond
// them would be cut silently by an encoder. Negative values stand for the addresses at the
// top of the space, as the chip sign-extends short fields.
void checkAddressField(const Operand& operand, CpuModel cpu) {
  if (operand.kind != OperandKind::Absolute && operand.kind != OperandKind::Displacement) {
    return;
  }
  const int64_t mask = addressMask(cpu);
  const int64_t v = operand.value;
  const char* what = operand.kind == OperandKind::Absolute ? "address" : "displacement";
  if (v > mask || v < -(mask + 1) / 2) {
    throw AsmError(std::string(what) + " out of range for " + cpuModelName(cpu) + ": " +
                   std::to_string(v));
  }
  const bool fits = operand.width == 8    ? fitsAbsolute8(v, cpu)
                    : operand.width == 16 ? (operand.kind == OperandKind::Absolute
                                                 ? fitsAbsolute16(v, cpu)
                                                 : v >= -32768 && v <= 32767)
                                          : true;
  if (!fits) {
    throw AsmError(std::string(what) + " does not fit its " + std::to_string(operand.width) +
                   "-bit field: " + std::to_string(v));
  }
}

}  // namespace

bool fitsAbsolute8(int64_t address, CpuModel cpu) {
  uint32_t a = static_cast<uint32_t>(address) & addressMask(cpu);
  return cpu == CpuModel::H300L ? a >= 0xFF00 : a >= 0xFFFF00;
}

bool fitsAbsolute16(int64_t address, CpuModel cpu) {
  if (cpu == CpuModel::H300L) return true;
  uint32_t a = static_cast<uint32_t>(address) & 0xFFFFFF;
  return a <= 0x7FFF || a >= 0xFF8000;
}

bool buildInstruction(const std::string& mnemonic, const std::vector<std::string>& operands,
                      CpuModel cpu, Instruction& out) {
  std::string base = mnemonic;
  int size = 0;
  size_t dot = mnemonic.find('.');
  if (dot != std::string::npos) {
    base = mnemonic.substr(0, dot);
    std::string suffix = mnemonic.substr(dot + 1);
    if (suffix == "b") {
      size = 1;
    } else if (suffix == "w") {
      size = 2;
    } else if (suffix == "l") {
      size = 4;
    } else {
      return false;
    }
  }
  auto found = mnemonicTable().find(base);
  if (found == mnemonicTable().end()) return false;
  Instruction ins;
  ins.op = found->second.op;
  ins.cond = found->second.cond;
  ins.size = size;
  if (operands.size() > 2) checkCount(mnemonic, operands, 2);
  if (!operands.empty()) ins.src = parseOperand(operands[0]);
  if (operands.size() > 1) ins.dst = parseOperand(operands[1]);
  const OperandKind s = ins.src.kind;
  const OperandKind d = ins.dst.kind;
  const bool is2000 = cpu == CpuModel::H2000;

  switch (ins.op) {
    case Op::Mov:
      requireSize(mnemonic, size, {1, 2, 4});
      checkCount(mnemonic, operands, 2);
      if (s == OperandKind::PreDecrement) lacks(mnemonic, "pre-decrement is destination only");
      if (d == OperandKind::PostIncrement) lacks(mnemonic, "post-increment is source only");
      if (d == OperandKind::Register) {
        if (s != OperandKind::Register && s != OperandKind::Immediate && !isMemory(s)) {
          lacks(mnemonic, "bad source");
        }
      } else if (isMemory(d)) {
        if (s != OperandKind::Register) lacks(mnemonic, "memory destination needs a register");
      } else {
        lacks(mnemonic, "bad destination");
      }
      break;
    case Op::Add:
    case Op::Sub:
    case Op::Cmp:
    case Op::And:
    case Op::Or:
    case Op::Xor:
      requireSize(mnemonic, size, {1, 2, 4});
      checkCount(mnemonic, operands, 2);
      if (d != OperandKind::Register) lacks(mnemonic, "destination must be a register");
      if (s != OperandKind::Register && s != OperandKind::Immediate) {
        lacks(mnemonic, "source must be a register or an immediate");
      }
      if (ins.op == Op::Sub && size == 1 && s == OperandKind::Immediate) {
        lacks(mnemonic, "byte subtraction has no immediate form");
      }
      break;
    case Op::Not:
    case Op::Neg:
      requireSize(mnemonic, size, {1, 2, 4});
      checkCount(mnemonic, operands, 1);
      if (s != OperandKind::Register) lacks(mnemonic, "operand must be a register");
      break;
    case Op::Extu:
    case Op::Exts:
      requireSize(mnemonic, size, {2, 4});
      checkCount(mnemonic, operands, 1);
      if (s != OperandKind::Register) lacks(mnemonic, "operand must be a register");
      break;
    case Op::Inc:
    case Op::Dec: {
      requireSize(mnemonic, size, {1, 2, 4});
      if (operands.size() == 1) {  // "inc.b r0" spelling: a step of one
        ins.dst = ins.src;
        ins.src = Operand{};
        ins.src.kind = OperandKind::Immediate;
        ins.src.expr = parseExpression("1");
      } else {
        checkCount(mnemonic, operands, 2);
      }
      if (ins.src.kind != OperandKind::Immediate || ins.dst.kind != OperandKind::Register) {
        lacks(mnemonic, "needs #1 or #2 and a register");
      }
      int64_t step = constantValue(ins.src, mnemonic);
      if (step != 1 && step != 2) lacks(mnemonic, "step must be 1 or 2");
      if (size == 1 && step != 1) lacks(mnemonic, "byte step is 1 only");
      ins.src.value = step;
      break;
    }
    case Op::Adds:
    case Op::Subs: {
      requireSize(mnemonic, size, {0, 4});
      checkCount(mnemonic, operands, 2);
      if (s != OperandKind::Immediate || d != OperandKind::Register) {
        lacks(mnemonic, "needs #1, #2 or #4 and a register");
      }
      int64_t step = constantValue(ins.src, mnemonic);
      if (step != 1 && step != 2 && step != 4) lacks(mnemonic, "step must be 1, 2 or 4");
      ins.src.value = step;
      ins.size = 4;
      break;
    }
    case Op::Shal:
    case Op::Shar:
    case Op::Shll:
    case Op::Shlr: {
      requireSize(mnemonic, size, {1, 2, 4});
      if (operands.size() == 1) {
        ins.dst = ins.src;
        ins.src = Operand{};
        ins.src.kind = OperandKind::Immediate;
        ins.src.expr = parseExpression("1");
      } else {
        checkCount(mnemonic, operands, 2);
      }
      if (ins.src.kind != OperandKind::Immediate || ins.dst.kind != OperandKind::Register) {
        lacks(mnemonic, "needs a count and a register");
      }
      int64_t count = constantValue(ins.src, mnemonic);
      if (count == 2 && !is2000) lacks(mnemonic, "two-bit shifts exist on 2000 only");
      if (count != 1 && count != 2) lacks(mnemonic, "count must be 1 or 2");
      ins.src.value = count;
      break;
    }
    case Op::Mulxu:
    case Op::Mulxs:
    case Op::Divxu:
    case Op::Divxs:
      requireSize(mnemonic, size, {1, 2});
      checkCount(mnemonic, operands, 2);
      if (s != OperandKind::Register || d != OperandKind::Register) {
        lacks(mnemonic, "operands must be registers");
      }
      break;
    case Op::Bset:
    case Op::Bclr:
    case Op::Bnot:
    case Op::Btst:
      requireSize(mnemonic, size, {0, 1});
      checkCount(mnemonic, operands, 2);
      if (s != OperandKind::Immediate && s != OperandKind::Register) {
        lacks(mnemonic, "bit number must be an immediate or a register");
      }
      if (d == OperandKind::Displacement) lacks(mnemonic, "no bit instruction on @(d,ERn)");
      if (d != OperandKind::Register && d != OperandKind::Indirect && d != OperandKind::Absolute) {
        lacks(mnemonic, "bad bit operand");
      }
      if (s == OperandKind::Immediate) {
        int64_t bit = constantValue(ins.src, mnemonic);
        if (bit < 0 || bit > 7) lacks(mnemonic, "bit number must be 0 to 7");
        ins.src.value = bit;
      }
      ins.size = 1;
      break;
    case Op::Branch:
    case Op::Bsr:
      requireSize(mnemonic, size, {0});
      checkCount(mnemonic, operands, 1);
      if (s != OperandKind::Absolute) lacks(mnemonic, "target must be a label");
      break;
    case Op::Jsr:
    case Op::Jmp:
      requireSize(mnemonic, size, {0});
      checkCount(mnemonic, operands, 1);
      if (s != OperandKind::Absolute && s != OperandKind::Indirect) {
        lacks(mnemonic, "target must be @ERn or an address");
      }
      break;
    case Op::Rts:
    case Op::Rte:
    case Op::Nop:
      requireSize(mnemonic, size, {0});
      checkCount(mnemonic, operands, 0);
      break;
    case Op::Trapa: {
      requireSize(mnemonic, size, {0});
      checkCount(mnemonic, operands, 1);
      if (s != OperandKind::Immediate) lacks(mnemonic, "needs #0 to #3");
      int64_t vector = constantValue(ins.src, mnemonic);
      if (vector < 0 || vector > 3) lacks(mnemonic, "needs #0 to #3");
      ins.src.value = vector;
      break;
    }
    case Op::Stm:
    case Op::Ldm: {
      if (!is2000) lacks(mnemonic, "stm and ldm exist on 2000 only");
      requireSize(mnemonic, size, {0, 4});
      checkCount(mnemonic, operands, 2);
      const Operand& list = ins.op == Op::Stm ? ins.src : ins.dst;
      const Operand& stack = ins.op == Op::Stm ? ins.dst : ins.src;
      OperandKind wanted =
          ins.op == Op::Stm ? OperandKind::PreDecrement : OperandKind::PostIncrement;
      if (list.kind != OperandKind::RegisterList || stack.kind != wanted || stack.reg != 7) {
        lacks(mnemonic, "needs a register list and the stack");
      }
      bool aligned = (list.regCount == 2 && list.reg % 2 == 0) ||
                     (list.regCount == 3 && list.reg % 4 == 0) ||
                     (list.regCount == 4 && list.reg % 4 == 0);
      if (!aligned) lacks(mnemonic, "register list not available");
      ins.size = 4;
      break;
    }
    case Op::Lea:
      requireSize(mnemonic, size, {0});
      checkCount(mnemonic, operands, 2);
      if (d != OperandKind::Register ||
          (s != OperandKind::Indirect && s != OperandKind::Displacement &&
           s != OperandKind::Absolute)) {
        lacks(mnemonic, "needs a memory operand and a register");
      }
      ins.size = 4;
      break;
  }
  checkWidths(mnemonic, ins, cpu);
  out = std::move(ins);
  return true;
}

namespace {

// Length of a mov's memory operand form. A field of a named width is used as named;
// otherwise the shortest that holds the value, the longest when it is not known yet.
// Only byte moves have the @aa:8 form.
int movMemoryLength(const Operand& mem, int size, CpuModel cpu, std::optional<int64_t> value) {
  bool isLong = size == 4;
  switch (mem.kind) {
    case OperandKind::Indirect:
    case OperandKind::PostIncrement:
    case OperandKind::PreDecrement:
      return isLong ? 4 : 2;
    case OperandKind::Displacement: {
      bool short16 = mem.width == 16 ||
                     (mem.width == 0 && (cpu == CpuModel::H300L ||
                                         (value && *value >= -32768 && *value <= 32767)));
      if (short16) return isLong ? 6 : 4;
      return isLong ? 10 : 8;
    }
    case OperandKind::Absolute:
      if (mem.width == 8 || (mem.width == 0 && value && size == 1 && fitsAbsolute8(*value, cpu))) {
        return 2;
      }
      if (mem.width == 16 || (mem.width == 0 && (cpu == CpuModel::H300L ||
                                                 (value && fitsAbsolute16(*value, cpu))))) {
        return isLong ? 6 : 4;
      }
      return isLong ? 8 : 6;
    default:
      return 2;
  }
}

int immediateLength(int size) { return size == 1 ? 2 : size == 2 ? 4 : 6; }

int branchLength(const Instruction& ins, const KnownValues& known) {
  if (!known.src) return 4;
  int64_t distance = *known.src - (static_cast<int64_t>(ins.address) + 2);
  return distance >= -128 && distance <= 127 ? 2 : 4;
}

}  // namespace

int encodedLength(const Instruction& ins, CpuModel cpu, const KnownValues& known) {
  const OperandKind s = ins.src.kind;
  const OperandKind d = ins.dst.kind;
  switch (ins.op) {
    case Op::Mov:
      if (s == OperandKind::Register && d == OperandKind::Register) return 2;
      if (s == OperandKind::Immediate) return immediateLength(ins.size);
      if (isMemory(s)) return movMemoryLength(ins.src, ins.size, cpu, known.src);
      return movMemoryLength(ins.dst, ins.size, cpu, known.dst);
    case Op::Add:
    case Op::Sub:
    case Op::Cmp:
      return s == OperandKind::Immediate ? immediateLength(ins.size) : 2;
    case Op::And:
    case Op::Or:
    case Op::Xor:
      if (s == OperandKind::Immediate) return immediateLength(ins.size);
      return ins.size == 4 ? 4 : 2;
    case Op::Mulxs:
    case Op::Divxs:
      return 4;
    case Op::Bset:
    case Op::Bclr:
    case Op::Bnot:
    case Op::Btst:
      if (d == OperandKind::Register) return 2;
      if (d == OperandKind::Indirect) return 4;
      if (ins.dst.width != 0) return ins.dst.width == 8 ? 4 : ins.dst.width == 16 ? 6 : 8;
      if (known.dst && fitsAbsolute8(*known.dst, cpu)) return 4;
      if (cpu != CpuModel::H2000) return 4;  // checked once the address is known
      if (known.dst && fitsAbsolute16(*known.dst, cpu)) return 6;
      return 8;
    case Op::Branch:
    case Op::Bsr:
      return branchLength(ins, known);
    case Op::Jsr:
    case Op::Jmp:
      return s == OperandKind::Indirect ? 2 : 4;
    case Op::Stm:
    case Op::Ldm:
      return 4;
    case Op::Lea:
      // lea stands for mov.l ERs,ERd plus add.l #d,ERd, or mov.l #address,ERd.
      if (s == OperandKind::Indirect) return 2;
      if (s == OperandKind::Absolute) return 6;
      return ins.src.reg == ins.dst.reg ? 6 : 8;
    default:
      return 2;
  }
}

void checkLinkedInstruction(const Instruction& ins, CpuModel cpu, bool farTargetAllowed) {
  checkAddressField(ins.src, cpu);
  checkAddressField(ins.dst, cpu);
  auto checkImmediate = [&](const Operand& operand, int size) {
    int64_t v = operand.value;
    bool fits = size == 1   ? v >= -128 && v <= 255
                : size == 2 ? v >= -32768 && v <= 65535
                            : v >= -2147483648LL && v <= 4294967295LL;
    if (!fits) throw AsmError("immediate out of range for the size: " + std::to_string(v));
  };
  switch (ins.op) {
    case Op::Mov:
    case Op::Add:
    case Op::Sub:
    case Op::Cmp:
    case Op::And:
    case Op::Or:
    case Op::Xor:
      if (ins.src.kind == OperandKind::Immediate) checkImmediate(ins.src, ins.size);
      break;
    case Op::Bset:
    case Op::Bclr:
    case Op::Bnot:
    case Op::Btst:
      if (ins.dst.kind == OperandKind::Absolute && cpu != CpuModel::H2000 &&
          !fitsAbsolute8(ins.dst.value, cpu)) {
        throw AsmError("operand form not available: bit instruction on an address outside @aa:8");
      }
      break;
    case Op::Branch:
    case Op::Bsr: {
      if (farTargetAllowed) break;
      int64_t mask = addressMask(cpu);
      int64_t distance = (ins.src.value - (static_cast<int64_t>(ins.address) + ins.length)) & mask;
      if (distance > mask / 2) distance -= mask + 1;
      int64_t limit = ins.length == 2 ? 127 : 32767;
      if (distance > limit || distance < -limit - 1) throw AsmError("branch target out of range");
      break;
    }
    default:
      break;
  }
}

}  // namespace vorax::sim
