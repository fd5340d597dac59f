// SPDX-License-Identifier: MIT
// The 編集 menu's actions through the session, with real archives and the
// real archiver libraries: what they do to the user's files, and that
// every failure is said and nothing is lost.
#include "session/list_actions.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "charts/csv_export.h"
#include "charts/working_folder.h"
#include "platform/cp932.h"
#include "platform/path_text.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "session/archive_names.h"
#include "session/session.h"
#include "tests/support/files.h"
#include "tests/support/song_archives.h"

namespace fs = std::filesystem;
using test_support::SongFile;

namespace {

class QuietView : public SessionView {
 public:
  std::vector<std::string> problems;  // "archive name: reasons"
  std::function<void(std::size_t)> onArchive;
  void DropStarted(std::size_t) override {}
  void ArchiveStarted(std::size_t i, std::size_t, const std::string&) override {
    if (onArchive) onArchive(i);
  }
  void EntryStarted(const std::string&) override {}
  void ProblemFound(const ArchiveProblem& p) override {
    problems.push_back(platform::Cp932ToUtf8(platform::ExtractFileName(p.archivePath)) + ": " + ProblemReasonsText(p));
  }
  void DropFinished(const DropOutcome&) override {}
  void KeepAlive() override {}
};

class ListActionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::OverrideExecutableDirForTesting(dir_ + "app");
    fs::create_directories(dir_ + "app");
    CreateWorkingFolder();
    session_.bothCores = false;
    // One song in a folder of its own, one with its files at the top.
    ASSERT_TRUE(test_support::MakeArchive(dir_, "alpha.zip",
                                          {{"Alpha/a.bms", "#ARTIST Ann\r\n#TITLE Alpha\r\n"}, {"Alpha/snd/k.wav", "k"}}));
    ASSERT_TRUE(test_support::MakeArchive(dir_, "beta.zip",
                                          {{"b.bms", "#ARTIST Bo/b\r\n#TITLE Be:ta?\r\n"}, {"b.ogg", "o"}}));
  }
  void TearDown() override {
    platform::SetCurrentDirectory("/");
    ReleaseWorkingFolder();
    platform::OverrideExecutableDirForTesting("");
  }
  void DropAndCheckAll(std::vector<std::string> names) {
    for (std::string& n : names) n = dir_ + n;
    session_.Drop(names);
    actions_.CheckAll();
  }
  std::vector<std::string> ArchiveNames() const {
    std::vector<std::string> out;
    for (const ChartRow& r : session_.List().Rows()) out.push_back(r.subItems[siArcName]);
    return out;
  }

  test_support::TempDir tmp_;
  std::string dir_ = tmp_.Path();
  std::string library_ = dir_ + "songs";
  QuietView view_;
  Session session_{view_};
  ListActions actions_{session_};
};

TEST_F(ListActionsTest, InstallMakesOneFolderPerSongAndASecondInstallChangesNothing) {
  DropAndCheckAll({"alpha.zip", "beta.zip"});
  ListActions::InstallTotals first = actions_.InstallChecked(library_);
  EXPECT_EQ(first.installed, 2u);
  EXPECT_EQ(first.written, 4u);
  // The top folder lands as it is; top-level files get a folder named after the archive.
  EXPECT_EQ(test_support::TreeOf(library_),
            (std::vector<std::string>{"Alpha/", "Alpha/a.bms", "Alpha/snd/", "Alpha/snd/k.wav", "beta/", "beta/b.bms",
                                      "beta/b.ogg"}));
  ListActions::InstallTotals again = actions_.InstallChecked(library_);
  EXPECT_EQ(again.written, 0u);
  EXPECT_EQ(again.same, 4u);
  EXPECT_TRUE(view_.problems.empty());

  // A file of the library's own is never overwritten: kept, and said.
  test_support::WriteBytes(library_ + "/beta/b.ogg", "mine");
  ListActions::InstallTotals third = actions_.InstallChecked(library_);
  EXPECT_EQ(third.kept, 1u);
  EXPECT_EQ(test_support::ReadBytes(library_ + "/beta/b.ogg"), "mine");
  ASSERT_EQ(view_.problems.size(), 1u);
  EXPECT_NE(view_.problems[0].find("beta/b.ogg"), std::string::npos) << view_.problems[0];
  // No staging folder is left behind.
  EXPECT_EQ(fs::directory_iterator(library_)->path().filename().string().rfind(".bmslist", 0), std::string::npos);
}

TEST_F(ListActionsTest, InstallFailuresAreSaidPerArchiveAndLoseNothing) {
  DropAndCheckAll({"alpha.zip", "beta.zip"});
  // An archive gone since it was listed.
  fs::rename(dir_ + "beta.zip", dir_ + "moved.zip");
  ListActions::InstallTotals gone = actions_.InstallChecked(library_);
  EXPECT_EQ(gone.installed, 1u);
  EXPECT_EQ(gone.failed, 1u);
  ASSERT_EQ(view_.problems.size(), 1u);
  EXPECT_EQ(view_.problems[0].rfind("beta.zip: ", 0), 0u) << view_.problems[0];
  fs::rename(dir_ + "moved.zip", dir_ + "beta.zip");

  // A library that cannot be: its path runs through a file (read-only
  // folders do not stop root, who runs CI).
  test_support::WriteBytes(dir_ + "plain", "x");
  view_.problems.clear();
  ListActions::InstallTotals refused = actions_.InstallChecked(dir_ + "plain/songs");
  EXPECT_EQ(refused.installed, 0u);
  ASSERT_EQ(view_.problems.size(), 2u);
  EXPECT_NE(view_.problems[0].find("曲フォルダを作れません"), std::string::npos) << view_.problems[0];
}

TEST_F(ListActionsTest, AFullDiskInstallsNothingOfThatArchiveAndLeavesNoStaging) {
  const std::string small = dir_ + "small";
  fs::create_directories(small);
  if (mount("tmpfs", small.c_str(), "tmpfs", 0, "size=24m") != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here (needs root)";
  ASSERT_TRUE(test_support::MakeArchive(dir_, "big.zip",
                                        {{"big.bms", "#TITLE big\r\n"}, {"big.wav", test_support::NoiseBytes(12 << 20, 1)}}));
  DropAndCheckAll({"big.zip", "beta.zip"});
  ListActions::InstallTotals t = actions_.InstallChecked(small);
  EXPECT_EQ(t.installed, 1u);  // beta fits, big does not
  EXPECT_FALSE(fs::exists(small + "/big"));
  EXPECT_TRUE(fs::exists(small + "/beta/b.bms"));
  std::vector<std::string> left;
  for (const auto& e : fs::directory_iterator(small)) left.push_back(e.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"beta"});  // no staging folder left behind
  // The libraries keep 16 MiB of the disk free: 8 MiB of room here.
  ASSERT_EQ(view_.problems.size(), 1u);
  EXPECT_EQ(view_.problems[0], "big.zip: ディスクの空きが足りません");
  umount(small.c_str());
}

TEST_F(ListActionsTest, ACancelDuringAnInstallStopsAfterTheCurrentArchive) {
  DropAndCheckAll({"alpha.zip", "beta.zip"});
  view_.onArchive = [this](std::size_t i) {
    if (i == 0) session_.RequestCancel();
  };
  ListActions::InstallTotals t = actions_.InstallChecked(library_);
  EXPECT_TRUE(t.cancelled);
  EXPECT_EQ(t.installed, 1u);
  EXPECT_TRUE(fs::exists(library_ + "/Alpha/a.bms"));
  EXPECT_FALSE(fs::exists(library_ + "/beta"));
}

TEST_F(ListActionsTest, RenamesFollowTheChartAndCanBeUndone) {
  ASSERT_TRUE(test_support::MakeArchive(dir_, "other.zip", {{"c.bms", "#ARTIST Ann\r\n#TITLE Alpha\r\n"}}));
  test_support::WriteBytes(dir_ + "Ann - Alpha (2).zip", "in the way");
  DropAndCheckAll({"alpha.zip", "beta.zip", "other.zip"});
  EXPECT_EQ(actions_.RenameChecked(), 3u);
  // Characters no file system takes become "_"; a taken name gets a number.
  EXPECT_TRUE(fs::exists(dir_ + "Ann - Alpha.zip"));
  EXPECT_TRUE(fs::exists(dir_ + "Bo_b - Be_ta_.zip"));
  EXPECT_TRUE(fs::exists(dir_ + "Ann - Alpha (3).zip"));
  EXPECT_EQ(test_support::ReadBytes(dir_ + "Ann - Alpha (2).zip"), "in the way");
  EXPECT_EQ(ArchiveNames(), (std::vector<std::string>{"Ann - Alpha.zip", "Bo_b - Be_ta_.zip", "Ann - Alpha (3).zip"}));
  // The rows still lead to their archives: installing works from them.
  EXPECT_EQ(actions_.InstallChecked(library_).installed, 3u);

  EXPECT_TRUE(actions_.CanUndoRename());
  EXPECT_EQ(actions_.UndoRename(), 3u);
  EXPECT_FALSE(actions_.CanUndoRename());
  for (const char* n : {"alpha.zip", "beta.zip", "other.zip"}) EXPECT_TRUE(fs::exists(dir_ + n)) << n;
  EXPECT_EQ(ArchiveNames(), (std::vector<std::string>{"alpha.zip", "beta.zip", "other.zip"}));
}

// Archives whose path CP932 cannot hold (a folder Música/, a name 노래):
// every action reaches them, into a song library CP932 cannot hold either.
TEST_F(ListActionsTest, ActionsReachArchivesWhosePathsCp932CannotHold) {
  fs::create_directories(dir_ + "Música");
  fs::rename(dir_ + "alpha.zip", dir_ + "Música/alpha.zip");
  fs::rename(dir_ + "beta.zip", dir_ + "노래.zip");
  session_.Drop({platform::PathFromUtf8(dir_ + "Música/alpha.zip"), platform::PathFromUtf8(dir_ + "노래.zip")});
  actions_.CheckAll();
  ASSERT_EQ(ArchiveNames(), (std::vector<std::string>{"alpha.zip", "노래.zip"}));
  EXPECT_EQ(session_.List().Row(0).subItems[siArcPath], dir_ + "Música/");

  const std::string library = dir_ + "곡/songs";
  EXPECT_EQ(actions_.InstallChecked(library).installed, 2u);
  EXPECT_TRUE(view_.problems.empty()) << view_.problems[0];
  EXPECT_EQ(test_support::TreeOf(library),
            (std::vector<std::string>{"Alpha/", "Alpha/a.bms", "Alpha/snd/", "Alpha/snd/k.wav", "노래/", "노래/b.bms",
                                      "노래/b.ogg"}));

  EXPECT_EQ(actions_.RenameChecked(), 2u);
  EXPECT_TRUE(fs::exists(dir_ + "Música/Ann - Alpha.zip"));
  EXPECT_TRUE(fs::exists(dir_ + "Bo_b - Be_ta_.zip"));
  EXPECT_EQ(ArchiveNames(), (std::vector<std::string>{"Ann - Alpha.zip", "Bo_b - Be_ta_.zip"}));
  EXPECT_EQ(actions_.UndoRename(), 2u);
  EXPECT_TRUE(fs::exists(dir_ + "노래.zip"));
  EXPECT_EQ(ArchiveNames(), (std::vector<std::string>{"alpha.zip", "노래.zip"}));
  // The trash (whose folder GIO fixes once per process) gets the same path.
  session_.List().SetChecked(0, false);
  EXPECT_EQ(actions_.CheckedArchives(), std::vector<std::string>{platform::PathFromUtf8(dir_ + "노래.zip")});
}

TEST_F(ListActionsTest, TrashMovesTheArchivesToTheDesktopsTrashAndTheirRowsGo) {
  // GIO's home trash, here under the test's folder.
  setenv("XDG_DATA_HOME", (dir_ + "data").c_str(), 1);
  DropAndCheckAll({"alpha.zip", "beta.zip"});
  session_.List().SetChecked(1, false);
  EXPECT_EQ(actions_.CheckedArchives(), std::vector<std::string>{platform::Utf8ToCp932(dir_ + "alpha.zip")});
  EXPECT_EQ(actions_.TrashChecked(), 1u);
  EXPECT_FALSE(fs::exists(dir_ + "alpha.zip"));
  EXPECT_TRUE(fs::exists(dir_ + "data/Trash/files/alpha.zip"));
  EXPECT_TRUE(fs::exists(dir_ + "data/Trash/info/alpha.zip.trashinfo"));
  EXPECT_EQ(ArchiveNames(), std::vector<std::string>{"beta.zip"});
}

TEST_F(ListActionsTest, RowsReadFromAFolderAreNoArchiveToInstallRenameOrTrash) {
  setenv("XDG_DATA_HOME", (dir_ + "data").c_str(), 1);
  fs::create_directories(dir_ + "dropped/song");
  test_support::WriteBytes(dir_ + "dropped/song/s.bms", "#ARTIST Ann\r\n#TITLE Song\r\n");
  fs::copy_file(dir_ + "beta.zip", dir_ + "dropped/beta.zip");
  DropAndCheckAll({"dropped"});
  ASSERT_EQ(ArchiveNames(), (std::vector<std::string>{"song", "beta.zip"}));
  EXPECT_EQ(actions_.CheckedArchives(), std::vector<std::string>{platform::Utf8ToCp932(dir_ + "dropped/beta.zip")});
  const std::size_t before = view_.problems.size();
  EXPECT_EQ(actions_.RenameChecked(), 1u);  // the archive only
  EXPECT_EQ(actions_.TrashChecked(), 1u);
  const ListActions::InstallTotals t = actions_.InstallChecked(library_);
  EXPECT_EQ(t.archives, 0u);
  // Each action says once why the folder's rows were passed over; the
  // folder and its chart are untouched, its row stays.
  ASSERT_EQ(view_.problems.size(), before + 3);
  EXPECT_EQ(view_.problems[before], "song: 名前を変えられません: フォルダから読んだ譜面です (書庫の譜面だけが対象です)");
  EXPECT_NE(view_.problems[before + 1].find("ごみ箱に移せません"), std::string::npos);
  EXPECT_NE(view_.problems[before + 2].find("導入できません"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir_ + "dropped/song/s.bms"));
  EXPECT_FALSE(fs::exists(library_));
  EXPECT_EQ(ArchiveNames(), std::vector<std::string>{"song"});
}

TEST_F(ListActionsTest, APreviewOfARowReadFromAFolderOpensTheChartWhereItLies) {
  fs::create_directories(dir_ + "dropped");
  test_support::WriteBytes(dir_ + "dropped/s.bms", "#TITLE Song\r\n");
  DropAndCheckAll({"dropped"});
  ASSERT_EQ(session_.List().Count(), 1u);
  std::string error;
  ASSERT_TRUE(actions_.Preview(0, "cp %f " + test_support::ShellQuote(dir_ + "opened.bms"), error)) << error;
  for (int i = 0; i < 100 && !fs::exists(dir_ + "opened.bms"); ++i) usleep(20000);
  EXPECT_EQ(test_support::ReadBytes(dir_ + "opened.bms"), "#TITLE Song\r\n");
}

TEST_F(ListActionsTest, RowsRemovedAndAnExportedListReadBack) {
  DropAndCheckAll({"alpha.zip", "beta.zip"});
  actions_.UncheckAll();
  for (CsvOptions csv : {CsvOptions{CsvFormat::kClassic, false}, CsvOptions{CsvFormat::kUtf8, true}}) {
    const std::string file = dir_ + "list.csv";
    WriteChartCsv(session_.List(), platform::FsPath{file}, csv);
    const std::string before = ChartCsvText(session_.List(), csv);
    std::string error;
    EXPECT_EQ(actions_.ImportCsv(file, error), 2u) << error;
    ChartList readBack;
    for (std::size_t i = 2; i < 4; ++i) readBack.AppendRow(session_.List().Row(i));
    EXPECT_EQ(ChartCsvText(readBack, csv), before);
    session_.List().SetChecked(2, true);
    session_.List().SetChecked(3, true);
    EXPECT_EQ(actions_.RemoveCheckedRows(), 2u);
  }
  // Not a list: a clear word and no row.
  test_support::WriteBytes(dir_ + "notes.csv", "name,level\nfoo,3\n");
  std::string error;
  EXPECT_EQ(actions_.ImportCsv(dir_ + "notes.csv", error), 0u);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(session_.List().Count(), 2u);  // the dropped rows, unchecked, stay
  actions_.ClearList();
  EXPECT_EQ(session_.List().Count(), 0u);
}

TEST(ArchiveNames, SafeOnEveryFileSystem) {
  const std::pair<const char*, const char*> cases[] = {
      {"Artist - Title", "Artist - Title"},
      {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
      {"  lead and trail. . ", "lead and trail"},
      {"tab\there", "tab_here"},
      {"CON", "CON_"},
      {"com1.txt", "com1.txt_"},
      {"曲名 ～ 副題", "曲名 ～ 副題"},
      {"Café ☃", "Caf_ _"},  // the list keeps archive names in code page 932
      {"...", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(SafeFileName(in), out) << in;
  EXPECT_LE(SafeFileName(std::string(400, 'x')).size(), 200u);
  EXPECT_EQ(ArchiveExtension("song.tar.gz"), ".tar.gz");
  EXPECT_EQ(ArchiveExtension("song.LZH"), ".LZH");
  EXPECT_EQ(ArchiveExtension("noext"), "");
}

}  // namespace

namespace {

TEST_F(ListActionsTest, ADropDuringAnInstallIsListedAfterIt) {
  DropAndCheckAll({"alpha.zip"});
  bool dropped = false;
  view_.onArchive = [&](std::size_t) {
    if (!dropped) session_.Drop({dir_ + "beta.zip"});  // while the install runs
    dropped = true;
  };
  EXPECT_EQ(actions_.InstallChecked(library_).installed, 1u);
  EXPECT_EQ(ArchiveNames(), (std::vector<std::string>{"alpha.zip", "beta.zip"}));
  EXPECT_FALSE(session_.Busy());
}

}  // namespace
