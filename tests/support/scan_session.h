// Drives the real Reader, Scanner and Directives of one Compilation over source files in
// a temporary folder, without the parser: tokens are read until the source runs out
// (error 91) or another error ends the compilation.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "driver/compilation.h"
#include "support/recording_host.h"
#include "support/source_tree.h"

namespace vorax::testing {

class ScanSession {
 public:
  // Opens tree.root()/mainName. The source echo is off unless `echo` is set, so a session
  // needs no emit pipeline.
  ScanSession(const SourceTree& tree, const std::string& mainName, bool echo = false);

  // Reads tokens until an error ends the compilation. Each token is described as its code
  // followed by its value ("1 NAME", "2 255", "3 #97", "4 1.5", "5 'text'", "19"); the
  // last entry is "error N".
  std::vector<std::string> scanAll();
  // Reads `count` tokens (an error ends the list early with "error N").
  std::vector<std::string> scan(int count);

  [[nodiscard]] std::string describeToken() const;
  // The error number that ended the compilation, 0 if none.
  [[nodiscard]] int errorNumber() const;
  [[nodiscard]] const SourceErrorReport& lastError() const { return host.errors.back(); }

  RecordingHost host;
  std::unique_ptr<Compilation> compilation;
};

// Writes `text` as T.PAS and returns every token of it (ending with "error 91" when the
// whole text was read).
std::vector<std::string> tokensOf(const std::string& text);

}  // namespace vorax::testing
