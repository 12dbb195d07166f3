// libFuzzer target: assembles and links its input as an assembly file for each of the
// three CPUs, the file held in memory. Any crash, sanitizer report, hang or escaping
// exception is a finding; assembly errors are an ordinary outcome.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "sim/assembler.h"
#include "sim/runtime.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorax::sim;
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (CpuModel cpu : {CpuModel::H300H, CpuModel::H300L, CpuModel::H2000}) {
    Assembler assembler(
        cpu, [cpu](const std::string& name) { return Runtime::symbolAddress(cpu, name); },
        [&text](const std::string& name) -> std::optional<std::string> {
          if (name != "fuzz.asm") return std::nullopt;  // include files are never found
          return text;
        });
    assembler.assemble({"fuzz.asm"});
  }
  return 0;
}
