#include "sim/machine.h"

#include <sstream>

namespace vorax::sim {

Machine::Machine(const ProgramImage& image, HostInterface& host)
    : image_(image), host_(host), stackArea_(image, host.runtimeAreaStart()) {}

void Machine::push16(uint16_t value) {
  cpu_.er[7] -= 2;
  memory().write16(cpu_.er[7], value);
}

void Machine::push32(uint32_t value) {
  cpu_.er[7] -= 4;
  memory().write32(cpu_.er[7], value);
}

uint16_t Machine::pop16() {
  uint16_t value = memory().read16(cpu_.er[7]);
  cpu_.er[7] += 2;
  return value;
}

uint32_t Machine::pop32() {
  uint32_t value = memory().read32(cpu_.er[7]);
  cpu_.er[7] += 4;
  return value;
}

void Machine::pushReturnAddress(uint32_t address) {
  if (returnAddressSize(model()) == 2) {
    push16(static_cast<uint16_t>(address));
  } else {
    push32(address & 0xFFFFFF);
  }
}

uint32_t Machine::popReturnAddress() {
  uint32_t address = returnAddressSize(model()) == 2 ? pop16() : pop32();
  return memory().wrap(address);
}

void Machine::traceLine(const std::string& what) {
  std::ostringstream line;
  line << hexDigits(cpu_.pc, model() == CpuModel::H300L ? 4 : 6) << "  " << what;
  std::string text = line.str();
  if (text.size() < 40) text.resize(40, ' ');
  *trace_ << text;
  for (int r = 0; r < 8; ++r) {
    *trace_ << " er" << r << '=' << hexDigits(cpu_.er[static_cast<size_t>(r)], 8);
  }
  const ConditionFlags& f = cpu_.flags;
  *trace_ << " ccr=" << (f.n ? 'N' : '-') << (f.z ? 'Z' : '-') << (f.v ? 'V' : '-')
          << (f.c ? 'C' : '-') << '\n';
}

void Machine::step() {
  if (maxSteps_ != 0 && steps_ >= maxSteps_) {
    throw RuntimeFault(ExitStatus::kStepLimit,
                       "step limit of " + std::to_string(maxSteps_) + " instructions reached");
  }
  ++steps_;
  uint32_t pc = cpu_.pc = memory().wrap(cpu_.pc);
  const uint32_t stackPointerBefore = cpu_.er[7];
  if (host_.handles(pc)) {
    if (trace_ != nullptr) traceLine(std::string("[runtime ") + host_.routineName(pc) + "]");
    host_.invoke(pc, *this);
    checkStackPointer(pc, stackPointerBefore);
    return;
  }
  const Instruction* ins = image_.findInstruction(pc);
  if (ins == nullptr) {
    throw RuntimeFault(ExitStatus::kBadMemoryAccess, "bad memory access: execution at h'" +
                                                         hexDigits(pc, 6) +
                                                         "' where no instruction was assembled");
  }
  lastInstruction_ = ins;
  if (trace_ != nullptr) {
    std::string text = ins->text;
    for (char& c : text) {
      if (c == '\t') c = ' ';
    }
    size_t start = text.find_first_not_of(' ');
    traceLine(start == std::string::npos ? text : text.substr(start));
  }
  execute(*ins);
  checkStackPointer(pc, stackPointerBefore);
}

void Machine::checkStackPointer(uint32_t pc, uint32_t stackPointerBefore) {
  const uint32_t stackPointer = cpu_.er[7];
  if (stackPointer == stackPointerBefore || halted_ || stackArea_.contains(stackPointer)) return;
  // The fault is reported at the instruction (or the call of the runtime routine) that
  // moved the stack pointer.
  cpu_.pc = pc;
  throw RuntimeFault(ExitStatus::kRuntimeError, stackArea_.overflowMessage(stackPointer));
}

void Machine::run() {
  while (!halted_) step();
}

void Machine::callSubroutine(uint32_t address) {
  // A device routine that writes to its own device would recurse without end on the host.
  constexpr int kMaxCallDepth = 64;
  if (callDepth_ >= kMaxCallDepth) {
    throw RuntimeFault(ExitStatus::kRuntimeError,
                       "runtime error: device routines call each other too deeply");
  }
  uint32_t sentinel = host_.returnToHostAddress();
  uint32_t stackBefore = cpu_.er[7];
  pushReturnAddress(sentinel);
  cpu_.pc = address;
  ++callDepth_;
  try {
    while (!halted_ && !(cpu_.pc == sentinel && cpu_.er[7] == stackBefore)) step();
  } catch (...) {
    --callDepth_;
    throw;
  }
  --callDepth_;
}

}  // namespace vorax::sim
