// SPDX-License-Identifier: MIT
// The main window on Qt's offscreen platform, with the program pretending
// to live in a temporary folder so its settings file and "work" land there.
#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTreeWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <QtTest>
#include <functional>
#include <memory>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "gui/error_box.h"
#include "gui/edit_actions.h"
#include "gui/form1.h"
#include "session/status_text.h"
#include "gui/form2.h"
#include "gui/list_status.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/msgwindow.h"
#include "platform/paths.h"
#include "tests/support/fake_archiver.h"
#include "tests/support/window_fixture.h"

namespace {

using test_support::ModalAnswer;
using test_support::ReadFile;
using test_support::WriteFile;

QString U(const std::string& cp932) { return QString::fromStdString(platform::Cp932ToUtf8(cp932)); }
std::string Cp(const char* utf8) { return platform::Utf8ToCp932(utf8); }

// Records an error box's caption and text and presses OK.
struct ErrorBoxSeen {
  QString caption, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  ModalAnswer watcher{[this](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (!box) return;
    caption = box->windowTitle();
    text = box->text();
    icon = box->icon();
    box->button(QMessageBox::Ok)->click();
  }};
};

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test_support::AppFolder> app_;

 private slots:
  void init() {
    app_ = std::make_unique<test_support::AppFolder>("Test_gui.ini");
  }
  void cleanup() {
    QFile::setPermissions(app_->IniPath(), QFile::ReadOwner | QFile::WriteOwner);
    app_.reset();
  }

  void firstStartHasTheDesignedLayout() {
    TForm1 form;
    QCOMPARE(form.ini.Path(), platform::Utf8ToCp932(app_->IniPath().toStdString()));
    QVERIFY(form.windowTitle().startsWith("bmslist "));
    QCOMPARE(form.font().pixelSize(), 12);
    QVERIFY(form.font().families().contains("IPAPGothic"));
    QVERIFY(form.acceptDrops());
    QVERIFY(QFileInfo(app_->Path("work")).isDir());
    QCOMPARE(form.List().Tag(), -1);

    const char* captions[] = {"Filename", "Artist", "Genre", "Title",  "Difficulty", "Player", "BPM",
                              "MIDI",     "WAV",    "BGA",   "Date",   "ArcName",    "ArcPath"};
    const Qt::Alignment horizontal[] = {Qt::AlignLeft,    Qt::AlignLeft,    Qt::AlignLeft,  Qt::AlignLeft,
                                        Qt::AlignRight,   Qt::AlignRight,   Qt::AlignRight, Qt::AlignHCenter,
                                        Qt::AlignHCenter, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignLeft,
                                        Qt::AlignLeft};
    QAbstractItemModel* model = form.LV->model();
    QCOMPARE(model->columnCount(), 13);
    form.List().Append();
    for (int c = 0; c < 13; ++c) {
      QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), QString(captions[c]));
      auto cell = model->data(model->index(0, c), Qt::TextAlignmentRole).value<Qt::Alignment>();
      auto head = model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
      QCOMPARE(cell & Qt::AlignHorizontal_Mask, horizontal[c]);
      QCOMPARE(head & Qt::AlignHorizontal_Mask, horizontal[c]);
      QCOMPARE(form.LV->columnWidth(c), 50);
    }
    QVERIFY(model->flags(model->index(0, 0)) & Qt::ItemIsEditable);
    QVERIFY(model->flags(model->index(0, 0)) & Qt::ItemIsUserCheckable);
    QVERIFY(!(model->flags(model->index(0, 1)) & Qt::ItemIsEditable));
    QCOMPARE(form.LV->selectionMode(), QAbstractItemView::SingleSelection);

    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.frameGeometry(), QRect(10, 10, 633, 378));
  }

  void existingWorkFolderIsNoProblem() {
    QVERIFY(QDir(app_->Dir()).mkdir("work"));
    WriteFile(app_->Path("work/keep.bms"), "x");
    TForm1 form;
    QCOMPARE(ReadFile(app_->Path("work/keep.bms")), QByteArray("x"));
  }

  void fileAndEditMenusHoldTheirEntries() {
    TForm1 form;
    QCOMPARE(form.menuBar()->actions().size(), 2);
    QCOMPARE(form.menuBar()->actions()[1], form.Edit()->Edit1->menuAction());
    QCOMPARE(form.File1->title(), U("\x83\x74\x83\x40\x83\x43\x83\x8b"));  // ファイル
    QList<QAction*> entries = form.File1->actions();
    QCOMPARE(entries.size(), 8);
    QCOMPARE(entries[0], form.AOpen);  // the entry to open archives without a drop
    QVERIFY(entries[1]->isSeparator());
    QCOMPARE(entries[2], form.AreadCSV);
    QCOMPARE(entries[3], form.AOutCSV);
    QCOMPARE(entries[4], form.AImportTable);
    QCOMPARE(entries[5], form.AOptions);
    QVERIFY(entries[6]->isSeparator());
    QCOMPARE(entries[7], form.AQuit);
    QCOMPARE(form.AOptions->text(), QString::fromUtf8("オプション..."));
    QCOMPARE(form.AreadCSV->text(), QString::fromUtf8("CSV追加読込"));
    QCOMPARE(form.AOutCSV->text(), QString::fromUtf8("一覧をCSVで出力"));
    QCOMPARE(form.AQuit->text(), QString::fromUtf8("終了"));
    for (QAction* a : {form.AreadCSV, form.AOutCSV, form.AQuit}) QVERIFY(!a->icon().isNull());

    // Every entry does something now: none is greyed.
    for (QAction* a : entries) QVERIFY(a->isSeparator() || a->isEnabled());

    form.show();
    form.AQuit->trigger();  // closes the window as the close box does
    QVERIFY(!form.isVisible());
  }

  void widthsComeBackAndMissingKeysKeepFifty() {
    WriteFile(app_->IniPath(), "[Clumns]\nWidth1=80\nWidth5=$78\nWidth7=abc\nWidth12=0\nWidth3=-4\n");
    TForm1 form;
    const int expected[] = {50, 80, 50, 50, 50, 120, 50, 50, 50, 50, 50, 50, 0};
    for (int c = 0; c < 13; ++c) QCOMPARE(form.LV->columnWidth(c), expected[c]);
    form.LV->setColumnWidth(2, 33);  // as if dragged
    form.show();
    QVERIFY(form.close());
    TForm1 again;
    QCOMPARE(again.LV->columnWidth(2), 33);
    QCOMPARE(again.LV->columnWidth(1), 80);
    QCOMPARE(again.LV->columnWidth(12), 0);
  }

  void placementRoundTrips_data() {
    QTest::addColumn<int>("show");
    QTest::newRow("normal") << 1;
    QTest::newRow("maximised") << 3;
  }
  void placementRoundTrips() {
    QFETCH(int, show);
    WriteFile(app_->IniPath(), QString("[Forms]\nProperty.Show=%1\nProperty.X=40\nProperty.Y=50\n"
                                 "Property.XSize=540\nProperty.YSize=350\n")
                             .arg(show)
                             .toLatin1());
    {
      TForm1 form;
      form.show();
      QVERIFY(QTest::qWaitForWindowExposed(&form));
      QCOMPARE(form.isMaximized(), show == 3);
      if (show != 3) QCOMPARE(form.frameGeometry(), QRect(40, 50, 500, 300));
      QVERIFY(form.close());
    }
    QSettings written(app_->IniPath(), QSettings::IniFormat);
    QCOMPARE(written.value("Forms/Property.Show").toInt(), show);
    QCOMPARE(written.value("Forms/Property.X").toInt(), 40);
    QCOMPARE(written.value("Forms/Property.Y").toInt(), 50);
    QCOMPARE(written.value("Forms/Property.XSize").toInt(), 540);
    QCOMPARE(written.value("Forms/Property.YSize").toInt(), 350);
    if (show == 3) {
      // Restoring the maximised window gives back its normal rectangle.
      TForm1 form;
      form.show();
      QVERIFY(QTest::qWaitForWindowExposed(&form));
      form.showNormal();
      QTRY_COMPARE(form.frameGeometry(), QRect(40, 50, 500, 300));
    }
  }

  void firstCloseWritesWidthsThenPlacement() {
    {
      TForm1 form;
      form.show();
      QVERIFY(form.close());
    }
    QList<QByteArray> lines = ReadFile(app_->IniPath()).split('\n');
    QList<QByteArray> keys;
    for (const QByteArray& l : lines)
      if (!l.isEmpty()) keys << l.left(l.indexOf('=') < 0 ? l.size() : l.indexOf('='));
    QList<QByteArray> expected{"[Clumns]"};
    for (int i = 0; i < 13; ++i) expected << "Width" + QByteArray::number(i);
    expected << "[Forms]" << "Property.Flags" << "Property.Show" << "Property.MaxX" << "Property.MaxY"
             << "Property.X" << "Property.Y" << "Property.XSize" << "Property.YSize";
    QCOMPARE(keys, expected);
  }

  void refusedSettingsWriteShowsTheErrorAndStillCloses() {
    WriteFile(app_->IniPath(), "[Clumns]\nWidth0=50\n");
    QVERIFY(QFile::setPermissions(app_->IniPath(), QFile::ReadOwner | QFile::ReadGroup));
    TForm1 form;
    form.show();
    ErrorBoxSeen box;
    QVERIFY(form.close());
    QVERIFY(box.watcher.seen);
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.caption, QString("test_gui"));
    QCOMPARE(box.text, app_->IniPath() + QString::fromUtf8(" に書き込めません."));
    QCOMPARE(ReadFile(app_->IniPath()), QByteArray("[Clumns]\nWidth0=50\n"));
  }

  void rowsShowAndCaptionEditsInPlace() {
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    ChartList& list = form.List();
    std::size_t r = list.Append();
    list.SetCaption(r, "a.bms");
    list.SetSubItem(r, siTitle, Cp("曲名"));
    QAbstractItemModel* model = form.LV->model();
    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(model->data(model->index(0, 3)).toString(), QString::fromUtf8("曲名"));

    form.LV->setCurrentIndex(model->index(0, 0));
    form.LV->edit(model->index(0, 0));
    auto* editor = form.LV->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->setText(QString::fromUtf8("新しい名前.bms"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(list.Row(0).caption, Cp("新しい名前.bms"));  // the view commits from the event loop
    QCOMPARE(list.Row(0).subItems[siTitle], Cp("曲名"));

    model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole);
    QVERIFY(list.Row(0).checked);
  }

  void headerValuesShowInTheirChartsEncoding() {
    TForm1 form;
    ChartList& list = form.List();
    ChartRow row;
    row.caption = Cp("曲.bms");
    row.subItems[siTitle] = "山田の曲";                          // UTF-8 bytes as read
    row.subItems[siArtist] = "\xB1\xE8\xC3\xB6\xBC\xF6";       // 김철수 in EUC-KR
    row.subItems[siWav] = "\x81\x9B";                          // the mark stays CP932
    row.encoding = platform::TextEncoding::kUtf8;
    list.SetRow(list.Append(), row);
    row.encoding = platform::TextEncoding::kCp949;
    row.subItems[siTitle] = "\xB3\xEB\xB7\xA1";                  // 노래
    list.SetRow(list.Append(), row);
    QAbstractItemModel* model = form.LV->model();
    auto text = [model](int r, int c) { return model->data(model->index(r, c)).toString(); };
    QCOMPARE(text(0, 3), QString::fromUtf8("山田の曲"));
    QCOMPARE(text(1, 1), QString::fromUtf8("김철수"));
    QCOMPARE(text(1, 3), QString::fromUtf8("노래"));
    QCOMPARE(text(0, 8), QString::fromUtf8("○"));
    QCOMPARE(text(0, 0), QString::fromUtf8("曲.bms"));

    // Always CP932: the bytes as the window has always shown them.
    SessionOptions options;
    options.displayEncoding = DisplayEncoding::kCp932;
    QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
    form.ApplyOptions(options);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(text(0, 3), U("山田の曲"));
    QCOMPARE(text(0, 8), QString::fromUtf8("○"));

    // The caption is CP932 whatever the values are in, so an edit keeps working.
    form.ApplyOptions(SessionOptions());
    QVERIFY(model->setData(model->index(1, 0), QString::fromUtf8("新しい名前.bms"), Qt::EditRole));
    QCOMPARE(list.Row(1).caption, Cp("新しい名前.bms"));
    QCOMPARE(text(1, 0), QString::fromUtf8("新しい名前.bms"));
    QCOMPARE(text(1, 1), QString::fromUtf8("김철수"));
  }

  void hashColumnsFollowTheThirteenAndSort() {
    TForm1 form;
    ChartList& list = form.List();
    for (const char* h : {"bb", "aa", "cc"}) {
      ChartRow row;
      row.caption = std::string(h) + ".bms";
      row.md5 = h;
      row.sha256 = std::string(h) + h;
      list.SetRow(list.Append(), row);
    }
    QAbstractItemModel* model = form.LV->model();
    QCOMPARE(model->columnCount(), 13);
    SessionOptions options;
    options.hashColumns = true;
    form.ApplyOptions(options);
    QCOMPARE(model->columnCount(), 15);
    QCOMPARE(model->headerData(13, Qt::Horizontal).toString(), QString("MD5"));
    QCOMPARE(model->headerData(14, Qt::Horizontal).toString(), QString("SHA-256"));
    QCOMPARE(form.LV->columnWidth(13), 230);
    QCOMPARE(model->data(model->index(0, 14)).toString(), QString("bbbb"));
    form.LVColumnClick(13);
    QCOMPARE(list.Row(0).caption, std::string("aa.bms"));
    QCOMPARE(list.Row(2).caption, std::string("cc.bms"));
    form.ApplyOptions(SessionOptions());
    QCOMPARE(model->columnCount(), 13);
  }

  // The options window from the File menu: confirming applies the options and
  // stores them in a section of their own; a restart reads them back;
  // cancelling changes nothing.
  void optionsWindowRoundTripsThroughTheSettingsFile() {
    SessionOptions chosen;
    {
      TForm1 form;
      TForm2 form2;
      form.Form2 = &form2;
      QCOMPARE(form2.windowTitle(), QString::fromUtf8("オプション"));
      QCOMPARE(form.Options(), SessionOptions());
      bool showedDefaults = false;
      ModalAnswer dialog([&](QWidget* w) {
        auto* f = qobject_cast<TForm2*>(w);
        if (!f) return;
        showedDefaults = f->ChartFiles->currentIndex() == 0 && !f->HashColumns->isChecked() &&
                         !f->ChartsOnly->isChecked() &&
                         f->CsvFormatBox->currentIndex() == 0 && f->DisplayEncodingBox->currentIndex() == 0 &&
                         f->UnpackAhead->isChecked() && f->FolderArchives->isChecked();
        f->UnpackAhead->setChecked(false);
        f->FolderArchives->setChecked(false);
        f->ChartFiles->setCurrentIndex(1);
        f->HashColumns->setChecked(true);
        f->ChartFacts->setChecked(true);
        f->ChartsOnly->setChecked(true);
        f->CsvFormatBox->setCurrentIndex(1);
        f->DisplayEncodingBox->setCurrentIndex(1);
        f->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
      });
      form.AOptions->trigger();
      QVERIFY(dialog.seen);
      QVERIFY(showedDefaults);
      chosen = form.Options();
      QVERIFY(chosen.allChartExtensions && chosen.hashColumns && chosen.chartsOnly);
      QVERIFY(form.Options().ScanOptions().chartsOnly);
      QCOMPARE(chosen.csvFormat, CsvFormat::kUtf8);
      QCOMPARE(chosen.displayEncoding, DisplayEncoding::kCp932);
      QVERIFY(chosen.oneArchiveAtATime && !chosen.BothCores());
      QCOMPARE(form.Options().ScanOptions().extensions,
               (std::vector<std::string>{"bms", "bme", "bml", "pms", "bmson"}));
      QVERIFY(chosen.chartFacts && form.Options().ScanOptions().facts);
      QVERIFY(!chosen.folderArchives && !form.Options().ScanOptions().folderArchives);
      QCOMPARE(form.LV->model()->columnCount(), 23);
      QCOMPARE(form.LV->model()->headerData(15, Qt::Horizontal).toString(), QString("Keys"));
      QSettings written(app_->IniPath(), QSettings::IniFormat);
      for (const char* key :
           {"ChartFiles", "HashColumns", "ChartsOnly", "CsvFormat", "DisplayEncoding", "OneArchiveAtATime", "ChartFacts"})
        QCOMPARE(written.value(QString("Options/") + key).toInt(), 1);
      QCOMPARE(written.value("Options/FolderArchives").toInt(), 0);

      // Cancel: neither the window nor the file changes.
      QByteArray before = ReadFile(app_->IniPath());
      ModalAnswer cancel([](QWidget* w) {
        auto* f = qobject_cast<TForm2*>(w);
        if (!f) return;
        f->HashColumns->setChecked(false);
        f->reject();
      });
      form.AOptions->trigger();
      QVERIFY(cancel.seen);
      QCOMPARE(form.Options(), chosen);
      QCOMPARE(ReadFile(app_->IniPath()), before);
      form.LV->setColumnWidth(14, 321);
      form.LV->setColumnWidth(21, 77);  // Missing
      QVERIFY(form.close());
    }
    TForm1 again;
    QCOMPARE(again.Options(), chosen);
    QCOMPARE(again.LV->model()->columnCount(), 23);
    QCOMPARE(again.LV->columnWidth(14), 321);
    QCOMPARE(again.LV->columnWidth(21), 77);

    // The UTF-8 CSV is what the export writes now.
    ChartList& list = again.List();
    ChartRow row;
    row.caption = "x.bms";
    row.subItems[siTitle] = "a\"b";
    row.md5 = "m";
    row.sha256 = "s";
    auto facts = std::make_shared<ChartFacts>();
    facts->texts = {"7K", "1", "", "150", "150", "1:02", "2", ""};
    facts->missingNames = {"a.wav", "\x8B\xC8.ogg"};  // as the chart writes them: 曲.ogg in Shift-JIS
    row.facts = facts;
    list.SetRow(list.Append(), row);
    again.ExportCsv(app_->Path("u.csv"));
    QCOMPARE(ReadFile(app_->Path("u.csv")),
             QByteArray("\xEF\xBB\xBF\"x.bms\",\"\",\"\",\"a\"\"b\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"m\",\"s\","
                        "\"7K\",\"1\",\"\",\"150\",\"150\",\"1:02\",\"2\",\"\"\r\n"));
    // The Missing count's tooltip names the files.
    QAbstractItemModel* model = again.LV->model();
    QCOMPARE(model->data(model->index(0, 21), Qt::ToolTipRole).toString(), QString::fromUtf8("a.wav\n\xE6\x9B\xB2.ogg"));
    QVERIFY(!model->data(model->index(0, 20), Qt::ToolTipRole).isValid());
  }

  void settingsOutOfRangeGiveTheDefaults() {
    WriteFile(app_->IniPath(), "[Options]\nChartFiles=2\nHashColumns=-1\nCsvFormat=x\nDisplayEncoding=1\n");
    TForm1 form;
    SessionOptions expected;
    expected.displayEncoding = DisplayEncoding::kCp932;
    QCOMPARE(form.Options(), expected);
  }

  // Sections "Clumns" and "Forms" are written exactly as without options.
  void clumnsAndFormsStayByteForByte() {
    auto closeAndRead = [this]() -> QByteArray {
      {
        TForm1 form;
        form.show();
        if (!form.close()) return {};
      }
      return ReadFile(app_->IniPath());
    };
    const QByteArray plain = closeAndRead();
    QVERIFY(!plain.contains("[Options]"));
    QVERIFY(QFile::remove(app_->IniPath()));
    {
      TForm1 form;
      SessionOptions options;
      options.hashColumns = true;
      options.csvFormat = CsvFormat::kUtf8;
      WriteSessionOptions(form.ini, options);
    }
    QByteArray withOptions = closeAndRead();
    int at = withOptions.indexOf("[Clumns]");
    QVERIFY(at > 0);
    QCOMPARE(withOptions.mid(at), plain);
    QVERIFY(withOptions.left(at).startsWith("[Options]"));
  }

  // A drop adds rows without returning to the event loop: rows in sight
  // must be drawn as they come, rows out of sight must cost no drawing.
  void rowsInSightAreDrawnAtOnce() {
    TForm1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QApplication::processEvents();
    struct PaintCounter : QObject {
      int paints = 0;
      bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint;
        return false;
      }
    } counter;
    form.LV->viewport()->installEventFilter(&counter);
    ChartList& list = form.List();
    list.SetCaption(list.Append(), "first.bms");
    QVERIFY(counter.paints > 0);
    for (int i = 0; i < 200; ++i) list.Append();
    counter.paints = 0;
    list.SetCaption(190, "far below.bms");
    QCOMPARE(counter.paints, 0);
  }

  void headerClickSortsThroughTheList() {
    TForm1 form;
    ChartList& list = form.List();
    for (const char* name : {"b.bms", "c.bms", "a.bms"}) list.SetCaption(list.Append(), name);
    QHeaderView* header = form.LV->header();
    QVERIFY(!header->isSortIndicatorShown());
    emit header->sectionClicked(0);
    QCOMPARE(list.Tag(), 1);
    QAbstractItemModel* model = form.LV->model();
    QCOMPARE(model->data(model->index(0, 0)).toString(), QString("a.bms"));
    QCOMPARE(model->data(model->index(2, 0)).toString(), QString("c.bms"));
    emit header->sectionClicked(0);
    QCOMPARE(list.Tag(), -1);
    QCOMPARE(model->data(model->index(0, 0)).toString(), QString("c.bms"));
    // Rows added after a sort come at the end.
    list.SetCaption(list.Append(), "0.bms");
    QCOMPARE(model->data(model->index(3, 0)).toString(), QString("0.bms"));
  }

  void droppedFilesReachTheHandlerInOrder() {
    TForm1 form;
    std::vector<std::vector<std::string>> calls;
    form.onDropFiles = [&](const std::vector<std::string>& paths) { calls.push_back(paths); };

    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile("/songs/b.lzh"), QUrl("https://example.com/x.zip"),
                  QUrl::fromLocalFile(QString::fromUtf8("/曲/a.zip"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    QTRY_COMPARE(calls.size(), 1u);
    QCOMPARE(calls[0], (std::vector<std::string>{"/songs/b.lzh", Cp("/曲/a.zip")}));

    QMimeData web;
    web.setUrls({QUrl("https://example.com/x.zip")});
    QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    refused.ignore();
    QApplication::sendEvent(&form, &refused);
    QVERIFY(!refused.isAccepted());
  }

  // The window over described archives (no archiver library): rows appear
  // in drop order, the strip names entries as they are written, and the
  // working folder is emptied.
  void describedArchivesFillTheListThroughTheWindow() {
    const std::string dir = platform::Utf8ToCp932(app_->Dir().toStdString()) + "/";
    test_support::FakeArchives archives;
    archives.Add(dir + "one.lzh", {{{"b.bms", "#TITLE bee\r\n"}, {"a.bms", "#TITLE ay\r\n"}}});
    archives.Add(dir + "two.zip", {{{"c.bms", "#TITLE sea\r\n"}, {"note.txt", "x"}}, atZip});
    TForm1 form;
    // The progress handler below reads the strip, which only the window's
    // thread may: one archive at a time keeps the reports on that thread.
    SessionOptions serial = form.Options();
    serial.oneArchiveAtATime = true;
    form.ApplyOptions(serial);
    Session& drops = form.DropSession();
    drops.ArchiveFile().SetDriverSource(archives.Source());
    auto* entryLabel = form.findChild<QLabel*>(QStringLiteral("dropEntry"));
    QVERIFY(entryLabel);
    QStringList entriesShown;
    auto showProgress = drops.ArchiveFile().OnProgress;
    drops.ArchiveFile().OnProgress = [&](TArchiveFile& af, int state, EXTRACTINGINFOEX* info, bool& abort) {
      showProgress(af, state, info, abort);
      if (state == ARCEXTRACT_BEGIN) entriesShown << entryLabel->text();
    };
    form.show();
    drops.Drop({dir + "one.lzh", dir + "two.zip"});
    QTRY_VERIFY(!drops.Busy());
    QCOMPARE(form.List().Count(), std::size_t{3});
    QCOMPARE(form.List().Row(0).caption, std::string("a.bms"));
    QCOMPARE(form.List().Row(1).subItems[siTitle], std::string("bee"));
    QCOMPARE(form.List().Row(2).subItems[siArcName], std::string("two.zip"));
    // The strip shows the latest entry a few times a second, never the
    // archive's own name.
    QCOMPARE(entriesShown.size(), 4);
    for (const QString& shown : entriesShown)
      QVERIFY2(shown.isEmpty() || QStringList({"b.bms", "a.bms", "c.bms", "note.txt"}).contains(shown), qPrintable(shown));
    QCOMPARE(QDir(app_->Path("work")).entryList(QDir::Files), QStringList{});
  }

  void namesCp932CannotHoldGoOnAsUtf8Paths() {
    TForm1 form;
    form.show();
    std::vector<std::string> got;
    form.onDropFiles = [&](const std::vector<std::string>& paths) { got = paths; };
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromUtf8("/s/\xF0\x9F\x98\x80.zip")), QUrl::fromLocalFile("/s/ok.zip")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);  // a drop always follows an enter
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    // Neither left out nor "?" in place of the character: the marked UTF-8 path.
    QTRY_COMPARE(got, (std::vector<std::string>{"\xFF/s/\xF0\x9F\x98\x80.zip", "/s/ok.zip"}));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(form.Status()->ProblemCount(), 0);
  }

  void statusBarCountsRowsAndCheckedRows() {
    TForm1 form;
    form.show();
    QTRY_COMPARE(form.Status()->RowsText(), QString::fromStdString(RowsStatusText(0, 0)));
    ChartList& list = form.List();
    for (int i = 0; i < 3; ++i) list.SetCaption(list.Append(), "x.bms");
    QAbstractItemModel* model = form.LV->model();
    model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole);
    QTRY_COMPARE(form.Status()->RowsText(), QString::fromStdString(RowsStatusText(3, 1)));
    QVERIFY(form.statusBar()->isVisible());
    QVERIFY(!form.findChild<QPushButton*>("problemCount")->isVisible());
  }

  // A damaged or foreign settings file must not make a window larger than
  // the screen, nor put it out of reach; what comes back is what was shown.
  void aHugeOrFarPlacementIsFittedToTheScreen() {
    const QRect avail = QGuiApplication::primaryScreen()->availableGeometry();
    struct {
      const char* keys;
    } cases[] = {
        {"Property.X=0\nProperty.Y=0\nProperty.XSize=32767\nProperty.YSize=32767\n"},
        {"Property.X=-40000\nProperty.Y=90000\nProperty.XSize=-39500\nProperty.YSize=90300\n"},
        {"Property.X=5000\nProperty.Y=5000\nProperty.XSize=5400\nProperty.YSize=5300\n"},
    };
    for (const auto& c : cases) {
      WriteFile(app_->IniPath(), QByteArray("[Forms]\nProperty.Show=1\n") + c.keys);
      {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY2(avail.contains(form.frameGeometry()), c.keys);
        QVERIFY(form.close());
      }
      QSettings written(app_->IniPath(), QSettings::IniFormat);
      QRect saved(QPoint(written.value("Forms/Property.X").toInt(), written.value("Forms/Property.Y").toInt()),
                  QPoint(written.value("Forms/Property.XSize").toInt() - 1,
                         written.value("Forms/Property.YSize").toInt() - 1));
      QVERIFY2(avail.contains(saved), c.keys);
    }
  }

  // Twenty-one keys, one replacement of the file (each write replaces it
  // by a rename into the folder).
  void aCloseWritesTheSettingsFileOnce() {
    TForm1 form;
    form.show();
    int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    QVERIFY(fd >= 0);
    QVERIFY(inotify_add_watch(fd, QFile::encodeName(app_->Dir()).constData(), IN_MOVED_TO | IN_CLOSE_WRITE) >= 0);
    QVERIFY(form.close());
    int writes = 0;
    alignas(inotify_event) char buf[8192];
    for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;)
      for (char* p = buf; p < buf + n; p += sizeof(inotify_event) + reinterpret_cast<inotify_event*>(p)->len) {
        auto* e = reinterpret_cast<inotify_event*>(p);
        if ((e->mask & IN_MOVED_TO) && e->len && QString(e->name) == "Test_gui.ini") ++writes;
      }
    close(fd);
    QCOMPARE(writes, 1);
  }

  void csvExportGoesThroughTheDialogAndReportsErrors() {
    TForm1 form;
    ChartList& list = form.List();
    list.SetCaption(list.Append(), "x.bms");
    ModalAnswer dialog([this](QWidget* w) {
      auto* sd = qobject_cast<QFileDialog*>(w);
      if (!sd) return;
      sd->setDirectory(app_->Dir());
      sd->findChild<QLineEdit*>("fileNameEdit")->setText("list");  // the dialog adds ".csv"
      static_cast<QDialog*>(sd)->accept();  // QFileDialog's own accept: reads the typed name
    });
    form.AOutCSV->trigger();
    QVERIFY(dialog.seen);
    QCOMPARE(ReadFile(app_->Path("list.csv")), QByteArray("\"x.bms\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));
    QCOMPARE(form.sd->nameFilters(), QStringList{"CSV(*.csv)"});
    QVERIFY(!form.sd->testOption(QFileDialog::DontConfirmOverwrite));  // asks before replacing a file

    // A folder that is not there: the error box, and the list as it was.
    ErrorBoxSeen box;
    form.ExportCsv(app_->Path("no-such-folder/list.csv"));
    QVERIFY(box.watcher.seen);
    QCOMPARE(box.text, QString::fromUtf8("不正なファイル名です."));
    QCOMPARE(list.Count(), 1u);
  }

  void handleAnswersZeroAndBringsTheWindowForward() {
    TForm1 form;
    form.show();
    QVERIFY(platform::IsWindow(form.Handle()));
    QCOMPARE(platform::SendMessage(form.Handle(), platform::RegisterWindowMessage("wm_arcextract"), 1, 2),
             std::intptr_t{0});
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());
    QVERIFY(platform::SetForegroundWindow(form.Handle()));
    QTRY_VERIFY(form.isActiveWindow());
  }

  void errorBoxTextEndsWithAPoint() {
    struct {
      std::string in, out;
    } cases[] = {
        {"abc", "abc."},
        {"abc.", "abc."},
        {"I/O \x83\x47\x83\x89\x81\x5b (5)", "I/O \x83\x47\x83\x89\x81\x5b (5)"},  // ")" sorts before "."
        {"x!", "x!"},
        {"", ""},
        {"\x8f\x49\x97\xb9", "\x8f\x49\x97\xb9."},  // Japanese always gets one
        {"a/", "a/."},
    };
    for (const auto& c : cases) QCOMPARE(ErrorBoxText(c.in), c.out);
    QCOMPARE(ApplicationTitle(), std::string("test_gui"));
  }
};

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
