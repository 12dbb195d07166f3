// Expressions whose values went wrong in compiled programs: each program writes what it
// computed, and the output must be what the source says on every CPU, with the optimizer
// on and off.
#include <gtest/gtest.h>

#include <string>

#include "support/simulator_run.h"

namespace vorax::testing {
namespace {

struct RunCase {
  const char* name;
  const char* declarations;
  const char* body;
  const char* output;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class ResultRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(ResultRun, PrintsWhatTheSourceComputes) {
  const RunCase& c = GetParam();
  const std::string program =
      std::string("PROGRAM T;\n") + c.declarations + "\nBEGIN\n" + c.body + "\nEND.\n";
  for (const std::string& run : runsThatDiffer(program, c.output)) {
    ADD_FAILURE() << run;
  }
}

const RunCase kRuns[] = {
    // NOT (c IN s) as a value: assigned, passed, and an operand of the boolean operators.
    {"ComplementedMembershipAsValue",
     "VAR c: CHAR; f, g: BOOLEAN;\n"
     "PROCEDURE P(x: BOOLEAN); BEGIN WRITE(ORD(x)) END;",
     "c := 'a'; f := NOT (c IN ['a'..'c']); WRITE(ORD(f));\n"
     "c := 'z'; f := NOT (c IN ['a'..'c']); WRITE(ORD(f));\n"
     "P(NOT (c IN ['x'])); g := FALSE; f := g OR NOT (c IN ['z']); WRITE(ORD(f));\n"
     "f := (NOT (c IN ['z'])) = g; WRITE(ORD(f));\n"
     "f := (NOT (c IN ['z'])) <> g; WRITE(ORD(f));\n"
     "f := (NOT (c IN ['z'])) XOR g; WRITE(ORD(f));\n"
     "IF NOT (c IN ['z']) THEN WRITE('y') ELSE WRITE('n'); WRITELN",
     "0110100n\n"},
};
INSTANTIATE_TEST_SUITE_P(Programs, ResultRun, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax::testing
