// Parses one expression text with a fresh compilation whose scope level 1 holds a few
// variables of every scalar type, and describes the resulting tree as text:
//   constants  "5:BYTE", "-1:INTEGER", "TRUE", "#65", "'AB'", "[1,3..5]:BYTE", "2.5"
//   variables  "I", "-I" (negation pending), "~P" (complement pending)
//   operators  "(+ I 1:BYTE):INTEGER"
#pragma once

#include <memory>
#include <string>

#include "codegen/expr_node.h"
#include "driver/compilation.h"
#include "support/recording_host.h"
#include "support/source_tree.h"

namespace vorax::testing {

// The CONST, TYPE and VAR sections of a test program (level-1 stack variables from offset
// -4 down), read from the current token up to and past the BEGIN that follows them.
void parseDeclarationsAndBegin(Compilation& c);

class ExprFixture {
 public:
  // Declares at level 1: I INTEGER, J INTEGER, B BYTE, W WORD, L LONGINT, R REAL, C CHAR,
  // S STRING, P Q BOOLEAN, E an enumeration (RED, GREEN, BLUE) and F of it.
  ExprFixture();

  // The tree of `text` (followed by `;`), or "error N" when parsing stopped with error N.
  // `declarations` (CONST, TYPE and VAR sections, compiled at level 1 in stack mode) come
  // first.
  std::string parse(const std::string& text, const std::string& declarations = "");
  // As parse, but leaves the tree for inspection (nullptr after an error).
  ExprPtr parseTree(const std::string& text, const std::string& declarations = "");
  // A designator: each leaf of the chain as "kind:text{offset}", joined by " > ", then
  // "=" and the designator's type; "&" in front when its address is wanted.
  std::string parseDesignator(const std::string& text, const std::string& declarations = "");
  [[nodiscard]] int lastError() const;
  // The token the scanner stands on after the expression.
  [[nodiscard]] TokenCode tokenAfter() const;

  [[nodiscard]] std::string describe(const ExprNode& node) const;
  [[nodiscard]] std::string typeName(const TypeDescriptor* type) const;

  Compilation& compilation() { return *compilation_; }
  // Set before parsing: the memory directive's stack value is given.
  bool withStack = false;

 private:
  void start(const std::string& text, const std::string& declarations);

  SourceTree tree_;
  RecordingHost host_;
  std::unique_ptr<Compilation> compilation_;
  TypeDescriptor* enumType_ = nullptr;
};

}  // namespace vorax::testing
