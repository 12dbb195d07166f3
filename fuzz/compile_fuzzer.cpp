// Fuzz target: compiles its input as the source of a program or unit, with the source and
// the assembly file held in memory (no file is read or written). A source error is an
// ordinary outcome. A finding is a crash, a sanitizer report, a hang, an exception that
// escapes, or a program compiled without error whose assembly file the simulator's
// assembler refuses: the compiler must never report success for output that cannot be
// assembled.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "driver/compile_file.h"
#include "driver/compile_host.h"
#include "driver/compile_options.h"
#include "sim/assembler.h"
#include "sim/runtime.h"

namespace {

constexpr const char* kSourceName = "FUZZ.PAS";
constexpr const char* kAssemblyName = "FUZZ.asm";

// Shows nothing and answers with a fixed clock, so that a run depends on the input alone.
class SilentHost final : public vorax::CompileHost {
 public:
  void showSourceError(const vorax::SourceErrorReport&) override {}
  void showMessage(std::string_view, std::string_view, vorax::MessageIcon) override {}
  void showFileProgress(int, std::string_view, std::int64_t) override {}
  void stepFileProgress(int, std::int64_t) override {}
  void hideFileProgress(int) override {}
  void setStatusText(std::string_view) override {}
  void repaint() override {}
  void pauseBeforeCompile() override {}
  [[nodiscard]] vorax::LocalDateTime now() const override { return {2026, 1, 1, 0, 0, 0, 0}; }
};

vorax::sim::CpuModel simulatedCpu(vorax::TargetCpu cpu) {
  switch (cpu) {
    case vorax::TargetCpu::H8_300L: return vorax::sim::CpuModel::H300L;
    case vorax::TargetCpu::H8_2000: return vorax::sim::CpuModel::H2000;
    case vorax::TargetCpu::H8_300H: break;
  }
  return vorax::sim::CpuModel::H300H;
}

// Only a name the file leaves to a unit linked with it (an external routine, a unit's
// variable) may be missing when the file is assembled alone.
bool onlyUnresolvedNames(const std::vector<std::string>& errors) {
  for (const std::string& error : errors) {
    if (error.find("undefined symbol") == std::string::npos) return false;
  }
  return true;
}

void assembleProgram(const vorax::InMemoryFiles& files) {
  const vorax::sim::CpuModel cpu = simulatedCpu(files.finished->cpu);
  vorax::sim::Assembler assembler(
      cpu,
      [cpu](const std::string& name) { return vorax::sim::Runtime::symbolAddress(cpu, name); },
      [&files](const std::string& name) -> std::optional<std::string> {
        if (name != kAssemblyName) return std::nullopt;
        return files.assembly;
      });
  if (assembler.assemble({kAssemblyName}) || onlyUnresolvedNames(assembler.errors())) return;
  std::cerr << "compiled without error, but the assembler refuses the output:\n";
  for (const std::string& error : assembler.errors()) std::cerr << "  " << error << '\n';
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vorax::InMemoryFiles files;
  files.sources[kSourceName] = std::string(reinterpret_cast<const char*>(data), size);
  SilentHost host;
  vorax::CompileOptions options;
  options.memoryFiles = &files;
  vorax::compileFile(kSourceName, host, options);
  // A unit's file is linked into a program's; alone it is no image to check.
  if (files.finished && !files.finished->unit) assembleProgram(files);
  return 0;
}
