// The fixed set of random programs: each is generated from its seed, compiled for every
// CPU with the optimizer on and off, assembled, run in vorax-sim, and its output compared
// with what Free Pascal's build of the same program prints. Without Free Pascal the
// programs are compiled and assembled only.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "random/fixed_set.h"
#include "random/oracle.h"
#include "random/program_checker.h"
#include "random/program_generator.h"
#include "random/program_printer.h"

namespace vorax::randprog {
namespace {

#ifdef VORAX_RANDOM_SANITIZER_BUILD
constexpr bool kSanitizerBuild = true;
#else
constexpr bool kSanitizerBuild = false;
#endif

ToolPaths buildTools() {
  const char* folder = std::getenv("VORAX_BINARY_DIR");
  return folder != nullptr ? toolsIn(folder) : toolsIn(executableFolder() + "/../..");
}

// How to see a failing seed by hand.
std::string reproduction(uint64_t seed) {
  const GeneratorOptions shape = fixedSetShape();
  return "build/vorax-randprog --fixed-set --max-statements=" + std::to_string(shape.maxStatements) +
         " --routines=" + std::to_string(shape.routineCount) + " check " + std::to_string(seed);
}

class FixedSet : public ::testing::TestWithParam<uint64_t> {};

TEST_P(FixedSet, CompilesAssemblesAndPrintsWhatFreePascalPrints) {
  GeneratorOptions generator = fixedSetShape();
  generator.seed = GetParam();
  const Program program = generateProgram(generator);
  ProgramChecker checker(program, generator);
  std::string problem;
  Cost cost;
  ASSERT_TRUE(checker.checkProgram(problem, cost)) << problem;

  OracleOptions options;
  options.tools = buildTools();
  options.runPrograms = freePascalAvailable(options.tools);
  // The sanitizer build's optimizer takes seconds per program; there the programs are
  // compiled without it (the release build runs both).
  if (kSanitizerBuild) {
    options.bothOptimizerSettings = false;
    options.peepholeOnly = false;
  }
  options.maxSteps = 5000000;
  const OracleReport report = checkProgram(printProgram(program), options);
  EXPECT_EQ(report.verdict, Verdict::Agree) << report.summary() << "see: " << reproduction(GetParam());
  if (!options.runPrograms) std::cout << "Free Pascal is missing: compiled and assembled only\n";
}

INSTANTIATE_TEST_SUITE_P(Seeds, FixedSet, ::testing::ValuesIn(fixedSetSeeds(kSanitizerBuild)),
                         [](const ::testing::TestParamInfo<uint64_t>& info) {
                           return "seed" + std::to_string(info.param);
                         });

}  // namespace
}  // namespace vorax::randprog
