// Runs the operator and condition generators on expressions of a small main program and
// returns the instruction lines they emitted ("label: mnemonic source,destination",
// joined by " / "). The peephole rules are off; the emit-time rewrites stay on, as they
// are part of what every generator relies on.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "codegen/expr_node.h"
#include "driver/compilation.h"
#include "support/recording_host.h"
#include "support/source_tree.h"

namespace vorax::testing {

// Variables of the program (frame offsets below fp):
//   I J: INTEGER  B C: BYTE  W: WORD  L M: LONGINT  P Q: BOOLEAN  CH: CHAR
//   S: STRING  PT: ^INTEGER  X: INTEGER ABSOLUTE $A000  Y: INTEGER ABSOLUTE $A002
//   R: REAL  E: (RED, GREEN, BLUE)
extern const char* const kArithDeclarations;

class ArithFixture {
 public:
  using Generator = std::function<void(Compilation&, ExprPtr&)>;

  // Parses `expression` (after `kArithDeclarations` and `extraDeclarations`), runs
  // `generate` on its tree, and returns the emitted lines, or "error N".
  std::string run(const std::string& expression, const Generator& generate,
                  const std::string& extraDeclarations = "");
  // The value of `expression` generated for `target` ("INTEGER", "LONGINT", ...): the
  // lines, then " => " and the operand text.
  std::string value(const std::string& expression, const std::string& target);
  // generateJumpIfFalse with the labels "T" and "F".
  std::string jump(const std::string& expression);

  bool cpu2000 = false;
  // After the generator: the work registers still marked in use, as "r0 r3".
  std::string registersInUse;

  Compilation& compilation() { return *compilation_; }

 private:
  SourceTree tree_;
  RecordingHost host_;
  std::unique_ptr<Compilation> compilation_;
};

}  // namespace vorax::testing
