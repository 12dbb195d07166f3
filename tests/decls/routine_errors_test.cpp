// Every error of routine declarations, with the caret under the token read last.
#include <gtest/gtest.h>

#include <string>

#include "decl_test_support.h"

namespace vorax::testing {
namespace {

struct RoutineError {
  std::string source;  // whole source
  int number;
  const char* atCaret;  // the source text from the caret on starts with this
};

void PrintTo(const RoutineError& c, std::ostream* os) { *os << c.source; }

// Declarations between a program heading and an empty main body.
RoutineError inProgram(const std::string& declarations, int number, const char* atCaret) {
  return {"PROGRAM P;\n" + declarations + "\nBEGIN\nEND.\n", number, atCaret};
}

class RoutineErrorTest : public ::testing::TestWithParam<RoutineError> {};

TEST_P(RoutineErrorTest, StopsAtTheRightToken) {
  const ErrorSite site = errorSite(GetParam().source);
  EXPECT_EQ(site.number, GetParam().number);
  EXPECT_EQ(site.atCaret.rfind(GetParam().atCaret, 0), 0U) << "caret at: " << site.atCaret;
}

INSTANTIATE_TEST_SUITE_P(
    Declarations, RoutineErrorTest,
    ::testing::Values(inProgram("PROCEDURE Q BEGIN END;", 1, "BEGIN"),
                      inProgram("PROCEDURE Q; BEGIN END PROCEDURE R; BEGIN END;", 1, "PROCEDURE R"),
                      inProgram("PROCEDURE Q; FORWARD PROCEDURE", 1, "PROCEDURE"),
                      inProgram("PROCEDURE Q; INTERRUPT BEGIN END;", 1, "BEGIN"),
                      inProgram("PROCEDURE Q; ABSOLUTE 100 VAR", 1, "VAR"),
                      inProgram("PROCEDURE Q; EXTERNAL VAR", 1, "VAR"),
                      inProgram("PROCEDURE Q(A INTEGER); BEGIN END;", 2, "INTEGER"),
                      inProgram("FUNCTION F; BEGIN END;", 2, "; BEGIN"),
                      inProgram("PROCEDURE Q(A: INTEGER BEGIN", 5, "BEGIN"),
                      inProgram("PROCEDURE Q; ABSOLUTE 'A';", 22, ";"),
                      inProgram("PROCEDURE Q; ABSOLUTE 1.5;", 22, ";"),
                      inProgram("VAR V: INTEGER; PROCEDURE Q; ABSOLUTE V;", 22, ";"),
                      inProgram("PROCEDURE Q; ABSOLUTE 100 + V;", 41, "V"),
                      inProgram("PROCEDURE 5;", 41, "5"), inProgram("FUNCTION F: FOO;", 41, "FOO"),
                      inProgram("VAR I: INTEGER; PROCEDURE Q(A: I); BEGIN END;", 41, "I)"),
                      inProgram("PROCEDURE Q(A, 5: INTEGER);", 41, "5"),
                      inProgram("PROCEDURE Q; BEGIN END; PROCEDURE Q ; BEGIN END;", 43, "Q ;"),
                      inProgram("VAR Q: INTEGER; PROCEDURE Q; BEGIN END;", 43, "Q;"),
                      inProgram("PROCEDURE Q(A, A: INTEGER); BEGIN END;", 43, "BEGIN"),
                      inProgram("PROCEDURE Q(A: INTEGER); VAR A: BYTE; BEGIN END;", 43, "A: BYTE"),
                      inProgram("TYPE A = ARRAY[1..2] OF BYTE; FUNCTION F: A;", 48, "A;"),
                      inProgram("TYPE R = RECORD X: BYTE END; FUNCTION F: R;", 48, "R;"),
                      inProgram("PROCEDURE Q(BEGIN: INTEGER);", 53, "BEGIN:"),
                      inProgram("PROCEDURE Q(5: INTEGER);", 58, "5"),
                      inProgram("PROCEDURE Q; BEGIN ; ; . END;", 14, "."),
                      inProgram("PROCEDURE Q; X: INTEGER; BEGIN END;", 12, "X"),
                      inProgram("PROCEDURE O; PROCEDURE I; FORWARD; BEGIN END;", 60, "FORWARD"),
                      inProgram("PROCEDURE Q; ABSOLUTE NEXTOF 100;", 92, ";"),
                      // Its own address would equate the label to itself.
                      inProgram("PROCEDURE Q; ABSOLUTE @Q;", 61, ";"),
                      inProgram("FUNCTION F: INTEGER; INTERRUPT; BEGIN END;", 95, "INTERRUPT"),
                      inProgram("PROCEDURE O; PROCEDURE I; INTERRUPT; BEGIN END; BEGIN END;", 96,
                                "INTERRUPT"),
                      inProgram("PROCEDURE I(A, B: REGISTERS); INTERRUPT;", 97, "INTERRUPT"),
                      inProgram("PROCEDURE I(A: INTEGER); INTERRUPT;", 97, "INTERRUPT"),
                      // Only the value form overlays the saved registers.
                      inProgram("PROCEDURE I(VAR R: REGISTERS); INTERRUPT;", 97, "INTERRUPT"),
                      inProgram("FUNCTION F: TEXT;", 917, ";")));

// A body repeats the heading given in advance.
INSTANTIATE_TEST_SUITE_P(
    RepeatedHeadings, RoutineErrorTest,
    ::testing::Values(
        inProgram("PROCEDURE Q(A: INTEGER); FORWARD; PROCEDURE Q(B: INTEGER); BEGIN END;", 37,
                  "; BEGIN"),
        inProgram("PROCEDURE Q(A: INTEGER); FORWARD; PROCEDURE Q(A: WORD); BEGIN END;", 37, ";"),
        inProgram("PROCEDURE Q(A: INTEGER); FORWARD; PROCEDURE Q(VAR A: INTEGER); BEGIN END;", 37,
                  ";"),
        inProgram("PROCEDURE Q(A: INTEGER); FORWARD; PROCEDURE Q; BEGIN END;", 37, ";"),
        inProgram("PROCEDURE Q; FORWARD; PROCEDURE Q(A: INTEGER); BEGIN END;", 37, ";"),
        inProgram("FUNCTION F: INTEGER; FORWARD; FUNCTION F: BYTE; BEGIN END;", 37, ";"),
        inProgram("FUNCTION F: INTEGER; FORWARD; PROCEDURE F; BEGIN END;", 37, ";"),
        inProgram("PROCEDURE Q; FORWARD; FUNCTION Q: INTEGER; BEGIN END;", 37, ";"),
        inProgram("PROCEDURE I; INTERRUPT; FORWARD; PROCEDURE I; BEGIN END;", 37, "BEGIN"),
        inProgram("PROCEDURE I; INTERRUPT; FORWARD; PROCEDURE I; INTERRUPT BEGIN END;", 1, "BEGIN"),
        // A body given once cannot come again.
        inProgram("PROCEDURE Q; FORWARD; PROCEDURE Q; BEGIN END; PROCEDURE Q ; BEGIN END;", 43,
                  "Q ;"),
        RoutineError{"UNIT U; INTERFACE PROCEDURE Q(A: INTEGER);\nIMPLEMENTATION\n"
                     "PROCEDURE Q(A: BYTE); BEGIN END;\nEND.\n",
                     37, "; BEGIN"},
        RoutineError{"UNIT U; INTERFACE FUNCTION F: INTEGER;\nIMPLEMENTATION\n"
                     "PROCEDURE F; BEGIN END;\nEND.\n",
                     37, "; BEGIN"},
        // An interface heading may not repeat a visible routine's name.
        RoutineError{"UNIT U; INTERFACE PROCEDURE Q;\nPROCEDURE Q;\nIMPLEMENTATION\nEND.\n", 43,
                     "Q;"},
        RoutineError{"UNIT U; INTERFACE PROCEDURE WRITE;\nIMPLEMENTATION\nEND.\n", 43, "WRITE"},
        RoutineError{"UNIT U; INTERFACE FUNCTION F INTEGER;\nIMPLEMENTATION\nEND.\n", 2, "INTEGER"},
        RoutineError{"UNIT U; INTERFACE PROCEDURE Q; ABSOLUTE NEXTOF 5;\nIMPLEMENTATION\nEND.\n",
                     92, ";"},
        RoutineError{"UNIT U; INTERFACE PROCEDURE 7;\nIMPLEMENTATION\nEND.\n", 41, "7"}));

// "@" names only routines of the program's (or unit's) own level, without arguments.
INSTANTIATE_TEST_SUITE_P(
    AddressOfRoutine, RoutineErrorTest,
    ::testing::Values(
        inProgram("PROCEDURE O; PROCEDURE Q; BEGIN END; CONST P: POINTER = @Q; BEGIN END;", 79,
                  "Q;"),
        inProgram("PROCEDURE O; FUNCTION Q: BYTE; BEGIN END; CONST P: POINTER = @Q; BEGIN END;", 79,
                  "Q;"),
        inProgram("PROCEDURE Q(A: BYTE); BEGIN END; CONST P: POINTER = @Q(1);", 80, "(1)")));

// A routine promised a body that never comes: error 59 naming it, when its level closes.
TEST(RoutineBodyMissingTest, ForwardRoutineWithoutBody) {
  const SourceTree tree;
  const CompileResult result =
      compileSource(tree, "PROGRAM P;\nPROCEDURE LATER(A: INTEGER); FORWARD;\nBEGIN\nEND.\n");
  ASSERT_EQ(result.host.errors.size(), 1U);
  EXPECT_EQ(result.host.errors[0].number, 59);
  EXPECT_EQ(result.host.errors[0].message.rfind("Error:59  ", 0), 0U);
  EXPECT_NE(result.host.errors[0].text.find(" ( LATER )"), std::string::npos)
      << result.host.errors[0].text;
}

TEST(RoutineBodyMissingTest, NestedForwardIsCheckedWhenItsLevelCloses) {
  // Q is declared in O's level, so O's end (not the program's) finds it missing.
  const SourceTree tree;
  const CompileResult result = compileSource(
      tree, "PROGRAM P;\nPROCEDURE O;\nPROCEDURE Q; FORWARD;\nBEGIN\nEND;\nBEGIN\nEND.\n");
  ASSERT_EQ(result.host.errors.size(), 1U);
  // FORWARD is refused below level 2 before the missing body could matter.
  EXPECT_EQ(result.host.errors[0].number, 60);
}

TEST(RoutineBodyMissingTest, InterfaceRoutineWithoutBody) {
  const SourceTree tree;
  const CompileResult result = compileSource(
      tree,
      "UNIT U;\nINTERFACE\nPROCEDURE DONE;\nPROCEDURE MISSING;\nIMPLEMENTATION\nPROCEDURE DONE;\n"
      "BEGIN END;\nEND.\n",
      "U.PAS");
  ASSERT_EQ(result.host.errors.size(), 1U);
  EXPECT_EQ(result.host.errors[0].number, 59);
  EXPECT_NE(result.host.errors[0].text.find(" ( MISSING )"), std::string::npos)
      << result.host.errors[0].text;
}

TEST(RoutineBodyMissingTest, EveryPromiseKeptCompiles) {
  EXPECT_EQ(
      errorSite("PROGRAM P;\nPROCEDURE Q; FORWARD;\nPROCEDURE Q; BEGIN END;\nBEGIN\nEND.\n").number,
      0);
  EXPECT_EQ(errorSite("UNIT U;\nINTERFACE\nPROCEDURE Q;\nIMPLEMENTATION\nPROCEDURE Q;\nBEGIN "
                      "END;\nEND.\n")
                .number,
            0);
}

// The identifier table has 32 levels: the program's and 30 nested routines fit, the 31st
// nested routine heading is error 98.
TEST(RoutineNestingTest, DeepestNestingIsError98) {
  auto nested = [](int depth) {
    std::string source = "PROGRAM P;\n";
    for (int i = 0; i < depth; ++i) {
      source += "PROCEDURE Q" + std::to_string(i) + ";\n";
    }
    for (int i = 0; i < depth; ++i) {
      source += "BEGIN END;\n";
    }
    return source + "BEGIN\nEND.\n";
  };
  EXPECT_EQ(errorSite(nested(30)).number, 0);
  const ErrorSite site = errorSite(nested(31));
  EXPECT_EQ(site.number, 98);
  EXPECT_EQ(site.atCaret.rfind("Q30", 0), 0U) << site.atCaret;
  EXPECT_EQ(errorSite(nested(32)).number, 98);
}

}  // namespace
}  // namespace vorax::testing
