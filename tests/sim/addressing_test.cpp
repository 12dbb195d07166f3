// Every addressing mode of the dialect, read and written, on every CPU.
#include <gtest/gtest.h>

#include "sim_test_support.h"

namespace vorax::sim::testing {
namespace {

struct ModeCase {
  const char* name;
  const char* body;
  int reg;
  uint32_t value;
};

class AddressingTest : public ::testing::TestWithParam<std::tuple<ModeCase, CpuModel>> {};

TEST_P(AddressingTest, ReachesTheRightBytes) {
  const auto& [c, cpu] = GetParam();
  SimRun run = runSnippet(
      std::string("bra SKIP\nTABLE:\tdw\th'1122,h'3344,h'5566,h'7788\nSKIP:\tmov.l\t#TABLE,r1\n") +
          c.body,
      cpu);
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.reg(c.reg), c.value);
}

const ModeCase kModes[] = {
    {"RegisterByteIsLowByte", "mov.l #h'aabbccdd,r0\nmov.b #h'11,r0", 0, 0xAABBCC11},
    {"RegisterWordIsLowWord", "mov.l #h'aabbccdd,r0\nmov.w #h'1122,r0", 0, 0xAABB1122},
    {"Immediate", "mov.l #-2,r0", 0, 0xFFFFFFFE},
    {"IndirectWord", "xor.l r0,r0\nmov.w @r1,r0", 0, 0x1122},
    {"IndirectByteIsHighByteFirst", "xor.l r0,r0\nmov.b @r1,r0", 0, 0x11},
    {"DisplacementPositive", "mov.l @(4,r1),r0", 0, 0x55667788},
    {"DisplacementNegative", "adds #4,r1\nadds #4,r1\nmov.w @(-2,r1),r0\nextu.l r0", 0, 0x7788},
    {"DisplacementSymbolic", "xor.l r2,r2\nmov.w @(TABLE+2,r2),r0\nextu.l r0", 0, 0x3344},
    {"PostIncrementSteps", "mov.w @r1+,r0\nmov.w @r1+,r0\nmov.l r1,r3\nsub.l #TABLE,r3", 3, 4},
    {"PostIncrementReadsFirst", "mov.w @r1+,r0\nmov.w @r1+,r0\nextu.l r0", 0, 0x3344},
    {"PreDecrementWritesBelow", "mov.l #h'9000,r2\nmov.w #h'abcd,r0\nmov.w r0,@-r2\nmov.l r2,r3", 3,
     0x8FFE},
    {"PreDecrementStoresValue",
     "mov.l #h'9000,r2\nmov.l #h'01020304,r0\nmov.l r0,@-r2\nmov.l @h'8ffc,r4", 4, 0x01020304},
    {"AbsoluteSymbol", "xor.l r0,r0\nmov.w TABLE+6,r0", 0, 0x7788},
    {"AbsoluteAt", "mov.l #h'9000,r2\nmov.w #h'4242,r0\nmov.w r0,@r2\nmov.w @h'9000,r5\nextu.l r5",
     5, 0x4242},
    {"StackPushPop", "mov.l #h'12345678,r0\nmov.l r0,@-sp\nmov.w @sp,r2\nmov.l @sp+,r6\nextu.l r2",
     2, 0x1234},
    {"StackSlot",
     "mov.w #7,r0\nmov.w r0,@-sp\nmov.w #9,r0\nmov.w r0,@-sp\nmov.w @(2,sp),r4\n"
     "adds #4,sp\nextu.l r4",
     4, 7},
    {"LeaOfFrameSlot", "mov.l #h'9000,fp\nlea @(-6,fp),r3", 3, 0x8FFA},
    {"LeaOfSymbol", "lea TABLE+4,r3\nsub.l r1,r3", 3, 4},
    {"JsrThroughRegister", "mov.l #SUB,r2\njsr @r2\nbra \\halt\nSUB:\tmov.l\t#5,r0\n\trts", 0, 5},
    {"JmpThroughRegister", "mov.l #THERE,r2\njmp @r2\nmov.l #1,r0\nTHERE:\tmov.l\t#2,r0", 0, 2},
    {"BitOnIndirect",
     "mov.l #h'9000,r2\nmov.b #0,r0\nmov.b r0,@r2\nbset #3,@r2\nmov.b @r2,r0\n"
     "extu.w r0\nextu.l r0",
     0, 8},
    {"BitNumberInRegister", "mov.b #5,r2\nxor.l r0,r0\nbset r2,r0", 0, 0x20},
};

INSTANTIATE_TEST_SUITE_P(Modes, AddressingTest,
                         ::testing::Combine(::testing::ValuesIn(kModes),
                                            ::testing::ValuesIn(allCpus())),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" +
                                  cpuModelName(std::get<1>(info.param));
                         });

TEST(AddressingTest, BitInstructionsOnAbsoluteAddressesOn2000) {
  SimRun run = runSnippet("bset #1,@h'9000\nbset #7,@h'9000\nmov.b @h'9000,r0", CpuModel::H2000);
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.reg(0, 1), 0x82u);
}

TEST(AddressingTest, StmAndLdmSaveAndRestoreInOrder) {
  SimRun run = runSnippet(
      "mov.l #1,r0\nmov.l #2,r1\nmov.l #3,r2\nmov.l #4,r3\nstm (r0-r3),@-sp\nmov.l @sp,r5\n"
      "xor.l r0,r0\nxor.l r3,r3\nldm @sp+,(r0-r3)",
      CpuModel::H2000);
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.reg(5), 4u);  // the last register pushed is on top
  EXPECT_EQ(run.reg(0), 1u);
  EXPECT_EQ(run.reg(3), 4u);
}

}  // namespace
}  // namespace vorax::sim::testing

namespace vorax::sim::testing {
namespace {

// An interrupt routine's frame as the compiler writes it, entered the way the chip enters
// it (PC and CCR stacked), left with rte.
TEST(InterruptReturnTest, RteRestoresFlagsAndProgramCounter) {
  for (CpuModel cpu : allCpus()) {
    bool narrow = cpu == CpuModel::H300L;
    std::string stacking = narrow
                               ? "mov.w #BACK,r0\nmov.w r0,@-sp\nmov.w #h'0500,r0\nmov.w r0,@-sp\n"
                               : "mov.l #BACK,r0\nor.l #h'05000000,r0\nmov.l r0,@-sp\n";
    std::string save = cpu == CpuModel::H2000 ? "stm (r0-r3),@-sp\n\tstm\t(r4-r6),@-sp\n"
                                              : "mov.l r0,@-sp\n\tmov.l\tr6,@-sp\n";
    std::string restore = cpu == CpuModel::H2000 ? "ldm @sp+,(r4-r6)\n\tldm\t@sp+,(r0-r3)\n"
                                                 : "mov.l @sp+,r6\n\tmov.l\t@sp+,r0\n";
    SimRun run = runSnippet("mov.l #h'1234,r4\nmov.l sp,r5\n" + stacking +
                                "jmp HANDLER\nBACK:\tbra\t\\halt\n"
                                "HANDLER:\t" +
                                save + "\tmov.l\t#0,r4\n\t" + restore + "\trte",
                            cpu);
    ASSERT_EQ(run.status, ExitStatus::kHalted) << cpuModelName(cpu) << run.messages;
    EXPECT_EQ(run.cpu().er[7], run.reg(5)) << cpuModelName(cpu);
    EXPECT_TRUE(run.cpu().flags.z) << cpuModelName(cpu);  // CCR h'05: Z and C
    EXPECT_TRUE(run.cpu().flags.c) << cpuModelName(cpu);
    EXPECT_FALSE(run.cpu().flags.n) << cpuModelName(cpu);
    if (cpu == CpuModel::H2000) {
      EXPECT_EQ(run.reg(4), 0x1234u);  // ldm brought back what stm saved
    }
  }
}

}  // namespace
}  // namespace vorax::sim::testing
