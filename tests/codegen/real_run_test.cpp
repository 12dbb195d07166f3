// Programs computing with REAL values, compiled and run on the simulator for every CPU:
// each prints its results with WRITE, and the output is compared with the values worked
// out by hand.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/source_tree.h"

namespace vorax::testing {
namespace {

namespace fs = std::filesystem;

// vorax-sim stands in the build folder, one level above this test program.
fs::path simulatorPath() {
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "vorax-sim";
}

struct RealRun {
  const char* name;
  const char* declarations;
  const char* body;
  const char* output;  // console output, one line per WRITELN
};

void PrintTo(const RealRun& c, std::ostream* os) { *os << c.name; }

// The console output of the program compiled and run for `cpu`, or a text that says why
// there is none.
std::string runOn(const RealRun& c, const std::string& cpu) {
  const SourceTree tree;
  const CompileResult result = compileSource(
      tree, "{$CPU " + cpu + "}\nPROGRAM T;\n" + c.declarations + "\nBEGIN\n" + c.body + "\nEND.\n",
      "T.PAS");
  if (!result.host.errors.empty()) {
    return "compile error " + std::to_string(result.host.errors.back().number);
  }
  const fs::path simulator = simulatorPath();
  if (!fs::exists(simulator)) {
    return "vorax-sim is not built: " + simulator.string();
  }
  const fs::path output = tree.root() / "run.txt";
  const std::string command = "\"" + simulator.string() + "\" --cpu " + cpu +
                              " --max-steps 5000000 \"" + (tree.root() / "T.asm").string() +
                              "\" > \"" + output.string() + "\" 2>&1";
  const int status = std::system(command.c_str());
  std::ifstream in(output, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return "run failed: " + text.str();
  }
  return text.str();
}

class RealRunTest : public ::testing::TestWithParam<RealRun> {};

TEST_P(RealRunTest, PrintsTheExpectedValues) {
  const RealRun& c = GetParam();
  for (const char* cpu : {"300H", "300L", "2000"}) {
    EXPECT_EQ(runOn(c, cpu), c.output) << "on " << cpu;
  }
}

const RealRun kRuns[] = {
    {"Operators", "VAR x, y: REAL;",
     "x := 1.5; y := -4;\n"
     "WRITELN(x + y:8:2, x - y:8:2, x * y:8:2, x / y:8:3);\n"
     "WRITELN((x - 1) * (x + 1) / 2:8:3)",
     "   -2.50    5.50   -6.00  -0.375\n"
     "   0.625\n"},
    // Integers of every width, with and without a minus sign, enter REAL arithmetic with
    // their own values.
    {"IntegerOperands", "VAR r: REAL; i, j: INTEGER; b: BYTE; w: WORD; l: LONGINT;",
     "i := -7; j := 4; b := 200; w := 60000; l := -123456;\n"
     "r := i; WRITE(r:6:1); r := -i; WRITE(r:6:1);\n"
     "r := b; WRITE(r:7:1); r := -b; WRITELN(r:7:1);\n"
     "r := w; WRITE(r:9:1); r := -w; WRITE(r:9:1);\n"
     "r := l; WRITE(r:10:1); r := -l; WRITELN(r:10:1);\n"
     "r := i / j; WRITELN(r:7:2);\n"
     "r := l * 2 + 0.5; WRITELN(r:10:1);\n"
     "r := l + w; WRITELN(r:8:1)",
     "  -7.0   7.0  200.0 -200.0\n"
     "  60000.0 -60000.0 -123456.0  123456.0\n"
     "  -1.75\n"
     " -246911.5\n"
     "-63456.0\n"},
    // Minus signs of variables, sums, function results and standard function results.
    {"MinusSigns",
     "VAR x, y, r: REAL;\n"
     "FUNCTION TWICE(a: REAL): REAL; BEGIN TWICE := a + a END;",
     "x := 2.25; y := -0.5;\n"
     "r := -x; WRITELN(r:6:2);\n"
     "r := -(x + y); WRITELN(r:6:2);\n"
     "r := -TWICE(x); WRITELN(r:6:2);\n"
     "r := -ABS(y); WRITELN(r:6:2);\n"
     "r := TWICE(-y) + x; WRITELN(r:6:2);\n"
     "r := 0; r := -r; WRITELN(r:6:2)",
     " -2.25\n"
     " -1.75\n"
     " -4.50\n"
     " -0.50\n"
     "  3.25\n"
     "  0.00\n"},
    // REAL values stored and read through every kind of place.
    {"Places",
     "TYPE P = ^REC; REC = RECORD c: CHAR; x: REAL END;\n"
     "CONST K: REAL = 2.5;\n"
     "VAR a: ARRAY[1..3] OF REAL; i: INTEGER; q: P; v: REC;\n"
     "PROCEDURE DOUBLE(VAR x: REAL); BEGIN x := x + x END;\n"
     "FUNCTION POWER(x: REAL; n: INTEGER): REAL;\n"
     "VAR t: REAL;\n"
     "  PROCEDURE STEP; BEGIN t := t * x END;\n"
     "BEGIN t := 1; WHILE n > 0 DO BEGIN STEP; n := n - 1 END; POWER := t END;",
     "i := 3;\n"
     "a[1] := K; a[2] := a[1] * a[1]; a[i] := a[2] - K; WRITELN(a[3]:7:3);\n"
     "DOUBLE(a[i]); WRITELN(a[3]:7:3);\n"
     "NEW(q); q^.x := -a[3]; WRITELN(q^.x:7:3);\n"
     "WITH v DO BEGIN x := 1E3; c := 'z' END; WRITELN(v.x:7:1, v.c);\n"
     "WRITELN(POWER(K, i):9:4, POWER(-0.5, i):9:4)",
     "  3.750\n"
     "  7.500\n"
     " -7.500\n"
     " 1000.0z\n"
     "  15.6250  -0.1250\n"},
    // Every comparison, with REAL and integer operands on either side.
    {"Comparisons", "VAR x, y: REAL; i: INTEGER;",
     "x := 1.5; y := 2; i := 2;\n"
     "IF x < y THEN WRITE('T') ELSE WRITE('F');\n"
     "IF x <= y THEN WRITE('T') ELSE WRITE('F');\n"
     "IF x > y THEN WRITE('T') ELSE WRITE('F');\n"
     "IF x >= y THEN WRITE('T') ELSE WRITE('F');\n"
     "IF x = y THEN WRITE('T') ELSE WRITE('F');\n"
     "IF x <> y THEN WRITE('T') ELSE WRITE('F');\n"
     "IF i = y THEN WRITE('T') ELSE WRITE('F');\n"
     "IF y <= i THEN WRITE('T') ELSE WRITE('F');\n"
     "IF i < x THEN WRITE('T') ELSE WRITE('F');\n"
     "IF -x < -y THEN WRITELN('T') ELSE WRITELN('F')",
     "TTFFFTTTFF\n"},
    // A REAL condition inside a BOOLEAN value and a loop that counts by REAL steps.
    {"ConditionsAndLoops", "VAR r: REAL; i, j: INTEGER; ok: BOOLEAN;",
     "i := 2; j := 5;\n"
     "ok := (j > 0) AND (i < 2.5); IF ok THEN WRITE('T') ELSE WRITE('F');\n"
     "ok := (j > 9) OR (i > 2.5); IF ok THEN WRITELN('T') ELSE WRITELN('F');\n"
     "r := 0; i := 0;\n"
     "WHILE r < 1 DO BEGIN r := r + 0.125; i := i + 1 END;\n"
     "WRITELN(i, ' ', r:5:3);\n"
     "REPEAT r := r - 0.75 UNTIL r <= -2; WRITELN(r:5:2)",
     "TF\n"
     "8 1.000\n"
     "-2.00\n"},
    // TRUNC results join integer arithmetic whose other operands sit in registers.
    {"TruncInIntegerArithmetic", "VAR r: REAL; i, j: INTEGER; l: LONGINT;",
     "r := 1.25; i := 2; j := 4;\n"
     "j := i + TRUNC(r * 8); WRITELN(j);\n"
     "j := 10 + TRUNC(r * i) * j; WRITELN(j);\n"
     "i := TRUNC(-r * 10) - i; WRITELN(i)",
     "12\n"
     "34\n"
     "-14\n"},
    // STR and the default WRITE format of a REAL.
    {"TextOfReals", "VAR r: REAL; s: STRING[20];",
     "r := 1000;\n"
     "STR(r / 8:9:2, s); WRITELN('[', s, ']');\n"
     "WRITELN(r)",
     "[   125.00]\n"
     "1000.0\n"},
};

INSTANTIATE_TEST_SUITE_P(Real, RealRunTest, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax::testing
