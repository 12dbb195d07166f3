// Programs whose results hang on what the emit pipeline and the window rules assume about
// the code (the flags a line leaves, the places two operands name, what a register still
// holds), compiled and run on every CPU with the optimizer on and off.
#include <gtest/gtest.h>

#include <string>

#include "support/simulator_run.h"

namespace vorax::testing {
namespace {

struct RunCase {
  const char* name;
  const char* program;
  const char* output;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class PipelineRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(PipelineRun, PrintsWhatTheSourceComputes) {
  for (const std::string& run : runsThatDiffer(GetParam().program, GetParam().output)) {
    ADD_FAILURE() << run;
  }
}

const RunCase kRuns[] = {
    // The caller pushes a whole word for a BYTE parameter; the routine reads its low byte.
    {"ByteParameterIgnoresTheHighByte",
     "PROGRAM T; VAR k: INTEGER;\n"
     "PROCEDURE P(x: BYTE); VAR w: INTEGER; BEGIN w := x; WRITE(w, ' ', x + 1, ' ') END;\n"
     "BEGIN k := 4660; P(k); k := -1; P(k); WRITELN END.\n",
     "52 53 255 256 \n"},
    // Two names for one address: a store to one is seen through the other.
    {"AbsoluteNamesShareTheirPlace",
     "PROGRAM T; VAR a: INTEGER ABSOLUTE $9000; b: INTEGER ABSOLUTE $9000; c: INTEGER;\n"
     "BEGIN a := 7; c := b; a := 7; WRITE(c, ' '); a := 3; b := 4; WRITELN(a) END.\n",
     "7 4\n"},
    {"ExchangeThroughAnAliasOfTheFirstPlace",
     "PROGRAM T; VAR x: INTEGER ABSOLUTE $9000; y: INTEGER ABSOLUTE $9002;\n"
     "t: INTEGER ABSOLUTE $9000;\n"
     "BEGIN x := 1; y := 2; t := x; x := y; y := t; WRITELN(x, ' ', y) END.\n",
     "2 2\n"},
    // Boolean values built through jumps nest; the inner one's zero comes from a clear the
    // outer one made.
    {"NestedBooleanValuesKeepTheirZero",
     "PROGRAM T; VAR i: INTEGER; c: CHAR; f: BOOLEAN;\n"
     "BEGIN FOR i := -1 TO 6 DO BEGIN\n"
     "  c := 'A'; f := NOT (((i > 0) OR ((i > 1) AND (c < 'B'))) XOR (i = 5)); WRITE(ORD(f));\n"
     "  c := 'C'; f := NOT (((i > 0) OR ((i > 1) AND (c < 'B'))) XOR (i = 5)); WRITE(ORD(f))\n"
     "END; WRITELN END.\n",
     "1111000000001100\n"},
    // A compare against zero in front of a branch that reads the carry: the runtime call in
    // the body leaves a carry of its own.
    {"CarryBranchAfterACall",
     "PROGRAM T; TYPE COL = (Red, Green, Blue);\n"
     "VAR b: BYTE; s: STRING; e, ea: COL; k: INTEGER;\n"
     "BEGIN s := ''; FOR b := 0 TO 0 DO s := s + 'h'; WRITE(s, ' ');\n"
     "ea := Green; k := 1; FOR e := ea DOWNTO ea DO k := k + 100 DIV (k + 3); WRITELN(k) END.\n",
     "h 26\n"},
    // Signed branches right after a step that overflows: the step's overflow flag is not
    // that of a compare of its (16-bit) result with zero.
    {"SignedBranchAfterAnOverflow",
     "PROGRAM T; VAR i: INTEGER;\n"
     "BEGIN i := 32767; IF i + 1 < 0 THEN WRITE('n') ELSE WRITE('p');\n"
     "i := -32768; IF i - 1 > 0 THEN WRITELN('p') ELSE WRITELN('n') END.\n",
     "np\n"},
};
INSTANTIATE_TEST_SUITE_P(Programs, PipelineRun, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax::testing
