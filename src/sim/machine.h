// The simulated CPU running an assembled image: fetch by address, execute, count steps,
// hand addresses of the host runtime to it.
#pragma once

#include <cstdint>
#include <ostream>

#include "sim/cpu_state.h"
#include "sim/program_image.h"
#include "sim/stack_area.h"

namespace vorax::sim {

class Machine;

// The host side of the machine: the runtime library and the trap handler.
class HostInterface {
 public:
  virtual ~HostInterface() = default;
  // True when the address is the entry of a host routine.
  virtual bool handles(uint32_t address) const = 0;
  // Runs the routine; it must leave the program counter where execution continues.
  virtual void invoke(uint32_t address, Machine& machine) = 0;
  // trapa #vector.
  virtual void trap(int vector, Machine& machine) = 0;
  // Name of a host routine, for the trace.
  virtual const char* routineName(uint32_t address) const = 0;
  // Address that marks the return from target code called by a host routine.
  virtual uint32_t returnToHostAddress() const = 0;
  // Start of the host's own area at the top of memory; the stack starts right below it.
  virtual uint32_t runtimeAreaStart() const = 0;
};

class Machine {
 public:
  Machine(const ProgramImage& image, HostInterface& host);

  CpuState& cpu() { return cpu_; }
  const CpuState& cpu() const { return cpu_; }
  Memory& memory() { return *image_.memory; }
  CpuModel model() const { return image_.cpu; }
  const ProgramImage& image() const { return image_; }

  void setMaxSteps(uint64_t steps) { maxSteps_ = steps; }
  void setTrace(std::ostream* trace) { trace_ = trace; }
  uint64_t steps() const { return steps_; }

  // Runs until the program halts; faults propagate as RuntimeFault.
  void run();
  // Executes one instruction or host routine.
  void step();
  void halt() { halted_ = true; }
  bool halted() const { return halted_; }

  // Calls target code at `address` as a subroutine and runs it until it returns.
  void callSubroutine(uint32_t address);

  // Stack helpers with the stack pointer er7.
  void push16(uint16_t value);
  void push32(uint32_t value);
  uint16_t pop16();
  uint32_t pop32();
  // Return addresses are 2 bytes on 300L and 4 bytes otherwise.
  void pushReturnAddress(uint32_t address);
  uint32_t popReturnAddress();

  // The instruction at the program counter (nullptr for host routines or no code).
  const Instruction* currentInstruction() const { return image_.findInstruction(cpu_.pc); }
  // The last target instruction executed (the call of a host routine while one runs).
  const Instruction* lastInstruction() const { return lastInstruction_; }
  HostInterface& host() { return host_; }
  // Where the stack may lie; the start-up code and \lnkfre set it up.
  StackArea& stackArea() { return stackArea_; }

 private:
  void execute(const Instruction& ins);
  void traceLine(const std::string& what);
  // A stack pointer that the step at `pc` moved out of the stack area stops the program
  // there.
  void checkStackPointer(uint32_t pc, uint32_t stackPointerBefore);

  const ProgramImage& image_;
  HostInterface& host_;
  StackArea stackArea_;
  CpuState cpu_;
  uint64_t steps_ = 0;
  uint64_t maxSteps_ = 0;  // 0: no limit
  bool halted_ = false;
  int callDepth_ = 0;
  const Instruction* lastInstruction_ = nullptr;  // target code called from host routines, nested
  std::ostream* trace_ = nullptr;
};

}  // namespace vorax::sim
