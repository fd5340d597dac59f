// SPDX-License-Identifier: MIT
// A drop on two cores against the same drop one archive at a time, over
// archives the test describes: same callbacks in the same order, same rows,
// same CSV, whatever the archives do and wherever the drop stops.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <chrono>
#include <condition_variable>
#include <mutex>
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

// A progress handler that makes the chart named stuck.bms read-only as soon
// as it is written, so the clean-up cannot delete it.
void MakeStuckChartReadOnly(TArchiveFile&, int state, EXTRACTINGINFOEX* info, bool&) {
  std::string dest = info ? info->exinfo.szDestFileName : "";
  if (state == ARCEXTRACT_END && dest.ends_with("stuck.bms")) chmod(platform::FsName(dest).c_str(), 0444);
}

// Sets or clears the immutable attribute, which even root cannot delete
// past; false where the file system or the process may not set it.
bool SetImmutable(const std::string& fsPath, bool on) {
  int fd = open(fsPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok) {
    flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ok = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  close(fd);
  return ok;
}

// A progress handler that makes the chart named stuck.bms immutable as
// soon as it is written.
void MakeStuckChartImmutable(TArchiveFile&, int state, EXTRACTINGINFOEX* info, bool&) {
  std::string dest = info ? info->exinfo.szDestFileName : "";
  if (state == ARCEXTRACT_END && dest.ends_with("stuck.bms")) SetImmutable(platform::FsName(dest), true);
}

// Whether the libraries were handed the second folder ("work-XXXXXX").
bool InSecondFolder(std::string folder) {
  while (!folder.empty() && folder.back() == '/') folder.pop_back();
  return platform::ExtractFileName(folder).starts_with("work-");
}

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
  // The same, ending with what the component shows after the drop: its
  // selection and the archive of its last command line (the folder in it
  // may be the second one).
  DropRecord DropShowingComponent(bool bothCores, const std::vector<std::string>& paths,
                                  const std::function<bool(std::size_t)>& goOn = {}) {
    DropRecord r = Drop(bothCores, paths, goOn);
    const TArchiveFile::Selection s = af.CurrentSelection();
    const std::string& cmd = af.CmdLine();
    r.events.push_back("selection " + std::to_string(s.type) + " " + s.fileName + " " +
                       std::to_string(s.driverType) + " | " + cmd.substr(0, cmd.rfind(' ')));
    return r;
  }

  ChartList list;
  TArchiveFile af;
  platform::WindowHandle window = 0;
};

class BothCoresFake : public ::testing::Test {
 protected:
  std::string Arc(const std::string& name) const { return tmp_.Path() + name; }
  // one.lzh, `second` (of `type`, holding stuck.bms beside b.bms), three.lzh
  // and four.lzh, a chart each otherwise.
  // The four archives of AddFourArchivesOneWithAStuckChart dropped, then
  // one.lzh and three.lzh, by a program whose unpacking calls `onProgress`,
  // in the run folder "serial" or "both"; `afterDrops` is told the folder.
  std::vector<DropRecord> DropsWithAStuckChart(bool bothCores, const std::string& second,
                                               void (*onProgress)(TArchiveFile&, int, EXTRACTINGINFOEX*, bool&),
                                               const std::function<void(const std::string&)>& afterDrops = {}) {
    const std::string runName = bothCores ? "both" : "serial";
    ProgramRun run(tmp_.Path() + runName, archives_);
    run.af.OnProgress = onProgress;
    std::vector<DropRecord> records;
    records.push_back(run.Drop(bothCores, {Arc("one.lzh"), Arc(second), Arc("three.lzh"), Arc("four.lzh")}));
    records.push_back(run.Drop(bothCores, {Arc("one.lzh"), Arc("three.lzh")}));
    if (afterDrops) afterDrops(runName);
    return records;
  }

  void AddFourArchivesOneWithAStuckChart(const std::string& second, TArchiverType type) {
    archives_.Add(Arc("one.lzh"), {{{"a.bms", "#TITLE a\r\n"}}});
    archives_.Add(Arc(second), {{{"b.bms", "#TITLE b\r\n"}, {"stuck.bms", "#TITLE stuck\r\n"}}, type});
    archives_.Add(Arc("three.lzh"), {{{"c.bms", "#TITLE c\r\n"}}});
    archives_.Add(Arc("four.lzh"), {{{"d.bms", "#TITLE d\r\n"}}});
  }
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
        (bothCores ? both : serial).push_back(run.DropShowingComponent(bothCores, d.paths, [&d](std::size_t i) {
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
    return test_support::FileNamesAt(tmp_.Path() + run + "/work");
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
  AddFourArchivesOneWithAStuckChart("two.zip", atZip);
  // The file stays where the next run of the program finds it.
  auto stuckStays = [&](const std::string& run) { EXPECT_EQ(TopOf(run), std::vector<std::string>{"stuck.bms"}); };
  std::vector<DropRecord> serial = DropsWithAStuckChart(false, "two.zip", MakeStuckChartReadOnly, stuckStays);
  std::vector<DropRecord> both = DropsWithAStuckChart(true, "two.zip", MakeStuckChartReadOnly, stuckStays);
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

namespace {

// An archive of no type its name tells goes to the driver the archive
// before it left, though that one is still being unpacked on the other
// thread; the next drop starts from the same selection either way.
TEST_F(BothCoresFake, UnknownTypesRightAfterKnownOnesGoToTheDriverTheSerialOrderLeaves) {
  archives_.Add(Arc("one.lzh"), {{{"a.bms", "#TITLE a\r\n"}}});
  archives_.Add(Arc("two.zip"), {{{"b.bms", "#TITLE b\r\n"}}, atZip});
  archives_.Add(Arc("nolib.cab"), {{{"n.bms", ""}}, atCab, 0, "", "CAB32.DLL"});
  archives_.Add(Arc("undetected.dat"), {{{"u.bms", "#TITLE u\r\n"}}, atNone});
  archives_.Add(Arc("other.dat"), {{{"o.bms", "#TITLE o\r\n"}}, atNone});
  const std::vector<std::string> drop = {Arc("undetected.dat"), Arc("one.lzh"), Arc("undetected.dat"),
                                         Arc("two.zip"),        Arc("other.dat"), Arc("undetected.dat"),
                                         Arc("nolib.cab"),      Arc("other.dat")};
  for (std::size_t stopAt : {SIZE_MAX, std::size_t{2}, std::size_t{3}, std::size_t{5}, std::size_t{7}}) {
    SCOPED_TRACE(stopAt);
    ExpectSameBothWays({{drop, stopAt}, {{Arc("other.dat"), Arc("undetected.dat")}}});
    EXPECT_TRUE(TopOf("both").empty());
    fs::remove_all(tmp_.Path() + "serial");
    fs::remove_all(tmp_.Path() + "both");
  }
}

// A file the clean-up cannot delete, in whichever folder it was unpacked.
TEST_F(BothCoresFake, AFileLeftInEitherFolderIsListedAsInOneFolder) {
  const char* names[] = {"one.lzh", "two.lzh", "three.lzh", "four.lzh", "five.lzh"};
  for (std::size_t stuckIn = 0; stuckIn < std::size(names); ++stuckIn) {
    SCOPED_TRACE(names[stuckIn]);
    std::vector<std::string> drop;
    for (std::size_t i = 0; i < std::size(names); ++i) {
      std::vector<test_support::FakeEntry> entries = {{std::string("c") + names[i] + ".bms", "#TITLE c\r\n"}};
      if (i == stuckIn) entries.push_back({"stuck.bms", "#TITLE stuck\r\n"});
      archives_.Add(Arc(names[i]), {entries});
      drop.push_back(Arc(names[i]));
    }
    std::vector<DropRecord> serial, both;
    for (bool bothCores : {false, true}) {
      ProgramRun run(tmp_.Path() + (bothCores ? "both" : "serial"), archives_);
      run.af.OnProgress = MakeStuckChartReadOnly;
      (bothCores ? both : serial).push_back(run.DropShowingComponent(bothCores, drop));
      (bothCores ? both : serial).push_back(run.DropShowingComponent(bothCores, {Arc("one.lzh")}));
      EXPECT_EQ(TopOf(bothCores ? "both" : "serial"), std::vector<std::string>{"stuck.bms"});
    }
    EXPECT_EQ(both, serial) << "-- serial:\n" << Describe(serial[0]) << "-- both cores:\n" << Describe(both[0]);
    for (const char* run : {"serial", "both"}) {
      for (auto& e : fs::recursive_directory_iterator(tmp_.Path() + run)) fs::permissions(e.path(), fs::perms::all);
      fs::remove_all(tmp_.Path() + run);
    }
  }
}

// A Cancel that comes while two archives are being unpacked at once stops
// both: the earlier is listed with what it got, the later is not listed at
// all, as when the Cancel comes during the one unpacking of a serial drop.
TEST_F(BothCoresFake, ACancelWhileBothThreadsUnpackListsWhatTheSerialDropLists) {
  archives_.Add(Arc("one.lzh"), {{{"a.bms", "#TITLE a\r\n"}}});
  archives_.Add(Arc("two.zip"), {{{"b.bms", "#TITLE b\r\n"}, {"b2.bms", "#TITLE b2\r\n"}}, atZip});
  archives_.Add(Arc("three.lzh"), {{{"c.bms", "#TITLE c\r\n"}}});
  archives_.Add(Arc("four.lzh"), {{{"d.bms", "#TITLE d\r\n"}}});
  const std::vector<std::string> drop = {Arc("one.lzh"), Arc("two.zip"), Arc("three.lzh"), Arc("four.lzh")};

  std::vector<DropRecord> serial, both;
  for (bool bothCores : {false, true}) {
    std::mutex m;
    std::condition_variable changed;
    bool cancelled = false, threeUnpacking = false, twoStarted = false;
    auto waitFor = [&](std::unique_lock<std::mutex>& lock, const bool& flag) {
      return changed.wait_for(lock, std::chrono::seconds(10), [&] { return flag; });
    };
    ProgramRun run(tmp_.Path() + (bothCores ? "both" : "serial"), archives_);
    // The sender is the component unpacking that archive.
    run.af.OnProgress = [&](TArchiveFile& sender, int state, EXTRACTINGINFOEX*, bool& abort) {
      std::unique_lock<std::mutex> lock(m);
      if (sender.FileName() == Arc("two.zip") && state == ARCEXTRACT_BEGIN) {
        // The Cancel comes once the caller was told two.zip is next; on two
        // cores three.lzh is being unpacked by then too.
        EXPECT_TRUE(waitFor(lock, twoStarted));
        if (bothCores) {
          EXPECT_TRUE(waitFor(lock, threeUnpacking));
        }
        cancelled = true;
        changed.notify_all();
      }
      if (sender.FileName() == Arc("three.lzh") && state == ARCEXTRACT_OPEN) {
        threeUnpacking = true;
        changed.notify_all();
        EXPECT_TRUE(waitFor(lock, cancelled));
      }
      abort = cancelled;
    };
    (bothCores ? both : serial)
        .push_back(run.DropShowingComponent(bothCores, drop, [&](std::size_t i) {
          std::lock_guard<std::mutex> lock(m);
          if (i == 1) twoStarted = true;
          changed.notify_all();
          return !cancelled;
        }));
    EXPECT_EQ(threeUnpacking, bothCores);
    EXPECT_TRUE(TopOf(bothCores ? "both" : "serial").empty());
  }
  EXPECT_EQ(both, serial) << "-- serial:\n" << Describe(serial[0]) << "-- both cores:\n" << Describe(both[0]);
  // Starts 0, 1 and 2, a row, the Cancel of two.zip, the selection.
  EXPECT_EQ(serial[0].events.size(), 6u) << Describe(serial[0]);
}

}  // namespace

namespace {

// A full disk or a folder that takes no file in one lane may be the other
// lane's doing, or the second folder's: the archive is unpacked again
// alone in the first folder before anything is said, so two lanes list
// what one lists, problems included.
TEST_F(BothCoresFake, AnArchiveFailingForSpaceOrItsFolderIsUnpackedAgainAloneBeforeItIsSaid) {
  struct Case {
    const char* what;
    std::function<int(const std::string&)> result;
  } cases[] = {
      {"the second folder's disk is full", [](const std::string& f) { return InSecondFolder(f) ? ERROR_DISK_SPACE : 0; }},
      {"the first folder takes no file", [](const std::string& f) { return InSecondFolder(f) ? 0 : ERROR_CANNOT_WRITE; }},
      {"too big for the disk anywhere", [](const std::string&) { return ERROR_DISK_SPACE; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> drop;
    for (const char* name : {"one.lzh", "two.lzh", "three.lzh", "four.lzh", "five.lzh"}) {
      FakeArchive a({{std::string(name) + ".bms", "#TITLE x\r\n"}});
      a.resultIn = c.result;
      archives_.Add(Arc(name), a);
      drop.push_back(Arc(name));
    }
    ExpectSameBothWays({{drop}, {{Arc("two.lzh"), Arc("one.lzh")}}});
    fs::remove_all(tmp_.Path() + "serial");
    fs::remove_all(tmp_.Path() + "both");
  }
}

// A file the clean-up is refused (immutable, not read-only) is said once,
// with the archive it came with, and later archives go to a fresh working
// folder instead of listing it again and again.
TEST_F(BothCoresFake, AFileTheSystemWillNotDeleteIsSaidOnceAndLeftBehind) {
  test_support::WriteBytes(Arc("probe"), "");
  if (!SetImmutable(Arc("probe"), true)) GTEST_SKIP() << "the immutable attribute cannot be set here";
  SetImmutable(Arc("probe"), false);
  AddFourArchivesOneWithAStuckChart("two.lzh", atLha);
  std::vector<DropRecord> serial = DropsWithAStuckChart(false, "two.lzh", MakeStuckChartImmutable);
  std::vector<DropRecord> both = DropsWithAStuckChart(true, "two.lzh", MakeStuckChartImmutable);
  for (auto& e : fs::recursive_directory_iterator(tmp_.Path()))
    if (e.is_regular_file()) SetImmutable(e.path().string(), false);
  for (std::size_t i = 0; i < both.size(); ++i)
    EXPECT_EQ(both[i], serial[i]) << "-- serial:\n" << Describe(serial[i]) << "-- both cores:\n" << Describe(both[i]);
  EXPECT_EQ(serial[0].events,
            (std::vector<std::string>{"start 0/4 " + Arc("one.lzh"), "row 0 a.bms", "start 1/4 " + Arc("two.lzh"),
                                      "row 1 b.bms", "row 2 stuck.bms",
                                      "problem " + Arc("two.lzh") +
                                          ": 作業フォルダから削除できないファイル (新しい作業フォルダに移りました): stuck.bms",
                                      "start 2/4 " + Arc("three.lzh"), "row 3 c.bms", "start 3/4 " + Arc("four.lzh"),
                                      "row 4 d.bms"}));
  EXPECT_EQ(serial[1].csv.find("stuck.bms", serial[0].csv.size()), std::string::npos);
}

}  // namespace
