#include "sim/runtime.h"

namespace vorax::sim {

namespace {

const std::vector<RoutineDef>& routineTable() {
  static const std::vector<RoutineDef> table = [] {
    std::vector<RoutineDef> routines;
    addCoreRoutines(routines);
    addIntegerRoutines(routines);
    addRealRoutines(routines);
    addStringRoutines(routines);
    addTextRoutines(routines);
    addHeapRoutines(routines);
    addDeviceRoutines(routines);
    addFileRoutines(routines);
    return routines;
  }();
  return table;
}

constexpr uint32_t kDeviceBlockSize = 8;  // OUTROU and INPROU, two longs

}  // namespace

const std::vector<DeviceDef>& deviceTable() {
  static const std::vector<DeviceDef> devices = {
      {"\\con", "\\conout", "\\conin"},  {"\\con0", "\\conout", "\\conin"},
      {"\\con1", "\\conout", "\\conin"}, {"\\con2", "\\conout", "\\conin"},
      {"\\con3", "\\conout", "\\conin"}, {"\\aux", "\\conout", "\\conin"},
      {"\\aux0", "\\conout", "\\conin"}, {"\\aux1", "\\conout", "\\conin"},
      {"\\aux2", "\\conout", "\\conin"}, {"\\aux3", "\\conout", "\\conin"},
      {"\\aux4", "\\conout", "\\conin"}, {"\\aux5", "\\conout", "\\conin"},
      {"\\aux6", "\\conout", "\\conin"}, {"\\aux7", "\\conout", "\\conin"},
      {"\\lst", "\\conout", "\\nulin"},  {"\\lst0", "\\conout", "\\nulin"},
      {"\\lst1", "\\conout", "\\nulin"}, {"\\lst2", "\\conout", "\\nulin"},
      {"\\lst3", "\\conout", "\\nulin"}, {"\\kbd", "\\nulout", "\\conin"},
      {"\\dbg", "\\errout", "\\nulin"},  {"\\errdv", "\\errout", "\\nulin"},
  };
  return devices;
}

uint32_t Runtime::areaStart(CpuModel cpu) { return addressMask(cpu) - 0xFFu; }

std::optional<int64_t> Runtime::symbolAddress(CpuModel cpu, const std::string& name) {
  const auto& routines = routineTable();
  for (size_t i = 0; i < routines.size(); ++i) {
    if (name == routines[i].name) return areaStart(cpu) + 2 * i;
  }
  const auto& devices = deviceTable();
  for (size_t i = 0; i < devices.size(); ++i) {
    if (name == devices[i].name) return areaStart(cpu) + kDeviceBlockSize * i;
  }
  return std::nullopt;
}

uint32_t routineAddress(CpuModel cpu, const std::string& name) {
  return static_cast<uint32_t>(*Runtime::symbolAddress(cpu, name));
}

Runtime::Runtime(CpuModel cpu, std::istream& in, std::ostream& out, std::ostream& err)
    : state_(cpu, in, out, err) {}

void Runtime::installDevices(Memory& memory) const {
  const auto& devices = deviceTable();
  for (size_t i = 0; i < devices.size(); ++i) {
    uint32_t block = areaStart(state_.cpu) + kDeviceBlockSize * static_cast<uint32_t>(i);
    auto output = symbolAddress(state_.cpu, devices[i].outputRoutine);
    auto input = symbolAddress(state_.cpu, devices[i].inputRoutine);
    memory.write32(block, static_cast<uint32_t>(output.value_or(0)));
    memory.write32(block + 4, static_cast<uint32_t>(input.value_or(0)));
  }
}

const RoutineDef* Runtime::routineAt(uint32_t address) const {
  uint32_t start = areaStart(state_.cpu);
  if (address < start || (address & 1) != 0) return nullptr;
  size_t index = (address - start) / 2;
  const auto& routines = routineTable();
  return index < routines.size() ? &routines[index] : nullptr;
}

bool Runtime::handles(uint32_t address) const { return routineAt(address) != nullptr; }

const char* Runtime::routineName(uint32_t address) const {
  const RoutineDef* routine = routineAt(address);
  return routine == nullptr ? "?" : routine->name;
}

uint32_t Runtime::returnToHostAddress() const { return routineAddress(state_.cpu, "\\hostret"); }

void Runtime::invoke(uint32_t address, Machine& machine) {
  const RoutineDef* routine = routineAt(address);
  RuntimeCall call(machine, state_, !routine->reachedByJump);
  routine->handler(call);
  if (!machine.halted()) call.finish();
}

void Runtime::trap(int vector, Machine& machine) {
  if (vector != 0) {
    throw RuntimeFault(ExitStatus::kRuntimeError,
                       "runtime error: trapa #" + std::to_string(vector) + " has no handler");
  }
  uint16_t code = machine.memory().read16(state_.ram + kIoResultCell);
  if (code != 0) {
    throw RuntimeFault(ExitStatus::kIoError,
                       "runtime error: I/O error " + std::to_string(code) + " (IORESULT)");
  }
}

void setIoResult(RuntimeCall& call, int code) {
  call.memory().write16(call.state().ram + kIoResultCell, static_cast<uint16_t>(code));
}

int ioResult(RuntimeCall& call) { return call.memory().read16(call.state().ram + kIoResultCell); }

}  // namespace vorax::sim
