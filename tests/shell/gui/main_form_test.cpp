// TMainForm driven as the user drives it, with a fake compiler in place of the real one
// and message boxes recorded instead of shown.
#include "shell/gui/main_form.h"

#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <memory>
#include <stdexcept>
#include <vector>

#include "diag/text_encoding.h"
#include "driver/version.h"
#include "shell/gui/about_box.h"
#include "shell/gui/gui_test_support.h"

namespace vorax::gui::testing {
namespace {

struct Compiled {
  QString fileName;
  qint64 millisecondsSinceShow;
  bool windowVisible;
};

// A window with a scratch folder for its settings, whose compilations and message
// boxes are recorded.
class FormUnderTest {
 public:
  explicit FormUnderTest(const QStringList& arguments = {})
      : form(arguments, QDir(folder.path()).filePath("vorax-gui.ini").toStdString()) {
    form.setCompileFunction([this](const std::string& fileName, CompileHost& host) {
      compiled.push_back({QString::fromStdString(fileName), sinceShow.elapsed(), form.isVisible()});
      if (onCompile) {
        onCompile(host);
      }
    });
    form.setMessagePresenter(
        [this](QWidget*, const MessageBoxRequest& request) { boxes.push_back(request); });
  }

  void showActive() {
    sinceShow.start();
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
  }
  [[nodiscard]] QString path(const QString& name) const {
    return QDir(folder.path()).filePath(name);
  }
  [[nodiscard]] QString storedFolder() const {
    return QString::fromStdString(form.lastFolder().read());
  }

  QTemporaryDir folder;
  TMainForm form;
  std::vector<Compiled> compiled;
  std::vector<MessageBoxRequest> boxes;
  std::function<void(CompileHost&)> onCompile;
  QElapsedTimer sinceShow;
};

QMimeData* urlData(const QStringList& files, QMimeData& data) {
  QList<QUrl> urls;
  for (const QString& file : files) {
    urls.append(QUrl::fromLocalFile(file));
  }
  data.setUrls(urls);
  return &data;
}

// Drags `files` over the window and drops them, through the window system's side of
// the window, so the drop reaches whichever widget accepts drops.
bool dropFiles(TMainForm& form, const QStringList& files) {
  QMimeData data;
  urlData(files, data);
  const QPoint centre = form.rows().geometry().center();
  QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.windowHandle(), &enter);
  if (!enter.isAccepted()) {
    return false;
  }
  QDropEvent drop(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form.windowHandle(), &drop);
  return drop.isAccepted();
}

// Keeps the window from hearing that it became active, as under a window system that
// never hands a new window the focus.
class ActivationBlocker : public QObject {
 public:
  int blocked = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::ActivationChange) {
      ++blocked;
      return true;
    }
    return false;
  }
};

class PaintCounter : public QObject {
 public:
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++count;
    }
    return false;
  }
};

class MainFormTest : public QObject {
  Q_OBJECT

 private slots:
  void windowHasItsPartsAndStartsQuiet() {
    FormUnderTest t;
    TMainForm& form = t.form;
    QCOMPARE(form.size(), QSize(kClientWidth, kClientHeight));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));

    const QList<QAction*> buttons = form.toolBar().actions();
    const QStringList tips = {"開く", "終了", "バージョン情報"};
    QCOMPARE(buttons.size(), tips.size());
    for (qsizetype i = 0; i < buttons.size(); ++i) {
      QCOMPARE(buttons[i]->toolTip(), tips[i]);
      QVERIFY(!buttons[i]->icon().isNull());
    }

    for (int row = 1; row <= kProgressRowCount; ++row) {
      auto* label = form.findChild<QLabel*>(QStringLiteral("Label%1").arg(row));
      auto* bar = form.findChild<QProgressBar*>(QStringLiteral("ProgressBar%1").arg(row));
      QVERIFY(label != nullptr && bar != nullptr);
      QVERIFY(label->isHidden() && bar->isHidden());
    }
    QCOMPARE(form.findChild<QStatusBar*>(QStringLiteral("StatusLine")), form.statusBar());
    auto* dialog = form.findChild<QFileDialog*>(QStringLiteral("OpenDialog"));
    QVERIFY(dialog != nullptr);
    QCOMPARE(dialog->nameFilters().size(), 2);
    QVERIFY(!form.timer1().isActive());
    QVERIFY(form.acceptDrops());

    // Every row fits between the tool bar and the status line.
    t.showActive();
    for (int row = 1; row <= kProgressRowCount; ++row) {
      form.rows().showRow(row, QStringLiteral("FILE%1.PAS").arg(row), 100);
    }
    const QRect lastBar = form.rows().bar(kProgressRowCount).geometry();
    QVERIFY2(lastBar.bottom() < form.rows().height(), "the last row is cut off");
    QVERIFY(form.rows().geometry().bottom() < form.statusBar()->geometry().top());
  }

  void argumentIsCompiledOnceAfterTheWindowIsShown() {
    FormUnderTest t(
        {QDir::tempPath() + QStringLiteral("/src/FIRST.PAS"), QStringLiteral("SECOND.PAS")});
    QTest::qWait(400);
    QVERIFY(t.compiled.empty());  // nothing before the window is up

    t.showActive();
    QTRY_COMPARE_WITH_TIMEOUT(t.compiled.size(), std::size_t{1}, 3000);
    QCOMPARE(t.compiled[0].fileName, QDir::tempPath() + QStringLiteral("/src/FIRST.PAS"));
    QVERIFY(t.compiled[0].windowVisible);
    QVERIFY2(t.compiled[0].millisecondsSinceShow >= kArgumentDelayMilliseconds,
             "compiled before the delay after activation");
    QCOMPARE(t.storedFolder(), QDir::tempPath() + QStringLiteral("/src/"));
    QVERIFY(!t.form.timer1().isActive());

    // Coming back to the window does not compile the argument again.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    t.form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&t.form));
    QTest::qWait(kArgumentDelayMilliseconds + 200);
    QCOMPARE(t.compiled.size(), std::size_t{1});
  }

  // A file dropped just after the window appeared is compiled first; the argument follows
  // when that compilation is over.
  void argumentWaitsForACompilationThatIsRunning() {
    FormUnderTest t({QStringLiteral("ARG.PAS")});
    t.onCompile = [&](CompileHost&) {
      if (t.compiled.size() == 1) {
        // The message box at the end of the compilation runs the event loop a while.
        QTest::qWait(2 * kArgumentDelayMilliseconds + 100);
      }
    };
    // Dropped before any event is processed, so before the argument's timer can fire.
    t.form.show();
    QVERIFY(dropFiles(t.form, {t.path("DROP.PAS")}));
    QTRY_COMPARE_WITH_TIMEOUT(t.compiled.size(), std::size_t{2}, 3000);
    QCOMPARE(t.compiled[0].fileName, t.path("DROP.PAS"));
    QCOMPARE(t.compiled[1].fileName, QStringLiteral("ARG.PAS"));
    QTest::qWait(kArgumentDelayMilliseconds + 100);
    QCOMPARE(t.compiled.size(), std::size_t{2});
  }

  // A window that appears without being activated still compiles its argument.
  void argumentIsCompiledWhenTheWindowIsNeverActivated() {
    FormUnderTest t({QStringLiteral("QUIET.PAS")});
    ActivationBlocker neverActive;
    t.form.installEventFilter(&neverActive);
    t.sinceShow.start();
    t.form.show();
    QTRY_COMPARE_WITH_TIMEOUT(t.compiled.size(), std::size_t{1}, 3000);
    QVERIFY(neverActive.blocked > 0);
    QVERIFY(t.compiled[0].millisecondsSinceShow >= kArgumentDelayMilliseconds);
  }

  void withoutArgumentActivationCompilesNothing() {
    FormUnderTest t;
    t.showActive();
    QVERIFY(!t.form.timer1().isActive());
    QTest::qWait(kArgumentDelayMilliseconds + 100);
    QVERIFY(t.compiled.empty());
  }

  void dropCompilesOnlyTheFirstFile() {
    FormUnderTest t;
    t.showActive();
    const QString first = t.path("a/FIRST.PAS");
    const QString second = t.path("SECOND.PAS");
    QVERIFY(dropFiles(t.form, {first, second}));
    QCOMPARE(t.compiled.size(), std::size_t{1});
    QCOMPARE(t.compiled[0].fileName, first);
    QCOMPARE(t.storedFolder(), t.path("a/"));

    // A long name is compiled whole, not cut to some length.
    const QString deep = t.path(QString(60, QLatin1Char('d')) + "/" + QString(60, 'e') + "/" +
                                QString(60, 'f') + "/" + QString(60, 'g') + "/LONG.PAS");
    QVERIFY(deep.size() > 255);
    QVERIFY(dropFiles(t.form, {deep}));
    QCOMPARE(t.compiled.back().fileName, deep);

    // Something that is not a file is refused.
    QMimeData text;
    text.setText(QStringLiteral("DEMO.PAS"));
    QDragEnterEvent enter(QPoint(10, 40), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(t.form.windowHandle(), &enter);
    QVERIFY(!enter.isAccepted());
    QCOMPARE(t.compiled.size(), std::size_t{2});
  }

  // The window only reads what is dropped on it: it never answers that it moved the file,
  // which would let the source delete its copy.
  void dropIsTakenAsACopyNeverAsAMove_data() {
    QTest::addColumn<Qt::DropActions>("offered");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<Qt::DropAction>("proposed");  // what the user's keys ask for
    QTest::addColumn<Qt::DropAction>("answer");    // IgnoreAction: the drop is refused
    QTest::newRow("move asked, copy offered")
        << Qt::DropActions(Qt::CopyAction | Qt::MoveAction)
        << Qt::KeyboardModifiers(Qt::ShiftModifier) << Qt::MoveAction << Qt::CopyAction;
    QTest::newRow("plain copy") << Qt::DropActions(Qt::CopyAction | Qt::MoveAction)
                                << Qt::KeyboardModifiers(Qt::NoModifier) << Qt::CopyAction
                                << Qt::CopyAction;
    QTest::newRow("link only") << Qt::DropActions(Qt::LinkAction)
                               << Qt::KeyboardModifiers(Qt::NoModifier) << Qt::LinkAction
                               << Qt::LinkAction;
    QTest::newRow("move only") << Qt::DropActions(Qt::MoveAction)
                               << Qt::KeyboardModifiers(Qt::NoModifier) << Qt::MoveAction
                               << Qt::IgnoreAction;
  }
  void dropIsTakenAsACopyNeverAsAMove() {
    QFETCH(Qt::DropActions, offered);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(Qt::DropAction, proposed);
    QFETCH(Qt::DropAction, answer);
    FormUnderTest t;
    t.showActive();
    QMimeData data;
    urlData({t.path("DEMO.PAS")}, data);
    const QPoint centre = t.form.rows().geometry().center();
    QDragEnterEvent enter(centre, offered, &data, Qt::LeftButton, modifiers);
    QCOMPARE(enter.proposedAction(), proposed);
    QApplication::sendEvent(t.form.windowHandle(), &enter);
    QCOMPARE(enter.isAccepted(), answer != Qt::IgnoreAction);
    QDropEvent drop(centre, offered, &data, Qt::LeftButton, modifiers);
    QApplication::sendEvent(t.form.windowHandle(), &drop);
    QCOMPARE(drop.isAccepted(), answer != Qt::IgnoreAction);
    if (answer != Qt::IgnoreAction) {
      QCOMPARE(enter.dropAction(), answer);
      QCOMPARE(drop.dropAction(), answer);
    }
    QCOMPARE(t.compiled.size(), std::size_t{answer != Qt::IgnoreAction ? 1U : 0U});
  }

  void openDialogStartsInTheLastFolder() {
    FormUnderTest t;
    QVERIFY(QDir().mkpath(t.path("first")) && QDir().mkpath(t.path("second")));
    writeFile(t.folder.path(), "vorax-gui.ini",
              "[PATH]\nPATH=" + t.path("first/").toStdString() + "\n");
    const QString chosen = writeFile(t.path("second"), "DEMO.PAS", "PROGRAM DEMO;\n");
    t.showActive();

    QString initialFolder;
    {
      ModalHandler pick([&](QWidget& modal) {
        auto& dialog = dynamic_cast<QFileDialog&>(modal);
        initialFolder = dialog.directory().absolutePath();
        // Typed into the name box and confirmed with Enter, as a user would.
        auto* nameBox = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(nameBox != nullptr);
        nameBox->setText(chosen);
        QTest::keyClick(nameBox, Qt::Key_Return);
      });
      t.form.openAction().trigger();
      QVERIFY(pick.handled());
    }
    QCOMPARE(initialFolder, t.path("first"));
    QCOMPARE(t.compiled.size(), std::size_t{1});
    QCOMPARE(t.compiled[0].fileName, chosen);
    QCOMPARE(t.storedFolder(), t.path("second/"));

    // The next dialog starts where the last file was; cancelling it does nothing.
    {
      ModalHandler cancel([&](QWidget& modal) {
        initialFolder = dynamic_cast<QFileDialog&>(modal).directory().absolutePath();
        dynamic_cast<QFileDialog&>(modal).reject();
      });
      t.form.openAction().trigger();
      QVERIFY(cancel.handled());
    }
    QCOMPARE(initialFolder, t.path("second"));
    QCOMPARE(t.compiled.size(), std::size_t{1});
    QCOMPARE(t.storedFolder(), t.path("second/"));
  }

  void withoutSettingsTheDialogStartsInTheCurrentFolder() {
    FormUnderTest t;
    t.showActive();
    QString initialFolder;
    QStringList fileTypes;
    ModalHandler cancel([&](QWidget& modal) {
      initialFolder = dynamic_cast<QFileDialog&>(modal).directory().absolutePath();
      const auto* types = modal.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      for (int i = 0; types != nullptr && i < types->count(); ++i) {
        fileTypes.append(types->itemText(i));
      }
      dynamic_cast<QFileDialog&>(modal).reject();
    });
    t.form.FileOpen();
    QVERIFY(cancel.handled());
    QCOMPARE(initialFolder, QDir::currentPath());
    // The user sees the descriptions without Qt's pattern lists (Qt makes runs of blanks
    // single ones).
    QCOMPARE(fileTypes, QStringList({QStringLiteral("パスカルファイル (.*.PAS)"),
                                     QStringLiteral("すべてのファイル (*.*)")}));
    QVERIFY(!QFile::exists(t.path("vorax-gui.ini")));
  }

  // The Pascal file type lists sources whatever the letter case of their extension, as a
  // main file may have; it hides other files.
  void pascalFileTypeListsSourcesInAnyLetterCase() {
    FormUnderTest t;
    for (const char* name : {"upper.PAS", "lower.pas", "mixed.Pas", "out.asm", "notes.txt"}) {
      writeFile(t.folder.path(), QString::fromLatin1(name), "");
    }
    writeFile(t.folder.path(), "vorax-gui.ini", "[PATH]\nPATH=" + t.path("").toStdString() + "\n");
    t.showActive();
    QStringList listed;
    ModalHandler look([&](QWidget& modal) {
      auto& dialog = dynamic_cast<QFileDialog&>(modal);
      const auto* view = dialog.findChild<QListView*>(QStringLiteral("listView"));
      QVERIFY(view != nullptr);
      const auto names = [&] {
        QStringList shown;
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < view->model()->rowCount(root); ++row) {
          shown.append(view->model()->index(row, 0, root).data().toString());
        }
        shown.sort();
        return shown;
      };
      // The folder is read in the background.
      QTRY_VERIFY_WITH_TIMEOUT(names().size() >= 3, 3000);
      QTest::qWait(100);
      listed = names();
      dialog.reject();
    });
    t.form.FileOpen();
    QVERIFY(look.handled());
    QCOMPARE(listed, QStringList({"lower.pas", "mixed.Pas", "upper.PAS"}));
  }

  // What the compiler reports shows in the rows, the status line and message boxes.
  void hostShowsRowsStatusAndMessages() {
    FormUnderTest t;
    t.showActive();
    FileProgressRows& rows = t.form.rows();
    bool includeRowWasShown = false;
    t.onCompile = [&](CompileHost& host) {
      host.showFileProgress(1, "MAIN.PAS", 100);
      host.stepFileProgress(1, 40);
      host.showFileProgress(2, "UTIL.PAS", 10);
      host.stepFileProgress(2, 7);
      host.stepFileProgress(2, 7);  // more than is left: the bar stops when full
      includeRowWasShown = rows.label(2).isVisible() && rows.label(2).text() == "UTIL.PAS" &&
                           rows.bar(2).isVisible() && rows.bar(2).value() == 10;
      host.hideFileProgress(2);
      host.showFileProgress(9, "DEEP.PAS", 10);  // there is no ninth row
      host.setStatusText(utf8ToCp932("12:  WRITELN('こんにちは');"));
      host.showMessage("コンパイル終了  0:00:01", "VORAX", MessageIcon::Information);
      SourceErrorReport error;
      error.message = "Error:100  ファイルが見つかりません";
      host.showSourceError(error);
    };
    QVERIFY(dropFiles(t.form, {t.path("MAIN.PAS")}));

    QVERIFY(includeRowWasShown);
    QVERIFY(rows.label(1).isVisible() && rows.bar(1).isVisible());
    QCOMPARE(rows.label(1).text(), QStringLiteral("MAIN.PAS"));
    QCOMPARE(rows.bar(1).maximum(), 100);
    QCOMPARE(rows.bar(1).value(), 40);
    QVERIFY(rows.label(2).isHidden() && rows.bar(2).isHidden());
    QCOMPARE(t.form.statusText(), QStringLiteral("12:  WRITELN('こんにちは');"));

    QCOMPARE(t.boxes.size(), std::size_t{2});
    QCOMPARE(t.boxes[0].caption, QStringLiteral("VORAX"));
    QCOMPARE(t.boxes[0].icon, QMessageBox::Information);
    QCOMPARE(t.boxes[0].text, QStringLiteral("コンパイル終了  0:00:01"));
    QCOMPARE(t.boxes[1].caption, QStringLiteral("MALVET"));
    QCOMPARE(t.boxes[1].icon, QMessageBox::Warning);
    QCOMPARE(t.boxes[1].text, QStringLiteral("Error:100  ファイルが見つかりません"));
  }

  // The compilation holds the thread: the window shows its progress only because the host
  // paints it, and not for every line.
  void progressIsPaintedDuringTheCompilation() {
    FormUnderTest t;
    t.showActive();
    PaintCounter paints;
    t.form.rows().bar(1).installEventFilter(&paints);
    int paintsDuringCompilation = 0;
    t.onCompile = [&](CompileHost& host) {
      host.showFileProgress(1, "MAIN.PAS", 10000);
      host.repaint();
      const int afterShowing = paints.count;
      for (int line = 0; line < 4; ++line) {
        QTest::qSleep(static_cast<int>(kProgressPaintInterval.count()) + 10);
        host.stepFileProgress(1, 10);
      }
      for (int line = 0; line < 100; ++line) {  // quicker than the paint interval
        host.stepFileProgress(1, 10);
      }
      paintsDuringCompilation = paints.count - afterShowing;
    };
    QVERIFY(dropFiles(t.form, {t.path("MAIN.PAS")}));
    QVERIFY2(paintsDuringCompilation >= 4, "the bar was not painted while it moved");
    QVERIFY2(paintsDuringCompilation <= 20, "the bar was painted for every line");
  }

  void emptyFileShowsAnEmptyBar() {
    FormUnderTest t;
    t.form.host().showFileProgress(3, "EMPTY.PAS", 0);
    QProgressBar& bar = t.form.rows().bar(3);
    QVERIFY(bar.maximum() > bar.minimum());  // equal bounds would make a busy indicator
    QCOMPARE(bar.value(), 0);
  }

  // Rows of include files left by a compilation that stopped inside them are gone when
  // the next one starts; the main file's row stays until it is replaced.
  void nextCompilationClearsStaleIncludeRows() {
    FormUnderTest t;
    t.showActive();
    std::vector<bool> includeRowVisibleAtStart;
    t.onCompile = [&](CompileHost& host) {
      includeRowVisibleAtStart.push_back(!t.form.rows().label(2).isHidden());
      host.showFileProgress(1, "MAIN.PAS", 10);
      host.showFileProgress(2, "BROKEN.PAS", 10);
    };
    QVERIFY(dropFiles(t.form, {t.path("MAIN.PAS")}));
    QVERIFY(!t.form.rows().label(2).isHidden());  // kept: it shows where the error was
    QVERIFY(dropFiles(t.form, {t.path("MAIN.PAS")}));
    QCOMPARE(includeRowVisibleAtStart, std::vector<bool>({false, false}));
  }

  void pauseBeforeCompileWaits() {
    FormUnderTest t;
    QElapsedTimer clock;
    clock.start();
    t.form.host().pauseBeforeCompile();
    QVERIFY(clock.elapsed() >= kPauseBeforeCompile.count());
  }

  void unexpectedFailureIsShownAndTheWindowGoesOn() {
    FormUnderTest t;
    t.showActive();
    t.onCompile = [](CompileHost&) { throw std::runtime_error("cannot write DEMO.asm"); };
    QVERIFY(dropFiles(t.form, {t.path("DEMO.PAS")}));
    QCOMPARE(t.boxes.size(), std::size_t{1});
    QCOMPARE(t.boxes[0].text, QStringLiteral("cannot write DEMO.asm"));
    QCOMPARE(t.boxes[0].icon, QMessageBox::Critical);

    t.onCompile = nullptr;
    QVERIFY(dropFiles(t.form, {t.path("DEMO.PAS")}));
    QCOMPARE(t.compiled.size(), std::size_t{2});
  }

  // A file dropped while a message box of a running compilation is open waits for no
  // one: it is not compiled inside that compilation.
  void noCompilationStartsInsideAnother() {
    FormUnderTest t;
    t.showActive();
    t.onCompile = [&](CompileHost&) {
      if (t.compiled.size() == 1) {
        QVERIFY(dropFiles(t.form, {t.path("INNER.PAS")}));
      }
    };
    QVERIFY(dropFiles(t.form, {t.path("OUTER.PAS")}));
    QCOMPARE(t.compiled.size(), std::size_t{1});
  }

  void aboutBoxShowsTheProduct() {
    FormUnderTest t;
    t.showActive();
    QString title;
    QStringList texts;
    bool hasIcon = false;
    ModalHandler close([&](QWidget& modal) {
      title = modal.windowTitle();
      for (const char* name : {"ProductName", "Version", "ProductDate"}) {
        texts.append(modal.findChild<QLabel*>(QString::fromLatin1(name))->text());
      }
      const auto* icon = modal.findChild<QLabel*>(QStringLiteral("ProgramIcon"));
      hasIcon = icon != nullptr && !icon->pixmap().isNull();
      QPushButton* ok = modal.findChild<QPushButton*>();
      QTest::mouseClick(ok, Qt::LeftButton);
    });
    t.form.aboutAction().trigger();
    QVERIFY(close.handled());
    QCOMPARE(title, QStringLiteral("バージョン情報"));
    QCOMPARE(texts, QStringList({QString::fromUtf8(kProductName.data()),
                                 QString::fromUtf8(kVersionText.data()),
                                 QString::fromUtf8(kProductDate.data())}));
    QVERIFY(hasIcon);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  void aboutBoxWithoutProductNameShowsTheProgramTitle() {
    const TAboutBox box(AboutTexts{QString(), QStringLiteral("Ver 9"), QStringLiteral("today")},
                        QStringLiteral("TITLE"));
    QCOMPARE(box.findChild<QLabel*>(QStringLiteral("ProductName"))->text(),
             QStringLiteral("TITLE"));
  }

  void exitClosesTheWindow() {
    FormUnderTest t;
    t.showActive();
    t.form.exitAction().trigger();
    QVERIFY(!t.form.isVisible());
  }
};

}  // namespace

int runMainFormTests(int argc, char** argv) {
  MainFormTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace vorax::gui::testing

#include "main_form_test.moc"
