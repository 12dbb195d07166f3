// The command line's CompileHost: message boxes become terminal lines, progress rows
// and the status line are not shown, and nothing waits.
#pragma once

#include <ostream>
#include <string>

#include "driver/compile_host.h"

namespace vorax {

class TerminalHost : public CompileHost {
 public:
  TerminalHost(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

  // The file being compiled, named in error lines that have no source position.
  void beginFile(const std::string& fileName);
  [[nodiscard]] bool sourceErrorSeen() const { return sourceErrorSeen_; }

  void showMessage(std::string_view text, std::string_view caption, MessageIcon icon) override;
  void showSourceError(const SourceErrorReport& report) override;
  void showFileProgress(int, std::string_view, std::int64_t) override {}
  void stepFileProgress(int, std::int64_t) override {}
  void hideFileProgress(int) override {}
  void setStatusText(std::string_view) override {}
  void repaint() override {}
  void pauseBeforeCompile() override {}
  [[nodiscard]] LocalDateTime now() const override;

 private:
  std::ostream& out_;
  std::ostream& err_;
  std::string fileName_;
  bool sourceErrorSeen_ = false;
};

}  // namespace vorax
