// The emit pipeline's own rewrites, as "lines in -> lines out", with the optimizer tiers
// switched off so that only the pipeline acts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/emit_fixture.h"

namespace vorax {
namespace {

struct RewriteCase {
  const char* name;
  std::vector<std::string> in;
  std::vector<std::string> out;  // as written: label column, tab, mnemonic, tab, operands
};

std::ostream& operator<<(std::ostream& os, const RewriteCase& c) { return os << c.name; }

class EmitRewriteTest : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(EmitRewriteTest, LinesInLinesOut) {
  testing::EmitFixture fixture(testing::pipelineOnly());
  fixture.emitAll(GetParam().in);
  EXPECT_EQ(fixture.flushAndReadLines(), GetParam().out);
}

// Six lines that no rewrite touches, to move later lines past window position 6.
std::vector<std::string> withSixLinesBefore(std::vector<std::string> lines) {
  std::vector<std::string> all;
  for (int i = 0; i < 6; ++i) {
    all.push_back("mov.w r4,@x" + std::to_string(i));
  }
  all.insert(all.end(), lines.begin(), lines.end());
  return all;
}
std::vector<std::string> sixLinesWritten(std::vector<std::string> lines) {
  std::vector<std::string> all;
  for (int i = 0; i < 6; ++i) {
    all.push_back("\tmov.w\tr4,@x" + std::to_string(i));
  }
  all.insert(all.end(), lines.begin(), lines.end());
  return all;
}

const RewriteCase kSingleInstructionCases[] = {
    {"MoveZeroWordBecomesXor", {"mov.w #0,r1"}, {"\txor.w\tr1,r1"}},
    {"MoveZeroLongBecomesXorLong", {"mov.l #0,r2"}, {"\txor.l\tr2,r2"}},
    {"MoveZeroByteClearsTheWord", {"mov.b #0,r3"}, {"\txor.w\tr3,r3"}},
    {"MoveZeroToMemoryStays", {"mov.w #0,@x"}, {"\tmov.w\t#0,@x"}},
    {"AddByteOneBecomesInc", {"add.b #1,r0"}, {"\tinc.b\t#1,r0"}},
    {"SubByteOneBecomesDec", {"sub.b #1,r0"}, {"\tdec.b\t#1,r0"}},
    {"AddByteTwoStays", {"add.b #2,r0"}, {"\tadd.b\t#2,r0"}},
    {"AddWordTwoBecomesInc", {"add.w #2,r0"}, {"\tinc.w\t#2,r0"}},
    {"SubLongOneBecomesDec", {"sub.l #1,r1"}, {"\tdec.l\t#1,r1"}},
    {"SubWordTwoBecomesDec", {"sub.w #2,r1"}, {"\tdec.w\t#2,r1"}},
    {"AddLongThreeStays", {"add.l #3,r1"}, {"\tadd.l\t#3,r1"}},
    {"OrSingleBitBecomesBitSet", {"or.b #8,r0"}, {"\tbset\t#3,r0"}},
    {"OrTopBitBecomesBitSet", {"or.w #128,r1"}, {"\tbset\t#7,r1"}},
    {"OrOfTwoBitsStays", {"or.b #3,r0"}, {"\tor.b\t#3,r0"}},
    {"OrOfBitEightStays", {"or.w #256,r0"}, {"\tor.w\t#256,r0"}},
    {"MaskAfterExtensionDeletesIt", {"extu.w r0", "and.w #15,r0"}, {"\tnop", "\tand.w\t#15,r0"}},
    {"MaskAfterSignExtensionDeletesIt",
     {"exts.l r1", "and.l #255,r1"},
     {"\tnop", "\tand.l\t#255,r1"}},
    {"ByteMaskAfterWordExtensionKeepsIt",
     {"extu.w r0", "and.b #15,r0"},
     {"\textu.w\tr0", "\tand.b\t#15,r0"}},
    {"MaskWithHighBitsKeepsExtension",
     {"extu.w r0", "and.w #3855,r0"},
     {"\textu.w\tr0", "\tand.w\t#3855,r0"}},
    {"LongMaskAfterLongExtensionDeletesIt",
     {"extu.l r0", "and.l #4095,r0"},
     {"\tnop", "\tand.l\t#4095,r0"}},
    {"MaskWithPendingLabelKeepsExtension",
     {"extu.w r0", "$5: and.w #15,r0"},
     {"\textu.w\tr0", "$5:\tand.w\t#15,r0"}},
    {"MaskOfOtherRegisterKeepsExtension",
     {"extu.w r0", "and.w #15,r1"},
     {"\textu.w\tr0", "\tand.w\t#15,r1"}},
    {"ByteMaskOfWordBecomesExtension", {"and.w #255,r2"}, {"\textu.w\tr2"}},
    {"WordMaskOfLongBecomesExtension", {"and.l #65535,r2"}, {"\textu.l\tr2"}},
    {"ByteMaskOfByteStays", {"and.b #255,r2"}, {"\tand.b\t#255,r2"}},
    {"WordStoreMakesLongExtensionDead", {"extu.l r0", "mov.w r0,@x"}, {"\tnop", "\tmov.w\tr0,@x"}},
    {"ByteStoreMakesWordExtensionDead", {"extu.w r0", "mov.b r0,@x"}, {"\tnop", "\tmov.b\tr0,@x"}},
    {"LongStoreKeepsExtension", {"extu.l r0", "mov.l r0,@x"}, {"\textu.l\tr0", "\tmov.l\tr0,@x"}},
    {"LabelledExtensionStays",
     {"$3: extu.l r0", "mov.w r0,@x"},
     {"$3:\textu.l\tr0", "\tmov.w\tr0,@x"}},
    {"OverwrittenIncrementIsDeleted", {"inc.w #1,r0", "mov.w @x,r0"}, {"\tnop", "\tmov.w\t@x,r0"}},
    {"OverwrittenDecrementIsDeleted", {"dec.l #1,r1", "mov.l r2,r1"}, {"\tnop", "\tmov.l\tr2,r1"}},
    {"IncrementOfOtherSizeStays",
     {"inc.w #1,r0", "mov.l @x,r0"},
     {"\tinc.w\t#1,r0", "\tmov.l\t@x,r0"}},
    {"IncrementReadByTheLoadStays",
     {"inc.l #2,r0", "mov.l @(2,r0),r0"},
     {"\tinc.l\t#2,r0", "\tmov.l\t@(2,r0),r0"}},
    {"PushRightAfterPopLeavesValueOnStack",
     {"mov.l @sp+,r2", "mov.l r2,@-sp"},
     {"\tmov.l\t@sp,r2", "\tnop"}},
    {"PushAfterPopAndUseLeavesValueOnStack",
     {"mov.l @sp+,r2", "add.l r2,r3", "mov.l r2,@-sp"},
     {"\tmov.l\t@sp,r2", "\tadd.l\tr2,r3", "\tnop"}},
    {"PushOfChangedValueStays",
     {"mov.l @sp+,r2", "inc.l #1,r2", "mov.l r2,@-sp"},
     {"\tmov.l\t@sp+,r2", "\tinc.l\t#1,r2", "\tmov.l\tr2,@-sp"}},
    {"PushAfterAnotherPushStays",
     {"mov.l @sp+,r2", "mov.w r2,@-sp", "mov.l r2,@-sp"},
     {"\tmov.l\t@sp+,r2", "\tmov.w\tr2,@-sp", "\tmov.l\tr2,@-sp"}},
    {"PushOfOtherValueStays",
     {"mov.l @sp+,r2", "mov.l r3,@-sp"},
     {"\tmov.l\t@sp+,r2", "\tmov.l\tr3,@-sp"}},
    // A jump to the label arrives without the pop and must still push.
    {"PushAfterPopWithLabelStays",
     {"mov.l @sp+,r2", "$4: mov.l r2,@-sp"},
     {"\tmov.l\t@sp+,r2", "$4:\tmov.l\tr2,@-sp"}},
    {"PushAfterPopAndLabelledUseStays",
     {"mov.l @sp+,r2", "$4: add.l r2,r3", "mov.l r2,@-sp"},
     {"\tmov.l\t@sp+,r2", "$4:\tadd.l\tr2,r3", "\tmov.l\tr2,@-sp"}},
};
INSTANTIATE_TEST_SUITE_P(SingleInstruction, EmitRewriteTest,
                         ::testing::ValuesIn(kSingleInstructionCases),
                         [](const auto& info) { return std::string(info.param.name); });

const RewriteCase kAbsorptionCases[] = {
    {"IncrementThenDecrementCancel", {"inc.w #1,r0", "dec.w #1,r0"}, {"\tnop"}},
    {"ByteDecrementThenIncrementCancel", {"dec.b #1,r0", "inc.b #1,r0"}, {"\tnop"}},
    {"StepsOfDifferentSizeStay",
     {"inc.w #1,r0", "dec.l #1,r0"},
     {"\tinc.w\t#1,r0", "\tdec.l\t#1,r0"}},
    {"StepsOfDifferentAmountStay",
     {"inc.w #2,r0", "dec.w #1,r0"},
     {"\tinc.w\t#2,r0", "\tdec.w\t#1,r0"}},
    {"StepAfterLabelStays",
     {"$2: inc.w #1,r0", "dec.w #1,r0"},
     {"$2:\tinc.w\t#1,r0", "\tdec.w\t#1,r0"}},
    {"StepWithPendingLabelStays",
     {"inc.w #1,r0", "$2: dec.w #1,r0"},
     {"\tinc.w\t#1,r0", "$2:\tdec.w\t#1,r0"}},

    {"ZeroCompareAfterAddDisappears", {"add.w r1,r0", "cmp.w #0,r0"}, {"\tadd.w\tr1,r0"}},
    {"ZeroCompareAfterStoreDisappears", {"mov.w r0,@x", "cmp.w #0,r0"}, {"\tmov.w\tr0,@x"}},
    {"ZeroCompareAfterLoadDisappears", {"mov.w @x,r0", "cmp.w #0,r0"}, {"\tmov.w\t@x,r0"}},
    {"ZeroCompareAfterShiftDisappears", {"shll.w #1,r0", "cmp.w #0,r0"}, {"\tshll.w\t#1,r0"}},
    {"ZeroCompareAfterNegateDisappears", {"neg.w r0", "cmp.w #0,r0"}, {"\tneg.w\tr0"}},
    {"ZeroCompareAfterBitTestTestsTheRegister",
     {"btst #3,r2", "cmp.w #0,r0"},
     {"\tbtst\t#3,r2", "\tand.w\tr0,r0"}},
    {"ZeroCompareOfOtherRegisterTestsIt",
     {"add.w r1,r0", "cmp.w #0,r1"},
     {"\tadd.w\tr1,r0", "\tand.w\tr1,r1"}},
    {"ZeroCompareLooksPastBranchesAndMarkers",
     {"add.w r1,r0", "beq $3", "@4: bcx @4", "nop", "cmp.w #0,r0"},
     {"\tadd.w\tr1,r0", "\tbeq\t$3", "@4:\tbcx\t@4", "\tnop"}},
    {"ZeroCompareAfterAnotherCompareTestsTheRegister",
     {"mov.w @x,r0", "cmp.w #5,r0", "beq $3", "cmp.w #0,r0"},
     {"\tmov.w\t@x,r0", "\tcmp.w\t#5,r0", "\tbeq\t$3", "\tand.w\tr0,r0"}},
    {"ZeroCompareAfterByteLoadTestsTheWord",
     {"mov.b @x,r0", "cmp.w #0,r0"},
     {"\tmov.b\t@x,r0", "\tand.w\tr0,r0"}},
    {"ZeroCompareWithPendingLabelStays",
     {"add.w r1,r0", "$4: cmp.w #0,r0"},
     {"\tadd.w\tr1,r0", "$4:\tcmp.w\t#0,r0"}},
    {"ZeroCompareAfterExitBranchUsesFlagsBeforeIt",
     {"add.w r1,r0", "beq $5", "bra $00", "$5: nop", "cmp.w #0,r0"},
     {"\tadd.w\tr1,r0", "\tbeq\t$5", "\tbra\t$00", "$5:\tnop"}},
    {"ZeroCompareAtSharedLabelTestsTheRegister",
     {"bra $5", "add.w r1,r0", "beq $5", "bra $00", "$5: nop", "cmp.w #0,r0"},
     {"\tbra\t$5", "\tadd.w\tr1,r0", "\tbeq\t$5", "\tbra\t$00", "$5:\tnop", "\tand.w\tr0,r0"}},
    {"ZeroCompareAloneStays", {"cmp.w #0,r0"}, {"\tcmp.w\t#0,r0"}},

    {"CharacterAppendJoinsItsLoad", {"bsr \\lodc", "bsr \\addss"}, {"\tbsr\t\\addc"}},
    {"InlineStringAppendJoinsItsLoad",
     {"bsr \\lodsi", "db 'AB'", "bsr \\addss"},
     {"\tbsr\t\\addsi", "\tdb\t'AB'"}},
    {"StackStringAppendStays", {"bsr \\lods", "bsr \\addss"}, {"\tbsr\t\\lods", "\tbsr\t\\addss"}},

    {"StackReservationsMerge", {"subs #2,sp", "sub.l #6,sp"}, {"\tsub.l\t#8,sp"}},
    {"LongReservationsMerge", {"sub.l #10,sp", "subs #4,sp"}, {"\tsub.l\t#14,sp"}},
    {"ReservationOfOtherRegisterStays",
     {"subs #2,r0", "subs #2,sp"},
     {"\tsubs\t#2,r0", "\tsubs\t#2,sp"}},

    {"ExtensionWidensTheMask", {"and.b #15,r0", "extu.w r0"}, {"\tand.w\t#15,r0"}},
    {"LongExtensionWidensWordMask", {"and.w #15,r1", "extu.l r1"}, {"\tand.l\t#15,r1"}},
    {"LongExtensionOfByteMaskStays",
     {"and.b #15,r0", "extu.l r0"},
     {"\tand.b\t#15,r0", "\textu.l\tr0"}},
    {"ExtensionOfOtherRegisterStays",
     {"and.b #15,r0", "extu.w r1"},
     {"\tand.b\t#15,r0", "\textu.w\tr1"}},

    {"DataLinesMerge", {"db 1", "db 2", "db 3"}, {"\tdb\t1,2,3"}},
    {"DataMergesBelowThirtyTwoCharacters",
     {"db 100", "db 100", "db 100", "db 100", "db 100", "db 100", "db 100", "db 100", "db 100"},
     {"\tdb\t100,100,100,100,100,100,100,100", "\tdb\t100"}},
    {"NothingMergesBehindAQuotedString",
     {"db 1", "db 'AB'", "db 3", "db \"C\"", "db 4"},
     {"\tdb\t1,'AB'", "\tdb\t3,\"C\"", "\tdb\t4"}},
    {"DataOfOtherWidthStays", {"dw 1", "db 2"}, {"\tdw\t1", "\tdb\t2"}},
    {"DataWithPendingLabelStays", {"dw 1", "$2: dw 2"}, {"\tdw\t1", "$2:\tdw\t2"}},

    {"AlignmentAfterWordDataDisappears", {"dw 5", "org ($+1)/2*2"}, {"\tdw\t5"}},
    {"AlignmentAfterCallDisappears", {"bsr \\lodsi", "org ($+1)/2*2"}, {"\tbsr\t\\lodsi"}},
    {"AlignmentAfterByteDataStays", {"db 5", "org ($+1)/2*2"}, {"\tdb\t5", "\torg\t($+1)/2*2"}},
    {"LabelOnAlignmentMovesToTheNextLine",
     {"db 1", "$3: org ($+1)/2*2", "nop"},
     {"\tdb\t1", "\torg\t($+1)/2*2", "$3:\tnop"}},

    {"AddOfZeroDisappears", {"add.w #0,r0"}, {}},
    {"SubtractionOfZeroDisappears", {"mov.w r1,r2", "sub.l #0,sp"}, {"\tmov.w\tr1,r2"}},

    {"DoubleExtensionBecomesMask", {"extu.w r0", "extu.l r0"}, {"\tand.l\t#255,r0"}},
    {"ExtensionsOfDifferentRegistersStay",
     {"extu.w r0", "extu.l r1"},
     {"\textu.w\tr0", "\textu.l\tr1"}},

    {"TwoPushedConstantsBecomeOneLong",
     {"mov.w #1,r1", "mov.w r1,@-sp", "mov.w #2,r0", "mov.w r0,@-sp"},
     {"\tmov.l\t#h'00020001,r1", "\tmov.l\tr1,@-sp", "\tnop"}},
    {"NegativePushedConstantIsMaskedToItsWord",
     {"mov.w #-1,r1", "mov.w r1,@-sp", "mov.w #3,r0", "mov.w r0,@-sp"},
     {"\tmov.l\t#h'0003ffff,r1", "\tmov.l\tr1,@-sp", "\tnop"}},
    {"EqualPushedConstantsStay",
     {"mov.w #1,r1", "mov.w r1,@-sp", "mov.w #1,r0", "mov.w r0,@-sp"},
     {"\tmov.w\t#1,r1", "\tmov.w\tr1,@-sp", "\tmov.w\t#1,r0", "\tmov.w\tr0,@-sp"}},

    {"TwoPushedFrameWordsBecomeOneLong",
     {"mov.w @(6,fp),r1", "mov.w r1,@-sp", "mov.w @(4,fp),r0", "mov.w r0,@-sp"},
     {"\tmov.l\t@(4,fp),r1", "\tmov.l\tr1,@-sp", "\tnop"}},
    {"PushedLocalWordsBecomeOneLong",
     {"mov.w @(-2,fp),r1", "mov.w r1,@-sp", "mov.w @(-4,fp),r0", "mov.w r0,@-sp"},
     {"\tmov.l\t@(-4,fp),r1", "\tmov.l\tr1,@-sp", "\tnop"}},
    {"PushedFrameWordsApartStay",
     {"mov.w @(8,fp),r1", "mov.w r1,@-sp", "mov.w @(4,fp),r0", "mov.w r0,@-sp"},
     {"\tmov.w\t@(8,fp),r1", "\tmov.w\tr1,@-sp", "\tmov.w\t@(4,fp),r0", "\tmov.w\tr0,@-sp"}},

    // The caller pushes a whole word for a byte parameter and need not clear its high byte.
    {"OddByteParameterKeepsItsExtension",
     {"mov.b @(5,fp),r0", "extu.w r0"},
     {"\tmov.b\t@(5,fp),r0", "\textu.w\tr0"}},
    {"EvenByteParameterStays",
     {"mov.b @(4,fp),r0", "extu.w r0"},
     {"\tmov.b\t@(4,fp),r0", "\textu.w\tr0"}},
    {"NegativeOddByteStays",
     {"mov.b @(-3,fp),r0", "extu.w r0"},
     {"\tmov.b\t@(-3,fp),r0", "\textu.w\tr0"}},

    {"ExtensionWidensAnEarlierMask",
     withSixLinesBefore({"and.b #7,r0", "mov.w r1,@y", "extu.w r0"}),
     sixLinesWritten({"\tand.w\t#7,r0", "\tmov.w\tr1,@y"})},
    {"ExtensionDoesNotLookBeforePositionSix",
     {"mov.w r4,@x0", "mov.w r4,@x1", "mov.w r4,@x2", "mov.w r4,@x3", "mov.w r4,@x4", "and.b #7,r0",
      "mov.w r1,@y", "extu.w r0"},
     {"\tmov.w\tr4,@x0", "\tmov.w\tr4,@x1", "\tmov.w\tr4,@x2", "\tmov.w\tr4,@x3", "\tmov.w\tr4,@x4",
      "\tand.b\t#7,r0", "\tmov.w\tr1,@y", "\textu.w\tr0"}},
    {"ExtensionStopsAtALoadOfTheRegister",
     withSixLinesBefore({"and.b #7,r0", "mov.b @y,r0", "extu.w r0"}),
     sixLinesWritten({"\tand.b\t#7,r0", "\tmov.b\t@y,r0", "\textu.w\tr0"})},
    {"ExtensionStopsAtAChangeOfTheRegister",
     withSixLinesBefore({"and.b #7,r0", "shll.w #1,r0", "extu.w r0"}),
     sixLinesWritten({"\tand.b\t#7,r0", "\tshll.w\t#1,r0", "\textu.w\tr0"})},
    {"ExtensionStopsAtACall", withSixLinesBefore({"and.b #7,r0", "bsr \\ich", "extu.w r0"}),
     sixLinesWritten({"\tand.b\t#7,r0", "\tbsr\t\\ich", "\textu.w\tr0"})},
};
INSTANTIATE_TEST_SUITE_P(Absorption, EmitRewriteTest, ::testing::ValuesIn(kAbsorptionCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorax
