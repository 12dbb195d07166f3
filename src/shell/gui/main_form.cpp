#include "shell/gui/main_form.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QShowEvent>
#include <QUrl>
#include <exception>

#include "driver/compile_file.h"
#include "driver/version.h"
#include "shell/gui/about_box.h"
#include "shell/gui/name_filters.h"
#include "shell/gui/pictures.h"

namespace vorax::gui {
namespace {

QString programTitle() {
  return QString::fromUtf8(kProductName.data(), static_cast<qsizetype>(kProductName.size()));
}

// The local files among dropped URLs, in the order they were dropped.
QStringList localFiles(const QMimeData& data) {
  QStringList files;
  for (const QUrl& url : data.urls()) {
    if (url.isLocalFile()) {
      files.append(url.toLocalFile());
    }
  }
  return files;
}

// The window only reads a dropped file. Answering that it moved the file would allow the
// source to delete its own copy, so a drop is taken as a copy, or as a link when no copy
// is offered; a source that offers only to move the file is refused.
Qt::DropAction dropActionForReading(Qt::DropActions offered) {
  if (offered & Qt::CopyAction) {
    return Qt::CopyAction;
  }
  if (offered & Qt::LinkAction) {
    return Qt::LinkAction;
  }
  return Qt::IgnoreAction;
}

}  // namespace

TMainForm::TMainForm(QStringList arguments, std::filesystem::path settingsFile, QWidget* parent)
    : QMainWindow(parent),
      arguments_(std::move(arguments)),
      argumentPending_(!arguments_.isEmpty()),
      lastFolder_(std::move(settingsFile)),
      openAction_(openFilePicture(), QStringLiteral("開く")),
      exitAction_(exitPicture(), QStringLiteral("終了")),
      aboutAction_(aboutPicture(), QStringLiteral("バージョン情報")),
      host_(*this, rows_, statusPanel_, showModalMessageBox),
      compile_(
          [](const std::string& fileName, CompileHost& host) { compileFile(fileName, host); }) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(programTitle());
  setWindowIcon(programIcon());
  // Minimize and close, no maximize; the client area has one fixed size.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);

  buildToolBar();
  rows_.setParent(this);
  setCentralWidget(&rows_);
  buildStatusLine();
  buildOpenDialog();

  timer1_.setObjectName(QStringLiteral("Timer1"));
  timer1_.setTimerType(Qt::PreciseTimer);  // never earlier than asked
  connect(&timer1_, &QTimer::timeout, this, &TMainForm::Timer1Timer);

  FormCreate();
}

void TMainForm::buildToolBar() {
  toolBar_.setObjectName(QStringLiteral("ToolBar"));
  toolBar_.setMovable(false);
  toolBar_.setFloatable(false);
  toolBar_.setIconSize(QSize(16, 16));
  toolBar_.setContextMenuPolicy(Qt::PreventContextMenu);
  const struct {
    QAction& action;
    const char* name;
    void (TMainForm::*handler)();
  } buttons[] = {{openAction_, "FileOpen", &TMainForm::FileOpen},
                 {exitAction_, "FileExit", &TMainForm::FileExit},
                 {aboutAction_, "HelpAbout", &TMainForm::HelpAbout}};
  for (const auto& button : buttons) {
    button.action.setParent(this);
    button.action.setObjectName(QString::fromLatin1(button.name));
    // The text is the tool tip; an empty status tip keeps the status line untouched
    // when the mouse passes over the button.
    button.action.setToolTip(button.action.text());
    connect(&button.action, &QAction::triggered, this, button.handler);
    toolBar_.addAction(&button.action);
  }
  addToolBar(Qt::TopToolBarArea, &toolBar_);
}

void TMainForm::buildStatusLine() {
  statusLine_.setObjectName(QStringLiteral("StatusLine"));
  statusLine_.setSizeGripEnabled(false);
  // One simple panel. A label rather than the status bar's own message, which the bar
  // clears whenever the mouse passes over a tool button.
  statusPanel_.setObjectName(QStringLiteral("StatusPanel"));
  statusPanel_.setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  statusPanel_.setTextFormat(Qt::PlainText);
  statusLine_.addWidget(&statusPanel_, 1);
  setStatusBar(&statusLine_);
}

void TMainForm::buildOpenDialog() {
  openDialog_.setParent(this, openDialog_.windowFlags());
  openDialog_.setObjectName(QStringLiteral("OpenDialog"));
  openDialog_.setWindowModality(Qt::ApplicationModal);
  // Qt's own dialog everywhere: it compares patterns without regard to letter case, so
  // "*.PAS" finds demo.pas as it would on the system these sources come from.
  openDialog_.setOption(QFileDialog::DontUseNativeDialog);
  openDialog_.setOption(QFileDialog::HideNameFilterDetails);
  openDialog_.setFileMode(QFileDialog::ExistingFile);
  openDialog_.setAcceptMode(QFileDialog::AcceptOpen);
  openDialog_.setNameFilters(qtNameFilters(kOpenDialogFilter));
}

void TMainForm::setMessagePresenter(MessagePresenter presenter) {
  host_.setMessagePresenter(std::move(presenter));
}

// Files dropped from a file manager start a compilation.
void TMainForm::FormCreate() { setAcceptDrops(true); }

// The first argument is compiled shortly after the window first becomes active, once it
// is on the screen. Only once: activation returns every time a message box closes or
// the user comes back to the window, and none of those should compile again.
void TMainForm::FormActivate() {
  if (argumentPending_) {
    timer1_.setInterval(kArgumentDelayMilliseconds);
    timer1_.start();
  }
}

void TMainForm::Timer1Timer() {
  timer1_.stop();
  if (!argumentPending_) {
    return;
  }
  // A file dropped or opened just after the window appeared is still compiling (its
  // message box runs the event loop): the argument waits for it instead of being lost.
  if (compiling_) {
    timer1_.start();
    return;
  }
  argumentPending_ = false;
  compileSource(arguments_.first());
}

void TMainForm::FileOpen() {
  const std::string folder = lastFolder_.read();
  openDialog_.setDirectory(folder.empty() ? QDir::currentPath()
                                          : QFile::decodeName(QByteArray::fromStdString(folder)));
  if (openDialog_.exec() != QDialog::Accepted) {
    return;
  }
  const QStringList chosen = openDialog_.selectedFiles();
  if (!chosen.isEmpty()) {
    compileSource(chosen.first());
  }
}

// Only the first of several dropped files is compiled.
void TMainForm::WMDropfiles(const QStringList& fileNames) {
  if (!fileNames.isEmpty()) {
    compileSource(fileNames.first());
  }
}

void TMainForm::FileExit() { close(); }

void TMainForm::HelpAbout() {
  TAboutBox aboutBox(productAboutTexts(), programTitle(), this);
  aboutBox.exec();
}

// A window system that gives a new window no focus (none without a window manager, or
// one that prevents focus stealing) would never activate it, and the argument would
// wait forever; appearing on the screen counts as the first activation.
void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!event->spontaneous()) {
    FormActivate();
  }
}

void TMainForm::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
    FormActivate();
  }
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  const Qt::DropAction action = dropActionForReading(event->possibleActions());
  if (action != Qt::IgnoreAction && !localFiles(*event->mimeData()).isEmpty()) {
    event->setDropAction(action);
    event->accept();
  }
}

void TMainForm::dropEvent(QDropEvent* event) {
  const Qt::DropAction action = dropActionForReading(event->possibleActions());
  const QStringList files = localFiles(*event->mimeData());
  if (action == Qt::IgnoreAction || files.isEmpty()) {
    return;
  }
  // Accepting releases the drop before the compilation holds the thread.
  event->setDropAction(action);
  event->accept();
  WMDropfiles(files);
}

void TMainForm::compileSource(const QString& fileName) {
  // A message box of a running compilation runs its own event loop; a file that
  // arrives meanwhile is not compiled inside the first compilation.
  if (compiling_) {
    return;
  }
  compiling_ = true;
  const std::string name = QFile::encodeName(fileName).toStdString();
  lastFolder_.storeFolderOf(name);
  // Rows of include files left by a compilation that stopped inside them belong to
  // files that are closed now.
  for (int row = 2; row <= kProgressRowCount; ++row) {
    rows_.hideRow(row);
  }
  // Whatever escapes the compiler (it could not write the assembly file, say) is shown
  // like any failure of the program: an event handler must not let it pass into Qt.
  try {
    compile_(name, host_);
  } catch (const std::exception& failure) {
    host_.messagePresenter()(this, MessageBoxRequest{QString::fromLocal8Bit(failure.what()),
                                                     programTitle(), QMessageBox::Critical});
  } catch (...) {
    host_.messagePresenter()(this, MessageBoxRequest{QStringLiteral("Unknown failure"),
                                                     programTitle(), QMessageBox::Critical});
  }
  compiling_ = false;
}

}  // namespace vorax::gui
