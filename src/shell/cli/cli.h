// The command-line front end: `vorax [OPTION]... FILE...` (the options are in
// cli_arguments.h).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vorax {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitCompileError = 1;
inline constexpr int kExitUsage = 2;

// Runs the command line with its arguments (without the program name); returns the
// exit status: 0 when every file compiled, 1 when any failed, 2 for a usage error.
int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out,
                   std::ostream& err);

}  // namespace vorax
