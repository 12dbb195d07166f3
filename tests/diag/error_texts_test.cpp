// The error texts must reach the assembly file byte for byte in CP932; a wrong blank,
// a half-width digit or a lost trailing blank is a visible fault there.
#include <gtest/gtest.h>

#include <string>

#include "diag/diagnostics.h"
#include "diag/error_table.h"
#include "diag/text_encoding.h"

namespace vorax {
namespace {

std::string hex(const std::string& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

struct Cp932Case {
  int number;
  const char* cp932Hex;
};

// Expected bytes were worked out from the CP932 code table by hand for the characters
// that are easy to get wrong: the full-width blank (81 40), full-width digits (82 4f,
// 82 50), the full-width parenthesis (81 69) next to a half-width one (29), and the
// trailing blank of 82.
TEST(ErrorTexts, ReachTheFileAsExactCp932Bytes) {
  const Cp932Case cases[] = {
      {70, "75736573814082cd8e6782a682dc82b982f1"},
      {54, "824f82c58a8482c182c482a282dc82b7"},
      {102, "96b38cf882c895b68e9a82aa93fc82c182c482a282dc82b7816991538a7095b68e9a29"},
      {82, "7b246d20686561702c737461636b2c7063207d2082c5737461636b82f092e88b6082b582c482ad82be82b382a220"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(hex(utf8ToCp932(errorText(c.number))), c.cp932Hex) << "error " << c.number;
  }
}

TEST(ErrorTexts, UnassignedAndOutOfRangeNumbersNeedMoreDebug) {
  for (int number : {0, 38, 39, 40, 47, 56, 57, 83, 86, 90, 94, 99, 103, 900, 950, 999, -1}) {
    EXPECT_EQ(errorText(number), "Need more debug") << number;
  }
  for (int number : {1, 37, 41, 46, 48, 55, 58, 82, 91, 93, 95, 98, 100, 101, 102}) {
    EXPECT_NE(errorText(number), "Need more debug") << number;
  }
}

TEST(ErrorTexts, MessagesJoinNumberTextAndSuffix) {
  EXPECT_EQ(composeErrorMessage(1, ""), "Error:1  ';' が必要です");
  EXPECT_EQ(composeErrorMessage(950, ""), "Error:950  Need more debug");
  EXPECT_EQ(composeErrorMessage(59, " ( FOO ) "),
            "Error:59  Forward proc/func本体がありません ( FOO ) ");
  EXPECT_EQ(composeErrorMessage(77, ""), "Error:77  PROGRAM が必要です !");
}

TEST(TextEncoding, RoundTripsJapaneseAndReplacesBrokenBytes) {
  const std::string utf8 = "コンパイル終了  ";
  EXPECT_EQ(hex(utf8ToCp932(utf8)), "8352839383708343838b8f4997b92020");
  EXPECT_EQ(cp932ToUtf8(utf8ToCp932(utf8)), utf8);
  // A lone lead byte at the end can't be converted: it is replaced, the rest survives.
  EXPECT_EQ(cp932ToUtf8("ab\x82"), "ab\xEF\xBF\xBD");
  EXPECT_EQ(cp932ToUtf8("plain"), "plain");
}

}  // namespace
}  // namespace vorax
