// Raw lines that stay withdrawable while they are held.
#include <gtest/gtest.h>

#include "support/emit_fixture.h"

namespace vorax::testing {
namespace {

TEST(RawLineHoldTest, HeldLinesWaitAndCanBeWithdrawn) {
  EmitFixture fixture(pipelineOnly());
  Emitter& e = fixture.emitter();
  e.holdRawLines();
  e.emitRawLine("A\t\tequ\t1");
  e.emitRawLine("; echo");
  EXPECT_TRUE(fixture.writtenLines().empty());
  EXPECT_TRUE(e.withdrawRawLine("A\t\tequ\t1"));
  EXPECT_FALSE(e.withdrawRawLine("A\t\tequ\t1"));
  e.releaseRawLines();
  EXPECT_EQ(fixture.writtenLines(), std::vector<std::string>{"; echo"});
}

TEST(RawLineHoldTest, HeldLinesComeBeforeTheNextInstruction) {
  EmitFixture fixture(pipelineOnly());
  Emitter& e = fixture.emitter();
  e.holdRawLines();
  e.emitRawLine("; first");
  e.emitInstruction("nop", "", "");
  e.emitRawLine("; attached");
  EXPECT_TRUE(e.withdrawRawLine("; attached"));
  e.releaseRawLines();
  EXPECT_EQ(fixture.flushAndReadLines(), (std::vector<std::string>{"; first", "\tnop"}));
}

TEST(RawLineHoldTest, AttachedLinesCanBeWithdrawnWithoutAHold) {
  EmitFixture fixture(pipelineOnly());
  Emitter& e = fixture.emitter();
  e.emitInstruction("nop", "", "");
  e.emitRawLine("X\t\tequ\t\\stack-18");
  e.emitRawLine("; echo");
  EXPECT_TRUE(e.withdrawRawLine("X\t\tequ\t\\stack-18"));
  EXPECT_EQ(fixture.flushAndReadLines(), (std::vector<std::string>{"\tnop", "; echo"}));
}

}  // namespace
}  // namespace vorax::testing
