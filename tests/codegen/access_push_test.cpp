// Pushing addresses and arguments, STRING values and concatenations built on the stack,
// and array and record values copied onto the stack.
#include <gtest/gtest.h>

#include "access_fixture.h"
#include "codegen/codegen.h"
#include "symbols/symbol_entry.h"
#include "symbols/type_descriptor.h"

namespace vorax::testing {
namespace {

constexpr const char* kDeclarations =
    "TYPE S10 = STRING[10]; S20 = STRING[20]; A6 = ARRAY[1..6] OF BYTE;\n"
    "VAR I: INTEGER;\n"                // -6
    "B: BYTE;\n"                       // -7
    "L: LONGINT;\n"                    // -12
    "C: CHAR;\n"                       // -13
    "S: S20;\n"                        // -34 (21 bytes)
    "T: STRING;\n"                     // -290
    "V6: ARRAY[1..3] OF INTEGER;\n"    // -296
    "V3: ARRAY[1..3] OF BYTE;\n"       // -300 (3 bytes, on an even offset)
    "V16: ARRAY[1..8] OF INTEGER;\n"   // -316
    "V20: ARRAY[1..10] OF INTEGER;\n"  // -336
    "X: INTEGER ABSOLUTE $A000;\n"
    "SA: S10 ABSOLUTE $B000;\n"
    "BIG: ARRAY[0..69999] OF INTEGER ABSOLUTE $100000;\n";

enum class Formal { Own, Byte, Integer, LongInt, String, String10, String20 };

TypeDescriptor* formalType(Compilation& c, Formal formal, ExprNode& argument) {
  const PredefinedTypes& t = c.symbols.types();
  switch (formal) {
    case Formal::Byte:
      return t.byteType;
    case Formal::Integer:
      return t.integerType;
    case Formal::LongInt:
      return t.longIntType;
    case Formal::String:
      return t.stringType;
    case Formal::String10:
    case Formal::String20: {
      SymbolEntry* entry = c.symbols.lookupName(formal == Formal::String10 ? "S10" : "S20",
                                                KindMask{IdentKind::Type});
      return entry != nullptr ? entry->type : nullptr;
    }
    default:
      return argument.type;
  }
}

struct ArgumentCase {
  const char* argument;
  Formal formal;
  bool byAddress;  // a VAR parameter
  const char* lines;
};

void PrintTo(const ArgumentCase& c, std::ostream* os) { *os << c.argument; }

class ArgumentTest : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(ArgumentTest, PushesTheArgument) {
  AccessFixture fixture;
  const ArgumentCase& param = GetParam();
  const auto lines =
      fixture.run(kDeclarations, {param.argument}, [&](Compilation& c, ExprPtr& argument) {
        argument->expectedType = formalType(c, param.formal, *argument);
        argument->addressWanted = param.byAddress;
        pushArgumentList(c, argument);
        for (int r = 0; r < 6; ++r) {
          EXPECT_FALSE(c.registers.isRegisterInUse("r" + std::to_string(r)))
              << "r" << r << " still held after " << param.argument;
        }
      });
  EXPECT_EQ(joined(lines), param.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ArgumentTest,
    ::testing::Values(
        // A one-byte value is pushed as a word.
        ArgumentCase{"B", Formal::Byte, false, "mov.b @(-7,fp),r0 / extu.w r0 / mov.w r0,@-sp"},
        ArgumentCase{"B", Formal::Integer, false, "mov.b @(-7,fp),r0 / extu.w r0 / mov.w r0,@-sp"},
        ArgumentCase{"5", Formal::Integer, false, "mov.w #5,r0 / mov.w r0,@-sp"},
        ArgumentCase{"I", Formal::LongInt, false, "mov.w @(-6,fp),r0 / exts.l r0 / mov.l r0,@-sp"},
        ArgumentCase{"L", Formal::Own, false, "mov.l @(-12,fp),r0 / mov.l r0,@-sp"},
        ArgumentCase{"-X", Formal::Own, false, "mov.w X,r0 / neg.w r0 / mov.w r0,@-sp"}));

INSTANTIATE_TEST_SUITE_P(
    Addresses, ArgumentTest,
    ::testing::Values(
        ArgumentCase{"I", Formal::Own, true, "lea @(-6,fp),r0 / mov.l r0,@-sp"},
        ArgumentCase{"X", Formal::Own, true, "mov.l #X,r0 / mov.l r0,@-sp"},
        // A type cast passed by address passes the variable inside it.
        ArgumentCase{"BYTE(C)", Formal::Byte, true, "lea @(-13,fp),r0 / mov.l r0,@-sp"},
        ArgumentCase{"A6(V6)", Formal::Own, true, "lea @(-296,fp),r0 / mov.l r0,@-sp"},
        ArgumentCase{"S", Formal::String20, true, "lea @(-34,fp),r0 / mov.l r0,@-sp"},
        // Under the strict string rule a VAR STRING argument must have the formal's size.
        ArgumentCase{"S", Formal::String10, true, "error 44"}));

INSTANTIATE_TEST_SUITE_P(
    Strings, ArgumentTest,
    ::testing::Values(
        ArgumentCase{"T", Formal::String, false, "lea @(-290,fp),r0 / mov.l r0,@-sp / bsr \\lods"},
        ArgumentCase{"S", Formal::String10, false,
                     "mov.w #11,r0 / mov.w r0,@-sp / lea @(-34,fp),r0 / mov.l r0,@-sp / "
                     "bsr \\lodsl"},
        ArgumentCase{"SA", Formal::String, false, "mov.l #SA,r0 / mov.l r0,@-sp / bsr \\lods"},
        ArgumentCase{"''", Formal::String, false, "sub.l #256,sp / xor.w r0,r0 / mov.b r0,@sp"},
        ArgumentCase{"''", Formal::String10, false, "sub.l #12,sp / xor.w r0,r0 / mov.b r0,@sp"},
        ArgumentCase{"'AB'", Formal::String, false, "bsr \\lodsi / db   2,'AB '"},
        ArgumentCase{"'ABC'", Formal::String, false, "bsr \\lodsi / db   3,'ABC'"},
        ArgumentCase{"'ABCDEFGHIJKLM'", Formal::String10, false,
                     "sub.l #12,sp / bsr \\ldsil / db  10,'ABCDEFGHIJ '"},
        ArgumentCase{"'A'", Formal::String, false, "bsr \\lodsi / db   1,'A'"},
        ArgumentCase{"'A'", Formal::String10, false,
                     "sub.l #12,sp / mov.w #65+256,r0 / mov.w r0,@sp"},
        ArgumentCase{"C", Formal::String, false, "mov.b @(-13,fp),r0 / mov.w r0,@-sp / bsr \\lodc"},
        // The processor has no immediate or memory-to-memory byte store to the stack.
        ArgumentCase{"C", Formal::String10, false,
                     "sub.l #12,sp / mov.b @(-13,fp),r0 / mov.b #1,r1 / mov.b r1,@sp / "
                     "mov.b r0,@(1,sp)"}));

TEST(ArgumentListTest, PushesFirstArgumentFirst) {
  AccessFixture fixture;
  std::vector<ExprPtr> arguments;
  const auto lines =
      fixture.run(kDeclarations, {"I", "L", "X"}, [&](Compilation& c, ExprPtr& argument) {
        arguments.push_back(std::move(argument));
        if (arguments.size() < 3) {
          return;
        }
        arguments[2]->addressWanted = true;
        arguments[1]->next = std::move(arguments[2]);
        arguments[0]->next = std::move(arguments[1]);
        pushArgumentList(c, arguments[0]);
      });
  EXPECT_EQ(joined(lines),
            "mov.w @(-6,fp),r0 / mov.w r0,@-sp / mov.l @(-12,fp),r0 / mov.l r0,@-sp / "
            "mov.l #X,r0 / mov.l r0,@-sp");
}

struct ValueCase {
  const char* expression;
  const char* lines;
};

void PrintTo(const ValueCase& c, std::ostream* os) { *os << c.expression; }

class StackValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(StackValueTest, LeavesTheValueOnTheStack) {
  AccessFixture fixture;
  const auto lines =
      fixture.run(kDeclarations, {GetParam().expression}, [&](Compilation& c, ExprPtr& tree) {
        fixture.results.push_back(generateValue(c, tree, tree->type));
        EXPECT_EQ(tree->location, LocationKind::RuntimeResult);
      });
  ASSERT_EQ(fixture.results.size(), 1U) << joined(lines);
  EXPECT_EQ(fixture.results[0], "");
  EXPECT_EQ(joined(lines), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Structured, StackValueTest,
    ::testing::Values(
        ValueCase{"V6",
                  "lea @(-296,fp),r0 / mov.w @(4,r0),r1 / mov.w r1,@-sp / mov.l @r0,r1 / "
                  "mov.l r1,@-sp"},
        ValueCase{"V3", "lea @(-300,fp),r0 / mov.l @r0,r1 / mov.l r1,@-sp"},
        ValueCase{"V16",
                  "lea @(-316,fp),r0 / mov.l @(12,r0),r1 / mov.l r1,@-sp / mov.l @(8,r0),r1 / "
                  "mov.l r1,@-sp / mov.l @(4,r0),r1 / mov.l r1,@-sp / mov.l @r0,r1 / "
                  "mov.l r1,@-sp"},
        // Past 16 bytes: a counted loop from the end of the value down.
        ValueCase{"V20",
                  "lea @(-316,fp),r0 / mov.w #10,r2 / $2: dec.l #2,r0 / mov.w @r0,r1 / "
                  "mov.w r1,@-sp / dec.w #1,r2 / bne $2"},
        // More rounds than a word counts.
        ValueCase{"BIG",
                  "mov.l #BIG+140000,r0 / mov.l #70000,r2 / $2: dec.l #2,r0 / mov.w @r0,r1 / "
                  "mov.w r1,@-sp / dec.l #1,r2 / bne $2"}));

INSTANTIATE_TEST_SUITE_P(
    Concatenations, StackValueTest,
    ::testing::Values(
        ValueCase{"T + S",
                  "lea @(-290,fp),r0 / mov.l r0,@-sp / bsr \\lods / lea @(-34,fp),r0 / "
                  "mov.l r0,@-sp / bsr \\adds"},
        ValueCase{"S + 'XY'",
                  "lea @(-34,fp),r0 / mov.l r0,@-sp / bsr \\lods / bsr \\addsi / db   2,'XY '"},
        ValueCase{"C + S",
                  "mov.b @(-13,fp),r0 / mov.w r0,@-sp / bsr \\lodc / lea @(-34,fp),r0 / "
                  "mov.l r0,@-sp / bsr \\adds"},
        // A nested concatenation is built on its own and appended from the stack.
        ValueCase{"S + (T + S)",
                  "lea @(-34,fp),r0 / mov.l r0,@-sp / bsr \\lods / lea @(-290,fp),r0 / "
                  "mov.l r0,@-sp / bsr \\lods / lea @(-34,fp),r0 / mov.l r0,@-sp / "
                  "bsr \\adds / bsr \\addss"}));

}  // namespace
}  // namespace vorax::testing
