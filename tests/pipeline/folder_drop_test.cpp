// SPDX-License-Identifier: MIT
// Dropped folders: charts read where they lie, folder by folder, then the
// archives inside, through the real archiver libraries.
#include <unistd.h>

#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "charts/chart_list.h"
#include "charts/drop_pipeline.h"
#include "charts/folder_walk.h"
#include "charts/working_folder.h"
#include "drivers/archive_file.h"
#include "platform/cp932.h"
#include "tests/support/files.h"
#include "tests/support/program_folder.h"
#include "tests/support/song_archives.h"

namespace fs = std::filesystem;
using test_support::MakeArchive;
using test_support::WriteBytes;

namespace {

class FolderDropTest : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.emplace(tmp_.Path() + "app", true);
    CreateWorkingFolder();
    ApplyMainWindowSettings(af_);
    window_ = platform::CreateMessageWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; });
  }
  void TearDown() override {
    platform::DestroyMessageWindow(window_);
    program_.reset();
  }

  // A chart file (UTF-8 path below the scratch folder) with its title.
  void Chart(const std::string& path, const std::string& title) {
    fs::create_directories(fs::path(Here(path)).parent_path());
    WriteBytes(Here(path), "#TITLE " + title + "\r\n#WAV01 kick.wav\r\n#00111:01\r\n");
  }
  // An archive made aside (its maker leaves its sources beside it) and
  // moved to `path`.
  void Archive(const std::string& path, const std::vector<test_support::SongFile>& files) {
    const std::string name = fs::path(path).filename().string();
    fs::create_directories(Here("made"));
    ASSERT_TRUE(MakeArchive(Here("made/"), name, files));
    fs::rename(Here("made/" + name), Here(path));
  }
  std::string Here(const std::string& path) { return tmp_.Path() + path; }
  std::string Cp932(const std::string& path) { return platform::Utf8ToCp932(Here(path)); }

  void Drop(const std::vector<std::string>& paths, ChartScanOptions options = {}, bool bothCores = false) {
    DropPipeline pipeline(list_, af_, window_);
    pipeline.options = options;
    pipeline.bothCores = bothCores;
    pipeline.onArchiveStarting = [this](std::size_t, std::size_t, const std::string& path) {
      steps_.push_back(platform::Cp932ToUtf8(path));
      return steps_.size() <= stopAfter_;
    };
    pipeline.onArchiveProblem = [this](const ArchiveProblem& p) { problems_.push_back(p); };
    pipeline.WMDropFiles(paths);
  }
  // "title @ archive-name column" per row.
  std::vector<std::string> Rows() {
    std::vector<std::string> out;
    for (const ChartRow& r : list_.Rows())
      out.push_back(platform::Cp932ToUtf8(r.subItems[siTitle] + " @ " + r.subItems[siArcName]));
    return out;
  }

  // Charts at three depths, a hidden file and folder, an archive at the top
  // and one two folders down, and a link looping back to the top.
  void MakeLibrary() {
    Chart("lib/top.bms", "top");
    Chart("lib/Beta/b2.bms", "b2");
    Chart("lib/Beta/b1.bms", "b1");
    Chart("lib/alpha/x/deep.bms", "deep");
    Chart("lib/alpha/a.bms", "a");
    Chart("lib/.hidden/h.bms", "hidden folder");
    Chart("lib/.h.bms", "hidden file");
    WriteBytes(Here("lib/alpha/readme.txt"), "not a chart");
    Archive("lib/zz.zip", {{"z.bms", "#TITLE zipped\r\n"}});
    Archive("lib/alpha/x/in.lzh", {{"i.bms", "#TITLE inner\r\n"}});
    fs::create_directory_symlink("..", Here("lib/alpha/loop"));
  }

  test_support::TempDir tmp_;
  std::optional<test_support::ProgramFolder> program_;
  ChartList list_;
  TArchiveFile af_;
  platform::WindowHandle window_ = 0;
  std::vector<std::string> steps_;
  std::vector<ArchiveProblem> problems_;
  std::size_t stopAfter_ = 1000;
};

TEST_F(FolderDropTest, ListsChartsFolderByFolderThenTheArchivesInside) {
  MakeLibrary();
  for (bool bothCores : {false, true}) {
    SCOPED_TRACE(bothCores);
    list_.Clear();
    problems_.clear();
    Drop({Cp932("lib")}, {}, bothCores);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"top @ lib", "a @ alpha", "deep @ alpha/x", "b1 @ Beta", "b2 @ Beta",
                                                "zipped @ zz.zip", "inner @ in.lzh"}));
    EXPECT_TRUE(problems_.empty()) << ProblemReasonsText(problems_.front());
  }
  // In place: the folder column is the chart's own folder, the row knows it
  // holds no archive, and the hashes are those of the file.
  const ChartRow& deep = list_.Row(2);
  EXPECT_EQ(deep.subItems[siArcPath], Cp932("lib/alpha/x/"));
  EXPECT_TRUE(deep.inFolder);
  EXPECT_EQ(list_.Row(6).subItems[siArcPath], Cp932("lib/alpha/x/"));
  EXPECT_FALSE(list_.Row(6).inFolder);
}

TEST_F(FolderDropTest, TheOptionLeavesTheArchivesInsideUnopened) {
  MakeLibrary();
  ChartScanOptions options;
  options.folderArchives = false;
  Drop({Cp932("lib")}, options);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"top @ lib", "a @ alpha", "deep @ alpha/x", "b1 @ Beta", "b2 @ Beta"}));
  EXPECT_TRUE(problems_.empty());
}

TEST_F(FolderDropTest, AFolderAndArchivesDroppedTogetherKeepTheirOrder) {
  Chart("songs/s.bms", "in folder");
  Archive("first.zip", {{"f.bms", "#TITLE first\r\n"}});
  Archive("last.lzh", {{"l.bms", "#TITLE last\r\n"}});
  for (bool bothCores : {false, true}) {
    list_.Clear();
    Drop({Cp932("first.zip"), Cp932("songs"), Cp932("last.lzh")}, {}, bothCores);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"first @ first.zip", "in folder @ songs", "last @ last.lzh"}))
        << bothCores;
  }
}

TEST_F(FolderDropTest, AFolderWithoutChartsIsAProblemLikeAnArchiveWithout) {
  fs::create_directories(Here("empty/sub"));
  WriteBytes(Here("empty/sub/song.bme"), "#TITLE other kind\r\n");
  WriteBytes(Here("empty/sub/later.zip"), "x");
  ChartScanOptions options;
  options.folderArchives = false;
  Drop({Cp932("empty")}, options);
  EXPECT_TRUE(list_.Rows().empty());
  ASSERT_EQ(problems_.size(), 1u);
  EXPECT_EQ(problems_[0].archivePath, Cp932("empty"));
  const std::string text = ProblemReasonsText(problems_[0]);
  EXPECT_NE(text.find("フォルダに譜面 (*.bms) がありません"), std::string::npos) << text;
  EXPECT_NE(text.find("*.bme"), std::string::npos) << text;
  EXPECT_NE(text.find("フォルダ内の書庫も展開する"), std::string::npos) << text;
}

TEST_F(FolderDropTest, LaterVolumesOfASetAreNotOpenedOnTheirOwn) {
  Chart("set/s.bms", "chart");
  for (const char* name : {"big.7z.002", "big.r00", "big.z01", "big.part2.rar", "big.part02.rar"})
    WriteBytes(Here(std::string("set/") + name), "not read");
  Drop({Cp932("set")});
  EXPECT_EQ(Rows(), (std::vector<std::string>{"chart @ set"}));
  EXPECT_TRUE(problems_.empty());
}

TEST_F(FolderDropTest, NamesCodePage932CannotHoldAreReported) {
  Chart("odd/ok.bms", "ok");
  WriteBytes(Here("odd/\xec\x9d\x8c.bms"), "#TITLE hangul\r\n");  // 음
  Chart("odd/\xec\x9d\x8c/inner.bms", "unreachable");
  Drop({Cp932("odd")});
  EXPECT_EQ(Rows(), (std::vector<std::string>{"ok @ odd"}));
  ASSERT_EQ(problems_.size(), 1u);
  EXPECT_EQ(problems_[0].unlistedNames, (std::vector<std::string>{"\xec\x9d\x8c.bms", "\xec\x9d\x8c/"}));
}

TEST_F(FolderDropTest, StoppingBetweenFoldersKeepsTheRowsRead) {
  MakeLibrary();
  stopAfter_ = 2;  // the top folder and alpha, then stop before alpha/x
  Drop({Cp932("lib")});
  EXPECT_EQ(Rows(), (std::vector<std::string>{"top @ lib", "a @ alpha"}));
  EXPECT_EQ(steps_.size(), 3u);
}

TEST_F(FolderDropTest, MissingFilesAreLookedUpInTheChartsOwnFolder) {
  Chart("m/with/c.bms", "with sound");
  WriteBytes(Here("m/with/kick.ogg"), "");
  Chart("m/without/c.bms", "no sound");
  ChartScanOptions options;
  options.facts = true;
  Drop({Cp932("m")}, options);
  ASSERT_EQ(list_.Count(), 2u);
  ASSERT_TRUE(list_.Row(0).facts && list_.Row(1).facts);
  EXPECT_EQ(list_.Row(0).ColumnText(kFactsColumn + 6), "0");
  EXPECT_EQ(list_.Row(1).ColumnText(kFactsColumn + 6), "1");
}

struct NameCase {
  const char* name;
  bool archive;
};

TEST(IsArchiveName, OpensFirstVolumesAndKnownFormatsOnly) {
  const NameCase cases[] = {
      {"song.zip", true},         {"SONG.LZH", true},       {"a.tar.gz", true},        {"a.7z", true},
      {"a.7z.001", true},         {"a.7z.002", false},      {"a.r00", false},          {"a.z01", false},
      {"a.part1.rar", true},      {"a.part01.rar", true},   {"a.part2.rar", false},    {"a.part10.rar", false},
      {"a.rar", true},            {"party.rar", true},      {"a.wav", false},          {"a.exe", false},
      {"noextension", false},     {"a.", false},            {"a.bms", false},
  };
  for (const NameCase& c : cases) EXPECT_EQ(IsArchiveName(c.name), c.archive) << c.name;
}

}  // namespace
