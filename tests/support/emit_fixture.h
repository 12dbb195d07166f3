// A Compilation whose output file lives in a temporary folder, for tests that drive the
// emit pipeline directly: emit instructions and labels, then read the lines written.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "driver/compilation.h"
#include "driver/compile_options.h"
#include "support/recording_host.h"
#include "support/source_tree.h"

namespace vorax::testing {

// Options that switch both optimizer tiers off, to see the emit pipeline's own work, and
// the check of the lines written (the tests write fragments such as "mov.w r4,@x").
[[nodiscard]] CompileOptions pipelineOnly();

class EmitFixture {
 public:
  explicit EmitFixture(CompileOptions options = {});
  EmitFixture(const EmitFixture&) = delete;
  EmitFixture& operator=(const EmitFixture&) = delete;

  Compilation& compilation() { return *compilation_; }
  Emitter& emitter() { return compilation_->emitter; }
  PeepholeWindow& window() { return compilation_->emitter.window(); }
  RecordingHost& host() { return host_; }

  // Emits one line written like assembly: "[label:] mnemonic [source[,destination]]".
  // The operands split at the first "," outside parentheses and quotes, so "@(4,fp),r0"
  // and "db 'A,B'" come out right. A label is defined without forgetting registers.
  void emit(std::string_view line);
  void emitAll(const std::vector<std::string>& lines);

  // The lines the output file holds so far (waiting window lines are not among them).
  [[nodiscard]] std::vector<std::string> writtenLines();
  // Flushes the window and returns every line written.
  [[nodiscard]] std::vector<std::string> flushAndReadLines();

 private:
  RecordingHost host_;
  SourceTree tree_;
  std::filesystem::path outputPath_;
  std::unique_ptr<Compilation> compilation_;
};

// The window's lines as they would be written (label column, tab, mnemonic, operands),
// one entry per written line, attached lines included.
[[nodiscard]] std::vector<std::string> windowText(const PeepholeWindow& window);

}  // namespace vorax::testing
