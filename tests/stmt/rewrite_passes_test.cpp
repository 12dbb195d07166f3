// The passes that control statements run over their finished code, given as window lines:
// lines in, lines out. Positions are those a statement would find through its markers.
#include "stmt/rewrite_passes.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "diag/diagnostics.h"
#include "stmt/control_flow.h"
#include "support/emit_fixture.h"
#include "support/window_lines.h"

namespace vorax::testing {
namespace {

using Lines = std::vector<std::string>;

struct PassCase {
  const char* name;
  Lines in;
  std::function<int(Compilation&)> run;  // returns the pass's count of changes
  Lines out;
  int changes;
};

void PrintTo(const PassCase& c, std::ostream* os) { *os << c.name; }

class PassTest : public ::testing::TestWithParam<PassCase> {};

TEST_P(PassTest, RewritesLines) {
  const PassCase& param = GetParam();
  EmitFixture fixture(pipelineOnly());
  loadWindow(fixture.window(), param.in);
  EXPECT_EQ(param.run(fixture.compilation()), param.changes);
  EXPECT_EQ(windowLineTexts(fixture.window()), param.out);
}

std::function<int(Compilation&)> hoistFrom(int loopStart) {
  return [loopStart](Compilation& c) { return hoistLoopInvariants(c, loopStart); };
}

// --- Loop-invariant hoisting -------------------------------------------------------

INSTANTIATE_TEST_SUITE_P(
    Hoisting, PassTest,
    ::testing::Values(
        PassCase{"constant_load_moves_before_the_loop_top",
                 {"$12: mov.w @(-4,fp),r1", "cmp.w #10,r1", "bge $13", "mov.w #5,r2", "add.w r2,r0",
                  "mov.w r0,@(-6,fp)", "bra $12"},
                 hoistFrom(0),
                 {"mov.w #5,r2", "$12: mov.w @(-4,fp),r1", "cmp.w #10,r1", "bge $13", "add.w r2,r0",
                  "mov.w r0,@(-6,fp)", "bra $12"},
                 1},
        // The hoisted frame load serves the loop's other reads of the same word; a byte
        // read of the slot keeps its own load (hoisted as well).
        PassCase{"frame_load_is_shared_by_reads_of_the_same_size",
                 {"mov.w r5,@(-8,fp)", "$12: mov.w @(-2,fp),r0", "beq $13", "mov.w @(-4,fp),r1",
                  "add.w r1,r0", "mov.w @(-4,fp),r4", "mov.b @(-4,fp),r5", "mov.w r4,@(-6,fp)",
                  "bra $12"},
                 hoistFrom(1),
                 {"mov.w r5,@(-8,fp)", "mov.w @(-4,fp),r1", "mov.b @(-4,fp),r5",
                  "$12: mov.w @(-2,fp),r0", "beq $13", "add.w r1,r0", "mov.w r1,r4",
                  "mov.w r4,@(-6,fp)", "bra $12"},
                 2},
        PassCase{"clear_moves_out",
                 {"$12: mov.w @(-2,fp),r0", "beq $13", "xor.w r2,r2", "add.w r2,r0",
                  "mov.w r0,@(-2,fp)", "bra $12"},
                 hoistFrom(0),
                 {"xor.w r2,r2", "$12: mov.w @(-2,fp),r0", "beq $13", "add.w r2,r0",
                  "mov.w r0,@(-2,fp)", "bra $12"},
                 1},
        PassCase{"shift_counts_keep_their_immediate",
                 {"$12: mov.w @(-2,fp),r0", "beq $13", "mov.w #2,r3", "shll.w #2,r0", "add.w #2,r0",
                  "mov.w r3,@(-4,fp)", "bra $12"},
                 hoistFrom(0),
                 {"mov.w #2,r3", "$12: mov.w @(-2,fp),r0", "beq $13", "shll.w #2,r0", "add.w r3,r0",
                  "mov.w r3,@(-4,fp)", "bra $12"},
                 1},
        PassCase{"loop_with_a_call_stays",
                 {"$12: mov.w @(-2,fp),r0", "beq $13", "mov.w #5,r2", "mov.w r2,@-sp",
                  "bsr \\wrint", "bra $12"},
                 hoistFrom(0),
                 {"$12: mov.w @(-2,fp),r0", "beq $13", "mov.w #5,r2", "mov.w r2,@-sp",
                  "bsr \\wrint", "bra $12"},
                 0},
        PassCase{"loop_of_three_lines_stays",
                 {"mov.w r5,@(-8,fp)", "$12: mov.w #5,r2", "mov.w r2,@(-4,fp)", "bra $12"},
                 hoistFrom(1),
                 {"mov.w r5,@(-8,fp)", "$12: mov.w #5,r2", "mov.w r2,@(-4,fp)", "bra $12"},
                 0},
        PassCase{"register_written_again_stays",
                 {"$12: mov.w @(-2,fp),r0", "mov.w #5,r2", "add.w r2,r0", "inc.w #1,r2", "bra $12"},
                 hoistFrom(0),
                 {"$12: mov.w @(-2,fp),r0", "mov.w #5,r2", "add.w r2,r0", "inc.w #1,r2", "bra $12"},
                 0},
        PassCase{"register_stepped_by_auto_increment_stays",
                 {"$12: mov.w @(-2,fp),r0", "mov.l #TABLE,r2", "mov.w @r2+,r3", "add.w r3,r0",
                  "bra $12"},
                 hoistFrom(0),
                 {"$12: mov.w @(-2,fp),r0", "mov.l #TABLE,r2", "mov.w @r2+,r3", "add.w r3,r0",
                  "bra $12"},
                 0},
        PassCase{"slot_stored_in_the_loop_stays",
                 {"$12: mov.w @(-2,fp),r0", "mov.w @(-4,fp),r1", "add.w r1,r0", "mov.w r0,@(-4,fp)",
                  "bra $12"},
                 hoistFrom(0),
                 {"$12: mov.w @(-2,fp),r0", "mov.w @(-4,fp),r1", "add.w r1,r0", "mov.w r0,@(-4,fp)",
                  "bra $12"},
                 0},
        PassCase{"slot_partly_stored_by_a_byte_stays",
                 {"$12: mov.w @(-2,fp),r0", "mov.w @(-4,fp),r1", "add.w r1,r0", "mov.b r0,@(-3,fp)",
                  "bra $12"},
                 hoistFrom(0),
                 {"$12: mov.w @(-2,fp),r0", "mov.w @(-4,fp),r1", "add.w r1,r0", "mov.b r0,@(-3,fp)",
                  "bra $12"},
                 0},
        PassCase{"slot_maybe_stored_through_a_pointer_stays",
                 {"$12: mov.l @(-8,fp),r3", "mov.w @(-4,fp),r1", "add.w #1,r1", "mov.w r1,@r3",
                  "bra $12"},
                 hoistFrom(0),
                 {"$12: mov.l @(-8,fp),r3", "mov.w @(-4,fp),r1", "add.w #1,r1", "mov.w r1,@r3",
                  "bra $12"},
                 0},
        PassCase{
            "load_whose_flags_a_branch_tests_stays",
            {"$12: mov.w @(-2,fp),r0", "mov.w @(-4,fp),r1", "beq $13", "add.w r1,r0", "bra $12"},
            hoistFrom(0),
            {"$12: mov.w @(-2,fp),r0", "mov.w @(-4,fp),r1", "beq $13", "add.w r1,r0", "bra $12"},
            0},
        // A bit operation sets no flags: the branch after it still tests the load's.
        PassCase{"load_whose_flags_a_later_branch_tests_stays",
                 {"$12: mov.w @(-2,fp),r0", "mov.w @(-4,fp),r1", "bset #0,r2", "beq $13",
                  "add.w r1,r0", "bra $12"},
                 hoistFrom(0),
                 {"$12: mov.w @(-2,fp),r0", "mov.w @(-4,fp),r1", "bset #0,r2", "beq $13",
                  "add.w r1,r0", "bra $12"},
                 0}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Arm merging and else-arm reuse --------------------------------------------------

// An IF with ELSE as a statement leaves it: marker nop, condition [1, 3), then-marker
// nop, then arm [4, 8) ending in "bra $19" and the false label's nop, else-marker nop,
// else arm [9, end).
Lines ifElse(const Lines& condition, const Lines& thenArm, const Lines& elseArm) {
  Lines lines{"nop"};
  lines.insert(lines.end(), condition.begin(), condition.end());
  lines.emplace_back("nop");
  lines.insert(lines.end(), thenArm.begin(), thenArm.end());
  lines.emplace_back("bra $19");
  lines.emplace_back("$13: nop");
  lines.emplace_back("nop");
  lines.insert(lines.end(), elseArm.begin(), elseArm.end());
  lines.emplace_back("bra $19");
  return lines;
}

std::function<int(Compilation&)> mergeIfElse(int conditionLength, int thenLength) {
  return [=](Compilation& c) {
    const int thenStart = 1 + conditionLength + 1;
    const int elseMarker = thenStart + thenLength + 2;
    return mergeArms(c, {1, 1 + conditionLength},
                     {{thenStart, elseMarker}, {elseMarker + 1, c.emitter.window().count()}});
  };
}

std::function<int(Compilation&)> reuseInElse(int conditionLength, int thenLength) {
  return [=](Compilation& c) {
    const int elseStart = 1 + conditionLength + 1 + thenLength + 3;
    return reuseConditionLoadsInElse(c, {1, 1 + conditionLength}, elseStart);
  };
}

INSTANTIATE_TEST_SUITE_P(
    Arms, PassTest,
    ::testing::Values(
        PassCase{"common_first_line_moves_before_the_condition",
                 ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w #1,r1", "mov.w r1,@(-4,fp)"},
                        {"mov.w #1,r1", "mov.w r1,@(-6,fp)"}),
                 mergeIfElse(2, 2),
                 {"nop", "mov.w #1,r1", "mov.w @(-2,fp),r0", "beq $13", "nop", "mov.w r1,@(-4,fp)",
                  "bra $19", "$13: nop", "nop", "nop", "mov.w r1,@(-6,fp)", "bra $19"},
                 1},
        PassCase{"label_of_the_condition_goes_to_the_moved_lines",
                 ifElse({"$12: mov.w @(-2,fp),r0", "beq $13"}, {"mov.w #1,r1", "xor.w r2,r2"},
                        {"mov.w #1,r1", "xor.w r2,r2"}),
                 mergeIfElse(2, 2),
                 {"nop", "$12: mov.w #1,r1", "xor.w r2,r2", "mov.w @(-2,fp),r0", "beq $13", "nop",
                  "bra $19", "$13: nop", "nop", "nop", "nop", "bra $19"},
                 2},
        // The condition code gives r1 up to the moved load and takes r0 instead.
        PassCase{"condition_register_is_renamed",
                 ifElse({"mov.w @(-2,fp),r1", "beq $13"}, {"mov.w #1,r1", "mov.w r1,@(-4,fp)"},
                        {"mov.w #1,r1", "mov.w r1,@(-6,fp)"}),
                 mergeIfElse(2, 2),
                 {"nop", "mov.w #1,r1", "mov.w @(-2,fp),r0", "beq $13", "nop", "mov.w r1,@(-4,fp)",
                  "bra $19", "$13: nop", "nop", "nop", "mov.w r1,@(-6,fp)", "bra $19"},
                 1},
        PassCase{"renaming_skips_registers_the_condition_names",
                 ifElse({"mov.w @(-2,fp),r0", "mov.w @(-4,fp),r1", "add.w r0,r1", "beq $13"},
                        {"mov.w #1,r0", "mov.w r0,@(-4,fp)"}, {"mov.w #1,r0", "mov.w r0,@(-6,fp)"}),
                 mergeIfElse(4, 2),
                 {"nop", "mov.w #1,r0", "mov.w @(-2,fp),r2", "mov.w @(-4,fp),r1", "add.w r2,r1",
                  "beq $13", "nop", "mov.w r0,@(-4,fp)", "bra $19", "$13: nop", "nop", "nop",
                  "mov.w r0,@(-6,fp)", "bra $19"},
                 1},
        // r3 holds a value from before the IF that the condition reads: it cannot move.
        PassCase{"register_the_condition_reads_from_before_stays",
                 ifElse({"mov.w @(2,r3),r0", "beq $13"}, {"mov.l @(-8,fp),r3", "xor.w r1,r1"},
                        {"mov.l @(-8,fp),r3", "inc.w #1,r1"}),
                 mergeIfElse(2, 2),
                 ifElse({"mov.w @(2,r3),r0", "beq $13"}, {"mov.l @(-8,fp),r3", "xor.w r1,r1"},
                        {"mov.l @(-8,fp),r3", "inc.w #1,r1"}),
                 0},
        PassCase{"value_the_condition_computes_stays",
                 ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w r0,@(-4,fp)", "xor.w r1,r1"},
                        {"mov.w r0,@(-4,fp)", "inc.w #1,r1"}),
                 mergeIfElse(2, 2),
                 ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w r0,@(-4,fp)", "xor.w r1,r1"},
                        {"mov.w r0,@(-4,fp)", "inc.w #1,r1"}),
                 0},
        PassCase{"store_into_what_the_condition_reads_stays",
                 ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w r5,@(-2,fp)", "inc.w #1,r5"},
                        {"mov.w r5,@(-2,fp)", "dec.w #1,r5"}),
                 mergeIfElse(2, 2),
                 ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w r5,@(-2,fp)", "inc.w #1,r5"},
                        {"mov.w r5,@(-2,fp)", "dec.w #1,r5"}),
                 0},
        PassCase{"line_whose_flags_an_arm_tests_stays",
                 ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w @(-8,fp),r1", "beq $20"},
                        {"mov.w @(-8,fp),r1", "beq $21"}),
                 mergeIfElse(2, 2),
                 ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w @(-8,fp),r1", "beq $20"},
                        {"mov.w @(-8,fp),r1", "beq $21"}),
                 0},
        PassCase{"label_named_from_the_other_arm_stops_the_merge",
                 ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w #1,r1", "$15: nop"},
                        {"mov.w #1,r1", "bra $15"}),
                 mergeIfElse(2, 2),
                 ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w #1,r1", "$15: nop"},
                        {"mov.w #1,r1", "bra $15"}),
                 0},
        PassCase{"condition_with_a_call_stays",
                 ifElse({"bsr \\xeqys", "bne $13"}, {"mov.w #1,r1", "mov.w r1,@(-4,fp)"},
                        {"mov.w #1,r1", "mov.w r1,@(-6,fp)"}),
                 mergeIfElse(2, 2),
                 ifElse({"bsr \\xeqys", "bne $13"}, {"mov.w #1,r1", "mov.w r1,@(-4,fp)"},
                        {"mov.w #1,r1", "mov.w r1,@(-6,fp)"}),
                 0},
        // The condition loaded r0 from I already: the arms' own loads of it go.
        PassCase{"load_the_condition_did_is_dropped_from_the_arms",
                 ifElse({"mov.w I,r0", "cmp.w #1,r0", "bne $13"}, {"mov.w I,r0", "mov.w r0,J"},
                        {"mov.w I,r0", "mov.w r0,K"}),
                 mergeIfElse(3, 2),
                 ifElse({"mov.w I,r0", "cmp.w #1,r0", "bne $13"}, {"nop", "mov.w r0,J"},
                        {"nop", "mov.w r0,K"}),
                 0},
        // The load comes after the condition's first branch: the else arm, reached from
        // that branch, would miss it. The arms' load moves in front instead, and the
        // condition takes another register.
        PassCase{
            "load_after_a_branch_of_the_condition_moves_instead",
            ifElse({"mov.w J,r1", "beq $13", "mov.w I,r0", "cmp.w #1,r0", "bne $13"},
                   {"mov.w I,r0", "mov.w r0,J"}, {"mov.w I,r0", "mov.w r0,K"}),
            mergeIfElse(5, 2),
            {"nop", "mov.w I,r0", "mov.w J,r1", "beq $13", "mov.w I,r2", "cmp.w #1,r2", "bne $13",
             "nop", "mov.w r0,J", "bra $19", "$13: nop", "nop", "nop", "mov.w r0,K", "bra $19"},
            1},
        PassCase{"else_arm_reuses_the_condition_load",
                 ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w r0,@(-4,fp)"},
                        {"mov.w @(-2,fp),r0", "mov.w r0,@(-6,fp)"}),
                 reuseInElse(2, 1),
                 ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w r0,@(-4,fp)"},
                        {"nop", "mov.w r0,@(-6,fp)"}),
                 1},
        PassCase{"else_load_changed_later_in_the_condition_stays",
                 ifElse({"mov.w @(-2,fp),r0", "and.w #1,r0", "beq $13"}, {"mov.w r0,@(-4,fp)"},
                        {"mov.w @(-2,fp),r0", "mov.w r0,@(-6,fp)"}),
                 reuseInElse(3, 1),
                 ifElse({"mov.w @(-2,fp),r0", "and.w #1,r0", "beq $13"}, {"mov.w r0,@(-4,fp)"},
                        {"mov.w @(-2,fp),r0", "mov.w r0,@(-6,fp)"}),
                 0},
        PassCase{"else_load_whose_flags_are_tested_stays",
                 ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w r0,@(-4,fp)"},
                        {"mov.w @(-2,fp),r0", "bne $22"}),
                 reuseInElse(2, 1),
                 ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w r0,@(-4,fp)"},
                        {"mov.w @(-2,fp),r0", "bne $22"}),
                 0}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Branch threading ------------------------------------------------------------------

std::function<int(Compilation&)> thread(const char* endLabel) {
  return [endLabel](Compilation& c) {
    threadBranches(c, endLabel);
    return c.emitter.window().labelUses().uses(endLabel);
  };
}

INSTANTIATE_TEST_SUITE_P(
    Threading, PassTest,
    ::testing::Values(
        PassCase{"labelled_branch_to_the_end_gives_its_label_up",
                 {"bne $14", "mov.w r1,r2", "bra $19", "$14: bra $19", "mov.w r3,r4"},
                 thread("$19"),
                 {"bne $19", "mov.w r1,r2", "bra $19", "bra $19", "mov.w r3,r4"},
                 3},
        // The fixture's label counter is fresh, so the shared tail's new label is "$2".
        PassCase{"identical_tails_are_kept_once",
                 ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w #1,r1", "mov.w r1,@(-4,fp)"},
                        {"mov.w #2,r1", "mov.w r1,@(-4,fp)"}),
                 thread("$19"),
                 {"nop", "mov.w @(-2,fp),r0", "beq $13", "nop", "mov.w #1,r1", "bra $2", "nop",
                  "$13: nop", "nop", "mov.w #2,r1", "$2: mov.w r1,@(-4,fp)", "bra $19"},
                 1},
        PassCase{
            "tail_stops_at_a_label_of_the_early_copy",
            {"beq $13", "mov.w #1,r1", "$15: mov.w r1,@(-4,fp)", "mov.w r1,@(-6,fp)", "bra $19",
             "$13: mov.w #1,r1", "mov.w r1,@(-4,fp)", "mov.w r1,@(-6,fp)", "bra $19"},
            thread("$19"),
            {"beq $13", "mov.w #1,r1", "$15: bra $2", "nop", "nop", "$13: mov.w #1,r1",
             "$2: mov.w r1,@(-4,fp)", "mov.w r1,@(-6,fp)", "bra $19"},
            1},
        PassCase{
            "different_tails_stay",
            ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w r1,@(-4,fp)"}, {"mov.w r1,@(-6,fp)"}),
            thread("$19"),
            ifElse({"mov.w @(-2,fp),r0", "beq $13"}, {"mov.w r1,@(-4,fp)"}, {"mov.w r1,@(-6,fp)"}),
            2}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Stores ------------------------------------------------------------------------

std::function<int(Compilation&)> dropStoresFrom(int begin) {
  return [begin](Compilation& c) {
    return dropRepeatedStores(c, {begin, c.emitter.window().count()});
  };
}

std::function<int(Compilation&)> dropSlotStore(const char* slot) {
  return [slot](Compilation& c) { return dropUnreadSlotStore(c, 0, slot) ? 1 : 0; };
}

INSTANTIATE_TEST_SUITE_P(
    Stores, PassTest,
    ::testing::Values(PassCase{"store_repeated_in_the_then_part_goes",
                               {"mov.w r1,@(-4,fp)", "nop", "mov.w @(-2,fp),r0", "beq $13", "nop",
                                "mov.w r1,@(-4,fp)", "mov.w #3,r2"},
                               dropStoresFrom(2),
                               {"mov.w r1,@(-4,fp)", "nop", "mov.w @(-2,fp),r0", "beq $13", "nop",
                                "nop", "mov.w #3,r2"},
                               1},
                      PassCase{"register_changed_in_the_condition_keeps_the_store",
                               {"mov.w r1,@(-4,fp)", "nop", "mov.w @(-2,fp),r1", "beq $13", "nop",
                                "mov.w r1,@(-4,fp)", "mov.w #3,r2"},
                               dropStoresFrom(2),
                               {"mov.w r1,@(-4,fp)", "nop", "mov.w @(-2,fp),r1", "beq $13", "nop",
                                "mov.w r1,@(-4,fp)", "mov.w #3,r2"},
                               0},
                      PassCase{"label_before_the_condition_keeps_the_store",
                               {"mov.w r1,@(-4,fp)", "$12: nop", "mov.w @(-2,fp),r0", "beq $13",
                                "nop", "mov.w r1,@(-4,fp)", "mov.w #3,r2"},
                               dropStoresFrom(2),
                               {"mov.w r1,@(-4,fp)", "$12: nop", "mov.w @(-2,fp),r0", "beq $13",
                                "nop", "mov.w r1,@(-4,fp)", "mov.w #3,r2"},
                               0},
                      PassCase{"store_after_a_call_stays",
                               {"mov.w r1,@(-4,fp)", "nop", "mov.w @(-2,fp),r0", "beq $13",
                                "bsr \\wrln", "mov.w r1,@(-4,fp)", "mov.w #3,r2"},
                               dropStoresFrom(2),
                               {"mov.w r1,@(-4,fp)", "nop", "mov.w @(-2,fp),r0", "beq $13",
                                "bsr \\wrln", "mov.w r1,@(-4,fp)", "mov.w #3,r2"},
                               0},
                      PassCase{"slot_nobody_reads_loses_its_store",
                               {"nop", "mov.l @(-8,fp),r1", "mov.l r1,@(-36,fp)",
                                "mov.w @(2,r1),r2", "mov.w r2,@(-2,fp)"},
                               dropSlotStore("@(-36,fp)"),
                               {"nop", "mov.l @(-8,fp),r1", "nop", "mov.w @(2,r1),r2",
                                "mov.w r2,@(-2,fp)"},
                               1},
                      PassCase{"slot_reloaded_after_a_call_keeps_its_store",
                               {"nop", "mov.l @(-8,fp),r1", "mov.l r1,@(-36,fp)", "bsr \\wrln",
                                "mov.l @(-36,fp),r1", "mov.w @(2,r1),r2"},
                               dropSlotStore("@(-36,fp)"),
                               {"nop", "mov.l @(-8,fp),r1", "mov.l r1,@(-36,fp)", "bsr \\wrln",
                                "mov.l @(-36,fp),r1", "mov.w @(2,r1),r2"},
                               0}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Marker lookup ----------------------------------------------------------------------

struct MarkerCase {
  const char* name;
  Lines in;
  const char* marker;
  Lines out;
  int markerLine;
  int position;
};

void PrintTo(const MarkerCase& c, std::ostream* os) { *os << c.name; }

class MarkerLookup : public ::testing::TestWithParam<MarkerCase> {};

TEST_P(MarkerLookup, FindsTheMarkerAndTheCodeAfterIt) {
  const MarkerCase& param = GetParam();
  EmitFixture fixture(pipelineOnly());
  loadWindow(fixture.window(), param.in);
  const std::optional<MarkerPosition> lookedUp = lookupMarker(fixture.compilation(), param.marker);
  ASSERT_TRUE(lookedUp.has_value());
  const MarkerPosition found = *lookedUp;
  EXPECT_EQ(windowLineTexts(fixture.window()), param.out);
  EXPECT_EQ(found.markerLine, param.markerLine);
  EXPECT_EQ(found.position, param.position);
}

INSTANTIATE_TEST_SUITE_P(
    Markers, MarkerLookup,
    ::testing::Values(MarkerCase{"label_of_a_carrier_moves_to_the_code",
                                 {"mov.w r0,r1", "@3: bcx @3", "$4: nop", "mov.w r1,r2"},
                                 "@3",
                                 {"mov.w r0,r1", "nop", "nop", "$4: mov.w r1,r2"},
                                 1,
                                 3},
                      MarkerCase{"carrier_label_is_redirected_to_the_code's_own",
                                 {"bra $4", "@3: bcx @3", "$4: nop", "$5: mov.w r1,r2"},
                                 "@3",
                                 {"bra $5", "nop", "nop", "$5: mov.w r1,r2"},
                                 1,
                                 3},
                      MarkerCase{"walk_stops_before_another_marker",
                                 {"@3: bcx @3", "$4: nop", "#6: bcx #6"},
                                 "@3",
                                 {"nop", "$4: nop", "#6: bcx #6"},
                                 0,
                                 1},
                      MarkerCase{"newest_marker_of_a_name_is_found",
                                 {"#3: bcx #3", "mov.w r0,r1", "#3: bcx #3", "mov.w r1,r2"},
                                 "#3",
                                 {"#3: bcx #3", "mov.w r0,r1", "nop", "mov.w r1,r2"},
                                 2,
                                 3},
                      MarkerCase{"marker_at_the_end_points_past_the_window",
                                 {"mov.w r0,r1", "@3: bcx @3"},
                                 "@3",
                                 {"mov.w r0,r1", "nop"},
                                 1,
                                 2}),
    [](const auto& info) {
      std::string name = info.param.name;
      std::erase(name, '\'');
      return name;
    });

// A marker that left the window (a statement longer than the window) is no error: the
// statement's passes leave it alone, and nothing in the window changes.
TEST(MarkerLookup, LostMarkerIsFoundNowhereAndTheWindowStays) {
  EmitFixture fixture(pipelineOnly());
  loadWindow(fixture.window(), {"mov.w r0,r1", "@8: bcx @8"});
  EXPECT_FALSE(lookupMarker(fixture.compilation(), "@7").has_value());
  EXPECT_TRUE(fixture.host().errors.empty());
  EXPECT_EQ(windowLineTexts(fixture.window()), (std::vector<std::string>{"mov.w r0,r1", "@8: bcx @8"}));
  // Looking up a set with one marker gone still turns the others into "nop" lines.
  EXPECT_FALSE(lookupMarkers(fixture.compilation(), {"@7", "@8"}).has_value());
  EXPECT_EQ(windowLineTexts(fixture.window()), (std::vector<std::string>{"mov.w r0,r1", "nop"}));
}

}  // namespace
}  // namespace vorax::testing
