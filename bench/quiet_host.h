// A CompileHost for benchmarks: shows nothing, waits for nothing, and remembers the
// message of a source error so a benchmark can tell that its input did not compile.
#pragma once

#include <string>

#include "driver/compile_host.h"

namespace vorax {

class QuietHost : public CompileHost {
 public:
  bool failed = false;
  std::string message;

  void showMessage(std::string_view, std::string_view, MessageIcon) override {}
  void showSourceError(const SourceErrorReport& report) override {
    failed = true;
    message = report.message;
  }
  void showFileProgress(int, std::string_view, std::int64_t) override {}
  void stepFileProgress(int, std::int64_t) override {}
  void hideFileProgress(int) override {}
  void setStatusText(std::string_view) override {}
  void repaint() override {}
  void pauseBeforeCompile() override {}
  [[nodiscard]] LocalDateTime now() const override { return {}; }
};

}  // namespace vorax
