// The compiler's only window onto the outside world besides files: message boxes,
// the per-file progress rows, the status line, repaints, the start-up pause and the
// clock. The command line, the desktop window and the tests each implement it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorax {

enum class MessageIcon { Information, Exclamation };

// A local date and time as the system clock reports it.
struct LocalDateTime {
  int year = 2000;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;

  // Milliseconds since midnight; the elapsed time of a compilation is a difference of two.
  [[nodiscard]] std::int64_t millisecondsOfDay() const {
    return ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000 + millisecond;
  }
};

// Everything known about a source error when it is shown. Texts are UTF-8.
struct SourceErrorReport {
  int number = 0;
  std::string message;       // "Error:" + number + two blanks + text + suffix
  std::string text;          // the error's text + suffix
  bool hasPosition = false;  // false for errors before any source file was open
  std::string fileName;      // the innermost source file
  std::int32_t lineNumber = 0;
  int column = 0;       // 1-based column of the token on the line as written
  int indentation = 0;  // leading blanks and tabs of the line as written
  std::string lineAsWritten;
  // What goes before a caret under the token on lineAsWritten: the line's own tabs, and a
  // blank for every other byte of the source line (a two-byte character is two columns).
  std::string caretPrefix;
};

class CompileHost {
 public:
  virtual ~CompileHost() = default;

  // A source error ends a compilation. The window shows it as a message box; a terminal
  // host may print the position as well.
  virtual void showSourceError(const SourceErrorReport& report) {
    showMessage(report.message, "MALVET", MessageIcon::Exclamation);
  }

  // A modal message box. Text and caption are UTF-8.
  virtual void showMessage(std::string_view text, std::string_view caption, MessageIcon icon) = 0;

  // Progress row `row` (1..8) belongs to source slot row-1: show its label with the
  // file name and its bar with the given maximum at position 0.
  virtual void showFileProgress(int row, std::string_view fileName, std::int64_t maximum) = 0;
  virtual void stepFileProgress(int row, std::int64_t amount) = 0;
  virtual void hideFileProgress(int row) = 0;

  // The status line shows the source line read last. The text is the source's own
  // bytes (CP932); a host that displays it converts it.
  virtual void setStatusText(std::string_view cp932Text) = 0;
  virtual void repaint() = 0;

  // The short wait before a compilation starts (only the window waits).
  virtual void pauseBeforeCompile() = 0;

  [[nodiscard]] virtual LocalDateTime now() const = 0;

  // The files a compilation touches, as opened: the main source and every include file
  // when it is opened for reading, the assembly file when it is created. A build system
  // learns a source's dependencies from them; hosts that don't care ignore them.
  virtual void sourceFileOpened(const std::string& /*path*/) {}
  virtual void outputFileCreated(const std::string& /*path*/) {}
};

}  // namespace vorax
