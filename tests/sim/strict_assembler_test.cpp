// The assembler refuses every line the chip cannot encode, on the CPU it assembles for:
// address and displacement fields wider than the CPU's addresses, field widths a form does
// not have, names no assembler takes. Each is an assembly error with file and line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim_test_support.h"

namespace vorax::sim::testing {
namespace {

struct RefusedLine {
  const char* line;
  CpuModel cpu;
  const char* error;  // the whole text after "test.asm:2: error: "
};

void PrintTo(const RefusedLine& c, std::ostream* os) {
  *os << cpuModelName(c.cpu) << " " << c.line;
}

class RefusedLineTest : public ::testing::TestWithParam<RefusedLine> {};

TEST_P(RefusedLineTest, IsAnAssemblyErrorAtItsLine) {
  const RefusedLine& c = GetParam();
  const std::vector<std::string> errors =
      assemblyErrors(std::string("START:\tnop\n") + c.line + "\n\tnop\n", c.cpu);
  ASSERT_EQ(errors.size(), 1u) << ::testing::PrintToString(errors);
  EXPECT_EQ(errors[0], std::string("test.asm:2: error: ") + c.error);
}

constexpr CpuModel k300H = CpuModel::H300H;
constexpr CpuModel k300L = CpuModel::H300L;
constexpr CpuModel k2000 = CpuModel::H2000;

const RefusedLine kRefusedLines[] = {
    // Addresses beyond 24 bits, or 16 on a 300L, were cut to fit before.
    {"\tmov.w\t@h'1000000,r1", k300H, "address out of range for 300H: 16777216"},
    {"\tmov.l\tr1,h'1000000", k2000, "address out of range for 2000: 16777216"},
    {"\tmov.w\t@h'10000,r1", k300L, "address out of range for 300L: 65536"},
    {"\tmov.b\t-32769,r1", k300L, "address out of range for 300L: -32769"},
    {"\tjmp\t@h'1000000", k300H, "address out of range for 300H: 16777216"},
    {"\tbra\th'10000", k300L, "address out of range for 300L: 65536"},
    {"\tbclr\t#1,@h'ffffff00", k2000, "address out of range for 2000: 4294967040"},
    {"\tmov.w\t@(h'7ffffffe,sp),r0", k300H, "displacement out of range for 300H: 2147483646"},
    {"\tmov.w\t@(-2147483650,sp),r0", k300H,
     "displacement out of range for 300H: -2147483650"},
    {"\tmov.l\tr0,@(h'1000000,fp)", k2000, "displacement out of range for 2000: 16777216"},
    {"\tmov.w\t@(h'10000,r0),r1", k300L, "displacement out of range for 300L: 65536"},
    {"\tmov.w\t@(-32769,r0),r1", k300L, "displacement out of range for 300L: -32769"},
    // Field widths a form does not have.
    {"\tmov.w\t@h'ffff10:8,r0", k300H,
     "operand form not available: mov.w: @aa:8 exists for byte moves and bit instructions "
     "only"},
    {"\tmov.l\tr0,@h'ff10:8", k300L,
     "operand form not available: mov.l: @aa:8 exists for byte moves and bit instructions "
     "only"},
    {"\tmov.b\t@h'1000:8,r0", k300H, "address does not fit its 8-bit field: 4096"},
    {"\tmov.w\t@h'12345:16,r0", k300H, "address does not fit its 16-bit field: 74565"},
    {"\tmov.w\t@(h'8000:16,r1),r0", k300H, "displacement does not fit its 16-bit field: 32768"},
    {"\tmov.w\t@h'1234:24,r0", k300L, "operand form not available: mov.w: no 24-bit address form"},
    {"\tmov.w\t@h'1234:32,r0", k300H, "operand form not available: mov.w: no 32-bit address form"},
    {"\tmov.w\t@(4:8,r1),r0", k300H,
     "operand form not available: mov.w: no 8-bit displacement form"},
    {"\tbset\t#1,@h'ffff10:16", k300H,
     "operand form not available: bset: no 16-bit address form"},
    {"\tjmp\t@h'100:16", k300H, "operand form not available: jmp: no 16-bit address form"},
    // Labels: letters, digits, "_", "." and "\"; local labels "$", "@" or "#" and digits.
    {"A%B:\tnop", k300H, "bad label \"A%B\""},
    {"A$B:\tnop", k300H, "bad label \"A$B\""},
    {"A#B\tnop", k300H, "bad label \"A#B\""},
    {"$1X:\tnop", k300H, "bad label \"$1X\""},
    {"@:\tnop", k300H, "bad label \"@\""},
    {"9LIVES:\tnop", k300H, "bad label \"9LIVES\""},
    {"\xe6\x97\xa5:\tnop", k300H, "bad label \"\xe6\x97\xa5\""},
    {"SPEED%\tequ\t1", k300H, "bad label \"SPEED%\""},
    {"A:B:\tnop", k300H, "unknown mnemonic \"b:\""},
    {"\tbra\tA$B", k300H, "unexpected text in expression \"A$B\""},
};

INSTANTIATE_TEST_SUITE_P(Lines, RefusedLineTest, ::testing::ValuesIn(kRefusedLines));

// The forms next to the refused ones assemble, at the length the chip gives them.
TEST(StrictAssemblerTest, NeighboursOfRefusedFormsAssemble) {
  struct Accepted {
    const char* line;
    CpuModel cpu;
    int length;
  };
  const Accepted accepted[] = {
      // A word in the @aa:8 page is reached with @aa:16, sign-extended.
      {"mov.w @h'ffff10,r0", k300H, 4},
      {"mov.l r0,@h'ffff10", k300H, 6},
      {"mov.b @h'ffff10,r0", k300H, 2},
      {"mov.b @h'ff10:8,r0", k300L, 2},
      {"mov.w @h'ffff10:16,r0", k300H, 4},
      {"mov.w @h'1234:24,r0", k300H, 6},
      {"mov.l @(4:24,r1),r0", k300H, 10},
      {"mov.w @(4:16,r1),r0", k300H, 4},
      {"mov.w @h'ffffff,r0", k300H, 4},
      {"mov.w -8388608,r0", k300H, 6},
      {"mov.w @(-8388608,r1),r0", k300H, 8},
      {"mov.w @(h'ffffff,r1),r0", k300H, 8},
      {"mov.w @h'ffff,r0", k300L, 4},
      {"mov.w @(-32768,r1),r0", k300L, 4},
      {"bset #1,@h'ffff10:8", k300H, 4},
      {"bset #1,@h'1000:16", k2000, 6},
      {"jmp @h'100:24", k300H, 4},
  };
  for (const Accepted& a : accepted) {
    SCOPED_TRACE(a.line);
    const std::string text = std::string("\torg\th'100\nSTART:\t") + a.line + "\nFINISH:\tnop\n";
    EXPECT_TRUE(assemblyErrors(text, a.cpu).empty())
        << ::testing::PrintToString(assemblyErrors(text, a.cpu));
    const SimRun run = runFiles({{"t.asm", "\\ram\tequ\th'8000\n\tdl\tprogram,\\ram\n"
                                           "program:\tbra\t\\halt\n" + text}},
                                {"t.asm"}, a.cpu);
    ASSERT_EQ(run.status, ExitStatus::kHalted) << run.messages;
    EXPECT_EQ(run.symbol("FINISH") - run.symbol("START"), a.length);
  }
}

}  // namespace
}  // namespace vorax::sim::testing
