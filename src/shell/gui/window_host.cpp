#include "shell/gui/window_host.h"

#include <QDateTime>
#include <QFile>
#include <QThread>

#include "diag/text_encoding.h"

namespace vorax::gui {
namespace {

QString fromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

WindowHost::WindowHost(QWidget& window, FileProgressRows& rows, QLabel& statusPanel,
                       MessagePresenter presenter)
    : window_(window), rows_(rows), statusPanel_(statusPanel), presenter_(std::move(presenter)) {}

void WindowHost::showMessage(std::string_view text, std::string_view caption, MessageIcon icon) {
  const QMessageBox::Icon boxIcon =
      icon == MessageIcon::Information ? QMessageBox::Information : QMessageBox::Warning;
  presenter_(&window_, MessageBoxRequest{fromUtf8(text), fromUtf8(caption), boxIcon});
}

void WindowHost::showFileProgress(int row, std::string_view fileName, std::int64_t maximum) {
  // File names are bytes in the file system's encoding, as the user's paths were.
  const QByteArray bytes(fileName.data(), static_cast<qsizetype>(fileName.size()));
  rows_.showRow(row, QFile::decodeName(bytes), maximum);
}

void WindowHost::stepFileProgress(int row, std::int64_t amount) {
  rows_.stepRow(row, amount);
  paintProgress();
}

void WindowHost::hideFileProgress(int row) { rows_.hideRow(row); }

void WindowHost::setStatusText(std::string_view cp932Text) {
  statusPanel_.setText(fromUtf8(cp932ToUtf8(cp932Text)));
  paintProgress();
}

// The compilation holds the thread, so no paint event would arrive until it ends: paint
// now, synchronously.
void WindowHost::repaint() {
  window_.repaint();
  sinceLastPaint_.start();
}

void WindowHost::paintProgress() {
  if (!sinceLastPaint_.isValid() || sinceLastPaint_.elapsed() >= kProgressPaintInterval.count()) {
    repaint();
  }
}

void WindowHost::pauseBeforeCompile() {
  QThread::msleep(static_cast<unsigned long>(kPauseBeforeCompile.count()));
}

LocalDateTime WindowHost::now() const {
  const QDateTime current = QDateTime::currentDateTime();
  const QDate date = current.date();
  const QTime time = current.time();
  return LocalDateTime{date.year(),   date.month(),  date.day(), time.hour(),
                       time.minute(), time.second(), time.msec()};
}

}  // namespace vorax::gui
