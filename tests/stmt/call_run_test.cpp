// Programs that call procedures and write what they compute, compiled and run in the
// simulator: the printed text checks calls, arguments, assignments, arithmetic and the
// standard procedures together.
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

// The simulator's exit statuses that matter here.
constexpr int kHalted = 0;
constexpr int kIoTrap = 4;

// vorax-sim stands in the build folder, one level above this test program.
fs::path simulatorPath() {
  return fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "vorax-sim";
}

struct RunCase {
  const char* name;
  const char* declarations;
  const char* body;
  const char* input;     // the console's input
  const char* expected;  // the console's output
  int status = kHalted;
  const char* header = "";
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

struct RunResult {
  int status = -1;
  std::string output;
};

// Compiles the program for `cpu` and runs it in its own folder, where its files go too.
RunResult compileAndRun(const RunCase& c, const std::string& cpu) {
  const SourceTree tree;
  const CompileResult compiled =
      compileSource(tree,
                    "{$CPU " + cpu + "}" + c.header + "\nPROGRAM T;\n" + c.declarations +
                        "\nBEGIN\n" + c.body + "\nEND.\n",
                    "T.PAS");
  RunResult result;
  if (!compiled.host.errors.empty()) {
    ADD_FAILURE() << "error " << compiled.host.errors.back().number;
    return result;
  }
  const fs::path simulator = simulatorPath();
  if (!fs::exists(simulator)) {
    ADD_FAILURE() << "vorax-sim is not built: " << simulator;
    return result;
  }
  tree.write("input.txt", c.input);
  const std::string command = "cd \"" + tree.root().string() + "\" && \"" + simulator.string() +
                              "\" --cpu " + cpu +
                              " --max-steps 2000000 T.asm < input.txt > output.txt 2> messages.txt";
  const int status = std::system(command.c_str());
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream output(tree.root() / "output.txt", std::ios::binary);
  std::ostringstream text;
  text << output.rdbuf();
  result.output = text.str();
  return result;
}

class CallRunTest : public ::testing::TestWithParam<std::tuple<RunCase, const char*>> {};

TEST_P(CallRunTest, PrintsWhatItComputed) {
  const auto& [c, cpu] = GetParam();
  const RunResult result = compileAndRun(c, cpu);
  EXPECT_EQ(result.status, c.status);
  EXPECT_EQ(result.output, c.expected);
}

const RunCase kPrograms[] = {
    {"CharactersAndStrings", "VAR C: CHAR; S: STRING; T: STRING[3];",
     "C := 'q'; S := 'hello'; T := 'abcdef';\n"
     "WRITELN('A', 'B':3, C, C:2, '|');\n"
     "WRITELN(S, '-', T, '-', S + T, '|', T:5, '|', 'xy':1);\n"
     "WRITE('no line end'); WRITELN; WRITELN;",
     "", "A  Bq q|\nhello-abc-helloabc|  abc|xy\nno line end\n\n"},
    {"Integers", "VAR I: INTEGER; L: LONGINT; B: BYTE; W: WORD;",
     "I := -123; L := 100000; B := 200; W := 65535;\n"
     "WRITELN(I, ' ', L, ' ', B, ' ', W, ' ', I:6, '|', 7:1, '|', -L:8);\n"
     "WRITELN(I * 2 + 1, ' ', L DIV 3, ' ', B + 1);",
     "", "-123 100000 200 65535   -123|7| -100000\n-245 33333 201\n"},
    {"ProceduresAndParameters",
     "VAR I, J: INTEGER;\n"
     "PROCEDURE TWICE(VAR X: INTEGER; BY: BYTE); BEGIN X := X * BY END;\n"
     "PROCEDURE COUNT(N: INTEGER); BEGIN IF N > 0 THEN BEGIN COUNT(N - 1); WRITE(N) END END;\n"
     "PROCEDURE OUTER(N: INTEGER);\n"
     "  VAR K: INTEGER;\n"
     "  PROCEDURE INNER(M: INTEGER); BEGIN K := K + M; WRITE('<', K, '>') END;\n"
     "  BEGIN K := N; INNER(1); INNER(N) END;\n"
     "PROCEDURE STOP(N: INTEGER); BEGIN IF N = 0 THEN EXIT; WRITE('s', N) END;",
     "I := 3; TWICE(I, 5); J := 2; TWICE(J, I); WRITELN(I, ' ', J);\n"
     "COUNT(4); WRITELN;\n"
     "OUTER(10); WRITELN;\n"
     "STOP(0); STOP(2); WRITELN('.');",
     "", "15 30\n1234\n<11><21>\ns2.\n"},
    {"StrAndVal", "VAR S: STRING; T: STRING[4]; I, E: INTEGER; L: LONGINT; B: BYTE;",
     "STR(-42:5, S); WRITELN('[', S, ']');\n"
     "L := 123456; STR(L, T); WRITELN('[', T, ']');\n"
     "VAL('314', I, E); WRITELN(I, ' ', E);\n"
     "VAL('-70000', L, E); WRITELN(L, ' ', E);\n"
     "VAL('7z', B, E); WRITELN(E);",
     "", "[  -42]\n[1234]\n314 0\n-70000 0\n2\n"},
    // Inside WITH the record's address may live in r1, where VAL finds the error position:
    // reaching a field reloads that register, and the position must survive it.
    {"ValInsideWith",
     "TYPE R = RECORD N: INTEGER; Z: REAL; E: INTEGER; S: STRING[5] END;\n"
     "VAR P: ^R; E: INTEGER; X: R;",
     "NEW(P); P^.S := '77'; X.S := '4x';\n"
     "WITH P^ DO BEGIN VAL(S, N, E); WRITELN(N, ' ', E); VAL(S, Z, E); WRITELN(Z:4:1, ' ', E);\n"
     "  VAL(X.S, N, E); WRITELN(E); VAL(X.S, X.N, P^.E); WRITELN(E, P^.E) END;\n"
     "WITH X DO BEGIN VAL(S, Z, E); WRITELN(E) END; WITH X DO VAL(P^.S, N, E); WRITELN(X.N, E)",
     "", "77 0\n77.0 0\n2\n22\n2\n770\n"},
    // A record at offset 0 of a WITH record has the WITH register as its address: the
    // byte loops of READ and WRITE must step a copy, not the register itself.
    {"RecordFieldsInsideWith",
     "TYPE RI = RECORD A, B: CHAR END; R = RECORD I: RI; J: RI END; VAR X: R; P: ^R;",
     "NEW(P); WITH P^ DO BEGIN READ(I); READ(J); WRITE(I, J, '|'); WRITE(J.A, I.B, '|') END;\n"
     "WITH X DO BEGIN READ(I); WRITE(I, P^.I, '|'); READ(J); WRITE(J.B, I.A) END",
     "abcdefgh", "abcd|cb|efab|he"},
    // A record copied to or from the field at offset 0 of a WITH record has the WITH
    // register as its address: the copy loop must step a copy of it, or every later field
    // of the WITH reads two bytes further on. Two and three bytes take the loop (the odd
    // byte after it), four the unrolled moves.
    {"RecordCopiesInsideWith",
     "TYPE RI = RECORD A, B: CHAR END; R = RECORD I: RI; J: RI END;\n"
     "T3 = RECORD A, B, C: CHAR END; S3 = RECORD F: T3; G: T3 END;\n"
     "T4 = RECORD A, B, C, D: CHAR END; S4 = RECORD F: T4; G: T4 END;\n"
     "VAR X: R; P: ^R; Y: S3; Q: ^S3; Z: S4;",
     "NEW(P); P^.J.A := 'p'; P^.J.B := 'q';\n"
     "WITH X DO BEGIN J.A := 'j'; J.B := 'k'; I := P^.J; WRITE(I.A, I.B, J.A, J.B, '|') END;\n"
     "WITH X DO BEGIN P^.I := I; WRITE(I.A, J.A, '|') END; WRITE(P^.I.A, P^.I.B, '|');\n"
     "WITH P^ DO BEGIN I := X.J; WRITE(I.A, I.B, J.B, '|') END;\n"
     "NEW(Q); Q^.G.A := 'x'; Q^.G.B := 'y'; Q^.G.C := 'z';\n"
     "WITH Y DO BEGIN G.A := 'g'; G.C := 'h'; F := Q^.G; WRITE(F.A, F.C, G.A, G.C, '|') END;\n"
     "WITH Y DO BEGIN Q^.F := F; WRITE(F.B, G.A, '|') END; WRITE(Q^.F.C, '|');\n"
     "WITH Z DO BEGIN G.A := '1'; G.D := '4'; F := G; WRITE(F.A, F.D, G.A, '|') END",
     "", "pqjk|pj|pq|jkq|xzgh|yg|z|141|"},
    // A character in a width is made a one-character string in a register: the value's
    // own register keeps the variable it holds, be it a FOR counter or a value that the
    // width reads again.
    {"CharactersInWidth", "TYPE RC = RECORD C: CHAR; N: INTEGER END; VAR C: CHAR; B: BYTE; X: RC;",
     "FOR B := 65 TO 69 DO WRITE(CHR(B):3); WRITE('|');\n"
     "FOR B := 99 DOWNTO 97 DO BEGIN C := CHR(B); WRITE(C:2); WRITE(C) END; WRITE('|');\n"
     "C := 'C'; WRITE(C:ORD(C) - 64, '|');\n"
     "X.C := 'w'; X.N := 2; WITH X DO BEGIN WRITE(C:N, C:N + 1, '|') END;",
     "", "  A  B  C  D  E| cc bb aa|  C| w  w|"},
    {"HeapAndRecords",
     "TYPE R = RECORD A: INTEGER; B, C: CHAR END; PR = ^R;\n"
     "VAR P, Q: PR; X: R;",
     "NEW(P); NEW(Q); P^.A := 5; P^.B := 'h'; P^.C := 'i'; Q^ := P^; Q^.A := Q^.A + 1;\n"
     "WRITELN(P^.A, Q^.A, P^.B, Q^.C); X := Q^; DISPOSE(P); DISPOSE(Q);\n"
     "X.A := $4142; WRITE(X); WRITELN;",
     "", "56hi\nABhi\n"},
    {"ReadFromConsole", "VAR I: INTEGER; S: STRING; C, D: CHAR; L: LONGINT;",
     "READLN(I, S, L); READ(C, D);\n"
     "WRITELN(I + 1, '/', S, '/', L, '/', C, D);",
     "12\nhello world\n-5\nxy", "13/hello world/-5/xy\n"},
    {"TextFile", "VAR F: TEXT; S, T: STRING; I: INTEGER; C: CHAR;",
     "ASSIGN(F, 'OUT.TXT'); REWRITE(F); WRITELN(F, 'line ', 7); WRITE(F, 'x', 42);\n"
     "WRITELN(F); CLOSE(F);\n"
     "RESET(F); READLN(F, S); READ(F, C); READLN(F, I); CLOSE(F);\n"
     "WRITELN('[', S, '][', C, '][', I, ']');\n"
     "APPEND(F); WRITELN(F, 'more'); CLOSE(F);\n"
     "RESET(F); READLN(F, S, T, T); CLOSE(F); WRITELN(T); ERASE(F);",
     "", "[line 7][x][42]\nmore\n"},
    {"TypedFile", "VAR G: FILE OF INTEGER; H: FILE OF LONGINT; I: INTEGER; C: CHAR;",
     "ASSIGN(G, 'G.BIN'); REWRITE(G); I := $1234; WRITE(G, I, -2); CLOSE(G);\n"
     "RESET(G); I := 1;\n"
     "WHILE I <= 4 DO BEGIN READ(G, C); WRITE(ORD(C), ' '); I := I + 1 END; CLOSE(G);\n"
     "ASSIGN(H, 'H.BIN'); REWRITE(H); WRITE(H, $12345678); CLOSE(H);\n"
     "RESET(H); I := 1;\n"
     "WHILE I <= 4 DO BEGIN READ(H, C); WRITE(ORD(C), ' '); I := I + 1 END; CLOSE(H);",
     "", "18 52 255 254 18 52 86 120 "},
    // Function results as items and as the index of a READLN target; a procedure of the
    // program's own named WRITE hides the standard one.
    {"FunctionsAndOwnWrite",
     "VAR S: STRING; C: CHAR; A: ARRAY[1..3] OF INTEGER;\n"
     "FUNCTION TWICE(N: INTEGER): INTEGER; BEGIN TWICE := N * 2 END;\n"
     "FUNCTION NAME: STRING; BEGIN NAME := 'fn' END;\n"
     "PROCEDURE WRITE(N: INTEGER); BEGIN WRITELN('own ', N) END;",
     "S := 'hello'; C := 'a'; A[2] := 7;\n"
     "WRITELN(UPCASE(C), LENGTH(S), COPY(S, 2, 3), POS('l', S), TWICE(21), NAME, NAME:4, "
     "CHR(66));\n"
     "READLN(A[TWICE(1)]); WRITELN(A[2]); WRITE(5);",
     "99\n", "A5ell342fn  fnB\n99\nown 5\n"},
    {"Devices", "", "WRITELN(CON, 'con'); WRITE(CON0, 1); WRITELN(AUX0);", "", "con\n1\n"},
    // With I/O checking on, a failed RESET stops the program in the runtime's trap.
    {"CheckedFailure", "VAR F: TEXT;",
     "WRITE('a'); ASSIGN(F, 'MISSING.TXT'); RESET(F); WRITE('b');", "", "a", kIoTrap, "{$I+}"},
    // Without it the program goes on and finds the status in IORESULT.
    {"UncheckedFailure", "VAR F: TEXT;",
     "ASSIGN(F, 'MISSING.TXT'); RESET(F); IF IORESULT <> 0 THEN WRITE('failed');", "", "failed",
     kHalted},
};

INSTANTIATE_TEST_SUITE_P(Programs, CallRunTest,
                         ::testing::Combine(::testing::ValuesIn(kPrograms),
                                            ::testing::Values("300H", "2000", "300L")),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  std::get<1>(info.param);
                         });

}  // namespace
}  // namespace vorax::testing
