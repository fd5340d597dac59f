// SPDX-License-Identifier: MIT
// The drop pipeline over archives the test describes (no archiver library):
// what is listed, in which order, and what is left behind, when unpacking
// succeeds, half-succeeds, is refused or is cancelled.
#include <optional>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "charts/chart_list.h"
#include "charts/drop_pipeline.h"
#include "charts/working_folder.h"
#include "drivers/archive_file.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/msgwindow.h"
#include "platform/paths.h"
#include "tests/support/program_folder.h"
#include "tests/support/fake_archiver.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;
using test_support::FakeArchive;
using test_support::FakeEntry;

namespace {

class FakeDriverPipeline : public ::testing::Test {
 protected:
  void SetUp() override {
    program_.emplace(tmp_.Path() + "app", false);
    CreateWorkingFolder();
    ApplyMainWindowSettings(af_);
    af_.SetDriverSource(archives_.Source());
    window_ = platform::CreateMessageWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; });
  }
  void TearDown() override {
    platform::DestroyMessageWindow(window_);
    program_.reset();
  }

  std::string Arc(const std::string& name) const { return tmp_.Path() + name; }
  void Drop(const std::vector<std::string>& paths) {
    DropPipeline pipeline(list_, af_, window_);
    pipeline.WMDropFiles(paths);
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    for (const auto& r : list_.Rows()) out.push_back(r.caption);
    return out;
  }
  std::vector<std::string> TopOfWork() const { return test_support::FileNamesAt(tmp_.Path() + "app/work/"); }

  test_support::TempDir tmp_;
  std::optional<test_support::ProgramFolder> program_;
  test_support::FakeArchives archives_;
  ChartList list_;
  TArchiveFile af_;
  platform::WindowHandle window_ = 0;
};

TEST_F(FakeDriverPipeline, ListsTheTopLevelChartsOfEachArchiveInDropOrder) {
  archives_.Add(Arc("one.lzh"), {{{"b.bms", "#TITLE bee\r\n"}, {"A.BMS", "#TITLE ay\r\n"}, {"sub/c.bms", "#TITLE c\r\n"},
                                 {"readme.txt", "hi"}}});
  archives_.Add(Arc("two.zip"), {{{"z.bms", "#TITLE zed\r\n#BPM 180\r\n"}}, atZip});
  Drop({Arc("one.lzh"), Arc("two.zip")});

  // Names sorted without regard to case; the chart in a subfolder is not one
  // of the archive's charts.
  EXPECT_EQ(Captions(), (std::vector<std::string>{"A.BMS", "b.bms", "z.bms"}));
  EXPECT_EQ(list_.Row(0).subItems[siTitle], "ay");
  EXPECT_EQ(list_.Row(2).subItems[siBpm], "180");
  EXPECT_EQ(list_.Row(2).subItems[siArcName], "two.zip");
  EXPECT_EQ(list_.Row(2).subItems[siArcPath], tmp_.Path());
  // Each archive is unpacked once; on two cores both at once, so the library
  // may be entered for either first.
  std::vector<std::string> unpacked = archives_.Unpacked();
  std::sort(unpacked.begin(), unpacked.end());
  EXPECT_EQ(unpacked, (std::vector<std::string>{Arc("one.lzh"), Arc("two.zip")}));
  EXPECT_TRUE(TopOfWork().empty());
}

TEST_F(FakeDriverPipeline, EachArchiveEndsOnItsOwnWhateverTheLibraryAnswers) {
  struct Case {
    const char* name;
    FakeArchive archive;
    std::vector<std::string> captions;  // after a good archive "good.lzh" with "g.bms"
  };
  const Case cases[] = {
      // The result is not looked at: what was written is listed.
      {"damaged.lzh", {{{"d.bms", "#TITLE d\r\n"}}, atLha, ERROR_FILE_CRC}, {"d.bms", "g.bms"}},
      // A refusal ends that archive only.
      {"refused.lzh", {{{"r.bms", ""}}, atLha, 0, platform::Utf8ToCp932("拒否")}, {"g.bms"}},
      // No driver can be made (library missing): nothing is unpacked.
      {"nolib.cab", {{{"n.bms", ""}}, atCab, 0, "", platform::Utf8ToCp932("CAB32.DLL が 必要です。")}, {"g.bms"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    archives_.Add(Arc(c.name), c.archive);
    archives_.Add(Arc("good.lzh"), {{{"g.bms", "#TITLE g\r\n"}}});
    ChartList list;
    DropPipeline(list, af_, window_).WMDropFiles({Arc(c.name), Arc("good.lzh")});
    std::vector<std::string> captions;
    for (const auto& r : list.Rows()) captions.push_back(r.caption);
    EXPECT_EQ(captions, c.captions);
    EXPECT_TRUE(TopOfWork().empty());
  }
}

TEST_F(FakeDriverPipeline, ExeNamesAreNeverHandedToADriver) {
  archives_.Add(Arc("setup.EXE"), {{{"s.bms", ""}}});
  archives_.Add(Arc("song.lzh"), {{{"a.bms", ""}}});
  Drop({Arc("setup.EXE"), Arc("song.lzh")});
  EXPECT_EQ(archives_.Unpacked(), std::vector<std::string>{Arc("song.lzh")});
  EXPECT_EQ(Captions(), std::vector<std::string>{"a.bms"});
}

TEST_F(FakeDriverPipeline, AnAbortFromTheProgressHandlerStopsTheUnpacking) {
  int begun = 0;
  af_.OnProgress = [&](TArchiveFile&, int state, EXTRACTINGINFOEX*, bool& abort) {
    if (state == ARCEXTRACT_BEGIN && ++begun == 2) abort = true;
  };
  archives_.Add(Arc("song.lzh"), {{{"a.bms", ""}, {"b.bms", ""}, {"c.bms", ""}}});
  Drop({Arc("song.lzh")});
  EXPECT_EQ(begun, 2);
  EXPECT_EQ(Captions(), std::vector<std::string>{"a.bms"});  // what was written before the abort
  EXPECT_TRUE(TopOfWork().empty());
}

}  // namespace
