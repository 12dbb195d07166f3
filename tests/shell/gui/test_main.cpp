// The window's test program: each test class runs in turn in one QApplication.
#include <QApplication>

#include "shell/gui/gui_test_support.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  using namespace vorax::gui::testing;
  int failures = 0;
  for (auto* run : {runSettingsTests, runMainFormTests, runWindowCompileTests}) {
    failures += run(argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
