#include "sim_test_support.h"

#include <fstream>

#include "sim/assembler.h"

namespace vorax::sim::testing {

namespace {

FileReader mapReader(const std::map<std::string, std::string>& files) {
  return [files](const std::string& name) -> std::optional<std::string> {
    auto found = files.find(name);
    if (found == files.end()) return std::nullopt;
    return found->second;
  };
}

}  // namespace

SimRun runFiles(const std::map<std::string, std::string>& files,
                const std::vector<std::string>& order, CpuModel cpu, const std::string& input,
                uint64_t maxSteps) {
  SimRun run;
  run.input = std::make_unique<std::istringstream>(input);
  run.outputStream = std::make_unique<std::ostringstream>();
  run.messageStream = std::make_unique<std::ostringstream>();
  SimOptions options;
  options.cpu = cpu;
  options.maxSteps = maxSteps;
  run.simulator =
      std::make_unique<Simulator>(options, *run.input, *run.outputStream, *run.messageStream);
  run.status = run.simulator->runFiles(order, mapReader(files));
  run.output = run.outputStream->str();
  run.messages = run.messageStream->str();
  return run;
}

SimRun runSnippet(const std::string& body, CpuModel cpu, const std::string& input,
                  uint64_t maxSteps) {
  std::string text = "\\ram\tequ\th'00008000\n\tdl\tprogram,\\ram\nprogram:\tbsr\t\\lnkfre\n";
  std::istringstream lines(body);
  std::string line;
  while (std::getline(lines, line)) {
    // Lines already laid out in columns (with a tab) stay as they are.
    text += line.find('\t') != std::string::npos || line.empty() ? line : "\t" + line;
    text += "\n";
  }
  text += "\tbra\t\\halt\n";
  return runFiles({{"snippet.asm", text}}, {"snippet.asm"}, cpu, input, maxSteps);
}

std::vector<std::string> assemblyErrors(const std::string& text, CpuModel cpu) {
  Assembler assembler(
      cpu, [cpu](const std::string& name) { return Runtime::symbolAddress(cpu, name); },
      [&text](const std::string& name) -> std::optional<std::string> {
        if (name != "test.asm") return std::nullopt;
        return text;
      });
  assembler.assemble({"test.asm"});
  return assembler.errors();
}

std::string readTestFile(const std::string& name) {
  std::ifstream in(std::string(VORAX_SOURCE_DIR) + "/tests/sim/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::vector<CpuModel>& allCpus() {
  static const std::vector<CpuModel> cpus = {CpuModel::H300H, CpuModel::H300L, CpuModel::H2000};
  return cpus;
}

}  // namespace vorax::sim::testing
