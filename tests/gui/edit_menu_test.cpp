// SPDX-License-Identifier: MIT
// The 編集 menu and the list's context menu of the Qt window on Qt's
// offscreen platform, over real song archives and the real libraries: each
// entry does what the session's action does, and the list and the status
// bar follow.
#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTreeView>
#include <QtTest>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "charts/csv_export.h"
#include "gui/edit_actions.h"
#include "gui/form1.h"
#include "gui/list_status.h"
#include "platform/cp932.h"
#include "session/status_text.h"
#include "tests/support/song_archives.h"
#include "tests/support/window_fixture.h"

namespace fs = std::filesystem;

class EditMenuTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<test_support::AppFolder> app_;
  std::string songs_;  // where the archives lie (file system form, trailing "/")

  // A window with the rows of two song archives, one per song.
  std::unique_ptr<TForm1> FormWithSongs() {
    auto form = std::make_unique<TForm1>();
    form->show();
    form->WMDropFiles({platform::Utf8ToCp932(songs_ + "alpha.zip"), platform::Utf8ToCp932(songs_ + "beta.zip")});
    [&] { QTRY_VERIFY(!form->DropSession().Busy()); }();
    return form;
  }
  std::vector<std::string> ArchiveNames(TForm1& form) {
    std::vector<std::string> names;
    for (const ChartRow& row : form.List().Rows()) names.push_back(row.subItems[siArcName]);
    return names;
  }

 private slots:
  void init() {
    app_ = std::make_unique<test_support::AppFolder>("Test_gui_edit.ini");
    songs_ = app_->Dir().toStdString() + "/songs/";
    fs::create_directories(songs_);
    QVERIFY(test_support::MakeArchive(songs_, "alpha.zip",
                                      {{"Alpha/a.bms", "#ARTIST Ann\r\n#TITLE Alpha\r\n"}, {"Alpha/k.wav", "k"}}));
    QVERIFY(test_support::MakeArchive(songs_, "beta.zip", {{"b.bms", "#ARTIST Bo\r\n#TITLE Beta\r\n"}}));
  }
  void cleanup() { app_.reset(); }

  void theMenuFollowsTheFileMenuAndTheContextMenuHoldsTheSame() {
    TForm1 form;
    EditActions* edit = form.Edit();
    QCOMPARE(form.menuBar()->actions().at(1), edit->Edit1->menuAction());
    QCOMPARE(edit->Edit1->title(), QString::fromUtf8("編集"));
    QCOMPARE(edit->AAllSelection->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    QCOMPARE(edit->AClearSelection->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    QCOMPARE(edit->AReverceCheck->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I));
    QCOMPARE(edit->AdeleteList->shortcut(), QKeySequence(Qt::Key_Delete));
    QCOMPARE(edit->AUndo->shortcut(), QKeySequence(QKeySequence::Undo));
    // Nothing renamed yet: nothing to undo.
    emit edit->Edit1->aboutToShow();
    QVERIFY(!edit->AUndo->isEnabled());
    QVERIFY(edit->AMeltFiles->isEnabled());
  }

  void checksSpaceAndDeleteWorkOnTheList() {
    std::unique_ptr<TForm1> form = FormWithSongs();
    QCOMPARE(form->List().Count(), std::size_t{2});
    form->Edit()->AAllSelection->trigger();
    QTRY_COMPARE(form->Status()->RowsText(), QString::fromStdString(RowsStatusText(2, 2)));
    form->Edit()->AReverceCheck->trigger();
    QTRY_COMPARE(form->Status()->RowsText(), QString::fromStdString(RowsStatusText(2, 0)));
    // Space turns the selected row's check over.
    form->LV->setFocus();
    form->LV->setCurrentIndex(form->LV->model()->index(1, 0));
    QTest::keyClick(form->LV, Qt::Key_Space);
    QVERIFY(form->List().Row(1).checked);
    QVERIFY(!form->List().Row(0).checked);
    // Delete takes the checked rows out of the list and the view; no file goes.
    QTest::keyClick(form->LV, Qt::Key_Delete);
    QCOMPARE(form->List().Count(), std::size_t{1});
    QCOMPARE(form->LV->model()->rowCount(), 1);
    QVERIFY(fs::exists(songs_ + "beta.zip"));
  }

  void installRenameUndoAndTrashFromTheMenu() {
    std::unique_ptr<TForm1> form = FormWithSongs();
    SessionOptions options = form->Options();
    options.songLibrary = app_->Dir().toStdString() + "/library";
    form->ApplyOptions(options);
    form->Edit()->AAllSelection->trigger();

    form->Edit()->AMeltFiles->trigger();
    QVERIFY(fs::exists(options.songLibrary + "/Alpha/a.bms"));
    QVERIFY(fs::exists(options.songLibrary + "/beta/b.bms"));
    QCOMPARE(form->Status()->NoticeText(), QString::fromStdString(InstalledStatusText(2, 3, 0, 0)));

    form->Edit()->AArchveRename->trigger();
    QCOMPARE(ArchiveNames(*form), (std::vector<std::string>{"Ann - Alpha.zip", "Bo - Beta.zip"}));
    QVERIFY(fs::exists(songs_ + "Ann - Alpha.zip"));
    emit form->Edit()->Edit1->aboutToShow();
    QVERIFY(form->Edit()->AUndo->isEnabled());
    form->Edit()->AUndo->trigger();
    QCOMPARE(ArchiveNames(*form), (std::vector<std::string>{"alpha.zip", "beta.zip"}));
    QVERIFY(fs::exists(songs_ + "alpha.zip"));

    // The trash, after a question answered yes; the rows of the archive go.
    qputenv("XDG_DATA_HOME", (app_->Dir() + "/data").toUtf8());
    form->List().SetChecked(0, false);
    test_support::ModalAnswer yes([](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      QVERIFY(box->text().contains(QString::fromStdString(TrashQuestion(1))));
      box->button(QMessageBox::Yes)->click();
    });
    form->Edit()->ADeleteFolder->trigger();
    QVERIFY(yes.seen);
    QCOMPARE(ArchiveNames(*form), std::vector<std::string>{"alpha.zip"});
    QVERIFY(!fs::exists(songs_ + "beta.zip"));
    QVERIFY(fs::exists(app_->Dir().toStdString() + "/data/Trash/files/beta.zip"));
  }

  void anExportedListReadsBackThroughTheFileMenu() {
    std::unique_ptr<TForm1> form = FormWithSongs();
    const QString file = app_->Path("list.csv");
    WriteChartCsv(form->List(), platform::FsPath{file.toStdString()}, {});
    form->ImportCsv(file);
    QCOMPARE(form->List().Count(), std::size_t{4});
    QCOMPARE(form->LV->model()->rowCount(), 4);
    QCOMPARE(form->Status()->NoticeText(), QString::fromStdString(ImportedStatusText(2)));
  }
};

QTEST_MAIN(EditMenuTest)
#include "edit_menu_test.moc"
