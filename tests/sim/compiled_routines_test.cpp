// Routines compiled by the real compiler (build/vorax), called from a hand-written
// harness spliced into the main body: every frame must come back with sp and fp as they
// were, functions must hand back their result slot in r0, and an interrupt procedure must
// return to the interrupted code with every register intact.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>  // getpid: two test runs at once keep their folders apart

#include "sim_test_support.h"

namespace vorax::sim::testing {
namespace {

namespace fs = std::filesystem;

// The bodies are empty: a function's result is whatever r0 held when it was called,
// since its entry fills the result slot from r0.
constexpr const char* kRoutines =
    "PROGRAM DEMO;\r\n"                                                    // 2
    "PROCEDURE A(X: INTEGER; VAR Y: BYTE; Z: BYTE);\r\n"                   // 3
    "VAR L: LONGINT;\r\n"                                                  // 4
    "  PROCEDURE INNER(C: CHAR);\r\n"                                      // 5
    "  BEGIN END;\r\n"                                                     // 6
    "BEGIN END;\r\n"                                                       // 7
    "FUNCTION F(X: INTEGER; VAR Y: BYTE; Z: BYTE): INTEGER; FORWARD;\r\n"  // 8
    "FUNCTION B(X: LONGINT): BOOLEAN;\r\n"                                 // 9
    "BEGIN END;\r\n"                                                       // 10
    "FUNCTION F(X: INTEGER; VAR Y: BYTE; Z: BYTE): INTEGER;\r\n"           // 11
    "BEGIN END;\r\n"                                                       // 12
    "FUNCTION G(VAR X: LONGINT; Y, Z: BYTE): WORD;\r\n"                    // 13
    "BEGIN END;\r\n"                                                       // 14
    "FUNCTION R: REAL;\r\n"                                                // 15
    "BEGIN END;\r\n"                                                       // 16
    "FUNCTION L4: LONGINT;\r\n"                                            // 17
    "BEGIN END;\r\n"                                                       // 18
    "PROCEDURE TICK; INTERRUPT;\r\n"                                       // 19
    "BEGIN END;\r\n"                                                       // 20
    "BEGIN\r\nEND.\r\n";

// Checks after each call; a failed check jumps to address 1, which stops the simulator
// with a bad memory access.
constexpr const char* kCallHarness = R"(	mov.l	sp,r4
	mov.l	fp,r5
	mov.w	#7,r0
	mov.w	r0,@-sp
	mov.l	#\ram,r0
	mov.l	r0,@-sp
	mov.w	#9,r0
	mov.w	r0,@-sp
	bsr	A.3
	cmp.l	sp,r4
	bne	HFAIL
	cmp.l	fp,r5
	bne	HFAIL
	mov.w	#7,r0
	mov.w	r0,@-sp
	mov.l	#\ram,r0
	mov.l	r0,@-sp
	mov.w	r0,@-sp
	mov.w	#1234,r0
	bsr	F
	cmp.w	#1234,r0
	bne	HFAIL
	cmp.l	sp,r4
	bne	HFAIL
	mov.l	#\ram,r0
	mov.l	r0,@-sp
	mov.l	r0,@-sp
	mov.w	#4321,r0
	bsr	G.13
	cmp.w	#4321,r0
	bne	HFAIL
	cmp.l	sp,r4
	bne	HFAIL
	mov.l	#5,r0
	mov.l	r0,@-sp
	mov.w	#h'1234,r0
	bsr	B.9
	cmp.w	#h'0034,r0
	bne	HFAIL
	cmp.l	sp,r4
	bne	HFAIL
	sub.l	#6,sp
	bsr	R.15
	add.l	#6,sp
	cmp.l	sp,r4
	bne	HFAIL
	mov.l	#h'12345678,r0
	bsr	L4.17
	cmp.l	#h'12345678,r0
	bne	HFAIL
	cmp.l	sp,r4
	bne	HFAIL
	mov.l	#h'01020304,r1
	mov.l	#h'05060708,r2
	mov.l	#h'0a0b0c0d,r3
INTERRUPTFRAME
	jmp	TICK
HBACK:	cmp.l	sp,r4
	bne	HFAIL
	cmp.l	fp,r5
	bne	HFAIL
	cmp.l	#h'01020304,r1
	bne	HFAIL
	cmp.l	#h'05060708,r2
	bne	HFAIL
	cmp.l	#h'0a0b0c0d,r3
	bne	HFAIL
	bra	HDONE
HFAIL:	mov.l	#1,r1
	jmp	@r1
HDONE:	nop
)";

// What the hardware stacks when it takes an interrupt: the return address with the
// condition codes (one long in advanced mode; PC then CCR as words on 300L).
std::string interruptFrame(CpuModel cpu) {
  if (cpu == CpuModel::H300L) {
    return "\tmov.w\t#HBACK,r0\n\tmov.w\tr0,@-sp\n\tmov.w\t#0,r0\n\tmov.w\tr0,@-sp";
  }
  return "\tmov.l\t#HBACK,r0\n\tmov.l\tr0,@-sp";
}

// Inserts the harness right before the main program's exit.
std::string withHarness(const std::string& assembly, CpuModel cpu) {
  std::string harness = kCallHarness;
  harness.replace(harness.find("INTERRUPTFRAME"), std::string("INTERRUPTFRAME").size(),
                  interruptFrame(cpu));
  const std::size_t main = assembly.find("\\DEMO:");
  const std::size_t exit = assembly.find("\tmov.l\tfp,sp", main);
  if (main == std::string::npos || exit == std::string::npos) {
    return "";
  }
  return assembly.substr(0, exit) + harness + assembly.substr(exit);
}

class CompiledRoutinesTest : public ::testing::TestWithParam<CpuModel> {};

TEST_P(CompiledRoutinesTest, FramesComeBackBalanced) {
  const CpuModel cpu = GetParam();
  const fs::path folder =
      fs::temp_directory_path() / ("vorax_sim_routines_" + std::string(cpuModelName(cpu)) +
                                   "_" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path source = folder / "DEMO.PAS";
  std::ofstream(source, std::ios::binary) << "{$CPU " << cpuModelName(cpu) << "}{$C-}\r\n"
                                          << kRoutines;
  const std::string command = std::string("\"") + VORAX_BINARY_DIR + "/vorax\" \"" +
                              source.string() + "\" > /dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  std::ifstream in(folder / "DEMO.asm", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string program = withHarness(text.str(), cpu);
  ASSERT_FALSE(program.empty()) << text.str();
  const SimRun run = runFiles({{"DEMO.asm", program}}, {"DEMO.asm"}, cpu);
  EXPECT_EQ(run.status, ExitStatus::kHalted) << run.messages << program;
  EXPECT_EQ(run.messages, "");
  fs::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(RealCompiler, CompiledRoutinesTest, ::testing::ValuesIn(allCpus()),
                         [](const auto& info) { return std::string(cpuModelName(info.param)); });

}  // namespace
}  // namespace vorax::sim::testing
