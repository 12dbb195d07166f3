// The window's setting (the last folder in an INI file) and the open dialog's filters.
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "shell/gui/gui_test_support.h"
#include "shell/gui/ini_file.h"
#include "shell/gui/last_folder_setting.h"
#include "shell/gui/name_filters.h"

namespace vorax::gui::testing {
namespace {

class SettingsTest : public QObject {
  Q_OBJECT

 private slots:
  void settingsFileIsNamedLikeTheProgram_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("settings");
    QTest::newRow("installed") << "/usr/local/bin/vorax-gui"
                               << "vorax-gui.ini";
    QTest::newRow("windows") << "C:\\TOOLS\\VORAX.EXE"
                             << "VORAX.ini";
    QTest::newRow("bare") << "test_gui"
                          << "test_gui.ini";
    QTest::newRow("dots") << "./bin/v.1.exe"
                          << "v.1.ini";
  }
  void settingsFileIsNamedLikeTheProgram() {
    QFETCH(QString, program);
    QFETCH(QString, settings);
    QCOMPARE(QString::fromStdString(settingsFileNameFor(program.toStdString()).string()), settings);
  }

  void directoryPartKeepsItsSeparator_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("folder");
    QTest::newRow("posix") << "/work/src/DEMO.PAS"
                           << "/work/src/";
    QTest::newRow("windows") << "A:\\SRC\\DEMO.PAS"
                             << "A:\\SRC\\";
    QTest::newRow("mixed") << "src\\sub/demo.pas"
                           << "src\\sub/";
    QTest::newRow("drive only") << "C:DEMO.PAS"
                                << "C:";
    QTest::newRow("bare") << "DEMO.PAS"
                          << "";
  }
  void directoryPartKeepsItsSeparator() {
    QFETCH(QString, file);
    QFETCH(QString, folder);
    QCOMPARE(QString::fromStdString(directoryPart(file.toStdString())), folder);
  }

  void readsTheValueOfItsOwnSectionOnly_data() {
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("expected");  // "<none>" when there is no value
    QTest::newRow("plain") << "[PATH]\nPATH=/src/\n"
                           << "/src/";
    QTest::newRow("letter case and blanks") << "[ path ]\r\n  Path =  C:\\SRC\\  \r\n"
                                            << "C:\\SRC\\";
    QTest::newRow("other section first")
        << "[OTHER]\nPATH=/wrong/\n\n[PATH]\n; a comment\nPATH=/right/\n"
        << "/right/";
    QTest::newRow("key only in another section") << "[OTHER]\nPATH=/wrong/\n[PATH]\n"
                                                 << "<none>";
    QTest::newRow("equals sign in the value") << "[PATH]\nPATH=/a=b/\n"
                                              << "/a=b/";
    QTest::newRow("empty value") << "[PATH]\nPATH=\n"
                                 << "";
    QTest::newRow("no newline at the end") << "[PATH]\nPATH=/x/"
                                           << "/x/";
  }
  void readsTheValueOfItsOwnSectionOnly() {
    QFETCH(QString, content);
    QFETCH(QString, expected);
    QTemporaryDir folder;
    const QString file = writeFile(folder.path(), "s.ini", content.toStdString());
    const auto value = readIniValue(file.toStdString(), "PATH", "PATH");
    QCOMPARE(value ? QString::fromStdString(*value) : QStringLiteral("<none>"), expected);
  }

  void writingKeepsEveryOtherLine_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("new file") << "<missing>"
                              << "[PATH]\nPATH=/new/\n";
    QTest::newRow("replaces the key of its section")
        << "[A]\nPATH=/a/\n[path]\nX=1\npath=/old/\nY=2\n"
        << "[A]\nPATH=/a/\n[path]\nX=1\nPATH=/new/\nY=2\n";
    QTest::newRow("adds the key to its section") << "[PATH]\nX=1\n\n[B]\nY=2\n"
                                                 << "[PATH]\nX=1\nPATH=/new/\n\n[B]\nY=2\n";
    QTest::newRow("adds the section") << "[B]\nY=2\n"
                                      << "[B]\nY=2\n\n[PATH]\nPATH=/new/\n";
  }
  void writingKeepsEveryOtherLine() {
    QFETCH(QString, before);
    QFETCH(QString, after);
    QTemporaryDir folder;
    const QString file = QDir(folder.path()).filePath("s.ini");
    if (before != "<missing>") {
      writeFile(folder.path(), "s.ini", before.toStdString());
    }
    QVERIFY(writeIniValue(file.toStdString(), "PATH", "PATH", "/new/"));
    QCOMPARE(QString::fromStdString(readFile(file)), after);
  }

  void aFolderThatCannotBeReadOrWrittenGivesNothing() {
    QTemporaryDir folder;
    // A folder where the file should be: it can be neither read nor replaced.
    const QString file = QDir(folder.path()).filePath("s.ini");
    QVERIFY(QDir().mkpath(file));
    QVERIFY(!readIniValue(file.toStdString(), "PATH", "PATH"));
    QVERIFY(!writeIniValue(file.toStdString(), "PATH", "PATH", "/x/"));
    LastFolderSetting setting(file.toStdString());
    QCOMPARE(setting.read(), std::string());
    QVERIFY(!setting.storeFolderOf("/src/DEMO.PAS"));
  }

  // The setting is found by its bare name in the current directory.
  void lastFolderLivesInTheCurrentDirectory() {
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder.path()));
    const LastFolderSetting setting(settingsFileNameFor("/opt/vorax/vorax-gui"));
    QCOMPARE(setting.read(), std::string());
    QVERIFY(setting.storeFolderOf("/home/user/src/DEMO.PAS"));
    QCOMPARE(readFile(QDir(folder.path()).filePath("vorax-gui.ini")),
             std::string("[PATH]\nPATH=/home/user/src/\n"));
    QCOMPARE(setting.read(), std::string("/home/user/src/"));
    QVERIFY(QDir::setCurrent(previous));
  }

  void nameFiltersKeepBothEntries() {
    QCOMPARE(qtNameFilters(kOpenDialogFilter),
             QStringList({QStringLiteral("パスカルファイル  (.*.PAS) (*.PAS)"),
                          QStringLiteral("すべてのファイル  (*.*) (*)")}));
    QCOMPARE(qtNameFilters(QStringLiteral("Sources|*.PAS;*.INC|Dangling")),
             QStringList({QStringLiteral("Sources (*.PAS *.INC)")}));
  }
};

}  // namespace

int runSettingsTests(int argc, char** argv) {
  SettingsTest test;
  return QTest::qExec(&test, argc, argv);
}

}  // namespace vorax::gui::testing

#include "settings_test.moc"
