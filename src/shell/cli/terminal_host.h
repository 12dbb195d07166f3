// The command line's CompileHost: message boxes become terminal lines, progress rows
// and the status line are not shown, and nothing waits. It keeps the files each
// compilation read and wrote, for the make rules.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "driver/compile_host.h"

namespace vorax {

class TerminalHost : public CompileHost {
 public:
  TerminalHost(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  // Quiet: information messages (the completion line) are not printed; errors still are.
  void setQuiet(bool quiet) { quiet_ = quiet; }

  // The file being compiled, named in error lines that have no source position.
  void beginFile(const std::string& fileName);
  [[nodiscard]] bool sourceErrorSeen() const { return sourceErrorSeen_; }
  // The source files opened since beginFile, main file first, and the assembly file.
  [[nodiscard]] const std::vector<std::string>& sourcesRead() const { return sourcesRead_; }
  [[nodiscard]] const std::string& outputWritten() const { return outputWritten_; }

  void showMessage(std::string_view text, std::string_view caption, MessageIcon icon) override;
  void showSourceError(const SourceErrorReport& report) override;
  void showFileProgress(int, std::string_view, std::int64_t) override {}
  void stepFileProgress(int, std::int64_t) override {}
  void hideFileProgress(int) override {}
  void setStatusText(std::string_view) override {}
  void repaint() override {}
  void pauseBeforeCompile() override {}
  [[nodiscard]] LocalDateTime now() const override;
  void sourceFileOpened(const std::string& path) override { sourcesRead_.push_back(path); }
  void outputFileCreated(const std::string& path) override { outputWritten_ = path; }

 private:
  std::ostream& out_;
  std::ostream& err_;
  std::string fileName_;
  bool sourceErrorSeen_ = false;
  bool quiet_ = false;
  std::vector<std::string> sourcesRead_;
  std::string outputWritten_;
};

}  // namespace vorax
