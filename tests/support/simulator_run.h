// Runs a whole program: compiles the source with compileSource and runs the assembly file
// in vorax-sim (built beside the test programs) for one CPU.
#pragma once

#include <string>

namespace vorax::testing {

// The program's console output; when it does not compile or does not end normally, a text
// that says why ("compile error N", "run failed: ...").
std::string compileAndRun(const std::string& source, const std::string& cpu, long maxSteps);

}  // namespace vorax::testing
