// Programs with function calls compiled and run on the simulator: each writes the values
// its calls returned, and the console output is compared with the values worked out by
// hand.
#include <gtest/gtest.h>

#include <string>

#include "support/simulator_run.h"

namespace vorax::testing {
namespace {

struct RunCase {
  const char* name;
  const char* declarations;
  const char* body;
  const char* output;  // console output, one line per WRITELN
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

// Compiles the program for `cpu` and runs it there; the console output, or a text that says why
// there is none.
std::string runProgram(const RunCase& c, const std::string& cpu) {
  return compileAndRun(
      "{$CPU " + cpu + "}\nPROGRAM T;\n" + c.declarations + "\nBEGIN\n" + c.body + "\nEND.\n", cpu,
      2000000);
}

class FunctionRunTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(FunctionRunTest, PrintsTheExpectedValues) {
  const RunCase& c = GetParam();
  for (const char* cpu : {"300H", "300L", "2000"}) {
    EXPECT_EQ(runProgram(c, cpu), c.output) << "on " << cpu;
  }
}

const RunCase kRuns[] = {
    {"Recursion",
     "FUNCTION FACT(n: INTEGER): LONGINT;\n"
     "BEGIN IF n <= 1 THEN FACT := 1 ELSE FACT := n * FACT(n - 1) END;\n"
     "FUNCTION FIB(n: INTEGER): INTEGER;\n"
     "BEGIN IF n < 2 THEN FIB := n ELSE FIB := FIB(n - 1) + FIB(n - 2) END;\n",
     "WRITELN(FACT(10)); WRITELN(FIB(15))", "3628800\n610\n"},
    // Routines nested in a function reach its locals, parameters and result through the
    // display.
    {"NestedLevels",
     "FUNCTION OUTER(a: INTEGER): INTEGER;\n"
     "VAR k: INTEGER;\n"
     "  FUNCTION INNER(d: INTEGER): INTEGER;\n"
     "    FUNCTION DEEPEST: INTEGER; BEGIN DEEPEST := k * 2 END;\n"
     "  BEGIN INNER := DEEPEST + a + d END;\n"
     "BEGIN k := 100; OUTER := INNER(3) - INNER(4) + INNER(a) END;\n",
     "WRITELN(OUTER(7))", "213\n"},
    {"StringAndBooleanResults",
     "VAR s: STRING;\n"
     "FUNCTION GREET(n: STRING; k: INTEGER): STRING; BEGIN GREET := COPY('hello ', 1, k) + n END;\n"
     "FUNCTION ISBIG(x: INTEGER): BOOLEAN; BEGIN ISBIG := x > 10 END;\n",
     "s := GREET('bob', 3); WRITELN(s); WRITELN(LENGTH(GREET('al', 6)));\n"
     "IF ISBIG(11) AND NOT ISBIG(3) THEN WRITELN('big');\n"
     "IF ISBIG(2) THEN WRITELN('wrong')",
     "helbob\n8\nbig\n"},
    // The results of one-byte functions come back as words.
    {"OneByteResults",
     "TYPE COLOR = (RED, GREEN, BLUE);\n"
     "VAR i: INTEGER;\n"
     "FUNCTION NEXTC(c: COLOR): COLOR; BEGIN NEXTC := SUCC(c) END;\n"
     "FUNCTION HALF(x: INTEGER): BYTE; BEGIN HALF := x DIV 2 END;\n"
     "FUNCTION LETTER(x: INTEGER): CHAR; BEGIN LETTER := CHR(x + 64) END;\n",
     "i := HALF(300) + 1000; WRITELN(i); WRITELN(ORD(NEXTC(GREEN))); WRITELN(LETTER(2))",
     "1150\n2\nB\n"},
    // A VAR parameter changed by the function, and calls among operands held in registers.
    {"VarParameterAndOperands",
     "VAR i, j: INTEGER;\n"
     "FUNCTION BUMP(VAR v: INTEGER; by: INTEGER): INTEGER; BEGIN v := v + by; BUMP := v * 10 "
     "END;\n",
     "i := 1; j := 5 + BUMP(i, 2) * 2 - BUMP(i, 1); WRITELN(i); WRITELN(j)", "4\n25\n"},
    {"StandardFunctions", "VAR i, j: INTEGER; l: LONGINT; c: CHAR; s: STRING; b: BYTE;\n",
     "i := -32767; WRITELN(ABS(i)); l := -70000; WRITELN(ABS(l));\n"
     "i := 255; WRITELN(SUCC(i)); i := 256; WRITELN(PRED(i));\n"
     "l := 65535; WRITELN(SUCC(l)); c := 'q'; WRITELN(UPCASE(c));\n"
     "l := 1000000; WRITELN(SQRT(l)); b := 65; WRITELN(CHR(b)); WRITELN(ORD(c));\n"
     "s := 'hello'; WRITELN(POS('ll', s)); WRITELN(COPY(s, 2, 3))",
     "32767\n70000\n256\n255\n65536\nQ\n1000\nA\n113\n3\nell\n"},
    // ODD as a condition and as a value, of a value in r0 and of one in another register.
    {"Odd", "VAR i, j: INTEGER; ok: BOOLEAN;\n",
     "i := 7; j := 4; IF ODD(i) THEN WRITELN('i odd'); IF ODD(j) THEN WRITELN('j odd');\n"
     "ok := ODD(j + 1); IF ok THEN WRITELN('j+1 odd');\n"
     "ok := ODD(j) = ODD(i); IF ok THEN WRITELN('same') ELSE WRITELN('differ');\n"
     "IF ODD(i) = ODD(j + 1) THEN WRITELN('same') ELSE WRITELN('differ');\n"
     "WHILE NOT ODD(j) DO j := j + 3; WRITELN(j)",
     "i odd\nj+1 odd\ndiffer\nsame\n7\n"},
    // REAL results travel in the area the caller reserved above the arguments.
    {"RealResults",
     "VAR i: INTEGER; l: LONGINT;\n"
     "FUNCTION RF(a: INTEGER; b: LONGINT): REAL; BEGIN RF := 2.5 END;\n"
     "FUNCTION NR: REAL; BEGIN NR := -7.75 END;\n",
     "i := TRUNC(RF(1, 2)); WRITELN(i); WRITELN(TRUNC(ABS(NR))); WRITELN(TRUNC(NR));\n"
     "l := 81; WRITELN(TRUNC(SQRT(l))); i := 0; WRITELN(TRUNC(COS(i))); WRITELN(TRUNC(SIN(i)));\n"
     "WRITELN(TRUNC(-NR)); WRITELN(TRUNC(-ABS(NR)))",
     "2\n7\n-7\n9\n1\n0\n7\n-7\n"},
    // REAL arguments and results combined with REAL arithmetic.
    {"RealArguments",
     "VAR x, y: REAL; i: INTEGER;\n"
     "FUNCTION HALF(v: REAL): REAL; BEGIN HALF := v / 2 END;\n",
     "x := -12.5; y := ABS(x); WRITELN(TRUNC(y)); WRITELN(TRUNC(SQRT(y * 8)));\n"
     "WRITELN(TRUNC(HALF(x) * 10)); WRITELN(TRUNC(-HALF(x)));\n"
     "WRITELN(TRUNC(SIN(x * 0) + COS(x * 0) * 3)); i := TRUNC(HALF(HALF(100))); WRITELN(i)",
     "12\n10\n-62\n6\n3\n25\n"},
    // The length of a concatenation stops at 255 as the concatenated string does.
    {"LengthOfConcatenation", "VAR s, t: STRING; c: CHAR; i: INTEGER;\n",
     "s := ''; i := 0;"
     "WHILE i < 200 DO BEGIN s := s + 'x'; i := i + 1 END; t := s; c := 'c';\n"
     "WRITELN(LENGTH(s + 'ab' + c)); WRITELN(LENGTH(s + t)); WRITELN(LENGTH(s + t + 'a'));\n"
     "WRITELN(LENGTH(c + 'abc')); WRITELN(-LENGTH(c)); WRITELN(-LENGTH(s))",
     "203\n255\n255\n4\n-1\n-200\n"},
};

INSTANTIATE_TEST_SUITE_P(Programs, FunctionRunTest, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax::testing
