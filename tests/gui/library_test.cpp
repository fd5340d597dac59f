// SPDX-License-Identifier: MIT
// The collection in the Qt window: the options window's group (song
// folders, tables, the columns' box), the File menu's table import, and the
// Library, Table and Duplicate columns with the duplicate rows' tint.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "charts/chart_hash.h"
#include "gui/form1.h"
#include "gui/form2.h"
#include "gui/list_status.h"
#include "tests/support/window_fixture.h"

namespace {

using test_support::ModalAnswer;
using test_support::ReadFile;
using test_support::WriteFile;

constexpr char kOwned[] = "#TITLE owned\r\n";

std::string Md5Of(const std::string& bytes) {
  ChartHasher hasher;
  hasher.Update(bytes);
  std::string md5, sha256;
  hasher.Finish(md5, sha256);
  return md5;
}

void AddRow(ChartList& list, const std::string& archive, const std::string& md5) {
  ChartRow row;
  row.caption = "x.bms";
  row.subItems[siArcName] = archive;
  row.md5 = md5;
  auto facts = std::make_shared<ChartFacts>();
  facts->texts = {"7K", "1", "", "150", "150", "1:02", "0", ""};
  row.facts = facts;
  list.AppendRow(row);
}

void OkOrCancel(QWidget* w, bool ok) {
  auto* buttons = w->findChild<QDialogButtonBox*>();
  buttons->button(ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
}

}  // namespace

class LibraryTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test_support::AppFolder> app_;
  QString songs_, header_;

  void MakeFiles() {
    QDir(app_->Dir()).mkpath("songs/pack");
    QDir(app_->Dir()).mkpath("other");
    songs_ = app_->Path("songs");
    WriteFile(app_->Path("songs/pack/a.bms"), kOwned);
    header_ = app_->Path("insane.html");
    WriteFile(header_, R"(<html><head><meta name="bmstable" content="head.json"></head></html>)");
    WriteFile(app_->Path("head.json"), R"({"name": "Insane", "symbol": "★", "data_url": "body.json"})");
    WriteFile(app_->Path("body.json"),
              QByteArray::fromStdString("[{\"md5\": \"" + Md5Of(kOwned) + "\", \"level\": \"12\"}, {\"md5\": \"" +
                                        std::string(32, 'a') + "\", \"level\": \"3\"}]"));
  }

 private slots:
  void init() {
    app_ = std::make_unique<test_support::AppFolder>("Test_gui_library.ini");
    MakeFiles();
  }
  void cleanup() { app_.reset(); }

  void aTableIsImportedFromTheFileMenu() {
    TForm1 form;
    QList<QAction*> entries = form.File1->actions();
    QCOMPARE(entries.indexOf(form.AImportTable) + 1, entries.indexOf(form.AOptions));
    QCOMPARE(form.AImportTable->text(), QString::fromUtf8("難易度表を読み込む..."));
    form.ImportTable(header_);
    QCOMPARE(form.Status()->NoticeText(), QString::fromUtf8("「Insane」を読み込みました (2 件)"));

    // A file that is no table: the reason in a box, nothing stored.
    WriteFile(app_->Path("broken.json"), R"({"name": "Broken", "data_url": "nothing.json"})");
    QString text;
    ModalAnswer box([&](QWidget* w) {
      auto* message = qobject_cast<QMessageBox*>(w);
      if (!message) return;
      text = message->text();
      message->button(QMessageBox::Ok)->click();
    });
    form.ImportTable(app_->Path("broken.json"));
    QVERIFY(box.seen);
    QVERIFY2(text.contains("nothing.json"), qPrintable(text));
    std::string error;
    QCOMPARE(form.Library().Tables(error).size(), std::size_t{1});
  }

  // Folders added and removed, a table removed, the box: nothing stored on
  // Cancel, all of it on OK.
  void theOptionsGroupStoresOnlyWhenConfirmed() {
    TForm1 form;
    TForm2 form2;
    form.Form2 = &form2;
    form.ImportTable(header_);
    const QByteArray before = ReadFile(app_->IniPath());

    auto edit = [&](QWidget* w, bool ok) {
      auto* f = qobject_cast<TForm2*>(w);
      if (!f) return;
      QCOMPARE(f->Tables->topLevelItemCount(), 1);
      QTreeWidgetItem* table = f->Tables->topLevelItem(0);
      QCOMPARE(table->text(0), QString("Insane"));
      QCOMPARE(table->text(1), QString::fromUtf8("★"));
      QCOMPARE(table->text(2), QString("2"));
      QCOMPARE(f->LibraryFolders->count(), 0);
      QVERIFY(f->AddLibraryFolder(songs_));
      QVERIFY(!f->AddLibraryFolder(songs_ + "/"));  // listed already
      QVERIFY(f->AddLibraryFolder(app_->Path("other")));
      QCOMPARE(f->LibraryFolders->count(), 2);
      f->LibraryFolders->setCurrentRow(1);
      f->RemoveFolderButton->click();
      QCOMPARE(f->LibraryFolders->count(), 1);
      f->Tables->setCurrentItem(table);
      f->RemoveTableButton->click();
      QCOMPARE(f->Tables->topLevelItemCount(), 0);
      f->LibraryColumns->setChecked(true);
      OkOrCancel(f, ok);
    };
    {
      ModalAnswer cancel([&](QWidget* w) { edit(w, false); });
      form.AOptions->trigger();
      QVERIFY(cancel.seen);
    }
    QCOMPARE(ReadFile(app_->IniPath()), before);
    QCOMPARE(form.Options(), SessionOptions());
    std::string error;
    QCOMPARE(form.Library().Tables(error).size(), std::size_t{1});
    QCOMPARE(form.LV->model()->columnCount(), 13);

    {
      ModalAnswer ok([&](QWidget* w) { edit(w, true); });
      form.AOptions->trigger();
      QVERIFY(ok.seen);
    }
    QVERIFY(form.Options().libraryColumns);
    QCOMPARE(form.Options().libraryFolders, std::vector<std::string>{QFile::encodeName(songs_).toStdString()});
    QVERIFY(form.Library().Tables(error).empty());
    QVERIFY(form.Library().Scanned());  // the new folder was scanned on OK
    QSettings written(app_->IniPath(), QSettings::IniFormat);
    QCOMPARE(written.value("Options/LibraryColumns").toInt(), 1);
    QCOMPARE(written.value("Options/LibraryFolders").toInt(), 1);
    QCOMPARE(written.value("Options/LibraryFolder1").toString(), songs_);
    QCOMPARE(form.LV->model()->columnCount(), 16);
    QCOMPARE(form.LV->model()->headerData(13, Qt::Horizontal).toString(), QString("Library"));
    QCOMPARE(form.LV->model()->headerData(15, Qt::Horizontal).toString(), QString("Duplicate"));

    // The next start shows the folder and the box as stored.
    TForm1 again;
    TForm2 form2Again;
    again.Form2 = &form2Again;
    ModalAnswer look([&](QWidget* w) {
      auto* f = qobject_cast<TForm2*>(w);
      if (!f) return;
      QVERIFY(f->LibraryColumns->isChecked());
      QCOMPARE(f->LibraryFolders->count(), 1);
      QCOMPARE(f->LibraryFolders->item(0)->text(), songs_);
      f->reject();
    });
    again.AOptions->trigger();
    QVERIFY(look.seen);
  }

  void columnsShowTheCollectionAndDuplicatesAreTinted() {
    TForm1 form;
    form.ImportTable(header_);
    SessionOptions options;
    options.libraryColumns = true;
    options.chartFacts = true;  // without the hash columns: the facts follow the thirteen
    options.csvFormat = CsvFormat::kUtf8;
    options.libraryFolders = {QFile::encodeName(songs_).toStdString()};
    form.ApplyOptions(options);
    AddRow(form.List(), "b.zip", Md5Of(kOwned));
    AddRow(form.List(), "c.zip", std::string(32, 'a'));
    AddRow(form.List(), "a.zip", Md5Of(kOwned));
    form.Library().Refresh();

    QAbstractItemModel* model = form.LV->model();
    QCOMPARE(model->columnCount(), 13 + 8 + 3);
    QCOMPARE(model->data(model->index(0, 13)).toString(), QString("7K"));  // Keys, not a hash
    const int library = 21, table = 22, duplicate = 23;
    QCOMPARE(model->headerData(library, Qt::Horizontal).toString(), QString("Library"));
    const struct {
      int row;
      QString library, table, duplicate;
      bool tinted;
    } rows[] = {
        {0, "pack/a.bms", QString::fromUtf8("★12"), "", false},
        {1, "", QString::fromUtf8("★3"), "", false},
        {2, "pack/a.bms", QString::fromUtf8("★12"), "b.zip", true},
    };
    for (const auto& r : rows) {
      QCOMPARE(model->data(model->index(r.row, library)).toString(), r.library);
      QCOMPARE(model->data(model->index(r.row, table)).toString(), r.table);
      QCOMPARE(model->data(model->index(r.row, duplicate)).toString(), r.duplicate);
      for (int column : {0, 5, library})
        QCOMPARE(model->data(model->index(r.row, column), Qt::BackgroundRole).isValid(), r.tinted);
    }
    QVERIFY(model->data(model->index(2, 1), Qt::ToolTipRole).toString().contains("b.zip"));
    QVERIFY(!model->data(model->index(0, 1), Qt::ToolTipRole).isValid());

    // A click on a collection column sorts by its texts, the other way at
    // the next; Duplicate follows the new order.
    auto archives = [&] {
      QStringList names;
      for (int row = 0; row < 3; ++row) names << model->data(model->index(row, 11)).toString();
      return names;
    };
    form.LVColumnClick(library);
    QCOMPARE(archives(), (QStringList{"c.zip", "b.zip", "a.zip"}));
    QCOMPARE(model->data(model->index(2, duplicate)).toString(), QString("b.zip"));
    form.LVColumnClick(library);
    QCOMPARE(archives(), (QStringList{"b.zip", "a.zip", "c.zip"}));
    QCOMPARE(model->data(model->index(1, duplicate)).toString(), QString("b.zip"));
    QVERIFY(model->data(model->index(1, 0), Qt::BackgroundRole).isValid());
    QVERIFY(!model->data(model->index(2, 0), Qt::BackgroundRole).isValid());
    form.LVColumnClick(duplicate);  // empty first
    QCOMPARE(archives(), (QStringList{"b.zip", "c.zip", "a.zip"}));

    // The export and the clipboard carry the three as the last fields.
    form.ExportCsv(app_->Path("list.csv"));
    const QList<QByteArray> lines = ReadFile(app_->Path("list.csv")).split('\n');
    QVERIFY2(lines[2].endsWith("\"pack/a.bms\",\"\xE2\x98\x85" "12\",\"b.zip\"\r"), lines[2].constData());
    QVERIFY2(lines[1].endsWith("\"\",\"\xE2\x98\x85" "3\",\"\"\r"), lines[1].constData());

    // Hidden again: no columns, no tint.
    options.libraryColumns = false;
    form.ApplyOptions(options);
    QCOMPARE(model->columnCount(), 21);
    QVERIFY(!model->data(model->index(2, 0), Qt::BackgroundRole).isValid());
  }
};

QTEST_MAIN(LibraryTest)
#include "library_test.moc"
