// Expressions whose values went wrong in compiled programs: each program writes what it
// computed, and the output must be what the source says (checked against another Pascal
// compiler) on every CPU, with the optimizer on and off.
#include <gtest/gtest.h>

#include <string>

#include "support/simulator_run.h"

namespace vorax::testing {
namespace {

class ResultRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(ResultRun, PrintsWhatTheSourceComputes) {
  for (const std::string& run : runsThatDiffer(GetParam())) {
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
    // An operation written or converted to text is computed in 32 bits, constant or not.
    {"WriteItemsInLongWidth",
     "VAR i: INTEGER; s: STRING;",
     "i := 30000; WRITE(i + 30000, ' ', i + i, ' ', 30000 + i, ' ', i - (-30000), ' ');\n"
     "STR(i + 30000, s); WRITELN(s)",
     "60000 60000 60000 60000 60000\n"},
    // A remainder by a divisor a word cannot hold, a constant or a variable.
    {"RemainderByLongDivisor",
     "VAR l, secs: LONGINT; w: WORD;",
     "l := 1000000; WRITE(l MOD 70000, ' ', l MOD 131072, ' ', (-l) MOD 70000, ' ');\n"
     "WRITE(l MOD 65536, ' '); secs := 100000; WRITE(secs MOD 86400, ' ');\n"
     "l := 123456; w := 40000; WRITE(l MOD (l - 100000), ' ', l MOD w, ' ', l MOD 1000, ' ');\n"
     "WRITELN(-l MOD 1000)",
     "20000 82496 -20000 16960 13600 6176 3456 456 -456\n"},
    // A byte less a constant borrows into a wider target; a byte target keeps the byte.
    {"ByteSubtractionBorrows",
     "VAR b: BYTE; k: INTEGER; l: LONGINT; s: STRING;",
     "b := 1; k := b - 2; WRITE(k, ' '); s := 'a'; k := LENGTH(s) - 2; WRITE(k, ' ');\n"
     "b := 0; l := b - 1; WRITE(l, ' '); b := 3; b := b - 1; WRITELN(b)",
     "-1 -1 -1 2\n"},
    // The minus of a BYTE acts in the target's width; NOT stays a byte operation.
    {"NegatedByte",
     "VAR y, y2: BYTE; i: INTEGER; l: LONGINT;",
     "y := 200; i := -y; y2 := -y; l := -y; WRITE(i, ' ', y2, ' ', l, ' ');\n"
     "i := NOT y; y2 := NOT y; WRITELN(i, ' ', y2)",
     "-200 56 -200 55 55\n"},
    // A WORD against an INTEGER or a negative constant is compared with sign.
    {"WordAgainstSignedWord",
     "VAR i: INTEGER; w: WORD; f: BOOLEAN;",
     "i := -1; w := 40000; f := -1 < 40000; WRITE(ORD(f), ' ');\n"
     "WRITELN(ORD(i < w), ORD(w > i), ORD(w > -1), ORD(i >= w), ORD(w <= -5), ORD(w = 40000))",
     "1 111001\n"},
    // A shift keeps its operand's width on every CPU, whatever instructions make it.
    {"ShiftInOperandWidth",
     "VAR i, j, k: INTEGER;",
     "i := -1; k := i SHL 4; j := 4096; j := j SHL 4; WRITE(k, ' ', j, ' ');\n"
     "j := 4096; k := j SHL 3; WRITE(k, ' '); i := 3; k := i SHL 15; WRITELN(k)",
     "-16 0 -32768 -32768\n"},
    // A negated operand of AND keeps its minus when it is narrowed to the AND's width.
    {"NegationUnderAnd",
     "VAR l: LONGINT; w: WORD; b: BYTE; c, i: INTEGER;",
     "l := 4010; c := 17; w := (-l) AND 4095; WRITE(w, ' ');\n"
     "b := (-(w + c)) AND 63; WRITE(b, ' ');\n"
     "l := 98; b := (-(l OR c)) AND 255; WRITE(b, ' ');\n"
     "i := 5; w := (-i) AND 255; WRITELN(w)",
     "86 25 141 251\n"},
    // Enumerations, BYTE and LONGINT values into subranges and enumerations, subranges
    // mixed with bytes and longs, and a subrange function result.
    {"SubrangeAndEnumerationConversions",
     "TYPE Col = (Red, Green, Blue); TS = 0..200; S10 = 1..10;\n"
     "VAR c, e: Col; l: LONGINT; b: BYTE; s: TS; u: S10; i: INTEGER;\n"
     "FUNCTION F(x: INTEGER): S10; BEGIN F := x + 1 END;",
     "l := 7; c := Col(l MOD 3); WRITE(ORD(c), ' ');\n"
     "b := 2; e := Col(b); WRITE(ORD(e), ' ');\n"
     "l := 9; u := l; WRITE(u, ' ', F(4), ' ');\n"
     "b := 50; s := b; WRITE(s, ' ');\n"
     "i := 100; s := i DIV 3; WRITE(s, ' '); s := i MOD 3; WRITE(s, ' ');\n"
     "s := 150; s := s MOD 7; WRITE(s, ' ');\n"
     "e := Blue; s := BYTE(e); WRITE(s, ' ');\n"
     "s := 150; b := 100; i := s + b; WRITE(i, ' '); i := s - b; WRITE(i, ' ');\n"
     "i := s AND b; WRITE(i, ' ');\n"
     "IF s < b THEN WRITE('lt ') ELSE WRITE('ge ');\n"
     "l := 100000; i := s + l - 99000; WRITE(i, ' ');\n"
     "i := b + s; WRITE(i, ' '); i := s * b; WRITE(i, ' '); i := s DIV b; WRITELN(i)",
     "1 2 9 5 50 33 1 3 2 250 50 4 ge 1150 250 15000 1\n"},
    // A subrange value widened to LONGINT for WRITE: nothing of the long's old value
    // stays in its upper half.
    {"SubrangeWidenedToLong",
     "TYPE S10 = 1..10; VAR u: S10; l: LONGINT;",
     "u := 5; l := -1; WRITELN(l, ' ', u)",
     "-1 5\n"},
    // REAL values written with decimals: an exact half is rounded away from zero.
    {"RealHalvesRoundAwayFromZero",
     "VAR r: REAL;",
     "r := 2.5; WRITE(r:0:0, ' '); r := 0.125; WRITE(r:6:2, ' '); r := -2.5; WRITE(r:0:0, ' ');\n"
     "r := -0.001; WRITE(r:0:2, ' '); r := 3.5; WRITE(r:0:0, ' '); r := 0.375; WRITE(r:0:2, ' ');\n"
     "r := 99.5; WRITE(r:0:0, ' '); r := -0.5; WRITE(r:0:0, ' '); r := 1.0; WRITE(r:0:3, ' ');\n"
     "r := 0.5; WRITE(r:0:0, ' '); r := 1.5; WRITE(r:0:0, ' '); r := 0.0625; WRITELN(r:0:3)",
     "3   0.13 -3 -0.00 4 0.38 100 -1 1.000 1 2 0.063\n"},
};
INSTANTIATE_TEST_SUITE_P(Programs, ResultRun, ::testing::ValuesIn(kRuns),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax::testing
