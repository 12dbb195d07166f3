// Start-up as on the chip, the empty program VORAX compiles, stopping at the step limit and
// the command line's exit statuses.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sim/command_line.h"
#include "sim_test_support.h"

namespace vorax::sim::testing {
namespace {

class EmptyProgramTest : public ::testing::TestWithParam<CpuModel> {};

TEST_P(EmptyProgramTest, WithoutMemoryMapHaltsWithStatusZero) {
  SimRun run =
      runFiles({{"DEMO.asm", readTestFile("empty_program.asm")}}, {"DEMO.asm"}, GetParam());
  EXPECT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.messages, "");
  // The main program restored \ram+12 and the stack pointer on its way out.
  EXPECT_EQ(run.cpu().er[7], Runtime::areaStart(GetParam()));
  uint32_t ram = static_cast<uint32_t>(run.symbol("\\ram"));
  EXPECT_EQ(ram, static_cast<uint32_t>((run.symbol("\\eoc") + 1) / 2 * 2));
  EXPECT_EQ(run.memory().read32(ram + 12), 0u);
}

TEST_P(EmptyProgramTest, WithMemoryMapHaltsWithStatusZero) {
  SimRun run = runFiles({{"DEMO.asm", readTestFile("empty_program_memory_map.asm")}}, {"DEMO.asm"},
                        GetParam());
  EXPECT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  // mov.l sp,\ram saved the start-up stack; mov.l \ram,sp brought it back.
  EXPECT_EQ(run.memory().read32(0x8000), Runtime::areaStart(GetParam()));
  EXPECT_EQ(run.cpu().er[7], Runtime::areaStart(GetParam()));
  EXPECT_EQ(run.symbol("\\DEMO") % 16, 0);
  EXPECT_GE(run.symbol("\\DEMO"), 0x100);
}

INSTANTIATE_TEST_SUITE_P(AllCpus, EmptyProgramTest, ::testing::ValuesIn(allCpus()));

TEST(StartupTest, MainProgramFrameMatchesTheLayout) {
  // Stop inside the main program: fp+4 holds the old \ram+12, fp+8 the return address.
  std::string text = readTestFile("empty_program_memory_map.asm");
  size_t at = text.find("\tsub.l\t#24,sp");
  ASSERT_NE(at, std::string::npos);
  text.insert(at,
              "\tmov.l\tfp,r5\n\tmov.l\t@(4,fp),r4\n\tmov.l\t@(8,fp),r3\n\tmov.l\t@(-4,fp),r2\n");
  SimRun run = runFiles({{"DEMO.asm", text}}, {"DEMO.asm"});
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.reg(5), 0xFF00u - 12);  // return address, old \ram+12, old fp
  EXPECT_EQ(run.reg(4), 0u);
  EXPECT_EQ(run.reg(2), run.reg(5));  // display entry 1 is the main frame itself
  uint32_t returnAddress = run.reg(3);
  const Instruction* after = run.simulator->image().findInstruction(returnAddress);
  ASSERT_NE(after, nullptr);
  EXPECT_NE(after->text.find("mov.l\t\\ram,sp"), std::string::npos);
}

TEST(StartupTest, ReturnAddressesAreTwoBytesOn300L) {
  SimRun run =
      runSnippet("mov.l sp,r1\nbsr SUB\nbra \\halt\nSUB:\tmov.l\tsp,r2\n\trts", CpuModel::H300L);
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.reg(1) - run.reg(2), 2u);
  SimRun wide = runSnippet("mov.l sp,r1\nbsr SUB\nbra \\halt\nSUB:\tmov.l\tsp,r2\n\trts");
  EXPECT_EQ(wide.reg(1) - wide.reg(2), 4u);
}

TEST(StartupTest, EndlessLoopStopsAtTheStepLimit) {
  SimRun run = runSnippet("$2:\tbra\t$2", CpuModel::H300H, "", 5000);
  EXPECT_EQ(run.status, ExitStatus::kStepLimit);
  EXPECT_NE(run.messages.find("step limit of 5000 instructions reached"), std::string::npos);
}

TEST(StartupTest, ExecutionOutsideTheCodeIsABadMemoryAccess) {
  SimRun run = runSnippet("mov.l #h'4000,r0\njmp @r0");
  EXPECT_EQ(run.status, ExitStatus::kBadMemoryAccess);
  EXPECT_NE(run.messages.find("no instruction was assembled"), std::string::npos);
}

TEST(StartupTest, OddWordAccessIsABadMemoryAccess) {
  SimRun run = runSnippet("mov.l #h'9001,r1\nmov.w @r1,r0");
  EXPECT_EQ(run.status, ExitStatus::kBadMemoryAccess);
  EXPECT_NE(run.messages.find("snippet.asm:5"), std::string::npos) << run.messages;
}

// The command line, with real files.
class CommandLineTest : public ::testing::Test {
 protected:
  std::string writeFile(const std::string& name, const std::string& text) {
    auto path = std::filesystem::temp_directory_path() /
                ("vorax_sim_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                 "_" + name);
    std::ofstream(path, std::ios::binary) << text;
    created_.push_back(path);
    return path.string();
  }
  void TearDown() override {
    for (const auto& path : created_) std::filesystem::remove(path);
  }
  int simulate(const std::vector<std::string>& args) {
    std::istringstream in;
    out_.str("");
    err_.str("");
    return simMain(args, in, out_, err_);
  }
  std::ostringstream out_;
  std::ostringstream err_;
  std::vector<std::filesystem::path> created_;
};

TEST_F(CommandLineTest, ExitStatusesAreDistinct) {
  std::string demo = std::string(VORAX_SOURCE_DIR) + "/tests/sim/empty_program.asm";
  EXPECT_EQ(simulate({"--cpu", "300L", demo}), 0);
  std::string loop = writeFile("loop.asm", "\tdl\tprogram,0\nprogram:\tbra\tprogram\n");
  EXPECT_EQ(simulate({"--max-steps", "100", loop}), static_cast<int>(ExitStatus::kStepLimit));
  std::string bad = writeFile("bad.asm", "\tnop\n\tfrob\tr0\n");
  EXPECT_EQ(simulate({bad}), static_cast<int>(ExitStatus::kAssemblyError));
  EXPECT_NE(err_.str().find("bad.asm:2: error: unknown mnemonic \"frob\""), std::string::npos);
  EXPECT_EQ(simulate({"/nonexistent/x.asm"}), static_cast<int>(ExitStatus::kAssemblyError));
  EXPECT_EQ(simulate({"--cpu", "68000", demo}), static_cast<int>(ExitStatus::kUsage));
  EXPECT_EQ(simulate({"--max-steps", "many", demo}), static_cast<int>(ExitStatus::kUsage));
  EXPECT_EQ(simulate({}), static_cast<int>(ExitStatus::kUsage));
}

TEST_F(CommandLineTest, FoldersAndDevicesAreNotAssemblyFiles) {
  // Read as files, a folder looked empty and /dev/zero never ended.
  std::string folder = std::filesystem::temp_directory_path().string();
  EXPECT_EQ(simulate({folder}), static_cast<int>(ExitStatus::kAssemblyError));
  EXPECT_NE(err_.str().find("can't read the file"), std::string::npos) << err_.str();
  std::string includer = writeFile("inc.asm", "\tdl\tprogram,0\n\tinclude\t/dev/zero\n");
  EXPECT_EQ(simulate({includer}), static_cast<int>(ExitStatus::kAssemblyError));
  EXPECT_NE(err_.str().find(":2: error: can't read the include file"), std::string::npos)
      << err_.str();
}

TEST_F(CommandLineTest, TracePrintsEachLineWithAddressAndRegisters) {
  std::string demo = std::string(VORAX_SOURCE_DIR) + "/tests/sim/empty_program.asm";
  ASSERT_EQ(simulate({"--trace", demo}), 0);
  std::string trace = err_.str();
  EXPECT_NE(trace.find("program:bsr \\lnkfre"), std::string::npos) << trace;
  EXPECT_NE(trace.find("[runtime \\lnkfre]"), std::string::npos);
  EXPECT_NE(trace.find(" er7=00ffff00"), std::string::npos);
  EXPECT_NE(trace.find("[runtime \\halt]"), std::string::npos);
}

}  // namespace
}  // namespace vorax::sim::testing

namespace vorax::sim::testing {
namespace {

// PROCEDURE P(A: INTEGER; VAR B: BYTE; C: BYTE); BEGIN B := A + C END; called as P(5, X, 7)
// from the main program, with the frame, display and shared exit the compiler writes.
TEST(FrameConventionTest, RoutineWithParametersAndSharedExit) {
  for (CpuModel cpu : allCpus()) {
    bool narrow = cpu == CpuModel::H300L;
    int base = narrow ? 6 : 8;  // saved fp plus the return address
    auto at = [&](int offset) { return "@(" + std::to_string(base + offset) + ",fp)"; };
    std::string body =
        "mov.l \\ram+12,r0\nmov.l r0,@-sp\nmov.l fp,@-sp\nmov.l sp,fp\nmov.l fp,\\ram+12\n"
        "mov.l fp,@-sp\nsub.l #24,sp\nmov.l sp,r4\nmov.l r4,@h'9100\n"
        "mov.w #5,r0\nmov.w r0,@-sp\nmov.l #h'9000,r0\nmov.l r0,@-sp\nmov.w #7,r0\n"
        "mov.w r0,@-sp\nbsr P.3\nmov.l sp,r5\nmov.l fp,sp\nmov.l @sp+,fp\nmov.l @sp+,r0\n"
        "mov.l r0,\\ram+12\nbra \\halt\n"
        "P.3:\tmov.b\t#1,r0\n\tbsr\t\\slset\n\tsub.l\t#16,sp\n\tmov.w\t" +
        at(6) + ",r0\n\tmov.b\t" + at(1) + ",r1\n\textu.w\tr1\n\tadd.w\tr1,r0\n\tmov.l\t" + at(2) +
        ",r2\n\tmov.b\tr0,@r2\n\tjmp\t\\exitp8\n"
        "\\exitp8:\tmov.l\tfp,sp\n\tmov.l\t@sp+,fp\n\t" +
        (narrow ? "mov.w" : "mov.l") + "\t@sp+,r1\n\tadds\t#4,sp\n\tadds\t#4,sp\n\tjmp\t@r1";
    SimRun run = runSnippet(body, cpu);
    ASSERT_EQ(run.status, ExitStatus::kHalted) << cpuModelName(cpu) << run.messages;
    EXPECT_EQ(run.memory().read8(0x9000), 12) << cpuModelName(cpu);
    EXPECT_EQ(run.reg(5), run.memory().read32(0x9100)) << cpuModelName(cpu);
    EXPECT_EQ(run.cpu().er[7], Runtime::areaStart(cpu)) << cpuModelName(cpu);
  }
}

}  // namespace
}  // namespace vorax::sim::testing
