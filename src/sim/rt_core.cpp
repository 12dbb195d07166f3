// Start-up, stop and frame building: \lnkfre, \halt, \slset.
#include <algorithm>

#include "sim/runtime.h"

namespace vorax::sim {

namespace {

constexpr uint32_t kStackReserve = 4096;

// \lnkfre: called first by the start-up code. Takes \ram from the second vector entry,
// clears the runtime cells and sets the heap up between the cells and the stack.
void linkFree(RuntimeCall& call) {
  RuntimeState& state = call.state();
  Memory& memory = call.memory();
  const ProgramImage& image = call.machine().image();
  uint32_t vector = image.hasCodeAtZero ? 0 : image.vectorAddress;
  state.ram = memory.wrap(memory.read32(vector + 4));
  if ((state.ram & 1) != 0) {
    throw RuntimeFault(ExitStatus::kBadMemoryAccess, "bad memory access: \\ram at odd address h'" +
                                                         hexDigits(state.ram, 6) + "'");
  }
  for (uint32_t cell = 4; cell < kRuntimeCellsSize; ++cell) memory.write8(state.ram + cell, 0);
  HeapState& heap = state.heap;
  heap = HeapState{};
  heap.start = state.ram + kRuntimeCellsSize;
  uint32_t stack = call.cpu().er[7] & memory.mask();
  uint32_t top = Runtime::areaStart(state.cpu);
  if (stack > heap.start) {
    uint32_t reserve = std::min(kStackReserve, (stack - heap.start) / 2);
    heap.end = (stack - reserve) & ~1u;
  } else {
    heap.end = top;
  }
  if (heap.end > heap.start) heap.freeBlocks[heap.start] = heap.end - heap.start;
  // The stack the start-up code set up runs from here down to the runtime cells and the
  // heap's blocks, or down to the program when it lies below \ram.
  StackArea& stackArea = call.machine().stackArea();
  stackArea.startAt(stack);
  stackArea.reserve(state.ram, heap.start);
  stackArea.setHeap(heap.start, heap.start);
}

// \halt: the program is finished.
void haltProgram(RuntimeCall& call) {
  call.state().out.flush();
  call.machine().halt();
}

// \slset: r0 (byte) = level of the routine - 1. Builds the frame the inline entry code
// builds: caller's frame pointer at fp+0, display entries 1..level below it, copied from
// the caller's display, the routine's own entry being fp itself.
void setLevel(RuntimeCall& call) {
  CpuState& cpu = call.cpu();
  uint32_t outerLevels = cpu.reg(0, 1);
  uint32_t callerFrame = cpu.er[6];
  call.pushLong(callerFrame);
  cpu.er[6] = cpu.er[7];
  for (uint32_t k = 1; k <= outerLevels; ++k) {
    call.pushLong(call.memory().read32(callerFrame - 4 * k));
  }
  call.pushLong(cpu.er[6]);
}

// Marks the return from target code called by the host; reaching it any other way is a
// fault.
void returnToHost(RuntimeCall&) {
  throw RuntimeFault(ExitStatus::kBadMemoryAccess, "bad memory access: stray return to host");
}

}  // namespace

void addCoreRoutines(std::vector<RoutineDef>& table) {
  table.push_back({"\\lnkfre", linkFree});
  table.push_back({"\\halt", haltProgram, true});
  table.push_back({"\\slset", setLevel});
  table.push_back({"\\hostret", returnToHost, true});
}

}  // namespace vorax::sim
