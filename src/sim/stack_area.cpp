#include "sim/stack_area.h"

#include <algorithm>

namespace vorax::sim {

StackArea::StackArea(const ProgramImage& image, uint32_t runtimeAreaStart)
    : image_(image), runtimeAreaStart_(runtimeAreaStart) {
  startAt(runtimeAreaStart);
}

void StackArea::startAt(uint32_t top) {
  top_ = top;
  // A stack started inside the runtime area has no room at all.
  fixedBottom_ = top > runtimeAreaStart_ ? top : image_.placedEndBelow(top);
}

void StackArea::reserve(uint32_t start, uint32_t end) {
  if (start < top_) fixedBottom_ = std::max(fixedBottom_, std::min(end, top_));
}

void StackArea::setHeap(uint32_t start, uint32_t usedEnd) {
  heapStart_ = start;
  heapUsedEnd_ = usedEnd;
}

uint32_t StackArea::bottom() const {
  return heapBelow() ? std::max(fixedBottom_, std::min(heapUsedEnd_, top_)) : fixedBottom_;
}

std::string StackArea::overflowMessage(uint32_t stackPointer) const {
  const int digits = image_.cpu == CpuModel::H300L ? 4 : 6;
  const std::string where = stackPointer > top_ ? "above its top" : "below its bottom";
  return "runtime error: stack overflow: the stack pointer h'" + hexDigits(stackPointer, 8) +
         "' left the stack area h'" + hexDigits(bottom(), digits) + "'-h'" +
         hexDigits(top_, digits) + "' (" + where + ")";
}

}  // namespace vorax::sim
