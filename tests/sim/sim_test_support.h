// Helpers for the simulator tests: assemble texts held in memory and run them.
#pragma once

#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "sim/simulator.h"

namespace vorax::sim::testing {

struct SimRun {
  ExitStatus status = ExitStatus::kHalted;
  std::string output;    // console output
  std::string messages;  // errors and faults
  std::unique_ptr<std::istringstream> input;
  std::unique_ptr<std::ostringstream> outputStream;
  std::unique_ptr<std::ostringstream> messageStream;
  std::unique_ptr<Simulator> simulator;

  const CpuState& cpu() const { return simulator->machine().cpu(); }
  Memory& memory() const { return simulator->machine().memory(); }
  uint32_t reg(int n, int size = 4) const { return cpu().reg(n, size); }
  int64_t symbol(const std::string& name) const {
    return simulator->image().globalSymbols.at(name);
  }
};

// Runs the files (name -> text); the first name in `order` is the program.
SimRun runFiles(const std::map<std::string, std::string>& files,
                const std::vector<std::string>& order, CpuModel cpu = CpuModel::H300H,
                const std::string& input = "", uint64_t maxSteps = 1000000);

// Runs a body of instructions wrapped in a start-up that calls \lnkfre (\ram at h'8000)
// and ends in "bra \halt". Lines are separated by "\n"; a line without any tab gets one
// in front.
SimRun runSnippet(const std::string& body, CpuModel cpu = CpuModel::H300H,
                  const std::string& input = "", uint64_t maxSteps = 1000000);

// Only assembles; returns the error lines (empty when it assembled).
std::vector<std::string> assemblyErrors(const std::string& text, CpuModel cpu = CpuModel::H300H);

// Reads a file of tests/sim/.
std::string readTestFile(const std::string& name);

const std::vector<CpuModel>& allCpus();

}  // namespace vorax::sim::testing
