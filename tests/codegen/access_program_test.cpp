// Variable access inside whole programs, with the peephole rules off: the lines the
// statements get from the access generators.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/source_tree.h"

namespace vorax::testing {
namespace {

constexpr const char* kHead =
    "PROGRAM T;\n"
    "TYPE REC = RECORD A, B: LONGINT; C: ARRAY[1..6] OF INTEGER END;\n"  // 20 bytes
    "SMALL = RECORD X, Y: LONGINT; Z: ARRAY[1..4] OF INTEGER END;\n"     // 16 bytes
    "PREC = ^REC;\n"
    "VAR I, J, K: INTEGER;\n"        // -6 -8 -10
    "B: BYTE;\n"                     // -11
    "Q: REC;\n"                      // -32
    "SM: SMALL;\n"                   // -48
    "A: ARRAY[1..10] OF INTEGER;\n"  // -68
    "PP: PREC;\n"                    // -72
    "PROCEDURE P; BEGIN END;\n"
    "PROCEDURE V(X: REC; Y: BYTE; Z: SMALL); BEGIN END;\n"
    "BEGIN\n";

std::vector<std::string> bodyLines(const std::string& statements) {
  SourceTree tree;
  CompileOptions options;
  options.localTier = false;
  options.blockTier = false;
  const CompileResult result =
      compileSource(tree, std::string(kHead) + statements + "\nEND.\n", "TEST.PAS", options);
  EXPECT_TRUE(result.host.errors.empty()) << statements;
  // The main body starts at its global label.
  const auto start =
      std::find(result.lines.begin(), result.lines.end(), "\\T:\tmov.l\t\\ram+12,r0");
  return {start, result.lines.end()};
}

int count(const std::vector<std::string>& lines, const std::string& prefix) {
  return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
    return line.starts_with(prefix);
  }));
}

TEST(AccessProgramTest, ASecondReadOfALocalReusesItsRegister) {
  const auto lines = bodyLines("J := I; K := I;");
  EXPECT_GE(findSequence(lines,
                         {"\tmov.w\t@(-6,fp),r0", "\tmov.w\tr0,@(-8,fp)", "\tmov.w\tr0,@(-10,fp)"}),
            0);
  EXPECT_EQ(count(lines, "\tmov.w\t@(-6,fp)"), 1);
}

TEST(AccessProgramTest, AStoreToTheVariableEndsTheReuse) {
  const auto lines = bodyLines("J := I; I := K; K := I;");
  EXPECT_EQ(count(lines, "\tmov.w\t@(-6,fp)"), 2);
}

TEST(AccessProgramTest, IdenticalDesignatorsInOneStatementShareTheAddress) {
  const auto lines = bodyLines("A[I] := A[I] + 1;");
  EXPECT_EQ(count(lines, "\tadd.l\tfp,"), 1);
  EXPECT_EQ(count(lines, "\tmov.w\t@(-70,r0),"), 1);
  EXPECT_EQ(count(lines, "\tmov.w\tr1,@(-70,r0)"), 1);
}

TEST(AccessProgramTest, AfterAProcedureCallTheAddressIsRecomputed) {
  const auto lines = bodyLines("A[I] := 1; P; A[I] := 2;");
  EXPECT_EQ(count(lines, "\tadd.l\tfp,"), 2);
}

TEST(AccessProgramTest, AFieldThroughALocalPointer) {
  const auto lines = bodyLines("K := PP^.C[2];");
  EXPECT_GE(findSequence(
                lines, {"\tmov.l\t@(-72,fp),r0", "\tmov.w\t@(10,r0),r1", "\tmov.w\tr1,@(-10,fp)"}),
            0);
}

TEST(AccessProgramTest, ValueParametersOfRecordsAndBytes) {
  const auto lines = bodyLines("V(Q, B, SM);");
  // 20 bytes: the counted loop from the end of Q down.
  EXPECT_GE(
      findSequence(lines, {"\tlea\t@(-12,fp),r0", "\tmov.w\t#10,r2", "$2:\tdec.l\t#2,r0",
                           "\tmov.w\t@r0,r1", "\tmov.w\tr1,@-sp", "\tdec.w\t#1,r2", "\tbne\t$2"}),
      0);
  // A BYTE argument is pushed as a word.
  EXPECT_GE(findSequence(lines, {"\tmov.b\t@(-11,fp),r0", "\textu.w\tr0", "\tmov.w\tr0,@-sp"}), 0);
  // 16 bytes: four long pushes from the highest part down.
  EXPECT_GE(findSequence(
                lines, {"\tlea\t@(-48,fp),r0", "\tmov.l\t@(12,r0),r1", "\tmov.l\tr1,@-sp",
                        "\tmov.l\t@(8,r0),r1", "\tmov.l\tr1,@-sp", "\tmov.l\t@(4,r0),r1",
                        "\tmov.l\tr1,@-sp", "\tmov.l\t@r0,r1", "\tmov.l\tr1,@-sp", "\tbsr\tV.12"}),
            0);
}

}  // namespace
}  // namespace vorax::testing
