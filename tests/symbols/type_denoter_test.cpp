// The type parser on real source text: a small harness reads TYPE-style declarations
// ("NAME = type;") and constant declarations given directly, then the sizes, offsets and
// errors are checked.
#include "symbols/type_denoter.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "support/source_tree.h"
#include "symbol_test_support.h"
#include "symbols/type_rules.h"

namespace vorax::testing {
namespace {

class TypeDenoterTest : public ::testing::Test, public SymbolFixture {
 protected:
  SourceTree tree;
  std::map<std::string, TypeDescriptor*> types;

  // Compiles "declarations END." at level 1 after the predefined environment; the
  // integer constants in `constants` are declared first. Returns the error number or 0.
  int declare(const std::string& declarations,
              const std::map<std::string, std::int32_t>& constants = {}) {
    const auto path = tree.write("T.PAS", declarations + "\nEND.\n");
    return errorOf([&] {
      c.reader.openCompilationFiles(path.string());
      c.scanner.buildReservedWordTable();
      c.symbols.enterPredefinedEnvironment();
      c.symbols.openScope();
      for (const auto& [name, value] : constants) {
        SymbolEntry& constant = SymbolFixture::declare(name, IdentKind::Constant);
        constant.value = ConstValue::integer(value);
        constant.type =
            value >= 0 && value < 256 ? c.symbols.types().byteType : c.symbols.types().integerType;
      }
      c.nextToken();
      parseTypeSection();
    });
  }

  // NAME = type ; { NAME = type ; } - completing a placeholder of the same name the way
  // a TYPE section does.
  void parseTypeSection() {
    while (c.token() == TokenCode::Identifier) {
      const std::string name = c.scanner.currentIdentifier();
      SymbolEntry* entry =
          c.symbols.searchWholeTree(c.symbols.rootSlot(c.symbols.scopeLevel()), IdentKind::Type);
      if (entry == nullptr) {
        entry = &SymbolFixture::declare(name, IdentKind::Type);
      }
      entry->isPlaceholder = false;
      c.nextToken();
      ASSERT_EQ(c.token(), TokenCode::Equal);
      c.nextToken();
      entry->type = parseTypeDenoter(c);
      types[name] = entry->type;
      ASSERT_EQ(c.token(), TokenCode::Semicolon) << name;
      c.nextToken();
    }
    ASSERT_EQ(c.token(), TokenCode::End);
  }

  std::int32_t sizeOf(const std::string& name) { return types.at(name)->size; }

  SymbolEntry* field(const std::string& record, const std::string& name) {
    return SymbolTable::searchWholeTree(types.at(record)->fieldTree, IdentKind::Field, name);
  }
};

TEST_F(TypeDenoterTest, SizesOfStringsArraysAndEnumerations) {
  ASSERT_EQ(declare("S10 = STRING[10];\n"
                    "AB = ARRAY[1..3] OF BYTE;\n"
                    "AL = ARRAY[1..3] OF BOOLEAN;\n"
                    "AS = ARRAY[1..3] OF 0..9;\n"
                    "AI = ARRAY[1..3, 0..1] OF INTEGER;\n"
                    "AM = ARRAY[1..3, 1..3] OF BYTE;\n"
                    "AN = ARRAY[1..2] OF ARRAY[0..2] OF CHAR;\n"
                    "AC = ARRAY[1..2, 0..2] OF CHAR;\n"
                    "AR = ARRAY[1..3] OF REAL;\n"
                    "COLOUR = (RED, GREEN, BLUE);\n"
                    "AE = ARRAY[COLOUR] OF INTEGER;\n"
                    "SUB = 2..5;\n"
                    "AT = ARRAY[SUB] OF STRING[4];\n"
                    "P = ^INTEGER;\n"
                    "F = FILE OF INTEGER;\n"),
            0);
  const std::vector<std::pair<std::string, std::int32_t>> expected = {
      {"S10", 11}, {"AB", 3},  {"AL", 3}, {"AS", 6},  {"AI", 12},
      {"AM", 9},   {"AN", 8},  {"AC", 6}, {"AR", 18}, {"AE", 6},
      {"SUB", 2},  {"AT", 20}, {"P", 4},  {"F", 532}, {"COLOUR", 1}};
  for (const auto& [name, size] : expected) {
    EXPECT_EQ(sizeOf(name), size) << name;
  }
  // A declared array element is rounded up to even (AN); the inner array of a two-index
  // array is not (AC). The inner array of a two-index array is the element of the outer one.
  const TypeDescriptor* twoIndexes = types.at("AI");
  ASSERT_EQ(twoIndexes->base->kind, TypeKind::Array);
  EXPECT_EQ(twoIndexes->base->size, 4);
  EXPECT_EQ(twoIndexes->base->base, c.symbols.types().integerType);
  std::int32_t low = 0;
  std::int32_t high = 0;
  OrdinalBounds(types.at("COLOUR"), low, high);
  EXPECT_EQ(high, 2);
  EXPECT_EQ(types.at("S10")->index->size, 1);
}

TEST_F(TypeDenoterTest, RecordOffsetsAlignAllButBytesAndStrings) {
  ASSERT_EQ(declare("CI = RECORD C: CHAR; I: INTEGER END;\n"
                    "CS = RECORD C: CHAR; S: STRING[3] END;\n"
                    "G = RECORD A, B: BYTE; L: LONGINT; Z: CHAR; END;\n"),
            0);
  EXPECT_EQ(sizeOf("CI"), 4);
  EXPECT_EQ(field("CI", "I")->offset, 2);
  EXPECT_EQ(sizeOf("CS"), 6);
  EXPECT_EQ(field("CS", "S")->offset, 1);
  EXPECT_EQ(field("G", "B")->offset, 1);
  EXPECT_EQ(field("G", "L")->offset, 2);
  EXPECT_EQ(field("G", "Z")->offset, 6);
  EXPECT_EQ(field("G", "Z")->fieldSize, 1);
  EXPECT_EQ(sizeOf("G"), 8);
  std::vector<std::string> order;
  for (const SymbolEntry* f = types.at("G")->firstField; f != nullptr; f = f->next) {
    order.push_back(f->name);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"A", "B", "L", "Z"}));
}

TEST_F(TypeDenoterTest, VariantsOverlayAfterTheFixedPartAndTheTag) {
  ASSERT_EQ(declare("V = RECORD\n"
                    "  C: CHAR;\n"
                    "  CASE K: BYTE OF\n"
                    "    0: (I: INTEGER);\n"
                    "    1, 2: (R: REAL; B: BYTE);\n"
                    "    3: ()\n"
                    "END;\n"
                    "W = RECORD CASE BOOLEAN OF TRUE: (X: LONGINT); FALSE: (Y: CHAR) END;\n"),
            0);
  // C at 0 and the tag K at 1 make a fixed part of 2; the variants start there.
  EXPECT_EQ(field("V", "K")->offset, 1);
  EXPECT_EQ(field("V", "I")->offset, 2);
  EXPECT_EQ(field("V", "R")->offset, 2);
  EXPECT_EQ(field("V", "B")->offset, 8);
  EXPECT_EQ(sizeOf("V"), 2 + 8);
  int variants = 0;
  for (const TypeDescriptor* v = types.at("V")->firstVariant; v != nullptr; v = v->nextVariant) {
    EXPECT_EQ(v->kind, TypeKind::Variant);
    ++variants;
  }
  EXPECT_EQ(variants, 3);
  EXPECT_EQ(field("W", "X")->offset, 0);
  EXPECT_EQ(field("W", "Y")->offset, 0);
  EXPECT_EQ(sizeOf("W"), 4);
}

// A variant part inside a variant starts after everything laid out before it: the
// enclosing fixed part, the variant's own fields and its tag. The record's size is the
// end of its longest variant, rounded up to even.
TEST_F(TypeDenoterTest, NestedVariantsStartAfterTheFieldsBeforeThem) {
  ASSERT_EQ(declare("K = (KA, KB);\n"
                    "R = RECORD C: CHAR; CASE T: K OF\n"
                    "  KA: (X: LONGINT);\n"
                    "  KB: (S: STRING[4]; CASE B: BOOLEAN OF TRUE: (Q: INTEGER)) END;\n"
                    "D = RECORD L: LONGINT; CASE BYTE OF\n"
                    "  0: (A: CHAR; CASE BYTE OF 0: (E: CHAR; CASE BYTE OF 0: (F: INTEGER)));\n"
                    "  1: (G: INTEGER) END;\n"
                    "N = RECORD CASE BOOLEAN OF TRUE: (CASE BOOLEAN OF TRUE: (Z: BYTE)) END;\n"),
            0);
  EXPECT_EQ(field("R", "T")->offset, 1);
  EXPECT_EQ(field("R", "X")->offset, 2);
  EXPECT_EQ(field("R", "S")->offset, 2);
  EXPECT_EQ(field("R", "B")->offset, 7);
  EXPECT_EQ(field("R", "Q")->offset, 8);
  EXPECT_EQ(sizeOf("R"), 10);
  // Three levels: A at 4, its variants from 6 (E), theirs from 8 (F, ending at 10).
  EXPECT_EQ(field("D", "A")->offset, 4);
  EXPECT_EQ(field("D", "E")->offset, 6);
  EXPECT_EQ(field("D", "F")->offset, 8);
  EXPECT_EQ(field("D", "G")->offset, 4);
  EXPECT_EQ(sizeOf("D"), 10);
  EXPECT_EQ(field("N", "Z")->offset, 0);
  EXPECT_EQ(sizeOf("N"), 2);
}

TEST_F(TypeDenoterTest, NegativeIndexBoundLeavesTheConstantUnchanged) {
  ASSERT_EQ(declare("A = ARRAY[-N..N] OF BYTE;\nB = ARRAY[-2..+2] OF INTEGER;\n", {{"N", 5}}), 0);
  EXPECT_EQ(sizeOf("A"), 11);
  EXPECT_EQ(c.symbols.lookupName("N", kinds::kTypeOrConstant)->value.intValue, 5);
  EXPECT_EQ(sizeOf("B"), 10);
  std::int32_t low = 0;
  std::int32_t high = 0;
  OrdinalBounds(types.at("A")->index, low, high);
  EXPECT_EQ(low, -5);
  EXPECT_EQ(high, 5);
}

TEST_F(TypeDenoterTest, PointerPlaceholderIsCompletedAndPointersCompareEqual) {
  ASSERT_EQ(declare("P = ^NODE;\n"
                    "NODE = RECORD VALUE: INTEGER; LINK: P END;\n"
                    "Q = ^NODE;\n"
                    "OTHER = RECORD VALUE: INTEGER; LINK: P END;\n"
                    "R = ^OTHER;\n"),
            0);
  EXPECT_EQ(types.at("P")->target, types.at("Q")->target);
  EXPECT_TRUE(IsAssignable(types.at("P"), types.at("Q")));
  EXPECT_TRUE(IsAssignable(types.at("Q"), types.at("P")));
  EXPECT_FALSE(IsAssignable(types.at("P"), types.at("R")));
  EXPECT_EQ(types.at("P")->target->type, types.at("NODE"));
  EXPECT_FALSE(types.at("P")->target->isPlaceholder);
}

TEST_F(TypeDenoterTest, FileOfCharIsText) {
  ASSERT_EQ(declare("T = FILE OF CHAR;\nB = FILE;\nR = FILE OF RECORD A: BYTE END;\n"), 0);
  EXPECT_EQ(types.at("T"), c.symbols.types().textType);
  EXPECT_EQ(types.at("B")->kind, TypeKind::TypedFile);
  EXPECT_EQ(types.at("B")->base, c.symbols.types().byteType);
  EXPECT_EQ(types.at("R")->kind, TypeKind::TypedFile);
  EXPECT_EQ(types.at("R")->base->kind, TypeKind::Record);
}

std::string enumerationOf(int count) {
  std::string text = "E = (";
  for (int i = 0; i < count; ++i) {
    text += (i == 0 ? "V" : ",\nV") + std::to_string(i);
  }
  return text + ");\n";
}

TEST_F(TypeDenoterTest, EnumerationTakesAtMost256Values) {
  ASSERT_EQ(declare(enumerationOf(256)), 0);
  std::int32_t low = -1;
  std::int32_t high = -1;
  OrdinalBounds(types.at("E"), low, high);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 255);
  SymbolEntry* last = c.symbols.lookupName("V255", kinds::kTypeOrConstant);
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->type, types.at("E"));
  EXPECT_EQ(types.at("E")->lastValue, last);
}

TEST_F(TypeDenoterTest, EnumerationOf257ValuesIsErrorFortyFive) {
  EXPECT_EQ(declare(enumerationOf(257)), 45);
}

struct ErrorCase {
  const char* source;
  int error;
  const char* caretBefore;  // the text the caret stands under (start of the token)
};

class TypeDenoterErrorTest : public TypeDenoterTest,
                             public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(TypeDenoterErrorTest, ReportsTheErrorAtTheOffendingToken) {
  const ErrorCase& example = GetParam();
  EXPECT_EQ(declare(example.source, {{"N", 5}}), example.error) << example.source;
  ASSERT_FALSE(host.errors.empty());
  const SourceErrorReport& report = host.errors.back();
  const std::string line = report.lineAsWritten;
  ASSERT_GE(report.column, 1);
  EXPECT_EQ(line.substr(static_cast<std::size_t>(report.column - 1)).rfind(example.caretBefore, 0),
            0U)
      << line << " column " << report.column;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, TypeDenoterErrorTest,
    ::testing::Values(
        ErrorCase{"S = STRING[256];", 45, "]"}, ErrorCase{"S = STRING[255;", 9, ";"},
        ErrorCase{"S = STRING 5;", 8, "5"}, ErrorCase{"S = STRING[TRUE];", 44, "]"},
        ErrorCase{"U = UNKNOWN;", 41, "UNKNOWN"}, ErrorCase{"U = 5 .. 1;", 52, ";"},
        ErrorCase{"U = 1 5;", 11, "5"}, ErrorCase{"U = N..TRUE;", 44, ";"},
        ErrorCase{"U = -1..1;", 30, "-"}, ErrorCase{"A = ARRAY 1..2] OF BYTE;", 8, "1"},
        ErrorCase{"A = ARRAY[1..2 OF BYTE;", 9, "OF"},
        ErrorCase{"A = ARRAY[1..2] BYTE;", 15, "BYTE"},
        ErrorCase{"A = ARRAY[INTEGER] OF BYTE;", 30, "INTEGER"},
        ErrorCase{"A = ARRAY[-BOOLEAN] OF BYTE;", 30, "BOOLEAN"}, ErrorCase{"E = (A, B;", 5, ";"},
        ErrorCase{"E = (A, A);", 43, "A)"}, ErrorCase{"R = RECORD END;", 41, "END"},
        ErrorCase{"R = RECORD A: BYTE; A: CHAR END;", 43, "A: CHAR"},
        ErrorCase{"R = RECORD A BYTE END;", 2, "BYTE"},
        ErrorCase{"R = RECORD A: BYTE B: BYTE END;", 14, "B:"},
        ErrorCase{"R = RECORD A: BYTE; 5 END;", 14, "5"},
        ErrorCase{"R = RECORD CASE NOTYPE OF 1: () END;", 41, "OF"},
        ErrorCase{"R = RECORD CASE K: BYTE 1: () END;", 14, "1"},
        ErrorCase{"R = RECORD CASE BYTE OF 1 (A: BYTE) END;", 2, "(A"},
        ErrorCase{"R = RECORD CASE BYTE OF 1: A: BYTE END;", 4, "A:"},
        ErrorCase{"R = RECORD CASE BYTE OF 1: (A: BYTE; END;", 5, "END;"},
        ErrorCase{"F = FILE OF TEXT;", 30, "TEXT"}, ErrorCase{"F = FILE INTEGER;", 15, "INTEGER"},
        ErrorCase{"F = FILE OF 5;", 30, "5"}, ErrorCase{"P = ^5;", 41, "5"},
        ErrorCase{"X = BEGIN;", 30, "BEGIN"}));

}  // namespace
}  // namespace vorax::testing
