// The host runtime library: every routine the generated code calls with "bsr \name", the
// device blocks and the trap handler. Routines live at fixed addresses in the top 256
// bytes of the address space; when the program counter reaches one, the host runs it.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "sim/machine.h"
#include "sim/runtime_call.h"
#include "sim/runtime_state.h"

namespace vorax::sim {

using RoutineHandler = void (*)(RuntimeCall& call);

struct RoutineDef {
  const char* name;
  RoutineHandler handler;
  bool reachedByJump = false;  // "bra \halt": no return address on the stack
};

// Each group of routines adds its entries; the order fixes the addresses.
void addCoreRoutines(std::vector<RoutineDef>& table);
void addIntegerRoutines(std::vector<RoutineDef>& table);
void addRealRoutines(std::vector<RoutineDef>& table);
void addStringRoutines(std::vector<RoutineDef>& table);
void addTextRoutines(std::vector<RoutineDef>& table);
void addHeapRoutines(std::vector<RoutineDef>& table);
void addDeviceRoutines(std::vector<RoutineDef>& table);
void addFileRoutines(std::vector<RoutineDef>& table);

// The predefined devices: name, and the driver routines behind OUTROU and INPROU.
struct DeviceDef {
  const char* name;  // "\con"
  const char* outputRoutine;
  const char* inputRoutine;
};
const std::vector<DeviceDef>& deviceTable();

class Runtime : public HostInterface {
 public:
  Runtime(CpuModel cpu, std::istream& in, std::ostream& out, std::ostream& err);

  // Address of a runtime routine or device block, for the linker.
  static std::optional<int64_t> symbolAddress(CpuModel cpu, const std::string& name);
  // First address of the runtime area; the stack starts below it.
  static uint32_t areaStart(CpuModel cpu);

  // Writes the device blocks into memory (done before the program starts).
  void installDevices(Memory& memory) const;

  bool handles(uint32_t address) const override;
  void invoke(uint32_t address, Machine& machine) override;
  void trap(int vector, Machine& machine) override;
  const char* routineName(uint32_t address) const override;
  uint32_t returnToHostAddress() const override;
  uint32_t runtimeAreaStart() const override { return areaStart(state_.cpu); }

  RuntimeState& state() { return state_; }

 private:
  const RoutineDef* routineAt(uint32_t address) const;

  RuntimeState state_;
};

// Helpers shared by the routine groups.
uint32_t routineAddress(CpuModel cpu, const std::string& name);
void setIoResult(RuntimeCall& call, int code);
int ioResult(RuntimeCall& call);

}  // namespace vorax::sim
