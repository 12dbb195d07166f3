#include "symbols/type_rules.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "symbol_test_support.h"
#include "symbols/type_layout.h"

namespace vorax::testing {
namespace {

TEST(RoundEvenTest, RoundsAwayFromZeroToEven) {
  struct Case {
    std::int32_t in;
    std::int32_t out;
  };
  for (const Case& example :
       {Case{0, 0}, Case{1, 2}, Case{2, 2}, Case{255, 256}, Case{-1, -2}, Case{-3, -4},
        Case{-4, -4}, Case{-79, -80}, Case{2147483646, 2147483646}}) {
    EXPECT_EQ(RoundEven(example.in), example.out) << example.in;
  }
}

class TypeRulesTest : public ::testing::Test, public SymbolFixture {
 protected:
  TypeRulesTest() { c.symbols.enterPredefinedEnvironment(); }
  const PredefinedTypes& t = c.symbols.types();
};

// The class table, row by row: the target classes BOOLEAN CHAR INTEGER BYTE STRING REAL
// LONGINT/address POINTER against the sources of the same classes.
TEST_F(TypeRulesTest, ClassTableDecidesScalarAssignments) {
  TypeDescriptor& subrange = c.symbols.newType(TypeKind::Subrange, 2);
  subrange.base = t.integerType;
  // One representative per class; for targets LONGINT (whose own rule differs) the
  // internal address type stands in.
  const std::array<TypeDescriptor*, 8> sources = {t.booleanType, t.charType,   t.integerType,
                                                  t.byteType,    t.stringType, t.realType,
                                                  t.longIntType, t.pointerType};
  struct Row {
    TypeDescriptor* target;
    const char* accepts;  // one digit per source class
  };
  const Row rows[] = {
      {t.booleanType, "10000000"}, {t.charType, "01000000"}, {t.integerType, "00110010"},
      {t.wordType, "00110010"},    {&subrange, "00110010"},  {t.byteType, "00110010"},
      {t.stringType, "01001000"},  {t.realType, "00110110"}, {t.addressType, "00110010"},
      {t.pointerType, "00000001"},
  };
  for (const Row& row : rows) {
    for (std::size_t column = 0; column < sources.size(); ++column) {
      EXPECT_EQ(IsAssignable(row.target, sources[column]), row.accepts[column] == '1')
          << "target kind " << static_cast<int>(row.target->kind) << ", source column " << column;
    }
  }
}

TEST_F(TypeRulesTest, LongIntAcceptsWordsAndPointersButNotReals) {
  EXPECT_TRUE(IsAssignable(t.longIntType, t.wordType));
  EXPECT_TRUE(IsAssignable(t.longIntType, t.pointerType));
  EXPECT_TRUE(IsAssignable(t.longIntType, t.byteType));
  EXPECT_FALSE(IsAssignable(t.longIntType, t.realType));
  EXPECT_FALSE(IsAssignable(t.longIntType, t.addressType));
  EXPECT_TRUE(IsAssignable(t.integerType, t.longIntType));
  EXPECT_FALSE(IsAssignable(t.charType, t.stringType));
  EXPECT_TRUE(IsAssignable(nullptr, t.realType));
}

TEST_F(TypeRulesTest, EnumerationsAndStructuresMatchOnlyThemselves) {
  TypeDescriptor& colours = c.symbols.newType(TypeKind::Enumeration, 1);
  TypeDescriptor& sizes = c.symbols.newType(TypeKind::Enumeration, 1);
  EXPECT_TRUE(IsAssignable(&colours, &colours));
  EXPECT_FALSE(IsAssignable(&colours, &sizes));
  EXPECT_FALSE(IsAssignable(t.integerType, &colours));

  TypeDescriptor& first = c.symbols.newType(TypeKind::Record, 4);
  TypeDescriptor& second = c.symbols.newType(TypeKind::Record, 4);
  first.firstField = second.firstField = nullptr;
  EXPECT_TRUE(IsAssignable(&first, &first));
  EXPECT_FALSE(IsAssignable(&first, &second)) << "identical fields do not make records equal";
}

TEST_F(TypeRulesTest, ArraysCompareByElementDescriptorOnly) {
  TypeDescriptor& small = c.symbols.newType(TypeKind::Array, 3);
  small.base = t.byteType;
  TypeDescriptor& large = c.symbols.newType(TypeKind::Array, 9);
  large.base = t.byteType;
  TypeDescriptor& chars = c.symbols.newType(TypeKind::Array, 3);
  chars.base = t.charType;
  EXPECT_TRUE(IsAssignable(&small, &large));
  EXPECT_FALSE(IsAssignable(&small, &chars));
  EXPECT_FALSE(IsAssignable(&small, t.stringType));
}

TEST_F(TypeRulesTest, PointersNeedTheSameTargetTypeUnlessOneIsUntyped) {
  c.symbols.openScope();
  SymbolEntry& node = c.symbols.newEntry();
  node.name = "NODE";
  node.type = t.integerType;
  SymbolEntry& other = c.symbols.newEntry();
  other.name = "OTHER";
  other.type = t.charType;
  SymbolEntry& alias = c.symbols.newEntry();  // TYPE ALIAS = INTEGER: same descriptor
  alias.name = "ALIAS";
  alias.type = t.integerType;
  auto pointerTo = [&](SymbolEntry* target) {
    TypeDescriptor& pointer = c.symbols.newType(TypeKind::Pointer, 4);
    pointer.target = target;
    return &pointer;
  };
  TypeDescriptor* toNode = pointerTo(&node);
  EXPECT_TRUE(IsAssignable(toNode, pointerTo(&node)));
  EXPECT_TRUE(IsAssignable(toNode, pointerTo(&alias)));
  EXPECT_FALSE(IsAssignable(toNode, pointerTo(&other)));
  EXPECT_TRUE(IsAssignable(toNode, t.pointerType));
  EXPECT_TRUE(IsAssignable(t.pointerType, toNode));
  EXPECT_FALSE(IsAssignable(toNode, t.longIntType));
}

TEST_F(TypeRulesTest, ConstantFitsSubrangeOnlyWithinItsBounds) {
  TypeDescriptor& digits = c.symbols.newType(TypeKind::Subrange, 2);
  digits.base = t.byteType;
  digits.low = ConstValue::integer(0);
  digits.high = ConstValue::integer(9);
  EXPECT_TRUE(constantFitsType(c.diagnostics, &digits, t.byteType, ConstValue::integer(9)));
  EXPECT_EQ(errorOf([&] {
              (void)constantFitsType(c.diagnostics, &digits, t.integerType,
                                     ConstValue::integer(10));
            }),
            45);
  EXPECT_EQ(errorOf([&] {
              (void)constantFitsType(c.diagnostics, &digits, t.integerType,
                                     ConstValue::integer(-1));
            }),
            45);
  TypeDescriptor& colours = c.symbols.newType(TypeKind::Enumeration, 1);
  EXPECT_TRUE(constantFitsType(c.diagnostics, t.charType, &colours, ConstValue::integer(1)));
  EXPECT_TRUE(constantFitsType(c.diagnostics, nullptr, t.realType, ConstValue{}));
  EXPECT_FALSE(constantFitsType(c.diagnostics, t.charType, t.byteType, ConstValue::integer(1)));
}

// Field layout: one-byte fields and strings are packed, everything else starts even.
TEST_F(TypeRulesTest, RecordLayoutPacksBytesAndStringsAndAlignsTheRest) {
  TypeDescriptor& string3 = c.symbols.newType(TypeKind::String, 4);
  struct Case {
    std::vector<TypeDescriptor*> fields;
    std::vector<std::int32_t> offsets;
    std::int32_t size;
  };
  const Case cases[] = {
      {{t.charType, t.integerType}, {0, 2}, 4},
      {{t.charType, &string3}, {0, 1}, 6},
      {{t.charType, t.charType, t.charType}, {0, 1, 2}, 4},
      {{t.integerType, t.realType, t.byteType}, {0, 2, 8}, 10},
      {{t.byteType, t.longIntType, t.booleanType, t.charType}, {0, 2, 6, 7}, 8},
      {{}, {}, 0},
  };
  for (const Case& example : cases) {
    RecordLayout layout(c.diagnostics, 0);
    std::vector<std::int32_t> offsets;
    for (TypeDescriptor* field : example.fields) {
      offsets.push_back(layout.placeField(*field));
    }
    EXPECT_EQ(offsets, example.offsets);
    EXPECT_EQ(layout.recordSize(), example.size);
  }
}

TEST_F(TypeRulesTest, VariantsStartAfterTheFixedPartAndTheLargestCounts) {
  RecordLayout record(c.diagnostics, 0);
  (void)record.placeField(*t.charType);
  const std::int32_t fixed = record.fixedPartSize();
  EXPECT_EQ(fixed, 2);
  RecordLayout variant(c.diagnostics, fixed);
  EXPECT_EQ(variant.placeField(*t.byteType), 2);
  EXPECT_EQ(variant.placeField(*t.integerType), 4);
  record.addVariant(variant.recordSize());  // 4
  record.addVariant(3);
  EXPECT_EQ(record.recordSize(), 6);
}

TEST_F(TypeRulesTest, ArraySizesMultiplyTheIndexCount) {
  auto subrange = [&](std::int32_t low, std::int32_t high) {
    TypeDescriptor& index = c.symbols.newType(TypeKind::Subrange, 2);
    index.base = t.integerType;
    index.low = ConstValue::integer(low);
    index.high = ConstValue::integer(high);
    return &index;
  };
  EXPECT_EQ(arraySize(c.diagnostics, *subrange(1, 3), arrayElementSize(*t.byteType)), 3);
  EXPECT_EQ(arraySize(c.diagnostics, *subrange(1, 3), arrayElementSize(*t.booleanType)), 3);
  EXPECT_EQ(arraySize(c.diagnostics, *subrange(1, 3), arrayElementSize(*subrange(0, 9))), 6);
  EXPECT_EQ(arraySize(c.diagnostics, *subrange(-5, 5), 1), 11);
  EXPECT_EQ(arrayElementSize(*t.realType), 6);
  TypeDescriptor& odd = c.symbols.newType(TypeKind::Record, 3);  // never made by records
  EXPECT_EQ(arrayElementSize(odd), 4);
  TypeDescriptor& string4 = c.symbols.newType(TypeKind::String, 5);
  EXPECT_EQ(arrayElementSize(string4), 5);
  // Sizes past the 32-bit range are refused, not wrapped.
  EXPECT_EQ(errorOf([&] { (void)arraySize(c.diagnostics, *subrange(0, 2147483647), 2); }), 45);
  EXPECT_EQ(
      errorOf([&] { (void)arraySize(c.diagnostics, *subrange(-2147483647 - 1, 2147483647), 1); }),
      45);
}

}  // namespace
}  // namespace vorax::testing
