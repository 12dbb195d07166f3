// Where the program's stack may lie: from its top (the stack pointer the program started
// it with) down to the nearest bytes that belong to something else: the program's code and
// data, the runtime cells after \ram, the blocks NEW has handed out, the runtime area at
// the top of memory. A stack pointer outside is a stack overflow, found at the instruction
// that moved it there rather than millions of steps later when the overwritten program
// misbehaves. Free heap memory is no obstacle: the stack may grow into it (a main program
// whose variables fill more than the stack's reserve never uses the heap), and NEW does
// not hand out memory the stack uses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "sim/program_image.h"

namespace vorax::sim {

class StackArea {
 public:
  StackArea(const ProgramImage& image, uint32_t runtimeAreaStart);

  // A new stack whose pointer starts at `top` (the reset, \lnkfre, or the program loading
  // the stack pointer with an address outside the current area).
  void startAt(uint32_t top);
  // \ram's runtime cells take [start, end); a stack above them stops at their end.
  void reserve(uint32_t start, uint32_t end);
  // The heap starts at `start`; its blocks in use end at `usedEnd` (start when none is).
  void setHeap(uint32_t start, uint32_t usedEnd);

  bool contains(uint32_t stackPointer) const {
    return stackPointer >= bottom() && stackPointer <= top_;
  }
  uint32_t bottom() const;
  uint32_t top() const { return top_; }
  // True when the heap lies below the stack, where a new block must stay under the stack
  // pointer.
  bool heapBelow() const { return heapStart_ && *heapStart_ < top_; }

  // The fault for a stack pointer outside the area.
  std::string overflowMessage(uint32_t stackPointer) const;

 private:
  const ProgramImage& image_;
  uint32_t runtimeAreaStart_;
  uint32_t top_ = 0;
  uint32_t fixedBottom_ = 0;
  std::optional<uint32_t> heapStart_;
  uint32_t heapUsedEnd_ = 0;
};

}  // namespace vorax::sim
