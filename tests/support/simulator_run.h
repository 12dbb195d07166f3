// Runs a whole program: compiles the source with compileSource and runs the assembly file
// in vorax-sim (built beside the test programs) for one CPU.
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "driver/compile_options.h"

namespace vorax::testing {

// Files written beside the program before it is compiled (name, text): include files,
// assembly modules the program includes.
using ExtraFiles = std::vector<std::pair<std::string, std::string>>;

// The program's console output; when it does not compile or does not end normally, a text
// that says why ("compile error N", "run failed: ...").
std::string compileAndRun(const std::string& source, const std::string& cpu, long maxSteps);
// The same with the given options (the peephole rules off, for instance) and files written
// beside the program.
std::string compileAndRun(const std::string& source, const std::string& cpu, long maxSteps,
                          const CompileOptions& options, const ExtraFiles& files = {});

// The same with `input` as the console's input.
std::string compileAndRunWithInput(const std::string& source, const std::string& cpu,
                                   long maxSteps, const CompileOptions& options,
                                   const std::string& input, const ExtraFiles& files = {});

// Options that write the code as the generators emitted it, like --no-peephole.
CompileOptions withoutPeephole();

// One program run on every CPU, with the optimizer on and off: what each of the six runs
// printed when it differs from `expected` ("2000 --no-peephole: ..."), empty when all agree.
// `program` is the source after the CPU directive, which is put in front of it per run.
std::vector<std::string> runsThatDiffer(const std::string& program, const std::string& expected,
                                        long maxSteps = 2000000);
// The same with `input` as the console's input of every run.
std::vector<std::string> runsThatDifferWithInput(const std::string& program,
                                                 const std::string& input,
                                                 const std::string& expected,
                                                 long maxSteps = 2000000);

// A program made of declarations and a main body, and what it must print: the table rows
// of the compile-and-run tests.
struct RunCase {
  const char* name;
  const char* declarations;
  const char* body;
  const char* output;
};
inline void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }
// runsThatDiffer for the whole program of a RunCase.
std::vector<std::string> runsThatDiffer(const RunCase& c);

}  // namespace vorax::testing
