// The command line of vorax-sim:
//   vorax-sim [--cpu 300H|300L|2000] [--max-steps N] [--trace] FILE.asm [MORE.asm ...]
#pragma once

#include <string>
#include <vector>

#include "sim/simulator.h"

namespace vorax::sim {

struct CommandLine {
  SimOptions options;
  std::vector<std::string> files;
  bool showHelp = false;
};

// Parses the arguments (without the program name). Returns false and sets `error` for a
// bad command line.
bool parseCommandLine(const std::vector<std::string>& args, CommandLine& result,
                      std::string& error);

const char* usageText();

// Runs vorax-sim with the given arguments; returns the exit status.
int simMain(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
            std::ostream& err);

}  // namespace vorax::sim
