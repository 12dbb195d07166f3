// Programs that compute with the integer operators and test the results with conditions,
// run on the simulator: a program whose checks all hold reaches its end; a failed check
// loops until the step limit. Each program runs on the 300H and on the 2000 (whose
// two-bit shifts change the code).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/simulator_run.h"
#include "support/source_tree.h"

namespace vorax::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kHalted = 0;
constexpr int kStepLimit = 6;

// vorax-sim stands in the build folder, one level above this test program.
fs::path simulatorPath() {
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "vorax-sim";
}

// "IF NOT (condition) THEN loop for ever".
std::string check(const std::string& condition) {
  return "IF NOT (" + condition + ") THEN WHILE TRUE DO ;\n";
}

const char* const kVariables =
    "VAR I, J: INTEGER; B, C: BYTE; W: WORD; L, M: LONGINT; P, Q: BOOLEAN; CH: CHAR;\n"
    "S: STRING; RS: RECORD C: CHAR; T: STRING[3] END; R: REAL;\n"
    "NA: ARRAY[-3..3] OF INTEGER; WA: ARRAY[0..2] OF ARRAY[0..19999] OF INTEGER;\n";

struct RunCase {
  const char* name;
  std::string body;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

// The simulator's exit status for the compiled program, or -1 when it did not run.
int compileAndRun(const std::string& body, const std::string& cpu) {
  const SourceTree tree;
  const CompileResult result = compileSource(
      tree, "{$CPU " + cpu + "}\nPROGRAM T;\n" + kVariables + "BEGIN\n" + body + "END.\n", "T.PAS");
  EXPECT_TRUE(result.host.errors.empty())
      << "error " << (result.host.errors.empty() ? 0 : result.host.errors.back().number);
  const fs::path simulator = simulatorPath();
  if (!fs::exists(simulator)) {
    ADD_FAILURE() << "vorax-sim is not built: " << simulator;
    return -1;
  }
  const std::string command = "\"" + simulator.string() + "\" --cpu " + cpu +
                              " --max-steps 200000 \"" + (tree.root() / "T.asm").string() +
                              "\" > /dev/null 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ArithmeticRunTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(ArithmeticRunTest, ComputedValuesPassTheirChecks) {
  for (const char* cpu : {"300H", "2000"}) {
    EXPECT_EQ(compileAndRun(GetParam().body, cpu), kHalted) << cpu;
  }
}

// The harness itself: a wrong value is seen.
TEST(ArithmeticRun, FailedCheckIsReported) {
  EXPECT_EQ(compileAndRun("I := 6; J := 7;\n" + check("I * J = 43"), "300H"), kStepLimit);
}

// The H8 has no byte subtraction of an immediate: a BYTE minus a constant that is no
// small positive number (NOT 1 is 254 as a byte) is an addition of the negation. The
// results are those of byte arithmetic: (200 - 254) mod 256 = 202, and SHL of a BYTE
// stays a BYTE.
TEST(ArithmeticRun, ByteMinusAComplementedConstantOnEveryCpu) {
  const std::string program =
      "PROGRAM T;\nVAR B: BYTE;\nBEGIN\n  B := 200;\n  WRITELN((B - NOT (1)) SHL 1);\n"
      "  B := 5;\n  WRITELN(B - NOT (1));\n  WRITELN(B - NOT (0))\nEND.\n";
  for (const char* cpu : {"300H", "300L", "2000"}) {
    for (const bool optimized : {true, false}) {
      CompileOptions options;
      options.localTier = optimized;
      options.blockTier = optimized;
      EXPECT_EQ(testing::compileAndRun("{$CPU " + std::string(cpu) + "}\n" + program, cpu,
                                       100000, options),
                "148\n7\n6\n")
          << cpu << (optimized ? "" : " without the optimizer");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ArithmeticRunTest,
    ::testing::Values(
        RunCase{"AdditionAndBitwise",
                "I := 1000; J := -3; B := 5; L := 100000;\n" + check("I + J = 997") +
                    check("I - J = 1003") + check("(I AND 255) = 232") + check("(I OR 1) = 1001") +
                    check("(I XOR J) = -1003") + check("B - 1 = 4") + check("L + I = 101000") +
                    check("5 - J = 8") + "B := 0;\n" + check("B - 1 = -1") + "J := -(I + J);\n" +
                    check("J = -997")},
        RunCase{"Multiplication",
                "I := -7; J := 300; W := 40000; B := 200; C := 200;\n" + check("I * 8 = -56") +
                    check("I * J = -2100") + check("W * 3 = 120000") + check("W * J = 12000000") +
                    check("W * I = -280000") + "L := B * C;\n" + check("L = 40000") +
                    "L := -3; M := 100000;\n" + check("L * M = -300000") + "I := I * 4;\n" +
                    check("I = -28")},
        // Index products of a signed index are multiplied signed; a byte target of a
        // byte plus a constant stays in the target's width.
        RunCase{"IndexesAndWidths",
                "FOR I := -3 TO 3 DO NA[I] := I * 10;\n" + check("NA[-3] = -30") +
                    check("NA[-1] = -10") + check("NA[0] = 0") + check("NA[3] = 30") +
                    "I := -2; J := -1; NA[I] := 77; NA[J + 1] := 5;\n" + check("NA[-2] = 77") +
                    check("NA[I + 1] = -10") + check("NA[0] = 5") + check("NA[I] + NA[-I] = 97") +
                    "B := 2; W := 19999; WA[B][W] := 123; WA[1][19999] := 9;\n" +
                    check("WA[2][19999] = 123") + check("WA[B - 1][W] = 9") +
                    "B := 255; I := B + 1;\n" + check("I = 256") + "I := 1 + B;\n" +
                    check("I = 256") + "B := B + 1;\n" + check("B = 0")},
        RunCase{"Division", "I := -7; W := 40001; L := -100000;\n" + check("I DIV 2 = -3") +
                                check("I DIV 4 = -1") + check("I MOD 4 = -3") +
                                check("I DIV 3 = -2") + check("I MOD 3 = -1") +
                                check("W DIV 2 = 20000") + check("W MOD 16 = 1") +
                                check("L DIV 1000 = -100") + check("L MOD 7 = -5") + "I := 7;\n" +
                                check("I DIV 2 = 3") + check("I MOD 4 = 3") +
                                "I := -1; B := 255; L := B MOD 512;\n" + check("L = 255")},
        RunCase{"Shifts", "I := 3; J := 5; W := $8000; L := $12345678;\n" + check("I SHL 4 = 48") +
                              check("I SHL J = 96") + check("W SHR 15 = 1") +
                              check("W SHR 8 = 128") + check("L SHR 20 = $123") +
                              check("L SHR 28 = 1") + check("L SHL 4 = $23456780") + "J := 0;\n" +
                              check("I SHL J = 3") + "I := -16;\n" + check("I SHR 2 = 16380") +
                              "J := 7; I := 1;\n" + check("I SHL (J DIV 2) = 8")},
        RunCase{"Comparisons",
                "I := -1; W := 65535; B := 200; L := -5; CH := 'C';\n" + check("I < 0") +
                    check("B > 100") + check("W > 0") + check("W >= 0") + check("NOT (W < 0)") +
                    check("W > 65534") + "W := 3;\n" + check("L < W") + check("CH > 'B'") +
                    check("I <> W") + "W := 0;\n" + check("W <= 0") + check("NOT (W > 0)") +
                    // The byte comparison leaves the carry set for the tests of W against 0.
                    "B := 1; C := 2; W := 5;\n" + check("(B < C) AND (W > 0)") +
                    check("(B < C) AND (W >= 0)")},
        RunCase{"SetsAndJumps",
                "I := 4; C := 200;\n" + check("I IN [1, 3..7]") + check("NOT (I IN [0..2, 8])") +
                    check("C IN [0..5, 200]") + check("(I > 0) AND (I < 10)") +
                    check("(I < 0) OR (I = 4)") + check("NOT ((I < 0) OR (I > 10))") +
                    check("(C IN [1..5]) OR (I IN [4])") + "I := -3;\n" +
                    check("NOT (I IN [0..10])") + "I := $0208;\n" + check("(I AND 8) <> 0") +
                    check("(I AND 512) <> 0") + check("(I AND 4) = 0")},
        RunCase{"BooleanValues", "I := 2; J := 3;\nP := I < J; Q := (I DIV 2) > J;\n" + check("P") +
                                     check("NOT Q") + "P := (I < J) = (J < 5);\n" + check("P") +
                                     "Q := P OR (I > J);\n" + check("Q") + "P := P AND (I > J);\n" +
                                     check("NOT P") + "Q := P < Q;\n" + check("Q")},
        RunCase{"RealsAndOdd", "R := 2.5; I := 2; J := 7;\n" + check("R > 2.0") + check("I < R") +
                                   check("NOT (R < I)") + check("R <> 2.0") +
                                   check("(R > 2) AND (R < 3)") + check("ODD(J) AND NOT ODD(I)") +
                                   "P := ODD(J) = (I < J);\n" + check("P")},
        RunCase{"Strings",
                "S := 'A'; CH := 'A';\n" + check("S = 'A'") + check("CH = S") + check("S <> ''") +
                    check("'' < S") + "S := 'AB';\n" + check("S <> 'A'") + check("CH <> S") +
                    "S := '';\n" + check("S = ''") + check("S <> 'A'") +
                    // A string inside a record may start at an odd address.
                    "RS.T := 'B'; CH := 'B';\n" + check("RS.T = 'B'") + check("RS.T = CH") +
                    check("RS.T <> 'C'") + "RS.T := 'BC';\n" + check("RS.T <> CH")}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax::testing
