// SPDX-License-Identifier: MIT
// Split archives of every kind dropped through the real libraries: every
// volume dropped lists the set once, at its first volume; a later volume
// alone names the first; a set short of a volume lists what comes before
// the gap and names the volume looked for.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <optional>

#include "charts/archive_problem.h"
#include "charts/chart_list.h"
#include "charts/drop_pipeline.h"
#include "charts/working_folder.h"
#include "drivers/archive_file.h"
#include "platform/cp932.h"
#include "platform/dynlib.h"
#include "platform/paths.h"
#include "tests/support/cab_set_writer.h"
#include "tests/support/files.h"
#include "tests/support/program_folder.h"
#include "tests/support/rar_writer.h"

namespace fs = std::filesystem;

namespace {

using test_support::Shell;

const std::string kOne = "#TITLE one\r\n#WAV01 big.wav\r\n";
const std::string kTwo = "#TITLE two\r\n";
// a.bms lies whole in the first volume, big.wav spans volumes, b.bms is in
// the last.
const std::string& Big() {
  static const std::string big = test_support::NoiseBytes(150000, 71);
  return big;
}

// Writes the set into `dir` and gives its volumes' names in order; empty
// when the tool that makes it is missing.
using SetMaker = std::function<std::vector<std::string>(const std::string& dir)>;

std::vector<std::string> WriteAll(const std::string& dir, const std::vector<std::string>& names,
                                  const std::vector<std::string>& bytes) {
  for (std::size_t i = 0; i < names.size(); ++i) test_support::WriteBytes(dir + names[i], bytes[i]);
  return names;
}

std::vector<test_support::RarEntry> RarSong() { return {{"a.bms", {}, kOne}, {"big.wav", {}, Big()}, {"b.bms", {}, kTwo}}; }

// Runs `command` in a folder holding the song; the volumes it wrote into
// `dir` are found by their names.
std::vector<std::string> MadeBy(const std::string& dir, const std::string& tool, const std::string& command,
                                const std::vector<std::string>& names) {
  if (!test_support::HaveTool(tool)) return {};
  fs::create_directories(dir + "src");
  test_support::WriteBytes(dir + "src/a.bms", kOne);
  test_support::WriteBytes(dir + "src/big.wav", Big());
  test_support::WriteBytes(dir + "src/b.bms", kTwo);
  if (Shell(dir + "src", command) != 0) return {};
  fs::remove_all(dir + "src");
  return names;
}

struct SetKind {
  const char* what;
  SetMaker make;
  std::size_t opens = 0;  // the volume that opens the set (".zip" comes last)
  std::size_t gap = 1;    // a later volume the set needs
  std::vector<std::string> beforeGap = {"a.bms"};  // the charts the volumes before it hold
};

const SetKind kKinds[] = {
    {"rar5_parts",
     [](const std::string& d) {
       return WriteAll(d, {"s.part1.rar", "s.part2.rar", "s.part3.rar"}, test_support::WriteRar5Volumes(RarSong(), 60000));
     }},
    {"rar4_old_style",
     [](const std::string& d) {
       return WriteAll(d, {"s.rar", "s.r00", "s.r01"}, test_support::WriteRar4Volumes(RarSong(), 60000, false));
     }},
    {"zip_split",
     [](const std::string& d) {
       return MadeBy(d, "zip", "zip -q -0 -s 64k ../s.zip a.bms big.wav b.bms", {"s.z01", "s.z02", "s.zip"});
     },
     2},
    {"zip_raw",
     [](const std::string& d) {
       return MadeBy(d, "7zz", "7zz a -bso0 -tzip -mx=0 -v64k ../s.zip a.bms big.wav b.bms",
                     {"s.zip.001", "s.zip.002", "s.zip.003"});
     },
     0, 1, {"a.bms", "b.bms"}},  // 7zz puts the charts first
    {"arj",
     [](const std::string& d) {
       return MadeBy(d, "arj", "arj a -v64K -y ../s.arj a.bms big.wav b.bms >/dev/null", {"s.arj", "s.a01", "s.a02"});
     }},
    {"cab",
     [](const std::string& d) {
       auto [one, two] = test_support::WriteCabSet({{"a.bms", kOne}, {"big.wav", Big()}, {"b.bms", kTwo}}, 60000,
                                                   "s1.cab", "s2.cab");
       return WriteAll(d, {"s1.cab", "s2.cab"}, {one, two});
     }},
};

class VolumeSets : public ::testing::TestWithParam<SetKind> {
 protected:
  void SetUp() override {
    program_.emplace(tmp_.Path() + "app", true);
    CreateWorkingFolder();
    ApplyMainWindowSettings(af_);
    window_ = platform::CreateMessageWindow([](std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; });
    fs::create_directories(Set());
    volumes_ = GetParam().make(Set());
    if (volumes_.empty()) GTEST_SKIP() << "the tool that makes this set is missing";
    for (const std::string& v : volumes_) ASSERT_TRUE(fs::exists(Set() + v)) << v;
  }
  void TearDown() override {
    platform::DestroyMessageWindow(window_);
    program_.reset();
  }

  std::string Set() { return tmp_.Path() + "set/"; }
  std::string Volume(std::size_t i) { return platform::Utf8ToCp932(Set() + volumes_[i]); }
  std::vector<std::string> Captions() {
    std::vector<std::string> out;
    for (const auto& r : list_.Rows()) out.push_back(r.caption);
    return out;
  }
  std::vector<std::string> Drop(const std::vector<std::string>& paths) {
    DropPipeline pipeline(list_, af_, window_);
    std::vector<std::string> problems;
    pipeline.onArchiveProblem = [&](const ArchiveProblem& p) {
      problems.push_back(platform::ExtractFileName(p.archivePath) + ": " + ProblemReasonsText(p));
    };
    pipeline.WMDropFiles(paths);
    return problems;
  }

  test_support::TempDir tmp_;
  std::optional<test_support::ProgramFolder> program_;
  ChartList list_;
  TArchiveFile af_;
  platform::WindowHandle window_ = 0;
  std::vector<std::string> volumes_;
};

TEST_P(VolumeSets, EveryVolumeDroppedListsTheSetOnce) {
  std::vector<std::string> paths;
  for (std::size_t i = volumes_.size(); i-- > 0;) paths.push_back(Volume(i));
  EXPECT_EQ(Drop(paths), std::vector<std::string>{});
  EXPECT_EQ(Captions(), (std::vector<std::string>{"a.bms", "b.bms"}));
  for (const auto& row : list_.Rows()) EXPECT_EQ(row.subItems[siArcName], volumes_[GetParam().opens]);
}

TEST_P(VolumeSets, ALaterVolumeAloneNamesTheFirst) {
  std::vector<std::string> problems = Drop({Volume(GetParam().gap)});
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("分割書庫の最初の巻ではありません (最初の巻 " + volumes_[GetParam().opens] + " を開いてください)"),
            std::string::npos)
      << problems[0];
  EXPECT_TRUE(Captions().empty());
}

TEST_P(VolumeSets, AMissingVolumeIsNamedAndWhatComesBeforeIsListed) {
  fs::remove(Set() + volumes_[GetParam().gap]);
  std::vector<std::string> problems = Drop({Volume(GetParam().opens)});
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("次の巻が見つかりません: " + volumes_[GetParam().gap]), std::string::npos) << problems[0];
  EXPECT_EQ(Captions(), GetParam().beforeGap);
}

INSTANTIATE_TEST_SUITE_P(Kinds, VolumeSets, ::testing::ValuesIn(kKinds),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
