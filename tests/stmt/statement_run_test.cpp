// Statements whose results went wrong in compiled programs: each program writes what it
// computed, and the output must be what the source says on every CPU, with the optimizer
// on and off.
#include <gtest/gtest.h>

#include <string>

#include "support/simulator_run.h"

namespace vorax::testing {
namespace {

class StatementRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(StatementRun, PrintsWhatTheSourceComputes) {
  for (const std::string& run : runsThatDiffer(GetParam())) {
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
    // LONGINT selectors far from the tags of a jump table, a call table with and without
    // an ELSE, and a table reaching below zero: the biased selector is compared without
    // sign, so an overflowing subtraction never indexes the table.
    {"LongSelectorsOutsideTheTable",
     "PROCEDURE A; BEGIN WRITE('a') END; PROCEDURE B; BEGIN WRITE('b') END;\n"
     "PROCEDURE C; BEGIN WRITE('c') END; PROCEDURE D; BEGIN WRITE('d') END;\n"
     "PROCEDURE X; BEGIN WRITE('x') END;\n"
     "PROCEDURE Sel(v: LONGINT);\n"
     "BEGIN\n"
     "  CASE v OF 1: WRITE(1); 2: WRITE(2); 3: WRITE(3); 4: WRITE(4); 5: WRITE(5); 6: WRITE(6);\n"
     "    7: WRITE(7); 8: WRITE(8) ELSE WRITE('e') END;\n"
     "  CASE v OF 1: A; 2: B; 3: C; 4: D; 5: A; 6: B; 7: C; 8: D ELSE X END;\n"
     "  CASE v OF 1: A; 2: B; 3: C; 4: D; 5: A; 6: B; 7: C; 8: D END;\n"
     "  CASE v OF -3: WRITE('m'); -2: WRITE('n'); -1: WRITE('o'); 0: WRITE('z'); 1: WRITE('p');\n"
     "    2: WRITE('q'); 3: WRITE('r') END;\n"
     "  WRITE(' ')\n"
     "END;",
     "Sel(2147483647); Sel(-2147483647 - 1); Sel(3); Sel(0); Sel(9); Sel(-3); Sel(-2147483647);\n"
     "Sel(2147483646); WRITELN",
     "ex ex 3ccr exz ex exm ex ex \n"},
};
INSTANTIATE_TEST_SUITE_P(Programs, StatementRun, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

// READ of a REAL takes the number from a line of the console, as READLN does.
TEST(StatementRunWithInput, ReadOfARealReadsTheNumber) {
  const std::string program =
      "PROGRAM T;\nVAR r, x: REAL;\n"
      "BEGIN READ(r); READ(x); WRITELN(r:0:2, ' ', x:0:3) END.\n";
  for (const std::string& run : runsThatDifferWithInput(program, "3.25\n-1.5\n", "3.25 -1.500\n")) {
    ADD_FAILURE() << run;
  }
}

}  // namespace
}  // namespace vorax::testing
