// vorax-gui: the compiler's desktop window. The first argument, if any, is compiled as
// soon as the window is up.
#include <QApplication>
#include <QFileInfo>

#include "driver/version.h"
#include "shell/gui/main_form.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(
      vorax::kProductName.data(), static_cast<qsizetype>(vorax::kProductName.size())));

  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();  // the program's own name
  const QString programFile = QFileInfo(QApplication::applicationFilePath()).fileName();
  vorax::gui::TMainForm form(arguments, vorax::gui::settingsFileNameFor(programFile.toStdString()));
  form.show();
  return QApplication::exec();
}
