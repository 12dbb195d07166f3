// A CompileHost for tests: a fixed clock, and a record of every call in order.
#pragma once

#include <string>
#include <vector>

#include "driver/compile_host.h"

namespace vorax::testing {

class RecordingHost : public CompileHost {
 public:
  struct Message {
    std::string text;
    std::string caption;
    MessageIcon icon;
  };

  // Every call, one line each ("show 1 DEMO.PAS 120", "step 1 14", "hide 2", "status ...").
  std::vector<std::string> calls;
  std::vector<Message> messages;
  std::vector<SourceErrorReport> errors;
  LocalDateTime clock{2026, 12, 7, 9, 5, 3, 0};
  int pauses = 0;

  void showMessage(std::string_view text, std::string_view caption, MessageIcon icon) override;
  void showSourceError(const SourceErrorReport& report) override;
  void showFileProgress(int row, std::string_view fileName, std::int64_t maximum) override;
  void stepFileProgress(int row, std::int64_t amount) override;
  void hideFileProgress(int row) override;
  void setStatusText(std::string_view cp932Text) override;
  void repaint() override;
  void pauseBeforeCompile() override { ++pauses; }
  [[nodiscard]] LocalDateTime now() const override { return clock; }
};

}  // namespace vorax::testing
