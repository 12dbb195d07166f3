// Condition flags of every instruction class, including the ones that leave flags alone.
#include <gtest/gtest.h>

#include "sim_test_support.h"

namespace vorax::sim::testing {
namespace {

// Presets made with r5 only, placed after the operands are loaded (a mov would change V):
constexpr const char* kZeroVC = "mov.b #128,r5\nadd.b r5,r5";  // N=0 Z=1 V=1 C=1
constexpr const char* kClear = "mov.b #1,r5\nadd.b r5,r5";     // all clear
constexpr const char* kNegC = "mov.b #1,r5\ncmp.b #2,r5";      // N=1 C=1

std::string flagText(const ConditionFlags& f) {
  return std::string(1, f.n ? 'N' : '-') + (f.z ? 'Z' : '-') + (f.v ? 'V' : '-') +
         (f.c ? 'C' : '-');
}

struct FlagCase {
  const char* name;
  const char* operands;  // loads the operands
  const char* preset;
  const char* instruction;
  const char* flags;
  uint32_t r0;  // expected er0 afterwards
  CpuModel cpu = CpuModel::H300H;
};

class FlagTest : public ::testing::TestWithParam<FlagCase> {};

TEST_P(FlagTest, SetsTheFlagsTheManualGives) {
  const FlagCase& c = GetParam();
  SimRun run = runSnippet(
      std::string("xor.l r0,r0\n") + c.operands + "\n" + c.preset + "\n" + c.instruction, c.cpu);
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(flagText(run.cpu().flags), c.flags);
  EXPECT_EQ(run.reg(0), c.r0);
}

const FlagCase kFlagCases[] = {
    {"MovKeepsCarry", "", kZeroVC, "mov.w #0,r0", "-Z-C", 0},
    {"MovNegativeByte", "", kClear, "mov.b #h'80,r0", "N---", 0x80},
    {"MovLoadFromMemorySetsFlags", "mov.l #h'9000,r1\nmov.w #h'8001,r2\nmov.w r2,@r1", kZeroVC,
     "mov.w @r1,r0", "N--C", 0x8001},
    {"AddSignedOverflow", "mov.w #h'7fff,r0\nmov.w #1,r1", kClear, "add.w r1,r0", "N-V-", 0x8000},
    {"AddCarryOut", "mov.l #h'ffffffff,r0", kClear, "add.l #1,r0", "-Z-C", 0},
    {"SubBorrow", "mov.b #1,r0\nmov.b #2,r1", kClear, "sub.b r1,r0", "N--C", 0xFF},
    {"CmpOverflowWithoutBorrow", "mov.w #h'8000,r0", kClear, "cmp.w #1,r0", "--V-", 0x8000},
    {"NegZeroClearsCarry", "", kZeroVC, "neg.b r0", "-Z--", 0},
    {"NegMinimumOverflows", "mov.b #h'80,r0", kClear, "neg.b r0", "N-VC", 0x80},
    {"NegSetsCarryForNonZero", "mov.w #5,r0", kClear, "neg.w r0", "N--C", 0xFFFB},
    {"IncLeavesCarrySet", "mov.w #h'7fff,r0", kZeroVC, "inc.w #1,r0", "N-VC", 0x8000},
    {"IncByTwoLong", "mov.l #h'fffffffe,r0", kClear, "inc.l #2,r0", "-Z--", 0},
    {"DecLeavesCarryClear", "", kClear, "dec.b #1,r0", "N---", 0xFF},
    {"DecLeavesCarrySetAtOverflow", "mov.w #h'8000,r0", kNegC, "dec.w #1,r0", "--VC", 0x7FFF},
    {"AddsSetsNothing", "", kZeroVC, "adds #4,r0", "-ZVC", 4},
    {"SubsSetsNothing", "", kNegC, "subs #1,r0", "N--C", 0xFFFFFFFF},
    {"AndClearsVKeepsCarry", "mov.w #h'f0f0,r0", kZeroVC, "and.w #h'0f0f,r0", "-Z-C", 0},
    {"OrByte", "mov.b #h'70,r0", kClear, "or.b #h'80,r0", "N---", 0xF0},
    {"XorLongRegisters", "mov.l #h'12345678,r0\nmov.l #h'12345678,r1", kNegC, "xor.l r1,r0", "-Z-C",
     0},
    {"NotLong", "", kClear, "not.l r0", "N---", 0xFFFFFFFF},
    {"ExtuClearsN", "mov.w #h'ff80,r0", kZeroVC, "extu.w r0", "---C", 0x0080},
    {"ExtsLong", "mov.w #h'8000,r0", kClear, "exts.l r0", "N---", 0xFFFF8000},
    {"ExtsWordPositive", "mov.w #h'ff7f,r0", kNegC, "exts.w r0", "---C", 0x007F},
    {"ShalSignChange", "mov.b #h'40,r0", kClear, "shal.b #1,r0", "N-V-", 0x80},
    {"ShalCarryFromTopBit", "mov.w #h'8000,r0", kClear, "shal.w #1,r0", "-ZVC", 0},
    {"SharKeepsSign", "mov.b #h'81,r0", kClear, "shar.b #1,r0", "N--C", 0xC1 & 0xC0},
    {"ShllNoOverflowFlag", "mov.l #h'80000000,r0", kClear, "shll.l #1,r0", "-Z-C", 0},
    {"ShlrClearsN", "mov.w #h'8003,r0", kNegC, "shlr.w #1,r0", "---C", 0x4001},
    {"ShlrTwoBitsLastBitOut", "mov.w #6,r0", kClear, "shlr.w #2,r0", "---C", 1, CpuModel::H2000},
    {"ShalTwoBitsSignChange", "mov.b #h'20,r0", kClear, "shal.b #2,r0", "N-V-", 0x80,
     CpuModel::H2000},
    {"ShalTwoBitsCarry", "mov.b #h'40,r0", kClear, "shal.b #2,r0", "-ZVC", 0, CpuModel::H2000},
    {"MulxuSetsNothing", "mov.w #300,r0\nmov.w #200,r1", kZeroVC, "mulxu.w r1,r0", "-ZVC", 60000},
    {"MulxuByte", "mov.b #200,r0\nmov.b #3,r1", kNegC, "mulxu.b r1,r0", "N--C", 600},
    {"MulxsNegativeProduct", "mov.w #-3,r0\nmov.w #100,r1", kZeroVC, "mulxs.w r1,r0", "N-VC",
     0xFFFFFED4},
    {"MulxsZeroProduct", "mov.w #5,r1", kNegC, "mulxs.b r1,r0", "-Z-C", 0},
    {"DivxuWord", "mov.l #100000,r0\nmov.w #7,r1", kClear, "divxu.w r1,r0", "----",
     (5u << 16) | 14285},
    {"DivxuByDivisorSign", "mov.w #1000,r0\nmov.b #200,r1", kClear, "divxu.b r1,r0", "N---", 5},
    {"DivxsNegativeQuotient", "mov.w #-7,r0\nmov.b #2,r1", kClear, "divxs.b r1,r0", "N---", 0xFFFD},
    {"DivxuByZeroSetsZ", "mov.w #9,r0", kClear, "divxu.b r1,r0", "-Z--", 9},
    {"BtstBitSet", "mov.b #4,r0", kZeroVC, "btst #2,r0", "--VC", 4},
    {"BtstBitClear", "mov.b #4,r0", kNegC, "btst #3,r0", "NZ-C", 4},
    {"BsetSetsNoFlags", "", kZeroVC, "bset #7,r0", "-ZVC", 0x80},
    {"BclrSetsNoFlags", "mov.b #h'ff,r0", kNegC, "bclr #0,r0", "N--C", 0xFE},
    {"BnotSetsNoFlags", "mov.b #1,r0", kClear, "bnot #0,r0", "----", 0},
    {"LeaFlagsOfTheAddition", "mov.l #h'9000,r1", kNegC, "lea @(-4,r1),r0", "---C", 0x8FFC},
};

INSTANTIATE_TEST_SUITE_P(Instructions, FlagTest, ::testing::ValuesIn(kFlagCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Each branch against signed and unsigned orderings of (left, right) after cmp.w.
struct BranchCase {
  const char* mnemonic;
  int left;
  int right;
  bool taken;
};

class BranchTest : public ::testing::TestWithParam<BranchCase> {};

TEST_P(BranchTest, FollowsTheComparison) {
  const BranchCase& c = GetParam();
  SimRun run =
      runSnippet("mov.w #" + std::to_string(c.left) + ",r0\ncmp.w #" + std::to_string(c.right) +
                 ",r0\n" + c.mnemonic + " $2\nmov.w #0,r2\nbra $3\n$2:\tmov.w #1,r2\n$3:\tnop");
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.reg(2, 2) == 1, c.taken);
}

const BranchCase kBranchCases[] = {
    {"beq", 5, 5, true},       {"beq", 5, 6, false},      {"bne", 5, 6, true},
    {"bne", 5, 5, false},      {"blt", -1, 1, true},      {"bcs", -1, 1, false},
    {"bcs", 1, -1, true},      {"blt", 1, -1, false},     {"ble", 3, 3, true},
    {"bls", 3, 3, true},       {"bgt", 3, 3, false},      {"bhi", 3, 3, false},
    {"bgt", 1, -1, true},      {"bhi", 1, -1, false},     {"bhi", -1, 1, true},
    {"bge", -1, 1, false},     {"bcc", -1, 1, true},      {"bge", 2, 2, true},
    {"bmi", 1, 2, true},       {"bpl", 1, 2, false},      {"bvs", -32768, 1, true},
    {"bvc", -32768, 1, false}, {"bge", -32768, 1, false}, {"bra", 0, 0, true},
    {"brn", 0, 0, false},
};

INSTANTIATE_TEST_SUITE_P(Conditions, BranchTest, ::testing::ValuesIn(kBranchCases));

}  // namespace
}  // namespace vorax::sim::testing
