#include "shell/cli/terminal_host.h"

#include <chrono>
#include <ctime>

namespace vorax {

void TerminalHost::beginFile(const std::string& fileName) {
  fileName_ = fileName;
  sourceErrorSeen_ = false;
  sourcesRead_.clear();
  outputWritten_.clear();
}

void TerminalHost::showMessage(std::string_view text, std::string_view, MessageIcon icon) {
  if (quiet_ && icon == MessageIcon::Information) {
    return;
  }
  std::ostream& stream = icon == MessageIcon::Information ? out_ : err_;
  stream << text << '\n';
  stream.flush();
}

// FILE:LINE:COLUMN: error N: TEXT, then the line and a caret under the token, the way
// editors expect compiler messages.
void TerminalHost::showSourceError(const SourceErrorReport& report) {
  sourceErrorSeen_ = true;
  if (!report.hasPosition) {
    err_ << fileName_ << ": error " << report.number << ": " << report.text << '\n';
    err_.flush();
    return;
  }
  err_ << report.fileName << ':' << report.lineNumber << ':' << report.column << ": error "
       << report.number << ": " << report.text << '\n';
  err_ << report.lineAsWritten << '\n';
  err_ << report.caretPrefix << "^\n";
  err_.flush();
}

LocalDateTime TerminalHost::now() const {
  const auto clockNow = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(clockNow);
  std::tm local{};
  localtime_r(&seconds, &local);
  LocalDateTime result;
  result.year = local.tm_year + 1900;
  result.month = local.tm_mon + 1;
  result.day = local.tm_mday;
  result.hour = local.tm_hour;
  result.minute = local.tm_min;
  result.second = local.tm_sec;
  result.millisecond = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(clockNow.time_since_epoch()).count() %
      1000);
  return result;
}

}  // namespace vorax
