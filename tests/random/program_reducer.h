// Shrinks a failing generated program while it keeps failing the same way: greedy passes
// that remove routines, statements (in halving chunks), variables and types, and replace
// expressions by their operands or by literals. Every candidate must still pass the
// checker (so it stays meaningful and inside the subset both compilers agree on) and
// still show the first failure of the original program.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "random/generator_options.h"
#include "random/oracle.h"
#include "random/program_model.h"

namespace vorax::randprog {

struct ReduceResult {
  Program program;
  std::string text;
  OracleReport report;  // of the reduced program, all runs
};

// Reduces while `stillFails` holds for the printed candidate (it is asked only about
// candidates that pass the checker).
Program reduceWhile(const Program& program, const GeneratorOptions& options,
                    const std::function<bool(const std::string&)>& stillFails, std::ostream& log);

// Reduces a program that fails the oracle: the candidates must show the original's first
// failing run (checked on that CPU and optimizer setting alone, and without running when
// the failure is a compile or assembly error); the result is checked whole again.
ReduceResult reduceProgram(const Program& program, const GeneratorOptions& options,
                           const OracleOptions& oracle, std::ostream& log);

}  // namespace vorax::randprog
