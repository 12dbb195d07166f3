// Local labels, markers, spill marks and stack adjustments.
#include "asmout/labels.h"

#include <gtest/gtest.h>

#include "asmout/stack_adjust.h"
#include "diag/diagnostics.h"
#include "support/emit_fixture.h"

namespace vorax {
namespace {

using testing::EmitFixture;
using testing::pipelineOnly;
using testing::windowText;
using Lines = std::vector<std::string>;

TEST(LabelsTest, CurrentLabelMakesANewLocalLabelPendingOnce) {
  EmitFixture f(pipelineOnly());
  Compilation& c = f.compilation();
  EXPECT_EQ(currentLabel(c, false), "$2");
  EXPECT_EQ(currentLabel(c, false), "$2");
  f.emit("rts");
  EXPECT_EQ(currentLabel(c, false), "$3");
  EXPECT_EQ(windowText(f.window()), (Lines{"$2:\trts"}));
}

TEST(LabelsTest, CurrentLabelReturnsAnEarlierPendingLabel) {
  EmitFixture f(pipelineOnly());
  f.emitter().defineLabel(false, "$7");
  EXPECT_EQ(currentLabel(f.compilation(), false), "$7");
}

TEST(LabelsTest, UnusedLabelIsNotPlaced) {
  EmitFixture f(pipelineOnly());
  placeLabelIfUsed(f.compilation(), false, "$5");
  EXPECT_EQ(f.emitter().pendingLabel(), "");
  f.emit("beq $5");
  placeLabelIfUsed(f.compilation(), false, "$5");
  EXPECT_EQ(f.emitter().pendingLabel(), "$5");
}

TEST(LabelsTest, PlacingThePendingLabelCountsAUse) {
  EmitFixture f(pipelineOnly());
  f.emitter().defineLabel(false, "$4");
  placeLabelIfUsed(f.compilation(), false, "$4");
  EXPECT_EQ(f.window().labelUses().uses("$4"), 1);
  EXPECT_EQ(f.emitter().pendingLabel(), "$4");
}

TEST(LabelsTest, MarkerIsAPlaceholderLineCountedAsFiller) {
  EmitFixture f(pipelineOnly());
  f.emit("mov.w r0,r1");
  EXPECT_EQ(placeMarker(f.compilation(), "@"), "@2");
  EXPECT_EQ(placeMarker(f.compilation(), "#"), "#3");
  EXPECT_EQ(windowText(f.window()), (Lines{"\tmov.w\tr0,r1", "@2:\tbcx\t@2", "#3:\tbcx\t#3"}));
  EXPECT_EQ(f.emitter().labelFillerNops(), 2);
}

TEST(LabelsTest, SpillMarkWithoutCallBecomesNop) {
  EmitFixture f(pipelineOnly());
  Compilation& c = f.compilation();
  std::string value = c.registers.allocateRegister();
  const std::string mark = placeMarker(c, "@");
  f.emit("mov.w @x,r1");
  resolveSpillMark(c, mark, value, true);
  EXPECT_EQ(value, "r0");
  EXPECT_EQ(windowText(f.window()), (Lines{"\tnop", "\tmov.w\t@x,r1"}));
}

TEST(LabelsTest, SpillMarkBeforeCallPushesAndPops) {
  EmitFixture f(pipelineOnly());
  Compilation& c = f.compilation();
  std::string value = c.registers.allocateRegister();  // r0, kept through the call
  c.registers.lockRegister(value);
  const std::string mark = placeMarker(c, "@");
  f.emitAll({"mov.l r2,@-sp", "bsr \\mul"});
  resolveSpillMark(c, mark, value, false);
  EXPECT_EQ(value, "r1");
  EXPECT_EQ(windowText(f.window()),
            (Lines{"\tmov.w\tr0,@-sp", "\tmov.l\tr2,@-sp", "\tbsr\t\\mul", "\tmov.w\t@sp+,r1"}));
}

// A value kept across more code than the window holds: its spill mark leaves the window
// as the push of its register, and settling the mark pops the value.
TEST(LabelsTest, SpillMarkThatLeftTheWindowIsPushedAndThenPopped) {
  EmitFixture f(pipelineOnly());
  Compilation& c = f.compilation();
  std::string value = c.registers.allocateRegister();
  const std::string mark = placeSpillMark(c, value);
  for (int i = 0; i < PeepholeWindow::kCapacity; ++i) {
    f.emit("mov.w r1,r2");
  }
  resolveSpillMark(c, mark, value, false);
  EXPECT_TRUE(f.host().errors.empty());
  const Lines written = f.flushAndReadLines();
  ASSERT_EQ(written.size(), static_cast<std::size_t>(PeepholeWindow::kCapacity) + 2);
  EXPECT_EQ(written.front(), "\tmov.l\tr0,@-sp");
  EXPECT_EQ(written.back(), "\tmov.l\t@sp+," + value);
}

TEST(StackAdjustTest, ReservationsUseTheShortestForm) {
  const struct {
    std::int64_t n;
    Lines written;
  } cases[] = {
      {1, {"\tsubs\t#2,sp"}},    {3, {"\tsubs\t#4,sp"}},      {4, {"\tsubs\t#4,sp"}},
      {10, {"\tsub.l\t#10,sp"}}, {255, {"\tsub.l\t#256,sp"}},
  };
  for (const auto& c : cases) {
    EmitFixture f(pipelineOnly());
    allocateStack(f.emitter(), c.n);
    EXPECT_EQ(f.flushAndReadLines(), c.written) << c.n;
  }
}

TEST(StackAdjustTest, ReleasesUseAddsUpToEightBytes) {
  const struct {
    std::int64_t n;
    Lines written;
  } cases[] = {
      {0, {}},
      {2, {"\tadds\t#2,sp"}},
      {3, {"\tadds\t#4,sp"}},
      {5, {"\tadds\t#4,sp", "\tadds\t#2,sp"}},
      {6, {"\tadds\t#4,sp", "\tadds\t#2,sp"}},
      {8, {"\tadds\t#4,sp", "\tadds\t#4,sp"}},
      {12, {"\tadd.l\t#12,sp"}},
  };
  for (const auto& c : cases) {
    EmitFixture f(pipelineOnly());
    releaseStack(f.emitter(), c.n);
    EXPECT_EQ(f.flushAndReadLines(), c.written) << c.n;
  }
}

}  // namespace
}  // namespace vorax
