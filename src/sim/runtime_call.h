// A view of the stack at the entry of a host runtime routine: the return address is taken
// off first, then the arguments in the reverse order of their pushes.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "sim/machine.h"

namespace vorax::sim {

struct RuntimeState;

using RealBytes = std::array<uint8_t, 6>;

class RuntimeCall {
 public:
  RuntimeCall(Machine& machine, RuntimeState& state, bool popReturnAddress = true);

  Machine& machine() { return machine_; }
  Memory& memory() { return machine_.memory(); }
  CpuState& cpu() { return machine_.cpu(); }
  RuntimeState& state() { return state_; }

  uint16_t popWord() { return machine_.pop16(); }
  uint32_t popLong() { return machine_.pop32(); }
  RealBytes popReal();
  // Takes a string value of `size` bytes (rounded up to even) off the stack.
  std::string popString(int size = 256);

  void pushWord(uint16_t value) { machine_.push16(value); }
  void pushLong(uint32_t value) { machine_.push32(value); }
  void pushReal(const RealBytes& real);
  // Leaves a string value of `size` bytes on the stack, cut to size - 1 characters.
  void pushString(const std::string& text, int size = 256);

  // Strings in memory: a length byte followed by the characters.
  std::string readString(uint32_t address, int maxLength = 255);
  void writeString(uint32_t address, const std::string& text, int maxLength = 255);
  RealBytes readReal(uint32_t address);
  void writeReal(uint32_t address, const RealBytes& real);

  // Data placed after the call instruction: execution continues after it (at an even
  // address).
  uint8_t inlineByte();
  RealBytes inlineReal();
  std::string inlineString();  // length byte and characters

  // Results.
  void setR0(uint32_t value) { cpu().er[0] = value; }
  void setR1Word(uint16_t value) { cpu().setReg(1, 2, value); }
  // The Z flag answers the comparison routines: clear when the relation holds.
  void setRelation(bool holds) { cpu().flags.z = !holds; }

  // Continues after the call (and any inline data).
  void finish();

 private:
  Machine& machine_;
  RuntimeState& state_;
  uint32_t returnAddress_;
  uint32_t inlineOffset_ = 0;
};

}  // namespace vorax::sim
