// SPDX-License-Identifier: MIT
// Archives dropped onto the main window as a file manager drops them (file
// URLs), handled by the drop controller and the real archiver libraries.
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeView>
#include <QUrl>
#include <filesystem>
#include <optional>

#include "charts/chart_list.h"
#include "drivers/arj32.h"
#include "gui/drop_progress.h"
#include "gui/form1.h"
#include "session/status_text.h"
#include "gui/list_status.h"
#include "platform/cp932.h"
#include "platform/dynlib.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "tests/support/files.h"
#include "tests/support/program_folder.h"
#include "tests/support/song_archives.h"

namespace fs = std::filesystem;

class DropTest : public QObject {
  Q_OBJECT

 private:
  test_support::TempDir* tmp_ = nullptr;
  std::optional<test_support::ProgramFolder> program_;
  std::string binDir_;

  QString Path(const std::string& name) { return QString::fromStdString(tmp_->Path() + name); }

  static void DropUrls(TForm1& form, const QStringList& files) {
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const QString& f : files) urls << QUrl::fromLocalFile(f);
    mime->setUrls(urls);
    QPointF pos(form.width() / 2.0, form.height() / 2.0);
    QDragEnterEvent enter(pos.toPoint(), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(pos, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    QVERIFY(drop.isAccepted());
    delete mime;
  }

  // Shows the window with its session set to one archive at a time or not,
  // and hands back the session. The progress handlers some tests set work
  // the window, which only the window's thread may do: one archive at a
  // time keeps the libraries' reports on that thread.
  static Session& Show(TForm1& form, bool oneArchiveAtATime) {
    SessionOptions options = form.Options();
    options.oneArchiveAtATime = oneArchiveAtATime;
    form.ApplyOptions(options);
    form.show();
    return form.DropSession();
  }

  // The second working folder of a drop on two cores holds nothing at its top.
  bool SecondFoldersAreEmpty() {
    for (auto& e : fs::directory_iterator(tmp_->Path() + "app"))
      if (e.is_directory() && e.path().filename().string().rfind("work-", 0) == 0)
        for (auto& inner : fs::directory_iterator(e.path()))
          if (!inner.is_directory()) return false;
    return true;
  }

  // one.zip, two.zip and three.zip, each with one chart named after it.
  bool MakeThreeZips() {
    for (const char* a : {"one.zip", "two.zip", "three.zip"})
      if (!test_support::MakeArchive(tmp_->Path(), a, {{std::string(a) + ".bms", "#TITLE x\r\n"}})) return false;
    return true;
  }

  // The archive `name` in the test's folder, as a drop names it.
  std::string Archive(const std::string& name) const { return platform::Utf8ToCp932(tmp_->Path() + name); }

  static std::vector<std::string> Captions(TForm1& form) {
    std::vector<std::string> out;
    for (const auto& r : form.List().Rows()) out.push_back(r.caption);
    return out;
  }

 private slots:
  void init() {
    binDir_ = platform::ExecutableDir();
    tmp_ = new test_support::TempDir;
    program_.emplace(tmp_->Path() + "app", true);
  }
  void cleanup() {
    program_.reset();
    delete tmp_;
  }

  // A folder dropped with an archive: its charts where they lie, the strip
  // naming each folder as it is read, then the archive inside, then the
  // archive dropped after it.
  void aFolderDroppedWithAnArchive() {
    fs::create_directories(tmp_->Path() + "songs/song");
    test_support::WriteBytes(tmp_->Path() + "songs/song/s.bms", "#TITLE in place\r\n");
    QVERIFY(test_support::MakeArchive(tmp_->Path() + "songs/song/", "inner.zip", {{"i.bms", "#TITLE inner\r\n"}}));
    fs::remove_all(tmp_->Path() + "songs/song/src-inner.zip");
    QVERIFY(test_support::MakeArchive(tmp_->Path(), "after.zip", {{"a.bms", "#TITLE after\r\n"}}));
    TForm1 form;
    Session& drops = Show(form, true);
    auto* archiveLabel = form.findChild<QLabel*>(QStringLiteral("dropArchive"));
    QVERIFY(archiveLabel);
    QStringList shown;
    connect(form.LV->model(), &QAbstractItemModel::rowsInserted, &form, [&] { shown << archiveLabel->text(); });
    DropUrls(form, {Path("songs"), Path("after.zip")});
    QTRY_VERIFY(!drops.Busy() && form.List().Count() == 3);
    QCOMPARE(Captions(form), (std::vector<std::string>{"s.bms", "i.bms", "a.bms"}));
    QCOMPARE(form.List().Row(0).subItems[siArcName], std::string("song"));
    QCOMPARE(shown, (QStringList{"1 / 3  song", "2 / 3  inner.zip", "3 / 3  after.zip"}));
    QVERIFY(drops.Problems().empty());
  }

  // Every format in one drop, one archive at a time and with the next
  // unpacked meanwhile: the same rows in the same order either way.
  void everyFormatDroppedTogetherInOrder_data() {
    QTest::addColumn<bool>("oneAtATime");
    QTest::newRow("one archive at a time") << true;
    QTest::newRow("two cores") << false;
  }
  void everyFormatDroppedTogetherInOrder() {
    QFETCH(bool, oneAtATime);
    const char* archives[] = {"a.lzh", "b.ZIP", "c.cab", "d.arj", "e.tar", "f.tgz", "g.tar.bz2", "h.rar"};
    QStringList files;
    for (const char* a : archives) {
      auto song = test_support::TypicalSong();
      song.pop_back();  // no sound needed here
      QVERIFY2(test_support::MakeArchive(tmp_->Path(), a, song), a);
      files << Path(a);
    }
    files.insert(2, Path("setup.exe"));  // skipped
    fs::copy_file(tmp_->Path() + "a.lzh", tmp_->Path() + "setup.exe");
    TForm1 form;
    Session& drops = Show(form, oneAtATime);
    // The strip names an entry being written, never the archive again (it
    // shows the latest entry a few times a second, so it may still be empty).
    auto* entryLabel = form.findChild<QLabel*>(QStringLiteral("dropEntry"));
    QVERIFY(entryLabel);
    QStringList entriesShown;
    connect(form.LV->model(), &QAbstractItemModel::rowsInserted, &form,
            [&] { entriesShown << entryLabel->text(); });
    QCOMPARE(drops.ChartsRead(), 0);
    DropUrls(form, files);
    QTRY_COMPARE(form.List().Count(), std::size_t{16});
    QTRY_VERIFY(!drops.Busy());
    QCOMPARE(drops.ChartsRead(), 16);
    QVERIFY(!entriesShown.isEmpty());
    for (const QString& shown : entriesShown)
      QVERIFY2(shown.isEmpty() || shown == "a.bms" || shown == "b.BMS" || shown == "readme.txt" || shown == "kick.wav",
               qPrintable(shown));
    for (std::size_t i = 0; i < 8; ++i) {
      QCOMPARE(form.List().Row(2 * i).caption, std::string("a.bms"));
      QCOMPARE(form.List().Row(2 * i + 1).caption, std::string("b.BMS"));
      QCOMPARE(form.List().Row(2 * i).subItems[siArcName], std::string(archives[i]));
      QCOMPARE(form.List().Row(2 * i).subItems[siTitle], test_support::JapaneseTitle());
    }
    QVERIFY(fs::is_empty(tmp_->Path() + "app/work"));
    QVERIFY(SecondFoldersAreEmpty());
    QVERIFY(!form.findChild<DropProgress*>()->isVisible());
    QCOMPARE(form.Status()->ProblemCount(), 0);
  }

  // Names code page 932 cannot hold are dropped like any other: the rows
  // show the archive's name and folder as they are, and sort by them.
  void namesCp932CannotHoldAreListedAsTheyAre() {
    fs::create_directories(tmp_->Path() + "Música");
    QVERIFY(test_support::MakeArchive(tmp_->Path(), "song.lzh", {{"a.bms", "#TITLE x\r\n"}}));
    fs::copy_file(tmp_->Path() + "song.lzh", tmp_->Path() + "노래.lzh");
    fs::copy_file(tmp_->Path() + "song.lzh", tmp_->Path() + "Música/Café.lzh");
    TForm1 form;
    Session& drops = Show(form, false);
    DropUrls(form, {Path("노래.lzh"), Path("Música/Café.lzh"), Path("song.lzh")});
    QTRY_COMPARE(form.List().Count(), std::size_t{3});
    QTRY_VERIFY(!drops.Busy());
    QCOMPARE(form.Status()->ProblemCount(), 0);
    QAbstractItemModel* model = form.LV->model();
    const int nameColumn = siArcName + 1, folderColumn = siArcPath + 1;
    QCOMPARE(model->index(0, nameColumn).data().toString(), QString::fromUtf8("노래.lzh"));
    QCOMPARE(model->index(1, nameColumn).data().toString(), QString::fromUtf8("Café.lzh"));
    QCOMPARE(model->index(1, folderColumn).data().toString(), Path("Música/"));
    QCOMPARE(model->index(2, nameColumn).data().toString(), QString("song.lzh"));
    // The 編集 actions find the archive by the same path.
    QCOMPARE(platform::FsName(RowArchivePath(form.List().Row(1))), tmp_->Path() + "Música/Café.lzh");
    QCOMPARE(form.List().Row(0).subItems[siTitle], std::string("x"));
  }

  // On two cores a Cancel while the first archive's rows come stops before
  // the second, which was unpacked meanwhile: none of its rows appear and
  // nothing of it stays behind.
  void aCancelOnTwoCoresDropsTheArchiveUnpackedAhead() {
    QVERIFY(MakeThreeZips());
    TForm1 form;
    Session& drops = Show(form, false);
    connect(form.LV->model(), &QAbstractItemModel::rowsInserted, &form,
            [&] { form.findChild<QPushButton*>(QStringLiteral("cancelDrop"))->click(); });
    drops.Drop({Archive("one.zip"), Archive("two.zip"), Archive("three.zip")});
    QCOMPARE(Captions(form), std::vector<std::string>{"one.zip.bms"});
    QVERIFY(!drops.Busy());
    QVERIFY(fs::is_empty(tmp_->Path() + "app/work"));
    QVERIFY(SecondFoldersAreEmpty());
  }

  void aDropDuringADropIsQueuedAndCancelStopsAfterTheCurrentArchive() {
    QVERIFY(MakeThreeZips());
    TForm1 form;
    Session& drops = Show(form, true);
    // While the first archive is unpacked, a second drop arrives; after it
    // the user presses Cancel.
    int entries = 0;
    drops.ArchiveFile().OnProgress = [&](TArchiveFile&, int, EXTRACTINGINFOEX*, bool&) {
      if (++entries == 1) {
        drops.Drop({Archive("two.zip")});
        QVERIFY(form.findChild<DropProgress*>()->isVisible());
      }
    };
    drops.Drop({Archive("one.zip")});
    QCOMPARE(Captions(form), (std::vector<std::string>{"one.zip.bms", "two.zip.bms"}));

    drops.ArchiveFile().OnProgress = [&](TArchiveFile&, int, EXTRACTINGINFOEX*, bool&) {
      form.findChild<QPushButton*>(QStringLiteral("cancelDrop"))->click();
    };
    drops.Drop({Archive("three.zip"), Archive("one.zip")});
    QCOMPARE(Captions(form), (std::vector<std::string>{"one.zip.bms", "two.zip.bms", "three.zip.bms"}));
    QVERIFY(fs::is_empty(tmp_->Path() + "app/work"));
  }

  void aMissingLibraryAddsNoRowAndIsSaidInTheStatusBar() {
    QVERIFY(test_support::MakeArchive(tmp_->Path(), "song.arj", test_support::TypicalSong()));
    QVERIFY(test_support::MakeArchive(tmp_->Path(), "song.zip", test_support::TypicalSong()));
    test_support::TempDir empty;
    platform::SetLibrarySearchDirForTesting(empty.Path(), true);
    TArj32::FreeDLL();  // loaded by an earlier test of this process
    TForm1 form;
    Session& drops = form.DropSession();
    form.show();
    drops.Drop({Archive("song.arj")});
    QCOMPARE(form.List().Count(), std::size_t{0});
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(form.Status()->ProblemsText(), QString::fromStdString(ProblemsStatusText(1)));
    platform::SetLibrarySearchDirForTesting(binDir_, false);
    drops.Drop({Archive("song.zip")});
    QCOMPARE(form.List().Count(), std::size_t{2});
    QCOMPARE(form.Status()->ProblemCount(), 1);
  }

  // A Cancel stops that drop only: every later drop runs as the first did.
  void aDropAfterACancelRuns() {
    QVERIFY(MakeThreeZips());
    TForm1 form;
    Session& drops = Show(form, true);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    drops.ArchiveFile().OnProgress = [&](TArchiveFile&, int, EXTRACTINGINFOEX*, bool&) {
      QTest::keyClick(&form, Qt::Key_Escape);
    };
    drops.Drop({Archive("one.zip"), Archive("two.zip")});
    QCOMPARE(Captions(form), std::vector<std::string>{"one.zip.bms"});
    drops.ArchiveFile().OnProgress = nullptr;
    drops.Drop({Archive("two.zip"), Archive("three.zip")});
    QCOMPARE(Captions(form), (std::vector<std::string>{"one.zip.bms", "two.zip.bms", "three.zip.bms"}));
    QVERIFY(!drops.Busy());
  }
};

QTEST_MAIN(DropTest)
#include "drop_test.moc"
