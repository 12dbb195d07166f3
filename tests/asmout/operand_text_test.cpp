#include "asmout/operand_text.h"

#include <gtest/gtest.h>

#include "support/emit_fixture.h"

namespace vorax {
namespace {

TEST(OperandTextTest, SizeSuffixByOperandSize) {
  EXPECT_EQ(sizeSuffix(1), ".b");
  EXPECT_EQ(sizeSuffix(2), ".w");
  EXPECT_EQ(sizeSuffix(4), ".l");
  EXPECT_EQ(sizeSuffix(6), ".l");
  EXPECT_EQ(sizeSuffix(0), ".l");
}

TEST(OperandTextTest, OperandKindOfEveryForm) {
  const struct {
    const char* text;
    OperandKind kind;
  } cases[] = {
      {"counter", OperandKind::Plain},
      {"\\ram+16", OperandKind::Plain},
      {"sp", OperandKind::Plain},
      {"r7", OperandKind::Plain},
      {"", OperandKind::Plain},
      {"#5", OperandKind::Immediate},
      {"#-1", OperandKind::Immediate},
      {"#\\stack", OperandKind::Immediate},
      {"r0", OperandKind::Register},
      {"r6", OperandKind::Register},
      {"fp", OperandKind::Register},
      {"@r3", OperandKind::RegisterIndirect},
      {"@sp", OperandKind::RegisterIndirect},
      {"@(2,fp)", OperandKind::FrameSlot},
      {"@(-12,fp)", OperandKind::FrameSlot},
      {"@(2,r1)", OperandKind::Indexed},
      {"@(256,sp)", OperandKind::Indexed},
      {"@r2+", OperandKind::PostIncrement},
      {"@sp+", OperandKind::PostIncrement},
      {"@-sp", OperandKind::PreDecrementOrAbsolute},
      {"@h'0000a000", OperandKind::PreDecrementOrAbsolute},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(operandKind(c.text), c.kind) << c.text;
  }
  EXPECT_EQ(static_cast<int>(OperandKind::PostIncrement), 6);
  EXPECT_EQ(static_cast<int>(OperandKind::FrameSlot), 4);
}

TEST(OperandTextTest, WorkRegistersAreR0ToR5) {
  for (const char* text : {"r0", "r3", "r5"}) {
    EXPECT_TRUE(isWorkRegister(text)) << text;
  }
  for (const char* text : {"r6", "fp", "sp", "r", "r10", "@r1", "rx"}) {
    EXPECT_FALSE(isWorkRegister(text)) << text;
  }
  EXPECT_EQ(registerNumber("r4"), 4);
  EXPECT_EQ(registerNumber("rx"), -1);
  EXPECT_EQ(registerNumber("fp"), -1);
  EXPECT_EQ(registerName(3), "r3");
}

TEST(OperandTextTest, HexImmediatesHaveFixedWidthAndLowerCaseDigits) {
  EXPECT_EQ(hexImmediate16(255), "h'00ff");
  EXPECT_EQ(hexImmediate16(0x1ABCD), "h'abcd");
  EXPECT_EQ(hexImmediate16(-1), "h'ffff");
  EXPECT_EQ(hexImmediate32(40960), "h'0000a000");
  EXPECT_EQ(hexImmediate32(-2), "h'fffffffe");
  EXPECT_EQ(hexImmediate32(0x1'2345'6789LL), "h'23456789");
}

TEST(OperandTextTest, RoundToEvenGoesAwayFromZero) {
  const std::pair<std::int64_t, std::int64_t> cases[] = {{0, 0},   {1, 2},   {2, 2},   {3, 4},
                                                         {-1, -2}, {-3, -4}, {-4, -4}, {255, 256}};
  for (const auto& [n, expected] : cases) {
    EXPECT_EQ(roundToEven(n), expected) << n;
  }
}

TEST(OperandTextTest, AddressSizeFollowsTheProcessor) {
  testing::EmitFixture fixture;
  Compilation& c = fixture.compilation();
  EXPECT_EQ(addressSize(c), 4);
  EXPECT_EQ(pointerMoveMnemonic(c), "mov.l");
  c.directives.settings().cpu300H = false;
  c.directives.settings().cpu300L = true;
  EXPECT_EQ(addressSize(c), 2);
  EXPECT_EQ(pointerMoveMnemonic(c), "mov.w");
  c.directives.settings().cpu300L = false;
  c.directives.settings().cpu2000 = true;
  EXPECT_EQ(addressSize(c), 4);
}

TEST(OperandTextTest, DecimalImmediates) {
  std::int64_t value = 0;
  EXPECT_TRUE(parseDecimalImmediate("#-12", value));
  EXPECT_EQ(value, -12);
  EXPECT_TRUE(parseDecimalImmediate("#40", value));
  EXPECT_EQ(value, 40);
  for (const char* text : {"#", "#-", "12", "#h'00ff", "#\\stack", "#1a"}) {
    EXPECT_FALSE(parseDecimalImmediate(text, value)) << text;
  }
}

}  // namespace
}  // namespace vorax
