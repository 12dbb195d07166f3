#include "simulator_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "source_tree.h"

namespace vorax::testing {
namespace {

namespace fs = std::filesystem;

// vorax-sim stands in the build folder, one level above the test programs.
fs::path simulatorPath() {
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "vorax-sim";
}

}  // namespace

std::string compileAndRun(const std::string& source, const std::string& cpu, long maxSteps) {
  return compileAndRun(source, cpu, maxSteps, CompileOptions{});
}

CompileOptions withoutPeephole() {
  CompileOptions options;
  options.localTier = false;
  options.blockTier = false;
  return options;
}

std::string compileAndRun(const std::string& source, const std::string& cpu, long maxSteps,
                          const CompileOptions& options, const ExtraFiles& files) {
  return compileAndRunWithInput(source, cpu, maxSteps, options, "", files);
}

std::string compileAndRunWithInput(const std::string& source, const std::string& cpu,
                                   long maxSteps, const CompileOptions& options,
                                   const std::string& input, const ExtraFiles& files) {
  const SourceTree tree;
  for (const auto& [name, text] : files) {
    tree.write(name, text);
  }
  const CompileResult result = compileSource(tree, source, "T.PAS", options);
  if (!result.host.errors.empty()) {
    return "compile error " + std::to_string(result.host.errors.back().number);
  }
  const fs::path simulator = simulatorPath();
  if (!fs::exists(simulator)) {
    return "vorax-sim is not built: " + simulator.string();
  }
  const fs::path output = tree.root() / "run.txt";
  const fs::path console = tree.root() / "input.txt";
  std::ofstream(console, std::ios::binary) << input;
  // The simulator runs in the program's folder, where its assembly includes are.
  const std::string command = "cd \"" + tree.root().string() + "\" && \"" + simulator.string() +
                              "\" --cpu " + cpu + " --max-steps " + std::to_string(maxSteps) +
                              " T.asm < input.txt > \"" + output.string() + "\" 2>&1";
  const int status = std::system(command.c_str());
  std::ifstream in(output, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return "run failed: " + text.str();
  }
  return text.str();
}

std::vector<std::string> runsThatDiffer(const std::string& program, const std::string& expected,
                                        long maxSteps) {
  return runsThatDifferWithInput(program, "", expected, maxSteps);
}

std::vector<std::string> runsThatDifferWithInput(const std::string& program,
                                                 const std::string& input,
                                                 const std::string& expected, long maxSteps) {
  std::vector<std::string> differing;
  for (const char* cpu : {"300H", "300L", "2000"}) {
    for (const bool optimize : {true, false}) {
      const std::string output =
          compileAndRunWithInput("{$CPU " + std::string(cpu) + "}\n" + program, cpu, maxSteps,
                                 optimize ? CompileOptions{} : withoutPeephole(), input);
      if (output != expected) {
        differing.push_back(std::string(cpu) + (optimize ? "" : " --no-peephole") + ": " + output);
      }
    }
  }
  return differing;
}

std::vector<std::string> runsThatDiffer(const RunCase& c) {
  const std::string program =
      std::string("PROGRAM T;\n") + c.declarations + "\nBEGIN\n" + c.body + "\nEND.\n";
  return runsThatDiffer(program, c.output);
}

}  // namespace vorax::testing
