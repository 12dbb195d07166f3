// Fuzz target: compiles its input as the source of a program or unit, with the source and
// the assembly file held in memory (no file is read or written). A source error is an
// ordinary outcome. A finding is a crash, a sanitizer report, a hang, an exception that
// escapes, or a program compiled without error whose assembly file the simulator's
// assembler refuses: the compiler must never report success for output that cannot be
// assembled.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

std::string upperCase(std::string text) {
  for (char& ch : text) {
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  }
  return text;
}

bool isIdentifierChar(char ch) {
  return (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_';
}

// Whether `word` stands in `text` (both upper case) as a whole word.
bool containsWord(const std::string& text, const std::string& word) {
  for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    const bool startsWord = at == 0 || !isIdentifierChar(text[at - 1]);
    const std::size_t end = at + word.size();
    if (startsWord && (end == text.size() || !isIdentifierChar(text[end]))) return true;
  }
  return false;
}

// The text between the quotes after `prefix` in `error`, or nothing.
std::optional<std::string> quotedAfter(const std::string& error, std::string_view prefix) {
  const std::size_t at = error.find(prefix);
  if (at == std::string::npos) return std::nullopt;
  const std::size_t start = at + prefix.size();
  const std::size_t end = error.find('"', start);
  if (end == std::string::npos || end == start) return std::nullopt;
  return error.substr(start, end - start);
}

// Only what the file leaves to others linked with it may be missing when it is assembled
// alone: a name of the source, which declares something EXTERNAL, and the assembly module
// a {$L name} directive of the source includes (the harness has no such file). A missing
// label of the compiler's own making is a fault.
bool onlyLinkedPartsMissing(const std::vector<std::string>& errors, const std::string& source) {
  const std::string text = upperCase(source);
  const bool declaresExternals = containsWord(text, "EXTERNAL");
  const bool linksModules = text.find("$L") != std::string::npos;
  for (const std::string& error : errors) {
    if (const auto symbol = quotedAfter(error, "undefined symbol \"")) {
      const std::string name = upperCase(*symbol);
      if (declaresExternals && std::all_of(name.begin(), name.end(), isIdentifierChar) &&
          containsWord(text, name)) {
        continue;
      }
    } else if (const auto module = quotedAfter(error, "can't read the include file \"")) {
      const std::string name = upperCase(*module);
      constexpr std::string_view kExtension = ".ASM";
      if (linksModules && name.size() > kExtension.size() && name.ends_with(kExtension) &&
          text.find(name.substr(0, name.size() - kExtension.size())) != std::string::npos) {
        continue;
      }
    }
    return false;
  }
  return true;
}

void assembleProgram(const vorax::InMemoryFiles& files, const std::string& source) {
  const vorax::sim::CpuModel cpu = simulatedCpu(files.finished->cpu);
  vorax::sim::Assembler assembler(
      cpu,
      [cpu](const std::string& name) { return vorax::sim::Runtime::symbolAddress(cpu, name); },
      [&files](const std::string& name) -> std::optional<std::string> {
        if (name != kAssemblyName) return std::nullopt;
        return files.assembly;
      });
  if (assembler.assemble({kAssemblyName}) ||
      onlyLinkedPartsMissing(assembler.errors(), source)) {
    return;
  }
  std::cerr << "compiled without error, but the assembler refuses the output:\n";
  for (const std::string& error : assembler.errors()) std::cerr << "  " << error << '\n';
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vorax::InMemoryFiles files;
  const std::string source(reinterpret_cast<const char*>(data), size);
  files.sources[kSourceName] = source;
  SilentHost host;
  vorax::CompileOptions options;
  options.memoryFiles = &files;
  vorax::compileFile(kSourceName, host, options);
  // A unit's file is linked into a program's; alone it is no image to check.
  if (files.finished && !files.finished->unit) assembleProgram(files, source);
  return 0;
}
