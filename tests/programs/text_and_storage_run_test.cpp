// Whole programs about source text and storage, run in the simulator on every CPU with the
// optimizer on and off: Japanese comments hide exactly their own text, nested variants
// and main-program variables under a memory map get storage of their own, and typed
// constants hold the values written. Expected outputs were worked out by hand.
#include <gtest/gtest.h>

#include <string>

#include "support/simulator_run.h"

namespace vorax::testing {
namespace {

struct RunCase {
  const char* name;
  std::string header;  // directives in front of PROGRAM, after the CPU directive
  std::string declarations;
  std::string body;
  std::string output;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class TextAndStorageRunTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(TextAndStorageRunTest, PrintsWhatTheSourceSays) {
  const RunCase& c = GetParam();
  for (const char* cpu : {"300H", "300L", "2000"}) {
    const std::string source = "{$CPU " + std::string(cpu) + "}" + c.header + "\nPROGRAM T;\n" +
                               c.declarations + "\nBEGIN\n" + c.body + "\nEND.\n";
    EXPECT_EQ(compileAndRun(source, cpu, 2000000), c.output) << cpu << ", optimized";
    EXPECT_EQ(compileAndRun(source, cpu, 2000000, withoutPeephole()), c.output)
        << cpu << ", not optimized";
  }
}

// Shift-JIS bytes: メ = 83 81, ン = 83 93, 凩 = 99 7D (its second byte is "}").
INSTANTIATE_TEST_SUITE_P(
    ShiftJisComments, TextAndStorageRunTest,
    ::testing::Values(RunCase{"CodeAfterAJapaneseCommentIsCompiled", "", "VAR X: INTEGER;",
                              "X := 1; {\x83\x81} X := 2; {end} WRITELN(X);\n"
                              "X := X + 10; {\x99\x7d} X := X * 2; WRITELN(X);\n"
                              "(*\x83\x93*) X := X + 1; {\x83\x81\x83\x93 (* } WRITELN(X)",
                              "2\n24\n25\n"}),
    [](const auto& info) { return info.param.name; });

// Both variants written and read back; neighbouring array elements stay apart.
INSTANTIATE_TEST_SUITE_P(
    NestedVariants, TextAndStorageRunTest,
    ::testing::Values(RunCase{
        "EachFieldHasItsOwnBytes", "",
        "TYPE K = (KA, KB);\n"
        "R = RECORD C: CHAR; CASE T: K OF KA: (X: LONGINT);\n"
        "  KB: (S: STRING[4]; CASE B: BOOLEAN OF TRUE: (Q: INTEGER)) END;\n"
        "  PAIR = ARRAY[1..2] OF R;\n"
        "VAR V: R; A: PAIR;",
        "WRITELN(SIZEOF(R), ' ', SIZEOF(PAIR));\n"
        "V.C := 'c'; V.T := KB; V.S := 'abcd'; V.B := TRUE; V.Q := 12345;\n"
        "WRITELN(V.C, ' ', ORD(V.T), ' ', V.S, ' ', ORD(V.B), ' ', V.Q);\n"
        "V.T := KA; V.X := 100000; WRITELN(V.C, ' ', ORD(V.T), ' ', V.X);\n"
        "A[2].C := 'x'; A[1].S := 'wxyz'; A[1].B := FALSE; A[1].Q := -1;\n"
        "WRITELN(A[1].S, ' ', ORD(A[1].B), ' ', A[1].Q, ' ', A[2].C)",
        "10 20\nc 1 abcd 1 12345\nc 0 100000\nwxyz 0 -1 x\n"}),
    [](const auto& info) { return info.param.name; });

// Main-program variables addressed through the memory map stay above the stack pointer:
// the calls and the locals below them leave them alone.
INSTANTIATE_TEST_SUITE_P(
    MainFrameUnderAMemoryMap, TextAndStorageRunTest,
    ::testing::Values(RunCase{
        "CallsLeaveTheVariablesAlone", "{$M $8000,$FF00}",
        "VAR A, B: INTEGER; C: CHAR; L: LONGINT;\n"
        "PROCEDURE P(VAR X: INTEGER);\n"
        "VAR K, M: LONGINT;\n"
        "BEGIN K := 77; M := 88; X := X + K + M END;\n",
        "B := 1234; A := 5; C := 'z'; L := 100000; P(A); WRITELN(A, ' ', B, ' ', C, ' ', L);\n"
        "P(B); WRITELN(A, ' ', B)",
        "170 1234 z 100000\n170 1399\n"}),
    [](const auto& info) { return info.param.name; });

// Typed constants at the edges of their types read back as assignments of the same
// values do.
INSTANTIATE_TEST_SUITE_P(
    TypedConstants, TextAndStorageRunTest,
    ::testing::Values(RunCase{"EdgesOfTheIntegerTypes", "",
                              "CONST I1: INTEGER = -32768; I2: INTEGER = 65535; I3: INTEGER = "
                              "32767;\n"
                              "B1: BYTE = 300; B2: BYTE = -1; L1: LONGINT = -2147483647;\n"
                              "VAR I: INTEGER; B: BYTE;",
                              "WRITELN(I1, ' ', I2, ' ', I3, ' ', B1, ' ', B2, ' ', L1);\n"
                              "I := 65535; B := 300; WRITELN(I, ' ', B)",
                              "-32768 -1 32767 44 255 -2147483647\n-1 44\n"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace vorax::testing
