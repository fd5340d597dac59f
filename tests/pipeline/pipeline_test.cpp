// SPDX-License-Identifier: MIT
// The drop pipeline with the real archiver libraries, in-process.
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "charts/chart_list.h"
#include "charts/drop_pipeline.h"
#include "charts/working_folder.h"
#include "drivers/archive_file.h"
#include "drivers/cab32.h"
#include "platform/cp932.h"
#include "platform/dynlib.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "tests/support/program_folder.h"
#include "tests/support/archive_maker.h"
#include "tests/support/song_archives.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;
using test_support::MakeArchive;
using test_support::TypicalSong;

namespace {

class PipelineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The working folder goes to a scratch folder; the libraries still come
    // from the build.
    program_.emplace(tmp_.Path() + "app", true);
    CreateWorkingFolder();
    ApplyMainWindowSettings(af_);
    window_ = platform::CreateMessageWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; });
  }
  void TearDown() override {
    platform::DestroyMessageWindow(window_);
    program_.reset();
  }

  std::string Arc(const std::string& name) { return platform::Utf8ToCp932(tmp_.Path() + name); }
  std::string Work() { return tmp_.Path() + "app/work/"; }
  std::vector<std::string> Captions() {
    std::vector<std::string> out;
    for (const auto& r : list_.Rows()) out.push_back(r.caption);
    return out;
  }
  // Names of the files (not folders) at the top of the working folder.
  std::vector<std::string> FilesAtTopOfWork() {
    std::vector<std::string> out;
    for (auto& e : fs::directory_iterator(Work()))
      if (!e.is_directory()) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
  void Drop(const std::vector<std::string>& paths, const ChartScanOptions& options = {}) {
    DropPipeline pipeline(list_, af_, window_);
    pipeline.options = options;
    pipeline.WMDropFiles(paths);
  }

  test_support::TempDir tmp_;
  std::optional<test_support::ProgramFolder> program_;
  ChartList list_;
  TArchiveFile af_;
  platform::WindowHandle window_ = 0;
};

struct FormatCase {
  const char* archive;
  std::vector<std::string> captions;
};

class EveryFormat : public PipelineTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(EveryFormat, ListsTheChartsOfTheSongFolderAndEmptiesTheWorkingFolder) {
  const FormatCase& c = GetParam();
  ASSERT_TRUE(MakeArchive(tmp_.Path(), c.archive, TypicalSong())) << "cannot make " << c.archive;
  Drop({Arc(c.archive)});

  ASSERT_EQ(Captions(), c.captions);
  const ChartRow& first = list_.Row(0);
  EXPECT_EQ(first.subItems[siArcName], c.archive);
  EXPECT_EQ(first.subItems[siArcPath], platform::Utf8ToCp932(tmp_.Path()));
  EXPECT_EQ(first.subItems[siDate], "2024/05/03");
  if (c.captions.size() == 2) {
    EXPECT_EQ(first.subItems[siTitle], test_support::JapaneseTitle());
    EXPECT_EQ(first.subItems[siWav], "\x81\x9B");
    EXPECT_EQ(list_.Row(1).subItems[siTitle], "other");
    EXPECT_EQ(list_.Row(1).subItems[siBga], "\x81\x9B");
    EXPECT_EQ(list_.Row(1).subItems[siMidi], "\x81\x9B");
  }
  EXPECT_TRUE(FilesAtTopOfWork().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Formats, EveryFormat,
    ::testing::Values(FormatCase{"song.lzh", {"a.bms", "b.BMS"}}, FormatCase{"SONG.LZH", {"a.bms", "b.BMS"}},
                      FormatCase{"song.zip", {"a.bms", "b.BMS"}}, FormatCase{"Song.ZIP", {"a.bms", "b.BMS"}},
                      FormatCase{"song.cab", {"a.bms", "b.BMS"}}, FormatCase{"song.arj", {"a.bms", "b.BMS"}},
                      FormatCase{"song.tar", {"a.bms", "b.BMS"}}, FormatCase{"song.tgz", {"a.bms", "b.BMS"}},
                      FormatCase{"song.taz", {"a.bms", "b.BMS"}}, FormatCase{"song.tar.bz2", {"a.bms", "b.BMS"}},
                      FormatCase{"song.rar", {"a.bms", "b.BMS"}}, FormatCase{"a.bms.gz", {"a.bms"}},
                      FormatCase{"song.7z", {"a.bms", "b.BMS"}}, FormatCase{"song.tar.xz", {"a.bms", "b.BMS"}},
                      FormatCase{"song.tar.zst", {"a.bms", "b.BMS"}}, FormatCase{"song.tlz", {"a.bms", "b.BMS"}}),
    [](const auto& info) { return test_support::TestNameOf(info.param.archive); });

TEST_F(PipelineTest, RowsFollowTheDropOrderAndLandAfterAnEarlierSort) {
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "one.zip", TypicalSong()));
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "two.lzh", {{"z.bms", "#TITLE z\r\n"}, {"c.bms", "#TITLE c\r\n"}}));
  Drop({Arc("two.lzh")});
  list_.ColumnClick(0);  // ascending: c.bms, z.bms
  Drop({Arc("one.zip"), Arc("two.lzh")});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"c.bms", "z.bms", "a.bms", "b.BMS", "c.bms", "z.bms"}));
  EXPECT_EQ(list_.Row(2).subItems[siArcName], "one.zip");
  EXPECT_EQ(list_.Row(4).subItems[siArcName], "two.lzh");
}

TEST_F(PipelineTest, ChartKindsAndHashesAsAskedAndEveryFileCleanedUp) {
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "kinds.lzh",
                          {{"d.PMS", "#TITLE d\r\n"}, {"c.bml", "#TITLE c\r\n"}, {"b.bme", "#TITLE \xE6\x9B\xB2\r\n"},
                           {"a.bms", "#TITLE a\r\n"}, {"e.bmson", "{}"}, {"f.txt", "x"}}));
  Drop({Arc("kinds.lzh")});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a.bms"}));
  EXPECT_EQ(list_.Row(0).md5, "");
  Drop({Arc("kinds.lzh")}, ChartScanOptions{{"bms", "bme", "bml", "pms"}, true});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a.bms", "a.bms", "b.bme", "c.bml", "d.PMS"}));
  EXPECT_EQ(list_.Row(2).encoding, platform::TextEncoding::kUtf8);
  EXPECT_EQ(list_.Row(2).subItems[siTitle], "\xE6\x9B\xB2");
  EXPECT_EQ(list_.Row(1).md5, "aa20e19ec311e6102f1c2bb0934b001e");  // md5sum of "#TITLE a\r\n"
  Drop({Arc("kinds.lzh")}, ChartScanOptions{{"pms"}, false});
  EXPECT_EQ(list_.Row(5).caption, "d.PMS");
  EXPECT_EQ(list_.Count(), 6u);
  EXPECT_TRUE(FilesAtTopOfWork().empty());
}

TEST_F(PipelineTest, SkipsExeInAnyCaseButHandlesNamesWithoutExtension) {
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "song.zip", TypicalSong()));
  for (const char* exe : {"setup.exe", "SETUP.EXE", "a.Exe"}) fs::copy_file(tmp_.Path() + "song.zip", tmp_.Path() + exe);
  fs::copy_file(tmp_.Path() + "song.zip", tmp_.Path() + "noext");
  Drop({Arc("setup.exe"), Arc("SETUP.EXE"), Arc("a.Exe")});
  EXPECT_EQ(list_.Count(), 0u);
  // A name without extension keeps the driver of the last recognised format.
  Drop({Arc("song.zip"), Arc("noext")});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a.bms", "b.BMS", "a.bms", "b.BMS"}));
  EXPECT_EQ(list_.Row(3).subItems[siArcName], "noext");
}

TEST_F(PipelineTest, ATextFileFirstAddsNothingAndTouchesNothing) {
  // Without any recognised format there is no driver: nothing is unpacked,
  // so nothing in the working folder is listed or deleted either.
  test_support::WriteBytes(Work() + "left.bms", "#TITLE left\r\n");
  test_support::WriteBytes(tmp_.Path() + "notes.txt", "hello");
  Drop({Arc("notes.txt")});
  EXPECT_EQ(list_.Count(), 0u);
  EXPECT_EQ(FilesAtTopOfWork(), std::vector<std::string>{"left.bms"});
}

TEST_F(PipelineTest, ChartsInASubFolderAreNotListedAndTheFolderStays) {
  // -x1 would keep folders; the window's request junks them, so use a
  // nested folder in a format whose folders we keep: none does by default,
  // so place the folder in the working folder as a previous run could.
  fs::create_directories(Work() + "song");
  test_support::WriteBytes(Work() + "song/deep.bms", "#TITLE deep\r\n");
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "song.zip", TypicalSong()));
  Drop({Arc("song.zip")});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a.bms", "b.BMS"}));
  EXPECT_TRUE(fs::exists(Work() + "song/deep.bms"));
}

TEST_F(PipelineTest, AnUnreadableChartCostsTheOthersNothingAndIsCleanedUp) {
  // A dangling link named like a chart, there once unpacking has ended: it
  // is listed but cannot be read.
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "song.zip", TypicalSong()));
  af_.OnProgress = [&](TArchiveFile&, int state, EXTRACTINGINFOEX*, bool&) {
    if (state == ARCEXTRACT_END) {
      ASSERT_EQ(symlink("/nonexistent/target", (Work() + "0.bms").c_str()), 0);
    }
  };
  DropPipeline pipeline(list_, af_, window_);
  std::vector<ArchiveProblem> problems;
  pipeline.onArchiveProblem = [&](const ArchiveProblem& p) { problems.push_back(p); };
  pipeline.WMDropFiles({Arc("song.zip")});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"0.bms", "a.bms", "b.BMS"}));
  EXPECT_EQ(list_.Row(1).subItems[siTitle], test_support::JapaneseTitle());
  EXPECT_EQ(pipeline.RowCount(), 2);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].archivePath, Arc("song.zip"));
  EXPECT_EQ(ProblemReasonsText(problems[0]).rfind("0.bms を読めません", 0), 0u) << ProblemReasonsText(problems[0]);
  EXPECT_TRUE(FilesAtTopOfWork().empty());
}

// A split 7z set is listed once from its first volume, its later volumes
// dropped with it passed over; a later volume alone names the first.
TEST_F(PipelineTest, ASplitSetIsListedFromItsFirstVolume) {
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "big.7z", TypicalSong()));
  ASSERT_EQ(test_support::Shell(tmp_.Path(), "mkdir set && cd src-big.7z && 7zz a -bso0 -v1k -mx=0 ../set/big.7z ."), 0);
  ASSERT_TRUE(fs::exists(tmp_.Path() + "set/big.7z.003"));
  DropPipeline pipeline(list_, af_, window_);
  std::vector<ArchiveProblem> problems;
  pipeline.onArchiveProblem = [&](const ArchiveProblem& p) { problems.push_back(p); };
  // Every volume, the later ones first: still one listing, at the first's place.
  pipeline.WMDropFiles({tmp_.Path() + "set/big.7z.003", tmp_.Path() + "set/big.7z.002", Arc("one.zip"),
                        tmp_.Path() + "set/big.7z.001"});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a.bms", "b.BMS"}));
  ASSERT_EQ(problems.size(), 1u);  // one.zip is not there
  EXPECT_EQ(problems[0].archivePath, Arc("one.zip"));

  problems.clear();
  pipeline.WMDropFiles({tmp_.Path() + "set/big.7z.002"});
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].archivePath, tmp_.Path() + "set/big.7z.002");
  EXPECT_NE(ProblemReasonsText(problems[0]).find("最初の巻ではありません (最初の巻 big.7z.001 を開いてください)"),
            std::string::npos)
      << ProblemReasonsText(problems[0]);

  // A volume gone: the problem names the file looked for.
  problems.clear();
  fs::remove(tmp_.Path() + "set/big.7z.003");
  pipeline.WMDropFiles({tmp_.Path() + "set/big.7z.001", tmp_.Path() + "set/big.7z.002"});
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].archivePath, tmp_.Path() + "set/big.7z.001");
  EXPECT_NE(ProblemReasonsText(problems[0]).find("次の巻が見つかりません: big.7z.003"), std::string::npos)
      << ProblemReasonsText(problems[0]);
  EXPECT_TRUE(FilesAtTopOfWork().empty());
}

TEST_F(PipelineTest, AReadOnlyChartSurvivesTheCleanUpAndIsListedAgain) {
  test_support::WriteBytes(Work() + "stuck.bms", "#TITLE stuck\r\n");
  chmod((Work() + "stuck.bms").c_str(), 0444);
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "one.zip", {{"x.bms", "#TITLE x\r\n"}}));
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "two.zip", {{"y.bms", "#TITLE y\r\n"}}));
  Drop({Arc("one.zip"), Arc("two.zip")});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"stuck.bms", "x.bms", "stuck.bms", "y.bms"}));
  EXPECT_EQ(list_.Row(2).subItems[siArcName], "two.zip");
  EXPECT_EQ(FilesAtTopOfWork(), std::vector<std::string>{"stuck.bms"});
}

TEST_F(PipelineTest, AMissingLibraryAddsNoRowAndLeavesTheWorkingFolderAlone) {
  test_support::WriteBytes(Work() + "left.txt", "from before");
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "song.cab", TypicalSong()));
  test_support::TempDir empty;
  platform::SetLibrarySearchDirForTesting(empty.Path(), true);
  TCab32::FreeDLL();
  DropPipeline pipeline(list_, af_, window_);
  std::vector<std::string> said;
  pipeline.onArchiveProblem = [&](const ArchiveProblem& p) { said.push_back(ProblemReasonsText(p)); };
  pipeline.WMDropFiles({Arc("song.cab")});
  platform::SetLibrarySearchDirForTesting(platform::ExecutableDir(), false);
  EXPECT_EQ(list_.Count(), 0u);
  ASSERT_EQ(said.size(), 1u);
  EXPECT_NE(said[0].find("書庫ライブラリがないか使えません"), std::string::npos) << said[0];
  EXPECT_EQ(FilesAtTopOfWork(), std::vector<std::string>{"left.txt"});
}

TEST_F(PipelineTest, AFifoNamedLikeAnArchiveNeitherHangsNorAddsRows) {
  // Opening a FIFO for reading blocks until a writer comes; the libraries
  // must refuse it instead (ctest's timeout catches a hang).
  for (const char* name : {"pipe.lzh", "pipe.tgz", "pipe.zip", "pipe.exe"})
    ASSERT_EQ(mkfifo((tmp_.Path() + name).c_str(), 0644), 0);
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "song.zip", TypicalSong()));
  Drop({Arc("pipe.lzh"), Arc("pipe.tgz"), Arc("pipe.zip"), Arc("pipe.exe"), Arc("song.zip")});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a.bms", "b.BMS"}));
}

TEST_F(PipelineTest, ALongPathIsUsedWhole) {
  std::string deep = tmp_.Path();
  while (deep.size() < 300) deep += "a-rather-long-folder-name/";
  fs::create_directories(deep);
  ASSERT_TRUE(MakeArchive(deep, "song.zip", TypicalSong()));
  Drop({platform::Utf8ToCp932(deep + "song.zip")});
  ASSERT_EQ(list_.Count(), 2u);
  EXPECT_EQ(list_.Row(0).subItems[siArcPath], platform::Utf8ToCp932(deep));
}

TEST_F(PipelineTest, NamesCodePage932CannotHoldAreReportedAndRemoved) {
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "song.zip", TypicalSong()));
  // Unpacked beside the song's charts, as a library would write such a name.
  af_.OnProgress = [&](TArchiveFile&, int state, EXTRACTINGINFOEX*, bool&) {
    if (state != ARCEXTRACT_END) return;
    test_support::WriteBytes(Work() + "\xF0\x9F\x98\x80.bms", "#TITLE emoji\r\n");
    // A folder is never listed, so its name is no loss worth reporting.
    fs::create_directories(Work() + "\xF0\x9F\x98\x81.bms");
  };
  DropPipeline pipeline(list_, af_, window_);
  std::vector<std::string> reported;
  pipeline.onArchiveProblem = [&](const ArchiveProblem& p) { reported = p.unlistedNames; };
  pipeline.WMDropFiles({Arc("song.zip")});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a.bms", "b.BMS"}));
  EXPECT_EQ(reported, std::vector<std::string>{"\xF0\x9F\x98\x80.bms"});
  EXPECT_TRUE(FilesAtTopOfWork().empty());
}

// Linux keeps dots and spaces after a chart's name, Windows drops them: such
// a chart is not listed, and that is said. A control character in a name
// is no reason to leave a chart out.
TEST_F(PipelineTest, ChartNamesEndingInADotOrASpaceAreSaidNotListed) {
  test_support::WriteBytes(tmp_.Path() + "trail.zip",
                           test_support::MakeStoredZip({{"ok.bms", "#TITLE ok\r\n"},
                                                        {"trail.bms.", "#TITLE t\r\n"},
                                                        {"trail2.bms ", "#TITLE t2\r\n"},
                                                        {"other.bmsx", "#TITLE x\r\n"},
                                                        {"esc\x1B[31m.bms", "#TITLE e\r\n"}},
                                                       false));
  DropPipeline pipeline(list_, af_, window_);
  std::vector<std::string> said;
  pipeline.onArchiveProblem = [&](const ArchiveProblem& p) { said.push_back(ProblemReasonsText(p)); };
  pipeline.WMDropFiles({Arc("trail.zip")});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"esc\x1B[31m.bms", "ok.bms"}));
  EXPECT_EQ(said, std::vector<std::string>{"名前が点か空白で終わるため一覧にない譜面: \"trail.bms.\" \"trail2.bms \""});
  EXPECT_TRUE(FilesAtTopOfWork().empty());
}

TEST_F(PipelineTest, EveryChartKindIsListedOnceAndUnholdableNamesGoByKind) {
  // Charts named with characters CP932 cannot hold, unpacked as such.
  const std::string bms = "\xF0\x9F\x98\x80.bms", bme = "\xF0\x9F\x98\x81.bme", pms = "\xF0\x9F\x98\x82.pms";
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "song.zip",
                          {{"song/a.bms", "#TITLE a\r\n"},
                           {"song/c.BME", "#TITLE c\r\n"},
                           {"song/b.pms", "#TITLE b\r\n"},
                           {"song/x.wav", "RIFF"},
                           {"song/" + pms, "#TITLE ?\r\n"},
                           {"song/" + bme, "#TITLE ?\r\n"},
                           {"song/" + bms, "#TITLE ?\r\n"}}));
  const struct {
    std::vector<std::string> extensions;
    std::vector<std::string> captions;
    std::vector<std::string> unlisted;  // in the order of the kinds asked for
  } cases[] = {
      {{"bms", "bme", "pms"}, {"a.bms", "b.pms", "c.BME"}, {bms, bme, pms}},
      {{"pms", "bms"}, {"a.bms", "b.pms"}, {pms, bms}},
      {{"bme"}, {"c.BME"}, {bme}},
  };
  for (bool chartsOnly : {false, true})
    for (const auto& c : cases) {
      ChartList list;
      DropPipeline pipeline(list, af_, window_);
      pipeline.options.extensions = c.extensions;
      pipeline.options.chartsOnly = chartsOnly;
      std::vector<std::string> reported;
      pipeline.onArchiveProblem = [&](const ArchiveProblem& p) { reported = p.unlistedNames; };
      pipeline.WMDropFiles({Arc("song.zip")});
      std::vector<std::string> captions;
      for (const auto& r : list.Rows()) captions.push_back(r.caption);
      EXPECT_EQ(captions, c.captions) << c.extensions.size() << " kinds, charts only " << chartsOnly;
      EXPECT_EQ(reported, c.unlisted) << c.extensions.size() << " kinds, charts only " << chartsOnly;
      EXPECT_TRUE(FilesAtTopOfWork().empty());
    }
}

TEST_F(PipelineTest, CancelStopsBeforeTheNextArchive) {
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "one.zip", {{"x.bms", "#TITLE x\r\n"}}));
  ASSERT_TRUE(MakeArchive(tmp_.Path(), "two.zip", {{"y.bms", "#TITLE y\r\n"}}));
  DropPipeline pipeline(list_, af_, window_);
  std::vector<std::size_t> seen;
  pipeline.onArchiveStarting = [&](std::size_t i, std::size_t n, const std::string&) {
    seen.push_back(i);
    EXPECT_EQ(n, 2u);
    return i == 0;
  };
  pipeline.WMDropFiles({Arc("one.zip"), Arc("two.zip")});
  EXPECT_EQ(Captions(), std::vector<std::string>{"x.bms"});
  EXPECT_EQ(seen, (std::vector<std::size_t>{0, 1}));
}

}  // namespace
