#include "symbols/symbol_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "symbol_test_support.h"

namespace vorax::testing {
namespace {

class SymbolTableTest : public ::testing::Test, public SymbolFixture {
 protected:
  SymbolTable& symbols = c.symbols;
};

TEST_F(SymbolTableTest, InnerDeclarationHidesOuterUntilItsLevelCloses) {
  symbols.openScope();
  SymbolEntry& outer = declare("A", IdentKind::FrameVariable);
  symbols.openScope();
  SymbolEntry& inner = declare("A", IdentKind::FrameVariable);
  EXPECT_EQ(symbols.lookupName("A", kinds::kVariable), &inner);
  EXPECT_TRUE(inner.used);
  EXPECT_FALSE(outer.used);
  symbols.CloseScope();
  EXPECT_EQ(symbols.lookupName("A", kinds::kVariable), &outer);
  EXPECT_EQ(symbols.scopeLevel(), 1);
}

TEST_F(SymbolTableTest, InnerNameOfOtherKindHidesOuterCompletely) {
  symbols.openScope();
  declare("X", IdentKind::Type);
  symbols.openScope();
  declare("X", IdentKind::Constant);
  EXPECT_EQ(symbols.lookupName("X", kinds::kType), nullptr);
  EXPECT_NE(symbols.lookupName("X", kinds::kTypeOrConstant), nullptr);
}

TEST_F(SymbolTableTest, WithFieldWinsButWrongKindFallsBackToBlockLevels) {
  symbols.openScope();
  SymbolEntry& local = declare("COUNT", IdentKind::FrameVariable);
  SymbolEntry*& withRoot = symbols.openWithScope();
  SymbolEntry& field = symbols.newWithEntry();
  field.name = "COUNT";
  field.kind = IdentKind::Field;
  symbols.EnterIdentifier(withRoot, field);

  EXPECT_EQ(symbols.lookupName("COUNT", kinds::kStorage), &field);
  EXPECT_FALSE(field.used) << "WITH hits leave the used flag alone";
  EXPECT_FALSE(local.used);
  // Variables only: the field does not qualify and must not hide the local.
  EXPECT_EQ(symbols.lookupName("COUNT", kinds::kVariable), &local);
  EXPECT_TRUE(local.used);

  symbols.closeWithScope();
  EXPECT_EQ(symbols.lookupName("COUNT", kinds::kStorage), &local);
}

TEST_F(SymbolTableTest, NewerWithScopeIsSearchedFirstAndMissesPassOn) {
  symbols.openScope();
  SymbolEntry*& older = symbols.openWithScope();
  SymbolEntry& olderX = symbols.newWithEntry();
  olderX.name = "X";
  olderX.kind = IdentKind::Field;
  symbols.EnterIdentifier(older, olderX);
  SymbolEntry& olderY = symbols.newWithEntry();
  olderY.name = "Y";
  olderY.kind = IdentKind::Field;
  symbols.EnterIdentifier(older, olderY);
  SymbolEntry*& newer = symbols.openWithScope();
  SymbolEntry& newerX = symbols.newWithEntry();
  newerX.name = "X";
  newerX.kind = IdentKind::Field;
  symbols.EnterIdentifier(newer, newerX);

  EXPECT_EQ(symbols.lookupName("X", kinds::kStorage), &newerX);
  EXPECT_EQ(symbols.lookupName("Y", kinds::kStorage), &olderY);
}

TEST_F(SymbolTableTest, NamesAreCutToTwentyEightCharacters) {
  symbols.openScope();
  const std::string longName(30, 'Q');
  SymbolEntry& entry = declare(std::string(28, 'Q'), IdentKind::Constant);
  EXPECT_EQ(symbols.lookupName(longName, kinds::kTypeOrConstant), &entry);
}

TEST_F(SymbolTableTest, TreeOrderPutsPrefixFirstAndComparesBytesUnsigned) {
  SymbolEntry* root = nullptr;
  std::vector<std::string> names = {"M", "MA", "A", "\x81\x40", "Z", "MB"};
  for (const std::string& name : names) {
    SymbolEntry& entry = symbols.newEntry();
    entry.name = name;
    symbols.EnterIdentifier(root, entry);
  }
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->name, "M");
  ASSERT_NE(root->right, nullptr);
  EXPECT_EQ(root->right->name, "MA");  // "M" is a prefix of "MA": the shorter sorts first
  ASSERT_NE(root->left, nullptr);
  EXPECT_EQ(root->left->name, "A");
  // A Shift-JIS lead byte (0x81) is above every ASCII letter.
  ASSERT_NE(root->right->right, nullptr);
  EXPECT_EQ(root->right->right->name, "\x81\x40");
  EXPECT_EQ(SymbolTable::searchWholeTree(root, IdentKind::Type, "MB"),
            root->right->right->left->left);
}

TEST_F(SymbolTableTest, ExhaustiveSearchMatchesKindAndFollowsRightChains) {
  // A right-linked chain like the predefined records' field lists: out of name order.
  std::vector<SymbolEntry*> chain;
  for (const char* name : {"R5", "R4", "EXR", "CCR"}) {
    SymbolEntry& entry = symbols.newEntry();
    entry.name = name;
    entry.kind = IdentKind::Field;
    if (!chain.empty()) {
      chain.back()->right = &entry;
    }
    chain.push_back(&entry);
  }
  EXPECT_EQ(SymbolTable::searchWholeTree(chain.front(), IdentKind::Field, "CCR"), chain[3]);
  EXPECT_EQ(SymbolTable::searchWholeTree(chain.front(), IdentKind::Field, "R4"), chain[1]);
  EXPECT_EQ(SymbolTable::searchWholeTree(chain.front(), IdentKind::Type, "R4"), nullptr);
  EXPECT_EQ(SymbolTable::searchWholeTree(chain.front(), IdentKind::Field, "R0"), nullptr);
}

TEST_F(SymbolTableTest, DuplicateAtOneLevelIsErrorFortyThreeButTwoLevelsAreFine) {
  symbols.openScope();
  declare("FOO", IdentKind::FrameVariable);
  symbols.openScope();
  EXPECT_EQ(errorOf([&] { declare("FOO", IdentKind::FrameVariable); }), 0);
  EXPECT_EQ(errorOf([&] { declare("FOO", IdentKind::Constant); }), 43);
}

TEST_F(SymbolTableTest, ThirtyOneLevelsOpenAndTheThirtySecondIsErrorNinetyEight) {
  for (int level = 1; level <= 31; ++level) {
    ASSERT_EQ(errorOf([&] { symbols.openScope(); }), 0) << "level " << level;
  }
  EXPECT_EQ(symbols.scopeLevel(), 31);
  EXPECT_EQ(errorOf([&] { symbols.openScope(); }), 98);
  EXPECT_EQ(symbols.scopeLevel(), 31);
}

TEST_F(SymbolTableTest, SixteenWithScopesOpenAndTheSeventeenthIsErrorNinetyEight) {
  for (int with = 1; with <= 16; ++with) {
    ASSERT_EQ(errorOf([&] { (void)symbols.openWithScope(); }), 0) << "WITH " << with;
  }
  EXPECT_EQ(errorOf([&] { (void)symbols.openWithScope(); }), 98);
  EXPECT_EQ(symbols.withScopeCount(), 16);
}

struct MissingBodyCase {
  IdentKind kind;
  RoutineState state;
  bool reported;
};

class MissingBodyTest : public ::testing::TestWithParam<MissingBodyCase>, public SymbolFixture {};

TEST_P(MissingBodyTest, CloseScopeReportsRoutinesStillWaitingForTheirBody) {
  const MissingBodyCase& example = GetParam();
  c.symbols.openScope();
  SymbolEntry& routine = declare("HANDLER", example.kind);
  routine.routineState = example.state;
  const int error = errorOf([&] { c.symbols.CloseScope(); });
  if (example.reported) {
    EXPECT_EQ(error, 59);
    ASSERT_FALSE(host.errors.empty());
    const std::string& message = host.errors.back().message;
    const std::string suffix = "  ( HANDLER ) ";
    ASSERT_GE(message.size(), suffix.size());
    EXPECT_EQ(message.substr(message.size() - suffix.size()), suffix) << message;
    EXPECT_EQ(message.rfind("Error:59  ", 0), 0U) << message;
  } else {
    EXPECT_EQ(error, 0);
    EXPECT_EQ(c.symbols.scopeLevel(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    RoutineStates, MissingBodyTest,
    ::testing::Values(MissingBodyCase{IdentKind::Procedure, RoutineState::Forward, true},
                      MissingBodyCase{IdentKind::Function, RoutineState::Interface, true},
                      MissingBodyCase{IdentKind::InterruptProcedure, RoutineState::Forward, true},
                      MissingBodyCase{IdentKind::Procedure, RoutineState::Ordinary, false},
                      MissingBodyCase{IdentKind::Function, RoutineState::External, false},
                      MissingBodyCase{IdentKind::Procedure, RoutineState::BodyUnderWay, false},
                      // Only routines are checked, whatever the other fields hold.
                      MissingBodyCase{IdentKind::FrameVariable, RoutineState::Forward, false}));

TEST_F(SymbolTableTest, EntriesMadeForAnEnclosingLevelOutliveTheInnerLevel) {
  symbols.openScope();
  symbols.openScope();
  // A routine heading: the name belongs to the enclosing level.
  SymbolEntry& routine = symbols.newEntryAt(1);
  routine.name = "P";
  routine.kind = IdentKind::Procedure;
  symbols.EnterIdentifier(symbols.rootSlot(1), routine);
  TypeDescriptor& local = symbols.newType(TypeKind::Integer, 2);
  (void)local;
  symbols.CloseScope();
  // Still alive and still found (ASan would flag a released entry).
  EXPECT_EQ(symbols.lookupName("P", kinds::kRoutine), &routine);
  EXPECT_EQ(routine.name, "P");
}

}  // namespace
}  // namespace vorax::testing
