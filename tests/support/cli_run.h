// Runs the command-line front end in-process and captures what it prints.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "shell/cli/cli.h"

namespace vorax::testing {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

inline CliRun runCli(const std::vector<std::string>& arguments) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = runCommandLine(arguments, out, err);
  return {status, out.str(), err.str()};
}

}  // namespace vorax::testing
