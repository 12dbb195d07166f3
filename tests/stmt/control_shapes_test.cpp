// The code IF, WHILE, REPEAT and WITH leave, from whole sources: the raw shapes with the
// peephole optimizer switched off (marker lines already turned into "nop"), and what the
// optimized output keeps of them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/source_tree.h"

namespace vorax::testing {
namespace {

using Lines = std::vector<std::string>;

CompileOptions rawOutput() {
  CompileOptions options;
  options.localTier = false;
  options.blockTier = false;
  return options;
}

// The program's statements, with its own variables at fixed addresses ({$M}) so that
// stores stay visible in the optimized output; `declarations` replaces the default
// "VAR I, J, K: INTEGER;".
std::string program(const std::string& body, const std::string& declarations = "",
                    bool fixedAddresses = true) {
  return std::string(fixedAddresses ? "{$M $8000,$FF00}\n" : "") + "PROGRAM T;\n" +
         (declarations.empty() ? "VAR I, J, K: INTEGER;" : declarations) + "\nBEGIN\n" + body +
         "\nEND.\n";
}

// The instruction lines of a compiled file (no comments, no echoed source lines).
Lines instructions(const Lines& lines) {
  Lines result;
  for (const std::string& line : lines) {
    if (!line.empty() && line[0] != ';') {
      result.push_back(line);
    }
  }
  return result;
}

struct ShapeCase {
  const char* name;
  std::string source;
  bool raw;
  Lines expected;  // consecutive lines of the output
};

void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.name; }

class ControlShapes : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ControlShapes, EmitTheirLinesInOrder) {
  const ShapeCase& param = GetParam();
  SourceTree tree;
  const auto result =
      compileSource(tree, param.source, "TEST.PAS", param.raw ? rawOutput() : CompileOptions{});
  ASSERT_TRUE(result.host.errors.empty()) << result.host.errors[0].number;
  EXPECT_GE(findSequence(instructions(result.lines), param.expected), 0)
      << ::testing::PrintToString(instructions(result.lines));
}

// Label numbers restart at 2 after the program's label: the first statement's markers and
// labels are numbered from there in the order the statement makes them.
INSTANTIATE_TEST_SUITE_P(
    Statements, ControlShapes,
    ::testing::Values(
        // Marker, condition, then-marker, then-part, the false label on a "nop" of its own.
        ShapeCase{"if_without_else_raw",
                  program("IF I = 1 THEN J := 2"),
                  true,
                  {"\tnop", "\tmov.w\tI,r0", "\tcmp.w\t#1,r0", "\tbne\t$3", "\tnop",
                   "\tmov.w\t#2,r0", "\tmov.w\tr0,J", "$3:\tnop", "\tmov.l\tfp,sp"}},
        // Both arms end in "bra end"; the end label stands on the line after the else arm.
        ShapeCase{"if_with_else_raw",
                  program("IF I = 1 THEN J := 2 ELSE K := 3"),
                  true,
                  {"\tnop", "\tmov.w\tI,r0", "\tcmp.w\t#1,r0", "\tbne\t$3", "\tnop",
                   "\tmov.w\t#2,r0", "\tmov.w\tr0,J", "\tbra\t$6", "$3:\tnop", "\tnop",
                   "\tmov.w\t#3,r0", "\tmov.w\tr0,K", "\tbra\t$6", "$6:\tmov.l\tfp,sp"}},
        ShapeCase{
            "if_with_else_optimized",
            program("IF I = 1 THEN J := 2 ELSE K := 3"),
            false,
            {"\tmov.w\tI,r0", "\tcmp.w\t#1,r0", "\tbne\t$3", "\tmov.w\t#2,r0", "\tmov.w\tr0,J",
             "\tbra\t$6", "$3:\tmov.w\t#3,r0", "\tmov.w\tr0,K", "$6:\tmov.l\tfp,sp"}},
        // The arms' common first store goes in front of the condition, which gives r0
        // up to it and computes in r2.
        ShapeCase{"common_start_of_the_arms_moves_before_the_condition",
                  program("IF I > J THEN BEGIN K := 5; J := 1 END ELSE BEGIN K := 5; I := 2 END"),
                  false,
                  {"\tmov.w\t#5,r0", "\tmov.w\tr0,K", "\tmov.w\tI,r2", "\tmov.w\tJ,r1",
                   "\tcmp.w\tr1,r2", "\tble\t$3", "\tmov.w\t#1,r0", "\tmov.w\tr0,J", "\tbra\t$6",
                   "$3:\tmov.w\t#2,r0", "\tmov.w\tr0,I", "$6:\tmov.l\tfp,sp"}},
        // The then-part's store repeats the else arm's: it branches into the else arm's
        // copy, and the end label is not needed any more.
        ShapeCase{"identical_tails_are_shared",
                  program("IF I = 1 THEN J := 2 ELSE J := 3"),
                  true,
                  {"\tmov.w\t#2,r0", "\tbra\t$8", "\tnop", "$3:\tnop", "\tnop", "\tmov.w\t#3,r0",
                   "$8:\tmov.w\tr0,J", "\tmov.l\tfp,sp"}},
        // Marker, loop top on the condition, the body, the branch back, the exit label.
        ShapeCase{"while_raw",
                  program("WHILE I < 10 DO I := I - 1"),
                  true,
                  {"\tnop", "$3:\tmov.w\tI,r0", "\tcmp.w\t#10,r0", "\tbge\t$4", "\tmov.w\tI,r0",
                   "\tdec.w\t#1,r0", "\tmov.w\tr0,I", "\tbra\t$3", "$4:\tmov.l\tfp,sp"}},
        // J's frame slot is not written in the loop: its load moves in front of the top.
        ShapeCase{"while_hoists_the_invariant_load",
                  program("WHILE I < 100 DO I := I + J", "VAR I, J: INTEGER;", false),
                  true,
                  {"\tnop", "\tmov.w\t@(-8,fp),r1", "$3:\tmov.w\t@(-6,fp),r0", "\tcmp.w\t#100,r0",
                   "\tbge\t$4", "\tmov.w\t@(-6,fp),r0", "\tadd.w\tr1,r0", "\tmov.w\tr0,@(-6,fp)",
                   "\tbra\t$3", "$4:\tmov.l\tfp,sp"}},
        ShapeCase{"repeat_until_false_branches_back",
                  program("REPEAT UNTIL FALSE"),
                  true,
                  {"\tnop", "$3:\tbra\t$3", "\tmov.l\tfp,sp"}},
        ShapeCase{"repeat_until_true_falls_through",
                  program("REPEAT I := 0 UNTIL TRUE"),
                  true,
                  {"\tnop", "$3:\txor.w\tr0,r0", "\tmov.w\tr0,I", "\tmov.l\tfp,sp"}},
        ShapeCase{"repeat_until_condition_raw",
                  program("REPEAT I := I + 1 UNTIL I = 5"),
                  true,
                  {"\tnop", "$3:\tmov.w\tI,r0", "\tinc.w\t#1,r0", "\tmov.w\tr0,I", "\tmov.w\tI,r0",
                   "\tcmp.w\t#5,r0", "\tbne\t$3", "\tmov.l\tfp,sp"}},
        // A record at a fixed address is reached through its symbol: no register, no
        // save slot.
        ShapeCase{"with_over_a_fixed_record",
                  program("WITH R DO A := B", "TYPE REC = RECORD A, B: INTEGER END;\nVAR R: REC;"),
                  true,
                  {"\tnop", "\tmov.w\tR+2,r0", "\tmov.w\tr0,R", "\tmov.l\tfp,sp"}},
        // A frame record's address is kept in a register; its save slot store goes when
        // nothing reads the slot back.
        ShapeCase{
            "with_over_a_frame_record_drops_its_unread_slot",
            program("WITH R DO A := B", "TYPE REC = RECORD A, B: INTEGER END;\nVAR R: REC;", false),
            true,
            {"\tnop", "\tlea\t@(-8,fp),r1", "\tnop", "\tmov.w\t@(2,r1),r0", "\tmov.w\tr0,@r1",
             "\tmov.l\tfp,sp"}},
        // Two bases in registers and a third record at a fixed address: the fixed one
        // takes no register, so the list is within the limit, and its field is the one
        // found.
        ShapeCase{"fixed_record_does_not_count_towards_the_register_limit",
                  program("WITH RA, RB, RF DO A := 1",
                          "TYPE REC = RECORD A, B: INTEGER END;\nVAR RA, RB: REC; RF: REC "
                          "ABSOLUTE $FF00;",
                          false),
                  true,
                  {"\tnop", "\tlea\t@(-8,fp),r1", "\tnop", "\tnop", "\tlea\t@(-12,fp),r2", "\tnop",
                   "\tnop", "\tmov.w\t#1,r0", "\tmov.w\tr0,RF"}},
        // The arms of an IF forget the registers, so the body reloads the base from the
        // slot, and the slot store stays.
        ShapeCase{"with_base_reloaded_in_the_body_keeps_its_slot",
                  program("WITH P^ DO IF A > 0 THEN B := 1",
                          "TYPE REC = RECORD A, B: INTEGER END;\nVAR P: ^REC; I: INTEGER;", false),
                  true,
                  {"\tnop", "\tmov.l\t@(-8,fp),r1", "\tmov.l\tr1,@(-14,fp)"}},
        // REGISTERS fields spell register names; inside the WITH they may be written.
        ShapeCase{"with_over_registers_allows_register_names",
                  program("WITH RG DO R0 := 5", "VAR RG: REGISTERS;"),
                  true,
                  {"\tnop", "\tmov.l\t#5,r0", "\tmov.l\tr0,RG+20", "\tmov.l\tfp,sp"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Empty statements compile to nothing: the same instructions as an empty body.
TEST(ControlShapes, EmptyStatementsEmitNothing) {
  SourceTree tree;
  const auto empty = compileSource(tree, program(""), "TEST.PAS", rawOutput());
  const auto semicolons =
      compileSource(tree, program("; ; BEGIN END; BEGIN ; ; END"), "TEST.PAS", rawOutput());
  ASSERT_TRUE(semicolons.host.errors.empty());
  EXPECT_EQ(instructions(semicolons.lines), instructions(empty.lines));
}

// The fields of a WITH are gone after it: a register name is an error again.
TEST(ControlShapes, RegisterNamesEndWithTheirWith) {
  SourceTree tree;
  const auto result =
      compileSource(tree, program("WITH RG DO R0 := 5;\nR0 := 1", "VAR RG: REGISTERS;"));
  ASSERT_EQ(result.host.errors.size(), 1U);
  EXPECT_EQ(result.host.errors[0].number, 68);
}

}  // namespace
}  // namespace vorax::testing
