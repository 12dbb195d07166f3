// Single-bit updates: x := x OR/AND/XOR mask with a one-bit mask becomes one bit
// instruction on the variable's own byte; anything else is an ordinary computed store.
#include <gtest/gtest.h>

#include "assign_test_support.h"

namespace vorax::testing {
namespace {

// Main program variables addressed by their own names.
const std::string kNamedVariables = "{$M $8000,$FF00}\n";
const std::string kDeclarations =
    "VAR B: BYTE; W: WORD; I, J: INTEGER; L: LONGINT; F, G: BOOLEAN;\n"
    "  A: ARRAY[1..4] OF BOOLEAN; K: BYTE; PB: ^BYTE;";

struct BitCase {
  const char* header;
  const char* statement;
  std::vector<std::string> expected;
};

void PrintTo(const BitCase& c, std::ostream* os) { *os << c.statement; }

class BitUpdateTest : public ::testing::TestWithParam<BitCase> {};

TEST_P(BitUpdateTest, EmitsOneBitInstruction) {
  const BitCase& c = GetParam();
  const std::vector<std::string> lines =
      assignLines({c.header, kDeclarations, std::string(c.statement) + ";"});
  EXPECT_TRUE(hasSequence(lines, c.expected));
  // The variable is neither loaded nor stored as a whole.
  EXPECT_TRUE(lacksMnemonic(lines, "or.b"));
  EXPECT_TRUE(lacksMnemonic(lines, "or.w"));
  EXPECT_TRUE(lacksMnemonic(lines, "and.b"));
  EXPECT_TRUE(lacksMnemonic(lines, "and.w"));
  EXPECT_TRUE(lacksMnemonic(lines, "xor.w"));
}

const std::string kNamed = kNamedVariables;
const std::string kNamed2000 = "{$CPU 2000}" + kNamedVariables;

INSTANTIATE_TEST_SUITE_P(
    Patterns, BitUpdateTest,
    ::testing::Values(
        // A byte: the bit number itself.
        BitCase{kNamed.c_str(),
                "B := B OR 4",
                {asmLine("mov.l", "#B", "r0"), asmLine("bset", "#2", "@r0")}},
        BitCase{kNamed.c_str(),
                "B := B AND $FB",
                {asmLine("mov.l", "#B", "r0"), asmLine("bclr", "#2", "@r0")}},
        BitCase{kNamed.c_str(),
                "B := B XOR 128",
                {asmLine("mov.l", "#B", "r0"), asmLine("bnot", "#7", "@r0")}},
        // The variable may stand on the right.
        BitCase{kNamed.c_str(),
                "B := 1 OR B",
                {asmLine("mov.l", "#B", "r0"), asmLine("bset", "#0", "@r0")}},
        // Only the target's own bits count: 260 sets bit 2 of a byte.
        BitCase{kNamed.c_str(),
                "B := B OR 260",
                {asmLine("mov.l", "#B", "r0"), asmLine("bset", "#2", "@r0")}},
        // A word: the low byte is the second one in memory.
        BitCase{kNamed.c_str(),
                "W := W OR 4",
                {asmLine("mov.l", "#W+1", "r0"), asmLine("bset", "#2", "@r0")}},
        BitCase{kNamed.c_str(),
                "W := W OR 256",
                {asmLine("mov.l", "#W", "r0"), asmLine("bset", "#0", "@r0")}},
        BitCase{kNamed.c_str(),
                "W := W XOR $8000",
                {asmLine("mov.l", "#W", "r0"), asmLine("bnot", "#7", "@r0")}},
        BitCase{kNamed.c_str(),
                "I := I AND -2",
                {asmLine("mov.l", "#I+1", "r0"), asmLine("bclr", "#0", "@r0")}},
        BitCase{kNamed.c_str(),
                "I := I AND $FEFF",
                {asmLine("mov.l", "#I", "r0"), asmLine("bclr", "#0", "@r0")}},
        // The 2000 reaches any absolute address directly.
        BitCase{kNamed2000.c_str(), "B := B OR 128", {asmLine("bset", "#7", "B")}},
        BitCase{kNamed2000.c_str(), "W := W AND $FFFD", {asmLine("bclr", "#1", "W+1")}},
        // Frame slots need their address in a register (the first local byte lies below
        // the level's display slot at -4); a pointer's target has its address already.
        BitCase{
            "", "B := B OR 1", {asmLine("lea", "@(-5,fp)", "r0"), asmLine("bset", "#0", "@r0")}},
        BitCase{kNamed.c_str(),
                "PB^ := PB^ OR 2",
                {asmLine("mov.l", "PB", "r0"), asmLine("bset", "#1", "@r0")}},
        // NOT F toggles bit 0 of a BOOLEAN in place.
        BitCase{kNamed.c_str(),
                "F := NOT F",
                {asmLine("mov.l", "#F", "r0"), asmLine("bnot", "#0", "@r0")}},
        BitCase{kNamed.c_str(),
                "A[2] := NOT A[2]",
                {asmLine("mov.l", "#A+1", "r0"), asmLine("bnot", "#0", "@r0")}}));

struct PlainCase {
  const char* statement;
  const char* store;  // the final move
};

void PrintTo(const PlainCase& c, std::ostream* os) { *os << c.statement; }

class NoBitUpdateTest : public ::testing::TestWithParam<PlainCase> {};

TEST_P(NoBitUpdateTest, StoresTheComputedValue) {
  const std::vector<std::string> lines =
      assignLines({kNamed, kDeclarations, std::string(GetParam().statement) + ";"});
  // Bit instructions may work on the value in a register, never on the variable.
  for (const std::string& line : lines) {
    for (const char* bit : {"\tbset\t", "\tbclr\t", "\tbnot\t"}) {
      if (line.find(bit) != std::string::npos) {
        EXPECT_EQ(line.find(",@"), std::string::npos) << line;
        EXPECT_EQ(line.find(GetParam().store), std::string::npos) << line;
      }
    }
  }
  const std::string store = GetParam().store;
  EXPECT_TRUE(
      std::any_of(lines.begin(), lines.end(),
                  [&](const std::string& line) { return line.find(store) != std::string::npos; }))
      << "no store " << store;
}

INSTANTIATE_TEST_SUITE_P(
    NotSingleBits, NoBitUpdateTest,
    ::testing::Values(PlainCase{"B := B AND 3", ",B"},  // clears two bits
                      PlainCase{"B := B OR 6", ",B"},
                      PlainCase{"B := B OR 256", ",B"},      // no bit of the byte
                      PlainCase{"L := L OR 1", ",L"},        // four-byte targets never
                      PlainCase{"I := J OR 4", ",I"},        // another variable
                      PlainCase{"I := -I OR 4", ",I"},       // not the variable itself
                      PlainCase{"I := NOT (I OR 4)", ",I"},  // the result is complemented
                      PlainCase{"F := NOT G", ",F"}));

// A[J] := NOT A[J]: the element's address depends on J, so the general BOOLEAN store
// computes the value and stores it; nothing toggles memory in place.
TEST(BooleanToggle, VariableIndexUsesTheGeneralStore) {
  const std::vector<std::string> lines = assignLines({kNamed, kDeclarations, "A[J] := NOT A[J];"});
  for (const std::string& line : lines) {
    EXPECT_EQ(line.find("bnot\t#0,@"), std::string::npos) << line;
  }
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
    return line.rfind("\tmov.b\tr", 0) == 0 && line.find(",@") != std::string::npos;
  }));
}

}  // namespace
}  // namespace vorax::testing
