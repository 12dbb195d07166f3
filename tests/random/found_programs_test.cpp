// Programs the random hunt found compiled wrongly, reduced to a few lines. Each runs on
// every CPU with and without the peephole optimizer and must print what Free Pascal's
// build of the same program prints (written here, checked by hand).
#include <gtest/gtest.h>

#include <cstdlib>

#include "random/oracle.h"

namespace vorax::randprog {
namespace {

struct FoundProgram {
  const char* name;
  const char* source;
  const char* output;
};

void PrintTo(const FoundProgram& program, std::ostream* os) { *os << program.name; }

// vorax and vorax-sim: CTest names the build folder; run by hand, the test program stands
// one folder below it.
ToolPaths buildTools() {
  const char* folder = std::getenv("VORAX_BINARY_DIR");
  return folder != nullptr ? toolsIn(folder) : toolsIn(executableFolder() + "/../..");
}

class FoundPrograms : public ::testing::TestWithParam<FoundProgram> {};

TEST_P(FoundPrograms, PrintWhatTheProgramSays) {
  OracleOptions options;
  options.tools = buildTools();
  options.expectedOutput = GetParam().output;
  options.maxSteps = 1000000;
  const OracleReport report = checkProgram(GetParam().source, options);
  EXPECT_EQ(report.verdict, Verdict::Agree) << report.summary();
}

INSTANTIATE_TEST_SUITE_P(
    Hunt, FoundPrograms,
    ::testing::Values(
        // An AND with a constant is computed in the target's width; a mask beyond that
        // width was refused as a constant out of range (error 45).
        FoundProgram{"AndMaskWiderThanTarget",
                     "PROGRAM T;\n"
                     "VAR i, j: INTEGER; l: LONGINT; w: WORD; b: BYTE;\n"
                     "BEGIN\n"
                     "  j := 1000; l := 987654;\n"
                     "  i := j AND 91305; WRITELN(i);\n"
                     "  i := 91305 AND j; WRITELN(i);\n"
                     "  i := l AND 91305; WRITELN(i);\n"
                     "  b := l AND 300; WRITELN(b);\n"
                     "  w := l AND 1048575; WRITELN(w);\n"
                     "  i := j AND (-61441); WRITELN(i);\n"
                     "END.\n",
                     "168\n168\n0\n4\n4614\n1000\n"},
        // A constant minuend beyond 16 bits with a WORD or INTEGER subtrahend was refused
        // as out of range in a one- or two-byte target (ODD's included), while the same
        // constant as the second operand of a sum was computed in 32 bits.
        FoundProgram{"WideConstantMinuend",
                     "PROGRAM T;\n"
                     "VAR w: WORD; i: INTEGER; l: LONGINT;\n"
                     "BEGIN\n"
                     "  w := 5; i := 7;\n"
                     "  IF ODD(94890 - w) THEN WRITELN('odd') ELSE WRITELN('even');\n"
                     "  IF ODD(94890 - i - w) THEN WRITELN('odd') ELSE WRITELN('even');\n"
                     "  l := 94890 - w; WRITELN(l);\n"
                     "  w := 94890 - w; WRITELN(w);\n"
                     "  i := -70000 - i; WRITELN(i);\n"
                     "  l := (94890 - i) DIV 2; WRITELN(l);\n"
                     "END.\n",
                     "odd\neven\n94885\n29349\n-4471\n49680\n"},
        // LENGTH of a concatenation with one more character: the add of 1 is written as an
        // increment, which leaves the carry alone, and the stop at 255 read a stale carry
        // (LENGTH(u + 'a') gave 255 for an 8-character result).
        FoundProgram{"LengthPlusOneCharacter",
                     "PROGRAM L;\n"
                     "VAR s, t: STRING; u: STRING[12]; i: INTEGER;\n"
                     "BEGIN\n"
                     "  u := 'QQa b c';\n"
                     "  STR(LENGTH(u + 'a'), t); WRITELN(t);\n"
                     "  i := LENGTH(u + 'a'); WRITELN(i, ' ', LENGTH('ab' + u), ' ', LENGTH(u + 'a' + u));\n"
                     "  s := '';\n"
                     "  FOR i := 1 TO 253 DO s := s + 'x';\n"
                     "  WRITELN(LENGTH(s + 'a'), ' ', LENGTH(s + 'ab'), ' ', LENGTH('a' + s + u));\n"
                     "  s := s + 'y';\n"
                     "  WRITELN(LENGTH(s + 'a'), ' ', LENGTH(s + s + 'a'));\n"
                     "END.\n",
                     "8\n8 9 15\n254 255 255\n255 255\n"},
        // A target whose index calls (ABS, MOD) has its address made before the value; a
        // comparison made into a value released every unlocked register, the address's
        // own among them, and loaded its operand over it.
        FoundProgram{"TargetAddressKeptWhileAConditionIsMadeAValue",
                     "PROGRAM M;\n"
                     "TYPE TA = ARRAY[-2..-1] OF BOOLEAN; TI = ARRAY[0..3] OF INTEGER;\n"
                     "VAR a: TA; t: TI; i, n: INTEGER; l: LONGINT;\n"
                     "BEGIN\n"
                     "  i := 1; l := 1; n := 5; a[-1] := TRUE; t[1] := 9;\n"
                     "  a[ABS(i) - 2] := n = 0;\n"
                     "  IF a[-1] THEN WRITELN('T') ELSE WRITELN('F');\n"
                     "  a[-1] := TRUE;\n"
                     "  a[ABS(l MOD 2) - 2] := 0 = n;\n"
                     "  IF a[-1] THEN WRITELN('T') ELSE WRITELN('F');\n"
                     "  t[ABS(i)] := ORD(n = 0);\n"
                     "  WRITELN(t[1]);\n"
                     "  t[ABS(i) + 1] := ORD(n <> 0) + 6;\n"
                     "  WRITELN(t[2]);\n"
                     "END.\n",
                     "F\nF\n0\n7\n"},
        // An outer routine's pointer or VAR parameter is reached through the display, whose
        // address waits in a work register while the index is computed; an index that
        // calls a runtime routine (MOD's result comes back in r0) destroyed that register.
        FoundProgram{"BaseKeptWhileAnIndexCalls",
                     "PROGRAM B;\n"
                     "TYPE TA = ARRAY[1..4] OF INTEGER; TM = ARRAY[1..3, 1..4] OF INTEGER;\n"
                     "  TR = RECORD s: STRING[8]; n: INTEGER; END; TP = ^TR;\n"
                     "VAR q: TP; g: INTEGER; m: TM; a: TA;\n"
                     "FUNCTION F(x: INTEGER): INTEGER;\n"
                     "BEGIN F := x - 1; END;\n"
                     "PROCEDURE P(VAR v: TA; VAR mm: TM);\n"
                     "VAR c: CHAR; k: INTEGER;\n"
                     "  PROCEDURE Inner;\n"
                     "  BEGIN\n"
                     "    k := v[(g MOD 3) + 1] + mm[(g MOD 2) + 1, F(g + 1) + 1];\n"
                     "    WRITELN(k);\n"
                     "  END;\n"
                     "BEGIN\n"
                     "  c := q^.s[(g MOD 2) + 1];\n"
                     "  WRITELN(c);\n"
                     "  IF c < q^.s[((q^.n + g) MOD 2) + 1] THEN WRITELN('less') ELSE WRITELN('not less');\n"
                     "  k := 3;\n"
                     "  k := mm[(g MOD 3) + 1, (g DIV 2) + 1] + v[(k MOD 4) + 1];\n"
                     "  WRITELN(k);\n"
                     "  Inner;\n"
                     "END;\n"
                     "BEGIN\n"
                     "  g := 2; NEW(q); q^.s := 'pq'; q^.n := 5;\n"
                     "  a[1] := 11; a[2] := 22; a[3] := 33; a[4] := 44;\n"
                     "  m[1,1] := 1; m[1,2] := 2; m[1,3] := 3; m[1,4] := 4;\n"
                     "  m[2,1] := 5; m[2,2] := 6; m[2,3] := 7; m[2,4] := 8;\n"
                     "  m[3,1] := 9; m[3,2] := 10; m[3,3] := 11; m[3,4] := 12;\n"
                     "  P(a, m);\n"
                     "END.\n",
                     "p\nless\n54\n36\n"},
        // ODD is compiled in line, but it released every register as a routine call does: a
        // BOOLEAN value waiting beside it (the left operand of OR, AND, XOR, =) was loaded
        // over.
        FoundProgram{"OddLeavesTheValueBesideIt",
                     "PROGRAM G;\n"
                     "VAR w: WORD; l: LONGINT; i: INTEGER; b: BYTE; q, p, r: BOOLEAN; f: INTEGER;\n"
                     "BEGIN\n"
                     "  w := 725; l := 541; q := FALSE; p := FALSE; i := 4; b := 3; f := 102;\n"
                     "  r := ODD(w) OR (q = ODD(l)); IF r THEN WRITELN('T1') ELSE WRITELN('F1');\n"
                     "  IF (ODD(w) OR ((f = 102) = ODD(l))) XOR p THEN WRITELN('T2') ELSE WRITELN('F2');\n"
                     "  IF (ODD(w) OR (q = ODD(l))) = p THEN WRITELN('T3') ELSE WRITELN('F3');\n"
                     "  r := ODD(i) AND (q <> ODD(b)); IF r THEN WRITELN('T4') ELSE WRITELN('F4');\n"
                     "  r := ODD(b) XOR (ODD(l) AND q); IF r THEN WRITELN('T5') ELSE WRITELN('F5');\n"
                     "  r := ODD(i) = (p = ODD(w)); IF r THEN WRITELN('T6') ELSE WRITELN('F6');\n"
                     "  r := ODD(l) AND ODD(w) AND ODD(b); IF r THEN WRITELN('T7') ELSE WRITELN('F7');\n"
                     "  r := (ODD(i + 1) OR (q AND ODD(w))) OR ODD(b + 1); IF r THEN WRITELN('T8') ELSE WRITELN('F8');\n"
                     "END.\n",
                     "T1\nT2\nF3\nF4\nT5\nT6\nT7\nT8\n"},
        // A sum or difference with a constant was computed in its operands' width even where
        // its consumer (a comparison with a LONGINT, MOD's dividend) is wider: W - 161
        // against a LONGINT was the WORD 65415, I + 30000 the INTEGER -5536.
        FoundProgram{"ConstantSumComputedInTheWidthItIsUsedIn",
                     "PROGRAM C;\n"
                     "VAR w: WORD; b: BYTE; i: INTEGER; l: LONGINT;\n"
                     "BEGIN\n"
                     "  w := 40; b := 6; i := 30000; l := 5;\n"
                     "  IF (w - 161) <= l THEN WRITELN('le') ELSE WRITELN('gt');\n"
                     "  IF l >= (-161 + w) THEN WRITELN('ge') ELSE WRITELN('lt');\n"
                     "  IF (w - 161) < 0 THEN WRITELN('negative') ELSE WRITELN('positive');\n"
                     "  l := 50000;\n"
                     "  IF (i + 30000) > l THEN WRITELN('more') ELSE WRITELN('less');\n"
                     "  IF l < (30000 + i) THEN WRITELN('more') ELSE WRITELN('less');\n"
                     "  WRITELN((40000 + b) MOD 4, ' ', (i + 30000) MOD 7, ' ', (w - 161) MOD 5);\n"
                     "END.\n",
                     "le\nge\nnegative\nmore\nmore\n2 3 -1\n"},
        // Both operands may call: the left value waits in its register with a spill mark,
        // which saves it only when a call really follows. A comparison made into a value on
        // the right released every unlocked register without a call, and loaded over it.
        FoundProgram{"WaitingValueKeptWhileAConditionIsMadeAValue",
                     "PROGRAM V;\n"
                     "VAR i, j, k: INTEGER; s: STRING; b, p: BOOLEAN; l: LONGINT;\n"
                     "BEGIN\n"
                     "  i := 47; j := 3; s := 'abcd'; l := 100;\n"
                     "  b := ODD(i) <> (i >= LENGTH(s));\n"
                     "  IF b THEN WRITELN('T') ELSE WRITELN('F');\n"
                     "  k := (i MOD 5) + ORD(j < LENGTH(s));\n"
                     "  WRITELN(k);\n"
                     "  k := (l MOD 7) * 10 + ORD((j > 1) AND (LENGTH(s) = 4));\n"
                     "  WRITELN(k);\n"
                     "  p := (i MOD 2 = 1) = (LENGTH(s) > j);\n"
                     "  IF p THEN WRITELN('T') ELSE WRITELN('F');\n"
                     "  p := ODD(j) AND NOT (j > LENGTH(s));\n"
                     "  IF p THEN WRITELN('T') ELSE WRITELN('F');\n"
                     "END.\n",
                     "F\n3\n21\nT\nT\n"},
        // The same with two WITH registers taken: keeping the waiting value in its register
        // left too few for the comparison (error 971). It is pushed at its mark instead,
        // and popped into a register other than the right operand's.
        FoundProgram{"WaitingValueSavedWhenRegistersAreFew",
                     "PROGRAM W;\n"
                     "TYPE TS = STRING[30]; TR = RECORD f: BYTE; s: TS; END; TP = ^TR;\n"
                     "VAR g: TP; c: CHAR;\n"
                     "PROCEDURE P(VAR a: CHAR);\n"
                     "VAR l: INTEGER;\n"
                     "BEGIN\n"
                     "  l := -12300;\n"
                     "  WITH g^, g^ DO BEGIN\n"
                     "    IF ((l MOD 940) = 0) = (a <> g^.s) THEN WRITELN('same') ELSE WRITELN('differ');\n"
                     "    IF ((l MOD 940) = -80) = (a <> s) THEN WRITELN('same') ELSE WRITELN('differ');\n"
                     "  END;\n"
                     "END;\n"
                     "BEGIN\n"
                     "  NEW(g); g^.f := 1; g^.s := 'a b c'; c := 'a';\n"
                     "  P(c);\n"
                     "  g^.s := 'a'; P(c);\n"
                     "END.\n",
                     "differ\nsame\nsame\ndiffer\n"}),
    [](const ::testing::TestParamInfo<FoundProgram>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax::randprog
