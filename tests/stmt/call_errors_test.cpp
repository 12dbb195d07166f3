// Every error a procedure call reports, with the caret under the token read last.
#include <gtest/gtest.h>

#include "assign_test_support.h"

namespace vorax::testing {
namespace {

const char* const kDeclarations =
    "TYPE R = RECORD A: INTEGER; B: CHAR END; PR = ^R; RB = RECORD A, B, C: CHAR; D: "
    "INTEGER; E: LONGINT END;\n"
    "VAR I, E: INTEGER; B: BYTE; C: CHAR; W: WORD; L: LONGINT; S: STRING; X: R; P: PR;\n"
    "  Q: POINTER; F: TEXT; G: FILE OF INTEGER; GR: FILE OF RB; T: BOOLEAN; Z: REAL;\n"
    "PROCEDURE NONE; BEGIN END;\n"
    "PROCEDURE TWO(VAR V: INTEGER; N: BYTE); BEGIN END;\n"
    "PROCEDURE PS(V: STRING); BEGIN END;\n"
    "FUNCTION FR(V: REAL): INTEGER; BEGIN END;\n";

struct ErrorCase {
  const char* body;
  int number;
  const char* atCaret;  // the source text from the caret on starts with this
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.body; }

class CallErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(CallErrorTest, StopsAtTheRightToken) {
  const ErrorCase& c = GetParam();
  const AssignErrorSite site = assignErrorSite({"", kDeclarations, c.body});
  EXPECT_EQ(site.number, c.number);
  EXPECT_EQ(site.atCaret.rfind(c.atCaret, 0), 0U) << "caret at: " << site.atCaret;
}

INSTANTIATE_TEST_SUITE_P(ArgumentLists, CallErrorTest,
                         ::testing::Values(
                             // "(" missing, more or fewer arguments than parameters, ")" missing,
                             // "(" after a procedure without parameters.
                             ErrorCase{"TWO;", 4, ";"}, ErrorCase{"TWO(I, 1, 2);", 1, ", 2"},
                             ErrorCase{"TWO(I);", 3, ")"}, ErrorCase{"TWO(I, 1;", 5, ";"},
                             ErrorCase{"NONE(1);", 14, "(1"},
                             // A VAR parameter takes a variable only: its address is passed.
                             ErrorCase{"TWO(5, 1);", 50, ", 1"},
                             ErrorCase{"TWO(I + 1, 1);", 50, ", 1"},
                             ErrorCase{"CLOSE(5);", 50, ")"},
                             // The file parameter of a standard procedure takes a file or a device.
                             ErrorCase{"RESET(I);", 44, ")"}, ErrorCase{"CLOSE(S);", 44, ")"},
                             // A value argument must be assignable to its parameter: an
                             // integer is no string, a string no REAL.
                             ErrorCase{"PS(I);", 44, ")"}, ErrorCase{"I := FR(S);", 44, ")"},
                             ErrorCase{"TWO(I, S);", 44, ")"}));

INSTANTIATE_TEST_SUITE_P(
    Write, CallErrorTest,
    ::testing::Values(ErrorCase{"WRITE;", 4, ";"}, ErrorCase{"WRITE 'A';", 4, "'A'"},
                      // A device or file must be followed by the items.
                      ErrorCase{"WRITE(F);", 3, ")"}, ErrorCase{"WRITE(CON 'A');", 3, "'A'"},
                      ErrorCase{"WRITE('A' 'B');", 5, "'B'"}, ErrorCase{"WRITELN(I;", 5, ";"},
                      // WRITELN takes no typed file, not even for a line end alone.
                      ErrorCase{"WRITELN(G);", 44, ")"}, ErrorCase{"WRITELN(G, I);", 44, ", I"},
                      // Records only in WRITE; no BOOLEAN, pointer or file items.
                      ErrorCase{"WRITELN(X);", 41, ")"}, ErrorCase{"WRITE(T);", 44, ")"},
                      ErrorCase{"WRITE(P);", 44, ")"}, ErrorCase{"WRITE(CON, F);", 44, ")"},
                      // A width must be an integer.
                      ErrorCase{"WRITE(I:'A');", 44, ")"}, ErrorCase{"WRITE(C:S);", 44, ")"},
                      // Integers go to a typed file as elements of 1, 2 or 4 bytes only.
                      ErrorCase{"WRITE(GR, I);", 999, ")"}));

INSTANTIATE_TEST_SUITE_P(
    Read, CallErrorTest,
    ::testing::Values(ErrorCase{"READ C;", 4, "C;"}, ErrorCase{"READ(F C);", 3, "C)"},
                      ErrorCase{"READ(C D);", 5, "D)"}, ErrorCase{"READ(C, I;", 5, ";"},
                      // Items must be variables.
                      ErrorCase{"READ(5);", 27, ")"}, ErrorCase{"READ(I + 1);", 27, ")"},
                      ErrorCase{"READ(C, 'A');", 27, ")"}, ErrorCase{"READ(@I);", 27, ")"},
                      // One character per variable: no WORD, STRING, BOOLEAN or pointer.
                      ErrorCase{"READ(W);", 24, ")"}, ErrorCase{"READ(S);", 24, ")"},
                      ErrorCase{"READ(T);", 24, ")"}, ErrorCase{"READ(P);", 24, ")"},
                      // READLN needs its argument list; a typed file holds no lines.
                      ErrorCase{"READLN;", 4, ";"}, ErrorCase{"READLN(F);", 3, ")"},
                      ErrorCase{"READLN(G, I);", 44, ", I"}, ErrorCase{"READLN(5);", 27, ")"},
                      ErrorCase{"READLN(X);", 41, ")"}, ErrorCase{"READLN(T);", 44, ")"},
                      ErrorCase{"READLN(W);", 44, ")"}, ErrorCase{"READLN(I S);", 5, "S)"}));

INSTANTIATE_TEST_SUITE_P(
    Conversions, CallErrorTest,
    ::testing::Values(ErrorCase{"STR I, S;", 4, "I,"}, ErrorCase{"STR(I S);", 3, "S)"},
                      ErrorCase{"STR(I, S;", 5, ";"},
                      // Only integers (and REALs) are turned into text; WORD is not among them.
                      ErrorCase{"STR(C, S);", 44, ", S"}, ErrorCase{"STR(W, S);", 44, ", S"},
                      ErrorCase{"STR(I:C, S);", 44, ", S"},
                      // The text goes into a STRING variable only.
                      ErrorCase{"STR(I, I);", 34, ")"}, ErrorCase{"STR(I, 'AB');", 34, ")"},
                      // VAL: the number into an integer or REAL variable, the position into a word;
                      // the argument list is read before the types are checked.
                      ErrorCase{"VAL(S, I);", 3, ")"}, ErrorCase{"VAL(S, 5, E);", 50, ", E"},
                      ErrorCase{"VAL(S, C, E);", 27, ";"}, ErrorCase{"VAL(S, I, B);", 24, ";"},
                      ErrorCase{"VAL(S, I, L);", 24, ";"}));

INSTANTIATE_TEST_SUITE_P(
    Heap, CallErrorTest,
    ::testing::Values(ErrorCase{"NEW;", 4, ";"}, ErrorCase{"NEW(P;", 5, ";"},
                      // The base type's size is passed: a typed pointer variable only,
                      // checked once the argument list is read.
                      ErrorCase{"NEW(I);", 28, ";"}, ErrorCase{"DISPOSE(L);", 28, ";"},
                      ErrorCase{"NEW(Q);", 81, ";"}, ErrorCase{"DISPOSE(Q);", 81, ";"},
                      ErrorCase{"NEW(NIL);", 50, ")"}, ErrorCase{"ASSIGN(I, S);", 44, ", S"}));

}  // namespace
}  // namespace vorax::testing
