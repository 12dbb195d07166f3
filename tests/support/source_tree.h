// Temporary source folders for whole-program tests: write files, compile, read back
// the assembly file as lines (CR LF checked and stripped).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "driver/compile_options.h"
#include "support/recording_host.h"

namespace vorax::testing {

class SourceTree {
 public:
  SourceTree();
  ~SourceTree();
  SourceTree(const SourceTree&) = delete;
  SourceTree& operator=(const SourceTree&) = delete;

  [[nodiscard]] const std::filesystem::path& root() const { return root_; }
  // Writes `text` (bytes as given) to root/name, creating folders.
  std::filesystem::path write(const std::string& name, const std::string& text) const;
  [[nodiscard]] bool exists(const std::string& name) const;
  // Reads root/name as lines; every line must end in CR LF.
  [[nodiscard]] std::vector<std::string> readLines(const std::string& name) const;

 private:
  std::filesystem::path root_;
};

// Compiles `source` as root/NAME.PAS with a fresh RecordingHost and returns the lines of
// NAME.asm.
struct CompileResult {
  RecordingHost host;
  std::vector<std::string> lines;
};
CompileResult compileSource(const SourceTree& tree, const std::string& source,
                            const std::string& name = "TEST.PAS",
                            const CompileOptions& options = {});

// Finds `expected` as consecutive lines of `lines`; returns the index of the first or -1.
int findSequence(const std::vector<std::string>& lines, const std::vector<std::string>& expected);

}  // namespace vorax::testing
