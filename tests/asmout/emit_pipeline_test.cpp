// Labels, raw lines, flushing, the full window and the line statistics of the pipeline.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/emit_fixture.h"

namespace vorax {
namespace {

using testing::EmitFixture;
using testing::pipelineOnly;
using Lines = std::vector<std::string>;

TEST(EmitPipelineTest, TwoLabelsInARowGiveTheFirstANop) {
  EmitFixture f(pipelineOnly());
  f.emitter().defineLabel(false, "$2");
  f.emitter().defineLabel(false, "$3");
  f.emit("rts");
  EXPECT_EQ(f.flushAndReadLines(), (Lines{"$2:\tnop", "$3:\trts"}));
  EXPECT_EQ(f.emitter().labelFillerNops(), 1);
  EXPECT_EQ(f.emitter().emittedLines(), 2);
}

TEST(EmitPipelineTest, LabelColumnDependsOnLabelLength) {
  const struct {
    const char* label;
    Lines written;
  } cases[] = {
      {"$2", {"$2:\trts"}},
      {"$12345", {"$12345:\trts"}},
      {"abcdefg", {"abcdefg:rts"}},
      {"abcdefgh", {"abcdefgh:", "\trts"}},
      {"\\LONGROUTINENAME", {"\\LONGROUTINENAME:", "\trts"}},
  };
  for (const auto& c : cases) {
    EmitFixture f(pipelineOnly());
    f.emitter().defineLabel(false, c.label);
    f.emit("rts");
    EXPECT_EQ(f.flushAndReadLines(), c.written) << c.label;
  }
}

TEST(EmitPipelineTest, OperandsAreWrittenAfterTabs) {
  EmitFixture f(pipelineOnly());
  f.emitAll({"rts", "bsr \\halt", "mov.w @(4,fp),r0"});
  EXPECT_EQ(f.flushAndReadLines(), (Lines{"\trts", "\tbsr\t\\halt", "\tmov.w\t@(4,fp),r0"}));
}

// A label or an operand is a name or an address: a cut one would name something else (a
// table element far off, a routine defined under another label than the one called).
TEST(EmitPipelineTest, LabelsAndOperandsKeepTheirWholeLength) {
  EmitFixture f(pipelineOnly());
  const std::string routine = "A_ROUTINE_NAME_OF_23_CH.10003";
  const std::string element = "@(TABLE_OF_MEASURED_VALUES.12+11998,r3)";
  f.emitter().defineLabel(false, routine);
  f.emitter().emitInstruction("mov.w", "@(ANOTHER_TABLE_OF_VALUES_TO_SHOW.4+60000,r2)", "r1");
  f.emitter().emitInstruction("mov.w", "r1", element);
  f.emitter().emitInstruction("bsr", routine, "");
  EXPECT_EQ(f.flushAndReadLines(),
            (Lines{routine + ":", "\tmov.w\t@(ANOTHER_TABLE_OF_VALUES_TO_SHOW.4+60000,r2),r1",
                   "\tmov.w\tr1," + element, "\tbsr\t" + routine}));
}

// Raw lines (stubs, equates) are written whole; comment lines for the reader (the source
// echo, warnings) are cut to 48 characters.
TEST(EmitPipelineTest, RawLineIsWrittenAtOnceWhenTheWindowIsEmpty) {
  EmitFixture f(pipelineOnly());
  f.emitter().emitRawLine("; first");
  EXPECT_EQ(f.writtenLines(), (Lines{"; first"}));
  f.emit("mov.w r0,r1");
  f.emitter().emitRawLine("; after the move");
  f.emitter().emitCommentLine("; " + std::string(60, 'c'));
  const std::string stub = "A_ROUTINE_NAME_OF_23_CH:\tjmp\tA_ROUTINE_NAME_OF_23_CH.10003";
  f.emitter().emitRawLine(stub);
  f.emit("mov.w r1,r2");
  EXPECT_EQ(f.writtenLines(), (Lines{"; first"}));
  EXPECT_EQ(f.flushAndReadLines(), (Lines{"; first", "\tmov.w\tr0,r1", "; after the move",
                                          "; " + std::string(46, 'c'), stub, "\tmov.w\tr1,r2"}));
}

TEST(EmitPipelineTest, GlobalLabelWritesTheWindowFirst) {
  EmitFixture f(pipelineOnly());
  f.emitAll({"mov.w r0,r1", "bra $2"});
  EXPECT_EQ(f.emitter().newLabelNumber(), 2);
  EXPECT_EQ(f.emitter().newLabelNumber(), 3);
  f.emit("\\PROC: bra $2");
  EXPECT_EQ(f.writtenLines(), (Lines{"\tmov.w\tr0,r1", "\tbra\t$2"}));
  EXPECT_EQ(f.window().count(), 1);
  // A new local-label space, in which the new line's own branch is counted.
  EXPECT_EQ(f.emitter().newLabelNumber(), 2);
  EXPECT_EQ(f.window().labelUses().uses("$2"), 1);
}

TEST(EmitPipelineTest, LocalAndMarkerLabelsDoNotFlush) {
  EmitFixture f(pipelineOnly());
  f.emitAll({"mov.w r0,r1", "$2: rts", "@3: bcx @3", "#4: bcx #4"});
  EXPECT_TRUE(f.writtenLines().empty());
  EXPECT_EQ(f.window().count(), 4);
}

TEST(EmitPipelineTest, BranchesCountUsesOfLocalLabelsBeyond256) {
  EmitFixture f(pipelineOnly());
  f.emitAll({"bra $300", "beq $300", "bne $7"});
  EXPECT_EQ(f.window().labelUses().uses("$300"), 2);
  EXPECT_EQ(f.window().labelUses().uses("$7"), 1);
  f.window().deleteLine(0);
  EXPECT_EQ(f.window().labelUses().uses("$300"), 1);
  (void)f.flushAndReadLines();
  EXPECT_EQ(f.window().labelUses().uses("$300"), 0);
}

TEST(EmitPipelineTest, FlushStartsANewLabelSpaceAndClearsThePendingLabel) {
  EmitFixture f(pipelineOnly());
  (void)f.emitter().newLabelNumber();
  (void)f.emitter().newLabelNumber();
  f.emitter().defineLabel(false, "$9");
  (void)f.flushAndReadLines();
  EXPECT_EQ(f.emitter().pendingLabel(), "");
  EXPECT_EQ(f.emitter().newLabelNumber(), 2);
}

TEST(EmitPipelineTest, FullWindowWritesItsOldestLine) {
  EmitFixture f(pipelineOnly());
  for (int i = 0; i < PeepholeWindow::kCapacity; ++i) {
    f.emit("mov.w r0,@v" + std::to_string(i));
  }
  EXPECT_TRUE(f.writtenLines().empty());
  f.emit("mov.w r0,@last");
  EXPECT_EQ(f.writtenLines(), (Lines{"\tmov.w\tr0,@v0"}));
  EXPECT_EQ(f.window().count(), PeepholeWindow::kCapacity);
  EXPECT_EQ(f.window().last().destination, "@last");
  EXPECT_EQ(f.emitter().removedLines(), 0);
  EXPECT_EQ(f.emitter().emittedLines(), PeepholeWindow::kCapacity + 1);
}

TEST(EmitPipelineTest, FullWindowOfDataIsWrittenWhole) {
  EmitFixture f(pipelineOnly());
  for (int i = 0; i < PeepholeWindow::kCapacity; ++i) {
    f.emit("db 'x'");  // quoted: never merged
  }
  f.emit("db 'y'");
  EXPECT_EQ(f.writtenLines().size(), static_cast<std::size_t>(PeepholeWindow::kCapacity));
  EXPECT_EQ(f.window().count(), 1);
}

TEST(EmitPipelineTest, AbsorbedInstructionsAreNotCounted) {
  EmitFixture f(pipelineOnly());
  f.emitAll({"db 1", "db 2", "add.w #0,r0", "mov.w r0,r1"});
  EXPECT_EQ(f.emitter().emittedLines(), 2);
}

TEST(EmitPipelineTest, AbsorptionKeepsThePendingLabel) {
  EmitFixture f(pipelineOnly());
  f.emitter().defineLabel(false, "$4");
  f.emit("add.w #0,r0");
  EXPECT_EQ(f.emitter().pendingLabel(), "$4");
  f.emit("rts");
  EXPECT_EQ(f.flushAndReadLines(), (Lines{"$4:\trts"}));
}

TEST(EmitPipelineTest, OddDataGetsAPadByteBeforeTheNextLabel) {
  EmitFixture f(pipelineOnly());
  f.emit("db 'A'");
  f.emitter().emitRawLine("; comment");
  f.emitter().setOddDataPending(true);
  f.emitter().defineLabel(false, "$2");
  EXPECT_FALSE(f.emitter().oddDataPending());
  f.emit("dw 7");
  EXPECT_EQ(f.flushAndReadLines(), (Lines{"\tdb\t'A'", "\tdb\t  0", "; comment", "$2:\tdw\t7"}));
}

TEST(EmitPipelineTest, PadByteMergesIntoEarlierData) {
  EmitFixture f(pipelineOnly());
  f.emit("db 1");
  f.emitter().emitRawLine("; comment");
  f.emitter().setOddDataPending(true);
  f.emitter().defineLabel(false, "$2");
  f.emit("dw 7");
  EXPECT_EQ(f.flushAndReadLines(), (Lines{"\tdb\t1,  0", "; comment", "$2:\tdw\t7"}));
}

TEST(EmitPipelineTest, NoPadByteIntoAnEmptyWindow) {
  EmitFixture f(pipelineOnly());
  f.emitter().setOddDataPending(true);
  f.emitter().defineLabel(false, "$2");
  f.emit("dw 7");
  EXPECT_EQ(f.flushAndReadLines(), (Lines{"$2:\tdw\t7"}));
  EXPECT_TRUE(f.emitter().oddDataPending());
}

TEST(EmitPipelineTest, CallForgetsEveryUnlockedRegister) {
  EmitFixture f(pipelineOnly());
  RegisterPool& pool = f.compilation().registers;
  const std::string a = pool.allocateRegister();
  const std::string b = pool.allocateRegister();
  pool.lockRegister(b);
  f.emitter().setCallEmitted(false);
  f.emit("bsr \\mul");
  EXPECT_TRUE(f.emitter().callEmitted());
  EXPECT_FALSE(pool.isRegisterInUse(a));
  EXPECT_TRUE(pool.isRegisterInUse(b));
  f.emit("jsr @r0");
  EXPECT_TRUE(pool.isRegisterInUse(b));
}

TEST(EmitPipelineTest, DefineLabelCanForgetRegisterContents) {
  EmitFixture f(pipelineOnly());
  RegisterPool& pool = f.compilation().registers;
  class Any : public RememberedDesignator {
   public:
    [[nodiscard]] bool sameDesignator(const RememberedDesignator&) const override { return true; }
  };
  pool.rememberContents(std::make_unique<Any>(), "r3");
  f.emitter().defineLabel(false, "$2");
  EXPECT_FALSE(pool.contentsEntry(0).isFree());
  f.emitter().defineLabel(true, "$3");
  EXPECT_TRUE(pool.contentsEntry(0).isFree());
}

TEST(EmitPipelineTest, ErrorPathWritesLinesUnchanged) {
  EmitFixture f;  // tiers on: still nothing may change the lines
  f.emitAll({"nop", "nop", "nop", "nop", "$2: nop"});
  f.emitter().writeWindowUnchanged();
  EXPECT_EQ(f.writtenLines(), (Lines{"\tnop", "\tnop", "\tnop", "\tnop", "$2:\tnop"}));
  EXPECT_EQ(f.window().count(), 0);
}

TEST(EmitPipelineTest, SmallWindowIsWrittenWithoutBlockPasses) {
  EmitFixture f;
  f.emitAll({"nop", "$2: nop"});
  f.emit("\\NEXT: rts");
  EXPECT_EQ(f.writtenLines(), (Lines{"\tnop", "$2:\tnop"}));
}

// The line operations the peephole rules use, with the raw lines attached to the lines
// they touch and the removal statistic.
TEST(WindowLineOperations, RemoveDropsTheLineItsUseAndItsAttachedLines) {
  EmitFixture f(pipelineOnly());
  f.emitAll({"mov.w r0,r1", "bra $4"});
  f.emitter().emitRawLine("; after bra");
  f.emit("$4: rts");
  f.window().removeLine(1);
  EXPECT_EQ(f.window().labelUses().uses("$4"), 0);
  EXPECT_EQ(f.emitter().removedLines(), 1);
  EXPECT_EQ(f.flushAndReadLines(), (Lines{"\tmov.w\tr0,r1", "$4:\trts"}));
}

TEST(WindowLineOperations, RemoveKeepingAttachedMovesThemToTheLineBefore) {
  EmitFixture f(pipelineOnly());
  f.emit("mov.w r0,r1");
  f.emitter().emitRawLine("; first");
  f.emit("mov.w r2,r3");
  f.emitter().emitRawLine("; second");
  f.emit("rts");
  f.window().removeLineKeepingAttached(1);
  EXPECT_EQ(f.emitter().removedLines(), 1);
  EXPECT_EQ(f.flushAndReadLines(), (Lines{"\tmov.w\tr0,r1", "; first", "; second", "\trts"}));
}

TEST(WindowLineOperations, RemovingTheOldestLineWritesItsAttachedLinesAtOnce) {
  EmitFixture f(pipelineOnly());
  f.emit("mov.w r0,r1");
  f.emitter().emitRawLine("; kept");
  f.emit("rts");
  f.window().removeLineKeepingAttached(0);
  EXPECT_EQ(f.writtenLines(), (Lines{"; kept"}));
  EXPECT_EQ(f.flushAndReadLines(), (Lines{"; kept", "\trts"}));
}

TEST(WindowLineOperations, DeleteKeepsLabelAndAttachedLines) {
  EmitFixture f(pipelineOnly());
  f.emit("$5: bne $6");
  f.emitter().emitRawLine("; note");
  f.emit("$6: rts");
  f.window().deleteLine(0);
  EXPECT_EQ(f.window().labelUses().uses("$6"), 0);
  EXPECT_EQ(f.emitter().removedLines(), 0);
  EXPECT_EQ(f.flushAndReadLines(), (Lines{"$5:\tnop", "; note", "$6:\trts"}));
}

TEST(WindowLineOperations, InsertedLineTakesOverTheLabel) {
  EmitFixture f(pipelineOnly());
  f.emitAll({"mov.w r0,r1", "$7: rts"});
  f.window().insertBefore(1);
  ASSERT_EQ(f.window().count(), 3);
  EXPECT_EQ(f.flushAndReadLines(), (Lines{"\tmov.w\tr0,r1", "$7:\tneop", "\trts"}));
}

}  // namespace
}  // namespace vorax
