// SPDX-License-Identifier: MIT
// Listing through OpenArchive / FindFirst / FindNext, and progress reports
// to the owner window.
#include <gtest/gtest.h>
#include <zlib.h>

#include "tests/support/arc_library.h"
#include "tests/support/archive_maker.h"
#include "archivers/lzh/crc16.h"
#include "platform/msgwindow.h"

namespace {

using test_support::ArcLibrary;
using test_support::RawEntry;

struct Listed {
  std::string name;
  uint32_t size, crc;
  uint16_t date, time;
  std::string mode;
};

std::vector<Listed> ListAll(const ArcLibrary& lib, const std::string& archive, const std::string& wild) {
  std::vector<Listed> out;
  HARC h = lib.Entry<ARC_OPEN_FN>("OpenArchive")(0, archive.c_str(), M_ERROR_MESSAGE_OFF | M_REGARDLESS_INIT_FILE);
  EXPECT_NE(h, 0u);
  INDIVIDUALINFO info;
  int r = lib.Entry<ARC_FINDFIRST_FN>("FindFirst")(h, wild.c_str(), &info);
  while (r == 0) {
    out.push_back({info.szFileName, info.dwOriginalSize, info.dwCRC, info.wDate, info.wTime, info.szMode});
    r = lib.Entry<ARC_FINDNEXT_FN>("FindNext")(h, &info);
  }
  EXPECT_EQ(r, -1);
  EXPECT_EQ(lib.Entry<ARC_CLOSE_FN>("CloseArchive")(h), 0);
  return out;
}

TEST(Listing, FillsIndividualInfo) {
  test_support::TempDir dir;
  std::time_t when = 1000000000;  // 2001-09-09
  std::tm tm{};
  localtime_r(&when, &tm);
  uint16_t dosDate = static_cast<uint16_t>((tm.tm_year - 80) << 9 | (tm.tm_mon + 1) << 5 | tm.tm_mday);
  uint16_t dosTime = static_cast<uint16_t>(tm.tm_hour << 11 | tm.tm_min << 5 | tm.tm_sec / 2);
  std::string data = test_support::TextBytes(1234, 3);
  std::vector<RawEntry> entries = {{test_support::Sjis("曲/譜面.bms"), data, '0', "", when}, {"x.wav", "wav", '0', "", when}};
  std::string lzh = dir.Write("a.lzh", test_support::MakeStoredLzh(entries, 2));
  std::string zip = dir.Write("a.zip", test_support::MakeStoredZip(entries, false));

  auto l = ListAll(ArcLibrary("UNLHA32.DLL", "Unlha"), lzh, "");
  ASSERT_EQ(l.size(), 2u);
  EXPECT_EQ(l[0].name, test_support::Sjis("曲/譜面.bms"));
  EXPECT_EQ(l[0].size, data.size());
  EXPECT_EQ(l[0].crc, arc::Crc16Update(0, data.data(), data.size()));
  EXPECT_EQ(l[0].date, dosDate);
  EXPECT_EQ(l[0].time, dosTime);
  EXPECT_EQ(l[0].mode, "-lh0-");

  auto z = ListAll(ArcLibrary("UNZIP32.DLL", "UnZip"), zip, "*.bms");
  ASSERT_EQ(z.size(), 1u);
  EXPECT_EQ(z[0].name, test_support::Sjis("曲/譜面.bms"));
  EXPECT_EQ(z[0].crc, crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
  EXPECT_EQ(z[0].mode, "store");
  // ZIP32J.DLL lists through the same entries.
  EXPECT_EQ(ListAll(ArcLibrary("ZIP32J.DLL", "UnZip"), zip, "").size(), 2u);
}

TEST(Listing, RefusesWhatItCannotOpen) {
  test_support::TempDir dir;
  std::string junk = dir.Write("junk.lzh", test_support::NoiseBytes(3000, 1));
  ArcLibrary lha("UNLHA32.DLL", "Unlha");
  EXPECT_EQ(lha.Entry<ARC_OPEN_FN>("OpenArchive")(0, junk.c_str(), 0x00800002), 0u);
  EXPECT_EQ(lha.Entry<ARC_CLOSE_FN>("CloseArchive")(0), ERROR_HARC_ISNOT_OPENED);
  INDIVIDUALINFO info;
  EXPECT_EQ(lha.Entry<ARC_FINDNEXT_FN>("FindNext")(12345, &info), ERROR_HARC_ISNOT_OPENED);
}

// Progress: one report per entry at least, through the registered message,
// and an answer of 1 stops the operation.
class ProgressTest : public ::testing::Test {
 protected:
  void SetUp() override {
    archive_ = dir_.Write("p.lzh", test_support::MakeStoredLzh({{"1.bms", "a"}, {"2.bms", "b"}, {"3.bms", "c"}}, 2));
    msg_ = platform::RegisterWindowMessage("wm_arcextract");
    wnd_ = platform::CreateMessageWindow([this](uint32_t msg, uintptr_t state, intptr_t lp) -> intptr_t {
      if (msg != msg_) return 0;
      auto* info = reinterpret_cast<EXTRACTINGINFOEX*>(lp);
      states_.push_back(static_cast<unsigned>(state));
      if (state == ARCEXTRACT_BEGIN) {
        names_.push_back(info->exinfo.szDestFileName);
        if (static_cast<int>(names_.size()) == abortAt_) return 1;
      }
      if (state == ARCEXTRACT_INPROCESS) inProcessNames_.push_back(info->exinfo.szDestFileName);
      return state == ARCEXTRACT_INPROCESS && abortInProcess_ ? 1 : 0;
    });
  }
  void TearDown() override { platform::DestroyMessageWindow(wnd_); }

  int Extract(const std::string& dest) { return lha_.Command("x -+ -x1 -n1 \"" + archive_ + "\" \"" + dir_.Path() + dest + "/\" "); }

  test_support::TempDir dir_;
  std::string archive_;
  ArcLibrary lha_{"UNLHA32.DLL", "Unlha"};
  uint32_t msg_ = 0;
  platform::WindowHandle wnd_ = 0;
  std::vector<unsigned> states_;
  std::vector<std::string> names_;
  int abortAt_ = 0;
  std::vector<std::string> inProcessNames_;
  bool abortInProcess_ = false;
};

TEST_F(ProgressTest, ReportsEveryEntryToTheOwnerWindow) {
  ASSERT_EQ(lha_.Entry<ARC_SETOWNER_FN>("SetOwnerWindowEx")(wnd_, nullptr), 1);
  ASSERT_EQ(Extract("all"), 0);
  EXPECT_EQ(names_, (std::vector<std::string>{dir_.Path() + "all/1.bms", dir_.Path() + "all/2.bms", dir_.Path() + "all/3.bms"}));
  ASSERT_FALSE(states_.empty());
  EXPECT_EQ(states_.front(), unsigned{ARCEXTRACT_OPEN});
  EXPECT_EQ(states_.back(), unsigned{ARCEXTRACT_END});
  EXPECT_EQ(lha_.Entry<ARC_KILLOWNER_FN>("KillOwnerWindowEx")(wnd_ + 1000), 0);  // not the registered one
  EXPECT_EQ(lha_.Entry<ARC_KILLOWNER_FN>("KillOwnerWindowEx")(wnd_), 1);
  states_.clear();
  ASSERT_EQ(Extract("again"), 0);
  EXPECT_TRUE(states_.empty());  // unregistered: silence
}

TEST_F(ProgressTest, AnswerOneAbortsWithUserCancel) {
  abortAt_ = 2;
  ASSERT_EQ(lha_.Entry<ARC_SETOWNER_FN>("SetOwnerWindowEx")(wnd_, nullptr), 1);
  EXPECT_EQ(Extract("part"), ERROR_USER_CANCEL);
  lha_.Entry<ARC_KILLOWNER_FN>("KillOwnerWindowEx")(wnd_);
  EXPECT_EQ(test_support::FilesUnder(dir_.Path() + "part"), (std::map<std::string, std::string>{{"1.bms", "a"}}));
}

// Passing over a long entry of a stream that was not asked for still
// reports, without a file name since none is written, and can be stopped.
TEST_F(ProgressTest, APassOverAStreamEntryReportsAndCanBeStopped) {
  dir_.Write("src/a.bms", "a");
  dir_.Write("src/zeros.wav", std::string(12 << 20, '\0'));
  dir_.Write("src/b.bms", "b");
  ASSERT_EQ(test_support::Shell(dir_.Path() + "src", "tar -czf ../s.tgz a.bms zeros.wav b.bms"), 0);
  ArcLibrary tar("tar32.dll", "Tar");
  ASSERT_EQ(tar.Entry<ARC_SETOWNER_FN>("SetOwnerWindowEx")(wnd_, nullptr), 1);
  auto extract = [&](const std::string& dest) {
    return tar.Command("x --use-directory=0 -f \"" + dir_.Path() + "s.tgz\" -o \"" + dir_.Path() + dest + "/\" \"*.bms\"");
  };
  ASSERT_EQ(extract("all"), 0);
  EXPECT_EQ(names_, (std::vector<std::string>{dir_.Path() + "all/a.bms", dir_.Path() + "all/b.bms"}));
  EXPECT_EQ(inProcessNames_, (std::vector<std::string>{"", ""}));  // after 4 and 8 MiB passed over
  abortInProcess_ = true;
  EXPECT_EQ(extract("part"), ERROR_USER_CANCEL);
  EXPECT_EQ(test_support::FilesUnder(dir_.Path() + "part"), (std::map<std::string, std::string>{{"a.bms", "a"}}));
  tar.Entry<ARC_KILLOWNER_FN>("KillOwnerWindowEx")(wnd_);
}

}  // namespace
