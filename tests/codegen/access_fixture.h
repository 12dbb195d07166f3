// Runs the variable-access generators on expressions of a small main program: the
// declarations are compiled at level 1, each expression is parsed and handed to a
// generator, and the instruction lines that reached the window are returned as text
// ("mnemonic source,destination"). The peephole rules are off, so the lines are exactly
// what the generators emitted.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "codegen/expr_node.h"
#include "driver/compilation.h"
#include "support/recording_host.h"
#include "support/source_tree.h"

namespace vorax::testing {

class AccessFixture {
 public:
  using Generator = std::function<void(Compilation&, ExprPtr&)>;

  // Parses `expressions` (each followed by ";") after `declarations` and runs `generate` on
  // each tree in turn. The result is the window lines, or {"error N"} when the compilation
  // stopped with error N.
  std::vector<std::string> run(const std::string& declarations,
                               const std::vector<std::string>& expressions,
                               const Generator& generate);
  // The texts the generator returned, in order (set by the generators the tests use).
  std::vector<std::string> results;
  // Gives the memory directive's stack value before the declarations are read.
  bool withStack = false;

  Compilation& compilation() { return *compilation_; }

 private:
  SourceTree tree_;
  RecordingHost host_;
  std::unique_ptr<Compilation> compilation_;
};

// The lines joined by " / " for compact expectations.
std::string joined(const std::vector<std::string>& lines);

}  // namespace vorax::testing
