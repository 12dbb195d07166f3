// Helpers for the window's tests: a scratch folder, source files, modal dialogs that
// close themselves, and the list of test classes run by test_main.cpp.
#pragma once

#include <QApplication>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

namespace vorax::gui::testing {

// Writes `bytes` to `folder`/`name` and returns the file's path.
QString writeFile(const QString& folder, const QString& name, const std::string& bytes);
std::string readFile(const QString& path);

// Watches for the next modal widget while the event loop runs (inside the modal
// widget's own loop) and hands it to `handle`, which should close it. Create it before
// the code that opens the widget. A widget that never opens, or modal widgets still open
// a while after the handler ran (a handler that failed, a warning the dialog raised),
// show as failed checks rather than a hang: the handler gives up, or closes them.
class ModalHandler {
 public:
  explicit ModalHandler(std::function<void(QWidget& modal)> handle);
  [[nodiscard]] bool handled() const { return handled_ && !closedLeftovers_; }

 private:
  void poll();

  QTimer poll_;
  std::function<void(QWidget& modal)> handle_;
  int ticks_ = 0;
  bool handled_ = false;
  bool closedLeftovers_ = false;
};

// Each test file provides one runner; test_main.cpp runs them all.
int runSettingsTests(int argc, char** argv);
int runMainFormTests(int argc, char** argv);
int runWindowCompileTests(int argc, char** argv);

}  // namespace vorax::gui::testing
