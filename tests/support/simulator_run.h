// Runs a whole program: compiles the source with compileSource and runs the assembly file
// in vorax-sim (built beside the test programs) for one CPU.
#pragma once

#include <string>

#include "driver/compile_options.h"

namespace vorax::testing {

// The program's console output; when it does not compile or does not end normally, a text
// that says why ("compile error N", "run failed: ...").
std::string compileAndRun(const std::string& source, const std::string& cpu, long maxSteps);
// The same with the given options (the peephole rules off, for instance).
std::string compileAndRun(const std::string& source, const std::string& cpu, long maxSteps,
                          const CompileOptions& options);

// Options that write the code as the generators emitted it, like --no-peephole.
CompileOptions withoutPeephole();

}  // namespace vorax::testing
