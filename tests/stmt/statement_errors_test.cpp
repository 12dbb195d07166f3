// Every error the statement parser raises, from whole sources: the number, and the caret
// under the token the parser stood on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "diag/text_encoding.h"
#include "support/source_tree.h"

namespace vorax::testing {
namespace {

struct StatementError {
  const char* name;
  std::string declarations;  // between the heading and the main body
  std::string body;          // the main body's statements, on a line of their own
  int number;
  int caret;  // blanks before the caret under the body line (its indentation removed)
};

void PrintTo(const StatementError& e, std::ostream* os) { *os << e.name; }

// {$M} gives the program's own variables fixed addresses; without it they live in the
// main frame. A memory map is read only in front of the heading, so a first line of the
// declarations that gives one goes there.
std::string program(const StatementError& e) {
  std::string header;
  std::string declarations = e.declarations;
  if (declarations.rfind("{$M ", 0) == 0) {
    const std::size_t lineEnd = declarations.find('\n');
    header = declarations.substr(0, lineEnd + 1);
    declarations.erase(0, lineEnd + 1);
  }
  return header + "PROGRAM T;\n" + declarations + "\nBEGIN\n  " + e.body + "\nEND.\n";
}

class StatementErrors : public ::testing::TestWithParam<StatementError> {};

TEST_P(StatementErrors, StopWithTheCaretUnderTheToken) {
  const StatementError& e = GetParam();
  SourceTree tree;
  const auto result = compileSource(tree, program(e));
  ASSERT_EQ(result.host.errors.size(), 1U);
  EXPECT_EQ(result.host.errors[0].number, e.number);
  const std::vector<std::string> block{"",
                                       e.body,
                                       std::string(static_cast<std::size_t>(e.caret), ' ') + "^",
                                       utf8ToCp932(composeErrorMessage(e.number, "")),
                                       "\tend",
                                       ""};
  ASSERT_GE(result.lines.size(), block.size());
  EXPECT_EQ(std::vector<std::string>(result.lines.end() - 6, result.lines.end()), block);
}

const std::string kVariables = "VAR I, J: INTEGER;";
const std::string kRecords =
    "TYPE REC = RECORD A, B: INTEGER END; P = ^REC;\nVAR RA, RB, RC: REC; P1: P; I: INTEGER;";

// 17 records at fixed addresses in one WITH: every record opens a scope of its own, and
// there are 16 of them.
std::string seventeenRecords() {
  std::string list = "WITH R";
  for (int i = 1; i < 17; ++i) {
    list += ",R";
  }
  return list + " DO ;";
}

INSTANTIATE_TEST_SUITE_P(
    Statements, StatementErrors,
    ::testing::Values(
        StatementError{"while_without_do", kVariables, "WHILE I < 3 I := 1", 13, 12},
        StatementError{"with_without_do", kRecords, "WITH RA BEGIN END", 13, 8},
        StatementError{"third_with_base_in_a_register", kRecords,
                       "WITH RA DO WITH RB DO WITH P1^ DO A := 1", 13, 31},
        StatementError{"third_with_base_in_one_list", kRecords, "WITH RA, RB, RC DO A := 1", 13,
                       16},
        StatementError{"missing_semicolon_between_statements", kVariables, "I := 1 J := 2", 14, 7},
        StatementError{"repeat_without_until", kVariables, "REPEAT I := 1 END; END", 16, 14},
        StatementError{"if_without_then", kVariables, "IF I = 1 I := 2", 17, 9},
        StatementError{"until_constant_not_boolean", kVariables, "REPEAT UNTIL 5 END", 20, 15},
        StatementError{"undefined_statement_name", kVariables, "K := 1", 41, 0},
        StatementError{"undefined_with_record", kVariables, "WITH K DO ;", 41, 5},
        StatementError{"with_over_an_integer", kVariables, "WITH I DO ;", 44, 7},
        // A set constructor is an operand of IN, no value of its element type.
        StatementError{"set_into_an_integer", kVariables, "I := [1, 2]; J := 1", 44, 11},
        StatementError{"set_written", kVariables, "WRITELN([1]); J := 1", 44, 11},
        StatementError{"interrupt_procedure_called", "PROCEDURE TICK; INTERRUPT; BEGIN END;",
                       "TICK", 66, 0},
        StatementError{"function_result_outside_the_function",
                       "FUNCTION F: INTEGER; BEGIN F := 1 END;", "F := 2", 66, 2},
        StatementError{"standard_function_result", kVariables, "ABS := 2", 66, 4},
        StatementError{"seventeen_with_scopes",
                       "{$M $8000,$FF00}\nTYPE REC = RECORD A: INTEGER END;\nVAR R: REC;",
                       seventeenRecords(), 98, 39},
        StatementError{"seventeen_nested_absolute_records",
                       "TYPE REC = RECORD A: INTEGER END;\nVAR R: REC ABSOLUTE $FF00;",
                       "WITH R DO WITH R DO WITH R DO WITH R DO WITH R DO WITH R DO WITH R DO "
                       "WITH R DO WITH R DO WITH R DO WITH R DO WITH R DO WITH R DO WITH R DO "
                       "WITH R DO WITH R DO WITH R DO ;",
                       98, 167}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax::testing
