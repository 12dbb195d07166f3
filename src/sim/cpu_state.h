// Registers and condition flags of the CPU.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vorax::sim {

struct ConditionFlags {
  bool i = true;  // interrupt mask, set at reset
  bool ui = false;
  bool h = false;
  bool u = false;
  bool n = false;
  bool z = false;
  bool v = false;
  bool c = false;

  uint8_t toByte() const;
  void fromByte(uint8_t ccr);
};

inline uint32_t sizeMask(int size) { return size == 1 ? 0xFFu : size == 2 ? 0xFFFFu : 0xFFFFFFFFu; }
inline uint32_t signBit(int size) { return size == 1 ? 0x80u : size == 2 ? 0x8000u : 0x80000000u; }

struct CpuState {
  std::array<uint32_t, 8> er{};  // er6 is the frame pointer, er7 the stack pointer
  uint32_t pc = 0;
  ConditionFlags flags;

  // The dialect's rN by size: .b is the low byte rNl, .w the low word rN, .l the whole erN.
  uint32_t reg(int n, int size) const { return er[static_cast<size_t>(n)] & sizeMask(size); }
  void setReg(int n, int size, uint32_t value) {
    uint32_t mask = sizeMask(size);
    uint32_t& r = er[static_cast<size_t>(n)];
    r = (r & ~mask) | (value & mask);
  }
  void setNZ(uint32_t value, int size) {
    flags.n = (value & signBit(size)) != 0;
    flags.z = (value & sizeMask(size)) == 0;
  }
};

}  // namespace vorax::sim
