// What the entry code tells the body's code generators (c.routine), the EXIT label at the
// end of a body, and the enclosing routine's context coming back after a nested body.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "decls/routine_declarations.h"
#include "decls/routine_frame.h"
#include "driver/compilation.h"
#include "support/recording_host.h"
#include "support/source_tree.h"

namespace vorax::testing {
namespace {

CompileOptions unoptimized() {
  CompileOptions options;
  options.localTier = false;
  options.blockTier = false;
  return options;
}

// A compilation of PROGRAM P standing at level 1 on the first token of `text`.
class RoutineContextTest : public ::testing::Test {
 protected:
  void start(const std::string& text) {
    c_ = std::make_unique<Compilation>(host_, unoptimized());
    c_->directives.settings().echoSourceSwitch = false;
    tree_.write("P.PAS", text + "\nBEGIN END.\n");
    c_->reader.openCompilationFiles((tree_.root() / "P.PAS").string());
    c_->scanner.buildReservedWordTable();
    c_->symbols.enterPredefinedEnvironment();
    c_->compilationKind = TokenCode::Program;
    c_->symbols.openScope();
    c_->nextToken();
  }
  std::vector<std::string> finish() {
    c_->emitter.flushWindow();
    c_->output.close();
    return tree_.readLines("P.asm");
  }
  SymbolEntry& routine(std::int32_t level) {
    SymbolEntry& r = c_->symbols.newEntry();
    r.name = "Q";
    r.declarationLine = 9;
    r.kind = IdentKind::Procedure;
    r.level = level;
    return r;
  }

  SourceTree tree_;
  RecordingHost host_;
  std::unique_ptr<Compilation> c_;
};

TEST_F(RoutineContextTest, EntryCodeDescribesTheBody) {
  start("");
  c_->optimizer.setWithSlotsUsed(true);
  c_->routine.exitLabelUsed = true;
  SymbolEntry& q = routine(3);
  // Locals down to -13: b = -14; the WITH slots lie right below, inside the 24 bytes.
  emitEntryCode(*c_, q, -13);
  EXPECT_EQ(c_->routine.routine, &q);
  EXPECT_EQ(c_->routine.level, 3);
  EXPECT_EQ(c_->routine.withSlotOffsets,
            (std::array<std::int32_t, kWithSlotCount>{-18, -22, -26, -30, -34, -38}));
  EXPECT_FALSE(c_->routine.exitLabelUsed);
  EXPECT_FALSE(c_->optimizer.withSlotsUsed());
  emitExitCode(*c_, q);
  // 24 - b - 4 * level = 24 + 14 - 12.
  const std::vector<std::string> lines = finish();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "\tsub.l\t#26,sp"), lines.end());
}

TEST_F(RoutineContextTest, ExitLabelIsDefinedOnlyWhenABranchUsesIt) {
  start("");
  SymbolEntry& q = routine(2);
  emitEntryCode(*c_, q, -8);
  c_->routine.exitLabelUsed = true;  // an EXIT in the body branched to it
  emitExitCode(*c_, q);
  SymbolEntry& r = routine(2);
  r.name = "R";
  emitEntryCode(*c_, r, -8);
  emitExitCode(*c_, r);
  const std::vector<std::string> lines = finish();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "$00:\tmov.l\tfp,sp"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "\tmov.l\tfp,sp"), 1);
}

TEST_F(RoutineContextTest, NestedBodyGivesTheContextBack) {
  start("PROCEDURE INNER(A: INTEGER); VAR X: BYTE; BEGIN END;");
  SymbolEntry& outer = routine(1);
  c_->routine.routine = &outer;
  c_->routine.level = 1;
  c_->routine.withSlotOffsets = {-1, -2, -3, -4, -5, -6};
  c_->routine.exitLabelUsed = true;
  c_->nextToken();  // past PROCEDURE
  parseRoutineDeclaration(*c_, false);
  EXPECT_EQ(c_->routine.routine, &outer);
  EXPECT_EQ(c_->routine.level, 1);
  EXPECT_EQ(c_->routine.withSlotOffsets,
            (std::array<std::int32_t, kWithSlotCount>{-1, -2, -3, -4, -5, -6}));
  EXPECT_TRUE(c_->routine.exitLabelUsed);
  EXPECT_EQ(c_->symbols.scopeLevel(), 1);
  EXPECT_EQ(c_->token(), TokenCode::Begin);
}

}  // namespace
}  // namespace vorax::testing
