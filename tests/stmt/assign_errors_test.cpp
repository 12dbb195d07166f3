// Every error an assignment reports, with the caret under the token read last.
#include <gtest/gtest.h>

#include "assign_test_support.h"

namespace vorax::testing {
namespace {

const std::string kDeclarations =
    "TYPE E = (RED, GREEN); REC1 = RECORD A: INTEGER END; REC2 = RECORD A: INTEGER END;\n"
    "VAR I: INTEGER; B: BYTE; C: CHAR; S: STRING; P: ^INTEGER; Q: ^CHAR; V: E; X: REC1; Y: REC2;\n"
    "  F: TEXT; G: BOOLEAN; A: ARRAY[1..2] OF INTEGER; Z: ARRAY[1..2] OF CHAR;";

struct ErrorCase {
  const char* body;
  int number;
  const char* atCaret;  // the source text from the caret on starts with this
};

void PrintTo(const ErrorCase& c, std::ostream* os) { *os << c.body; }

class AssignmentErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(AssignmentErrorTest, StopsAtTheRightToken) {
  const ErrorCase& c = GetParam();
  const AssignErrorSite site = assignErrorSite({"", kDeclarations, c.body});
  EXPECT_EQ(site.number, c.number);
  EXPECT_EQ(site.atCaret.rfind(c.atCaret, 0), 0U) << "caret at: " << site.atCaret;
}

INSTANTIATE_TEST_SUITE_P(Errors, AssignmentErrorTest,
                         ::testing::Values(
                             // ":=" missing.
                             ErrorCase{"I 5;", 7, "5;"}, ErrorCase{"I = 5;", 7, "= 5"},
                             ErrorCase{"A[1] 5;", 7, "5;"}, ErrorCase{"I;", 7, ";"},
                             // Incompatible source: the caret stands after the whole source.
                             ErrorCase{"I := 'A'; I := 1", 44, "; I"},
                             ErrorCase{"B := C;", 44, ";"}, ErrorCase{"C := 65;", 44, ";"},
                             ErrorCase{"S := 5;", 44, ";"}, ErrorCase{"P := Q;", 44, ";"},
                             ErrorCase{"P := I;", 44, ";"}, ErrorCase{"V := 1;", 44, ";"},
                             ErrorCase{"X := Y;", 44, ";"}, ErrorCase{"A := Z;", 44, ";"},
                             ErrorCase{"G := 1;", 44, ";"}, ErrorCase{"I := G;", 44, ";"},
                             // A file is no value to assign.
                             ErrorCase{"F := F;", 44, ";"}));

}  // namespace
}  // namespace vorax::testing
