#include "source/scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scan_session.h"

namespace vorax::testing {
namespace {

using Tokens = std::vector<std::string>;

struct TokenCase {
  std::string name;
  std::string source;
  Tokens tokens;  // the last is the error that ended the scan
};

void PrintTo(const TokenCase& c, std::ostream* out) { *out << c.name; }

class ScannerTokens : public ::testing::TestWithParam<TokenCase> {};

TEST_P(ScannerTokens, ReadsTheExpectedTokens) {
  EXPECT_EQ(tokensOf(GetParam().source), GetParam().tokens);
}

const std::string kEnd = "error 91";

INSTANTIATE_TEST_SUITE_P(
    Words, ScannerTokens,
    ::testing::Values(TokenCase{"ReservedWordsInAnyCase",
                                "begin Begin BEGIN begin_ end",
                                {"56 BEGIN", "56 BEGIN", "56 BEGIN", "1 BEGIN_", "39 END", kEnd}},
                      TokenCase{
                          "EveryLength",
                          "do xor with until repeat forward absolute interrupt implementation",
                          {"31 DO", "47 XOR", "54 WITH", "58 UNTIL", "63 REPEAT", "64 FORWARD",
                           "66 ABSOLUTE", "70 INTERRUPT", "72 IMPLEMENTATION", kEnd}},
                      TokenCase{"FirstAndLastOfEachLength",
                                "if to and xor case with array while downto repeat",
                                {"32 IF", "36 TO", "37 AND", "47 XOR", "48 CASE", "54 WITH",
                                 "55 ARRAY", "59 WHILE", "60 DOWNTO", "63 REPEAT", kEnd}},
                      TokenCase{"NearMisses",
                                "x dox implementations implementatio progra function1",
                                {"1 X", "1 DOX", "1 IMPLEMENTATIONS", "1 IMPLEMENTATIO", "1 PROGRA",
                                 "1 FUNCTION1", kEnd}},
                      TokenCase{"IdentifiersKeep23Characters",
                                "abcdefghijklmnopqrstuvwxyz1234 ABCDEFGHIJKLMNOPQRSTUVW_z",
                                {"1 ABCDEFGHIJKLMNOPQRSTUVW", "1 ABCDEFGHIJKLMNOPQRSTUVW", kEnd}},
                      TokenCase{"RegisterLikeNames",
                                "R8 R10 rx fp1 spx",
                                {"1 R8", "1 R10", "1 RX", "1 FP1", "1 SPX", kEnd}},
                      TokenCase{"RegisterName", "x r5", {"1 X", "error 68"}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Numbers, ScannerTokens,
    ::testing::Values(
        TokenCase{"Range", "1..5", {"2 1", "22", "2 5", kEnd}},
        TokenCase{"Reals",
                  "1.5 1e3 1E+2 25e-1 1.5e1 2. 0.1",
                  {"4 1.5", "4 1000", "4 100", "4 2.5", "4 15", "4 2", "4 0.1", kEnd}},
        TokenCase{"IntegerLimit",
                  "2147483647 2147483648 00012",
                  {"2 2147483647", "4 2147483648", "2 12", kEnd}},
        TokenCase{"LongDigitTextsKeepTheirValue",
                  "1" + std::string(35, '0') + " 0." + std::string(40, '0') + "1e40",
                  {"4 1e+35", "4 0.1", kEnd}},
        TokenCase{"Hexadecimal",
                  "$ff $FF $0 $7FFFFFFF $FFFFFFFF $80000000",
                  {"2 255", "2 255", "2 0", "2 2147483647", "2 -1", "2 -2147483648", kEnd}},
        TokenCase{"NinthHexadecimalDigit", "$123456789", {"error 45"}},
        TokenCase{"DollarWithoutDigit", "x $g", {"1 X", "error 45"}},
        TokenCase{"DollarAtLineEnd", "$", {"error 45"}},
        TokenCase{"ExponentWithoutDigits", "1e ", {"error 45"}},
        TokenCase{"ExponentSignWithoutDigits", "1e+x", {"error 45"}},
        TokenCase{"RealTooLarge", "1e39", {"error 45"}},
        TokenCase{"NumberThenWord", "12abc 3.x", {"2 12", "1 ABC", "4 3", "1 X", kEnd}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Strings, ScannerTokens,
    ::testing::Values(TokenCase{"CharacterAndStrings",
                                "'a' 'ab' '' '''' 'it''s'",
                                {"3 #97", "5 'ab'", "5 ''", "3 #39", "5 'it's'", kEnd}},
                      TokenCase{"ShiftJisInsideAString",
                                "'\x83\x7d' '\x82\xa0'",
                                {"5 '\x83\x7d'", "5 '\x82\xa0'", kEnd}},
                      TokenCase{"StringPastItsLine", "x 'abc\n'", {"1 X", "error 55"}},
                      TokenCase{"StringEndingAtTheLineEnd", "'abc'\nx", {"5 'abc'", "1 X", kEnd}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Punctuation, ScannerTokens,
    ::testing::Values(
        TokenCase{"EveryOperator",
                  "+ - * / := = <> < <= > >= . , ; : ^ .. ( ) [ ] @",
                  {"6",  "7",  "8",  "9",  "10", "11", "12", "13", "14", "15", "16", "17",
                   "18", "19", "20", "21", "22", "23", "24", "25", "26", "30", kEnd}},
        TokenCase{"WithoutBlanks",
                  "a:=b<>c<=(d)..e^;",
                  {"1 A", "10", "1 B", "12", "1 C", "14", "23", "1 D", "24", "22", "1 E", "21",
                   "19", kEnd}},
        TokenCase{"ClosersOutsideComments", "{ a }} (* b *)*) x", {"28", "29", "1 X", kEnd}},
        TokenCase{"InvalidCharacters", "x #", {"1 X", "error 102"}},
        TokenCase{"Underscore", "_x", {"error 102"}},
        TokenCase{"FullWidthCharacter", "\x82\xa0", {"error 102"}},
        TokenCase{"CarriageReturnInsideALine", "a\rb", {"1 A", "error 102"}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Comments, ScannerTokens,
    ::testing::Values(
        TokenCase{"AllThreeForms",
                  "a { b } c (* d *) e // f {$C-} g\nh",
                  {"1 A", "1 C", "1 E", "1 H", kEnd}},
        TokenCase{"SpanningLines", "a { b\n c\n } d (* e\n*) f", {"1 A", "1 D", "1 F", kEnd}},
        TokenCase{"DontNest", "a { b { c } d", {"1 A", "1 D", kEnd}},
        TokenCase{"StarsBeforeTheClose", "a (* b **) c (*) d *) e", {"1 A", "1 C", "1 E", kEnd}},
        // 0x83 0x7D is a Shift-JIS character whose second byte is "}"
        TokenCase{"ShiftJisSecondByteIsNotAClose", "a { \x83} b } c", {"1 A", "1 C", kEnd}},
        // A half-width katakana (0xB1) is a character of one byte.
        TokenCase{
            "BraceAfterOtherBytesCloses", "a { \xb1} b } c", {"1 A", "1 B", "28", "1 C", kEnd}},
        TokenCase{"LineCommentAtTheEnd", "a //", {"1 A", kEnd}}),
    [](const auto& info) { return info.param.name; });

// Comments are walked by characters: a lead byte (0x81-0x9F, 0xE0-0xFC) takes the byte
// after it along, whatever that byte is; every other "}" ends the comment.
INSTANTIATE_TEST_SUITE_P(
    ShiftJisComments, ScannerTokens,
    ::testing::Values(
        // The second byte of 0x83 0x81 lies in the lead-byte range itself: the "}" after it
        // closes the comment, and the code up to the next comment is read.
        TokenCase{"SecondByteInTheLeadRange",
                  "a {\x83\x81} b {end} c",
                  {"1 A", "1 B", "1 C", kEnd}},
        TokenCase{"TwoCharactersThenClose",
                  "a {\x83\x93\x83\x81} b",
                  {"1 A", "1 B", kEnd}},
        // 0x99 0x7D: a kanji whose second byte is "}"; 0xE0 and 0xFC start characters too.
        TokenCase{"KanjiWithBraceSecondByte", "a {\x99\x7d} b", {"1 A", "1 B", kEnd}},
        TokenCase{"HighLeadBytes", "a {\xe0\x7d\xfc\x7d} b", {"1 A", "1 B", kEnd}},
        TokenCase{"ParenStarCommentTakesTheByteAfterALead",
                  "a (* \x88*) b *) c",
                  {"1 A", "1 C", kEnd}},
        TokenCase{"ParenStarCommentAfterACharacter", "a (*\x83\x81*) b", {"1 A", "1 B", kEnd}},
        // After a directive has read what it wants, the rest of its comment is skipped
        // by characters too.
        TokenCase{"RestOfADirective", "a {$C- \x99\x7d b } c", {"1 A", "1 C", kEnd}},
        TokenCase{"InsideADirectiveWord", "a {$M\x99\x7d b } c", {"1 A", "1 C", kEnd}},
        // A character never spans lines: a lead byte at a line's end takes the blank that
        // ends every line.
        TokenCase{"LeadByteAtTheLineEnd", "a { \x83\n} b", {"1 A", "1 B", kEnd}}),
    [](const auto& info) { return info.param.name; });

TEST(ScannerTokens, EveryRegisterNameIsAnErrorUnlessAllowed) {
  for (const char* name : {"R0", "r1", "R2", "R3", "R4", "R5", "R6", "r7", "FP", "sp"}) {
    EXPECT_EQ(tokensOf(name), (Tokens{"error 68"})) << name;
  }
  SourceTree tree;
  tree.write("T.PAS", "r0 fp sp");
  ScanSession session(tree, "T.PAS");
  session.compilation->scanner.setRegisterNamesAllowed(true);
  EXPECT_EQ(session.scanAll(), (Tokens{"1 R0", "1 FP", "1 SP", kEnd}));
}

TEST(ScannerTokens, StringChunksHoldEightCharactersEach) {
  SourceTree tree;
  tree.write("T.PAS", "'12345678' '123456789abcdefghi' ''");
  ScanSession session(tree, "T.PAS");
  const Scanner& scanner = session.compilation->scanner;
  using Chunks = std::vector<std::string_view>;
  session.scan(1);
  EXPECT_EQ(scanner.stringChunks(), (Chunks{"12345678"}));
  session.scan(1);
  EXPECT_EQ(scanner.stringChunks(), (Chunks{"12345678", "9abcdefg", "hi"}));
  session.scan(1);
  EXPECT_EQ(scanner.currentToken(), TokenCode::StringConst);
  EXPECT_TRUE(scanner.stringChunks().empty());
}

TEST(ScannerTokens, RealValueHoldsTheRoundedBytes) {
  SourceTree tree;
  tree.write("T.PAS", "3.14159265358979323846");
  ScanSession session(tree, "T.PAS");
  session.scan(1);
  EXPECT_EQ(session.compilation->scanner.realValue().bytes,
            (std::array<std::uint8_t, 6>{0x82, 0x21, 0xA2, 0xDA, 0x0F, 0x49}));
}

TEST(ScannerTokens, ReservedWordTableMatchesTheTokenCodes) {
  SourceTree tree;
  tree.write("T.PAS", "");
  ScanSession session(tree, "T.PAS");
  const Scanner& scanner = session.compilation->scanner;
  EXPECT_EQ(scanner.reservedWord(TokenCode::Do), "DO");
  EXPECT_EQ(scanner.reservedWord(TokenCode::Xor), "XOR");
  EXPECT_EQ(scanner.reservedWord(TokenCode::Nextof), "NEXTOF");
  EXPECT_EQ(scanner.reservedWord(TokenCode::Implementation), "IMPLEMENTATION");
  EXPECT_EQ(scanner.reservedWord(TokenCode::Semicolon), "");
}

// The caret of an error stands under the token read last: tokenColumn counts the
// characters before it on the line without its indentation.
struct CaretCase {
  std::string source;
  int error;
  int lineNumber;
  int column;  // 1-based on the line as written
  std::string savedLine;
  std::string caretLine;
};

void PrintTo(const CaretCase& c, std::ostream* out) { *out << ::testing::PrintToString(c.source); }

class ScannerErrorPosition : public ::testing::TestWithParam<CaretCase> {};

TEST_P(ScannerErrorPosition, PointsAtTheOffendingToken) {
  const CaretCase& c = GetParam();
  SourceTree tree;
  tree.write("T.PAS", c.source);
  ScanSession session(tree, "T.PAS");
  session.scanAll();
  ASSERT_EQ(session.errorNumber(), c.error);
  const SourceErrorReport& report = session.lastError();
  EXPECT_EQ(report.lineNumber, c.lineNumber);
  EXPECT_EQ(report.column, c.column);
  const std::vector<std::string> lines = tree.readLines("T.asm");
  const int at = findSequence(lines, {"", c.savedLine, c.caretLine});
  EXPECT_GE(at, 0) << ::testing::PrintToString(lines);
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ScannerErrorPosition,
    ::testing::Values(CaretCase{"x\n\t  a := #", 102, 2, 9, "a := #", "     ^"},
                      CaretCase{"    var r5 : integer;", 68, 1, 9, "var r5 : integer;", "    ^"},
                      CaretCase{"  s := 'abc", 55, 1, 8, "s := 'abc", "     ^"},
                      CaretCase{"$123456789", 45, 1, 1, "$123456789", "^"},
                      CaretCase{"  { x } y := 1e;", 45, 1, 14, "{ x } y := 1e;", "           ^"}));

}  // namespace
}  // namespace vorax::testing
