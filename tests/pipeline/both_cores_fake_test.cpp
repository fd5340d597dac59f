// A drop on two cores against the same drop one archive at a time, over
// archives the test describes: same callbacks in the same order, same rows,
// same CSV, whatever the archives do and wherever the drop stops.
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>

#include <gtest/gtest.h>

#include "charts/chart_list.h"
#include "charts/drop_pipeline.h"
#include "charts/working_folder.h"
#include "drivers/archive_file.h"
#include "platform/cp932.h"
#include "platform/files.h"
#include "platform/msgwindow.h"
#include "platform/paths.h"
#include "tests/pipeline/drop_record.h"
#include "tests/support/fake_archiver.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;
using test_support::DropRecord;
using test_support::FakeArchive;

namespace {

// One program run: its own program folder (so its own working folders),
// archive component and list.
struct ProgramRun {
  ProgramRun(const std::string& appDir, test_support::FakeArchives& archives) {
    fs::create_directories(appDir);
    platform::OverrideExecutableDirForTesting(appDir);
    CreateWorkingFolder();
    ApplyMainWindowSettings(af);
    af.SetDriverSource(archives.Source());
    window = platform::CreateMessageWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; });
  }
  ~ProgramRun() {
    platform::SetCurrentDirectory("/");
    platform::DestroyMessageWindow(window);
    ReleaseWorkingFolder();
    platform::OverrideExecutableDirForTesting("");
  }
  DropRecord Drop(bool bothCores, const std::vector<std::string>& paths,
                  const std::function<bool(std::size_t)>& goOn = {}) {
    DropPipeline pipeline(list, af, window);
    pipeline.bothCores = bothCores;
    return test_support::RecordDrop(pipeline, list, paths, goOn);
  }

  ChartList list;
  TArchiveFile af;
  platform::WindowHandle window = 0;
};

class BothCoresFake : public ::testing::Test {
 protected:
  std::string Arc(const std::string& name) const { return tmp_.Path() + name; }
  struct Drop {
    std::vector<std::string> paths;
    std::size_t stopAt = SIZE_MAX;  // the archive onArchiveStarting answers false for
  };
  // The same drops in a fresh run each way; each drop's record must match.
  void ExpectSameBothWays(const std::vector<Drop>& drops) {
    std::vector<DropRecord> serial, both;
    for (bool bothCores : {false, true}) {
      ProgramRun run(tmp_.Path() + (bothCores ? "both" : "serial"), archives_);
      for (const Drop& d : drops)
        (bothCores ? both : serial).push_back(run.Drop(bothCores, d.paths, [&d](std::size_t i) {
          return i < d.stopAt;
        }));
    }
    for (std::size_t i = 0; i < drops.size(); ++i)
      EXPECT_EQ(both[i], serial[i]) << "drop " << i << "\n-- serial:\n"
                                    << Describe(serial[i]) << "-- both cores:\n"
                                    << Describe(both[i]);
  }
  // Files (not folders) at the top of a run's first working folder.
  std::vector<std::string> TopOf(const std::string& run) const {
    std::vector<std::string> out;
    for (auto& e : fs::directory_iterator(tmp_.Path() + run + "/work"))
      if (!e.is_directory()) out.push_back(e.path().filename().string());
    return out;
  }

  test_support::TempDir tmp_;
  test_support::FakeArchives archives_;
};

TEST_F(BothCoresFake, AMixedDropListsTheSameWhateverEachArchiveDoes) {
  archives_.Add(Arc("one.lzh"),
                {{{"b.bms", "#TITLE bee\r\n"}, {"A.BMS", "#TITLE ay\r\n"}, {"sub/c.bms", "#TITLE c\r\n"}}});
  archives_.Add(Arc("damaged.zip"), {{{"d.bms", "#TITLE d\r\n"}}, atZip, ERROR_FILE_CRC});
  archives_.Add(Arc("refused.lzh"), {{{"r.bms", "#TITLE r\r\n"}}, atLha, 0, platform::Utf8ToCp932("拒否")});
  archives_.Add(Arc("nolib.cab"), {{{"n.bms", ""}}, atCab, 0, "", "CAB32.DLL"});
  archives_.Add(Arc("nochart.tar"), {{{"readme.txt", "x"}, {"song/z.bms", "#TITLE z\r\n"}}, atTar});
  archives_.Add(Arc("two.rar"), {{{"x.bms", "#TITLE x\r\n#BPM 150\r\n"}, {"y.bms", "#TITLE y\r\n"}}, atRar});
  archives_.Add(Arc("undetected.dat"), {{{"u.bms", "#TITLE u\r\n"}}, atNone});
  // Unknown names between known ones go to the driver of the last known.
  ExpectSameBothWays({{{Arc("one.lzh"), Arc("notes.txt"), Arc("damaged.zip"), Arc("setup.exe"), Arc("refused.lzh"),
                        Arc("nolib.cab"), Arc("undetected.dat"), Arc("what.dat"), Arc("nochart.tar"), Arc("two.rar")}},
                      {{Arc("two.rar"), Arc("one.lzh")}},
                      {{Arc("one.lzh")}}});
  EXPECT_TRUE(TopOf("both").empty());
}

// Stopped before archive k (Cancel): nothing of an archive unpacked ahead
// is listed, its folder is emptied, and the next drop starts as it would
// have, down to the driver a name of no known type is handed to.
TEST_F(BothCoresFake, ACancelBeforeAnyArchiveLeavesWhatTheSerialDropLeaves) {
  archives_.Add(Arc("nolib.cab"), {{{"n.bms", ""}}, atCab, 0, "", "CAB32.DLL"});
  archives_.Add(Arc("one.lzh"), {{{"a.bms", "#TITLE a\r\n"}}});
  archives_.Add(Arc("two.zip"), {{{"b.bms", "#TITLE b\r\n"}}, atZip});
  archives_.Add(Arc("three.lzh"), {{{"c.bms", "#TITLE c\r\n"}}});
  // Of no type its name tells: unpacked only when a driver is left from before.
  archives_.Add(Arc("undetected.dat"), {{{"u.bms", "#TITLE u\r\n"}}, atNone});
  const std::vector<std::string> drop = {Arc("nolib.cab"), Arc("one.lzh"), Arc("setup.exe"), Arc("two.zip"),
                                         Arc("three.lzh")};
  for (std::size_t stopAt = 0; stopAt <= drop.size(); ++stopAt) {
    SCOPED_TRACE(stopAt);
    ExpectSameBothWays({{drop, stopAt}, {{Arc("undetected.dat")}}, {{Arc("three.lzh"), Arc("undetected.dat")}}});
    EXPECT_TRUE(TopOf("both").empty());
    fs::remove_all(tmp_.Path() + "serial");
    fs::remove_all(tmp_.Path() + "both");
  }
}

// A file the clean-up cannot delete (read-only) is listed again with every
// later archive, of this drop and the next ones, as in one folder.
TEST_F(BothCoresFake, AFileTheCleanUpCannotDeleteIsListedWithEveryLaterArchive) {
  archives_.Add(Arc("one.lzh"), {{{"a.bms", "#TITLE a\r\n"}}});
  archives_.Add(Arc("two.zip"), {{{"b.bms", "#TITLE b\r\n"}, {"stuck.bms", "#TITLE stuck\r\n"}}, atZip});
  archives_.Add(Arc("three.lzh"), {{{"c.bms", "#TITLE c\r\n"}}});
  archives_.Add(Arc("four.lzh"), {{{"d.bms", "#TITLE d\r\n"}}});
  // The stuck chart is made read-only as soon as it is written.
  auto makeStuck = [](TArchiveFile&, int state, EXTRACTINGINFOEX* info, bool&) {
    std::string dest = info ? info->exinfo.szDestFileName : "";
    if (state == ARCEXTRACT_END && dest.ends_with("stuck.bms")) chmod(platform::FsName(dest).c_str(), 0444);
  };
  std::vector<DropRecord> serial, both;
  for (bool bothCores : {false, true}) {
    ProgramRun run(tmp_.Path() + (bothCores ? "both" : "serial"), archives_);
    run.af.OnProgress = makeStuck;
    auto& records = bothCores ? both : serial;
    records.push_back(run.Drop(bothCores, {Arc("one.lzh"), Arc("two.zip"), Arc("three.lzh"), Arc("four.lzh")}));
    records.push_back(run.Drop(bothCores, {Arc("one.lzh"), Arc("three.lzh")}));
    // The file stays where the next run of the program finds it.
    EXPECT_EQ(TopOf(bothCores ? "both" : "serial"), std::vector<std::string>{"stuck.bms"});
  }
  ASSERT_EQ(both.size(), serial.size());
  for (std::size_t i = 0; i < both.size(); ++i)
    EXPECT_EQ(both[i], serial[i]) << "-- serial:\n" << Describe(serial[i]) << "-- both cores:\n" << Describe(both[i]);
  // stuck.bms with two.zip, three.lzh and four.lzh, then with both archives
  // of the second drop.
  auto stuckRows = [](const std::string& csv) {
    std::size_t n = 0;
    for (std::size_t at = csv.find("\"stuck.bms\""); at != std::string::npos; at = csv.find("\"stuck.bms\"", at + 1))
      ++n;
    return n;
  };
  EXPECT_EQ(stuckRows(serial[0].csv), 3u);
  EXPECT_EQ(stuckRows(serial[1].csv), 5u);
}

// Relative paths are taken against the current folder when the drop
// starts, though listing changes it; rows keep the paths as given.
TEST_F(BothCoresFake, RelativePathsNameTheFilesOfTheFolderTheDropStartedIn) {
  archives_.Add(Arc("one.lzh"), {{{"a.bms", "#TITLE a\r\n"}}});
  archives_.Add(Arc("two.zip"), {{{"b.bms", "#TITLE b\r\n"}}, atZip});
  for (bool bothCores : {false, true}) {
    ProgramRun run(tmp_.Path() + (bothCores ? "both" : "serial"), archives_);
    ASSERT_TRUE(platform::SetCurrentDirectory(tmp_.Path()));
    DropRecord r = run.Drop(bothCores, {"one.lzh", "two.zip"});
    EXPECT_EQ(r.events,
              (std::vector<std::string>{"start 0/2 one.lzh", "row 0 a.bms", "start 1/2 two.zip", "row 1 b.bms"}));
    EXPECT_EQ(run.list.Row(1).subItems[siArcName], "two.zip");
    EXPECT_EQ(run.list.Row(1).subItems[siArcPath], "");
  }
}

}  // namespace
