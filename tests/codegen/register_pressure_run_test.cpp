// Procedures and expressions that need more registers than there are: addresses of VAR
// parameters and pointers remembered in every register, values waiting for deeper and
// deeper operands. Each program compiles, assembles and prints what Free Pascal prints
// for it, on every processor, with the optimizer and without it.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "support/simulator_run.h"

namespace vorax::testing {
namespace {

struct PressureCase {
  const char* name;
  const char* source;  // without the processor directive
  const char* expected;
};

void PrintTo(const PressureCase& c, std::ostream* os) { *os << c.name; }

// Six VAR INTEGER parameters combined, then each incremented: every statement
// loads parameter addresses, and the remembered ones fill all six registers.
PressureCase sixVarParameters() {
  return {"SixVarParameters",
      "PROGRAM SIX;\n"
      "VAR x1, x2, x3, x4, x5, x6: INTEGER;\n"
      "PROCEDURE P(VAR a1, a2, a3, a4, a5, a6: INTEGER);\n"
      "BEGIN\n"
      "  a1 := a2 + a3; a4 := a5 * a6; a2 := a1 - a4; a3 := a6 + a1; a5 := a2 - a3; a6 := a4 + a5;\n"
      "  a1 := a1 + 1; a2 := a2 + 1; a3 := a3 + 1; a4 := a4 + 1; a5 := a5 + 1; a6 := a6 + 1\n"
      "END;\n"
      "BEGIN\n"
      "  x1 := 1; x2 := 2; x3 := 3; x4 := 4; x5 := 5; x6 := 6;\n"
      "  P(x1, x2, x3, x4, x5, x6);\n"
      "  WRITELN(x1, ' ', x2, ' ', x3, ' ', x4, ' ', x5, ' ', x6)\n"
      "END.\n",
      "6 -24 12 31 -35 -5\n"};
}

// UPCASE of a VAR CHAR parameter after statements on three other VAR parameters.
PressureCase upcaseOfVarCharAfterOtherParameters() {
  return {"UpcaseOfVarCharAfterOtherParameters",
      "PROGRAM UPC;\n"
      "VAR x, y, z: INTEGER; ch: CHAR;\n"
      "PROCEDURE P(VAR a, b, d: INTEGER; VAR c: CHAR);\n"
      "BEGIN\n"
      "  a := a + b; b := b * d; d := a - d; a := b + d;\n"
      "  c := UPCASE(c)\n"
      "END;\n"
      "BEGIN\n"
      "  x := 3; y := 4; z := 5; ch := 'q';\n"
      "  P(x, y, z, ch);\n"
      "  WRITELN(x, ' ', y, ' ', z, ' ', ch)\n"
      "END.\n",
      "22 20 2 Q\n"};
}

// A LONGINT determinant of a VAR 2x2 matrix: four element addresses, two products.
PressureCase determinantOfVarMatrix() {
  return {"DeterminantOfVarMatrix",
      "PROGRAM DETP;\n"
      "TYPE M = ARRAY[1..2, 1..2] OF LONGINT;\n"
      "VAR q: M;\n"
      "FUNCTION Det(VAR m: M): LONGINT; BEGIN Det := m[1,1]*m[2,2] - m[1,2]*m[2,1] END;\n"
      "BEGIN\n"
      "  q[1,1] := 3; q[1,2] := 7; q[2,1] := 100000; q[2,2] := 5;\n"
      "  WRITELN(Det(q))\n"
      "END.\n",
      "-699985\n"};
}

// Six stores through one pointer to a record and four pointers read in one
// expression, in the main program.
PressureCase storesThroughPointers() {
  return {"StoresThroughPointers",
      "PROGRAM PTRS;\n"
      "TYPE R = RECORD a, b, c, d, e, f: INTEGER END; PR = ^R; PI = ^INTEGER;\n"
      "VAR p: PR; p1, p2, p3, p4: PI;\n"
      "BEGIN\n"
      "  NEW(p);\n"
      "  p^.a := 1; p^.b := 2; p^.c := 3; p^.d := 4; p^.e := 5; p^.f := 6;\n"
      "  WRITELN(p^.a + p^.b + p^.c + p^.d + p^.e + p^.f, ' ', p^.f - p^.a);\n"
      "  NEW(p1); NEW(p2); NEW(p3); NEW(p4);\n"
      "  p1^ := 1; p2^ := 2; p3^ := 3; p4^ := 4;\n"
      "  WRITELN(p1^ + p4^, ' ', p2^ * p3^)\n"
      "END.\n",
      "21 5\n"
      "5 6\n"};
}

// Fields copied from one pointer's record to another's inside a procedure.
PressureCase fieldsThroughTwoPointers() {
  return {"FieldsThroughTwoPointers",
      "PROGRAM RND1;\n"
      "TYPE\n"
      "  TR16 = RECORD f17: INTEGER; f18: BYTE; f19: INTEGER; f20: CHAR; f21: INTEGER; END;\n"
      "  TP23 = ^TR16;\n"
      "VAR\n"
      "  g24: WORD; g26: BYTE; g27: TP23;\n"
      "  PROCEDURE P28;\n"
      "  VAR l29: TP23;\n"
      "  BEGIN\n"
      "    NEW(l29);\n"
      "    l29^.f17 := ((g26 MOD 20) + 19);\n"
      "    l29^.f18 := ((100000 + g27^.f18) - 100000);\n"
      "    l29^.f19 := g27^.f17;\n"
      "    l29^.f20 := g27^.f20;\n"
      "    l29^.f21 := (ABS(((-(4096 + (-7))) MOD 8)) + 46);\n"
      "    WRITELN('l29^.f17=', l29^.f17);  WRITELN('l29^.f18=', l29^.f18);\n"
      "    WRITELN('l29^.f19=', l29^.f19);  WRITELN('l29^.f20=', l29^.f20);\n"
      "    WRITELN('l29^.f21=', l29^.f21);\n"
      "  END;\n"
      "BEGIN\n"
      "  g24 := 534; g26 := 5;\n"
      "  NEW(g27);\n"
      "  g27^.f17 := 1; g27^.f18 := 17; g27^.f19 := 3507; g27^.f20 := 'K'; g27^.f21 := 25;\n"
      "  P28;\n"
      "END.\n",
      "l29^.f17=24\n"
      "l29^.f18=17\n"
      "l29^.f19=1\n"
      "l29^.f20=K\n"
      "l29^.f21=47\n"};
}

// An array of records and its index, both of the main program, stored into from a
// procedure.
PressureCase outerArrayIndexedByOuterVariable() {
  return {"OuterArrayIndexedByOuterVariable",
      "PROGRAM ARRREC;\n"
      "TYPE E = RECORD a: INTEGER; b: LONGINT; c: LONGINT END;\n"
      "VAR arr: ARRAY[1..5] OF E; i: INTEGER;\n"
      "PROCEDURE Fill;\n"
      "BEGIN\n"
      "  arr[i].a := i*10; arr[i].b := i*100; arr[i].c := i*1000\n"
      "END;\n"
      "BEGIN\n"
      "  FOR i := 1 TO 5 DO Fill;\n"
      "  FOR i := 1 TO 5 DO WRITELN(arr[i].a, ' ', arr[i].b, ' ', arr[i].c)\n"
      "END.\n",
      "10 100 1000\n"
      "20 200 2000\n"
      "30 300 3000\n"
      "40 400 4000\n"
      "50 500 5000\n"};
}

// Elements of VAR arrays indexed by sums of VAR parameters, and 12-byte record copies
// with indexed targets.
PressureCase indexedVarArraysAndRecordCopy() {
  return {"IndexedVarArraysAndRecordCopy",
      "PROGRAM UV;\n"
      "TYPE A = ARRAY[0..20] OF INTEGER; R12 = RECORD x, y: LONGINT; z: INTEGER; w: INTEGER END;\n"
      "VAR gu, gv: A; gm, gn, k: INTEGER; rs: ARRAY[1..4] OF R12; one: R12;\n"
      "PROCEDURE P(VAR u, v: A; VAR m, n: INTEGER);\n"
      "BEGIN\n"
      "  u[m + n] := v[n - m] + u[m];\n"
      "  u[n] := u[m + 1] * v[m + n] - v[n + 2]\n"
      "END;\n"
      "BEGIN\n"
      "  FOR k := 0 TO 20 DO BEGIN gu[k] := k * 3; gv[k] := 100 - k END;\n"
      "  gm := 2; gn := 5;\n"
      "  P(gu, gv, gm, gn);\n"
      "  FOR k := 0 TO 20 DO WRITE(gu[k], ' ');\n"
      "  WRITELN;\n"
      "  one.x := 123456; one.y := -7; one.z := 9; one.w := 11;\n"
      "  FOR k := 1 TO 4 DO BEGIN rs[k] := one; one.z := one.z + k END;\n"
      "  k := 3; rs[k + 1] := rs[k - 2];\n"
      "  FOR k := 1 TO 4 DO WRITELN(rs[k].x, ' ', rs[k].y, ' ', rs[k].z, ' ', rs[k].w)\n"
      "END.\n",
      "0 3 6 9 12 744 18 103 24 27 30 33 36 39 42 45 48 51 54 57 60 \n"
      "123456 -7 9 11\n"
      "123456 -7 10 11\n"
      "123456 -7 12 11\n"
      "123456 -7 9 11\n"};
}

// WITH over a VAR record with indexed fields, two nested WITHs, a string character
// by index, call arguments, VAL into a field, REPEAT, IF and WHILE conditions.
PressureCase withOverVarRecords() {
  return {"WithOverVarRecords",
      "PROGRAM WITH1;\n"
      "TYPE V = ARRAY[1..6] OF INTEGER;\n"
      "     R = RECORD n: INTEGER; a: V; b: V; s: STRING[10]; k: INTEGER END;\n"
      "     Q = RECORD inner: R; m: INTEGER END;\n"
      "VAR g: R; h: Q; i: INTEGER;\n"
      "PROCEDURE Show(x, y, z: INTEGER);\n"
      "BEGIN WRITELN(x, ' ', y, ' ', z) END;\n"
      "PROCEDURE P(VAR r: R; VAR q: Q; j: INTEGER);\n"
      "VAR t: INTEGER;\n"
      "BEGIN\n"
      "  WITH r DO BEGIN\n"
      "    a[j] := b[j + 1] + a[j - 1];\n"
      "    b[j] := a[j] * n - b[k];\n"
      "    s[j] := 'X';\n"
      "    Show(a[j], b[j], a[k] + b[n]);\n"
      "    VAL('123', a[k], t);\n"
      "    i := 0;\n"
      "    REPEAT i := i + 1; a[i] := a[i] + b[i] UNTIL a[i] > b[k];\n"
      "    IF a[n] < b[j] THEN n := n + 1 ELSE k := k + 1;\n"
      "    WHILE a[n] + b[k] < 200 DO a[n] := a[n] + b[j]\n"
      "  END;\n"
      "  WITH q DO WITH inner DO BEGIN\n"
      "    a[j] := m + b[j] + a[k];\n"
      "    m := a[j] - b[n];\n"
      "    s[2] := 'Y'\n"
      "  END\n"
      "END;\n"
      "BEGIN\n"
      "  FOR i := 1 TO 6 DO BEGIN g.a[i] := i * 2; g.b[i] := 30 - i; h.inner.a[i] := i; h.inner.b[i] := i * i END;\n"
      "  g.n := 2; g.k := 4; g.s := 'abcdefgh';\n"
      "  h.inner.n := 3; h.inner.k := 5; h.inner.s := 'pqrs'; h.m := 1000;\n"
      "  P(g, h, 3);\n"
      "  FOR i := 1 TO 6 DO WRITE(g.a[i], ' ', g.b[i], ' ');\n"
      "  WRITELN(g.n, ' ', g.k, ' ', g.s);\n"
      "  FOR i := 1 TO 6 DO WRITE(h.inner.a[i], ' ', h.inner.b[i], ' ');\n"
      "  WRITELN(h.m, ' ', h.inner.s)\n"
      "END.\n",
      "30 34 36\n"
      "31 29 4 28 200 34 123 26 10 25 12 24 3 4 abXdefgh\n"
      "1 1 2 4 1014 9 4 16 5 25 6 36 1005 pYrs\n"};
}

// Seven VAR parameters nested to the right: more values wait than there are
// registers.
PressureCase sevenVarOperandsNestedRight() {
  return {"SevenVarOperandsNestedRight",
      "PROGRAM DEEP;\n"
      "VAR g: INTEGER;\n"
      "PROCEDURE P(VAR a, b, c, d, e, f, h: INTEGER);\n"
      "VAR r: INTEGER;\n"
      "BEGIN\n"
      "  r := a + (b + (c + (d + (e + (f + h)))));\n"
      "  WRITELN(r);\n"
      "  r := a - (b - (c - (d - (e - (f - h)))));\n"
      "  WRITELN(r);\n"
      "END;\n"
      "VAR x1, x2, x3, x4, x5, x6, x7: INTEGER;\n"
      "BEGIN\n"
      "  x1 := 1; x2 := 20; x3 := 300; x4 := 4000; x5 := 5; x6 := 60; x7 := 700;\n"
      "  P(x1, x2, x3, x4, x5, x6, x7)\n"
      "END.\n",
      "5086\n"
      "-3074\n"};
}

// VAR parameters and locals of the enclosing routine, nested to the right and to the
// left, in a nested routine.
PressureCase sevenOuterOperandsNestedRight() {
  return {"SevenOuterOperandsNestedRight",
      "PROGRAM OUTER;\n"
      "PROCEDURE Q(VAR a, b, c: INTEGER);\n"
      "VAR d, e, f, g: INTEGER;\n"
      "  PROCEDURE R;\n"
      "  VAR s: INTEGER;\n"
      "  BEGIN\n"
      "    s := a + (b + (c + (d + (e + (f + g)))));\n"
      "    WRITELN(s);\n"
      "    s := (((((a - b) - c) - d) - e) - f) - g;\n"
      "    WRITELN(s);\n"
      "    s := a * (b - (c * (d - (e + (f - g)))));\n"
      "    WRITELN(s)\n"
      "  END;\n"
      "BEGIN\n"
      "  d := 4; e := 5; f := 6; g := 7; R\n"
      "END;\n"
      "VAR x, y, z: INTEGER;\n"
      "BEGIN x := 1; y := 2; z := 3; Q(x, y, z) END.\n",
      "28\n"
      "-26\n"
      "2\n"};
}

class RegisterPressureRun
    : public ::testing::TestWithParam<std::tuple<PressureCase, const char*, bool>> {};

TEST_P(RegisterPressureRun, PrintsWhatTheSourceComputes) {
  const auto& [program, cpu, optimize] = GetParam();
  const CompileOptions options = optimize ? CompileOptions{} : withoutPeephole();
  EXPECT_EQ(compileAndRun("{$CPU " + std::string(cpu) + "}" + program.source, cpu, 5000000,
                          options),
            program.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, RegisterPressureRun,
    ::testing::Combine(::testing::Values(sixVarParameters(), upcaseOfVarCharAfterOtherParameters(), determinantOfVarMatrix(), storesThroughPointers(), fieldsThroughTwoPointers(), outerArrayIndexedByOuterVariable(), indexedVarArraysAndRecordCopy(), withOverVarRecords(), sevenVarOperandsNestedRight(), sevenOuterOperandsNestedRight()),
                       ::testing::Values("300H", "300L", "2000"), ::testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param) +
             (std::get<2>(info.param) ? "_Optimized" : "_Unoptimized");
    });

}  // namespace
}  // namespace vorax::testing
