// The window's side of a compilation: the compiler's message boxes, progress rows,
// status line, repaints and start-up pause, shown in TMainForm.
#pragma once

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
  QWidget& window_;
  FileProgressRows& rows_;
  QLabel& statusPanel_;
  MessagePresenter presenter_;
};

}  // namespace vorax::gui
