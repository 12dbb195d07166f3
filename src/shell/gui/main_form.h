// TMainForm, the compiler's window: a tool bar (open, exit, about), eight progress rows
// and a status line. A compilation starts from the open dialog, from a file dropped on
// the window, or from the program's first argument, and runs on the window's thread.
#pragma once

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QStringList>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include <string>

#include "driver/compile_host.h"
#include "shell/gui/file_progress_rows.h"
#include "shell/gui/last_folder_setting.h"
#include "shell/gui/message_presenter.h"
#include "shell/gui/window_host.h"

namespace vorax::gui {

// Runs one compilation of `fileName` (bytes in the file system's encoding) for `host`.
// The program uses vorax::compileFile; tests put a fake in its place.
using CompileFunction = std::function<void(const std::string& fileName, CompileHost& host)>;

inline constexpr int kClientWidth = 329;
inline constexpr int kClientHeight = 208;
// The delay between the window's activation and the compilation of the first argument.
inline constexpr int kArgumentDelayMilliseconds = 250;

class TMainForm : public QMainWindow {
 public:
  // `arguments` are the program's arguments without its own name. `settingsFile` keeps
  // the folder of the last source file.
  TMainForm(QStringList arguments, std::filesystem::path settingsFile, QWidget* parent = nullptr);

  void setCompileFunction(CompileFunction compile) { compile_ = std::move(compile); }
  void setMessagePresenter(MessagePresenter presenter);

  // The window's event handlers, in the order a session meets them.
  void FormCreate();
  void FormActivate();
  void Timer1Timer();
  void FileOpen();
  void WMDropfiles(const QStringList& fileNames);
  void FileExit();
  void HelpAbout();

  // The parts of the window, for the tests that drive it.
  [[nodiscard]] QAction& openAction() { return openAction_; }
  [[nodiscard]] QAction& exitAction() { return exitAction_; }
  [[nodiscard]] QAction& aboutAction() { return aboutAction_; }
  [[nodiscard]] QToolBar& toolBar() { return toolBar_; }
  [[nodiscard]] FileProgressRows& rows() { return rows_; }
  [[nodiscard]] QString statusText() const { return statusPanel_.text(); }
  [[nodiscard]] QFileDialog& openDialog() { return openDialog_; }
  [[nodiscard]] QTimer& timer1() { return timer1_; }
  [[nodiscard]] CompileHost& host() { return host_; }
  [[nodiscard]] const LastFolderSetting& lastFolder() const { return lastFolder_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildToolBar();
  void buildStatusLine();
  void buildOpenDialog();
  // Stores the file's folder, then compiles it; reports what escapes the compiler.
  void compileSource(const QString& fileName);

  // Members in the order the window is built; Qt children are members of the form, so
  // they are destroyed (and leave their parents) before the form itself.
  QStringList arguments_;
  bool argumentPending_;  // the first argument waits for the window's first activation
  LastFolderSetting lastFolder_;
  QAction openAction_;
  QAction exitAction_;
  QAction aboutAction_;
  QToolBar toolBar_;
  FileProgressRows rows_;
  QStatusBar statusLine_;
  QLabel statusPanel_;
  QFileDialog openDialog_;
  QTimer timer1_;
  WindowHost host_;
  CompileFunction compile_;
  bool compiling_ = false;
};

}  // namespace vorax::gui
