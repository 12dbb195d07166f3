// The window with the real compiler.
#include <QTest>

#include "shell/gui/gui_test_support.h"

namespace vorax::gui::testing {
namespace {

class WindowCompileTest : public QObject {
  Q_OBJECT
};

}  // namespace

int runWindowCompileTests(int argc, char** argv) {
  WindowCompileTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace vorax::gui::testing

#include "window_compile_test.moc"
