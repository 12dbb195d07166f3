// Programs whose control flow goes through every rewrite the statements make (shared
// arm starts, renamed condition registers, shared tails, reused loads, hoisted loads,
// WITH bases reloaded from their slots), compiled and run in the simulator: what they
// print shows that the rewritten code still computes what the source says.
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

struct RunCase {
  const char* name;
  const char* declarations;
  const char* body;
  const char* expected;  // the console's output
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

// vorax-sim stands in the build folder, one level above this test program.
fs::path simulatorPath() {
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "vorax-sim";
}

// The console output of the program, or a failure when it does not compile or halt.
std::string compileAndRun(const RunCase& c) {
  const SourceTree tree;
  const CompileResult compiled = compileSource(
      tree, std::string("PROGRAM T;\n") + c.declarations + "\nBEGIN\n" + c.body + "\nEND.\n",
      "T.PAS");
  if (!compiled.host.errors.empty()) {
    ADD_FAILURE() << "error " << compiled.host.errors.back().number;
    return {};
  }
  const fs::path simulator = simulatorPath();
  if (!fs::exists(simulator)) {
    ADD_FAILURE() << "vorax-sim is not built: " << simulator;
    return {};
  }
  const std::string command = "cd \"" + tree.root().string() + "\" && \"" + simulator.string() +
                              "\" --max-steps 2000000 T.asm < /dev/null > output.txt 2> "
                              "messages.txt";
  const int status = std::system(command.c_str());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "simulator status " << status;
  std::ifstream output(tree.root() / "output.txt", std::ios::binary);
  std::ostringstream text;
  text << output.rdbuf();
  return text.str();
}

class ControlRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(ControlRun, PrintsWhatTheSourceComputes) {
  EXPECT_EQ(compileAndRun(GetParam()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, ControlRun,
    ::testing::Values(
        // Both arms start with K := 5 (moved in front of the condition, which then
        // computes in another register); both arms end with the same store (shared).
        RunCase{"ArmsWithCommonStartsAndEnds", "VAR I, J, K: INTEGER;",
                "I := 0;\n"
                "WHILE I < 4 DO BEGIN\n"
                "  IF I > 1 THEN BEGIN K := 5; J := I END ELSE BEGIN K := 5; J := -I END;\n"
                "  IF I = 2 THEN J := J + 10 ELSE J := J + 10;\n"
                "  IF ODD(I) THEN WRITE('o') ELSE WRITE('e');\n"
                "  WRITE(J, ',', K, ' ');\n"
                "  I := I + 1\n"
                "END; WRITELN;",
                "e10,5 o9,5 e12,5 o13,5 \n"},
        // Both arms start by loading I into the register the condition computes J in:
        // the load moves in front and the condition takes another register.
        RunCase{"ArmsStartWithTheSameLoad", "VAR I, J, K: INTEGER;",
                "I := 10; J := 1; IF J > 0 THEN K := I + 1 ELSE K := I - 1; WRITE(K, ' ');\n"
                "J := 0; IF J > 0 THEN K := I + 1 ELSE K := I - 1; WRITELN(K);",
                "11 9\n"},
        // The else arm needs I, which the condition loaded.
        RunCase{"ElseArmUsesTheConditionsLoad", "VAR I: INTEGER;",
                "I := 3; IF I = 3 THEN WRITE('a') ELSE WRITE(I);\n"
                "I := 4; IF I = 3 THEN WRITE('a') ELSE WRITE(I); WRITELN;",
                "a4\n"},
        RunCase{"ConditionsWithAndOr", "VAR I: INTEGER;",
                "I := 0;\n"
                "REPEAT\n"
                "  IF (I > 2) AND (I < 6) OR (I = 8) THEN WRITE('y') ELSE WRITE('n');\n"
                "  I := I + 1\n"
                "UNTIL I = 10; WRITELN;",
                "nnnyyynnyn\n"},
        RunCase{"ElseIfChain", "VAR I: INTEGER;",
                "I := 0;\n"
                "WHILE I < 4 DO BEGIN\n"
                "  IF I = 0 THEN WRITE('z') ELSE IF I = 1 THEN WRITE('a')\n"
                "  ELSE IF I = 2 THEN WRITE('b') ELSE WRITE('c');\n"
                "  I := I + 1\n"
                "END; WRITELN;",
                "zabc\n"},
        // J and the constant 3 are loaded once in front of their loops; the WITH loop
        // changes A through the base register, so A is read on every round.
        RunCase{"HoistedLoads",
                "TYPE REC = RECORD A, B: INTEGER END;\nVAR I, J, K: INTEGER; R: REC;",
                "I := 0; J := 7; K := 0;\n"
                "WHILE I < 5 DO BEGIN K := K + J; I := I + 1 END;\n"
                "I := 0; REPEAT K := K + 3; I := I + 1 UNTIL I >= 4;\n"
                "R.A := 1; R.B := 0; I := 0;\n"
                "WITH R DO WHILE I < 3 DO BEGIN B := B + A; A := A + 1; I := I + 1 END;\n"
                "WRITELN(K, ' ', R.A, ',', R.B);",
                "47 4,6\n"},
        RunCase{"RepeatUntilTrueRunsOnce", "VAR I: INTEGER;",
                "I := 0; REPEAT I := I + 1 UNTIL TRUE; WRITELN(I);", "1\n"},
        // The innermost record names the field; the calls inside the WITH bodies make
        // the base of P^ come back from its save slot.
        RunCase{"WithScopesAndSavedBases",
                "TYPE REC = RECORD A, B: INTEGER END; PR = ^REC;\nVAR R, S: REC; P: PR;",
                "NEW(P); P^.A := 1; P^.B := 2; R.A := 10; R.B := 20; S.A := 100; S.B := 200;\n"
                "WITH P^, R DO BEGIN A := A + 1; WRITE(A, ',') END;\n"
                "WITH R, S DO WRITE(A, ',');\n"
                "WITH P^ DO BEGIN WRITE(A, ','); WITH S DO WRITE(A + B, ','); WRITE(B) END;\n"
                "WRITELN;",
                "11,100,1,300,2\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax::testing
