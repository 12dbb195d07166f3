// The stack contract of every runtime routine: what the call site pushes, what is left on
// the stack afterwards, where results arrive, and where inline data after the call ends.
#include <gtest/gtest.h>

#include "sim_test_support.h"

namespace vorax::sim::testing {
namespace {

constexpr int64_t kAny = -1;

struct ContractCase {
  const char* name;
  const char* body;              // pushes and the call
  int stackLeft;                 // bytes the call leaves on the stack (after its arguments went)
  int64_t r0 = kAny;             // expected er0, or kAny
  const char* top = nullptr;     // expected string value (length byte first) at the stack top
  int64_t r1 = kAny;             // expected r1 word, or kAny
  const char* memory = nullptr;  // expected string at h'9000
};

class RuntimeContractTest : public ::testing::TestWithParam<ContractCase> {};

std::string readStringAt(const SimRun& run, uint32_t address) {
  std::string text;
  int length = run.memory().read8(address);
  for (int i = 1; i <= length; ++i) text += static_cast<char>(run.memory().read8(address + i));
  return text;
}

TEST_P(RuntimeContractTest, HonoursTheCallSite) {
  const ContractCase& c = GetParam();
  // r6 marks the stack before the pushes, r5 after the call; the string at h'9000 is "abc"
  // and the REAL at h'9100 is 2.5.
  std::string body = std::string(
                         "mov.l #h'9000,r2\nmov.l #h'03616263,r3\nmov.l r3,@r2\n"
                         "mov.l #h'9100,r2\nmov.l #h'82200000,r3\nmov.l r3,@r2\nxor.w r3,r3\n"
                         "mov.w r3,@(4,r2)\nxor.l r0,r0\nmov.w #h'7777,r1\nmov.l sp,r6\n") +
                     c.body + "\nmov.l sp,r5";
  SimRun run = runSnippet(body);
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(static_cast<int>(run.reg(6) - run.reg(5)), c.stackLeft);
  if (c.r0 != kAny) {
    EXPECT_EQ(run.reg(0), static_cast<uint32_t>(c.r0));
  }
  if (c.r1 != kAny) {
    EXPECT_EQ(run.reg(1, 2), static_cast<uint32_t>(c.r1));
  }
  if (c.top != nullptr) {
    EXPECT_EQ(readStringAt(run, run.reg(5)), c.top);
  }
  if (c.memory != nullptr) {
    EXPECT_EQ(readStringAt(run, 0x9000), c.memory);
  }
}

const ContractCase kContracts[] = {
    // Long arithmetic.
    {"Mul", "mov.l #-7,r0\nmov.l r0,@-sp\nmov.l #6,r0\nmov.l r0,@-sp\nbsr \\mul", 0,
     -42 & 0xFFFFFFFFLL},
    {"Div", "mov.l #-7,r0\nmov.l r0,@-sp\nmov.l #2,r0\nmov.l r0,@-sp\nbsr \\div", 0, 0xFFFFFFFD},
    {"Mod", "mov.l #-7,r0\nmov.l r0,@-sp\nmov.w #2,r0\nmov.w r0,@-sp\nbsr \\mod", 0, 0xFFFFFFFF},
    {"ModByNegativeWord", "mov.l #7,r0\nmov.l r0,@-sp\nmov.w #-2,r0\nmov.w r0,@-sp\nbsr \\mod", 0,
     1},
    {"Sqrtl", "mov.l #99,r0\nmov.l r0,@-sp\nbsr \\sqrtl", 0, 9},
    {"Upcase", "mov.w #97,r0\nmov.w r0,@-sp\nbsr \\upcase", 0, 65},
    {"UpcaseLeavesOthers", "mov.w #123,r0\nmov.w r0,@-sp\nbsr \\upcase", 0, 123},
    // REALs: 6 bytes each on the stack.
    {"Int2r", "mov.l #5,r0\nmov.l r0,@-sp\nbsr \\int2r\nmov.b @sp,r4\nbsr \\r2int", 0, 5},
    {"Loadr", "mov.l #h'9100,r0\nmov.l r0,@-sp\nbsr \\loadr", 6},
    {"Lodri", "bsr \\lodri\ndb 130, 73, 15,218,162, 33\nbsr \\r2int", 0, 3},
    {"LodriContinuesAfterTheData", "bsr \\lodri\ndb 129,  0,  0,  0,  0,  0\nnop\nbsr \\r2int", 0,
     1},
    {"Add40",
     "bsr \\lodri\ndb 130,  0,  0,  0,  0,  0\nbsr \\lodri\ndb 129,  0,  0,  0,  0,  0\n"
     "bsr \\add40",
     6},
    {"Sub40ThenTrunc",
     "bsr \\lodri\ndb 130,  0,  0,  0,  0,  0\nbsr \\lodri\ndb 131,  0,  0,  0,  0,  0\n"
     "bsr \\sub40\nbsr \\r2int",
     0, 0xFFFFFFFE},
    {"Mul40",
     "mov.l #h'9100,r0\nmov.l r0,@-sp\nbsr \\loadr\nmov.l #h'9100,r0\nmov.l r0,@-sp\n"
     "bsr \\loadr\nbsr \\mul40\nbsr \\r2int",
     0, 6},
    {"Div40",
     "mov.l #7,r0\nmov.l r0,@-sp\nbsr \\int2r\nmov.l #h'9100,r0\nmov.l r0,@-sp\n"
     "bsr \\loadr\nbsr \\div40\nbsr \\r2int",
     0, 2},
    {"StorerKeepsR1",
     "mov.l #-3,r0\nmov.l r0,@-sp\nbsr \\int2r\nmov.l #h'9100,r0\nmov.l r0,@-sp\n"
     "bsr \\storer\nmov.l #h'9100,r0\nmov.l r0,@-sp\nbsr \\loadr\nbsr \\r2int",
     0, 0xFFFFFFFD, nullptr, 0x7777},
    {"Sqrt", "mov.l #16,r0\nmov.l r0,@-sp\nbsr \\int2r\nbsr \\sqrt\nbsr \\r2int", 0, 4},
    {"Sin", "mov.l #0,r0\nmov.l r0,@-sp\nbsr \\int2r\nbsr \\sin\nbsr \\r2int", 0, 0},
    {"Cos", "mov.l #0,r0\nmov.l r0,@-sp\nbsr \\int2r\nbsr \\cos\nbsr \\r2int", 0, 1},
    // Strings: 256-byte values on the stack, inline data after the call.
    {"Lodsi", "bsr \\lodsi\ndb 3,'xyz'", 256, kAny, "xyz"},
    {"LodsiEvenLengthPadded", "bsr \\lodsi\ndb 2,'xy '\nnop", 256, kAny, "xy"},
    {"Lods", "mov.l #h'9000,r0\nmov.l r0,@-sp\nbsr \\lods", 256, kAny, "abc"},
    {"LodslSizedValue", "mov.w #3,r0\nmov.w r0,@-sp\nmov.l #h'9000,r0\nmov.l r0,@-sp\nbsr \\lodsl",
     4, kAny, "ab"},
    {"Ldsil", "sub.l #6,sp\nbsr \\ldsil\ndb 3,'pqr'", 6, kAny, "pqr"},
    {"Lodc", "mov.w #65,r0\nmov.w r0,@-sp\nbsr \\lodc", 256, kAny, "A"},
    {"Addss", "bsr \\lodsi\ndb 1,'a'\nbsr \\lodsi\ndb 1,'b'\nbsr \\addss", 256, kAny, "ab"},
    {"Addsi", "bsr \\lodsi\ndb 1,'a'\nbsr \\addsi\ndb 2,'bc '", 256, kAny, "abc"},
    {"Adds", "bsr \\lodsi\ndb 1,'x'\nmov.l #h'9000,r0\nmov.l r0,@-sp\nbsr \\adds", 256, kAny,
     "xabc"},
    {"Addc", "bsr \\lodsi\ndb 1,'x'\nmov.w #33,r0\nmov.w r0,@-sp\nbsr \\addc", 256, kAny, "x!"},
    {"Saves",
     "bsr \\lodsi\ndb 5,'hello'\nmov.w #3,r0\nmov.w r0,@-sp\nmov.l #h'9000,r0\n"
     "mov.l r0,@-sp\nbsr \\saves",
     0, kAny, nullptr, kAny, "he"},
    {"Movs",
     "mov.w #256,r0\nmov.w r0,@-sp\nmov.l #h'9000,r0\nmov.l r0,@-sp\nmov.l #h'9200,r0\n"
     "mov.l r0,@-sp\nbsr \\movs\nmov.l #h'9200,r0\nmov.l r0,@-sp\nbsr \\lods",
     256, kAny, "abc"},
    {"Movsi", "mov.l #h'9000,r0\nmov.l r0,@-sp\nbsr \\movsi\ndb 2,'AB '", 0, kAny, nullptr, kAny,
     "AB"},
    {"Apdsi", "mov.l #h'9000,r0\nmov.l r0,@-sp\nbsr \\apdsi\ndb 5\ndb 4,'defg'", 0, kAny, nullptr,
     kAny, "abcde"},
    {"Apdc",
     "mov.l #h'9000,r0\nmov.l r0,@-sp\nmov.w #100,r0\nmov.w r0,@-sp\nbsr \\apdc\n"
     "db 10,0",
     0, kAny, nullptr, kAny, "abcd"},
    {"Copy",
     "sub.l #256,sp\nbsr \\lodsi\ndb 5,'hello'\nmov.w #2,r0\nmov.w r0,@-sp\nmov.w #3,r0\n"
     "mov.w r0,@-sp\nbsr \\copy",
     256, kAny, "ell"},
    {"Pos", "bsr \\lodsi\ndb 2,'ll '\nbsr \\lodsi\ndb 5,'hello'\nbsr \\pos", 0, 3},
    {"Delete",
     "mov.l #h'9000,r0\nmov.l r0,@-sp\nmov.w #2,r0\nmov.w r0,@-sp\nmov.w #1,r0\n"
     "mov.w r0,@-sp\nbsr \\delete",
     0, kAny, nullptr, kAny, "ac"},
    // Numbers and text.
    {"Str", "mov.l #-123,r0\nmov.l r0,@-sp\nbsr \\str", 256, kAny, "-123"},
    {"Adjlng", "mov.l #42,r0\nmov.l r0,@-sp\nbsr \\str\nmov.w #5,r0\nmov.w r0,@-sp\nbsr \\adjlng",
     256, kAny, "   42"},
    {"R2asc",
     "sub.l #256,sp\nbsr \\lodri\ndb 130, 73, 15,218,162, 33\nmov.w #8,r0\n"
     "mov.w r0,@-sp\nmov.w #3,r0\nmov.w r0,@-sp\nbsr \\r2asc",
     256, kAny, "   3.142"},
    {"R2ascDefaultWidth",
     "sub.l #256,sp\nmov.l #-25,r0\nmov.l r0,@-sp\nbsr \\int2r\n"
     "mov.w #3,r0\nmov.w r0,@-sp\nmov.w #1,r0\nmov.w r0,@-sp\nbsr \\r2asc",
     256, kAny, "-25.0"},
    {"R2ascFloating",
     "sub.l #256,sp\nbsr \\lodri\ndb 130, 73, 15,218,162, 33\nmov.w #17,r0\n"
     "mov.w r0,@-sp\nmov.w #-1,r0\nmov.w r0,@-sp\nbsr \\r2asc",
     256, kAny, " 3.1415926536E+00"},
    {"Val", "bsr \\lodsi\ndb 5,'  -12'\nbsr \\val", 0, 0xFFFFFFF4, nullptr, 0},
    {"ValHex", "bsr \\lodsi\ndb 3,'$1F'\nbsr \\val", 0, 31, nullptr, 0},
    {"ValErrorPosition", "bsr \\lodsi\ndb 3,'12x'\nbsr \\val", 0, 0, nullptr, 3},
    {"ValEmpty", "bsr \\lodsi\ndb 0,' '\nbsr \\val", 0, 0, nullptr, 1},
    {"Asc2r", "sub.l #6,sp\nbsr \\lodsi\ndb 3,'2.5'\nbsr \\asc2r\nmov.w r1,r4\nbsr \\r2int", 0, 2,
     nullptr, 0},
    {"Asc2rExponent", "sub.l #6,sp\nbsr \\lodsi\ndb 5,'-1e+2'\nbsr \\asc2r\nbsr \\r2int", 0,
     0xFFFFFF9C, nullptr, 0},
    {"Asc2rBeyondTheRealRange", "sub.l #6,sp\nbsr \\lodsi\ndb 4,'1e39',0\nbsr \\asc2r", 6, kAny,
     nullptr, 4},
    {"Asc2rErrorPosition", "sub.l #6,sp\nbsr \\lodsi\ndb 3,'1.x'\nbsr \\asc2r", 6, kAny, nullptr,
     3},
    // Heap.
    {"NewReturnsRamAfterTheCells", "mov.w #10,r0\nmov.w r0,@-sp\nbsr \\new", 0, 0x8020},
    {"DisposeThenNewReuses",
     "mov.w #10,r0\nmov.w r0,@-sp\nbsr \\new\nmov.l r0,r4\n"
     "mov.w #20,r0\nmov.w r0,@-sp\nbsr \\new\nmov.l r4,@-sp\n"
     "mov.w #10,r0\nmov.w r0,@-sp\nbsr \\dispose\nmov.w #9,r0\n"
     "mov.w r0,@-sp\nbsr \\new",
     0, 0x8020},
    {"Memavail", "bsr \\memavail", 0, 32767},
    // Console.
    {"Tch", "mov.w #65,r0\nmov.w r0,@-sp\nmov.l #\\con,r0\nmov.l r0,@-sp\nbsr \\tch", 0},
    {"Writes", "bsr \\lodsi\ndb 2,'hi '\nmov.l #\\con,r0\nmov.l r0,@-sp\nbsr \\wrtlns", 0},
    {"Crlf", "mov.l #\\con,r0\nmov.l r0,@-sp\nbsr \\crlf", 0},
    {"Ich", "mov.l #\\con,r0\nmov.l r0,@-sp\nbsr \\ich", 0, 26},
    {"Readln", "mov.l #\\con,r0\nmov.l r0,@-sp\nbsr \\readln", 256, kAny, ""},
};

INSTANTIATE_TEST_SUITE_P(Routines, RuntimeContractTest, ::testing::ValuesIn(kContracts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RuntimeComparisonTest, ZIsClearExactlyWhenTheRelationHolds) {
  struct Case {
    const char* routine;
    bool holds;
  };
  // Reals: 1.0 against 2.0; strings: "ab" against "b".
  const Case reals[] = {{"xeqy", false}, {"xney", true},  {"xlty", true},
                        {"xley", true},  {"xgty", false}, {"xgey", false}};
  for (const Case& c : reals) {
    SimRun run = runSnippet(std::string("mov.l sp,r6\nbsr \\lodri\ndb 129,  0,  0,  0,  0,  0\n") +
                            "bsr \\lodri\ndb 130,  0,  0,  0,  0,  0\nbsr \\" + c.routine);
    ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
    EXPECT_EQ(!run.cpu().flags.z, c.holds) << c.routine;
    EXPECT_EQ(run.reg(6), run.cpu().er[7]) << c.routine;
    SimRun strings = runSnippet(std::string("mov.l sp,r6\nbsr \\lodsi\ndb 2,'ab '\n") +
                                "bsr \\lodsi\ndb 1,'b'\nbsr \\" + c.routine + "s");
    ASSERT_EQ(strings.status, ExitStatus::kHalted) << strings.messages;
    EXPECT_EQ(!strings.cpu().flags.z, c.holds) << c.routine << "s";
    EXPECT_EQ(strings.reg(6), strings.cpu().er[7]) << c.routine << "s";
  }
}

TEST(RuntimeErrorTest, DivisionByZeroStopsWithItsStatus) {
  SimRun run = runSnippet("mov.l #1,r0\nmov.l r0,@-sp\nxor.l r0,r0\nmov.l r0,@-sp\nbsr \\div");
  EXPECT_EQ(run.status, ExitStatus::kDivisionByZero);
  EXPECT_NE(run.messages.find("division by zero"), std::string::npos);
  EXPECT_NE(run.messages.find("in \\div called from snippet.asm:8"), std::string::npos)
      << run.messages;
  SimRun mod = runSnippet("mov.l #1,r0\nmov.l r0,@-sp\nxor.w r0,r0\nmov.w r0,@-sp\nbsr \\mod");
  EXPECT_EQ(mod.status, ExitStatus::kDivisionByZero);
}

TEST(RuntimeErrorTest, HeapOverflowAndBadDisposeAreRuntimeErrors) {
  SimRun full = runSnippet("$2:\tmov.w\t#30000,r0\n\tmov.w\tr0,@-sp\n\tbsr\t\\new\n\tbra\t$2",
                           CpuModel::H300L);
  EXPECT_EQ(full.status, ExitStatus::kRuntimeError);
  EXPECT_NE(full.messages.find("heap overflow"), std::string::npos);
  SimRun bad = runSnippet(
      "mov.l #h'8100,r0\nmov.l r0,@-sp\nmov.w #4,r0\nmov.w r0,@-sp\n"
      "bsr \\dispose");
  EXPECT_EQ(bad.status, ExitStatus::kBadMemoryAccess);
  EXPECT_NE(bad.messages.find("invalid pointer operation"), std::string::npos);
}

TEST(RuntimeFrameTest, SlsetBuildsTheSameFrameAsTheInlineEntry) {
  // Main program frame, then a level-2 routine that calls a level-3 routine; the level-3
  // frame's display must hold main's fp, the level-2 fp and its own fp.
  SimRun run = runSnippet(
      "mov.l \\ram+12,r0\nmov.l r0,@-sp\nmov.l fp,@-sp\nmov.l sp,fp\nmov.l fp,\\ram+12\n"
      "mov.l fp,@-sp\nbsr P.2\nbra \\halt\n"
      "P.2:\tmov.b\t#1,r0\n\tbsr\t\\slset\n\tmov.l\tfp,r3\n\tbsr\tQ.3\n\tmov.l\tfp,sp\n"
      "\tmov.l\t@sp+,fp\n\trts\n"
      "Q.3:\tmov.b\t#2,r0\n\tbsr\t\\slset\n\tmov.l\tfp,r2\n\tmov.l\tsp,r1\n"
      "\tmov.l\t@(-4,fp),r5\n\tmov.l\t@(-8,fp),r4\n\tmov.l\t@(-12,fp),r0\n"
      "\tmov.l\tfp,sp\n\tmov.l\t@sp+,fp\n\trts");
  ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.reg(1), run.reg(2) - 12);                   // three display entries below fp
  EXPECT_EQ(run.reg(5), run.memory().read32(0x8000 + 12));  // entry 1: main frame
  EXPECT_EQ(run.reg(4), run.reg(3));                        // entry 2: the level-2 routine's frame
  EXPECT_EQ(run.reg(0), run.reg(2));                        // entry 3: its own frame
  EXPECT_EQ(run.memory().read32(run.reg(2)), run.reg(3));   // caller's fp at fp+0
}

}  // namespace
}  // namespace vorax::sim::testing
