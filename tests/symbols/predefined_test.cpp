#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "symbol_test_support.h"
#include "symbols/type_rules.h"

namespace vorax::testing {
namespace {

class PredefinedTest : public ::testing::Test, public SymbolFixture {
 protected:
  PredefinedTest() { c.symbols.enterPredefinedEnvironment(); }
  SymbolEntry* find(const std::string& name, KindMask mask = kinds::kAny) {
    return c.symbols.lookupName(name, mask);
  }
  const PredefinedTypes& t = c.symbols.types();
};

TEST_F(PredefinedTest, TypeIdentifiersDenoteDescriptorsOfTheRightKindAndSize) {
  struct Case {
    const char* name;
    TypeKind kind;
    std::int32_t size;
  };
  for (const Case& example :
       {Case{"BYTE", TypeKind::Byte, 1}, Case{"CHAR", TypeKind::Char, 1},
        Case{"INTEGER", TypeKind::Integer, 2}, Case{"WORD", TypeKind::Word, 2},
        Case{"LONGINT", TypeKind::LongInt, 4}, Case{"REAL", TypeKind::Real, 6},
        Case{"TEXT", TypeKind::Text, 532}, Case{"FILE", TypeKind::Text, 532},
        Case{"CHDEVP", TypeKind::Record, 8}, Case{"BOOLEAN", TypeKind::Boolean, 1},
        Case{"STRING", TypeKind::String, 256}, Case{"REGISTERS", TypeKind::Record, 28},
        Case{"SEARCHREC", TypeKind::Record, 24}, Case{"POINTER", TypeKind::Pointer, 4}}) {
    SymbolEntry* entry = find(example.name, kinds::kType);
    ASSERT_NE(entry, nullptr) << example.name;
    ASSERT_NE(entry->type, nullptr) << example.name;
    EXPECT_EQ(entry->type->kind, example.kind) << example.name;
    EXPECT_EQ(entry->type->size, example.size) << example.name;
    EXPECT_EQ(entry->declarationLine, 0);
  }
  EXPECT_EQ(find("FILE")->type, find("TEXT")->type);
  EXPECT_EQ(t.pointerType->target, nullptr);
  std::int32_t low = -1;
  std::int32_t high = -1;
  OrdinalBounds(t.stringType->index, low, high);
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 255);
  EXPECT_EQ(t.stringType->index->size, 1);
  EXPECT_EQ(t.blockBuffer->size, 512);
  EXPECT_EQ(t.blockBuffer->base, t.byteType);
  EXPECT_EQ(t.widenedInteger->kind, TypeKind::Integer);
  EXPECT_NE(t.widenedInteger, t.integerType);
  EXPECT_EQ(t.addressType->kind, TypeKind::Address);
}

TEST_F(PredefinedTest, RecordFieldsHaveTheirOffsetsSizesAndDeclarationOrder) {
  struct Field {
    const char* name;
    std::int32_t offset;
    std::int32_t size;
  };
  auto fieldsOf = [](const TypeDescriptor* record) {
    std::vector<std::string> result;
    for (const SymbolEntry* field = record->firstField; field != nullptr; field = field->next) {
      result.push_back(field->name + "@" + std::to_string(field->offset) + ":" +
                       std::to_string(field->fieldSize));
    }
    return result;
  };
  EXPECT_EQ(fieldsOf(t.chdevpType), (std::vector<std::string>{"OUTROU@0:4", "INPROU@4:4"}));
  EXPECT_EQ(fieldsOf(t.registersType),
            (std::vector<std::string>{"R5@0:4", "R4@4:4", "R3@8:4", "R2@12:4", "R1@16:4", "R0@20:4",
                                      "EXR@24:2", "CCR@26:1"}));
  EXPECT_EQ(fieldsOf(t.searchRecType), (std::vector<std::string>{"ATTR@0:2", "TIME@2:2", "DATE@4:2",
                                                                 "SIZE@6:4", "NAME@10:13"}));
  // The field trees are searched exhaustively (they are right-linked lists).
  SymbolEntry* ccr =
      SymbolTable::searchWholeTree(t.registersType->fieldTree, IdentKind::Field, "CCR");
  ASSERT_NE(ccr, nullptr);
  EXPECT_EQ(ccr->type, t.byteType);
  SymbolEntry* name =
      SymbolTable::searchWholeTree(t.searchRecType->fieldTree, IdentKind::Field, "NAME");
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(name->type->kind, TypeKind::String);
  EXPECT_EQ(name->type->size, 13);
}

TEST_F(PredefinedTest, ConstantsVariablesAndDevices) {
  SymbolEntry* yes = find("TRUE", kinds::kTypeOrConstant);
  ASSERT_NE(yes, nullptr);
  EXPECT_EQ(yes->value.kind, ConstKind::Boolean);
  EXPECT_EQ(yes->value.smallValue, 1);
  EXPECT_EQ(find("FALSE")->value.smallValue, 0);
  SymbolEntry* pi = find("PI");
  EXPECT_EQ(pi->value.kind, ConstKind::Real);
  EXPECT_EQ(pi->value.realValue, (RealBytes{0x82, 0x21, 0xA2, 0xDA, 0x0F, 0x49}));
  EXPECT_EQ(pi->type, t.realType);

  SymbolEntry* date = find("DATE", kinds::kVariable);
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(date->kind, IdentKind::FixedVariable);
  EXPECT_EQ(date->level, -1);
  EXPECT_EQ(date->type, t.stringType);
  EXPECT_EQ(date->assemblerLabel, "\\date");
  for (const char* name : {"IORESULT", "DOSERROR"}) {
    SymbolEntry* variable = find(name, kinds::kVariable);
    ASSERT_NE(variable, nullptr) << name;
    EXPECT_EQ(variable->type, t.integerType);
    EXPECT_EQ(variable->level, 0);
    EXPECT_EQ(variable->offset, 0);
  }
  int devices = 0;
  for (const char* name :
       {"CON", "CON0", "CON3", "AUX", "AUX0", "AUX7", "LST", "LST3", "KBD", "DBG", "ERRDV"}) {
    SymbolEntry* device = find(name);
    ASSERT_NE(device, nullptr) << name;
    EXPECT_EQ(device->kind, IdentKind::Device);
    EXPECT_EQ(device->type, t.chdevpType);
    ++devices;
  }
  EXPECT_EQ(find("AUX8"), nullptr);
  EXPECT_EQ(find("CON4"), nullptr);
  EXPECT_EQ(find("STACK"), nullptr) << "STACK exists only with a memory directive";
}

// Number, kind, result, parameters ("v" value / "V" VAR, then the type name or "-") and
// the file flag of every standard routine.
struct RoutineCase {
  const char* name;
  int number;
  IdentKind kind;
  const char* result;
  const char* parameters;
  bool acceptsFile;
};

class StandardRoutineTest : public ::testing::TestWithParam<RoutineCase>, public SymbolFixture {
 protected:
  StandardRoutineTest() { c.symbols.enterPredefinedEnvironment(); }

  std::string typeName(const TypeDescriptor* type) const {
    const PredefinedTypes& t = c.symbols.types();
    if (type == nullptr) return "-";
    if (type == t.charType) return "CHAR";
    if (type == t.byteType) return "BYTE";
    if (type == t.integerType) return "INTEGER";
    if (type == t.booleanType) return "BOOLEAN";
    if (type == t.stringType) return "STRING";
    if (type == t.realType) return "REAL";
    if (type == t.longIntType) return "LONGINT";
    if (type == t.pointerType) return "POINTER";
    if (type == t.textType) return "TEXT";
    if (type == t.searchRecType) return "SEARCHREC";
    if (type == t.blockBuffer) return "BUFFER";
    return "?";
  }
};

TEST_P(StandardRoutineTest, EntryCarriesNumberParametersAndFileFlag) {
  const RoutineCase& example = GetParam();
  SymbolEntry* entry = c.symbols.lookupName(example.name, kinds::kRoutine);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->kind, example.kind);
  EXPECT_EQ(entry->standardRoutine, example.number);
  EXPECT_EQ(typeName(entry->type), example.result);
  EXPECT_EQ(entry->acceptsFile, example.acceptsFile);
  EXPECT_EQ(entry->declarationLine, 0);
  EXPECT_EQ(entry->parameterAreaSize, 0);
  EXPECT_EQ(entry->routineState, RoutineState::Ordinary);
  std::string parameters;
  for (const SymbolEntry* formal = entry->parameters; formal != nullptr; formal = formal->next) {
    EXPECT_EQ(formal->kind, IdentKind::Parameter);
    if (!parameters.empty()) parameters += ",";
    parameters += (formal->isVarParameter ? "V" : "v") + typeName(formal->type);
  }
  EXPECT_EQ(parameters, example.parameters);
}

constexpr IdentKind kP = IdentKind::Procedure;
constexpr IdentKind kF = IdentKind::Function;

INSTANTIATE_TEST_SUITE_P(
    AllRoutines, StandardRoutineTest,
    ::testing::Values(
        RoutineCase{"ABS", 1, kF, "-", "v-", false},
        RoutineCase{"CHR", 2, kF, "CHAR", "vBYTE", false},
        RoutineCase{"LENGTH", 3, kF, "BYTE", "vSTRING", false},
        RoutineCase{"ODD", 4, kF, "BOOLEAN", "vINTEGER", false},
        RoutineCase{"UPCASE", 5, kF, "CHAR", "vCHAR", false},
        RoutineCase{"STR", 6, kP, "-", "v-,VSTRING", false},
        RoutineCase{"VAL", 7, kP, "-", "vSTRING,V-,VINTEGER", false},
        RoutineCase{"ORD", 8, kF, "BYTE", "vCHAR", false},
        RoutineCase{"SUCC", 9, kF, "-", "v-", false}, RoutineCase{"PRED", 10, kF, "-", "v-", false},
        RoutineCase{"TRUNC", 11, kF, "INTEGER", "vREAL", false},
        RoutineCase{"NEW", 12, kP, "-", "VPOINTER", false},
        RoutineCase{"DISPOSE", 13, kP, "-", "VPOINTER", false},
        RoutineCase{"DELETE", 14, kP, "-", "VSTRING,vINTEGER,vINTEGER", false},
        RoutineCase{"COPY", 15, kF, "STRING", "vSTRING,vINTEGER,vINTEGER", false},
        RoutineCase{"POS", 16, kF, "INTEGER", "vSTRING,vSTRING", false},
        RoutineCase{"EXIT", 17, kP, "-", "", false},
        RoutineCase{"READKEY", 19, kF, "CHAR", "", true},
        RoutineCase{"READ", 20, kP, "-", "", true}, RoutineCase{"READLN", 21, kP, "-", "", true},
        RoutineCase{"ASSIGN", 22, kP, "-", "VTEXT,vSTRING", false},
        RoutineCase{"RESET", 23, kP, "-", "VTEXT", true},
        RoutineCase{"REWRITE", 24, kP, "-", "VTEXT", true},
        RoutineCase{"CLOSE", 25, kP, "-", "VTEXT", true},
        RoutineCase{"ERASE", 26, kP, "-", "VTEXT", true},
        RoutineCase{"APPEND", 27, kP, "-", "VTEXT", true},
        RoutineCase{"EOF", 28, kF, "BOOLEAN", "VTEXT", true},
        RoutineCase{"WRITE", 29, kP, "-", "", true}, RoutineCase{"WRITELN", 30, kP, "-", "", true},
        RoutineCase{"SIZEOF", 31, kF, "INTEGER", "v-", false},
        RoutineCase{"FINDFIRST", 32, kP, "-", "vSTRING,vINTEGER,VSEARCHREC", false},
        RoutineCase{"FINDNEXT", 33, kP, "-", "VSEARCHREC", false},
        RoutineCase{"MKDIR", 34, kP, "-", "vSTRING", true},
        RoutineCase{"RMDIR", 35, kP, "-", "vSTRING", true},
        RoutineCase{"CHDIR", 36, kP, "-", "vSTRING", true},
        RoutineCase{"MAXAVAIL", 37, kF, "INTEGER", "", false},
        RoutineCase{"MEMAVAIL", 38, kF, "INTEGER", "", false},
        RoutineCase{"SIN", 39, kF, "REAL", "v-", false},
        RoutineCase{"COS", 40, kF, "REAL", "v-", false},
        RoutineCase{"SQRT", 41, kF, "-", "v-", false},
        RoutineCase{"BLOCKREAD", 42, kP, "-", "VTEXT,VBUFFER,VLONGINT", true},
        RoutineCase{"BLOCKWRITE", 43, kP, "-", "VTEXT,VBUFFER,VLONGINT", true},
        RoutineCase{"FILESIZE", 44, kF, "LONGINT", "VTEXT", true},
        RoutineCase{"RENAME", 45, kP, "-", "VTEXT,vSTRING", false},
        RoutineCase{"GETFTIME", 46, kP, "-", "VTEXT,VLONGINT", false},
        RoutineCase{"SETFTIME", 47, kP, "-", "VTEXT,VLONGINT", false}),
    [](const ::testing::TestParamInfo<RoutineCase>& info) { return std::string(info.param.name); });

TEST_F(PredefinedTest, EntriesAreInsertedInTheirOrderOfEntry) {
  // The tree shape shows the order: BYTE first becomes the root, CHAR (entered second)
  // its right child, INTEGER (third) below CHAR.
  SymbolEntry* root = c.symbols.rootSlot(0);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->name, "BYTE");
  ASSERT_NE(root->right, nullptr);
  EXPECT_EQ(root->right->name, "CHAR");
  ASSERT_NE(root->right->right, nullptr);
  EXPECT_EQ(root->right->right->name, "INTEGER");
  // Below BYTE: BOOLEAN (a type identifier), then AUX (a device, entered before the
  // routines ABS and APPEND).
  ASSERT_NE(root->left, nullptr);
  EXPECT_EQ(root->left->name, "BOOLEAN");
  ASSERT_NE(root->left->left, nullptr);
  EXPECT_EQ(root->left->left->name, "AUX");
}

TEST_F(PredefinedTest, ProgramMayHideAPredefinedName) {
  c.symbols.openScope();
  SymbolEntry& own = declare("WRITE", IdentKind::Procedure, 3);
  EXPECT_EQ(c.symbols.lookupName("WRITE", kinds::kRoutine), &own);
  c.symbols.enterStackConstant(0x00FFFF00);
  SymbolEntry* stack = c.symbols.lookupName("STACK", kinds::kTypeOrConstant);
  ASSERT_NE(stack, nullptr);
  EXPECT_EQ(stack->type, t.longIntType);
  EXPECT_EQ(stack->value.intValue, 0x00FFFF00);
  EXPECT_EQ(errorOf([&] { declare("STACK", IdentKind::FrameVariable); }), 43);
  c.symbols.CloseScope();
  // Closing the predefined level at the end checks no standard routine for a body.
  EXPECT_EQ(errorOf([&] { c.symbols.CloseScope(); }), 0);
}

}  // namespace
}  // namespace vorax::testing
