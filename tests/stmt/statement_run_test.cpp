// Statements whose results went wrong in compiled programs: each program writes what it
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

class StatementRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(StatementRun, PrintsWhatTheSourceComputes) {
  const RunCase& c = GetParam();
  const std::string program =
      std::string("PROGRAM T;\n") + c.declarations + "\nBEGIN\n" + c.body + "\nEND.\n";
  for (const std::string& run : runsThatDiffer(program, c.output)) {
    ADD_FAILURE() << run;
  }
}

const RunCase kRuns[] = {
    // WITH bases kept in their frame slots across calls: the slots stay reserved although
    // the next routine's entry comes before this routine's lines are written.
    {"WithSlotsAcrossCallsBeforeTheNextRoutine",
     "TYPE R = RECORD a, b: INTEGER END;\n"
     "VAR t: ARRAY[1..3] OF R; i: INTEGER;\n"
     "FUNCTION Sel(x: INTEGER): INTEGER; BEGIN Sel := x * 10 END;\n"
     "PROCEDURE Q; BEGIN WRITE('q') END;\n"
     "PROCEDURE W1; BEGIN i := 2; WITH t[i] DO BEGIN Q; a := 7 END; WRITE(t[2].a, ' ') END;\n"
     "PROCEDURE W2; VAR k: INTEGER;\n"
     "BEGIN i := 3; WITH t[i] DO BEGIN k := Sel(a); WRITE(b + k, ' ') END END;\n"
     "PROCEDURE W3;\n"
     "BEGIN i := 1; WITH t[i] DO CASE Sel(a + 1) OF 10: WRITE('x'); 20: WRITE('y') END END;\n"
     "PROCEDURE Z; BEGIN WRITE('z') END;",
     "t[3].a := 2; t[3].b := 2; t[1].a := 1; W1; W2; W3; Z; WRITELN",
     "q7 22 yz\n"},
};
INSTANTIATE_TEST_SUITE_P(Programs, StatementRun, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax::testing
