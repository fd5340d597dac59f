// SPDX-License-Identifier: MIT
// The main window's everyday entries on Qt's offscreen platform, with the
// program pretending to live in a temporary folder.
#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <functional>
#include <memory>

#include "gui/command_line.h"
#include "gui/drop_progress.h"
#include "gui/form1.h"
#include "session/status_text.h"
#include "gui/list_status.h"
#include "gui/qt_translations.h"
#include "platform/cp932.h"
#include "platform/paths.h"
#include "tests/support/window_fixture.h"

namespace {

using test_support::ModalSteps;
using test_support::ReadFile;
using test_support::WriteFile;

std::string Cp(const QString& text) { return platform::Utf8ToCp932(text.toStdString()); }

// Records the URLs the desktop is asked to open.
class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void open(const QUrl& url) { opened << url; }
};

std::string ArchiveFolderOf(const QString& dir) { return Cp(dir) + "/"; }

}  // namespace

class EverydayTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test_support::AppFolder> app_;

  static void AddRows(TForm1& form, int count) {
    ChartList& list = form.List();
    for (int i = 0; i < count; ++i) list.SetCaption(list.Append(), "r" + std::to_string(list.Count()) + ".bms");
  }

 private slots:
  void init() {
    app_ = std::make_unique<test_support::AppFolder>("Test_gui_everyday.ini");
  }
  void cleanup() {
    app_.reset();
  }

  void commandLineOptions_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("help");
    QTest::addColumn<bool>("version");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("error");
    QTest::newRow("archives") << QStringList{"a.zip", "/s/b.lzh"} << false << false
                              << QStringList{"a.zip", "/s/b.lzh"} << "";
    QTest::newRow("none") << QStringList{} << false << false << QStringList{} << "";
    QTest::newRow("help") << QStringList{"--help"} << true << false << QStringList{} << "";
    QTest::newRow("short help") << QStringList{"-h", "x.zip"} << true << false << QStringList{"x.zip"} << "";
    QTest::newRow("version beside a Qt option") << QStringList{"-platform", "--version"} << false << true
                                                << QStringList{} << "unknown option -platform";
    QTest::newRow("after --") << QStringList{"--", "-odd.zip", "--help"} << false << false
                              << QStringList{"-odd.zip", "--help"} << "";
    QTest::newRow("unknown") << QStringList{"--bogus", "--nope", "a.zip"} << false << false
                             << QStringList{"a.zip"} << "unknown option --bogus";
    QTest::newRow("a lone dash is a name") << QStringList{"-"} << false << false << QStringList{"-"} << "";
  }
  void commandLineOptions() {
    QFETCH(QStringList, args);
    WindowArgs parsed = ParseWindowArgs(args);
    QTEST(parsed.help, "help");
    QTEST(parsed.version, "version");
    QTEST(parsed.files, "files");
    QTEST(parsed.error, "error");
    QVERIFY(QRegularExpression("^bmslist [0-9]+\\.[0-9]+\\.[0-9]+$").match(VersionText("bmslist")).hasMatch());
  }

  // The command line and the open dialog hand their files over as a drop:
  // absolute, in order, names CP932 cannot hold as marked UTF-8 paths.
  void openedFilesArriveAsADrop() {
    TForm1 form;
    std::vector<std::vector<std::string>> calls;
    form.onDropFiles = [&](const std::vector<std::string>& paths) { calls.push_back(paths); };
    QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(app_->Dir()));
    form.OpenFiles({"songs/../b.lzh", "/s/a.zip", QString::fromUtf8("/s/\xF0\x9F\x98\x80.zip"), ""});
    QVERIFY(QDir::setCurrent(cwd));
    QVERIFY(calls.empty());  // not before the event loop runs: the window shows first

    QTRY_COMPARE(calls.size(), 1u);
    QCOMPARE(calls[0],
             (std::vector<std::string>{Cp(app_->Path("b.lzh")), "/s/a.zip", "\xFF/s/\xF0\x9F\x98\x80.zip"}));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(form.Status()->ProblemCount(), 0);
  }

  void openEntryChoosesArchives() {
    TForm1 form;
    QList<QAction*> entries = form.File1->actions();
    QCOMPARE(entries.first(), form.AOpen);
    QVERIFY(entries[1]->isSeparator());
    QCOMPARE(form.AOpen->text(), QString::fromUtf8("開く..."));
    QCOMPARE(form.AOpen->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QVERIFY(form.AOpen->isEnabled());
    QStringList filters = form.od->nameFilters();
    QCOMPARE(filters.size(), 2);
    QVERIFY(filters[0].startsWith(QString::fromUtf8("アーカイブ (")));
    for (const char* pattern : {"*.lzh", "*.LZH", "*.zip", "*.cab", "*.arj", "*.tar", "*.tgz", "*.bz2", "*.rar"})
      QVERIFY2(filters[0].contains(QString(pattern) + " ") || filters[0].contains(QString(pattern) + ")"), pattern);
    QVERIFY(!filters[0].contains("*.exe"));
    QCOMPARE(filters[1], QString::fromUtf8("すべてのファイル (*)"));

    WriteFile(app_->Path("song.lzh"), "x");
    std::vector<std::vector<std::string>> calls;
    form.onDropFiles = [&](const std::vector<std::string>& paths) { calls.push_back(paths); };
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    ModalSteps dialog({[this](QWidget* w) {
      auto* od = qobject_cast<QFileDialog*>(w);
      QVERIFY(od);
      QCOMPARE(od->fileMode(), QFileDialog::ExistingFiles);
      od->setDirectory(app_->Dir());
      od->findChild<QLineEdit*>("fileNameEdit")->setText("song.lzh");
      static_cast<QDialog*>(od)->accept();
    }});
    QTest::keyClick(&form, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(dialog.done, 1u);
    QTRY_COMPARE(calls.size(), 1u);
    QCOMPARE(calls[0], (std::vector<std::string>{Cp(app_->Path("song.lzh"))}));
  }

  // The export starts in the folder of the last export (kept in the
  // settings file), offers a name, and asks before replacing a file.
  void exportRemembersItsFolderAndAsksBeforeReplacing() {
    QVERIFY(QDir(app_->Dir()).mkdir("out"));
    const QString out = app_->Path("out");
    {
      TForm1 form;
      form.List().SetCaption(form.List().Append(), "x.bms");
      ModalSteps first({[&](QWidget* w) {
        auto* sd = qobject_cast<QFileDialog*>(w);
        QVERIFY(sd);
        QCOMPARE(sd->directory().absolutePath(), QDir::homePath());  // nothing remembered yet
        QCOMPARE(sd->findChild<QLineEdit*>("fileNameEdit")->text(), QString("bmslist.csv"));
        sd->setDirectory(out);
        static_cast<QDialog*>(sd)->accept();
      }});
      form.AOutCSV->trigger();
      QCOMPARE(first.done, 1u);
    }
    QCOMPARE(ReadFile(out + "/bmslist.csv"), QByteArray("\"x.bms\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));
    QSettings ini(app_->IniPath(), QSettings::IniFormat);
    QCOMPARE(ini.value("Export/Folder").toString(), out + "/");

    TForm1 form;  // a later run
    WriteFile(out + "/bmslist.csv", "keep");
    QString question;
    auto chooseExisting = [&](QWidget* w) {
      auto* sd = qobject_cast<QFileDialog*>(w);
      QVERIFY(sd);
      QCOMPARE(sd->directory().absolutePath(), out);
      static_cast<QDialog*>(sd)->accept();  // the offered name, which exists
    };
    auto answer = [&](QMessageBox::StandardButton button) {
      return [&question, button](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        QVERIFY(box);
        question = box->text();
        box->button(button)->click();
      };
    };
    {
      // "No" goes back to the dialog; cancelling it leaves the file alone.
      ModalSteps steps({chooseExisting, answer(QMessageBox::No), [](QWidget* w) { static_cast<QDialog*>(w)->reject(); }});
      form.AOutCSV->trigger();
      QCOMPARE(steps.done, 3u);
      QVERIFY(question.contains("bmslist.csv"));
      QCOMPARE(ReadFile(out + "/bmslist.csv"), QByteArray("keep"));
    }
    {
      ModalSteps steps({chooseExisting, answer(QMessageBox::Yes)});
      form.AOutCSV->trigger();
      QCOMPARE(steps.done, 2u);
      QCOMPARE(ReadFile(out + "/bmslist.csv"), QByteArray());  // the empty list
    }

    // A remembered folder that has gone: the dialog starts at home.
    QVERIFY(QDir(out).removeRecursively());
    ModalSteps gone({[](QWidget* w) {
      auto* sd = qobject_cast<QFileDialog*>(w);
      QVERIFY(sd);
      QCOMPARE(sd->directory().absolutePath(), QDir::homePath());
      sd->reject();
    }});
    form.AOutCSV->trigger();
    QCOMPARE(gone.done, 1u);
  }

  void headerShowsTheSortDirection() {
    TForm1 form;
    AddRows(form, 3);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QHeaderView* header = form.LV->header();
    QVERIFY(!header->isSortIndicatorShown());  // nothing sorted yet
    auto click = [header](int column) {
      int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
      QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, header->height() / 2));
    };
    struct {
      int column;
      Qt::SortOrder order;
    } clicks[] = {{0, Qt::AscendingOrder}, {0, Qt::DescendingOrder}, {3, Qt::AscendingOrder}, {1, Qt::DescendingOrder}};
    for (const auto& c : clicks) {
      click(c.column);
      QVERIFY(header->isSortIndicatorShown());
      QCOMPARE(header->sortIndicatorSection(), c.column);
      QCOMPARE(header->sortIndicatorOrder(), c.order);
      QCOMPARE(form.List().Tag(), c.order == Qt::AscendingOrder ? 1 : -1);
    }
  }

  void altFOpensTheFileMenu() {
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(form.File1->isVisible());
    form.File1->close();
  }

  void ctrlCCopiesTheSelectedRowAsCsv() {
    TForm1 form;
    ChartList& list = form.List();
    for (const char* name : {"a.bms", "b.bms"}) list.SetCaption(list.Append(), name);
    list.SetSubItem(1, siTitle, Cp(QString::fromUtf8("曲\"名")));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QApplication::clipboard()->setText("before");
    form.LV->setFocus();
    QTest::keyClick(form.LV, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QString("before"));  // nothing selected: nothing copied

    form.LV->setCurrentIndex(form.LV->model()->index(1, 2));
    QTest::keyClick(form.LV, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QString::fromUtf8("\"b.bms\",\"\",\"\",\"曲\"名\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));
  }

  void doubleClickOpensTheArchivesFolder() {
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("file", &recorder, "open");
    TForm1 form;
    ChartList& list = form.List();
    list.SetCaption(list.Append(), "a.bms");
    list.SetSubItem(0, siArcPath, ArchiveFolderOf(app_->Dir()));
    list.SetCaption(list.Append(), "b.bms");
    list.SetSubItem(1, siArcPath, ArchiveFolderOf(app_->Path("gone")));
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    auto doubleClick = [&form](int row) {
      QRect r = form.LV->visualRect(form.LV->model()->index(row, 3));
      // The first click of the pair, which QTest's double click leaves out.
      QTest::mouseClick(form.LV->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
      QTest::mouseDClick(form.LV->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    };
    doubleClick(0);
    QTRY_COMPARE(recorder.opened.size(), 1);
    QCOMPARE(QDir::cleanPath(recorder.opened[0].toLocalFile()), app_->Dir());

    QString boxText;
    ModalSteps box({[&](QWidget* w) {
      auto* b = qobject_cast<QMessageBox*>(w);
      QVERIFY(b);
      boxText = b->text();
      b->button(QMessageBox::Ok)->click();
    }});
    doubleClick(1);
    QTRY_COMPARE(box.done, 1u);
    QVERIFY(boxText.startsWith(QString::fromUtf8("フォルダを開けません: ")));
    QVERIFY(boxText.contains("gone"));
    QCOMPARE(recorder.opened.size(), 1);
    QDesktopServices::unsetUrlHandler("file");
  }

  void newRowsScrollIntoViewUnlessScrolledAway() {
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QScrollBar* bar = form.LV->verticalScrollBar();
    for (int i = 0; i < 60; ++i) {
      AddRows(form, 1);
      QApplication::processEvents();
    }
    QTRY_VERIFY(bar->maximum() > 0);
    QTRY_COMPARE(bar->value(), bar->maximum());
    QRect last = form.LV->visualRect(form.LV->model()->index(59, 0));
    QVERIFY(form.LV->viewport()->rect().contains(last.center()));

    bar->setValue(3);  // the user scrolls up to read
    for (int i = 0; i < 20; ++i) {
      AddRows(form, 1);
      QApplication::processEvents();
    }
    QTest::qWait(50);
    QCOMPARE(bar->value(), 3);

    bar->setValue(bar->maximum());  // and back down: the list follows again
    AddRows(form, 5);
    QTRY_COMPARE(bar->value(), bar->maximum());
    QVERIFY(form.LV->viewport()->rect().contains(form.LV->visualRect(form.LV->model()->index(84, 0)).center()));
  }

  // Last: the translation stays installed for the rest of the process.
  void qtTextsAreJapanese() {
    QVERIFY(InstallQtTranslations(*QCoreApplication::instance()));
    DropProgress strip;
    QPushButton* cancel = strip.findChild<QPushButton*>("cancelDrop");
    QVERIFY(cancel);
    QCOMPARE(cancel->text(), QString::fromUtf8("キャンセル"));
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    QVERIFY(box.button(QMessageBox::No)->text().startsWith(QString::fromUtf8("いいえ")));
  }
};

QTEST_MAIN(EverydayTest)
#include "everyday_test.moc"
