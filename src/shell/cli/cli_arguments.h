// The command line's arguments, read into what one run of `vorax` does. Spellings follow
// the usual compiler drivers: "-o FILE" or "-oFILE", "-I DIR", "-D NAME", "--cpu NAME" or
// "--cpu=NAME", "-M FILE", "-q"; "--" ends the options.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "driver/compile_options.h"

namespace vorax {

struct CliArguments {
  enum class Action { Compile, Help, Version };
  Action action = Action::Compile;
  std::vector<std::string> files;
  CompileOptions options;
  bool printRuleStatistics = false;
  bool quiet = false;         // -q: no completion line
  std::string dependencyFile;  // -M FILE: the make rules go here; empty: none
};

// Reads the arguments (without the program name). A usage error is explained on `err`
// and gives no result.
[[nodiscard]] std::optional<CliArguments> parseCliArguments(
    const std::vector<std::string>& arguments, std::ostream& err);

// The usage text that --help prints.
void printUsage(std::ostream& stream);

}  // namespace vorax
