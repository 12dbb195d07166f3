// Every error the driver, reader, scanner and directives raise, end to end: the error
// block at the end of the assembly file, the message through the host, and the command
// line's report and exit status.
#include <gtest/gtest.h>

#include "diag/diagnostics.h"
#include "diag/error_table.h"
#include "diag/text_encoding.h"
#include "driver/compile_file.h"
#include "support/cli_run.h"
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
      {"statement_end", "PROGRAM DEMO;\nBEGIN\n\t  5\nEND.", 14, "5", 0},
      {"heading_name", "PROGRAM 5;", 41, "PROGRAM 5;", 8},
      {"parameter_name", "PROGRAM DEMO(A, 7);", 41, "PROGRAM DEMO(A, 7);", 16},
      {"uses", "PROGRAM DEMO;\nUSES X;", 70, "USES X;", 0},
      {"interface", "UNIT U;\nIMPLEMENTATION END.", 73, "IMPLEMENTATION END.", 0},
      {"program", "  BEGIN END.", 77, "BEGIN END.", 0},
      {"eof", "PROGRAM DEMO; BEGIN END", 91, "PROGRAM DEMO; BEGIN END", 20},
      {"hex_digits", "PROGRAM DEMO; BEGIN $123456789 END.", 45,
       "PROGRAM DEMO; BEGIN $123456789 END.", 20},
      {"hex_empty", "PROGRAM DEMO; BEGIN $ END.", 45, "PROGRAM DEMO; BEGIN $ END.", 20},
      {"exponent", "PROGRAM DEMO; BEGIN 1e END.", 45, "PROGRAM DEMO; BEGIN 1e END.", 20},
      {"string_line", "PROGRAM DEMO; BEGIN 'abc\nEND.", 55, "PROGRAM DEMO; BEGIN 'abc", 20},
      {"directive_if", "{$IFXYZ}\nPROGRAM DEMO; BEGIN END.", 64, "{$IFXYZ}", 0},
      {"lone_endif", "{$ENDIF}\nPROGRAM DEMO; BEGIN END.", 64, "{$ENDIF}", 0},
      {"cpu", "{$CPU 68K}\nPROGRAM DEMO; BEGIN END.", 65, "{$CPU 68K}", 0},
      // The memory map is written right after the heading: one given later is refused
      // rather than leaving equates on a stack symbol that is never defined.
      {"late_memory_map", "PROGRAM DEMO; {$M $8000,$FF00}\nVAR X: INTEGER;\nBEGIN END.", 64,
       "PROGRAM DEMO; {$M $8000,$FF00}", 14},
      {"late_memory_map_in_unit",
       "UNIT U;\nINTERFACE\n  {$MEM $8000,$FF00}\nVAR X: BYTE;\nIMPLEMENTATION END.", 64,
       "{$MEM $8000,$FF00}", 0},
      {"memory_map_negative", "{$M 0-2}\nPROGRAM DEMO; BEGIN END.", 45, "{$M 0-2}", 7},
      {"register", "PROGRAM R5;", 68, "PROGRAM R5;", 8},
      {"define_twice", "{$DEFINE X} {$DEFINE X}", 43, "{$DEFINE X} {$DEFINE X}", 21},
      {"nesting",
       "{$DEFINE A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF "
       "A}",
       98,
       "{$DEFINE A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF "
       "A}",
       81},
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

// The source line that holds `trimmed` (1-based) and its indentation: where the command
// line must point.
struct SourcePosition {
  int line = 0;
  int indentation = 0;
};
SourcePosition positionOf(const std::string& source, const std::string& trimmed) {
  std::size_t start = 0;
  for (int line = 1; start <= source.size(); ++line) {
    const std::size_t end = std::min(source.find('\n', start), source.size());
    const std::string text = source.substr(start, end - start);
    const std::size_t first = text.find_first_not_of(" \t");
    if (first != std::string::npos && text.substr(first) == trimmed) {
      return {line, static_cast<int>(first)};
    }
    start = end + 1;
  }
  ADD_FAILURE() << "no line " << trimmed;
  return {};
}

// Compiles `mainSource` (which may include the case's text as BODY.pas) in-process and
// through the command line, and checks the error block, the message and the report.
void expectErrorEverywhere(const ErrorCase& c, const std::string& mainSource, bool included) {
  SourceTree tree;
  if (included) {
    tree.write("BODY.pas", c.source);
  }
  const auto result = compileSource(tree, mainSource, "TEST.PAS");
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

  const CliRun run = runCli({(tree.root() / "TEST.PAS").string()});
  EXPECT_EQ(run.status, 1);
  const SourcePosition position = positionOf(c.source, c.line);
  const std::string file = (tree.root() / (included ? "BODY.pas" : "TEST.PAS")).string();
  const std::string report = file + ":" + std::to_string(position.line) + ":" +
                             std::to_string(position.indentation + c.caret + 1) + ": error " +
                             std::to_string(c.number) + ": " + std::string(errorText(c.number)) +
                             "\n";
  EXPECT_EQ(run.err.substr(0, report.size()), report);
}

TEST(FoundationErrors, EachErrorEndsTheFileWithItsBlockAndShowsItsMessage) {
  for (const ErrorCase& c : errorCases()) {
    SCOPED_TRACE(c.name);
    expectErrorEverywhere(c, c.source, false);
  }
}

// The same errors raised inside an included file show that file's line; the main file
// only includes it. The source's end is the main file's, so error 91 can't come from an
// included file.
TEST(FoundationErrors, EachErrorInAnIncludedFileShowsThatFilesLine) {
  for (const ErrorCase& c : errorCases()) {
    if (c.number == 91) {
      continue;
    }
    SCOPED_TRACE(c.name);
    expectErrorEverywhere(c, "{$I BODY}\n", true);
  }
}

TEST(FoundationErrors, ErrorInIncludedFileShowsThatFilesLineAndClosesBoth) {
  SourceTree tree;
  tree.write("SUB/INC.PAS", "{ included }\n    BEGIN 5\n");
  const auto result = compileSource(tree, "PROGRAM DEMO;\n{$I SUB\\INC}\nEND.\n", "TEST.PAS");
  const std::vector<std::string> tail = {
      "", "BEGIN 5", "      ^", utf8ToCp932(composeErrorMessage(14, "")), "\tend", ""};
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
  const auto bad = tree.write("BAD.PAS", "PROGRAM BAD;\n\tBEGIN 5 END.");
  CliRun ok = runCli({good.string()});
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out.rfind("コンパイル終了  ", 0), 0U) << ok.out;
  EXPECT_TRUE(ok.err.empty()) << ok.err;

  CliRun failed = runCli({good.string(), bad.string()});
  EXPECT_EQ(failed.status, 1);
  const std::string expected = bad.string() +
                               ":2:8: error 14: END or ';' が必要です\n"
                               "\tBEGIN 5 END.\n"
                               "\t      ^\n";
  EXPECT_EQ(failed.err, expected);

  // A tab inside the line is kept in the caret line and a two-byte character takes two
  // blanks, so the caret stays under the token on a terminal.
  const auto tabbed = tree.write("TABS.PAS", "PROGRAM TABS;\n\tBEGIN\t{\x82\xa0} 5 END.");
  CliRun tabs = runCli({tabbed.string()});
  EXPECT_EQ(tabs.status, 1);
  EXPECT_EQ(tabs.err, tabbed.string() +
                          ":2:13: error 14: END or ';' が必要です\n"
                          "\tBEGIN\t{あ} 5 END.\n"
                          "\t     \t     ^\n");

  CliRun missing = runCli({(tree.root() / "NONE.PAS").string()});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("error 100: ファイルが見つかりません"), std::string::npos)
      << missing.err;
}

}  // namespace
}  // namespace vorax::testing
