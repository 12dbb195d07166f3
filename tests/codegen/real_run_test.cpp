// Programs computing with REAL values, compiled and run on the simulator for every CPU:
// each prints its results with WRITE, and the output is compared with the values worked
// out by hand.
#include <gtest/gtest.h>

#include <string>

#include "support/simulator_run.h"

namespace vorax::testing {
namespace {

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
  return compileAndRun(
      "{$CPU " + cpu + "}\nPROGRAM T;\n" + c.declarations + "\nBEGIN\n" + c.body + "\nEND.\n", cpu,
      5000000);
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
    // Standard functions with REAL results, negated too, and VAL into a REAL; SQRT of an
    // integer is a LONGINT that becomes REAL only when it is stored.
    {"StandardFunctions", "VAR r, x: REAL; code, i: INTEGER;",
     "x := 2.25;\n"
     "WRITELN(SQRT(x):6:3, SIN(x - x):6:3, COS(0 * x):6:3, -SQRT(x * 4):7:3, ABS(-x):6:2);\n"
     "i := 17; r := SQRT(i); WRITE(r:5:1); r := SQRT(17); WRITELN(r:7:3);\n"
     "VAL('-12.5', r, code); WRITELN(r:7:2, ' ', code);\n"
     "VAL('3x', r, code); WRITELN(code)",
     " 1.500 0.000 1.000 -3.000  2.25\n"
     "  4.0  4.123\n"
     " -12.50 0\n"
     "2\n"},
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
