// Big-endian target memory covering the whole address space of the selected CPU.
#pragma once

#include <cstdint>
#include <memory>

#include "sim/sim_types.h"

namespace vorax::sim {

class Memory {
 public:
  explicit Memory(CpuModel cpu);

  uint32_t mask() const { return mask_; }
  uint32_t wrap(uint64_t address) const { return static_cast<uint32_t>(address) & mask_; }

  uint8_t read8(uint32_t address) const { return bytes_[wrap(address)]; }
  void write8(uint32_t address, uint8_t value) { bytes_[wrap(address)] = value; }
  // Word and long accesses must be at even addresses; an odd one is a bad memory access.
  uint16_t read16(uint32_t address) const;
  uint32_t read32(uint32_t address) const;
  void write16(uint32_t address, uint16_t value);
  void write32(uint32_t address, uint32_t value);
  // Reads or writes a value of 1, 2 or 4 bytes.
  uint32_t read(uint32_t address, int size) const;
  void write(uint32_t address, int size, uint32_t value);

 private:
  void checkAligned(uint32_t address, int size) const;

  uint32_t mask_;
  std::unique_ptr<uint8_t[]> bytes_;
};

}  // namespace vorax::sim
