// Computed offsets: indexes in registers joined to symbol, frame and pointer bases, and
// the reuse of a remembered address computation by a second identical designator.
#include <gtest/gtest.h>

#include "access_fixture.h"
#include "codegen/codegen.h"

namespace vorax::testing {
namespace {

constexpr const char* kDeclarations =
    "TYPE REC = RECORD C: CHAR; I: INTEGER; NEXT: ^REC END;\n"
    "ARR = ARRAY[1..10] OF INTEGER;\n"
    "VAR I: INTEGER;\n"              // -6
    "B: BYTE;\n"                     // -7
    "J: INTEGER;\n"                  // -10
    "PR: ^REC;\n"                    // -14
    "A: ARRAY[1..10] OF INTEGER;\n"  // -34
    "N: ARRAY[-5..5] OF BYTE;\n"     // -46 (11 bytes, on an even offset)
    "PA: ^ARR;\n"                    // -50
    "XA: ARRAY[1..10] OF INTEGER ABSOLUTE $B000;\n";

struct IndexCase {
  std::vector<std::string> designators;  // each generated in turn, registers kept
  bool addressWanted;
  const char* result;  // texts returned, then " | " and the lines emitted
};

void PrintTo(const IndexCase& c, std::ostream* os) { *os << c.designators.front(); }

class IndexTest : public ::testing::TestWithParam<IndexCase> {};

TEST_P(IndexTest, BuildsTheOperand) {
  AccessFixture fixture;
  const IndexCase& param = GetParam();
  const auto lines = fixture.run(kDeclarations, param.designators, [&](Compilation& c, ExprPtr& t) {
    t->addressWanted = param.addressWanted;
    fixture.results.push_back(generateVariable(c, t));
  });
  EXPECT_EQ(joined(fixture.results) + " | " + joined(lines), param.result);
}

// The index products themselves come from the operator generator; what is checked here
// is where the index register and the constant parts end up.
INSTANTIATE_TEST_SUITE_P(
    Cases, IndexTest,
    ::testing::Values(
        // A fixed-address array: the constant part joins the symbol.
        IndexCase{{"XA[I]"}, false, "@(XA-2,r0) | mov.w @(-6,fp),r0 / mov.w #2,r1 / mulxs.w r1,r0"},
        IndexCase{
            {"XA[I + 3]"}, false, "@(XA+4,r0) | mov.w @(-6,fp),r0 / mov.w #2,r1 / mulxs.w r1,r0"},
        // A frame array: the frame pointer is added to the index, the constant part stays a
        // displacement.
        IndexCase{{"A[I]"},
                  false,
                  "@(-36,r0) | mov.w @(-6,fp),r0 / mov.w #2,r1 / mulxs.w r1,r0 / add.l fp,r0"},
        IndexCase{{"A[I]"},
                  true,
                  "r1 | mov.w @(-6,fp),r0 / mov.w #2,r1 / mulxs.w r1,r0 / add.l fp,r0 / "
                  "lea @(-36,r0),r1"},
        // An INTEGER index is sign-extended: the bounds of N are below zero.
        IndexCase{{"N[I]"}, false, "@(-41,r0) | mov.w @(-6,fp),r0 / exts.l r0 / add.l fp,r0"},
        IndexCase{{"N[B]"}, false, "@(-41,r0) | mov.b @(-7,fp),r0 / and.l #255,r0 / add.l fp,r0"},
        // Through a pointer: the pointer is loaded and added (there is no add from memory).
        IndexCase{{"PA^[J]"},
                  false,
                  "@(-2,r0) | mov.w @(-10,fp),r0 / mov.w #2,r1 / mulxs.w r1,r0 / "
                  "mov.l @(-50,fp),r1 / add.l r1,r0"},
        // A second identical designator reuses the remembered address computation.
        IndexCase{{"A[I]", "A[I]"},
                  false,
                  "@(-36,r0) / @(-36,r0) | mov.w @(-6,fp),r0 / mov.w #2,r1 / mulxs.w r1,r0 / "
                  "add.l fp,r0"},
        IndexCase{{"PR^.I", "PR^.I"}, false, "@(2,r0) / @(2,r0) | mov.l @(-14,fp),r0"},
        IndexCase{{"A[I]", "A[I]"},
                  true,
                  "r1 / r2 | mov.w @(-6,fp),r0 / mov.w #2,r1 / mulxs.w r1,r0 / add.l fp,r0 / "
                  "lea @(-36,r0),r1 / lea @(-36,r0),r2"},
        IndexCase{{"A[I]", "A[J]"},
                  false,
                  "@(-36,r0) / @(-36,r1) | mov.w @(-6,fp),r0 / mov.w #2,r1 / mulxs.w r1,r0 / "
                  "add.l fp,r0 / mov.w @(-10,fp),r1 / mov.w #2,r2 / mulxs.w r2,r1 / "
                  "add.l fp,r1"}));

// A remembered address is recomputed when a line between the two accesses may have made
// it stale.
struct RecomputeCase {
  const char* name;
  const char* mnemonic;
  const char* source;
  const char* destination;
};

class RecomputeTest : public ::testing::TestWithParam<RecomputeCase> {};

TEST_P(RecomputeTest, SecondAccessRecomputes) {
  AccessFixture fixture;
  const RecomputeCase& param = GetParam();
  const auto lines = fixture.run(kDeclarations, {"A[I]", "A[I]"}, [&](Compilation& c, ExprPtr& t) {
    if (!fixture.results.empty()) {
      c.emitter.emitInstruction(param.mnemonic, param.source, param.destination);
    }
    fixture.results.push_back(generateVariable(c, t));
    c.registers.releaseRegister(fixture.results.back());
  });
  int framePointerAdds = 0;
  for (const std::string& line : lines) {
    framePointerAdds += line.starts_with("add.l fp,") ? 1 : 0;
  }
  EXPECT_EQ(framePointerAdds, 2) << joined(lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecomputeTest,
    ::testing::Values(RecomputeCase{"AfterACall", "bsr", "\\write", ""},
                      // I := ... changes the index the address was computed from.
                      RecomputeCase{"AfterAStore", "mov.w", "r5", "@(-6,fp)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecomputeTest, NothingBetweenKeepsTheAddress) {
  AccessFixture fixture;
  const auto lines = fixture.run(kDeclarations, {"A[I]", "A[I]"}, [&](Compilation& c, ExprPtr& t) {
    if (!fixture.results.empty()) {
      c.emitter.emitInstruction("mov.w", "@(-36,r0)", "r4");  // a load is no store
    }
    fixture.results.push_back(generateVariable(c, t));
    c.registers.releaseRegister(fixture.results.back());
  });
  EXPECT_EQ(joined(fixture.results), "@(-36,r0) / @(-36,r0)") << joined(lines);
}

}  // namespace
}  // namespace vorax::testing
