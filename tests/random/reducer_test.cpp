// The reducer shrinks a program while a property holds and never leaves the checked
// subset. The property here is a text test, so no compiler is needed.
#include <gtest/gtest.h>

#include <sstream>

#include "random/program_checker.h"
#include "random/program_generator.h"
#include "random/program_printer.h"
#include "random/program_reducer.h"

namespace vorax::randprog {
namespace {

size_t lineCount(const std::string& text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(Reducer, KeepsThePropertyAndShrinks) {
  GeneratorOptions options;
  options.maxStatements = 10;
  options.routineCount = 3;
  int reduced = 0;
  for (uint64_t seed = 1; seed <= 8 && reduced < 2; ++seed) {
    options.seed = seed;
    const Program program = generateProgram(options);
    const std::string original = printProgram(program);
    if (original.find(" MOD ") == std::string::npos || original.find("WHILE") == std::string::npos) continue;
    ++reduced;
    // A failure that needs a MOD and a WHILE loop somewhere.
    const auto stillFails = [](const std::string& text) {
      return text.find(" MOD ") != std::string::npos && text.find("WHILE") != std::string::npos;
    };
    std::ostringstream log;
    const Program smaller = reduceWhile(program, options, stillFails, log);
    const std::string text = printProgram(smaller);
    EXPECT_TRUE(stillFails(text));
    EXPECT_LT(lineCount(text) * 4, lineCount(original)) << text;
    ProgramChecker checker(smaller, options);
    std::string problem;
    Cost cost;
    EXPECT_TRUE(checker.checkProgram(problem, cost)) << problem;
    // What every remaining variable holds at the end is still written.
    for (const Variable& variable : smaller.variables) {
      if (variable.removed || variable.role != VariableRole::Global) continue;
      EXPECT_NE(text.find("'" + variable.name), std::string::npos) << variable.name;
    }
  }
  EXPECT_EQ(reduced, 2);
}

}  // namespace
}  // namespace vorax::randprog
