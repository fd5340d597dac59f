// SPDX-License-Identifier: MIT
// What the window and bmslist-cli show while archives are unpacked: the
// archive of how many, then the entry being written, never the archive's
// own name in the entry's place.
#include <cstring>

#include <gtest/gtest.h>

#include "charts/progress_text.h"

namespace {

EXTRACTINGINFOEX Report(const char* source, const char* dest) {
  EXTRACTINGINFOEX info{};
  std::strncpy(info.exinfo.szSourceFileName, source, FNAME_MAX32);
  std::strncpy(info.exinfo.szDestFileName, dest, FNAME_MAX32);
  return info;
}

TEST(ProgressText, TheEntryIsTheFileBeingWrittenWithoutItsFolder) {
  EXTRACTINGINFOEX info = Report("/dl/songs.zip", "/app/work/a.bms");
  // "\x95\x5C" (a Shift-JIS character whose second byte is "\") stays whole.
  EXTRACTINGINFOEX japanese = Report("/dl/songs.zip", "/app/work/\x95\x5C.bms");
  // Written into a folder CP932 cannot hold (the marked UTF-8 path): the
  // shown name is CP932 text like every other.
  EXTRACTINGINFOEX korean = Report("/dl/songs.zip", "\xFF/M\xC3\xBAsica/work/\xEB\x85\xB8\xEB\x9E\x98.bms");
  EXTRACTINGINFOEX kana = Report("/dl/songs.zip", "\xFF/M\xC3\xBAsica/work/\xE8\xA1\xA8.bms");
  struct {
    int state;
    const EXTRACTINGINFOEX* info;
    const char* shown;
  } cases[] = {
      {ARCEXTRACT_BEGIN, &info, "a.bms"},
      {ARCEXTRACT_INPROCESS, &info, "a.bms"},
      {ARCEXTRACT_BEGIN, &japanese, "\x95\x5C.bms"},
      {ARCEXTRACT_BEGIN, &korean, "??.bms"},
      {ARCEXTRACT_BEGIN, &kana, "\x95\x5C.bms"},
      {ARCEXTRACT_OPEN, &info, ""},  // opening and finishing name no entry
      {ARCEXTRACT_END, &info, ""},
      {ARCEXTRACT_BEGIN, nullptr, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ProgressEntryName(c.state, c.info), c.shown) << c.state;
  // A name filling the whole field, with no terminating zero in it.
  EXTRACTINGINFOEX full{};
  std::memset(full.exinfo.szDestFileName, 'n', sizeof full.exinfo.szDestFileName);
  EXPECT_EQ(ProgressEntryName(ARCEXTRACT_BEGIN, &full).size(), sizeof full.exinfo.szDestFileName);
}

TEST(ProgressText, TheArchiveIsCountedFromOneAndNamedWithoutItsFolder) {
  EXPECT_EQ(ArchiveProgressText(0, 3, "/dl/songs.lzh"), "1 / 3  songs.lzh");
  EXPECT_EQ(ArchiveProgressText(2, 3, "/dl/\x95\x5C/x.zip"), "3 / 3  x.zip");
  // "래" ends in 0x98, which CP932 would pair with the "/" after it.
  EXPECT_EQ(ArchiveProgressText(0, 1, "\xFF/\xEB\x85\xB8\xEB\x9E\x98/Caf\xC3\xA9.zip"), "1 / 1  Caf?.zip");
}

}  // namespace
