// The assembler: encoded lengths, symbols and local-label scoping, data, errors.
#include "sim/assembler.h"

#include <gtest/gtest.h>

#include "sim_test_support.h"

namespace vorax::sim::testing {
namespace {

// Assembles `line` between two labels and returns the distance between them.
int64_t lengthOf(const std::string& line, CpuModel cpu, const std::string& after = "") {
  std::string text = "\torg\th'1000\nSTART:\n\t" + line + "\nFINISH:\tnop\n" + after;
  Assembler assembler(
      cpu, [cpu](const std::string& name) { return Runtime::symbolAddress(cpu, name); },
      [&text](const std::string&) -> std::optional<std::string> { return text; });
  if (!assembler.assemble({"length.asm"})) {
    ADD_FAILURE() << line << ": " << assembler.errors().front();
    return -1;
  }
  const auto& symbols = assembler.image().globalSymbols;
  return symbols.at("FINISH") - symbols.at("START");
}

struct LengthCase {
  const char* line;
  int length;
  CpuModel cpu = CpuModel::H300H;
};

class EncodedLengthTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(EncodedLengthTest, MatchesTheChip) {
  const LengthCase& c = GetParam();
  EXPECT_EQ(lengthOf(c.line, c.cpu, "LATER:\tnop\n"), c.length) << c.line;
}

const LengthCase kLengthCases[] = {
    {"mov.b r1,r0", 2},
    {"mov.b #1,r0", 2},
    {"mov.w #1,r0", 4},
    {"mov.l #1,r0", 6},
    {"mov.w @r1,r0", 2},
    {"mov.l @r1,r0", 4},
    {"mov.l @sp+,r0", 4},
    {"mov.w r0,@-sp", 2},
    {"mov.w @(4,fp),r0", 4},
    {"mov.l @(-4,fp),r0", 6},
    {"mov.w @(h'10000,r1),r0", 8},
    {"mov.l @(h'10000,r1),r0", 10},
    {"mov.b @h'ffff10,r0", 2},
    {"mov.w h'1000,r0", 4},
    {"mov.l h'1000,r0", 6},
    {"mov.w h'20000,r0", 6},
    {"mov.l h'20000,r0", 8},
    {"mov.w LATER,r0", 6},
    {"mov.w LATER,r0", 4, CpuModel::H300L},
    {"mov.l r0,LATER", 8},
    {"mov.l @(LATER,r1),r0", 10},
    {"mov.l @(LATER,r1),r0", 6, CpuModel::H300L},
    {"add.b #1,r0", 2},
    {"add.w #1,r0", 4},
    {"add.l #1,r0", 6},
    {"sub.w r1,r0", 2},
    {"cmp.l r1,r0", 2},
    {"and.w r1,r0", 2},
    {"and.l r1,r0", 4},
    {"xor.l #1,r0", 6},
    {"or.b #1,r0", 2},
    {"not.w r0", 2},
    {"extu.l r0", 2},
    {"inc.w #2,r0", 2},
    {"adds #4,sp", 2},
    {"shal.l #1,r0", 2},
    {"shll.w #2,r0", 2, CpuModel::H2000},
    {"mulxu.w r1,r0", 2},
    {"mulxs.w r1,r0", 4},
    {"divxu.b r1,r0", 2},
    {"divxs.w r1,r0", 4},
    {"bset #1,r0", 2},
    {"btst #1,@r1", 4},
    {"bclr #1,@h'ffff20", 4},
    {"bnot #1,@h'1000", 6, CpuModel::H2000},
    {"bnot #1,@h'20000", 8, CpuModel::H2000},
    {"bra START", 2},
    {"bra LATER", 4},
    {"bsr \\mul", 4},
    {"jsr @r1", 2},
    {"jmp LATER", 4},
    {"rts", 2},
    {"trapa #0", 2},
    {"stm (r0-r3),@-sp", 4, CpuModel::H2000},
    {"ldm @sp+,(r4-r6)", 4, CpuModel::H2000},
    {"lea @(4,fp),r0", 8},
    {"lea @(4,r0),r0", 6},
    {"lea LATER,r2", 6},
    {"lea @r3,r2", 2},
    {"db 1,2,'abcd'", 6},
    {"dw 1,2", 4},
    {"dl START", 4},
};

INSTANTIATE_TEST_SUITE_P(Forms, EncodedLengthTest, ::testing::ValuesIn(kLengthCases));

TEST(AssemblerTest, AlignsWithOrgExpressionsAndEquates) {
  SimRun run = runSnippet(
      "\tbra\tNEXT\n\tdb\t1,2,3\n\torg\t($+15)/16*16\nNEXT:\tmov.l\t#HERE,r0\n"
      "HERE\tequ\t$\nTWICE\tequ\t(HERE-NEXT)*2+h'10");
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  int64_t next = run.symbol("NEXT");
  EXPECT_EQ(next % 16, 0);
  EXPECT_EQ(run.symbol("HERE"), next + 6);  // mov.l #imm is 6 bytes
  EXPECT_EQ(run.symbol("TWICE"), 28);
  EXPECT_EQ(run.reg(0), static_cast<uint32_t>(next + 6));
}

TEST(AssemblerTest, DataLinesPlaceBytesBigEndian) {
  SimRun run = runSnippet(
      "\tbra\tSKIP\nDATA:\tdb\t\"It's\",'\"',  7\n\tdw\th'1234,-1\n\tdl\tDATA\nSKIP:\tnop");
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  uint32_t data = static_cast<uint32_t>(run.symbol("DATA"));
  const char expected[] = {'I', 't', '\'', 's', '"', 7, 0x12, 0x34, '\xff', '\xff'};
  for (size_t i = 0; i < sizeof expected; ++i) {
    EXPECT_EQ(run.memory().read8(data + static_cast<uint32_t>(i)),
              static_cast<uint8_t>(expected[i]))
        << i;
  }
  EXPECT_EQ(run.memory().read32(data + 10), data);
}

TEST(AssemblerTest, LocalLabelsBelongToTheStretchBetweenGlobalLabels) {
  // Both routines use $2; each branch must reach the label of its own routine.
  SimRun run = runSnippet(
      "\tbsr\tFIRST.3\n\tbsr\tSECOND.9\n\tbra\t\\halt\n"
      "FIRST.3:\tbra\t$2\n\tmov.w\t#99,r1\n$2:\tinc.w\t#1,r1\n\trts\n"
      "SECOND.9:\tbra\t$2\n\tmov.w\t#77,r2\n$2:\tinc.w\t#2,r2\n\trts");
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.reg(1, 2), 1u);
  EXPECT_EQ(run.reg(2, 2), 2u);
}

TEST(AssemblerTest, LocalLabelOfAnotherRoutineIsUndefined) {
  auto errors = assemblyErrors("A:\tnop\n$5:\tnop\nB:\tbra\t$5\n");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "test.asm:3: error: undefined symbol \"$5\"");
}

TEST(AssemblerTest, IncludeReadsTheFileBesideTheIncludingFile) {
  SimRun run =
      runFiles({{"dir/main.asm",
                 "\tdl\tprogram,\\ram\nprogram:\tbsr\t\\lnkfre\n\tinclude\tSUB.ASM\n\tbsr\tHELPER\n"
                 "\tbra\t\\halt\n\\ram\tequ\th'8000\n"},
                {"dir/SUB.ASM", "\tbra\tSKIP\nHELPER:\tmov.w\t#42,r3\n\trts\nSKIP:\tnop\n"}},
               {"dir/main.asm"});
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.reg(3, 2), 42u);
}

TEST(AssemblerTest, UnitsLinkIntoOneSymbolSpace) {
  SimRun run = runFiles(
      {{"prog.asm",
        "\tdl\tprogram,\\ram\nprogram:\tbsr\t\\lnkfre\n\tbsr\tIO.DOUBLE\n\tbra\t\\halt\n"
        "\\ram\tequ\th'8000\n\tend\n"},
       {"io.asm", "\torg\t($+15)/16*16\nIO.DOUBLE:\tmov.w\t#21,r0\n\tshal.w\t#1,r0\n\trts\n"}},
      {"prog.asm", "io.asm"});
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.reg(0, 2), 42u);
}

struct ErrorCase {
  const char* text;
  const char* message;
  CpuModel cpu = CpuModel::H300H;
  int line = 2;
};

class AssemblyErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(AssemblyErrorTest, ReportsFileAndLine) {
  const ErrorCase& c = GetParam();
  auto errors = assemblyErrors(std::string("START:\tnop\n") + c.text + "\n", c.cpu);
  ASSERT_FALSE(errors.empty()) << c.text;
  std::string where = "test.asm:" + std::to_string(c.line) + ": error: ";
  EXPECT_EQ(errors[0].rfind(where, 0), 0u) << errors[0];
  EXPECT_NE(errors[0].find(c.message), std::string::npos) << errors[0];
}

const ErrorCase kErrorCases[] = {
    {"\tbcx\t@3", "unknown mnemonic \"bcx\""},
    {"\tmove.w\tr0,r1", "unknown mnemonic"},
    {"\tmov.q\tr0,r1", "unknown mnemonic"},
    {"\tsub.b\t#1,r0", "byte subtraction has no immediate form"},
    {"\tbset\t#1,@(2,fp)", "no bit instruction on @(d,ERn)"},
    {"\tbclr\t#1,@h'1000", "outside @aa:8"},
    {"\tstm\t(r0-r3),@-sp", "2000 only"},
    {"\tshal.w\t#2,r0", "2000 only"},
    {"\tinc.b\t#2,r0", "byte step is 1 only"},
    {"\tadds\t#3,r0", "step must be 1, 2 or 4"},
    {"\textu.b\tr0", "size not available"},
    {"\tmov.b\t@-sp,r0", "destination only"},
    {"\tmov.w\tr0,@sp+", "source only"},
    {"\tmov.w\t#1,@r1", "memory destination needs a register"},
    {"\tmov.w\t@r1,@r2", "memory destination needs a register"},
    {"\tadd.w\t@r1,r0", "source must be a register or an immediate"},
    {"\tmov.b\t#256,r0", "immediate out of range"},
    {"\tmov.w\t#-32769,r0", "immediate out of range"},
    {"\ttrapa\t#4", "#0 to #3"},
    {"\tbra\tNOWHERE", "undefined symbol \"NOWHERE\""},
    {"START:\tnop", "duplicate label \"START\" (first defined at test.asm:1)"},
    {"\tmov.w\t#(1+,r0", "expression"},
    {"\tmov.w\tr0", "wrong number of operands"},
    {"\tinclude\tMISSING.ASM", "can't read the include file"},
    {"\tdb\t1\n\tnop", "instruction at an odd address", CpuModel::H300H, 3},
    {"\tdw\t70000", "data value out of range"},
    {"X\tequ\tX+1\n\tmov.w\t#X,r0", "refers to itself", CpuModel::H300H, 3},
};

INSTANTIATE_TEST_SUITE_P(Malformed, AssemblyErrorTest, ::testing::ValuesIn(kErrorCases));

TEST(AssemblerLimitsTest, LongOperatorChainIsAnErrorNotACrash) {
  // A chain of operators builds a tree as deep as the chain; evaluating and freeing one of
  // a few hundred thousand terms overflowed the host stack.
  std::string sum = "1";
  for (int i = 0; i < 300000; ++i) sum += "+1";
  auto errors = assemblyErrors("START:\tmov.l\t#" + sum + ",r0\n");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("test.asm:1: error: expression too long", 0), 0u);
  // A long but reasonable chain still works.
  std::string terms = "0";
  for (int i = 0; i < 500; ++i) terms += "+2-1";
  SimRun run = runSnippet("mov.l #" + terms + ",r0");
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.reg(0), 500u);
}

}  // namespace
}  // namespace vorax::sim::testing

namespace vorax::sim::testing {
namespace {

TEST(AssemblerLayoutTest, LongLabelOnItsOwnLineNamesTheNextInstruction) {
  SimRun run =
      runSnippet("bsr SUBROUTINE.123\nbra \\halt\nSUBROUTINE.123:\t\n\tmov.w\t#7,r3\n\trts");
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.reg(3, 2), 7u);
  const Instruction* ins =
      run.simulator->image().findInstruction(static_cast<uint32_t>(run.symbol("SUBROUTINE.123")));
  ASSERT_NE(ins, nullptr);
  EXPECT_EQ(ins->op, Op::Mov);
}

TEST(AssemblerLayoutTest, ShiftJisBytesPassThroughDataAndConsole) {
  // "あ" in CP932 is 82 a0; the bytes reach the console unchanged.
  SimRun run =
      runSnippet("bsr \\lodsi\ndb 3,'\x82\xa0!'\nmov.l #\\con,r0\nmov.l r0,@-sp\nbsr \\writes");
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.output, "\x82\xa0!");
}

TEST(AssemblerLayoutTest, CrLfLinesAndCommentsAreAccepted) {
  auto errors = assemblyErrors("; comment\r\nA:\tnop\t; trailing\r\n\tdb\t';',0\r\n\r\n");
  EXPECT_TRUE(errors.empty()) << errors.front();
}

}  // namespace
}  // namespace vorax::sim::testing
