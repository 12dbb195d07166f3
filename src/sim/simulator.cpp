#include "sim/simulator.h"

#include "sim/assembler.h"

namespace vorax::sim {

Simulator::Simulator(SimOptions options, std::istream& in, std::ostream& out,
                     std::ostream& messages)
    : options_(options),
      messages_(messages),
      runtime_(std::make_unique<Runtime>(options.cpu, in, out, messages)) {}

Simulator::~Simulator() = default;

bool Simulator::load(const std::vector<std::string>& files, const FileReader& reader) {
  CpuModel cpu = options_.cpu;
  Assembler assembler(
      cpu, [cpu](const std::string& name) { return Runtime::symbolAddress(cpu, name); }, reader);
  bool ok = assembler.assemble(files);
  for (const auto& error : assembler.errors()) messages_ << error << '\n';
  if (!ok) return false;
  image_ = assembler.takeImage();
  machine_ = std::make_unique<Machine>(*image_, *runtime_);
  machine_->setMaxSteps(options_.maxSteps);
  if (options_.trace) machine_->setTrace(&messages_);
  reset();
  return true;
}

void Simulator::reset() {
  Memory& memory = machine_->memory();
  runtime_->installDevices(memory);
  CpuState& cpu = machine_->cpu();
  cpu = CpuState{};
  // Until the program sets its own stack, it lies just below the runtime area.
  cpu.er[7] = Runtime::areaStart(options_.cpu);
  // The chip takes the program counter from the vector at address 0. A program placed
  // elsewhere by its memory map is started like a monitor would: from the vector the
  // program file begins with.
  uint32_t vector = image_->hasCodeAtZero ? 0 : image_->vectorAddress;
  cpu.pc = memory.wrap(memory.read32(vector));
  machine_->stackArea().startAt(cpu.er[7]);
  // The reset vector and the second vector entry (\ram) at address 0, and the vector the
  // program was started from.
  constexpr uint32_t kVectorBytes = 8;
  memory.protectVectors(0, kVectorBytes);
  if (vector != 0) memory.protectVectors(vector, kVectorBytes);
}

ExitStatus Simulator::run() {
  try {
    machine_->run();
    runtime_->state().out.flush();
    return ExitStatus::kHalted;
  } catch (const RuntimeFault& fault) {
    runtime_->state().out.flush();
    uint32_t pc = machine_->cpu().pc;
    messages_ << "vorax-sim: " << fault.what() << " at h'"
              << hexDigits(pc, options_.cpu == CpuModel::H300L ? 4 : 6) << "'";
    if (const Instruction* ins = machine_->currentInstruction()) {
      messages_ << " (" << formatPosition(ins->position) << ")";
    } else if (runtime_->handles(pc) && machine_->lastInstruction() != nullptr) {
      messages_ << " in " << runtime_->routineName(pc) << " called from "
                << formatPosition(machine_->lastInstruction()->position);
    }
    messages_ << " after " << machine_->steps() << " steps\n";
    return fault.status();
  }
}

ExitStatus Simulator::runFiles(const std::vector<std::string>& files, const FileReader& reader) {
  if (!load(files, reader)) return ExitStatus::kAssemblyError;
  return run();
}

}  // namespace vorax::sim
