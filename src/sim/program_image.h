// What the assembler hands to the simulator: memory contents, the decoded instructions by
// address, the linked symbols and where the reset vector lies.
#pragma once

#include <cstdint>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "sim/instruction.h"
#include "sim/memory.h"

namespace vorax::sim {

struct ProgramImage {
  explicit ProgramImage(CpuModel model) : cpu(model), memory(std::make_unique<Memory>(model)) {}

  CpuModel cpu;
  std::unique_ptr<Memory> memory;
  std::vector<Instruction> instructions;
  std::unordered_map<uint32_t, size_t> instructionAt;  // address -> index in instructions
  std::map<std::string, int64_t> globalSymbols;
  // Every run of bytes the files placed (code and data): start -> end (exclusive), in
  // address order, neighbouring runs joined.
  std::map<uint32_t, uint32_t> placedBytes;
  uint32_t vectorAddress = 0;  // address of the first bytes of the first file
  bool hasCodeAtZero = false;

  // The end of the placed bytes nearest below `address` (at most `address` itself; 0 when
  // nothing lies below it).
  uint32_t placedEndBelow(uint32_t address) const {
    auto after = placedBytes.lower_bound(address);
    if (after == placedBytes.begin()) return 0;
    const uint32_t end = std::prev(after)->second;
    return end < address ? end : address;
  }

  const Instruction* findInstruction(uint32_t address) const {
    auto found = instructionAt.find(address);
    return found == instructionAt.end() ? nullptr : &instructions[found->second];
  }
};

}  // namespace vorax::sim
