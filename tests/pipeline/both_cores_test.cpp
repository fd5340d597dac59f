// SPDX-License-Identifier: MIT
// A drop on two cores against the same drop one archive at a time, through
// the real archiver libraries: every format, charts in folders, damaged
// archives, archives without charts, unknown files between them, and a
// drop stopped halfway. The callbacks, their order and the CSV must match.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>

#include <gtest/gtest.h>

#include "charts/chart_list.h"
#include "charts/drop_pipeline.h"
#include "charts/working_folder.h"
#include "drivers/archive_file.h"
#include "platform/cp932.h"
#include "platform/dynlib.h"
#include "platform/files.h"
#include "platform/msgwindow.h"
#include "platform/paths.h"
#include "tests/pipeline/drop_record.h"
#include "tests/support/files.h"
#include "tests/support/song_archives.h"

namespace fs = std::filesystem;
using test_support::DropRecord;
using test_support::SongFile;

namespace {

class BothCores : public ::testing::Test {
 protected:
  void SetUp() override {
    static const std::string binDir = platform::ExecutableDir();
    platform::SetLibrarySearchDirForTesting(binDir, false);
    const std::string dir = tmp_.Path();
    std::vector<SongFile> small = test_support::TypicalSong();
    small.pop_back();  // no sound needed
    for (const char* a : {"a.lzh", "b.ZIP", "c.cab", "d.arj", "e.tar", "f.tgz", "g.tar.bz2", "h.rar"})
      ASSERT_TRUE(test_support::MakeArchive(dir, a, small)) << a;
    ASSERT_TRUE(test_support::MakeArchive(dir, "nochart.zip", {{"song/readme.txt", "x"}}));
    ASSERT_TRUE(test_support::MakeArchive(dir, "flat.lzh", {{"Z.bms", "#TITLE z\r\n"}, {"y.bms", "#TITLE y\r\n"}}));
    // Cut in half: the library fails, what it unpacked before is listed.
    ASSERT_TRUE(test_support::MakeArchive(dir, "whole.zip", test_support::TypicalSong()));
    std::string bytes = test_support::ReadBytes(dir + "whole.zip");
    test_support::WriteBytes(dir + "cut.zip", bytes.substr(0, bytes.size() / 2));
    test_support::WriteBytes(dir + "notes.txt", "not an archive");
    test_support::WriteBytes(dir + "setup.exe", "MZ");
    for (const char* p : {"a.lzh", "nochart.zip", "b.ZIP", "notes.txt", "c.cab", "cut.zip", "d.arj", "setup.exe",
                          "e.tar", "flat.lzh", "f.tgz", "whole.zip", "g.tar.bz2", "h.rar"})
      paths_.push_back(platform::Utf8ToCp932(dir + p));
  }
  void TearDown() override { platform::SetLibrarySearchDirForTesting("", false); }

  // The drops one program run makes, in a run of their own each way.
  std::vector<DropRecord> RunDrops(bool bothCores, const std::vector<std::vector<std::string>>& drops,
                                   std::size_t stopFirstAt = SIZE_MAX) {
    const std::string app = tmp_.Path() + (bothCores ? "both/" : "serial/");
    fs::create_directories(app);
    platform::OverrideExecutableDirForTesting(app);
    CreateWorkingFolder();
    std::vector<DropRecord> out;
    {
      ChartList list;
      TArchiveFile af;
      ApplyMainWindowSettings(af);
      platform::WindowHandle window =
          platform::CreateMessageWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; });
      for (std::size_t d = 0; d < drops.size(); ++d) {
        DropPipeline pipeline(list, af, window);
        pipeline.bothCores = bothCores;
        out.push_back(test_support::RecordDrop(pipeline, list, drops[d],
                                               [&](std::size_t i) { return d > 0 || i < stopFirstAt; }));
      }
      platform::DestroyMessageWindow(window);
    }
    platform::SetCurrentDirectory("/");
    // Nothing is left at the top of the working folder either way.
    for (auto& e : fs::directory_iterator(app + "work")) EXPECT_TRUE(e.is_directory()) << e.path();
    ReleaseWorkingFolder();
    platform::OverrideExecutableDirForTesting("");
    return out;
  }
  // Returns the serial records.
  std::vector<DropRecord> ExpectSame(const std::vector<std::vector<std::string>>& drops,
                                     std::size_t stopFirstAt = SIZE_MAX) {
    std::vector<DropRecord> serial = RunDrops(false, drops, stopFirstAt);
    std::vector<DropRecord> both = RunDrops(true, drops, stopFirstAt);
    EXPECT_EQ(both.size(), serial.size());
    for (std::size_t i = 0; i < both.size() && i < serial.size(); ++i)
      EXPECT_EQ(both[i], serial[i]) << "drop " << i << "\n-- serial:\n"
                                    << Describe(serial[i]) << "-- both cores:\n"
                                    << Describe(both[i]);
    fs::remove_all(tmp_.Path() + "serial");
    fs::remove_all(tmp_.Path() + "both");
    return serial;
  }

  test_support::TempDir tmp_;
  std::vector<std::string> paths_;
};

TEST_F(BothCores, ACollectionOfEveryFormatListsTheSameRowsInTheSameOrder) {
  std::vector<DropRecord> serial = ExpectSame({paths_, {paths_[2], paths_[0]}});
  // Every format gave its two charts, the flat and the whole archive two
  // more each, and problems were reported: the comparison is not of nothing.
  EXPECT_GE(std::count(serial[0].csv.begin(), serial[0].csv.end(), '\n'), 20);
  EXPECT_GE(std::count_if(serial[0].events.begin(), serial[0].events.end(),
                          [](const std::string& e) { return e.starts_with("problem"); }),
            3);
}

TEST_F(BothCores, ADropStoppedHalfwayListsTheSame) {
  ExpectSame({paths_, {platform::Utf8ToCp932(tmp_.Path() + "notes.txt"), paths_[0]}}, paths_.size() / 2);
}

// Two unpackings at once through the real libraries, the same library twice
// (p and q, both LZH) and two of different kinds (q and r, r and s): each
// library reports to the component that called it, on its own thread, though
// both registered a window. Each archive waits in its first report until the
// next one reports, so the unpackings surely overlap; except UNRAR32.DLL,
// which takes one call at a time (t waits in vain for u).
TEST_F(BothCores, TwoUnpackingsAtOnceEachReportToTheirOwnComponent) {
  const std::string dir = tmp_.Path();
  const std::vector<std::string> names = {"p.lzh", "q.lzh", "r.zip", "s.cab", "t.rar", "u.rar"};
  std::vector<std::string> drop;
  for (const std::string& n : names) {
    const std::string stem = n.substr(0, 1);
    ASSERT_TRUE(test_support::MakeArchive(
        dir, n, {{"song/" + stem + "1.bms", "#TITLE " + stem + "\r\n"}, {"song/" + stem + "2.bms", "#TITLE 2\r\n"}}));
    drop.push_back(dir + n);
  }
  const std::string app = dir + "app/";
  fs::create_directories(app);
  platform::OverrideExecutableDirForTesting(app);
  CreateWorkingFolder();
  {
    std::mutex m;
    std::condition_variable changed;
    std::map<std::string, std::vector<std::string>> reported;  // by the sender's archive: entries begun
    std::map<std::string, bool> overlapped;
    ChartList list;
    TArchiveFile af;
    ApplyMainWindowSettings(af);
    af.OnProgress = [&](TArchiveFile& sender, int state, EXTRACTINGINFOEX* info, bool&) {
      std::unique_lock<std::mutex> lock(m);
      const std::string archive = platform::ExtractFileName(sender.FileName());
      std::vector<std::string>& mine = reported[archive];
      if (state == ARCEXTRACT_BEGIN) mine.push_back(platform::ExtractFileName(info->exinfo.szDestFileName));
      changed.notify_all();
      // The first report waits for the next archive's (u.rar has none after it).
      auto at = std::find(names.begin(), names.end(), archive);
      if (mine.size() == 1 && state == ARCEXTRACT_BEGIN && at != names.end() && at + 1 != names.end()) {
        const std::string following = *(at + 1);
        const auto patience = archive == "t.rar" ? std::chrono::seconds(1) : std::chrono::seconds(10);
        overlapped[archive] = changed.wait_for(lock, patience, [&] { return reported.count(following) != 0; });
      }
    };
    platform::WindowHandle window =
        platform::CreateMessageWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; });
    DropPipeline pipeline(list, af, window);
    pipeline.bothCores = true;
    DropRecord r = test_support::RecordDrop(pipeline, list, drop);
    platform::DestroyMessageWindow(window);
    EXPECT_EQ(list.Count(), 12u) << Describe(r);
    for (const std::string& n : names) {
      const std::string stem = n.substr(0, 1);
      EXPECT_EQ(reported[n], (std::vector<std::string>{stem + "1.bms", stem + "2.bms"})) << n;
    }
    EXPECT_EQ(overlapped, (std::map<std::string, bool>{
                              {"p.lzh", true}, {"q.lzh", true}, {"r.zip", true}, {"s.cab", true}, {"t.rar", false}}));
    // The caller's component is left as the last archive left it.
    EXPECT_EQ(af.CurrentSelection().fileName, dir + "u.rar");
    EXPECT_NE(af.CmdLine().find("u.rar"), std::string::npos) << af.CmdLine();
  }
  platform::SetCurrentDirectory("/");
  ReleaseWorkingFolder();
  platform::OverrideExecutableDirForTesting("");
}

}  // namespace
