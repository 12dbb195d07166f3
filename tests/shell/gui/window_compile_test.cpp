// The window with the real compiler: what a user sees while and after a source with an
// include file compiles, and the boxes of a finished and of a failed compilation.
#include <QDir>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <vector>

#include "driver/compile_file.h"
#include "shell/gui/gui_test_support.h"
#include "shell/gui/main_form.h"

namespace vorax::gui::testing {
namespace {

// What the progress rows show at one moment: "k NAME value/maximum" per visible row.
QStringList visibleRows(FileProgressRows& rows) {
  QStringList shown;
  for (int row = 1; row <= kProgressRowCount; ++row) {
    if (!rows.label(row).isHidden()) {
      shown.append(QStringLiteral("%1 %2 %3/%4")
                       .arg(row)
                       .arg(rows.label(row).text())
                       .arg(rows.bar(row).value())
                       .arg(rows.bar(row).maximum()));
    }
  }
  return shown;
}

// Passes every call on to the window's host and notes what the rows show after each
// step of a progress bar.
class WatchingHost final : public CompileHost {
 public:
  WatchingHost(CompileHost& window, FileProgressRows& rows) : window_(window), rows_(rows) {}

  std::vector<QStringList> rowsAfterSteps;

  void showSourceError(const SourceErrorReport& report) override {
    window_.showSourceError(report);
  }
  void showMessage(std::string_view text, std::string_view caption, MessageIcon icon) override {
    window_.showMessage(text, caption, icon);
  }
  void showFileProgress(int row, std::string_view fileName, std::int64_t maximum) override {
    window_.showFileProgress(row, fileName, maximum);
  }
  void stepFileProgress(int row, std::int64_t amount) override {
    window_.stepFileProgress(row, amount);
    rowsAfterSteps.push_back(visibleRows(rows_));
  }
  void hideFileProgress(int row) override { window_.hideFileProgress(row); }
  void setStatusText(std::string_view cp932Text) override { window_.setStatusText(cp932Text); }
  void repaint() override { window_.repaint(); }
  void pauseBeforeCompile() override { window_.pauseBeforeCompile(); }
  [[nodiscard]] LocalDateTime now() const override { return window_.now(); }

 private:
  CompileHost& window_;
  FileProgressRows& rows_;
};

class WindowCompileTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir folder_;
  std::unique_ptr<TMainForm> form_;
  std::unique_ptr<WatchingHost> watcher_;
  std::vector<MessageBoxRequest> boxes_;

  void dropFile(const QString& file) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    const QPoint centre = form_->rows().geometry().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_->windowHandle(), &enter);
    QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form_->windowHandle(), &drop);
  }

 private slots:
  void init() {
    boxes_.clear();
    form_ = std::make_unique<TMainForm>(
        QStringList{}, QDir(folder_.path()).filePath("vorax-gui.ini").toStdString());
    watcher_ = std::make_unique<WatchingHost>(form_->host(), form_->rows());
    // The real compiler, reporting to the window through the watcher.
    form_->setCompileFunction(
        [this](const std::string& fileName, CompileHost&) { compileFile(fileName, *watcher_); });
    form_->setMessagePresenter(
        [this](QWidget*, const MessageBoxRequest& request) { boxes_.push_back(request); });
    form_->show();
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
  }

  void cleanup() {
    watcher_.reset();
    form_.reset();
  }

  void includeFileRowComesAndGoesMainRowStays() {
    const std::string include = "{ helpers }\r\n{ for the main program }\r\n";
    const std::string main = "PROGRAM MAIN;\r\n{$I util}\r\nBEGIN\r\nEND.\r\n";
    writeFile(folder_.path(), "util.pas", include);
    const QString source = writeFile(folder_.path(), "main.pas", main);
    dropFile(source);

    const QString mainSize = QStringLiteral("/%1").arg(main.size());
    const QString fullInclude = QStringLiteral("2 UTIL.PAS %1/%1").arg(include.size());
    bool includeSeenFull = false;
    bool includeSeenWithMain = false;
    for (const QStringList& shown : watcher_->rowsAfterSteps) {
      includeSeenFull = includeSeenFull || shown.contains(fullInclude);
      includeSeenWithMain =
          includeSeenWithMain ||
          (shown.size() == 2 && shown[0].startsWith("1 MAIN.PAS ") && shown[0].endsWith(mainSize) &&
           shown[1].startsWith(QStringLiteral("2 UTIL.PAS ")));
    }
    QVERIFY2(includeSeenWithMain, "no step showed the main row and the include row together");
    QVERIFY2(includeSeenFull, "the include row never showed the whole file read");

    // Afterwards only the main row is left, with the whole file read.
    QCOMPARE(visibleRows(form_->rows()),
             QStringList({QStringLiteral("1 MAIN.PAS %1/%1").arg(main.size())}));
    QCOMPARE(form_->statusText(), QStringLiteral("4:  END."));
    QCOMPARE(boxes_.size(), std::size_t{1});
    QCOMPARE(boxes_[0].caption, QStringLiteral("VORAX"));
    QCOMPARE(boxes_[0].icon, QMessageBox::Information);
    QVERIFY2(boxes_[0].text.startsWith(QStringLiteral("コンパイル終了  ")),
             qPrintable(boxes_[0].text));
    QVERIFY(QFile::exists(QDir(folder_.path()).filePath("main.asm")));
  }

  void sourceErrorsShowInTheMalvetBox_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("source");  // "<missing>": the file does not exist
    QTest::addColumn<QString>("message");
    QTest::newRow("not a program") << "NOPROG.PAS"
                                   << "BEGIN END.\r\n"
                                   << "Error:77  PROGRAM が必要です !";
    QTest::newRow("missing file") << "GONE.PAS"
                                  << "<missing>"
                                  << "Error:100  ファイルが見つかりません";
  }
  void sourceErrorsShowInTheMalvetBox() {
    QFETCH(QString, name);
    QFETCH(QString, source);
    QFETCH(QString, message);
    QString path = QDir(folder_.path()).filePath(name);
    if (source != "<missing>") {
      path = writeFile(folder_.path(), name, source.toStdString());
    }
    dropFile(path);
    QCOMPARE(boxes_.size(), std::size_t{1});
    QCOMPARE(boxes_[0].caption, QStringLiteral("MALVET"));
    QCOMPARE(boxes_[0].icon, QMessageBox::Warning);
    QCOMPARE(boxes_[0].text, message);
  }
};

}  // namespace

int runWindowCompileTests(int argc, char** argv) {
  WindowCompileTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace vorax::gui::testing

#include "window_compile_test.moc"
