// FOR loops run in compiled programs: the rounds a loop makes at the limits of its control
// variable's type, with bounds computed in the right type and order, and a control variable
// that a pointer or a parameter slot also reaches. Each program writes what it computed;
// the output must be what the source says on every CPU, with the optimizer on and off.
#include <gtest/gtest.h>

#include <string>

#include "support/simulator_run.h"

namespace vorax::testing {
namespace {

class ForRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(ForRun, PrintsWhatTheSourceComputes) {
  for (const std::string& run : runsThatDiffer(GetParam())) {
    ADD_FAILURE() << run;
  }
}

const RunCase kRuns[] = {
    // One-byte control variables end after the first and the last value of the byte, with
    // a variable bound on either side; an enumeration wraps round below its first value.
    {"OneByteLimits",
     "TYPE Col = (Red, Green, Blue);\n"
     "VAR b, n: BYTE; c, h: Col; k: INTEGER;",
     "n := 3; k := 0; FOR b := n DOWNTO 0 DO k := k + b; WRITE(k, ' ');\n"
     "n := 250; k := 0; FOR b := n TO 255 DO k := k + 1; WRITE(k, ' ');\n"
     "n := 0; k := 0; FOR b := 5 DOWNTO n DO k := k + b; WRITE(k, ' ');\n"
     "n := 254; k := 0; FOR b := n TO 255 DO k := k + b; WRITE(k, ' ');\n"
     "FOR c := Blue DOWNTO Red DO WRITE(ORD(c)); WRITE(' ');\n"
     "h := Green; FOR c := Blue DOWNTO h DO WRITE(ORD(c)); WRITE(' ');\n"
     "h := Red; FOR c := Blue DOWNTO h DO WRITE(ORD(c)); WRITE(' ');\n"
     "h := Green; FOR c := h TO Blue DO WRITE(ORD(c)); WRITE(' ');\n"
     "FOR c := Red TO Blue DO WRITE(ORD(c)); WRITE(' ');\n"
     "n := 0; k := 0; FOR b := n TO 255 DO k := k + 1; WRITE(k, ' ');\n"
     "k := 0; FOR b := 255 DOWNTO n DO k := k + 1; WRITE(k);\n"
     "WRITELN",
     "6 6 15 509 210 21 210 12 012 256 256\n"},
    // Two- and four-byte control variables with a variable bound at the last value of the
    // type, a start at the first value, empty ranges and one-round ranges.
    {"WordAndLongLimits",
     "VAR i, m, top, k: INTEGER; l, lk: LONGINT; b, hi: BYTE;",
     "m := 32765; k := 0; FOR i := m TO 32767 DO k := k + 1; WRITE(k, ' ');\n"
     "m := -32766; k := 0; FOR i := m DOWNTO -32768 DO k := k + 1; WRITE(k, ' ');\n"
     "lk := 2147483645; k := 0; FOR l := lk TO 2147483647 DO k := k + 1; WRITE(k, ' ');\n"
     "lk := -2147483647; k := 0; FOR l := lk DOWNTO -2147483647 - 1 DO k := k + 1;\n"
     "WRITE(k, ' ');\n"
     "top := 32767; k := 0; FOR i := 32765 TO top DO k := k + i - 32760; WRITE(k, ' ');\n"
     "hi := 255; k := 0; FOR b := 253 TO hi DO k := k + b; WRITE(k, ' ');\n"
     "m := -32768; k := 0; FOR i := m TO -32766 DO k := k + 1; WRITE(k, ' ');\n"
     "m := 5; top := 4; k := 0; FOR i := m TO top DO k := k + 1;\n"
     "FOR i := top DOWNTO m DO k := k + 1; WRITE(k, ' ');\n"
     "m := 3; top := 3; k := 0; FOR i := m TO top DO k := k + i;\n"
     "FOR i := top DOWNTO m DO k := k + i; WRITE(k);\n"
     "WRITELN",
     "3 3 3 2 18 762 3 0 6\n"},
    // Bounds are computed in the control variable's type and before it is first written;
    // a byte parameter counts in its own byte; a variable a pointer reads stays in memory.
    {"BoundsAndPlaces",
     "VAR i, s: INTEGER; b: BYTE; p: ^INTEGER;\n"
     "PROCEDURE V(b: BYTE); VAR s: INTEGER;\n"
     "BEGIN s := 0; FOR b := 1 TO 4 DO s := s + b; WRITE(s, ' ') END;\n"
     "PROCEDURE W(b: BYTE); VAR s: INTEGER;\n"
     "BEGIN s := 0; FOR b := b DOWNTO 1 DO s := s + b; WRITE(s, ' ') END;\n"
     "PROCEDURE L; VAR j, t: INTEGER; r: ^INTEGER;\n"
     "BEGIN r := @j; t := 0; FOR j := 1 TO 4 DO t := t + r^; WRITE(t, ' ') END;",
     "V(9); W(4);\n"
     "b := 0; s := 0; FOR i := b TO 3 DO s := s + 1; WRITE(s, ' ');\n"
     "b := 200; s := 0; FOR i := -2 TO b - 197 DO s := s + 1; WRITE(s, ' ');\n"
     "i := 7; s := 0; FOR i := i TO i + 2 DO s := s + i; WRITE(s, ' ');\n"
     "i := 7; s := 0; FOR i := i + 2 DOWNTO i DO s := s + i; WRITE(s, ' ');\n"
     "p := @i; s := 0; FOR i := 1 TO 4 DO s := s + p^; WRITE(s, ' ');\n"
     "L; WRITELN",
     "10 10 4 6 24 24 10 10 \n"},
    // The start waits while a call computes the end value: the call must not destroy it.
    {"EndValueMadeByACall",
     "VAR i, a, b: INTEGER; l: LONGINT;\n"
     "FUNCTION F(x: INTEGER): INTEGER; BEGIN F := x * 2 END;",
     "a := 71; b := 10; FOR i := ABS(a MOD 2) + 3 TO (b MOD 3) + 4 DO WRITE(i, ' ');\n"
     "a := 2; FOR i := a + 1 TO F(a) + 1 DO WRITE(i, ' ');\n"
     "l := 100000; FOR l := l MOD 7 + 1 TO l DIV 20000 DO WRITE(l, ' ');\n"
     "WRITELN",
     "4 5 3 4 5 \n"},
};
INSTANTIATE_TEST_SUITE_P(Programs, ForRun, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax::testing
