// SPDX-License-Identifier: MIT
// The Windows platform layer: paths split at "\" and ":", code page 932
// named explicitly, wide file names, the real message windows and DLLs.
#include <gtest/gtest.h>

#include "platform/win32/windows_api.h"

#include <string>

#include "platform/cp932.h"
#include "platform/dynlib.h"
#include "platform/files.h"
#include "platform/msgwindow.h"
#include "platform/path_text.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/whole_file_write.h"
#include "platform/win32/wide.h"
#include "tests/windows/win_temp_dir.h"

namespace {

const std::string kHyou = "\x95\x5C";  // 表: its second byte is "\"
const std::string kJapanese = "\x93\xFA\x96\x7B\x8C\xEA";  // 日本語

TEST(WindowsPaths, SplitAtBackslashAndColonByWholeCharacters) {
  EXPECT_EQ(platform::ExtractFileName("C:\\songs\\a.lzh"), "a.lzh");
  EXPECT_EQ(platform::ExtractFilePath("C:\\songs\\a.lzh"), "C:\\songs\\");
  EXPECT_EQ(platform::ExtractFileName("C:a.lzh"), "a.lzh");
  // The "\" inside 表 is no delimiter.
  EXPECT_EQ(platform::ExtractFileName("C:\\" + kHyou + ".lzh"), kHyou + ".lzh");
  EXPECT_EQ(platform::ExtractFilePath("C:\\" + kHyou + "\\x"), "C:\\" + kHyou + "\\");
  EXPECT_EQ(platform::IncludeTrailingDelimiter("C:\\" + kHyou), "C:\\" + kHyou + "\\");
  EXPECT_EQ(platform::ExpandFileName("C:\\a\\..\\b\\.\\c"), "C:\\b\\c");
}

TEST(WindowsCp932, ConvertsWithCodePage932WhateverTheSystemLanguage) {
  // 日本語, ○ and half-width katakana ｱ round-trip.
  for (const std::string& s : {kJapanese, std::string("\x81\x9B"), std::string("\xB1"), kHyou}) {
    std::string utf8, back;
    ASSERT_TRUE(platform::TryCp932ToUtf8(s, utf8));
    ASSERT_TRUE(platform::TryUtf8ToCp932(utf8, back));
    EXPECT_EQ(back, s);
  }
  EXPECT_EQ(platform::Cp932ToUtf8(kJapanese), "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E");
  std::string out;
  // Hangul has no CP932 form: refused, and "?" in the lossy form.
  EXPECT_FALSE(platform::TryUtf8ToCp932("\xED\x95\x9C", out));
  EXPECT_EQ(platform::Utf8ToCp932("a\xED\x95\x9C" "b"), "a?b");
  // A lone lead byte is no character.
  EXPECT_FALSE(platform::TryCp932ToUtf8("a\x82", out));
  // No best-fit mapping: "∞" variants that CP932 lacks are not bent into look-alikes.
  EXPECT_FALSE(platform::TryUtf8ToCp932("\xC2\xB5", out));  // µ
}

TEST(WindowsFiles, JapaneseNamesAndNamesCp932CannotHold) {
  WinTempDir tmp;
  std::string dir = tmp.Path() + kJapanese + "\\";
  ASSERT_TRUE(platform::ForceDirectories(dir));
  ASSERT_TRUE(platform::DirectoryExists(dir));
  platform::WriteWholeFile(dir + kHyou + ".bms", "#TITLE x\r\n");
  EXPECT_TRUE(platform::FileExists(dir + kHyou + ".bms"));

  // A Korean name made through the wide API directly.
  std::wstring korean = platform::win32::Cp932ToWide(dir) + L"\xD55C.bms";
  HANDLE h = CreateFileW(korean.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);

  std::vector<std::string> unlisted;
  auto found = platform::FindFiles(dir, "*.bms", &unlisted);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, kHyou + ".bms");
  ASSERT_EQ(unlisted.size(), 1u);
  EXPECT_EQ(unlisted[0], "\xED\x95\x9C.bms");
  EXPECT_TRUE(platform::DeleteFsFile(dir, unlisted[0]));
  EXPECT_EQ(GetFileAttributesW(korean.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(platform::DeleteFile(dir + kHyou + ".bms"));
}

// A folder CP932 cannot hold travels as the marked UTF-8 path: every file
// call reaches it, and its parts split at "\\" only.
TEST(WindowsFiles, MarkedUtf8PathsReachTheirFiles) {
  WinTempDir tmp;
  const std::string folder = platform::PathFromUtf8(platform::Cp932ToUtf8(tmp.Path()) + "M\xC3\xBAsica\\\xEB\x85\xB8\xEB\x9E\x98\\");
  ASSERT_TRUE(platform::IsUtf8Path(folder));
  ASSERT_TRUE(platform::ForceDirectories(folder));
  platform::WriteWholeFile(folder + "a.bms", "#TITLE x\r\n");
  EXPECT_TRUE(platform::FileExists(folder + "a.bms"));
  EXPECT_NE(GetFileAttributesW((platform::win32::Cp932ToWide(tmp.Path()) + L"M\xFAsica\\\xB178\xB798\\a.bms").c_str()),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(platform::ExtractFileName(folder + "a.bms"), "a.bms");
  EXPECT_EQ(platform::ExtractFilePath(folder + "a.bms"), folder);
  EXPECT_EQ(platform::ExpandFileName(folder + "x\\..\\a.bms"), folder + "a.bms");
  auto found = platform::FindFiles(folder, "*.bms");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_TRUE(platform::DeleteFile(folder + "a.bms"));
}

TEST(WindowsFiles, ReadOnlyFilesAreNeitherDeletedNorOverwritten) {
  WinTempDir tmp;
  std::string file = tmp.Path() + "ro.ini";
  platform::WriteWholeFile(file, "[a]\r\nb=1\r\n");
  SetFileAttributesW(platform::win32::Cp932ToWide(file).c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(platform::DeleteFile(file));
  EXPECT_FALSE(platform::WritePrivateProfileString("a", "b", "2", file));
  EXPECT_EQ(platform::GetPrivateProfileString("a", "b", "", file), "1");
  SetFileAttributesW(platform::win32::Cp932ToWide(file).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(WindowsProfile, KeepsTheFileByteForByteAndAddsLinesInItsOwnLineEnd) {
  WinTempDir tmp;
  std::string file = tmp.Path() + kJapanese + ".ini";
  EXPECT_TRUE(platform::WritePrivateProfileString("Forms", "Property.Left", "10", file));
  EXPECT_TRUE(platform::WritePrivateProfileString("Forms", "Property.Top", "20", file));
  EXPECT_TRUE(platform::WritePrivateProfileString("Forms", "Property.Left", "11", file));
  // The same bytes the Linux build writes: the platform's rules, not the
  // system's profile functions (which would write CRLF and ANSI).
  std::string bytes;
  HANDLE h = CreateFileW(platform::win32::Cp932ToWide(file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  char buf[256];
  DWORD got = 0;
  ReadFile(h, buf, sizeof buf, &got, nullptr);
  CloseHandle(h);
  EXPECT_EQ(std::string(buf, got), "[Forms]\nProperty.Left=11\nProperty.Top=20\n");
  EXPECT_EQ(platform::GetPrivateProfileString("forms", "property.top", "", file), "20");
}

TEST(WindowsMessages, RegisteredMessagesAndSendMessageReachTheHandler) {
  std::uint32_t a = platform::RegisterWindowMessage("wm_arcextract");
  EXPECT_GE(a, 0xC000u);
  EXPECT_EQ(platform::RegisterWindowMessage("WM_ARCEXTRACT"), a);
  EXPECT_NE(platform::RegisterWindowMessage("bmslist-other"), a);

  std::uintptr_t seenW = 0;
  platform::WindowHandle w = platform::CreateMessageWindow([&](std::uint32_t msg, std::uintptr_t wp, std::intptr_t) {
    seenW = wp;
    return std::intptr_t(msg == a ? 1 : 0);
  });
  ASSERT_NE(w, 0u);
  EXPECT_TRUE(platform::IsWindow(w));
  EXPECT_EQ(platform::SendMessage(w, a, 3, 0), 1);
  EXPECT_EQ(seenW, 3u);
  int foreground = 0;
  platform::SetForegroundHook(w, [&] { ++foreground; });
  EXPECT_TRUE(platform::SetForegroundWindow(w));
  EXPECT_EQ(foreground, 1);
  platform::DestroyMessageWindow(w);
  EXPECT_FALSE(platform::IsWindow(w));
  EXPECT_EQ(platform::SendMessage(w, a, 3, 0), 0);
}

TEST(WindowsPlaces, SettingsAndWorkBesideAWritableExecutable) {
  EXPECT_EQ(platform::SettingsDir(), platform::ExecutableDir());
  EXPECT_EQ(platform::WorkParentDir(), platform::ExecutableDir());
  EXPECT_EQ(platform::ExtractFileExt(platform::ExecutablePath()), ".exe");
}

}  // namespace
