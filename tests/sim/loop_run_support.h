// Programs with CASE and FOR statements compiled by the real compiler (build/vorax) and
// run in the simulator. Each program checks its own results and spins for ever on a wrong
// one, so a halt means every check held and the step limit means one failed.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>  // getpid: two test runs at once keep their folders apart

#include "sim_test_support.h"

namespace vorax::sim::testing {

struct CheckedProgram {
  const char* name;
  const char* declarations;
  const char* body;  // ends with checks of the form "IF x <> v THEN REPEAT UNTIL FALSE"
};

inline void PrintTo(const CheckedProgram& p, std::ostream* os) { *os << p.name; }

// Compiles and runs the program for `cpu`; returns how it ended.
inline ExitStatus compileAndRun(const CheckedProgram& p, CpuModel cpu, std::string& messages) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() /
                          ("vorax_loop_run_" + std::string(p.name) + "_" + cpuModelName(cpu) + "_" +
                           std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path source = folder / "LOOPS.PAS";
  std::ofstream(source, std::ios::binary)
      << "{$CPU " << cpuModelName(cpu) << "}\r\nPROGRAM LOOPS;\r\n"
      << p.declarations << "\r\nBEGIN\r\n"
      << p.body << "\r\nEND.\r\n";
  const std::string command = std::string("\"") + VORAX_BINARY_DIR + "/vorax\" \"" +
                              source.string() + "\" > /dev/null 2>&1";
  if (std::system(command.c_str()) != 0) {
    messages = "compilation failed: " + command;
    fs::remove_all(folder);
    return ExitStatus::kUsage;
  }
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream errors;
  SimOptions options;
  options.cpu = cpu;
  options.maxSteps = 2'000'000;
  Simulator simulator(options, in, out, errors);
  const ExitStatus status = simulator.runFiles({(folder / "LOOPS.asm").string()});
  messages = errors.str();
  fs::remove_all(folder);
  return status;
}

}  // namespace vorax::sim::testing
