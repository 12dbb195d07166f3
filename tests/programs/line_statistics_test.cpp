// The trailer's line statistics "; (asm lines) G-R=N": generated lines, the ones the
// optimizer removed, and what remains. Programs full of labels that meet (nested IFs
// without ELSE, loop ends) get label-carrying filler lines; with the optimizer off nothing
// removes those, and the counts must still add up.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/source_tree.h"

namespace vorax::testing {
namespace {

struct LineCounts {
  std::int64_t generated = -1;
  std::int64_t removed = -1;
  std::int64_t remaining = -1;
};

// The three numbers of the statistics line; a missing or malformed line fails the test.
LineCounts countsOf(const std::vector<std::string>& lines) {
  static const std::string kPrefix = "; (asm lines) ";
  for (const std::string& line : lines) {
    if (line.rfind(kPrefix, 0) != 0) {
      continue;
    }
    const std::string text = line.substr(kPrefix.size());
    const auto minus = text.find('-');
    const auto equals = text.find('=');
    if (minus == std::string::npos || equals == std::string::npos || equals < minus) {
      ADD_FAILURE() << "malformed statistics line: " << line;
      return {};
    }
    return {std::stoll(text.substr(0, minus)),
            std::stoll(text.substr(minus + 1, equals - minus - 1)),
            std::stoll(text.substr(equals + 1))};
  }
  ADD_FAILURE() << "no statistics line";
  return {};
}

struct StatisticsCase {
  const char* name;
  const char* body;
};

void PrintTo(const StatisticsCase& c, std::ostream* os) { *os << c.name; }

const StatisticsCase kCases[] = {
    {"Empty", ""},
    {"NestedIfs", "IF I > 1 THEN IF I > 2 THEN IF I > 3 THEN I := 0;"},
    {"LoopsEndingInIfs",
     "WHILE I < 10 DO BEGIN IF I > 5 THEN IF I > 7 THEN J := J + 1; I := I + 1 END;\n"
     "REPEAT IF J > 0 THEN IF J > 1 THEN J := J - 1 UNTIL J = 0;\n"
     "FOR I := 1 TO 3 DO IF J = 0 THEN IF I = 2 THEN J := I;"},
    {"CaseAndWith",
     "CASE I OF 1: IF J > 0 THEN J := 0; 2, 3: BEGIN END ELSE IF J < 0 THEN J := 1 END;\n"
     "WITH X DO IF A > 0 THEN IF B > 0 THEN A := B;"},
};

class LineStatisticsTest : public ::testing::TestWithParam<std::tuple<StatisticsCase, bool>> {};

TEST_P(LineStatisticsTest, CountsAddUpAndNoneIsNegative) {
  const auto& [c, optimized] = GetParam();
  CompileOptions options;
  options.localTier = optimized;
  options.blockTier = optimized;
  const SourceTree tree;
  const CompileResult result =
      compileSource(tree,
                    std::string("PROGRAM T;\nVAR I, J: INTEGER; X: RECORD A, B: INTEGER END;\n"
                                "BEGIN\n") +
                        c.body + "\nEND.\n",
                    "T.PAS", options);
  ASSERT_TRUE(result.host.errors.empty()) << result.host.errors.front().number;
  const LineCounts counts = countsOf(result.lines);
  EXPECT_GE(counts.generated, 0);
  EXPECT_GE(counts.removed, 0);
  EXPECT_GE(counts.remaining, 0);
  EXPECT_EQ(counts.generated - counts.removed, counts.remaining);
}

INSTANTIATE_TEST_SUITE_P(Programs, LineStatisticsTest,
                         ::testing::Combine(::testing::ValuesIn(kCases), ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "_Optimized" : "_Unoptimized");
                         });

}  // namespace
}  // namespace vorax::testing
