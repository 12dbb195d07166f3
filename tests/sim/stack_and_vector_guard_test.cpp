// A stack that leaves its area and a store into the vector area stop the program at once,
// at the instruction that did it, instead of overwriting the program and running on until
// the step limit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sim_test_support.h"

namespace vorax::sim::testing {
namespace {

namespace fs = std::filesystem;

// Compiles `source` with the real compiler for `cpu` and runs it; the step limit is far
// above what any case here needs.
SimRun compileAndRun(const std::string& name, const std::string& source, CpuModel cpu) {
  const fs::path folder = fs::temp_directory_path() /
                          ("vorax_sim_guard_" + name + "_" + cpuModelName(cpu));
  fs::create_directories(folder);
  const fs::path file = folder / "GUARD.PAS";
  std::ofstream(file, std::ios::binary) << "{$CPU " << cpuModelName(cpu) << "}\r\n" << source;
  const std::string command = std::string("\"") + VORAX_BINARY_DIR + "/vorax\" \"" +
                              file.string() + "\" > /dev/null 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream in(folder / "GUARD.asm", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  fs::remove_all(folder);
  return runFiles({{"GUARD.asm", text}}, {"GUARD.asm"}, cpu, "", 100000000);
}

bool mentions(const SimRun& run, const std::string& text) {
  return run.messages.find(text) != std::string::npos;
}

class GuardTest : public ::testing::TestWithParam<CpuModel> {};

// Endless recursion: stopped at the call that overflows, long before the step limit. With
// the memory map the heap lies below the stack; without one on a 300L the stack may use
// all the free memory down to the runtime cells.
TEST_P(GuardTest, EndlessRecursionIsAStackOverflow) {
  const CpuModel cpu = GetParam();
  const std::string program =
      "PROGRAM REC;\r\nVAR N: INTEGER;\r\nPROCEDURE R(I: INTEGER);\r\nBEGIN\r\n  N := I;\r\n"
      "  R(I + 1)\r\nEND;\r\nBEGIN\r\n  R(1)\r\nEND.\r\n";
  std::vector<std::string> maps = {"{$M $4000,$C000,$100}"};
  if (cpu == CpuModel::H300L) maps.push_back("");
  for (const std::string& map : maps) {
    SCOPED_TRACE(map);
    const SimRun run = compileAndRun("recursion", map + "\r\n" + program, cpu);
    EXPECT_EQ(run.status, ExitStatus::kRuntimeError) << run.messages;
    EXPECT_TRUE(mentions(run, "stack overflow")) << run.messages;
    // The call in R's body, or the call of the runtime routine that builds R's frame.
    EXPECT_TRUE(mentions(run, "GUARD.asm:")) << run.messages;
    EXPECT_LT(run.simulator->machine().steps(), 1000000u) << run.messages;
  }
}

struct Loop {
  const char* body;
  int line;
  const char* where;
};

TEST_P(GuardTest, EndlessCallsPushesAndPopsAreStackOverflows) {
  // The first two move the stack pointer to h'c000 first, which leaves the heap at h'8020
  // 16 KB below it.
  const std::string allOfIt = GetParam() == CpuModel::H300L ? "h'ff00" : "h'ffff00";
  const std::string dropEverything = "\tsub.l\t#" + allOfIt + ",sp";
  const Loop loops[] = {{"\tmov.l\t#h'c000,sp\n$1:\tbsr\t$1", 5, "below its bottom"},
                        {"\tmov.l\t#h'c000,sp\n$1:\tmov.w\tr0,@-sp\n\tbra\t$1", 5,
                         "below its bottom"},
                        {"$1:\tmov.l\t@sp+,r0\n\tbra\t$1", 4, "above its top"},
                        {"\tmov.w\tr0,@-sp\n\tadds\t#4,sp", 5, "above its top"},
                        {dropEverything.c_str(), 4, "below its bottom"}};
  for (const Loop& loop : loops) {
    SCOPED_TRACE(loop.body);
    const SimRun run = runSnippet(loop.body, GetParam());
    EXPECT_EQ(run.status, ExitStatus::kRuntimeError) << run.messages;
    EXPECT_TRUE(mentions(run, "stack overflow")) << run.messages;
    EXPECT_TRUE(mentions(run, loop.where)) << run.messages;
    EXPECT_TRUE(mentions(run, "(snippet.asm:" + std::to_string(loop.line) + ")")) << run.messages;
    EXPECT_LT(run.simulator->machine().steps(), 20000u);
  }
}

// A stack set up below \ram runs down to the program's own bytes and no further.
TEST_P(GuardTest, StackBelowRamStopsAtTheProgram) {
  const SimRun run = runSnippet("\tmov.l\t#h'6000,sp\n$1:\tbsr\t$1", GetParam());
  EXPECT_EQ(run.status, ExitStatus::kRuntimeError) << run.messages;
  EXPECT_TRUE(mentions(run, "stack overflow")) << run.messages;
  EXPECT_TRUE(mentions(run, "(snippet.asm:5)")) << run.messages;
  const uint32_t programEnd = run.simulator->image().placedEndBelow(0x6000);
  EXPECT_GE(run.reg(7) + 4, programEnd);
  EXPECT_LT(run.reg(7), programEnd);
}

// Main program variables live in the main frame: more of them than the stack's reserve
// use free heap memory, and NEW does not hand that memory out again.
TEST(GuardTest, LargeMainFrameUsesFreeHeapMemory) {
  const std::string program =
      "PROGRAM BIG;\r\nVAR A: ARRAY[0..29999] OF INTEGER; P: ^INTEGER; I: INTEGER;\r\n"
      "BEGIN\r\n  A[0] := 1; A[29999] := 2;\r\n  FOR I := 1 TO 1000 DO NEW(P);\r\n"
      "  WRITELN(A[0] + A[29999])\r\nEND.\r\n";
  const SimRun run = compileAndRun("bigframe", program, CpuModel::H300H);
  EXPECT_EQ(run.status, ExitStatus::kHalted) << run.messages;
  EXPECT_EQ(run.output, "3\n");
}

TEST(GuardTest, NewNeverHandsOutMemoryTheStackUses) {
  // A 20 KB main frame on a 300L reaches far below the stack's reserve: the heap meets it
  // long before its own end, and blocks written there would overwrite A.
  const std::string program =
      "PROGRAM GREEDY;\r\nVAR A: ARRAY[0..9999] OF INTEGER; P: ^INTEGER; I: INTEGER;\r\n"
      "BEGIN\r\n  FOR I := 0 TO 9999 DO A[I] := 5;\r\n"
      "  FOR I := 1 TO 24000 DO BEGIN NEW(P); P^ := 0 END;\r\n"
      "  FOR I := 0 TO 9999 DO IF A[I] <> 5 THEN WRITELN('overwritten')\r\nEND.\r\n";
  const SimRun run = compileAndRun("greedy", program, CpuModel::H300L);
  // Where the two meet, either NEW finds no room or the next call finds no stack.
  EXPECT_EQ(run.status, ExitStatus::kRuntimeError) << run.messages;
  EXPECT_TRUE(mentions(run, "heap overflow") || mentions(run, "stack overflow")) << run.messages;
  EXPECT_EQ(run.output, "");
}

// A store through NIL lands on the reset vector.
TEST_P(GuardTest, StoreThroughNilIsABadMemoryAccess) {
  const std::string program =
      "PROGRAM NILSTORE;\r\nVAR P: ^INTEGER;\r\nBEGIN\r\n  P := NIL;\r\n  P^ := 12345;\r\n"
      "  WRITELN('after')\r\nEND.\r\n";
  const SimRun run = compileAndRun("nil", program, GetParam());
  EXPECT_EQ(run.status, ExitStatus::kBadMemoryAccess) << run.messages;
  EXPECT_TRUE(mentions(run, "vector area")) << run.messages;
  EXPECT_TRUE(mentions(run, "(GUARD.asm:")) << run.messages;
  EXPECT_EQ(run.output, "");
}

TEST_P(GuardTest, OnlyTheVectorIsProtected) {
  const SimRun last = runSnippet("\tsub.l\tr1,r1\n\tmov.b\tr0,@(7,r1)", GetParam());
  EXPECT_EQ(last.status, ExitStatus::kBadMemoryAccess) << last.messages;
  EXPECT_TRUE(mentions(last, "h'000007'")) << last.messages;
  EXPECT_TRUE(mentions(last, "(snippet.asm:5)")) << last.messages;
  // Right after the vector the program's code begins, which the chip keeps in ROM and
  // this simulator in decoded form: a store there changes nothing that runs.
  const SimRun beside = runSnippet("\tsub.l\tr1,r1\n\tmov.b\tr0,@(8,r1)", GetParam());
  EXPECT_EQ(beside.status, ExitStatus::kHalted) << beside.messages;
}

INSTANTIATE_TEST_SUITE_P(EachCpu, GuardTest, ::testing::ValuesIn(allCpus()),
                         [](const auto& info) { return std::string(cpuModelName(info.param)); });

}  // namespace
}  // namespace vorax::sim::testing
