// One run of vorax-sim: assemble and link the files, start the machine as the chip does,
// run to \halt, and turn every way of ending into a message and an exit status.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "sim/file_access.h"
#include "sim/machine.h"
#include "sim/runtime.h"

namespace vorax::sim {

struct SimOptions {
  CpuModel cpu = CpuModel::H300H;
  uint64_t maxSteps = 100000000;  // 0: no limit
  bool trace = false;
};

class Simulator {
 public:
  // `in` and `out` are the console; `messages` receives errors and the trace.
  Simulator(SimOptions options, std::istream& in, std::ostream& out, std::ostream& messages);
  ~Simulator();

  // Assembles and links; prints the errors and returns false when there are any.
  bool load(const std::vector<std::string>& files, const FileReader& reader = diskFileReader());
  // Starts at the reset vector and runs; prints a message for anything but a halt.
  ExitStatus run();
  // load + run.
  ExitStatus runFiles(const std::vector<std::string>& files,
                      const FileReader& reader = diskFileReader());

  Machine& machine() { return *machine_; }
  Runtime& runtime() { return *runtime_; }
  const ProgramImage& image() const { return *image_; }

 private:
  void reset();

  SimOptions options_;
  std::ostream& messages_;
  std::unique_ptr<Runtime> runtime_;
  std::unique_ptr<ProgramImage> image_;
  std::unique_ptr<Machine> machine_;
};

}  // namespace vorax::sim
