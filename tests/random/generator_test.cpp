// The program generator: one program per seed, inside the subset its checker defines,
// with the features it was told to leave out left out, and written as source that the
// compiler's reader takes (lines well under 255 characters).
#include <gtest/gtest.h>

#include <sstream>

#include "random/fixed_set.h"
#include "random/program_checker.h"
#include "random/program_generator.h"
#include "random/program_printer.h"

namespace vorax::randprog {
namespace {

// Small programs keep the tests quick; the shapes are the same as in full-size ones.
GeneratorOptions smallOptions(uint64_t seed, const std::set<Feature>& disabled = {}) {
  GeneratorOptions options;
  options.seed = seed;
  options.disabled = disabled;
  options.maxStatements = 10;
  options.routineCount = 3;
  return options;
}

std::string generate(uint64_t seed, const std::set<Feature>& disabled = {}) {
  return printProgram(generateProgram(smallOptions(seed, disabled)));
}

TEST(Generator, OneProgramPerSeed) {
  EXPECT_EQ(generate(7), generate(7));
  EXPECT_NE(generate(7), generate(8));
}

TEST(Generator, EveryProgramPassesItsChecker) {
  // The checker is what makes a program meaningful in both compilers; the generator
  // consults it node by node, and the whole program must pass as well.
  for (const std::set<Feature>& disabled : {std::set<Feature>{}, fixedSetDisabledFeatures()}) {
    for (uint64_t seed = 1; seed <= 12; ++seed) {
      const GeneratorOptions options = smallOptions(seed, disabled);
      const Program program = generateProgram(options);
      ProgramChecker checker(program, options);
      std::string problem;
      Cost cost;
      EXPECT_TRUE(checker.checkProgram(problem, cost)) << "seed " << seed << ": " << problem;
      EXPECT_LE(cost.work, options.workBudget * 4) << "seed " << seed;
    }
  }
}

TEST(Generator, ProgramsUseWhatTheyShould) {
  // Over a few seeds, each statement kind and the main structures occur.
  std::string all;
  for (uint64_t seed = 1; seed <= 16; ++seed) all += generate(seed);
  for (const char* text : {"WHILE ", "REPEAT", "FOR ", "CASE ", "WITH ", "IF ", "NEW(", "^.", "FUNCTION ",
                           "PROCEDURE ", "VAR ", "RECORD", "ARRAY[", "STRING", " DIV ", " MOD ", " IN [",
                           "WRITELN(", "LONGINT", "WORD", "BYTE", "CHAR", "BOOLEAN", ":= TE"}) {
    EXPECT_NE(all.find(text), std::string::npos) << text;
  }
}

TEST(Generator, FeaturesSwitchedOffStayOut) {
  struct Case {
    Feature feature;
    const char* text;
  };
  for (const Case& c : {Case{Feature::With, "WITH "}, Case{Feature::Pointers, "NEW("},
                        Case{Feature::Strings, "STRING"}, Case{Feature::Case, "CASE "},
                        Case{Feature::For, "FOR "}, Case{Feature::Sets, " IN ["},
                        Case{Feature::LongInt, "LONGINT"}, Case{Feature::Functions, "FUNCTION "},
                        Case{Feature::NestedRoutines, "    PROCEDURE "}, Case{Feature::DivMod, " MOD "}}) {
    for (uint64_t seed = 1; seed <= 4; ++seed) {
      EXPECT_EQ(generate(seed, {c.feature}).find(c.text), std::string::npos)
          << featureName(c.feature) << " seed " << seed;
    }
  }
}

TEST(Generator, SourceLinesStayShort) {
  for (uint64_t seed = 1; seed <= 10; ++seed) {
    std::istringstream lines(generate(seed));
    std::string line;
    while (std::getline(lines, line)) ASSERT_LT(line.size(), 160u) << line;
  }
}

TEST(Generator, EveryVariableIsWrittenAtTheEnd) {
  const Program program = generateProgram(smallOptions(3));
  const std::string text = printProgram(program);
  const std::string tail = text.substr(text.rfind("BEGIN\n"));
  for (int global : program.routines[0].locals) {
    const Variable& variable = program.variables[global];
    if (variable.role != VariableRole::Global) continue;
    EXPECT_NE(tail.find("'" + variable.name), std::string::npos) << variable.name;
  }
}

TEST(FeatureNames, RoundTrip) {
  std::set<Feature> parsed;
  std::string error;
  ASSERT_TRUE(parseFeatureList(featureListText(fixedSetDisabledFeatures()), parsed, error)) << error;
  EXPECT_EQ(parsed, fixedSetDisabledFeatures());
  EXPECT_FALSE(parseFeatureList("with,no-such-thing", parsed, error));
  EXPECT_NE(error.find("no-such-thing"), std::string::npos);
}

}  // namespace
}  // namespace vorax::randprog
