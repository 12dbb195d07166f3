// The tiers as the emit pipeline runs them: the local tier's scan order and fixed point,
// the block tier's sequence and its three-line threshold, the switches and the counts.
#include <algorithm>
#include <sstream>

#include "peephole_fixture.h"

namespace vorax::testing {
namespace {

class PeepholeTiers : public ::testing::Test, public PeepholeFixture {
 protected:
  std::vector<std::string> local(const std::vector<std::string>& lines) {
    loadWindow(window(), lines);
    optimizer().runLocalTier(window());
    return windowLineTexts(window());
  }
  std::vector<std::string> block(const std::vector<std::string>& lines) {
    loadWindow(window(), lines);
    optimizer().runBlockTier(window());
    return windowLineTexts(window());
  }
};

using Lines = std::vector<std::string>;

TEST_F(PeepholeTiers, KnownFlagsDoNotRestartTheScan) {
  // Rule 21 turns the branch into "bra" without reporting a change, so the line it makes
  // unreachable stays until the next append scans the window again.
  EXPECT_EQ(local({"xor.w r0,r0", "beq $3", "mov.w r1,r2", "$3: rts"}),
            (Lines{"xor.w r0,r0", "bra $3", "mov.w r1,r2", "$3: rts"}));
  loadWindow(window(), {"mov.w r4,r5"});
  optimizer().runLocalTier(window());
  EXPECT_EQ(windowLineTexts(window()),
            (Lines{"xor.w r0,r0", "bra $3", "nop", "$3: rts", "mov.w r4,r5"}));
  EXPECT_EQ(optimizer().statistics().count("L21"), 1);
  EXPECT_EQ(optimizer().statistics().count("L12"), 1);
}

TEST_F(PeepholeTiers, LocalTierReachesFixedPoint) {
  EXPECT_EQ(local({"and.b #8,r0", "cmp.b #8,r0", "beq $4"}),
            (Lines{"and.b #8,r0", "nop", "bne $4"}));
}

TEST_F(PeepholeTiers, NewestPositionIsTriedFirst) {
  // The branch to the next line goes first (rule 17 at the newest position), which leaves
  // its compare without a reader (rule 14); the range test (rule 16) then no longer
  // matches.
  EXPECT_EQ(local({"cmp.w #5,r1", "ble $2", "cmp.w #9,r1", "ble $2", "$2: rts"}),
            (Lines{"cmp.w #5,r1", "ble $2", "nop", "nop", "$2: rts"}));
  EXPECT_EQ(window().labelUses().uses("$2"), 1);
}

TEST_F(PeepholeTiers, RangeTestFoldsBeforeTheTargetArrives) {
  EXPECT_EQ(local({"cmp.w #5,r1", "ble $2", "cmp.w #9,r1", "ble $2"}),
            (Lines{"nop", "nop", "cmp.w #9,r1", "ble $2"}));
}

TEST_F(PeepholeTiers, ClearRegisterRuleLooksAtNewestLineOnly) {
  loadWindow(window(), {"xor.w r1,r1", "mov.w r2,X.5", "xor.w r1,r1", "mov.w r3,r4"});
  optimizer().runClearRegisterRule(window());
  EXPECT_EQ(windowLineTexts(window()),
            (Lines{"xor.w r1,r1", "mov.w r2,X.5", "xor.w r1,r1", "mov.w r3,r4"}));
}

TEST_F(PeepholeTiers, ThreeLinesAreWrittenWithoutBlockTier) {
  EXPECT_EQ(block({"nop", "nop", "nop"}), (Lines{"nop", "nop", "nop"}));
}

TEST_F(PeepholeTiers, FourLinesGetTheBlockTier) {
  EXPECT_EQ(block({"mov.w r0,r1", "nop", "nop", "rts"}), (Lines{"mov.w r0,r1", "rts"}));
}

TEST_F(PeepholeTiers, LeafProcedureLosesReservationAndFrame) {
  EXPECT_EQ(block({"P.4: mov.b #1,r0", "bsr \\slset", "sub.l #24,sp", "mov.w X.5,r1", "add.w #3,r1",
                   "mov.w r1,X.5", "mov.l fp,sp", "mov.l @sp+,fp", "rts"}),
            (Lines{"P.4: mov.w X.5,r1", "add.w #3,r1", "mov.w r1,X.5", "rts"}));
  EXPECT_EQ(optimizer().statistics().count("B-stack"), 1);
  EXPECT_EQ(optimizer().statistics().count("F-leaf"), 1);
}

TEST_F(PeepholeTiers, LeafFunctionResultGoesThroughR0) {
  EXPECT_EQ(
      block({"F.4: mov.w r0,@-sp", "mov.b #1,r0", "bsr \\slset", "sub.l #24,sp", "mov.w X.5,r1",
             "mov.w r1,@(4,fp)", "mov.l fp,sp", "mov.l @sp+,fp", "mov.w @sp+,r0", "rts"}),
      (Lines{"F.4: mov.w r0,@-sp", "mov.w X.5,r0", "adds #2,sp", "rts"}));
}

TEST_F(PeepholeTiers, IfElseBranchesCollapse) {
  // IF c THEN x := 1 ELSE x := 2, with the else arm's store shared through the end label.
  EXPECT_EQ(block({"P.4: mov.b #1,r0", "bsr \\slset", "cmp.w #0,r1", "beq $3", "mov.w #1,r2",
                   "mov.w r2,X.5", "bra $4", "$3: nop", "mov.w #2,r2", "mov.w r2,X.5",
                   "$4: mov.l fp,sp", "mov.l @sp+,fp", "rts"}),
            (Lines{"P.4: cmp.w #0,r1", "beq $3", "mov.w #1,r2", "bra $2", "$3: mov.w #2,r2",
                   "$2: mov.w r2,X.5", "rts"}));
  EXPECT_EQ(window().labelUses().uses("$2"), 1);
  EXPECT_EQ(window().labelUses().uses("$3"), 1);
  EXPECT_EQ(window().labelUses().uses("$4"), 0);
}

TEST(PeepholeSwitches, TiersOffLeaveTheWindowAlone) {
  RecordingHost host;
  CompileOptions options;
  options.localTier = false;
  options.blockTier = false;
  Compilation compilation(host, options);
  PeepholeWindow window(compilation.output);
  const Lines lines = {"xor.w r0,r0", "beq $3", "nop", "xor.w r0,r0"};
  loadWindow(window, lines);
  compilation.optimizer.runLocalTier(window);
  compilation.optimizer.runClearRegisterRule(window);
  compilation.optimizer.runBlockTier(window);
  EXPECT_EQ(windowLineTexts(window), lines);
}

TEST(PeepholeSwitches, CountsGoToTheCallersStatistics) {
  RecordingHost host;
  RuleStatistics statistics;
  CompileOptions options;
  options.ruleStatistics = &statistics;
  {
    Compilation compilation(host, options);
    PeepholeWindow window(compilation.output);
    loadWindow(window, {"xor.w r0,r0", "bne $3"});
    compilation.optimizer.runLocalTier(window);
  }
  EXPECT_EQ(statistics.count("L21"), 1);
  std::ostringstream printed;
  statistics.print(printed);
  const std::string text = printed.str();
  EXPECT_EQ(text.substr(0, 6), "L01 0\n");
  EXPECT_NE(text.find("\nL21 1\n"), std::string::npos);
  EXPECT_NE(text.find("\nB-nop 0\n"), std::string::npos);
  // One line per rule id.
  EXPECT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')),
            PeepholeOptimizer::ruleIds().size());
}

TEST(PeepholeSwitches, RuleIdsAreUnique) {
  const auto ids = PeepholeOptimizer::ruleIds();
  for (std::size_t i = 0; i < ids.size(); ++i) {
    EXPECT_FALSE(ids[i].empty());
    for (std::size_t j = i + 1; j < ids.size(); ++j) {
      EXPECT_NE(ids[i], ids[j]);
    }
  }
}

}  // namespace
}  // namespace vorax::testing
