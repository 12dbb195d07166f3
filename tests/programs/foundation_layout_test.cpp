// Whole files for the smallest program and unit. Every expected line below was worked
// out by hand from the layout rules (echoed source lines, memory map, startup sequence,
// signature, main routine entry and exit, trailer), not copied from the compiler's
// output. The optimizer is switched off where the expectation is the unoptimized code.
#include <gtest/gtest.h>

#include "driver/compile_file.h"
#include "support/source_tree.h"

namespace vorax::testing {
namespace {

CompileOptions unoptimized() {
  CompileOptions options;
  options.localTier = false;
  options.blockTier = false;
  return options;
}

TEST(FoundationLayout, ProgramWithMemoryMapGivesEveryLineInOrder) {
  SourceTree tree;
  const auto result = compileSource(tree,
                                    "{$M $8000,$FF00,$100}\n"
                                    "PROGRAM DEMO;\n"
                                    "BEGIN\n"
                                    "END.\n",
                                    "DEMO.PAS", unoptimized());
  const std::vector<std::string> expected = {
      "; {$M $8000,$FF00,$100}",
      "; PROGRAM DEMO;",
      "\\ram\tequ\th'00008000",
      "\\stack\tequ\th'0000ff00",
      "\\rom\tequ\th'00000100",
      "\torg\t\\rom",
      "\tdl\tprogram,\\ram",
      "program:mov.l\tsp,\\ram",
      "\tmov.l\t#\\stack,sp",
      "\tbsr\t\\lnkfre",
      "\tbsr\t\\DEMO",
      "\tmov.l\t\\ram,sp",
      "\tbra\t\\halt",
      ";",
      "\tdb\t\"KESTRIL Ver 1.00  2026/12/07\"",
      "\\date:\tdb\t28,\"compiled: 2026/12/07 9:05:03\"",
      ";",
      "\torg\t($+15)/16*16",
      "; BEGIN",
      "\\DEMO:\tmov.l\t\\ram+12,r0",
      "\tmov.l\tr0,@-sp",
      "\tmov.l\tfp,@-sp",
      "\tmov.l\tsp,fp",
      "\tmov.l\tfp,\\ram+12",
      "\tmov.l\tfp,@-sp",
      "\tsub.l\t#24,sp",
      "; END.",
      "\tmov.l\tfp,sp",
      "\tmov.l\t@sp+,fp",
      "\tmov.l\t@sp+,r0",
      "\tmov.l\tr0,\\ram+12",
      "\trts",
      "\\eoc\tequ\t($+1)/2*2",
      "; (pas lines) 4",
      "; (asm lines) 18-0=18",
      "\tend",
  };
  EXPECT_EQ(result.lines, expected);
  ASSERT_EQ(result.host.messages.size(), 1U);
  EXPECT_EQ(result.host.messages[0].text, "コンパイル終了  0:00:00");
  EXPECT_EQ(result.host.messages[0].caption, "VORAX");
  EXPECT_TRUE(result.host.errors.empty());
}

TEST(FoundationLayout, ProgramWithoutMemoryMapStartsWithDefaultRam) {
  SourceTree tree;
  const auto result = compileSource(tree, "PROGRAM demo; BEGIN END.", "DEMO.PAS", unoptimized());
  const std::vector<std::string> head = {
      "; PROGRAM demo; BEGIN END.",
      "\\ram\tequ\t(\\eoc+1)/2*2",
      "\tdl\tprogram,\\ram",
      "program:bsr\t\\lnkfre",
      "\tbsr\t\\DEMO",
      "\tbra\t\\halt",
      ";",
  };
  ASSERT_GE(result.lines.size(), head.size());
  EXPECT_EQ(std::vector<std::string>(result.lines.begin(), result.lines.begin() + 7), head);
  const std::vector<std::string> tail = {
      "\trts", "\\eoc\tequ\t($+1)/2*2", "; (pas lines) 1", "; (asm lines) 15-0=15", "\tend",
  };
  EXPECT_EQ(std::vector<std::string>(result.lines.end() - 5, result.lines.end()), tail);
}

TEST(FoundationLayout, DateLineCountsTheCharactersBetweenItsQuotes) {
  SourceTree tree;
  for (int hour : {0, 9, 23}) {
    CompileResult result;
    result.host.clock.hour = hour;
    const auto path = tree.write("D.PAS", "PROGRAM D; BEGIN END.");
    compileFile(path.string(), result.host);
    const auto lines = tree.readLines("D.asm");
    int found = 0;
    for (const std::string& line : lines) {
      if (line.rfind("\\date:\tdb\t", 0) == 0) {
        const std::string rest = line.substr(10);
        const auto comma = rest.find(',');
        const std::string quoted = rest.substr(comma + 1);
        ASSERT_GE(quoted.size(), 2U);
        EXPECT_EQ(std::stoi(rest.substr(0, comma)), static_cast<int>(quoted.size()) - 2) << line;
        EXPECT_EQ(quoted.front(), '"');
        EXPECT_EQ(quoted.back(), '"');
        ++found;
      }
    }
    EXPECT_EQ(found, 1);
  }
}

TEST(FoundationLayout, UnitGetsSettingsSignatureWorkAreaAndNoEndOfCode) {
  SourceTree tree;
  const auto result = compileSource(tree,
                                    "{$M $8000,$FF00,$100}\n"
                                    "UNIT LEDS;\n"
                                    "INTERFACE\n"
                                    "IMPLEMENTATION\n"
                                    "END.\n",
                                    "LEDS.PAS", unoptimized());
  const std::vector<std::string> expected = {
      "; {$M $8000,$FF00,$100}",
      "; UNIT LEDS;",
      "; INTERFACE",
      "\\ram\tequ\th'00008000",
      "\\stack\tequ\th'0000ff00",
      "\\rom\tequ\th'00000100",
      "\torg\t\\rom",
      "\tdb\t\"KESTRIL Ver 1.00  2026/12/07\"",
      "\tdb\t28,\"compiled: 2026/12/07 9:05:03\"",
      ";",
      "\torg\t($+15)/16*16",
      "; IMPLEMENTATION",
      "LEDS.WORK\tequ\t\\stack",
      "; END.",
      "; (pas lines) 5",
      "; (asm lines) 0-0=0",
      "\tend",
  };
  EXPECT_EQ(result.lines, expected);
}

// The memory map counts until the heading has been read: up to the token after the
// program's name, up to INTERFACE in a unit.
TEST(FoundationLayout, MemoryMapInsideTheHeadingIsInTime) {
  SourceTree tree;
  const auto program = compileSource(
      tree, "PROGRAM DEMO {$M $8000,$FF00};\nVAR X: INTEGER;\nBEGIN END.", "DEMO.PAS");
  ASSERT_TRUE(program.host.errors.empty());
  EXPECT_GE(findSequence(program.lines, {"\\ram\tequ\th'00008000", "\\stack\tequ\th'0000ff00"}),
            0);
  EXPECT_GE(findSequence(program.lines, {"X\t\tequ\t\\stack-18"}), 0);
  const auto unit = compileSource(
      tree, "UNIT U; {$M $8000,$FF00}\nINTERFACE\nVAR X: BYTE;\nIMPLEMENTATION END.", "U.PAS");
  ASSERT_TRUE(unit.host.errors.empty());
  EXPECT_GE(findSequence(unit.lines, {"\\stack\tequ\th'0000ff00"}), 0);
  EXPECT_GE(findSequence(unit.lines, {"U.WORK\tequ\t\\stack"}), 0);
}

// Only a program gets the constant STACK from the memory map: a program may not declare
// its own, a unit may.
TEST(FoundationLayout, StackConstantBelongsToProgramsOnly) {
  SourceTree tree;
  const auto unit = compileSource(
      tree, "{$M $8000,$FF00}\nUNIT U; INTERFACE CONST STACK = 5; IMPLEMENTATION END.", "U.PAS");
  EXPECT_TRUE(unit.host.errors.empty());
  const auto program =
      compileSource(tree, "{$M $8000,$FF00}\nPROGRAM P; CONST STACK = 5; BEGIN END.", "P.PAS");
  ASSERT_EQ(program.host.errors.size(), 1U);
  EXPECT_EQ(program.host.errors[0].number, 43);
}

TEST(FoundationLayout, SecondCompilationInOneProcessGivesTheSameFile) {
  SourceTree tree;
  const std::string source = "{$M $8000,$FF00,$100}\nPROGRAM DEMO;\nBEGIN ; ;\nEND.\n";
  const auto first = compileSource(tree, source, "DEMO.PAS");
  // A compilation in between that changes every switch and ends in an error inside an
  // include file must leave nothing behind.
  tree.write("INC.pas", "{$C-}{$CPU 300L}{$U+}{$DEFINE X}{$M $10,$20,$30}{$IFDEF X}\n#");
  const auto other = compileSource(tree, "PROGRAM OTHER;\n{$I INC}", "OTHER.PAS");
  ASSERT_EQ(other.host.errors.size(), 1U);
  const auto second = compileSource(tree, source, "DEMO.PAS");
  EXPECT_FALSE(first.lines.empty());
  EXPECT_EQ(first.lines, second.lines);
}

}  // namespace
}  // namespace vorax::testing
