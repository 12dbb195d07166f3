// Arrays, records and pointers: short structures are copied by unrolled moves, longer
// ones by a counted word loop that also copies an odd last byte.
#include <gtest/gtest.h>

#include "assign_test_support.h"

namespace vorax::testing {
namespace {

const std::string kNamed = "{$M $8000,$FF00}\n";

// The lines with their labels taken off, and the label of every labelled line.
std::vector<std::string> unlabelled(const std::vector<std::string>& lines) {
  std::vector<std::string> result;
  for (const std::string& line : lines) {
    const std::size_t colon = line.find(':');
    if (!line.empty() && line[0] != '\t' && colon != std::string::npos && line.find('\t') > colon) {
      result.push_back("\t" + line.substr(line[colon + 1] == '\t' ? colon + 2 : colon + 1));
    } else {
      result.push_back(line);
    }
  }
  return result;
}

struct CopyCase {
  const char* type;
  std::vector<std::string> expected;
};

void PrintTo(const CopyCase& c, std::ostream* os) { *os << c.type; }

class StructuredCopyTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(StructuredCopyTest, CopiesWithoutALoop) {
  const std::vector<std::string> lines =
      assignLines({kNamed, std::string("VAR X, Y: ") + GetParam().type + ";", "Y := X;"});
  EXPECT_TRUE(hasSequence(lines, GetParam().expected));
  EXPECT_TRUE(lacksMnemonic(lines, "bne"));
}

INSTANTIATE_TEST_SUITE_P(
    Unrolled, StructuredCopyTest,
    ::testing::Values(CopyCase{"RECORD A, B: INTEGER END",
                               {asmLine("mov.l", "X", "r0"), asmLine("mov.l", "r0", "Y")}},
                      CopyCase{"ARRAY[1..3] OF INTEGER",
                               {asmLine("mov.l", "X", "r0"), asmLine("mov.l", "r0", "Y"),
                                asmLine("mov.w", "X+4", "r0"), asmLine("mov.w", "r0", "Y+4")}},
                      CopyCase{"RECORD A, B: LONGINT END",
                               {asmLine("mov.l", "X", "r0"), asmLine("mov.l", "r0", "Y"),
                                asmLine("mov.l", "X+4", "r0"), asmLine("mov.l", "r0", "Y+4")}},
                      CopyCase{"ARRAY[0..9] OF CHAR",
                               {asmLine("mov.l", "X", "r0"), asmLine("mov.l", "r0", "Y"),
                                asmLine("mov.l", "X+4", "r0"), asmLine("mov.l", "r0", "Y+4"),
                                asmLine("mov.w", "X+8", "r0"), asmLine("mov.w", "r0", "Y+8")}}));

struct LoopCase {
  const char* type;
  int words;
  bool oddByte;
};

void PrintTo(const LoopCase& c, std::ostream* os) { *os << c.type; }

class StructuredLoopTest : public ::testing::TestWithParam<LoopCase> {};

TEST_P(StructuredLoopTest, CopiesWordsInACountedLoop) {
  const LoopCase& c = GetParam();
  const std::vector<std::string> raw =
      assignLines({kNamed, std::string("VAR X, Y: ") + c.type + ";", "Y := X;"});
  const std::vector<std::string> lines = unlabelled(raw);
  std::vector<std::string> expected = {asmLine("mov.l", "#X", "r0"), asmLine("mov.l", "#Y", "r1")};
  if (c.words > 0) {
    expected.insert(expected.end(), {asmLine("mov.w", "#" + std::to_string(c.words), "r2"),
                                     asmLine("mov.w", "@r0+", "r3"), asmLine("mov.w", "r3", "@r1"),
                                     asmLine("inc.l", "#2", "r1"), asmLine("dec.w", "#1", "r2")});
  }
  const int at = findSequence(lines, expected);
  ASSERT_GE(at, 0) << ::testing::PrintToString(raw);
  std::size_t next = static_cast<std::size_t>(at) + expected.size();
  if (c.words > 0) {
    // The loop branches back to the first word move, which carries the loop label.
    const std::string& head = raw[static_cast<std::size_t>(at) + 3];
    const std::string label = head.substr(0, head.find(':'));
    ASSERT_FALSE(label.empty());
    EXPECT_EQ(raw[next], asmLine("bne", label));
    ++next;
  }
  const std::string byteRegister = c.words > 0 ? "r3" : "r2";
  if (c.oddByte) {
    EXPECT_TRUE(hasSequence(
        lines, {asmLine("mov.b", "@r0", byteRegister), asmLine("mov.b", byteRegister, "@r1")}));
  } else {
    EXPECT_TRUE(lacksMnemonic(lines, "mov.b"));
  }
}

INSTANTIATE_TEST_SUITE_P(Looped, StructuredLoopTest,
                         ::testing::Values(LoopCase{"RECORD A, B, C: LONGINT END", 6, false},
                                           LoopCase{"ARRAY[1..10] OF INTEGER", 10, false},
                                           LoopCase{"RECORD A: INTEGER END", 1, false},
                                           // Odd sizes: the last byte follows the words.
                                           LoopCase{"ARRAY[1..3] OF CHAR", 1, true},
                                           LoopCase{"ARRAY[1..13] OF BYTE", 6, true},
                                           LoopCase{"ARRAY[1..1] OF BOOLEAN", 0, true}));

TEST(PointerStore, MovesTheAddressAsALongWord) {
  const std::vector<std::string> lines =
      assignLines({kNamed, "VAR P, Q: ^INTEGER; N: INTEGER;", "P := Q; Q := @N;"});
  EXPECT_TRUE(hasSequence(lines, {asmLine("mov.l", "Q", "r0"), asmLine("mov.l", "r0", "P")}));
  EXPECT_TRUE(hasSequence(lines, {asmLine("mov.l", "#N", "r0"), asmLine("mov.l", "r0", "Q")}));
}

}  // namespace
}  // namespace vorax::testing
