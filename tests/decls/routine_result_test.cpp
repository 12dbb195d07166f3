// The function's own name inside its body designates its result slot at fp+4, reached
// through the display from a routine nested in it.
#include <gtest/gtest.h>

#include <string>

#include "codegen/expr_parser.h"
#include "driver/compilation.h"
#include "support/recording_host.h"
#include "support/source_tree.h"

namespace vorax::testing {
namespace {

struct ResultSlot {
  std::string chain;  // the offsets of each leaf of the designator, "a > b"
  bool oneByteResult = false;
  int error = 0;
};

// The designator `F` inside the body of FUNCTION F: <resultType> (a level-2 routine),
// read from a routine nested `depth` levels deeper.
ResultSlot resultSlot(const char* resultType, int depth) {
  const SourceTree tree;
  RecordingHost host;
  Compilation c(host, CompileOptions{});
  c.directives.settings().echoSourceSwitch = false;
  tree.write("T.PAS", "F;\nEND.\n");
  ResultSlot slot;
  try {
    c.reader.openCompilationFiles((tree.root() / "T.PAS").string());
    c.scanner.buildReservedWordTable();
    c.symbols.enterPredefinedEnvironment();
    c.symbols.openScope();
    SymbolEntry& function = c.symbols.newEntry();
    function.name = "F";
    function.declarationLine = 3;
    function.kind = IdentKind::Function;
    function.level = 2;
    if (resultType != nullptr) {
      function.type = c.symbols.lookupName(resultType, kinds::kType)->type;
    }
    c.symbols.enterAtCurrentLevel(function);
    for (int level = 2; level <= 2 + depth; ++level) {
      c.symbols.openScope();
    }
    c.nextToken();
    const ExprPtr designator = parseVariableDesignator(c, function, false);
    for (const ExprNode* leaf = designator.get(); leaf != nullptr;
         leaf = leaf->nextSelector.get()) {
      if (!slot.chain.empty()) {
        slot.chain += " > ";
      }
      slot.chain += leaf->offsetTree ? std::to_string(leaf->offsetTree->value.intValue) : "0";
    }
    slot.oneByteResult = designator->oneByteResult;
  } catch (const tokeninvalid&) {
    slot.error = host.errors.back().number;
  }
  return slot;
}

TEST(FunctionResultTest, SlotAboveTheSavedFramePointer) {
  struct Case {
    const char* type;
    int depth;
    const char* chain;
    bool oneByte;
  };
  for (const Case& k : {Case{"INTEGER", 0, "4", false}, Case{"LONGINT", 0, "4", false},
                        // A byte result is stored as the whole word.
                        Case{"CHAR", 0, "4", true}, Case{"BYTE", 0, "4", true},
                        // From routines nested in F: F's frame from display entry 2.
                        Case{"INTEGER", 1, "-8 > 4", false}, Case{"WORD", 2, "-8 > 4", false}}) {
    const ResultSlot slot = resultSlot(k.type, k.depth);
    EXPECT_EQ(slot.error, 0) << k.type;
    EXPECT_EQ(slot.chain, k.chain) << k.type << " depth " << k.depth;
    EXPECT_EQ(slot.oneByteResult, k.oneByte) << k.type;
  }
}

TEST(FunctionResultTest, FunctionWithoutResultTypeIsError66) {
  EXPECT_EQ(resultSlot(nullptr, 0).error, 66);
}

}  // namespace
}  // namespace vorax::testing
