#include "source/reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/scan_session.h"

namespace vorax::testing {
namespace {

using Tokens = std::vector<std::string>;
using Files = std::map<std::string, std::string>;
const std::string kEnd = "error 91";

void writeFiles(const SourceTree& tree, const Files& files) {
  for (const auto& [name, text] : files) {
    tree.write(name, text);
  }
}

// The calls of the host before the error that ended the session.
std::vector<std::string> callsBeforeError(const RecordingHost& host) {
  std::vector<std::string> calls;
  for (const std::string& call : host.calls) {
    if (call.rfind("message ", 0) == 0) {
      break;
    }
    calls.push_back(call);
  }
  return calls;
}

TEST(Reader, CountsEveryLineAndOneMoreForEachIncludeFile) {
  SourceTree tree;
  writeFiles(tree, {{"T.PAS", "a {$I INC}\nb\nc"}, {"INC.pas", "x\ny\n"}});
  ScanSession session(tree, "T.PAS");
  EXPECT_EQ(session.scanAll(), (Tokens{"1 A", "1 X", "1 Y", "1 B", "1 C", kEnd}));
  // main: 3 lines and its end; include: 2 lines and its end
  EXPECT_EQ(session.compilation->reader.sourceLineCount(), 4 + 3);
  // The end of the main file is error 91, reported at the line it shows: "c", line 3.
  EXPECT_EQ(session.lastError().lineNumber, 3);
}

TEST(Reader, DrivesOneProgressRowPerOpenFile) {
  SourceTree tree;
  writeFiles(tree, {{"T.PAS", "a {$I inc}\n\tb\n"}, {"inc.pas", "x\n"}});
  ScanSession session(tree, "T.PAS");
  session.scanAll();
  EXPECT_EQ(
      callsBeforeError(session.host),
      (std::vector<std::string>{"show 1 T.PAS 14", "repaint", "step 1 12", "status 1:  a {$I inc}",
                                "show 2 INC.PAS 2", "repaint", "step 2 3", "status 1:  x", "hide 2",
                                "repaint", "step 1 4", "status 2:  \tb"}));
}

TEST(Reader, CutsLinesAfter255Characters) {
  SourceTree tree;
  const std::string longLine = "x" + std::string(253, ' ') + "yz";
  writeFiles(tree, {{"T.PAS", longLine + "\nw"}});
  ScanSession session(tree, "T.PAS");
  EXPECT_EQ(session.scanAll(), (Tokens{"1 X", "1 Y", "1 W", kEnd}));
  const auto& calls = session.host.calls;
  EXPECT_EQ(calls[2], "step 1 257");
  EXPECT_EQ(calls[3], "status 1:  " + longLine.substr(0, 255));
}

// A line is cut before a two-byte character that would not fit whole (0x83 0x81 here).
TEST(Reader, CutsLongLinesBeforeACharacterThatDoesNotFit) {
  SourceTree tree;
  const std::string longLine = "x" + std::string(252, ' ') + "{" + "\x83\x81}";
  writeFiles(tree, {{"T.PAS", longLine + "\n} w"}});
  ScanSession session(tree, "T.PAS");
  EXPECT_EQ(session.scanAll(), (Tokens{"1 X", "1 W", kEnd}));
  const auto& calls = session.host.calls;
  EXPECT_EQ(calls[2], "step 1 256");
  EXPECT_EQ(calls[3], "status 1:  " + longLine.substr(0, 254));
}

TEST(Reader, LinesEndInLineFeedOrCarriageReturnLineFeed) {
  SourceTree tree;
  writeFiles(tree, {{"T.PAS", "a\r\nb\n\r\n  c #\r\n"}});
  ScanSession session(tree, "T.PAS");
  EXPECT_EQ(session.scanAll(), (Tokens{"1 A", "1 B", "1 C", "error 102"}));
  const SourceErrorReport& report = session.lastError();
  EXPECT_EQ(report.lineNumber, 4);
  EXPECT_EQ(report.lineAsWritten, "  c #");
  EXPECT_EQ(report.indentation, 2);
  EXPECT_EQ(report.column, 5);
  EXPECT_GE(findSequence(tree.readLines("T.asm"), {"", "c #", "  ^"}), 0);
  EXPECT_EQ(session.host.calls[3], "status 1:  a");
}

struct IncludeCase {
  std::string name;
  Files files;  // T.PAS is the main file
  Tokens tokens;
};

void PrintTo(const IncludeCase& c, std::ostream* out) { *out << c.name; }

class ReaderIncludes : public ::testing::TestWithParam<IncludeCase> {};

TEST_P(ReaderIncludes, ReadsTheIncludedTextWhereTheDirectiveStands) {
  SourceTree tree;
  writeFiles(tree, GetParam().files);
  ScanSession session(tree, "T.PAS");
  EXPECT_EQ(session.scanAll(), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Resolution, ReaderIncludes,
    ::testing::Values(
        IncludeCase{"NameInAnyCase",
                    {{"T.PAS", "a {$I UTIL} b"}, {"util.pas", "u"}},
                    {"1 A", "1 U", "1 B", kEnd}},
        IncludeCase{"ExtensionAlwaysPas",
                    {{"T.PAS", "{$I util.inc}"}, {"UTIL.PAS", "u"}, {"util.inc", "wrong"}},
                    {"1 U", kEnd}},
        IncludeCase{"BackslashFolders",
                    {{"T.PAS", "{$I sub\\deep}"},
                     {"Sub/Deep.Pas", "d {$I leaf}"},
                     {"Sub/leaf.pas", "l"},
                     {"leaf.pas", "wrong"}},
                    {"1 D", "1 L", kEnd}},
        IncludeCase{
            "SlashFolders", {{"T.PAS", "{$I SUB/DEEP}"}, {"sub/deep.pas", "d"}}, {"1 D", kEnd}},
        IncludeCase{
            "ParentFolder",
            {{"m/T.PAS", ""}, {"T.PAS", "{$I m\\x}"}, {"m/x.pas", "{$I ..\\up}"}, {"up.pas", "u"}},
            {"1 U", kEnd}},
        IncludeCase{"MissingFile", {{"T.PAS", "a {$I NOPE}"}}, {"1 A", "error 100"}},
        IncludeCase{"SwitchFormIsNoInclude", {{"T.PAS", "{$I+} a {$I-} b"}}, {"1 A", "1 B", kEnd}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    TextAround, ReaderIncludes,
    ::testing::Values(IncludeCase{"TextRightAfterTheDirectiveIsReadOnceAfterTheFile",
                                  {{"T.PAS", "a {$I INC}b c"}, {"INC.pas", "x"}},
                                  {"1 A", "1 X", "1 B", "1 C", kEnd}},
                      IncludeCase{"PunctuationRightAfterTheDirective",
                                  {{"T.PAS", "a {$I INC}(b)"}, {"INC.pas", "x"}},
                                  {"1 A", "1 X", "23", "1 B", "24", kEnd}},
                      IncludeCase{"IncludedTextEndsMidStatement",
                                  {{"T.PAS", "y := {$I E} 2;"}, {"E.pas", "1 +\n"}},
                                  {"1 Y", "10", "2 1", "6", "2 2", "19", kEnd}},
                      IncludeCase{"ParenStarDirective",
                                  {{"T.PAS", "a (*$I INC*)b"}, {"INC.pas", "x"}},
                                  {"1 A", "1 X", "1 B", kEnd}},
                      IncludeCase{"EmptyIncludeFile",
                                  {{"T.PAS", "a {$I INC} b"}, {"INC.pas", ""}},
                                  {"1 A", "1 B", kEnd}},
                      IncludeCase{"CommentOpenAtTheEndOfAnIncludeContinuesOutside",
                                  {{"T.PAS", "a {$I INC} b } c"}, {"INC.pas", "x {"}},
                                  {"1 A", "1 X", "1 C", kEnd}}),
    [](const auto& info) { return info.param.name; });

// A folder whose path a directive can name: file names in directives stop at "-" and
// "_", which the usual temporary folders contain.
class PlainTemporaryFolder {
 public:
  PlainTemporaryFolder() {
    std::string pattern = "/tmp/voraxXXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("cannot create a temporary folder");
    }
    path_ = pattern;
  }
  ~PlainTemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  PlainTemporaryFolder(const PlainTemporaryFolder&) = delete;
  PlainTemporaryFolder& operator=(const PlainTemporaryFolder&) = delete;
  [[nodiscard]] const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

TEST(ReaderIncludes, AbsoluteNamesAreUsedAsTheyStand) {
  PlainTemporaryFolder library;
  std::filesystem::create_directories(library.path() / "lib");
  std::ofstream(library.path() / "lib" / "abs.pas") << "z";
  SourceTree tree;
  writeFiles(tree, {{"m/T.PAS", "{$I " + (library.path() / "LIB" / "ABS").string() + "}"},
                    {"m/lib/abs.pas", "wrong"}});
  ScanSession session(tree, "m/T.PAS");
  EXPECT_EQ(session.scanAll(), (Tokens{"1 Z", kEnd}));
}

// Files F1 .. Fn, each including the next; the last holds the token "z".
Files includeChain(int n) {
  Files files{{"T.PAS", "{$I F1} e"}};
  for (int i = 1; i <= n; ++i) {
    const std::string next = i < n ? "{$I F" + std::to_string(i + 1) + "}" : "z";
    files["F" + std::to_string(i) + ".pas"] = "f" + std::to_string(i) + " " + next;
  }
  return files;
}

TEST(ReaderIncludes, SevenNestedFilesShowEightRows) {
  SourceTree tree;
  writeFiles(tree, includeChain(7));
  ScanSession session(tree, "T.PAS");
  const Tokens tokens = session.scanAll();
  EXPECT_EQ(tokens,
            (Tokens{"1 F1", "1 F2", "1 F3", "1 F4", "1 F5", "1 F6", "1 F7", "1 Z", "1 E", kEnd}));
  std::vector<std::string> shown;
  for (const std::string& call : session.host.calls) {
    if (call.rfind("show ", 0) == 0) {
      shown.push_back(call.substr(0, call.rfind(' ')));
    }
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"show 1 T.PAS", "show 2 F1.PAS", "show 3 F2.PAS",
                                             "show 4 F3.PAS", "show 5 F4.PAS", "show 6 F5.PAS",
                                             "show 7 F6.PAS", "show 8 F7.PAS"}));
}

TEST(ReaderIncludes, AnEighthNestedFileIsNestingTooDeep) {
  SourceTree tree;
  writeFiles(tree, includeChain(8));
  ScanSession session(tree, "T.PAS");
  const Tokens tokens = session.scanAll();
  ASSERT_EQ(tokens.back(), "error 98");
  const SourceErrorReport& report = session.lastError();
  EXPECT_EQ(report.lineAsWritten, "f7 {$I F8}");
  EXPECT_EQ(report.column, 4);                             // the directive's comment
  EXPECT_EQ(session.compilation->reader.fileDepth(), -1);  // every file closed
}

TEST(ReaderIncludes, ErrorsInsideAnIncludeFileShowThatFilesLine) {
  SourceTree tree;
  writeFiles(tree, {{"T.PAS", "a {$I INC} b"}, {"INC.pas", "x\n  y ?"}});
  ScanSession session(tree, "T.PAS");
  EXPECT_EQ(session.scanAll(), (Tokens{"1 A", "1 X", "1 Y", "error 102"}));
  const SourceErrorReport& report = session.lastError();
  EXPECT_EQ(std::filesystem::path(report.fileName).filename(), "INC.pas");
  EXPECT_EQ(report.lineNumber, 2);
  EXPECT_EQ(report.column, 5);
  EXPECT_GE(findSequence(tree.readLines("T.asm"), {"", "y ?", "  ^"}), 0);
}

struct MainFileCase {
  std::string name;
  std::string written;  // the file on disk
  std::string given;    // the name passed to the reader
  int error;            // 0: opened
  std::string outputName;
};

void PrintTo(const MainFileCase& c, std::ostream* out) { *out << c.name; }

class ReaderMainFile : public ::testing::TestWithParam<MainFileCase> {};

TEST_P(ReaderMainFile, OpensPasFilesOnly) {
  const MainFileCase& c = GetParam();
  SourceTree tree;
  tree.write(c.written, "x");
  ScanSession session(tree, c.given);
  if (c.error == 0) {
    EXPECT_EQ(session.errorNumber(), 0);
    EXPECT_EQ(session.scan(1), Tokens{"1 X"});
    EXPECT_TRUE(tree.exists(c.outputName)) << c.outputName;
  } else {
    ASSERT_EQ(session.errorNumber(), c.error);
    EXPECT_FALSE(session.lastError().hasPosition);
    EXPECT_FALSE(tree.exists(c.outputName));
    EXPECT_EQ(session.host.messages.size(), 1u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Names, ReaderMainFile,
    ::testing::Values(MainFileCase{"Exact", "DEMO.PAS", "DEMO.PAS", 0, "DEMO.asm"},
                      MainFileCase{"MixedCaseExtension", "demo.Pas", "demo.Pas", 0, "demo.asm"},
                      MainFileCase{"NoExtensionAddsPas", "demo.pas", "demo", 0, "demo.asm"},
                      MainFileCase{"FoundInAnyCase", "Demo.PAS", "demo", 0, "Demo.asm"},
                      MainFileCase{"OtherExtension", "demo.txt", "demo.txt", 101, "demo.asm"},
                      MainFileCase{"Missing", "other.pas", "demo.pas", 100, "demo.asm"}),
    [](const auto& info) { return info.param.name; });

TEST(ReaderEcho, WritesTrimmedLinesWhileTheSwitchIsOn) {
  SourceTree tree;
  const std::string longLine = "\t\t" + std::string(60, 'q');
  writeFiles(tree, {{"T.PAS", "  a {$C-}\n  b\n{$C+} c\n" + longLine + "\n\nd"}});
  ScanSession session(tree, "T.PAS", true);
  session.scanAll();
  const std::vector<std::string> lines = tree.readLines("T.asm");
  EXPECT_GE(findSequence(lines, {"; a {$C-}", "; " + std::string(46, 'q'), "; ", "; d"}), 0)
      << ::testing::PrintToString(lines);
}

// The echo keeps 46 bytes of the line; a character that would lose its second byte to the
// cut is left out whole, one that just fits stays.
TEST(ReaderEcho, CutsOnACharacterBoundary) {
  SourceTree tree;
  const std::string me = "\x83\x81";  // a katakana whose second byte is a lead byte too
  const std::string split = "{" + std::string(44, 'q') + me + me + "}";
  const std::string fits = "{" + std::string(43, 'q') + me + me + "}";
  const std::string kanji = "{" + std::string(44, 'q') + "\x99\x7d}";
  writeFiles(tree, {{"T.PAS", split + "\n" + fits + "\n" + kanji + "\nd"}});
  ScanSession session(tree, "T.PAS", true);
  EXPECT_EQ(session.scanAll(), (Tokens{"1 D", kEnd}));
  const std::vector<std::string> lines = tree.readLines("T.asm");
  EXPECT_GE(findSequence(lines, {"; {" + std::string(44, 'q'), "; {" + std::string(43, 'q') + me,
                                 "; {" + std::string(44, 'q'), "; d"}),
            0)
      << ::testing::PrintToString(lines);
}

TEST(ReaderAssemblyInclude, WritesAnIncludeLineAndReadsTheTextAfterItOnce) {
  SourceTree tree;
  writeFiles(tree, {{"T.PAS", "a {$L module}b {$L lib.obj}"}});
  ScanSession session(tree, "T.PAS");
  EXPECT_EQ(session.scanAll(), (Tokens{"1 A", "1 B", kEnd}));
  const std::vector<std::string> lines = tree.readLines("T.asm");
  EXPECT_GE(findSequence(lines, {"\tinclude\tMODULE.asm"}), 0) << ::testing::PrintToString(lines);
  EXPECT_GE(findSequence(lines, {"\tinclude\tLIB.asm"}), 0) << ::testing::PrintToString(lines);
}

TEST(ReaderAssemblyInclude, SwitchFormWritesNothing) {
  SourceTree tree;
  writeFiles(tree, {{"T.PAS", "{$L+} a {$L-} b"}});
  ScanSession session(tree, "T.PAS");
  EXPECT_EQ(session.scanAll(), (Tokens{"1 A", "1 B", kEnd}));
}

}  // namespace
}  // namespace vorax::testing
