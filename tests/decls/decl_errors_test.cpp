// Every error the declaration part raises, with the caret under the token read last.
#include <gtest/gtest.h>

#include "decl_test_support.h"

namespace vorax::testing {
namespace {

struct ErrorCase {
  std::string declarations;  // one line between the heading and BEGIN
  int number;
  const char* atCaret;  // the source text from the caret on starts with this
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.declarations; }

void expectError(const std::string& source, const ErrorCase& c) {
  const ErrorSite site = errorSite(source);
  EXPECT_EQ(site.number, c.number);
  EXPECT_EQ(site.atCaret.rfind(c.atCaret, 0), 0U) << "caret at: " << site.atCaret;
}

class ProgramErrorTest : public ::testing::TestWithParam<ErrorCase> {};
class StackProgramErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ProgramErrorTest, StopsAtTheRightToken) {
  expectError("PROGRAM P;\n" + GetParam().declarations + "\nBEGIN\nEND.\n", GetParam());
}

TEST_P(StackProgramErrorTest, StopsAtTheRightToken) {
  expectError("{$M $8000,$FF00}\nPROGRAM P;\n" + GetParam().declarations + "\nBEGIN\nEND.\n",
              GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Sections, ProgramErrorTest,
    ::testing::Values(
        ErrorCase{"CONST K = 5 VAR X: BYTE;", 1, "VAR"},
        ErrorCase{"VAR X: INTEGER BEGIN", 1, "BEGIN"}, ErrorCase{"VAR X INTEGER;", 2, "INTEGER"},
        ErrorCase{"CONST K 5;", 6, "5"}, ErrorCase{"TYPE T INTEGER;", 6, "INTEGER"},
        ErrorCase{"X: INTEGER;", 12, "X"}, ErrorCase{"CONST K = I;", 41, "I"},
        ErrorCase{"VAR I: INTEGER; CONST K = I;", 25, ";"}, ErrorCase{"CONST S = 'AB';", 32, ";"},
        ErrorCase{"VAR X: FOO;", 41, "FOO"}, ErrorCase{"VAR X: INTEGER; X: BYTE;", 43, "X: BYTE"},
        ErrorCase{"TYPE R = INTEGER; R = BYTE;", 43, "R = BYTE"},
        ErrorCase{"VAR X: INTEGER; ABSOLUTE", 53, "ABSOLUTE"},
        ErrorCase{"CONST K = 5 DIV 0;", 54, ";"}, ErrorCase{"VAR 5: INTEGER;", 58, "5"},
        ErrorCase{"VAR X, : INTEGER;", 58, ":"}, ErrorCase{"CONST ;", 58, ";"},
        ErrorCase{"TYPE ;", 58, ";"}, ErrorCase{"TYPE T = T;", 31, ";"},
        // Locals that leave no 32-bit frame reservation.
        ErrorCase{"VAR A: ARRAY[1..$7FFFFFF0] OF BYTE;", 45, "BEGIN"},
        ErrorCase{"VAR X: INTEGER; Y: INTEGER ABSOLUTE X;", 82, ";"},
        ErrorCase{"VAR X: INTEGER ABSOLUTE NEXTOF 100;", 92, ";"},
        ErrorCase{"VAR X: INTEGER ABSOLUTE 'A';", 22, ";"},
        ErrorCase{"VAR I: INTEGER; X: INTEGER ABSOLUTE I + 1;", 22, ";"},
        ErrorCase{"VAR X: INTEGER ABSOLUTE 100", 1, "BEGIN"}));

INSTANTIATE_TEST_SUITE_P(
    TypedConstants, ProgramErrorTest,
    ::testing::Values(ErrorCase{"CONST X: WORD = 1;", 1, "1;"},
                      ErrorCase{"CONST R: RECORD A, B: BYTE END = (A: 1);", 1, ")"},
                      ErrorCase{"CONST R: RECORD A, B: BYTE END = (A 1);", 2, "1"},
                      ErrorCase{"CONST T: ARRAY[1..3] OF BYTE = (1 2 3);", 3, "2"},
                      ErrorCase{"CONST T: ARRAY[1..2] OF BYTE = 1;", 4, "1;"},
                      ErrorCase{"CONST T: ARRAY[1..2] OF BYTE = (1, 2;", 5, ";"},
                      ErrorCase{"CONST T: INTEGER; FOO;", 6, "FOO"},
                      ErrorCase{"CONST T: INTEGER 5;", 6, "5"},
                      ErrorCase{"CONST E: INTEGER; EXTERNAL; E: INTEGER; EXTERNAL;", 43,
                                "EXTERNAL;"},
                      ErrorCase{"VAR I: INTEGER; CONST W: INTEGER = I;", 25, ";"},
                      ErrorCase{"CONST W: INTEGER = 1 + 2.5;", 44, ";"},
                      ErrorCase{"CONST W: INTEGER = 'A';", 44, ";"},
                      ErrorCase{"TYPE S = 1..5; CONST X: S = 3;", 1, "3;"},
                      ErrorCase{"TYPE E = (A, B); CONST X: E = E(5);", 45, ")"},
                      ErrorCase{"CONST S: STRING[3] = 5;", 33, ";"},
                      ErrorCase{"VAR T: STRING; CONST S: STRING[3] = T;", 32, ";"},
                      ErrorCase{"CONST R: RECORD A, B: BYTE END = (B: 1; A: 2);", 69, "B:"},
                      ErrorCase{"VAR V: INTEGER; CONST Q: ^INTEGER = V;", 78, ";"},
                      ErrorCase{"VAR V: INTEGER; CONST Q: ^INTEGER = @V;", 25, ";"},
                      ErrorCase{"VAR C: CHAR; CONST Q: ^INTEGER = @C;", 44, ";"},
                      ErrorCase{"TYPE PT = ^INTEGER; CONST T: PT = NIL; Q: PT = @T^;", 25, ";"},
                      ErrorCase{"CONST T: ARRAY[0..1] OF INTEGER = (1, 2); I: INTEGER = 0;\n"
                                "Q: ^INTEGER = @T[I];",
                                25, ";"},
                      ErrorCase{"CONST Q: POINTER = @INTEGER(5);", 997, ";"},
                      ErrorCase{"CONST A: LONGINT = @ABS(1);", 80, "("},
                      ErrorCase{"VAR P: POINTER; CONST X: INTEGER = P^;", 81, "^"}));

// Errors of constant expressions, raised while the expression is read.
INSTANTIATE_TEST_SUITE_P(
    Expressions, ProgramErrorTest,
    ::testing::Values(
        ErrorCase{"CONST K = (1 + 2;", 5, ";"}, ErrorCase{"CONST K = 1 + ;", 41, ";"},
        ErrorCase{"CONST K = 'A' - 'B';", 44, ";"}, ErrorCase{"CONST K = -'A';", 44, ";"},
        ErrorCase{"CONST K = - NOT 1;", 41, "NOT"}, ErrorCase{"CONST K = 5 MOD 0;", 54, ";"},
        ErrorCase{"CONST K = 3 IN [1..1];", 45, "]"},
        ErrorCase{"CONST K = 3 IN [1, 'A'];", 44, "]"},
        ErrorCase{"CONST K = 3 IN [TRUE];", 22, "]"}, ErrorCase{"CONST K = 3 IN [1;", 9, ";"},
        ErrorCase{"CONST K = ABS 5;", 4, "5"}, ErrorCase{"CONST K = ABS(1, 2);", 1, ","},
        ErrorCase{"CONST K = POS('A');", 3, ")"}, ErrorCase{"CONST K = MAXAVAIL(1);", 14, "("},
        ErrorCase{"CONST K = SIZEOF(K);", 63, "K)"}, ErrorCase{"CONST K = BYTE 5;", 4, "5"},
        ErrorCase{"CONST K = WORD(5);", 44, ")"}));

INSTANTIATE_TEST_SUITE_P(
    Storage, StackProgramErrorTest,
    ::testing::Values(ErrorCase{"VAR X: INTEGER; Y: BYTE ABSOLUTE NEXTOF 5;", 92, ";"},
                      // The place of an ABSOLUTE variable must be fixed.
                      ErrorCase{"VAR A: ARRAY[1..4] OF INTEGER; I: INTEGER; "
                                "Q: INTEGER ABSOLUTE A[I];",
                                22, ";"},
                      ErrorCase{"TYPE PT = ^INTEGER; VAR X: PT; Q: INTEGER ABSOLUTE X^;", 22, ";"},
                      ErrorCase{"VAR R: RECORD A, B: INTEGER END; "
                                "Y: INTEGER ABSOLUTE NEXTOF R.B;",
                                92, ";"},
                      // Pointers to two record types with the same fields differ.
                      ErrorCase{"TYPE P = ^NODE; NODE = RECORD V: INTEGER END;\n"
                                "OTHER = RECORD V: INTEGER END; R = ^OTHER;\n"
                                "VAR N: NODE; CONST A: P = @N; C: R = @N;",
                                44, ";"},
                      ErrorCase{"TYPE S = STRING[256];", 45, "];"}));

// NEXTOF needs the stack address even over a variable that has a symbol of its own.
TEST(UnitErrorTest, NextOfWithoutTheStackAddress) {
  const ErrorSite site = errorSite(
      "UNIT U;\nINTERFACE\nVAR X: INTEGER; Z: BYTE ABSOLUTE NEXTOF X;\nIMPLEMENTATION\nEND.\n");
  EXPECT_EQ(site.number, 93);
  EXPECT_EQ(site.atCaret.rfind(";", 0), 0U) << site.atCaret;
}

TEST(UnitErrorTest, ImplementationIsRequired) {
  const ErrorSite site = errorSite("UNIT U;\nINTERFACE\nVAR A: BYTE;\nEND.\n");
  EXPECT_EQ(site.number, 71);
  EXPECT_EQ(site.atCaret.rfind("END", 0), 0U) << site.atCaret;
}

}  // namespace
}  // namespace vorax::testing
