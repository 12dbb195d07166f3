// The heap: NEW and DISPOSE on target RAM between the runtime cells and the stack
// (first fit, blocks rounded up to an even size, neighbours merged on release), MAXAVAIL
// and MEMAVAIL.
#include <algorithm>

#include "sim/runtime.h"

namespace vorax::sim {

namespace {

uint32_t blockSize(uint16_t size) { return std::max<uint32_t>(2, (uint32_t{size} + 1) & ~1u); }

// The stack may not grow into blocks in use: it learns where the highest one ends.
void tellStack(RuntimeCall& call) {
  const HeapState& heap = call.state().heap;
  uint32_t usedEnd = heap.start;
  if (!heap.usedBlocks.empty()) {
    const auto& [address, size] = *heap.usedBlocks.rbegin();
    usedEnd = address + size;
  }
  call.machine().stackArea().setHeap(heap.start, usedEnd);
}

// \new: size word -> address of a new block in r0.
void newBlock(RuntimeCall& call) {
  uint32_t size = blockSize(call.popWord());
  HeapState& heap = call.state().heap;
  const StackArea& stack = call.machine().stackArea();
  for (auto it = heap.freeBlocks.begin(); it != heap.freeBlocks.end(); ++it) {
    if (it->second < size) continue;
    uint32_t address = it->first;
    // Free memory the stack has grown into is not free: the blocks are handed out from
    // the lowest address, so no later one fits either.
    if (stack.heapBelow() && uint64_t{address} + size > call.cpu().er[7]) break;
    uint32_t rest = it->second - size;
    heap.freeBlocks.erase(it);
    if (rest > 0) heap.freeBlocks[address + size] = rest;
    heap.usedBlocks[address] = size;
    tellStack(call);
    call.setR0(address);
    return;
  }
  throw RuntimeFault(ExitStatus::kRuntimeError,
                     "runtime error: heap overflow (NEW of " + std::to_string(size) + " bytes)");
}

// \dispose: pointer, size word -> the block is free again. A pointer that NEW did not
// return, or a size other than NEW's, is an invalid pointer operation.
void disposeBlock(RuntimeCall& call) {
  uint32_t size = blockSize(call.popWord());
  uint32_t address = call.popLong() & call.memory().mask();
  HeapState& heap = call.state().heap;
  auto used = heap.usedBlocks.find(address);
  if (used == heap.usedBlocks.end() || used->second != size) {
    throw RuntimeFault(
        ExitStatus::kBadMemoryAccess,
        "runtime error: invalid pointer operation (DISPOSE of h'" + hexDigits(address, 6) + "')");
  }
  heap.usedBlocks.erase(used);
  tellStack(call);
  auto [block, inserted] = heap.freeBlocks.emplace(address, size);
  (void)inserted;
  auto next = std::next(block);
  if (next != heap.freeBlocks.end() && block->first + block->second == next->first) {
    block->second += next->second;
    heap.freeBlocks.erase(next);
  }
  if (block != heap.freeBlocks.begin()) {
    auto previous = std::prev(block);
    if (previous->first + previous->second == block->first) {
      previous->second += block->second;
      heap.freeBlocks.erase(block);
    }
  }
}

// Both answers are INTEGERs: values above 32767 are reported as 32767.
uint32_t asInteger(uint32_t bytes) { return std::min<uint32_t>(bytes, 32767); }

// \maxavail: the largest free block.
void largestFreeBlock(RuntimeCall& call) {
  uint32_t largest = 0;
  for (const auto& [address, size] : call.state().heap.freeBlocks) {
    largest = std::max(largest, size);
  }
  call.setR0(asInteger(largest));
}

// \memavail: all free bytes.
void freeMemory(RuntimeCall& call) {
  uint32_t total = 0;
  for (const auto& [address, size] : call.state().heap.freeBlocks) total += size;
  call.setR0(asInteger(total));
}

}  // namespace

void addHeapRoutines(std::vector<RoutineDef>& table) {
  table.push_back({"\\new", newBlock});
  table.push_back({"\\dispose", disposeBlock});
  table.push_back({"\\maxavail", largestFreeBlock});
  table.push_back({"\\memavail", freeMemory});
}

}  // namespace vorax::sim
