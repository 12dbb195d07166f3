#include "shell/gui/gui_test_support.h"

#include <QDebug>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <fstream>
#include <iterator>

namespace vorax::gui::testing {

QString writeFile(const QString& folder, const QString& name, const std::string& bytes) {
  const QString path = QDir(folder).filePath(name);
  std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
  out << bytes;
  return path;
}

std::string readFile(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

ModalHandler::ModalHandler(std::function<void(QWidget& modal)> handle)
    : handle_(std::move(handle)) {
  constexpr int kPollMilliseconds = 10;
  poll_.setInterval(kPollMilliseconds);
  QObject::connect(&poll_, &QTimer::timeout, [this] { poll(); });
  poll_.start();
}

void ModalHandler::poll() {
  constexpr int kGiveUpTicks = 500;
  constexpr int kLeftoverTicks = 200;
  QWidget* modal = QApplication::activeModalWidget();
  const bool shown = modal != nullptr && modal->isVisible();
  ++ticks_;
  if (!handled_) {
    if (shown) {
      handled_ = true;
      ticks_ = 0;
      handle_(*modal);
    } else if (ticks_ > kGiveUpTicks) {
      poll_.stop();
    }
  } else if (!shown) {
    poll_.stop();
  } else if (ticks_ > kLeftoverTicks) {
    closedLeftovers_ = true;
    qWarning() << "leftover" << modal->metaObject()->className() << modal->windowTitle()
               << (qobject_cast<QMessageBox*>(modal) ? qobject_cast<QMessageBox*>(modal)->text()
                                                     : QString());
    modal->close();
  }
}

}  // namespace vorax::gui::testing
