// The window's side of a compilation: the compiler's message boxes, progress rows,
// status line, repaints and start-up pause, shown in TMainForm.
#pragma once

#include <QElapsedTimer>
#include <QLabel>
#include <QWidget>
#include <chrono>

#include "driver/compile_host.h"
#include "shell/gui/file_progress_rows.h"
#include "shell/gui/message_presenter.h"

namespace vorax::gui {

// The short wait before every compilation, so the window has settled (a dialog closed,
// a drop finished) before the compiler holds the thread.
inline constexpr std::chrono::milliseconds kPauseBeforeCompile{200};

// A compilation holds the thread, so the window is painted only when the host paints it.
// Every line read moves a bar and changes the status line; painting at most this often
// keeps the window live without letting the painting slow a large compilation down.
inline constexpr std::chrono::milliseconds kProgressPaintInterval{40};

class WindowHost final : public CompileHost {
 public:
  // `window` is repainted on request; `statusPanel` is the status line's one panel.
  WindowHost(QWidget& window, FileProgressRows& rows, QLabel& statusPanel,
             MessagePresenter presenter);

  void setMessagePresenter(MessagePresenter presenter) { presenter_ = std::move(presenter); }
  [[nodiscard]] const MessagePresenter& messagePresenter() const { return presenter_; }

  void showMessage(std::string_view text, std::string_view caption, MessageIcon icon) override;
  void showFileProgress(int row, std::string_view fileName, std::int64_t maximum) override;
  void stepFileProgress(int row, std::int64_t amount) override;
  void hideFileProgress(int row) override;
  void setStatusText(std::string_view cp932Text) override;
  void repaint() override;
  void pauseBeforeCompile() override;
  [[nodiscard]] LocalDateTime now() const override;

 private:
  // Paints the window if the last painting is more than kProgressPaintInterval ago.
  void paintProgress();

  QWidget& window_;
  FileProgressRows& rows_;
  QLabel& statusPanel_;
  MessagePresenter presenter_;
  QElapsedTimer sinceLastPaint_;
};

}  // namespace vorax::gui
