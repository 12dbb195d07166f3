// Programs that assign and then test what they stored, run on the simulator: a program
// whose checks all hold reaches its end; a failed check loops until the step limit. Output
// that does not assemble, and misaligned word accesses, stop the run as well.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "assign_test_support.h"

namespace vorax::testing {
namespace {

namespace fs = std::filesystem;

// The simulator's exit codes that matter here.
constexpr int kHalted = 0;
constexpr int kStepLimit = 6;

// vorax-sim stands in the build folder (CTest names it), one level above this test program.
fs::path simulatorPath() {
  if (const char* binaryDir = std::getenv("VORAX_BINARY_DIR")) {
    return fs::path(binaryDir) / "vorax-sim";
  }
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "vorax-sim";
}

// "IF NOT (condition) THEN loop for ever": a failed check ends the run at the step limit.
std::string check(const std::string& condition) {
  return "IF NOT (" + condition + ") THEN WHILE TRUE DO ;\n";
}

struct RunCase {
  const char* name;
  const char* header;
  const char* declarations;
  std::string body;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

// Compiles the program and runs it; the simulator's exit code, or -1 when it did not run.
int compileAndRun(const RunCase& c, const std::string& cpu) {
  const SourceTree tree;
  const CompileResult result = compileSource(
      tree,
      std::string(c.header) + "PROGRAM T;\n" + c.declarations + "\nBEGIN\n" + c.body + "END.\n",
      "T.PAS");
  if (!result.host.errors.empty()) {
    ADD_FAILURE() << "error " << result.host.errors.back().number;
    return -1;
  }
  const fs::path simulator = simulatorPath();
  if (!fs::exists(simulator)) {
    ADD_FAILURE() << "vorax-sim is not built: " << simulator;
    return -1;
  }
  const std::string command = "\"" + simulator.string() + "\" --cpu " + cpu +
                              " --max-steps 200000 \"" + (tree.root() / "T.asm").string() +
                              "\" > \"" + (tree.root() / "run.txt").string() + "\" 2>&1";
  const int status = std::system(command.c_str());
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (code != kHalted && code != kStepLimit) {
    // Assembly errors and faults: show what the simulator said.
    std::ifstream said(tree.root() / "run.txt");
    ADD_FAILURE() << std::string(std::istreambuf_iterator<char>(said), {});
  }
  return code;
}

class AssignmentRunTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(AssignmentRunTest, StoredValuesPassTheirChecks) {
  for (const char* cpu : {"300H", "2000"}) {
    EXPECT_EQ(compileAndRun(GetParam(), cpu), kHalted) << cpu;
  }
}

// The harness itself: a check that fails is seen as failed.
TEST(AssignmentRun, FailedCheckIsReported) {
  const RunCase failing{"failing", "", "VAR I: INTEGER;", "I := 1;\n" + check("I = 2")};
  EXPECT_EQ(compileAndRun(failing, "300H"), kStepLimit);
}

const char* const kNamed = "{$M $8000,$FF00}\n";

const std::string kBitBody =
    "B := 5; B := B OR 8;\n" + check("B = 13") + "B := B AND $FB;\n" + check("B = 9") +
    "B := 1 XOR B;\n" + check("B = 8") + "W := $1234; W := W OR 1;\n" + check("W = $1235") +
    "W := W OR $0100;\n" + check("W = $1335") + "W := W AND $FFEF;\n" + check("W = $1325") +
    "W := W XOR $8000;\n" + check("W = $9325") + "I := -1; I := I AND -2;\n" + check("I = -2") +
    "F := TRUE; F := NOT F;\n" + check("NOT F") + "F := NOT F;\n" + check("F");
const char* const kBitDeclarations = "VAR B: BYTE; W: WORD; I: INTEGER; F: BOOLEAN;";

const std::string kStringBody =
    "S := 'AB';\n" + check("S = 'AB'") + "S := S + 'C';\n" + check("S = 'ABC'") +
    "C := 'D'; S := S + C;\n" + check("S = 'ABCD'") + "S3 := 'WXYZ';\n" + check("S3 = 'WXY'") +
    "S3 := S;\n" + check("S3 = 'ABC'") + "S3 := S3 + 'Q';\n" + check("S3 = 'ABC'") + "S := 'A';\n" +
    check("S = 'A'") + "S := C;\n" + check("S = 'D'") + "S := '';\n" + check("S = ''") +
    "S3 := 'AB'; S3 := S3 + C;\n" + check("S3 = 'ABD'") + "S := S3 + 'E';\n" + check("S = 'ABDE'");
const char* const kStringDeclarations = "VAR S: STRING; S3: STRING[3]; C: CHAR;";

const std::string kCopyBody =
    "X4[1] := 11; X4[2] := -12; Y4 := X4;\n" + check("(Y4[1] = 11) AND (Y4[2] = -12)") +
    "X6[1] := 1; X6[2] := 2; X6[3] := 3; Y6 := X6;\n" +
    check("(Y6[1] = 1) AND (Y6[2] = 2) AND (Y6[3] = 3)") +
    "X10[0] := 'A'; X10[9] := 'Z'; Y10 := X10;\n" + check("(Y10[0] = 'A') AND (Y10[9] = 'Z')") +
    "X12[1] := 7; X12[2] := 0; X12[6] := 8; Y12 := X12;\n" +
    check("(Y12[1] = 7) AND (Y12[6] = 8)") +
    "X3[1] := 'A'; X3[2] := 'B'; X3[3] := 'C'; Y3 := X3;\n" +
    check("(Y3[1] = 'A') AND (Y3[2] = 'B') AND (Y3[3] = 'C')") + "X1[1] := 'Q'; Y1 := X1;\n" +
    check("Y1[1] = 'Q'") + "Y13[13] := 0; X13[13] := 5; Y13 := X13;\n" + check("Y13[13] = 5") +
    // A copy onto itself through one remembered address register leaves it as it was.
    "P := @X12; P^ := P^;\n" + check("(X12[1] = 7) AND (X12[2] = 0) AND (X12[6] = 8)");
const char* const kCopyDeclarations =
    "TYPE T12 = ARRAY[1..6] OF INTEGER;\n"
    "VAR X4, Y4: ARRAY[1..2] OF INTEGER; X6, Y6: ARRAY[1..3] OF INTEGER;\n"
    "  X10, Y10: ARRAY[0..9] OF CHAR; X12, Y12: T12;\n"
    "  X3, Y3: ARRAY[1..3] OF CHAR; X1, Y1: ARRAY[1..1] OF CHAR; X13, Y13: ARRAY[1..13] OF BYTE;\n"
    "  P: ^T12;";

const std::string kOrdinalBody =
    "I := 300; B := I;\n" + check("B = 44") + "L := I;\n" + check("L = 300") +
    "L := -5; I := L;\n" + check("I = -5") + "B := 200; I := B + B;\n" + check("I = 400") +
    "C := 'X';\n" + check("C = 'X'") + "P := @I; P^ := 9;\n" + check("I = 9") +
    // The sum is computed in the target's width.
    "I := 30000; J := 30000; L := I + J;\n" + check("L = 60000") + "V := GREEN; U := V;\n" +
    check("U = GREEN") + "R := 7;\n" + check("R = 7") + "F := I < 5; G := I > 5;\n" +
    check("(NOT F) AND G") + "Q := P; P := NIL;\n" + check("(P = NIL) AND (Q^ = 30000)");
const char* const kOrdinalDeclarations =
    "TYPE COLOUR = (RED, GREEN, BLUE); SMALL = 1..10;\n"
    "VAR I, J: INTEGER; B: BYTE; L: LONGINT; C: CHAR; P, Q: ^INTEGER; V, U: COLOUR;\n"
    "  R: SMALL; F, G: BOOLEAN;";

// Strings that start on an odd byte, and a string with room for no character: the
// bytes around them stay as they were.
// (They are checked byte by byte: comparing such a string with a character reads it as
// a word as well.)
std::string holdsCharacter(const std::string& text, char ch) {
  return "(" + text + "[0] = CHR(1)) AND (" + text + "[1] = '" + ch + "')";
}
const std::string kOddStringBody =
    "R.C := 'K'; R.T := 'Z'; R.S := 'A';\n" +
    check(holdsCharacter("R.S", 'A') + " AND (R.C = 'K') AND (R.T = 'Z')") +
    "C := 'B'; R.S := C;\n" + check(holdsCharacter("R.S", 'B') + " AND (R.C = 'K')") +
    "A[1] := 'X'; A[3] := 'Y'; I := 2; A[I] := C;\n" +
    check(holdsCharacter("A[1]", 'X') + " AND " + holdsCharacter("A[2]", 'B') + " AND " +
          holdsCharacter("A[3]", 'Y')) +
    "P := @A[3]; P^ := 'Q';\n" +
    check(holdsCharacter("A[3]", 'Q') + " AND " + holdsCharacter("A[2]", 'B')) + "E0 := 'W';\n" +
    check("(E0[0] = CHR(0)) AND (N = 'N')");
const char* const kOddStringDeclarations =
    "TYPE S2 = STRING[2];\n"
    "VAR R: RECORD C: CHAR; S: STRING[3]; T: CHAR END; A: ARRAY[1..3] OF S2;\n"
    "  P: ^S2; C: CHAR; I: INTEGER; N: CHAR; E0: STRING[0];";

// Calls on either side: a value waiting in a register while the target's index calls a
// function is saved across the call; one-byte function results fill their word slot.
const std::string kCallBody =
    "A[1] := 0; A[2] := 0; A[3] := 0;\n"
    "A[F(1)] := F(2);\n" +
    check("(A[2] = 3) AND (A[1] = 0) AND (A[3] = 0)") + "I := 7; A[F(2)] := I;\n" +
    check("A[3] = 7") + "I := F(F(3));\n" + check("I = 5") + "B := G(300);\n" + check("B = 44") +
    "I := G(511) + 1;\n" + check("I = 256") + "S := H;\n" + check("S = 'H'") + "S := S + H;\n" +
    check("S = 'HH'") + "S := SF;\n" + check("S = 'AB'") + "S := SF + H;\n" + check("S = 'ABH'") +
    // String targets whose index calls a function.
    "SA[1] := 'Q'; SA[F(0)] := '';\n" + check("SA[1] = ''") + "SA[F(1)] := 'Y';\n" +
    check("SA[2] = 'Y'") + "C := 'K'; SA[F(2)] := C;\n" + check("SA[3] = 'K'") +
    "SA[F(0)] := SA[2] + 'X';\n" + check("SA[1] = 'YX'") + "SA[F(0)] := SA[F(0)] + 'Z';\n" +
    check("SA[1] = 'YXZ'");
const char* const kCallDeclarations =
    "VAR A: ARRAY[1..4] OF INTEGER; I: INTEGER; B: BYTE; S: STRING; C: CHAR;\n"
    "  SA: ARRAY[1..3] OF STRING[5];\n"
    "FUNCTION F(X: INTEGER): INTEGER; BEGIN F := X + 1 END;\n"
    "FUNCTION G(X: INTEGER): BYTE; BEGIN G := X END;\n"
    "FUNCTION H: CHAR; BEGIN H := 'H' END;\n"
    "FUNCTION SF: STRING; BEGIN SF := 'AB' END;";

// Pointers and structures whose target index calls a function: F copies a record of its
// own, which overwrites every work register, so an address left in one would be lost.
const std::string kCallCopyBody =
    "PA[1] := NIL; PA[2] := NIL; N := 5; Q := @N; PA[F(1)] := Q;\n" +
    check("(PA[2] = Q) AND (PA[1] = NIL) AND (PA[2]^ = 5)") +
    "R.X := 11; R.Y := 12; PR := @R; RA[F(0)] := PR^;\n" +
    check("(RA[1].X = 11) AND (RA[1].Y = 12)") + "RA[F(1)] := RA[F(0)];\n" +
    check("(RA[2].X = 11) AND (RA[2].Y = 12)") +
    "B.X := 21; B.Z := 23; PB := @B; BA[F(1)] := PB^;\n" +
    check("(BA[2].X = 21) AND (BA[2].Z = 23)") + "BA[F(2)] := BA[F(1)];\n" +
    check("(BA[3].X = 21) AND (BA[3].Z = 23)") + "B.Y := 22; BA[F(0)] := B;\n" +
    check("(BA[1].X = 21) AND (BA[1].Y = 22) AND (BA[1].Z = 23)");
const char* const kCallCopyDeclarations =
    "TYPE T4 = RECORD X, Y: INTEGER END; T12 = RECORD X, Y, Z: LONGINT END;\n"
    "VAR PA: ARRAY[1..3] OF ^INTEGER; Q: ^INTEGER; N: INTEGER;\n"
    "  RA: ARRAY[1..3] OF T4; R: T4; PR: ^T4; BA: ARRAY[1..3] OF T12; B: T12; PB: ^T12;\n"
    "FUNCTION F(X: INTEGER): INTEGER;\n"
    "VAR L1, L2: T12; BEGIN L2.X := 0; L1 := L2; F := X + 1 END;";

INSTANTIATE_TEST_SUITE_P(
    Programs, AssignmentRunTest,
    ::testing::Values(
        RunCase{"BitsInFrame", "", kBitDeclarations, kBitBody},
        RunCase{"BitsNamed", kNamed, kBitDeclarations, kBitBody},
        RunCase{"StringsInFrame", "", kStringDeclarations, kStringBody},
        RunCase{"StringsNamed", kNamed, kStringDeclarations, kStringBody},
        RunCase{"CopiesInFrame", "", kCopyDeclarations, kCopyBody},
        RunCase{"CopiesNamed", kNamed, kCopyDeclarations, kCopyBody},
        RunCase{"OrdinalsInFrame", "", kOrdinalDeclarations, kOrdinalBody},
        RunCase{"OddStrings", "", kOddStringDeclarations, "N := 'N';\n" + kOddStringBody},
        RunCase{"OddStringsNamed", kNamed, kOddStringDeclarations, "N := 'N';\n" + kOddStringBody},
        RunCase{"CopiesWithCalls", "", kCallCopyDeclarations, kCallCopyBody},
        RunCase{"CopiesWithCallsNamed", kNamed, kCallCopyDeclarations, kCallCopyBody},
        RunCase{"Calls", "", kCallDeclarations, kCallBody}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax::testing
