// Loading leaves into registers: sizes, widening, register reuse from the window and its
// limits, constants into registers, and the conversion of results to the wanted type.
#include <gtest/gtest.h>

#include "access_fixture.h"
#include "codegen/codegen.h"
#include "symbols/type_descriptor.h"

namespace vorax::testing {
namespace {

constexpr const char* kDeclarations =
    "VAR I: INTEGER;\n"  // -6
    "B: BYTE;\n"         // -7
    "L: LONGINT;\n"      // -12
    "W: WORD;\n"         // -14
    "C: CHAR;\n"         // -15
    "F: BOOLEAN;\n"      // -16
    "PR: ^INTEGER;\n"    // -20
    "X: INTEGER ABSOLUTE $A000;\n";

enum class Target { Same, Integer, LongInt, Word, Byte, Address };

TypeDescriptor* targetType(Compilation& c, Target target, const ExprNode& tree) {
  const PredefinedTypes& t = c.symbols.types();
  switch (target) {
    case Target::Integer:
      return t.integerType;
    case Target::LongInt:
      return t.longIntType;
    case Target::Word:
      return t.wordType;
    case Target::Byte:
      return t.byteType;
    case Target::Address:
      return t.addressType;
    default:
      return tree.type;
  }
}

struct LoadCase {
  std::vector<std::string> expressions;  // each loaded in turn, registers kept
  Target target;
  const char* result;  // texts returned, then " | " and the lines emitted
};

void PrintTo(const LoadCase& c, std::ostream* os) { *os << c.expressions.front(); }

std::string runLoads(const LoadCase& param, bool releaseAfterEach, bool inRegister = true) {
  AccessFixture fixture;
  const auto lines = fixture.run(kDeclarations, param.expressions, [&](Compilation& c, ExprPtr& t) {
    TypeDescriptor* type = targetType(c, param.target, *t);
    const std::string text =
        inRegister ? generateInRegister(c, t, type) : generateValue(c, t, type);
    fixture.results.push_back(text);
    if (releaseAfterEach) {
      c.registers.releaseRegister(text);
    }
  });
  return joined(fixture.results) + " | " + joined(lines);
}

class LoadTest : public ::testing::TestWithParam<LoadCase> {};

// Values are held (not released) between the expressions of a case.
TEST_P(LoadTest, LoadsAndConverts) { EXPECT_EQ(runLoads(GetParam(), false), GetParam().result); }

INSTANTIATE_TEST_SUITE_P(
    Leaves, LoadTest,
    ::testing::Values(
        LoadCase{{"I"}, Target::Same, "r0 | mov.w @(-6,fp),r0"},
        LoadCase{{"B"}, Target::Same, "r0 | mov.b @(-7,fp),r0"},
        LoadCase{{"L"}, Target::Same, "r0 | mov.l @(-12,fp),r0"},
        LoadCase{{"X"}, Target::Same, "r0 | mov.w X,r0"},
        LoadCase{{"PR"}, Target::Same, "r0 | mov.l @(-20,fp),r0"},
        LoadCase{{"PR^"}, Target::Same, "r1 | mov.l @(-20,fp),r0 / mov.w @r0,r1"},
        // A one-byte value wanted as LONGINT or as an address is widened by a mask.
        LoadCase{{"B"}, Target::LongInt, "r0 | mov.b @(-7,fp),r0 / and.l #255,r0"},
        LoadCase{{"C"}, Target::Address, "r0 | mov.b @(-15,fp),r0 / and.l #255,r0"},
        LoadCase{{"B"}, Target::Integer, "r0 | mov.b @(-7,fp),r0 / extu.w r0"},
        LoadCase{{"B"}, Target::Word, "r0 | mov.b @(-7,fp),r0 / extu.w r0"},
        LoadCase{{"I"}, Target::LongInt, "r0 | mov.w @(-6,fp),r0 / exts.l r0"},
        LoadCase{{"I"}, Target::Address, "r0 | mov.w @(-6,fp),r0 / extu.l r0"},
        LoadCase{{"W"}, Target::LongInt, "r0 | mov.w @(-14,fp),r0 / extu.l r0"},
        LoadCase{{"-I"}, Target::LongInt, "r0 | mov.w @(-6,fp),r0 / neg.w r0 / exts.l r0"},
        LoadCase{{"-W"}, Target::LongInt, "r0 | mov.w @(-14,fp),r0 / extu.l r0 / neg.l r0"},
        LoadCase{{"NOT L"}, Target::Same, "r0 | mov.l @(-12,fp),r0 / not.l r0"},
        LoadCase{{"F"}, Target::Same, "r0 | mov.b @(-16,fp),r0"},
        LoadCase{{"NOT F"}, Target::Same, "r0 | mov.b @(-16,fp),r0 / bnot #0,r0"},
        LoadCase{{"F"}, Target::Integer, "r0 | mov.b @(-16,fp),r0 / extu.w r0"},
        // The address of a variable as a pointer value.
        LoadCase{{"@I"}, Target::Same, "r0 | lea @(-6,fp),r0"},
        LoadCase{{"@X"}, Target::Same, "r0 | mov.l #X,r0"},
        // A value still held is not shared: the second load gets a register of its own.
        LoadCase{{"I", "I"}, Target::Same, "r0 / r1 | mov.w @(-6,fp),r0 / mov.w @(-6,fp),r1"}));

INSTANTIATE_TEST_SUITE_P(
    Constants, LoadTest,
    ::testing::Values(LoadCase{{"5"}, Target::Integer, "r0 | mov.w #5,r0"},
                      LoadCase{{"-1"}, Target::Word, "r0 | mov.w #65535,r0"},
                      LoadCase{{"-1"}, Target::Integer, "r0 | mov.w #-1,r0"},
                      LoadCase{{"100000"}, Target::LongInt, "r0 | mov.l #100000,r0"},
                      LoadCase{{"300"}, Target::Byte, "r0 | mov.b #44,r0"},
                      LoadCase{{"'A'"}, Target::Same, "r0 | mov.b #65,r0"},
                      LoadCase{{"TRUE"}, Target::Same, "r0 | mov.b #1,r0"},
                      LoadCase{{"100000"}, Target::Integer, " | error 45"}));

TEST(LoadReuseTest, ASecondReadInStraightLineCodeReusesTheRegister) {
  // Released after each use, as a statement does: the window still shows r0 holding I.
  EXPECT_EQ(runLoads(LoadCase{{"I", "I"}, Target::Same, ""}, true), "r0 / r0 | mov.w @(-6,fp),r0");
  EXPECT_EQ(runLoads(LoadCase{{"PR^", "PR^"}, Target::Same, ""}, true),
            "r1 / r1 | mov.l @(-20,fp),r0 / mov.w @r0,r1");
  // Absolute operands are not reused from the window.
  EXPECT_EQ(runLoads(LoadCase{{"X", "X"}, Target::Same, ""}, true),
            "r0 / r0 | mov.w X,r0 / mov.w X,r0");
}

// A line that may have changed the value or the register between the two loads.
struct StaleCase {
  const char* name;
  std::vector<std::string> between;  // "mnemonic source,destination" or "label:"
};

class LoadStaleTest : public ::testing::TestWithParam<StaleCase> {};

TEST_P(LoadStaleTest, NoReuseAcross) {
  AccessFixture fixture;
  int step = 0;
  const auto lines = fixture.run(kDeclarations, {"I", "I"}, [&](Compilation& c, ExprPtr& t) {
    if (step++ == 1) {
      for (const std::string& line : GetParam().between) {
        if (line.back() == ':') {
          c.emitter.defineLabel(false, line.substr(0, line.size() - 1));
          continue;
        }
        const std::size_t blank = line.find(' ');
        const std::string operands = blank == std::string::npos ? "" : line.substr(blank + 1);
        const std::size_t comma = operands.rfind(',');
        c.emitter.emitInstruction(line.substr(0, blank), operands.substr(0, comma),
                                  comma == std::string::npos ? "" : operands.substr(comma + 1));
      }
    }
    const std::string text = generateInRegister(c, t, t->type);
    fixture.results.push_back(text);
    c.registers.releaseRegister(text);
  });
  ASSERT_EQ(fixture.results.size(), 2U);
  EXPECT_EQ(lines.back(), "mov.w @(-6,fp),r0") << joined(lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadStaleTest,
    ::testing::Values(StaleCase{"Call", {"bsr \\write"}}, StaleCase{"JoinLabel", {"$9:", "nop"}},
                      StaleCase{"StoreToTheVariable", {"mov.w r1,@(-6,fp)"}},
                      StaleCase{"StoreThroughAPointer", {"mov.w r1,@r2"}},
                      StaleCase{"StoreToAnOverlappingByte", {"mov.b r1,@(-5,fp)"}},
                      StaleCase{"StoreToAnAbsoluteAddress", {"mov.w r1,X"}},
                      StaleCase{"RegisterWritten", {"add.w r1,r0"}},
                      StaleCase{"RegisterShifted", {"shll.w r0"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LoadReuseTest, AStoreToAnotherFrameSlotKeepsTheRegister) {
  AccessFixture fixture;
  int step = 0;
  const auto lines = fixture.run(kDeclarations, {"I", "I"}, [&](Compilation& c, ExprPtr& t) {
    if (step++ == 1) {
      c.emitter.emitInstruction("mov.w", "r0", "@(-8,fp)");
      c.emitter.emitInstruction("mov.b", "r0", "@(-7,fp)");
    }
    const std::string text = generateInRegister(c, t, t->type);
    fixture.results.push_back(text);
    c.registers.releaseRegister(text);
  });
  EXPECT_EQ(joined(fixture.results) + " | " + joined(lines),
            "r0 / r0 | mov.w @(-6,fp),r0 / mov.w r0,@(-8,fp) / mov.b r0,@(-7,fp)");
}

TEST(ConstantRegisterTest, ReusesAClearedOrLoadedRegister) {
  // Released after each use: the window shows which value each register still holds.
  AccessFixture fixture;
  const auto lines =
      fixture.run(kDeclarations, {"0", "0", "7", "7"}, [&](Compilation& c, ExprPtr& t) {
        const std::string text = generateInRegister(c, t, c.symbols.types().longIntType);
        fixture.results.push_back(text);
        c.registers.releaseRegister(text);
      });
  // The cleared word register is widened to a long clear when a long zero is wanted.
  EXPECT_EQ(joined(fixture.results) + " | " + joined(lines),
            "r0 / r0 / r0 / r0 | xor.l r0,r0 / mov.l #7,r0");
}

TEST(ConstantRegisterTest, AWordClearBecomesALongClearForALongZero) {
  AccessFixture fixture;
  const auto lines = fixture.run(kDeclarations, {"0", "0"}, [&](Compilation& c, ExprPtr& t) {
    const bool first = fixture.results.empty();
    const PredefinedTypes& types = c.symbols.types();
    const std::string text =
        generateInRegister(c, t, first ? types.integerType : types.longIntType);
    fixture.results.push_back(text);
    c.registers.releaseRegister(text);
  });
  EXPECT_EQ(joined(fixture.results) + " | " + joined(lines), "r0 / r0 | xor.l r0,r0");
}

TEST(ConstantRegisterTest, FindZeroRegisterSeesOnlyUnchangedClears) {
  AccessFixture fixture;
  std::vector<std::string> found;
  fixture.run(kDeclarations, {"0"}, [&](Compilation& c, ExprPtr& t) {
    found.push_back(findZeroRegister(c, 2).value_or("none"));
    const std::string zero = generateInRegister(c, t, c.symbols.types().integerType);
    c.registers.releaseRegister(zero);
    found.push_back(findZeroRegister(c, 2).value_or("none"));
    c.registers.releaseRegister("r0");
    c.emitter.emitInstruction("inc.w", "#1", "r0");
    found.push_back(findZeroRegister(c, 2).value_or("none"));
  });
  EXPECT_EQ(joined(found), "none / r0 / none");
}

}  // namespace
}  // namespace vorax::testing
