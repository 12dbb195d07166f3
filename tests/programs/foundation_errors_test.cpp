// Every error the driver, reader, scanner and directives raise, end to end: the error
// block at the end of the assembly file, the message through the host, and the command
// line's report and exit status.
#include <gtest/gtest.h>

#include "diag/diagnostics.h"
#include "diag/text_encoding.h"
#include "support/cli_run.h"
#include "driver/compile_file.h"
#include "support/source_tree.h"

namespace vorax::testing {
namespace {

struct ErrorCase {
  const char* name;
  std::string source;
  int number;
  std::string line;  // the trimmed source line of the error block
  int caret;         // blanks before the caret
};

std::vector<ErrorCase> errorCases() {
  return {
      {"semicolon", "PROGRAM DEMO BEGIN END.", 1, "PROGRAM DEMO BEGIN END.", 13},
      {"close_paren", "PROGRAM DEMO(A, B;\nBEGIN END.", 5, "PROGRAM DEMO(A, B;", 17},
      {"period", "PROGRAM DEMO; BEGIN END;", 10, "PROGRAM DEMO; BEGIN END;", 23},
      {"unit_end", "UNIT U; INTERFACE IMPLEMENTATION\n  BEGIN.", 14, "BEGIN.", 0},
      {"statement_end", "PROGRAM DEMO;\nBEGIN\n\t  X\nEND.", 14, "X", 0},
      {"heading_name", "PROGRAM 5;", 41, "PROGRAM 5;", 8},
      {"parameter_name", "PROGRAM DEMO(A, 7);", 41, "PROGRAM DEMO(A, 7);", 16},
      {"uses", "PROGRAM DEMO;\nUSES X;", 70, "USES X;", 0},
      {"interface", "UNIT U;\nIMPLEMENTATION END.", 73, "IMPLEMENTATION END.", 0},
      {"program", "  BEGIN END.", 77, "BEGIN END.", 0},
      {"eof", "PROGRAM DEMO; BEGIN END", 91, "PROGRAM DEMO; BEGIN END", 20},
      {"hex_digits", "PROGRAM DEMO; BEGIN $123456789 END.", 45, "PROGRAM DEMO; BEGIN $123456789 END.", 20},
      {"hex_empty", "PROGRAM DEMO; BEGIN $ END.", 45, "PROGRAM DEMO; BEGIN $ END.", 20},
      {"exponent", "PROGRAM DEMO; BEGIN 1e END.", 45, "PROGRAM DEMO; BEGIN 1e END.", 20},
      {"string_line", "PROGRAM DEMO; BEGIN 'abc\nEND.", 55, "PROGRAM DEMO; BEGIN 'abc", 20},
      {"directive_if", "{$IFXYZ}\nPROGRAM DEMO; BEGIN END.", 64, "{$IFXYZ}", 0},
      {"lone_endif", "{$ENDIF}\nPROGRAM DEMO; BEGIN END.", 64, "{$ENDIF}", 0},
      {"cpu", "{$CPU 68K}\nPROGRAM DEMO; BEGIN END.", 65, "{$CPU 68K}", 0},
      {"register", "PROGRAM R5;", 68, "PROGRAM R5;", 8},
      {"define_twice", "{$DEFINE X} {$DEFINE X}", 43, "{$DEFINE X} {$DEFINE X}", 21},
      {"nesting", "{$DEFINE A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}",
       98, "{$DEFINE A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}", 81},
      {"invalid_char", "PROGRAM DEMO; BEGIN ! END.", 102, "PROGRAM DEMO; BEGIN ! END.", 20},
      {"full_width", "PROGRAM \x82\x60;", 102, "PROGRAM \x82\x60;", 8},
  };
}

// The last five lines of a file that ended in an error: empty line, source line, caret
// line, message, tab + "end", and a final empty line.
std::vector<std::string> errorBlock(const ErrorCase& c) {
  return {"",
          c.line,
          std::string(static_cast<std::size_t>(c.caret), ' ') + "^",
          utf8ToCp932(composeErrorMessage(c.number, "")),
          "\tend",
          ""};
}

TEST(FoundationErrors, EachErrorEndsTheFileWithItsBlockAndShowsItsMessage) {
  for (const ErrorCase& c : errorCases()) {
    SCOPED_TRACE(c.name);
    SourceTree tree;
    const auto result = compileSource(tree, c.source, "TEST.PAS");
    const auto expected = errorBlock(c);
    ASSERT_GE(result.lines.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(result.lines.end() - 6, result.lines.end()), expected);
    ASSERT_EQ(result.host.errors.size(), 1U);
    EXPECT_EQ(result.host.errors[0].number, c.number);
    ASSERT_EQ(result.host.messages.size(), 1U) << "no completion message after an error";
    EXPECT_EQ(result.host.messages[0].caption, "MALVET");
    EXPECT_EQ(result.host.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(result.host.messages[0].text, composeErrorMessage(c.number, ""));
    // No trailer after an error.
    for (const std::string& line : result.lines) {
      EXPECT_NE(line.rfind("; (pas lines)", 0), 0U) << line;
    }
  }
}

TEST(FoundationErrors, ErrorInIncludedFileShowsThatFilesLineAndClosesBoth) {
  SourceTree tree;
  tree.write("SUB/INC.PAS", "{ included }\n    BEGIN X\n");
  const auto result =
      compileSource(tree, "PROGRAM DEMO;\n{$I SUB\\INC}\nEND.\n", "TEST.PAS");
  const std::vector<std::string> tail = {"", "BEGIN X", "      ^",
                                         utf8ToCp932(composeErrorMessage(14, "")), "\tend", ""};
  ASSERT_GE(result.lines.size(), tail.size());
  EXPECT_EQ(std::vector<std::string>(result.lines.end() - 6, result.lines.end()), tail);
  ASSERT_EQ(result.host.errors.size(), 1U);
  const auto& report = result.host.errors[0];
  EXPECT_TRUE(report.hasPosition);
  EXPECT_EQ(report.lineNumber, 2);
  EXPECT_EQ(report.column, 11);  // four blanks of indentation + "BEGIN " + 1
  EXPECT_NE(report.fileName.find("INC"), std::string::npos) << report.fileName;
  // Both files were closed: they can be removed and rewritten at once.
  EXPECT_TRUE(std::filesystem::remove(tree.root() / "SUB/INC.PAS"));
}

TEST(FoundationErrors, MissingMainFileWritesNothingAndShowsError100) {
  SourceTree tree;
  RecordingHost host;
  compileFile((tree.root() / "NOPE.PAS").string(), host);
  EXPECT_FALSE(tree.exists("NOPE.asm"));
  ASSERT_EQ(host.messages.size(), 1U);
  EXPECT_EQ(host.messages[0].text, "Error:100  ファイルが見つかりません");
  EXPECT_EQ(host.messages[0].caption, "MALVET");
}

TEST(FoundationErrors, MainFileExtensionMustBePas) {
  SourceTree tree;
  tree.write("PROG.TXT", "PROGRAM DEMO; BEGIN END.");
  RecordingHost host;
  compileFile((tree.root() / "PROG.TXT").string(), host);
  EXPECT_FALSE(tree.exists("PROG.asm"));
  ASSERT_EQ(host.errors.size(), 1U);
  EXPECT_EQ(host.errors[0].number, 101);
}

TEST(FoundationErrors, MissingIncludeFileIsError100InTheErrorBlock) {
  SourceTree tree;
  const auto result = compileSource(tree, "PROGRAM DEMO;\n  {$I NOPE}\nBEGIN END.", "TEST.PAS");
  ASSERT_EQ(result.host.errors.size(), 1U);
  EXPECT_EQ(result.host.errors[0].number, 100);
  ASSERT_GE(result.lines.size(), 4U);
  EXPECT_EQ(result.lines[result.lines.size() - 5], "{$I NOPE}");
}

TEST(FoundationErrors, CommandLineReportsPositionCaretAndStatus) {
  SourceTree tree;
  const auto good = tree.write("GOOD.PAS", "PROGRAM GOOD; BEGIN END.");
  const auto bad = tree.write("BAD.PAS", "PROGRAM BAD;\n\tBEGIN X END.");
  CliRun ok = runCli({good.string()});
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out.rfind("コンパイル終了  ", 0), 0U) << ok.out;
  EXPECT_TRUE(ok.err.empty()) << ok.err;

  CliRun failed = runCli({good.string(), bad.string()});
  EXPECT_EQ(failed.status, 1);
  const std::string expected = bad.string() +
                               ":2:8: error 14: END or ';' が必要です\n"
                               "\tBEGIN X END.\n"
                               "\t      ^\n";
  EXPECT_EQ(failed.err, expected);

  CliRun missing = runCli({(tree.root() / "NONE.PAS").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("error 100: ファイルが見つかりません"), std::string::npos)
      << missing.err;
}

}  // namespace
}  // namespace vorax::testing
