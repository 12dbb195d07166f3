#include "support/assembly_check.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>

#include "sim/assembler.h"
#include "sim/runtime.h"

namespace vorax::testing {
namespace {

// Where the names that a linker would find in another module (EXTERNAL routines and
// constants, a unit's work area, the program's memory cells seen from a unit) are put.
constexpr std::int64_t kElsewhere = 0x1000;

// A name the compiler makes for something of its own (a routine "NAME.line", a local
// label "$n", a marker "@n", a runtime routine "\name") must be defined in the file; a
// bare source name or a unit's "NAME.WORK" may come from elsewhere, as may the memory
// cells a program defines for its units.
bool isDefinedElsewhere(const std::string& name) {
  if (name == "\\ram" || name == "\\stack" || name == "\\rom") {
    return true;
  }
  if (name.empty() || name[0] == '$' || name[0] == '@' || name[0] == '\\') {
    return false;
  }
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot + 1 == name.size()) {
    return true;
  }
  for (std::size_t i = dot + 1; i < name.size(); ++i) {
    if (std::isdigit(static_cast<unsigned char>(name[i])) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

std::string cpuSelectedBy(const std::string& source, const std::string& startingCpu) {
  std::string upper;
  upper.reserve(source.size());
  for (const char c : source) {
    upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  std::string cpu = startingCpu;
  for (std::size_t at = upper.find("$CPU"); at != std::string::npos;
       at = upper.find("$CPU", at + 1)) {
    if (at == 0 || (upper[at - 1] != '{' && upper[at - 1] != '*')) {
      continue;
    }
    std::size_t name = at + 4;
    while (name < upper.size() && upper[name] == ' ') {
      ++name;
    }
    for (const char* known : {"300H", "300L", "2000"}) {
      if (upper.compare(name, 4, known) == 0) {
        cpu = known;
      }
    }
  }
  return cpu;
}

std::string assemblyErrors(const std::filesystem::path& asmFile, const std::string& cpu) {
  sim::CpuModel model = sim::CpuModel::H300H;
  if (!sim::parseCpuModel(cpu, model)) {
    return "unknown processor " + cpu;
  }
  sim::Assembler assembler(model, [model](const std::string& name) {
    if (const std::optional<std::int64_t> address = sim::Runtime::symbolAddress(model, name)) {
      return address;
    }
    return isDefinedElsewhere(name) ? std::optional<std::int64_t>(kElsewhere) : std::nullopt;
  }, sim::diskFileReader());
  if (assembler.assemble({asmFile.string()})) {
    return {};
  }
  std::string errors;
  for (const std::string& error : assembler.errors()) {
    errors += error + "\n";
  }
  return errors;
}

void expectAssembles(const std::filesystem::path& asmFile, const std::string& cpu) {
  const std::string errors = assemblyErrors(asmFile, cpu);
  EXPECT_TRUE(errors.empty()) << asmFile.filename().string() << " does not assemble on " << cpu
                              << ":\n"
                              << errors;
}

}  // namespace vorax::testing
