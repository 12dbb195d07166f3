#include "sim/memory.h"

#include <algorithm>

namespace vorax::sim {

Memory::Memory(CpuModel cpu)
    : mask_(addressMask(cpu)), pages_((size_t{mask_} + 1) >> kPageBits) {}

Memory::Page& Memory::pageFor(uint32_t address) {
  std::unique_ptr<Page>& page = pages_[address >> kPageBits];
  if (!page) page = std::make_unique<Page>(Page{});
  return *page;
}

void Memory::protectVectors(uint32_t start, uint32_t length) {
  const uint32_t first = wrap(start);
  const uint32_t end = std::min<uint64_t>(uint64_t{first} + length, uint64_t{mask_} + 1);
  protected_.push_back({first, end});
  protectedEnd_ = std::max(protectedEnd_, end);
}

void Memory::checkWritable(uint32_t address) const {
  for (const Range& range : protected_) {
    if (address >= range.start && address < range.end) {
      throw RuntimeFault(ExitStatus::kBadMemoryAccess,
                         "bad memory access: write to h'" + hexDigits(address, 6) +
                             "' in the vector area (a store through NIL?)");
    }
  }
}

void Memory::checkAligned(uint32_t address, int size) const {
  if ((address & 1) != 0) {
    throw RuntimeFault(ExitStatus::kBadMemoryAccess,
                       "bad memory access: " + std::to_string(size * 8) +
                           "-bit access at odd address h'" + hexDigits(wrap(address), 6) + "'");
  }
}

uint16_t Memory::read16(uint32_t address) const {
  checkAligned(address, 2);
  return static_cast<uint16_t>(read8(address) << 8 | read8(address + 1));
}

uint32_t Memory::read32(uint32_t address) const {
  checkAligned(address, 4);
  return uint32_t{read16(address)} << 16 | read16(address + 2);
}

void Memory::write16(uint32_t address, uint16_t value) {
  checkAligned(address, 2);
  write8(address, static_cast<uint8_t>(value >> 8));
  write8(address + 1, static_cast<uint8_t>(value));
}

void Memory::write32(uint32_t address, uint32_t value) {
  checkAligned(address, 4);
  write16(address, static_cast<uint16_t>(value >> 16));
  write16(address + 2, static_cast<uint16_t>(value));
}

uint32_t Memory::read(uint32_t address, int size) const {
  return size == 1 ? read8(address) : size == 2 ? read16(address) : read32(address);
}

void Memory::write(uint32_t address, int size, uint32_t value) {
  if (size == 1) {
    write8(address, static_cast<uint8_t>(value));
  } else if (size == 2) {
    write16(address, static_cast<uint16_t>(value));
  } else {
    write32(address, value);
  }
}

}  // namespace vorax::sim
