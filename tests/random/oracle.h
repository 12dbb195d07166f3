// Runs one program both ways and compares: compiled by Free Pascal in Turbo mode
// (`fpc -Mtp`, with range and overflow checks so that a program that leaves the defined
// subset shows itself) and run natively; compiled by this compiler for each CPU, with and
// without the peephole optimizer, and run in vorax-sim. Every tool runs as a child
// process with a time limit, so a crash or a hang is a verdict, not the end of a hunt.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vorax::randprog {

struct ToolPaths {
  std::string vorax;     // the command-line compiler
  std::string simulator;  // vorax-sim
  std::string fpc = "fpc";
};

// vorax and vorax-sim beside the running executable (the build folder), fpc from PATH.
ToolPaths toolsBesideExecutable();
// The given folder's vorax and vorax-sim.
ToolPaths toolsIn(const std::string& buildFolder);
// The folder of the running program.
std::string executableFolder();
// Is Free Pascal installed?
bool freePascalAvailable(const ToolPaths& tools);

enum class Verdict {
  Agree,           // the output is the oracle's
  InvalidProgram,  // Free Pascal refused the program or stopped it at run time
  CompileError,    // this compiler reported a numbered source error
  InternalError,   // this compiler stopped with an internal error, or crashed
  AssemblyError,   // the simulator's assembler refused the output
  RunError,        // the program stopped at run time in the simulator
  StepLimit,       // the program did not end
  Mismatch,        // the program printed something else
};

std::string verdictName(Verdict verdict);

struct RunResult {
  std::string cpu;
  bool peephole = true;
  Verdict verdict = Verdict::Agree;
  std::string detail;  // the error line, or where the output first differs
  std::string output;
};

struct OracleOptions {
  ToolPaths tools;
  std::vector<std::string> cpus = {"300H", "300L", "2000"};
  bool bothOptimizerSettings = true;
  bool peepholeOnly = false;  // with bothOptimizerSettings off: true runs with the optimizer
  bool runPrograms = true;  // false: compile and assemble only (no Free Pascal needed)
  long maxSteps = 50000000;
  int timeoutSeconds = 120;  // per tool run; generous, as the machine may be busy
  std::string keepFolder;  // when set, the files are written there and kept
  // When set, the output every run must print; Free Pascal is not asked.
  std::optional<std::string> expectedOutput;
};

struct OracleReport {
  Verdict verdict = Verdict::Agree;  // the first failing run's verdict, or Agree
  std::string expected;              // what Free Pascal's program printed
  std::string oracleProblem;         // why the program is invalid
  std::vector<RunResult> runs;

  // "agree", or one line per failing run: "300H -peephole: mismatch: line 4 ...".
  [[nodiscard]] std::string summary() const;
  // The failing runs and their verdicts (with the error number of a compile error); the
  // reducer keeps a smaller program only when it still has this signature's first entry.
  [[nodiscard]] std::vector<std::string> signature() const;
};

OracleReport checkProgram(const std::string& source, const OracleOptions& options);

}  // namespace vorax::randprog
