#include "source/directives.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/scan_session.h"

namespace vorax::testing {
namespace {

using Tokens = std::vector<std::string>;
const std::string kEnd = "error 91";

std::string describe(const DirectiveSettings& s) {
  return std::string("C") + (s.echoSourceSwitch ? "+" : "-") + " CPU" + (s.cpu300H ? " 300H" : "") +
         (s.cpu300L ? " 300L" : "") + (s.cpu2000 ? " 2000" : "") + " D" + (s.switchD ? "+" : "-") +
         " I" + (s.switchI ? "+" : "-") + " V" + (s.switchV ? "+" : "-") + " U" +
         (s.unusedReportSwitch ? "+" : "-") + " M[" + s.ramSetting + "," + s.stackSetting + "," +
         s.romSetting + "," + std::to_string(s.romAddress) + "]";
}

struct SettingCase {
  std::string name;
  std::string source;  // followed by the token x
  std::function<void(DirectiveSettings&)> expect;
};

void PrintTo(const SettingCase& c, std::ostream* out) { *out << c.name; }

class DirectiveSettingsTest : public ::testing::TestWithParam<SettingCase> {};

// Echo is on at the start of a compilation; the session turns it off, so every case
// starts from C-.
TEST_P(DirectiveSettingsTest, ChangesOnlyItsOwnSetting) {
  SourceTree tree;
  tree.write("T.PAS", GetParam().source + " x");
  ScanSession session(tree, "T.PAS");
  EXPECT_EQ(session.scanAll(), (Tokens{"1 X", kEnd}));
  DirectiveSettings expected;
  expected.echoSourceSwitch = false;
  GetParam().expect(expected);
  EXPECT_EQ(describe(session.compilation->directives.settings()), describe(expected));
}

INSTANTIATE_TEST_SUITE_P(
    Switches, DirectiveSettingsTest,
    ::testing::Values(
        SettingCase{"EchoOn", "{$C+}", [](DirectiveSettings& s) { s.echoSourceSwitch = true; }},
        SettingCase{"EchoOnLowerCase", "{$c+}",
                    [](DirectiveSettings& s) { s.echoSourceSwitch = true; }},
        SettingCase{"EchoOffAndOn", "{$C+}{$C-}", [](DirectiveSettings&) {}},
        SettingCase{"ParenStarForm", "(*$C+*)",
                    [](DirectiveSettings& s) { s.echoSourceSwitch = true; }},
        SettingCase{"D", "{$D+}", [](DirectiveSettings& s) { s.switchD = true; }},
        SettingCase{"I", "{$I+}", [](DirectiveSettings& s) { s.switchI = true; }},
        SettingCase{"IOnAndOff", "{$I+}{$I-}", [](DirectiveSettings&) {}},
        SettingCase{"V", "{$V-}", [](DirectiveSettings& s) { s.switchV = false; }},
        SettingCase{"U", "{$U+}", [](DirectiveSettings& s) { s.unusedReportSwitch = true; }},
        SettingCase{"Cpu300L", "{$CPU 300L}",
                    [](DirectiveSettings& s) {
                      s.cpu300H = false;
                      s.cpu300L = true;
                    }},
        SettingCase{"Cpu2000", "{$cpu  2000 }",
                    [](DirectiveSettings& s) {
                      s.cpu300H = false;
                      s.cpu2000 = true;
                    }},
        SettingCase{"Cpu300HLowerCase", "{$CPU 300L}{$CPU 300h}", [](DirectiveSettings&) {}},
        SettingCase{"IgnoredLetters", "{$Q+}{$Z foo}{$R-}{$DX}{$EX}{$MX 5}{$ 5}{$}",
                    [](DirectiveSettings&) {}},
        SettingCase{"OrdinaryComments", "{C+}(*V-*){ $U+}", [](DirectiveSettings&) {}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    MemoryMap, DirectiveSettingsTest,
    ::testing::Values(SettingCase{"AllThree", "{$M $8000,$FF00,$100}",
                                  [](DirectiveSettings& s) {
                                    s.ramSetting = "h'00008000";
                                    s.stackSetting = "h'0000ff00";
                                    s.romSetting = "h'00000100";
                                    s.romAddress = 0x100;
                                  }},
                      SettingCase{"ZeroIsNotGiven", "{$M 0,$FF00}",
                                  [](DirectiveSettings& s) { s.stackSetting = "h'0000ff00"; }},
                      SettingCase{"MemWithDecimal", "{$mem 4096 }",
                                  [](DirectiveSettings& s) { s.ramSetting = "h'00001000"; }},
                      SettingCase{"HighestAddress", "{$M $FFFFFF}",
                                  [](DirectiveSettings& s) { s.ramSetting = "h'00ffffff"; }},
                      SettingCase{"HighestAddressOf300L", "{$CPU 300L}{$M $FFFF,$FF00,$100}",
                                  [](DirectiveSettings& s) {
                                    s.cpu300H = false;
                                    s.cpu300L = true;
                                    s.ramSetting = "h'0000ffff";
                                    s.stackSetting = "h'0000ff00";
                                    s.romSetting = "h'00000100";
                                    s.romAddress = 0x100;
                                  }},
                      SettingCase{"ParenStarForm", "(*$M $10,$20*)",
                                  [](DirectiveSettings& s) {
                                    s.ramSetting = "h'00000010";
                                    s.stackSetting = "h'00000020";
                                  }},
                      SettingCase{"ValueThatIsNoInteger", "{$M X,$20}", [](DirectiveSettings&) {}},
                      SettingCase{"OtherWord", "{$MAP $10}", [](DirectiveSettings&) {}}),
    [](const auto& info) { return info.param.name; });

struct ConditionalCase {
  std::string name;
  std::string source;
  Tokens tokens;
};

void PrintTo(const ConditionalCase& c, std::ostream* out) { *out << c.name; }

class ConditionalCompilation : public ::testing::TestWithParam<ConditionalCase> {};

TEST_P(ConditionalCompilation, DropsTheInactiveText) {
  EXPECT_EQ(tokensOf(GetParam().source), GetParam().tokens);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConditionalCompilation,
    ::testing::Values(
        ConditionalCase{
            "IfdefDefined", "{$DEFINE X} {$IFDEF X} a {$ELSE} b {$ENDIF} c", {"1 A", "1 C", kEnd}},
        ConditionalCase{
            "IfdefUndefined", "{$IFDEF Y} a {$ELSE} b {$ENDIF} c", {"1 B", "1 C", kEnd}},
        ConditionalCase{
            "IfndefUndefined", "{$IFNDEF Y} a {$ELSE} b {$ENDIF} c", {"1 A", "1 C", kEnd}},
        ConditionalCase{
            "IfndefDefined", "{$define y}{$ifndef Y} a {$else} b {$endif} c", {"1 B", "1 C", kEnd}},
        ConditionalCase{"WithoutElse", "{$IFDEF Y} a b {$ENDIF} c", {"1 C", kEnd}},
        ConditionalCase{"DroppedTextSpansLinesAndComments",
                        "{$IFDEF Y}\n a { } (* *) // x\n 'str' 1.5 $ff\n{$ENDIF} c",
                        {"1 C", kEnd}},
        ConditionalCase{"NestedInActiveText",
                        "{$DEFINE A} {$IFDEF A} a {$IFDEF B} b {$ELSE} c {$ENDIF} d {$ENDIF} e",
                        {"1 A", "1 C", "1 D", "1 E", kEnd}},
        // The inner conditional opens a level of its own even though its text is dropped,
        // so its ELSE and ENDIF belong to it.
        ConditionalCase{"NestedInDroppedText",
                        "{$IFDEF N} a {$IFDEF M} b {$ELSE} c {$ENDIF} d {$ELSE} e {$ENDIF} f",
                        {"1 E", "1 F", kEnd}},
        ConditionalCase{"NestedIfndefInDroppedText",
                        "{$IFDEF N} {$IFNDEF M} b {$ENDIF} c {$ENDIF} f",
                        {"1 F", kEnd}},
        ConditionalCase{
            "OtherDirectivesAreNotObeyedInDroppedText",
            "{$IFDEF N} {$DEFINE Z} {$I NOFILE} {$IFXYZ} {$ENDIF} {$IFDEF Z} z {$ENDIF} f",
            {"1 F", kEnd}},
        ConditionalCase{
            "SevenLevels",
            "{$DEFINE A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}"
            " a {$ENDIF}{$ENDIF}{$ENDIF}{$ENDIF}{$ENDIF}{$ENDIF}{$ENDIF} b",
            {"1 A", "1 B", kEnd}},
        ConditionalCase{
            "SymbolsSignificantTo23Characters",
            "{$DEFINE A_VERY_LONG_SYMBOL_NAME_1234} {$IFDEF A_VERY_LONG_SYMBOL_NAME_1234} a "
            "{$ENDIF} {$IFDEF A_VERY_LONG_SYMBOL_NAME_XYZ} b {$ENDIF}",
            {"1 A", "1 B", kEnd}},
        ConditionalCase{
            "DirectiveCutShortKeepsItsClose", "{$IFDEF}{$ENDIF} x {$E} y", {"1 X", "1 Y", kEnd}},
        ConditionalCase{"ElseAtLineStartAfterDroppedLines",
                        "{$IFDEF N}\na\n{$ELSE}\nb\n{$ENDIF}\nc",
                        {"1 B", "1 C", kEnd}},
        ConditionalCase{"SourceEndingInsideAConditional", "{$IFDEF N} a", {kEnd}}),
    [](const auto& info) { return info.param.name; });

TEST(ConditionalCompilation, ErrorsInDroppedTextAreStillReported) {
  EXPECT_EQ(tokensOf("{$IFDEF N} # {$ENDIF} x"), (Tokens{"error 102"}));
  EXPECT_EQ(tokensOf("{$IFDEF N} r5 {$ENDIF} x"), (Tokens{"error 68"}));
  EXPECT_EQ(tokensOf("{$IFDEF N} 'abc\n{$ENDIF} x"), (Tokens{"error 55"}));
}

TEST(ConditionalCompilation, DefineLeavesTheFollowingTokenIntact) {
  SourceTree tree;
  tree.write("T.PAS", "{$DEFINE SYM}x {$DEFINE OTHER} y");
  ScanSession session(tree, "T.PAS");
  EXPECT_EQ(session.scanAll(), (Tokens{"1 X", "1 Y", kEnd}));
  const Directives& directives = session.compilation->directives;
  EXPECT_TRUE(directives.isConditionalSymbolDefined("SYM"));
  EXPECT_TRUE(directives.isConditionalSymbolDefined("OTHER"));
  EXPECT_FALSE(directives.isConditionalSymbolDefined("X"));
}

TEST(MemoryMapDirective, ValueReaderCanBeReplaced) {
  SourceTree tree;
  tree.write("T.PAS", "{$M 1 + 2, 7} x");
  ScanSession session(tree, "T.PAS");
  // A reader that adds up "a + b", as a constant-expression reader would.
  session.compilation->directives.setMemoryValueReader([](Compilation& c) {
    std::int32_t sum = 0;
    do {
      c.scanner.nextToken();
      sum += c.scanner.integerValue();
      c.scanner.nextToken();
    } while (c.scanner.currentToken() == TokenCode::Plus);
    return sum;
  });
  EXPECT_EQ(session.scanAll(), (Tokens{"1 X", kEnd}));
  EXPECT_EQ(session.compilation->directives.settings().ramSetting, "h'00000003");
  EXPECT_EQ(session.compilation->directives.settings().stackSetting, "h'00000007");
}

struct DirectiveErrorCase {
  std::string source;
  int error;
  int column;  // 1-based on the line as written
};

void PrintTo(const DirectiveErrorCase& c, std::ostream* out) {
  *out << ::testing::PrintToString(c.source);
}

class DirectiveErrors : public ::testing::TestWithParam<DirectiveErrorCase> {};

TEST_P(DirectiveErrors, ReportTheNumberAtTheDirective) {
  const DirectiveErrorCase& c = GetParam();
  SourceTree tree;
  tree.write("T.PAS", c.source);
  ScanSession session(tree, "T.PAS");
  session.scanAll();
  ASSERT_EQ(session.errorNumber(), c.error);
  EXPECT_EQ(session.lastError().column, c.column);
  const std::vector<std::string> lines = tree.readLines("T.asm");
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(
      lines[lines.size() - 4],
      std::string(static_cast<std::size_t>(c.column - 1 - session.lastError().indentation), ' ') +
          "^");
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, DirectiveErrors,
    ::testing::Values(
        DirectiveErrorCase{"{$DEFINE X} {$DEFINE X}", 43, 22},
        DirectiveErrorCase{"{$DEFINE X} {$DEFINE  x }", 43, 23},
        DirectiveErrorCase{"  {$IFXYZ}", 64, 3}, DirectiveErrorCase{"x {$IFOPT I+}", 64, 3},
        DirectiveErrorCase{"x {$CPU 68K}", 65, 3}, DirectiveErrorCase{"x {$CPU}", 65, 3},
        DirectiveErrorCase{"a\n  {$ELSE}", 64, 3}, DirectiveErrorCase{"{$ENDIF}", 64, 1},
        DirectiveErrorCase{"{$IFDEF A} {$ENDIF} {$ENDIF}", 64, 21},
        DirectiveErrorCase{"{$DEFINE}", 64, 9},
        DirectiveErrorCase{"{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}{$IFDEF A}"
                           "{$IFDEF A}{$IFDEF A}",
                           98, 71},
        DirectiveErrorCase{"{$I NOFILE}", 100, 1}, DirectiveErrorCase{"x\n {$L }", 64, 2},
        // Memory-map values are addresses of the CPU: 24 bits, 16 on a 300L.
        DirectiveErrorCase{"{$M $FFFFFFFF,$FFFFFFFF,$FFFFFFFF}", 45, 14},
        DirectiveErrorCase{"{$M $1000000}", 45, 13},
        DirectiveErrorCase{"{$M $8000,$1000000}", 45, 19},
        DirectiveErrorCase{"{$M $8000,$FF00,$1000000}", 45, 25},
        DirectiveErrorCase{"{$CPU 300L} {$M $8000,$10000}", 45, 29},
        DirectiveErrorCase{"{$M $8000,$10000,$100} {$CPU 300L}", 45, 24},
        // DEFINE reads its name as a token, so a directive may stand inside it; a ninth
        // level is refused before the nesting can exhaust the stack.
        DirectiveErrorCase{"{$DEFINE {$DEFINE {$DEFINE {$DEFINE {$DEFINE {$DEFINE {$DEFINE "
                           "{$DEFINE {$DEFINE A",
                           98, 73}));

TEST(DirectiveNesting, DirectivesInsideADefineAreReadAndEndTheirOwnComments) {
  EXPECT_EQ(tokensOf("{$DEFINE {$DEFINE A} B} {$IFDEF A} x {$ENDIF} {$IFDEF B} y {$ENDIF} z"),
            (Tokens{"1 X", "1 Y", "1 Z", kEnd}));
}

TEST(DirectiveNesting, ASourceOfEndlesslyNestedDirectivesIsRefusedNotFollowed) {
  std::string source;
  for (int i = 0; i < 100000; ++i) {
    source += "{$DEFINE\n";
  }
  EXPECT_EQ(tokensOf(source), (Tokens{"error 98"}));
}

}  // namespace
}  // namespace vorax::testing
