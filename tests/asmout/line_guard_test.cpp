// The check every line passes on its way out: instructions the processors have, in the
// operand forms they have them, and nothing else.
#include "asmout/line_guard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "asmout/peephole_window.h"
#include "diag/diagnostics.h"
#include "support/emit_fixture.h"

namespace vorax {
namespace {

using testing::EmitFixture;

WindowLine lineOf(const std::string& mnemonic, const std::string& source = "",
                  const std::string& destination = "") {
  WindowLine line;
  line.mnemonic = mnemonic;
  line.source = source;
  line.destination = destination;
  return line;
}

struct GuardCase {
  const char* mnemonic;
  const char* source;
  const char* destination;
};

constexpr TargetCpu kAllCpus[] = {TargetCpu::H8_300H, TargetCpu::H8_300L, TargetCpu::H8_2000};

// What the code generators and the rules write, on every processor.
TEST(LineGuard, AcceptsTheFormsTheCompilerWrites) {
  const GuardCase cases[] = {
      {"mov.w", "@(4,fp)", "r0"},      {"mov.l", "r0", "@-sp"},
      {"mov.l", "@sp+", "r1"},         {"mov.b", "#255", "r2"},
      {"mov.b", "#-128", "r2"},        {"mov.w", "#65535", "r3"},
      {"mov.l", "#h'0000a000", "r0"},  {"mov.l", "#\\ram+12", "r0"},
      {"mov.w", "r1", "TABLE.3+12000"}, {"mov.w", "@(TABLE.3+2,r1)", "r0"},
      {"mov.l", "fp", "sp"},           {"mov.b", "@h'00ffff00", "r0"},
      {"add.b", "#1", "r0"},           {"sub.w", "#300", "r1"},
      {"sub.l", "#16", "sp"},          {"cmp.b", "#200", "r0"},
      {"and.w", "r1", "r2"},           {"xor.l", "r3", "r3"},
      {"not.b", "r0", ""},             {"neg.l", "r4", ""},
      {"extu.w", "r0", ""},            {"exts.l", "r1", ""},
      {"inc.b", "#1", "r0"},           {"dec.w", "#2", "r5"},
      {"adds", "#4", "sp"},            {"subs", "#1", "r2"},
      {"shll.w", "#1", "r0"},          {"shar.l", "r1", ""},
      {"mulxu.w", "r1", "r0"},         {"divxs.b", "r2", "r3"},
      {"bset", "#7", "r0"},            {"btst", "r1", "@r2"},
      {"bclr", "#0", "@h'00ffffd6"},   {"bra", "$12", ""},
      {"bsr", "\\slset", ""},          {"beq", "A_ROUTINE.10003", ""},
      {"jmp", "@r1", ""},              {"jsr", "\\exitw4", ""},
      {"rts", "", ""},                 {"nop", "", ""},
      {"trapa", "#0", ""},             {"lea", "@(-20,fp)", "r0"},
      {"db", "  3,'big'", ""},         {"dl", "$3,$4", ""},
      {"org", "($+15)/16*16", ""},     {"include", "FOO.asm", ""},
  };
  for (const TargetCpu cpu : kAllCpus) {
    for (const GuardCase& c : cases) {
      EXPECT_EQ(refusedForm(lineOf(c.mnemonic, c.source, c.destination), cpu), "")
          << c.mnemonic << " " << c.source << "," << c.destination;
    }
  }
}

// Forms no processor of the family has, and texts that name no register.
TEST(LineGuard, RefusesWhatNoProcessorHas) {
  const GuardCase cases[] = {
      {"mov.w", "@r5", "rx"},          // the register pool's old "no register" answer
      {"mulxs.w", "rx", "r4"},         {"mov.w", "r0", "@(10,rx)"},
      {"mov.w", "@r1", "@r2"},         // memory to memory
      {"mov.b", "#1", "@r2"},          // immediate into memory
      {"mov.b", "@-sp", "r0"},         // pre-decrement read
      {"mov.l", "r0", "@sp+"},         // post-increment written
      {"mov.b", "#256", "r0"},         {"mov.w", "#65536", "r0"},
      {"sub.b", "#1", "r0"},           {"add.w", "@r1", "r0"},
      {"and.b", "#1", "@r2"},          {"inc.b", "#2", "r0"},
      {"dec.w", "#3", "r0"},           {"adds", "#3", "sp"},
      {"subs", "#8", "r1"},            {"extu.b", "r0", ""},
      {"shll.w", "#3", "r0"},          {"mulxu.l", "r1", "r0"},
      {"bset", "#8", "r0"},            {"bclr", "#1", "@(2,r3)"},
      {"bra", "r0", ""},               {"trapa", "#4", ""},
      {"rts", "r0", ""},               {"bcx", "@7", ""},
      {"bcc", "@7", ""},               // a WITH marker left in place
      {"neop", "", ""},                {"mov", "r0", "r1"},
      {"mov.q", "r0", "r1"},
  };
  for (const TargetCpu cpu : kAllCpus) {
    for (const GuardCase& c : cases) {
      EXPECT_NE(refusedForm(lineOf(c.mnemonic, c.source, c.destination), cpu), "")
          << c.mnemonic << " " << c.source << "," << c.destination;
    }
  }
}

// The 2000 adds two-bit shifts, stm and ldm, and bit instructions on any absolute address.
TEST(LineGuard, SomeFormsNeedThe2000) {
  const GuardCase cases[] = {
      {"shal.w", "#2", "r0"},
      {"stm", "(r0-r3)", "@-sp"},
      {"ldm", "@sp+", "(r4-r6)"},
      {"bset", "#1", "@h'0000f000"},
  };
  for (const GuardCase& c : cases) {
    const WindowLine line = lineOf(c.mnemonic, c.source, c.destination);
    EXPECT_EQ(refusedForm(line, TargetCpu::H8_2000), "") << c.mnemonic;
    EXPECT_NE(refusedForm(line, TargetCpu::H8_300H), "") << c.mnemonic;
    EXPECT_NE(refusedForm(line, TargetCpu::H8_300L), "") << c.mnemonic;
  }
  EXPECT_NE(refusedForm(lineOf("stm", "(r0-r3)", "@r1"), TargetCpu::H8_2000), "");
}

// A refused line ends the compilation with internal error 970: the lines before it are
// written, the refused one only as a comment, and nothing after it.
TEST(LineGuard, RefusedLineEndsTheCompilation) {
  CompileOptions options = testing::pipelineOnly();
  options.guardLines = true;
  EmitFixture f(options);
  f.emitAll({"mov.l @(8,fp),r5", "mov.w @r5,rx", "mov.w rx,@r0"});
  EXPECT_THROW(f.emitter().flushWindow(), tokeninvalid);
  ASSERT_EQ(f.host().errors.size(), 1u);
  EXPECT_EQ(f.host().errors[0].number, kRefusedInstruction);
  const std::vector<std::string> written = f.writtenLines();
  ASSERT_GE(written.size(), 2u);
  EXPECT_EQ(written[0], "\tmov.l\t@(8,fp),r5");
  EXPECT_EQ(written[1].rfind(";! \tmov.w\t@r5,rx", 0), 0u) << written[1];
  for (const std::string& line : written) {
    EXPECT_EQ(line.find("\tmov.w\trx"), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace vorax
