#include "support/recording_host.h"

namespace vorax::testing {

void RecordingHost::showMessage(std::string_view text, std::string_view caption,
                                MessageIcon icon) {
  messages.push_back({std::string(text), std::string(caption), icon});
  calls.push_back("message " + std::string(caption) + " " + std::string(text));
}

void RecordingHost::showSourceError(const SourceErrorReport& report) {
  errors.push_back(report);
  CompileHost::showSourceError(report);
}

void RecordingHost::showFileProgress(int row, std::string_view fileName, std::int64_t maximum) {
  calls.push_back("show " + std::to_string(row) + " " + std::string(fileName) + " " +
                  std::to_string(maximum));
}

void RecordingHost::stepFileProgress(int row, std::int64_t amount) {
  calls.push_back("step " + std::to_string(row) + " " + std::to_string(amount));
}

void RecordingHost::hideFileProgress(int row) { calls.push_back("hide " + std::to_string(row)); }

void RecordingHost::setStatusText(std::string_view cp932Text) {
  calls.push_back("status " + std::string(cp932Text));
}

void RecordingHost::repaint() { calls.push_back("repaint"); }

}  // namespace vorax::testing
