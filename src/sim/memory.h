// Big-endian target memory covering the whole address space of the selected CPU. Pages
// are allocated on the first write, so an untouched 16 MB space costs nothing; unwritten
// bytes read as zero.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "sim/sim_types.h"

namespace vorax::sim {

class Memory {
 public:
  explicit Memory(CpuModel cpu);

  uint32_t mask() const { return mask_; }
  uint32_t wrap(uint64_t address) const { return static_cast<uint32_t>(address) & mask_; }

  uint8_t read8(uint32_t address) const {
    const uint32_t a = wrap(address);
    const Page* page = pages_[a >> kPageBits].get();
    return page == nullptr ? 0 : (*page)[a & kPageMask];
  }
  void write8(uint32_t address, uint8_t value) {
    const uint32_t a = wrap(address);
    if (a < protectedEnd_) checkWritable(a);
    pageFor(a)[a & kPageMask] = value;
  }
  // Word and long accesses must be at even addresses; an odd one is a bad memory access.
  uint16_t read16(uint32_t address) const;
  uint32_t read32(uint32_t address) const;
  void write16(uint32_t address, uint16_t value);
  void write32(uint32_t address, uint32_t value);
  // Reads or writes a value of 1, 2 or 4 bytes.
  uint32_t read(uint32_t address, int size) const;
  void write(uint32_t address, int size, uint32_t value);

  // From now on a write into [start, start + length) is a bad memory access: the area
  // holds the vectors the chip starts from, which a running program never writes (a
  // store through NIL lands there).
  void protectVectors(uint32_t start, uint32_t length);

 private:
  static constexpr int kPageBits = 12;
  static constexpr uint32_t kPageSize = uint32_t{1} << kPageBits;
  static constexpr uint32_t kPageMask = kPageSize - 1;
  using Page = std::array<uint8_t, kPageSize>;

  Page& pageFor(uint32_t address);
  void checkAligned(uint32_t address, int size) const;
  void checkWritable(uint32_t address) const;

  struct Range {
    uint32_t start;
    uint32_t end;
  };

  uint32_t mask_;
  std::vector<std::unique_ptr<Page>> pages_;
  std::vector<Range> protected_;
  uint32_t protectedEnd_ = 0;  // above every protected range: the fast test of write8
};

}  // namespace vorax::sim
