// Stores into STRING variables: constants inline behind "\movsi", appends in place, single
// characters as one word, variables through "\movs" and everything else through "\saves".
#include <gtest/gtest.h>

#include "assign_test_support.h"

namespace vorax::testing {
namespace {

const std::string kNamed = "{$M $8000,$FF00}\n";
const std::string kDeclarations =
    "VAR S, T: STRING; S3: STRING[3]; S0: STRING[0]; S10: STRING[10]; C: CHAR;";

struct StringCase {
  const char* statement;
  std::vector<std::string> expected;
};

void PrintTo(const StringCase& c, std::ostream* os) { *os << c.statement; }

class StringStoreTest : public ::testing::TestWithParam<StringCase> {};

TEST_P(StringStoreTest, EmitsTheStore) {
  const std::vector<std::string> lines =
      assignLines({kNamed, kDeclarations, std::string(GetParam().statement) + ";"});
  EXPECT_TRUE(hasSequence(lines, GetParam().expected));
}

const std::vector<std::string> kPushS = {asmLine("mov.l", "#S", "r0"),
                                         asmLine("mov.l", "r0", "@-sp")};

std::vector<std::string> joined(std::vector<std::string> first,
                                const std::vector<std::string>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// The emit pipeline joins consecutive data lines into one "db" line.
INSTANTIATE_TEST_SUITE_P(
    Stores, StringStoreTest,
    ::testing::Values(
        // The empty string: only the length byte.
        StringCase{"S := ''", {asmLine("xor.w", "r0", "r0"), asmLine("mov.b", "r0", "S")}},
        // Constants: length byte, characters, a blank that keeps the code even.
        StringCase{"S := 'AB'",
                   joined(kPushS, {asmLine("bsr", "\\movsi"), asmLine("db", "  2,'AB '")})},
        StringCase{"S := 'ABC'",
                   joined(kPushS, {asmLine("bsr", "\\movsi"), asmLine("db", "  3,'ABC'")})},
        // Cut to the variable's maximum length.
        StringCase{"S3 := 'ABCDE'",
                   {asmLine("mov.l", "#S3", "r0"), asmLine("mov.l", "r0", "@-sp"),
                    asmLine("bsr", "\\movsi"), asmLine("db", "  3,'ABC'")}},
        // S := S + constant: the maximum length, then the constant; the byte count of
        // both together stays even.
        StringCase{"S := S + 'X'",
                   joined(kPushS, {asmLine("bsr", "\\apdsi"), asmLine("db", "255,  1,'X '")})},
        StringCase{"S10 := S10 + 'XY'",
                   {asmLine("mov.l", "#S10", "r0"), asmLine("mov.l", "r0", "@-sp"),
                    asmLine("bsr", "\\apdsi"), asmLine("db", " 10,  2,'XY'")}},
        StringCase{"S := S + C",
                   joined(kPushS, {asmLine("mov.b", "C", "r0"), asmLine("mov.w", "r0", "@-sp"),
                                   asmLine("bsr", "\\apdc"), asmLine("db", "255,0")})},
        // One character: the word 256 + code, length byte first.
        StringCase{"S := 'A'", {asmLine("mov.w", "#65+256", "r0"), asmLine("mov.w", "r0", "S")}},
        StringCase{"S := C",
                   {asmLine("mov.w", "#256", "r0"), asmLine("mov.b", "C", "r0"),
                    asmLine("mov.w", "r0", "S")}},
        // A string variable: size, source address, target address.
        StringCase{"S3 := T",
                   {asmLine("mov.w", "#4", "r0"), asmLine("mov.w", "r0", "@-sp"),
                    asmLine("mov.l", "#T", "r0"), asmLine("mov.l", "r0", "@-sp"),
                    asmLine("mov.l", "#S3", "r0"), asmLine("mov.l", "r0", "@-sp"),
                    asmLine("bsr", "\\movs")}},
        // Anything else is built on the stack and stored with the target's size.
        StringCase{"S3 := T + 'X'",
                   {asmLine("mov.w", "#4", "r0"), asmLine("mov.w", "r0", "@-sp"),
                    asmLine("mov.l", "#S3", "r0"), asmLine("mov.l", "r0", "@-sp"),
                    asmLine("bsr", "\\saves")}}));

// STRING[0] has room for the length byte only: a character leaves it empty instead of
// writing a word over the byte after it.
TEST(StringStore, CharacterIntoEmptyStringWritesOnlyTheLengthByte) {
  for (const char* statement : {"S0 := 'A';", "S0 := C;"}) {
    const std::vector<std::string> lines = assignLines({kNamed, kDeclarations, statement});
    EXPECT_TRUE(lacksMnemonic(lines, "mov.w")) << statement;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
      return line.find("\tmov.b\t") != std::string::npos && line.ends_with(",S0");
    })) << statement;
  }
}

// Strings in records and arrays are not aligned, and a pointer may reach any string: the
// one-character store goes byte by byte there, since a word store at an odd address
// would hit the byte before the string.
TEST(StringStore, CharacterAtPossiblyOddAddressIsStoredByBytes) {
  const std::string declarations = "VAR R: RECORD C: CHAR; S: STRING[3] END; P: ^STRING; C: CHAR;";
  const std::vector<std::string> field = assignLines({kNamed, declarations, "R.S := 'A';"});
  EXPECT_TRUE(hasSequence(field, {asmLine("mov.b", "#65", "r0"), asmLine("mov.b", "#1", "r1"),
                                  asmLine("mov.b", "r1", "R+1"), asmLine("mov.b", "r0", "R+1+1")}));
  EXPECT_TRUE(lacksMnemonic(field, "mov.w"));
  const std::vector<std::string> pointer = assignLines({kNamed, declarations, "P^ := C;"});
  EXPECT_TRUE(hasSequence(pointer, {asmLine("mov.b", "C", "r0"), asmLine("mov.b", "#1", "r1"),
                                    asmLine("mov.l", "P", "r2"), asmLine("mov.b", "r1", "@r2"),
                                    asmLine("mov.b", "r0", "@(1,r2)")}));
  EXPECT_TRUE(lacksMnemonic(pointer, "mov.w"));
}

}  // namespace
}  // namespace vorax::testing
