// The dispatch rewrites of a finished CASE, given as window lines: a jump table whose arms
// only call a routine becomes a table of the routines, and a compare chain loses the tests
// that lead to the else label it reaches anyway.
#include "stmt/case_passes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/emit_fixture.h"
#include "support/window_lines.h"

namespace vorax::testing {
namespace {

using Lines = std::vector<std::string>;

enum class Pass { CallTable, ChainCleanup };

struct CasePassCase {
  const char* name;
  Lines in;
  Pass pass;
  CaseLines labels;
  int dispatchStart;
  Lines out;  // equal to `in` when the pass must leave the lines alone
  bool changes;
};

void PrintTo(const CasePassCase& c, std::ostream* os) { *os << c.name; }

class CasePassTest : public ::testing::TestWithParam<CasePassCase> {};

TEST_P(CasePassTest, RewritesDispatch) {
  const CasePassCase& c = GetParam();
  EmitFixture fixture(pipelineOnly());
  // New labels get numbers above the ones the lines use.
  for (int i = 0; i < 20; ++i) {
    (void)fixture.emitter().newLabelNumber();
  }
  loadWindow(fixture.window(), c.in);
  const bool changed = c.pass == Pass::CallTable
                           ? makeCallTable(fixture.compilation(), c.labels, c.dispatchStart)
                           : dropTestsForElse(fixture.compilation(), c.labels, c.dispatchStart);
  EXPECT_EQ(changed, c.changes);
  EXPECT_EQ(windowLineTexts(fixture.window()), c.out);
}

const Lines kCallArms = {"bra $2", "$4: bsr PA.5", "bra $3", "$6: bsr PB.6", "bra $3"};
const Lines kTableDispatch = {
    "$2: mov.w @(-2,fp),r0", "exts.l r0", "dec.l #1,r0",   "cmp.l #1,r0",           "bhi $3",    "shal.l #1,r0",  "shal.l #1,r0",
    "mov.l @($8,r0),r0",     "jmp @r0",   "org ($+1)/2*2", "$8: dl $4,$6"};

Lines join(std::initializer_list<Lines> parts) {
  Lines all;
  for (const Lines& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

INSTANTIATE_TEST_SUITE_P(
    CallTable, CasePassTest,
    ::testing::Values(
        CasePassCase{
            "ArmsBecomeTableEntries",
            join({kCallArms, kTableDispatch}),
            Pass::CallTable,
            {"$2", "$3", "$3", {}, false},
            5,
            {"bra $2", "$4: nop", "nop", "$6: nop", "nop", "$2: mov.w @(-2,fp),r0", "exts.l r0",
             "dec.l #1,r0", "cmp.l #1,r0", "bhi $3", "shal.l #1,r0", "shal.l #1,r0",
             "mov.l @($8,r0),r0", "jsr @r0", "bra $3", "org ($+1)/2*2", "$8: dl PA.5,PB.6"},
            true},
        // Out-of-range selectors index the ELSE routine, which is entry 0 now.
        CasePassCase{"ElseRoutineIsEntryZero",
                     {"bra $2", "$4: bsr PA.5", "bra $3", "$6: bsr PB.6", "bra $3", "$10: bsr PC.7",
                      "bra $3", "$2: mov.l @(-4,fp),r0", "dec.l #1,r0", "cmp.l #1,r0",
                      "bhi $10", "shal.l #1,r0", "shal.l #1,r0", "mov.l @($8,r0),r0", "jmp @r0",
                      "org ($+1)/2*2", "$8: dl $4,$6"},
                     Pass::CallTable,
                     {"$2", "$3", "$10", {}, true},
                     7,
                     {"bra $2",
                      "$4: nop",
                      "nop",
                      "$6: nop",
                      "nop",
                      "$10: nop",
                      "nop",
                      "$2: mov.l @(-4,fp),r0",
                      "dec.l #1,r0",
                      "cmp.l #1,r0",
                      "bls $22",
                      "mov.l #-1,r0",
                      "$22: inc.l #1,r0",
                      "shal.l #1,r0",
                      "shal.l #1,r0",
                      "mov.l @($8,r0),r0",
                      "jsr @r0",
                      "bra $3",
                      "org ($+1)/2*2",
                      "$8: dl PC.7",
                      "dl PA.5,PB.6"},
                     true},
        // An ELSE part that does more than call keeps its own code; the range check
        // still leads there.
        CasePassCase{"ElseOfAnotherFormKeepsTheRangeCheck",
                     {"bra $2", "$4: bsr PA.5", "bra $3", "$6: bsr PB.6", "bra $3",
                      "$10: mov.w #1,r0", "bra $3", "$2: mov.l @(-4,fp),r0", "dec.l #1,r0",
                      "cmp.l #1,r0", "bhi $10", "shal.l #1,r0", "shal.l #1,r0",
                      "mov.l @($8,r0),r0", "jmp @r0", "org ($+1)/2*2", "$8: dl $4,$6"},
                     Pass::CallTable,
                     {"$2", "$3", "$10", {}, true},
                     7,
                     {"bra $2", "$4: nop", "nop", "$6: nop", "nop", "$10: mov.w #1,r0", "bra $3",
                      "$2: mov.l @(-4,fp),r0", "dec.l #1,r0", "cmp.l #1,r0", "bhi $10",
                      "shal.l #1,r0", "shal.l #1,r0", "mov.l @($8,r0),r0", "jsr @r0", "bra $3",
                      "org ($+1)/2*2", "$8: dl PA.5,PB.6"},
                     true},
        CasePassCase{
            "ArmWithMoreThanACall",
            join({{"bra $2", "$4: bsr PA.5", "bsr PA.5", "bra $3", "$6: bsr PB.6", "bra $3"},
                  {"$2: mov.w @(-2,fp),r0", "exts.l r0", "dec.l #1,r0", "cmp.l #1,r0",
                   "bhi $3", "shal.l #1,r0", "shal.l #1,r0", "mov.l @($8,r0),r0", "jmp @r0",
                   "org ($+1)/2*2", "$8: dl $4,$6"}}),
            Pass::CallTable,
            {"$2", "$3", "$3", {}, false},
            6,
            join({{"bra $2", "$4: bsr PA.5", "bsr PA.5", "bra $3", "$6: bsr PB.6", "bra $3"},
                  {"$2: mov.w @(-2,fp),r0", "exts.l r0", "dec.l #1,r0", "cmp.l #1,r0",
                   "bhi $3", "shal.l #1,r0", "shal.l #1,r0", "mov.l @($8,r0),r0", "jmp @r0",
                   "org ($+1)/2*2", "$8: dl $4,$6"}}),
            false},
        // A value between the tags leads to the end: no routine to call for it.
        CasePassCase{"GapToTheEnd",
                     join({kCallArms,
                           {"$2: mov.w @(-2,fp),r0", "exts.l r0", "dec.l #1,r0", "cmp.l #2,r0", "bhi $3", "shal.l #1,r0", "shal.l #1,r0",
                            "mov.l @($8,r0),r0", "jmp @r0", "org ($+1)/2*2", "$8: dl $4,$3,$6"}}),
                     Pass::CallTable,
                     {"$2", "$3", "$3", {}, false},
                     5,
                     join({kCallArms,
                           {"$2: mov.w @(-2,fp),r0", "exts.l r0", "dec.l #1,r0", "cmp.l #2,r0", "bhi $3", "shal.l #1,r0", "shal.l #1,r0",
                            "mov.l @($8,r0),r0", "jmp @r0", "org ($+1)/2*2", "$8: dl $4,$3,$6"}}),
                     false}));

INSTANTIATE_TEST_SUITE_P(
    ChainCleanup, CasePassTest,
    ::testing::Values(
        CasePassCase{
            "TestsForTheElseLabelGo",
            {"$2: mov.w @(-2,fp),r0", "cmp.w #1,r0", "beq $4", "cmp.w #2,r0", "beq $9",
             "cmp.w #3,r0", "blt $9", "cmp.w #5,r0", "ble $9", "cmp.w #8,r0", "beq $6", "bra $9"},
            Pass::ChainCleanup,
            {"$2", "$3", "$9", {}, true},
            0,
            {"$2: mov.w @(-2,fp),r0", "cmp.w #1,r0", "beq $4", "nop", "nop", "nop", "nop", "nop",
             "nop", "cmp.w #8,r0", "beq $6", "bra $9"},
            true},
        // The next range left its lower test out, relying on this group's upper test.
        CasePassCase{"GroupBeforeARangeWithoutLowerTestStays",
                     {"$2: mov.w @(-2,fp),r0", "cmp.w #3,r0", "blt $9", "cmp.w #5,r0", "ble $9",
                      "cmp.w #8,r0", "ble $6", "bra $9"},
                     Pass::ChainCleanup,
                     {"$2", "$3", "$9", {}, true},
                     0,
                     {"$2: mov.w @(-2,fp),r0", "cmp.w #3,r0", "blt $9", "cmp.w #5,r0", "ble $9",
                      "cmp.w #8,r0", "ble $6", "bra $9"},
                     false},
        CasePassCase{"ChainNotEndingInElse",
                     {"$2: mov.w @(-2,fp),r0", "cmp.w #1,r0", "beq $3", "cmp.w #4,r0", "beq $6"},
                     Pass::ChainCleanup,
                     {"$2", "$3", "$3", {}, false},
                     0,
                     {"$2: mov.w @(-2,fp),r0", "cmp.w #1,r0", "beq $3", "cmp.w #4,r0", "beq $6"},
                     false}));

// Table entries are labels padded to four characters: the label bookkeeping sees the
// labels through the blanks, so redirecting and deleting keep the use counts right.
TEST(TableEntryBookkeeping, PaddedLabelsAreCountedAndRedirected) {
  EmitFixture fixture(pipelineOnly());
  PeepholeWindow& w = fixture.window();
  WindowLine table;
  table.mnemonic = "dl";
  table.source = "  $5,  $6, $17";
  w.append(table);
  w.labelUses().countUsesIn(w[0].source);
  EXPECT_EQ(w.labelUses().uses("$5"), 1);
  EXPECT_EQ(w.labelUses().uses("$17"), 1);
  w.redirectLabel("$5", "$12");
  EXPECT_EQ(w[0].source, " $12,  $6, $17");
  EXPECT_EQ(w.labelUses().uses("$5"), 0);
  EXPECT_EQ(w.labelUses().uses("$12"), 1);
  w.redirectLabel("$6", "$1000");
  EXPECT_EQ(w[0].source, " $12,$1000, $17");
  w.deleteLine(0);
  EXPECT_EQ(w.labelUses().uses("$12"), 0);
  EXPECT_EQ(w.labelUses().uses("$1000"), 0);
  EXPECT_EQ(w.labelUses().uses("$17"), 0);
}

}  // namespace
}  // namespace vorax::testing
