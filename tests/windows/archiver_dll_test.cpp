// SPDX-License-Identifier: MIT
// The archiver libraries as real Windows DLLs: loaded by file name beside
// the executable, entries found by their undecorated names and called in
// the interface's calling convention (a mismatch would corrupt the stack),
// archives made and read back through them with Japanese names, progress
// delivered to a real window through the registered message.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archiver_api.h"
#include "platform/cp932.h"
#include "platform/dynlib.h"
#include "platform/files.h"
#include "platform/msgwindow.h"
#include "platform/paths.h"
#include "platform/whole_file_write.h"
#include "platform/win32/windows_api.h"
#include "tests/windows/win_temp_dir.h"

namespace {

std::string Q(const std::string& s) { return "\"" + s + "\""; }
const std::string kTitle = "\x83\x5C\x83\x93\x83\x4F";  // ソング: "\" as a second byte

struct Library {
  const char* file;
  const char* prefix;  // of the listing entries
  const char* command;  // the command entry
};

const Library kLibraries[] = {
    {"UNLHA32.DLL", "Unlha", "Unlha"}, {"UNZIP32.DLL", "UnZip", "UnZip"}, {"ZIP32J.DLL", "UnZip", "Zip"},  // no owner-window entries
    {"LMZIP32.DLL", "Unzip", "Zip"},   {"CAB32.DLL", "Cab", "Cab"},       {"UNARJ32J.DLL", "Unarj", "Unarj"},
    {"tar32.dll", "Tar", "Tar"},       {"UNRAR32.DLL", "Unrar", "Unrar"},     {"7-ZIP32.DLL", "SevenZip", "SevenZip"},
};

TEST(ArchiverDlls, ExportTheUndecoratedEntryNames) {
  for (const Library& lib : kLibraries) {
    SCOPED_TRACE(lib.file);
    platform::ModuleHandle m = platform::LoadLibrary(lib.file);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(platform::GetModuleFileName(m), platform::ExecutableDir() + lib.file);
    std::string p = lib.prefix;
    std::vector<std::string> entries = {lib.command,       p + "OpenArchive", p + "CloseArchive",
                                        p + "FindFirst",   p + "FindNext",    p + "CheckArchive"};
    if (std::string(lib.file) != "ZIP32J.DLL") {
      entries.push_back(p + "SetOwnerWindowEx");
      entries.push_back(p + "KillOwnerWindowEx");
    }
    entries.push_back(p + "ExtractMem");
    entries.push_back(p + "ListExtractMem");
    // The family's other entries: state under the command entry's name for
    // ZIP32J.DLL, under the listing prefix elsewhere.
    std::string state = std::string(lib.file) == "ZIP32J.DLL" ? lib.command : p;
    for (const char* suffix : {"GetVersion", "GetSubVersion", "GetRunning", "GetBackGroundMode", "SetBackGroundMode",
                               "GetCursorMode", "SetCursorMode", "GetCursorInterval", "SetCursorInterval",
                               "QueryFunctionList", "ConfigDialog"})
      entries.push_back(state + suffix);
    for (const char* suffix : {"GetFileCount", "GetArcFileName", "GetArcFileSize", "GetArcOriginalSize", "GetArcRatio",
                               "IsSFXFile", "GetArcWriteTimeEx", "GetArcFileSizeEx", "GetFileName", "GetMethod",
                               "GetOriginalSize", "GetCompressedSize", "GetRatio", "GetDate", "GetTime", "GetWriteTime",
                               "GetCRC", "GetAttribute", "GetOSType", "GetWriteTimeEx", "GetOriginalSizeEx"})
      entries.push_back(p + suffix);
    if (std::string(lib.file) != "ZIP32J.DLL") {
      entries.push_back(p + "SetOwnerWindow");
      entries.push_back(p + "ClearOwnerWindow");
    }
    for (const std::string& entry : entries) EXPECT_NE(platform::GetProcAddress(m, entry.c_str()), nullptr) << entry;
    EXPECT_EQ(platform::GetProcAddress(m, (p + "GetFileName@12").c_str()), nullptr);
    EXPECT_EQ(platform::GetProcAddress(m, (state + "GetVersion@0").c_str()), nullptr);
    // stdcall names as the compiler decorates them are not exported.
    EXPECT_EQ(platform::GetProcAddress(m, (std::string(lib.command) + "@16").c_str()), nullptr);
    EXPECT_EQ(platform::GetProcAddress(m, ("_" + std::string(lib.command) + "@16").c_str()), nullptr);
    platform::FreeLibrary(m);
  }
}

struct Format {
  const char* name;
  const char* createFile;   // the library that makes the archive, and its command entry
  const char* createEntry;
  const char* file;         // the library that reads it, and its prefix
  const char* prefix;
  const char* archive;
  std::string (*create)(const std::string& archive, const std::string& src);
  const char* extract;  // %A archive, %D destination
  const char* list;     // a listing line, %A
  const char* test;     // a testing line, %A; empty when the family member has none
};

std::string Fill(std::string line, const std::string& a, const std::string& d = "") {
  line.replace(line.find("%A"), 2, a);
  if (auto at = line.find("%D"); at != std::string::npos) line.replace(at, 2, d);
  return line;
}

struct MemorySeen {
  std::vector<std::string> listed, chosen, bytes;
};

int ARC_API RecordMemoryEntry(void* context, const ENTRYMEMINFO* e) {
  auto& s = *static_cast<MemorySeen*>(context);
  s.listed.push_back(e->info.szFileName);
  if (e->chosen) {
    s.chosen.push_back(e->leafName);
    s.bytes.emplace_back(reinterpret_cast<const char*>(e->data), e->size);
  }
  return 0;
}

template <class F>
F EntryOf(platform::ModuleHandle m, const std::string& prefix, const char* suffix) {
  return reinterpret_cast<F>(platform::GetProcAddress(m, (prefix + suffix).c_str()));
}

class RoundTrip : public ::testing::TestWithParam<Format> {};

TEST_P(RoundTrip, MakesListsAndExtractsJapaneseNamesWithProgress) {
  const Format& f = GetParam();
  WinTempDir tmp;
  std::string src = tmp.Path() + "src\\", out = tmp.Path() + kTitle + "\\";
  ASSERT_TRUE(platform::ForceDirectories(src + "sub"));
  const std::string chart = "#TITLE " + kTitle + "\r\n#BPM 150\r\n";
  platform::WriteWholeFile(src + kTitle + ".bms", chart);
  platform::WriteWholeFile(src + "sub\\readme.txt", std::string(70000, 'x'));
  std::string archive = tmp.Path() + kTitle + f.archive;

  char output[1024] = {};
  {
    platform::ModuleHandle maker = platform::LoadLibrary(f.createFile);
    ASSERT_NE(maker, nullptr);
    auto create = reinterpret_cast<ARC_COMMAND_FN>(platform::GetProcAddress(maker, f.createEntry));
    ASSERT_NE(create, nullptr);
    ASSERT_EQ(create(0, f.create(archive, src).c_str(), output, sizeof output), 0) << output;
    platform::FreeLibrary(maker);
  }
  ASSERT_TRUE(platform::FileExists(archive));

  platform::ModuleHandle m = platform::LoadLibrary(f.file);
  ASSERT_NE(m, nullptr);
  auto command = reinterpret_cast<ARC_COMMAND_FN>(platform::GetProcAddress(m, f.prefix));
  ASSERT_NE(command, nullptr);

  // Listing through OpenArchive / FindFirst / FindNext.
  auto open = reinterpret_cast<ARC_OPEN_FN>(platform::GetProcAddress(m, (std::string(f.prefix) + "OpenArchive").c_str()));
  auto first = reinterpret_cast<ARC_FINDFIRST_FN>(platform::GetProcAddress(m, (std::string(f.prefix) + "FindFirst").c_str()));
  auto next = reinterpret_cast<ARC_FINDNEXT_FN>(platform::GetProcAddress(m, (std::string(f.prefix) + "FindNext").c_str()));
  auto close = reinterpret_cast<ARC_CLOSE_FN>(platform::GetProcAddress(m, (std::string(f.prefix) + "CloseArchive").c_str()));
  ASSERT_TRUE(open && first && next && close);
  HARC h = open(0, archive.c_str(), 0x00800002);
  ASSERT_NE(h, 0u);
  // The getters answer for the entry found, in the interface's calling
  // convention, and the end of the search stays the end.
  auto fileName = EntryOf<ARC_GETTEXT_FN>(m, f.prefix, "GetFileName");
  auto originalSize = EntryOf<ARC_GETDWORD_FN>(m, f.prefix, "GetOriginalSize");
  auto writeTimeEx = EntryOf<ARC_GETFILETIME_FN>(m, f.prefix, "GetWriteTimeEx");
  auto fileCount = EntryOf<ARC_GETFILECOUNT_FN>(m, f.prefix, "GetFileCount");
  auto version = EntryOf<ARC_GETVERSION_FN>(m, f.prefix, "GetVersion");
  auto query = EntryOf<ARC_QUERYFUNCTION_FN>(m, f.prefix, "QueryFunctionList");
  ASSERT_TRUE(fileName && originalSize && writeTimeEx && fileCount && version && query);
  EXPECT_GE(version(), 100);
  EXPECT_EQ(query(ISARC_GET_FILE_NAME), 1);
  EXPECT_EQ(query(ISARC_EXTRACT), 0);
  std::vector<std::string> names;
  INDIVIDUALINFO info{};
  for (int r = first(h, "*", &info); r == 0; r = next(h, &info)) {
    names.push_back(info.szFileName);
    char name[1024];
    EXPECT_EQ(fileName(h, name, sizeof name), 0);
    EXPECT_STREQ(name, info.szFileName);
    EXPECT_EQ(originalSize(h), info.dwOriginalSize);
    ARC_FILETIME ft{};
    EXPECT_EQ(writeTimeEx(h, &ft), 1);
    FILETIME local{}, utc{ft.dwLowDateTime, ft.dwHighDateTime};
    SYSTEMTIME st{};
    ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local) && FileTimeToSystemTime(&local, &st));
    EXPECT_EQ(st.wYear, 1980 + (info.wDate >> 9));
  }
  EXPECT_EQ(next(h, &info), -1);
  EXPECT_EQ(next(h, &info), -1);
  EXPECT_EQ(originalSize(h), 0xFFFFFFFFu);
  close(h);
  EXPECT_EQ(fileCount(archive.c_str()), static_cast<int>(names.size()));
  std::string table(4096, '\0');
  ASSERT_EQ(command(0, Fill(f.list, archive).c_str(), table.data(), static_cast<uint32_t>(table.size())), 0);
  EXPECT_NE(table.find(kTitle + ".bms"), std::string::npos) << table.c_str();
  EXPECT_NE(table.find("\r\n"), std::string::npos);
  if (*f.test) {
    EXPECT_EQ(command(0, Fill(f.test, archive).c_str(), output, sizeof output), 0) << output;
  }
  std::string listed;
  for (const auto& n : names) listed += "[" + n + "]";
  EXPECT_NE(std::find(names.begin(), names.end(), kTitle + ".bms"), names.end()) << listed;

  // The same entries into memory, across the DLL boundary: the chart's
  // bytes and its name, the other entries listed.
  auto extractMem = reinterpret_cast<ARC_EXTRACTMEM_FN>(
      platform::GetProcAddress(m, (std::string(f.prefix) + "ExtractMem").c_str()));
  auto listMem = reinterpret_cast<ARC_LISTEXTRACTMEM_FN>(
      platform::GetProcAddress(m, (std::string(f.prefix) + "ListExtractMem").c_str()));
  ASSERT_TRUE(extractMem && listMem);
  unsigned char mem[256] = {};
  std::uint32_t written = 0;
  ASSERT_EQ(extractMem(0, (Q(archive) + " *.bms").c_str(), mem, sizeof mem, nullptr, nullptr, &written), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(mem), written), chart);
  MemorySeen seen;
  ASSERT_EQ(listMem((Q(archive) + " *.bms").c_str(), &RecordMemoryEntry, &seen), 0);
  EXPECT_EQ(seen.listed, names);
  ASSERT_EQ(seen.chosen.size(), 1u);
  EXPECT_EQ(seen.chosen[0], platform::Cp932ToUtf8(kTitle) + ".bms");  // the file-system form
  EXPECT_EQ(seen.bytes[0], chart);

  // Extraction with a real owner window receiving the progress messages.
  std::uint32_t msg = platform::RegisterWindowMessage("wm_arcextract");
  std::vector<std::string> begun;
  platform::WindowHandle w = platform::CreateMessageWindow([&](std::uint32_t m2, std::uintptr_t state, std::intptr_t l) {
    if (m2 == msg && state == ARCEXTRACT_BEGIN && l)
      begun.push_back(reinterpret_cast<EXTRACTINGINFOEX*>(l)->exinfo.szSourceFileName);
    return std::intptr_t{0};
  });
  auto setOwner = reinterpret_cast<ARC_SETOWNER_FN>(
      platform::GetProcAddress(m, (std::string(f.prefix) + "SetOwnerWindowEx").c_str()));
  auto killOwner = reinterpret_cast<ARC_KILLOWNER_FN>(
      platform::GetProcAddress(m, (std::string(f.prefix) + "KillOwnerWindowEx").c_str()));
  ASSERT_TRUE(setOwner && killOwner);
  EXPECT_EQ(setOwner(w, nullptr), 1);
  ASSERT_EQ(command(w, Fill(f.extract, archive, out).c_str(), output, sizeof output), 0) << output;
  EXPECT_EQ(killOwner(w), 1);
  platform::DestroyMessageWindow(w);
  EXPECT_FALSE(begun.empty());
  std::string bytes;
  ASSERT_TRUE(platform::FileExists(out + kTitle + ".bms"));
  HANDLE file = CreateFileW(platform::win32::Cp932ToWide(out + kTitle + ".bms").c_str(), GENERIC_READ,
                            FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  char buf[256];
  DWORD got = 0;
  ReadFile(file, buf, sizeof buf, &got, nullptr);
  CloseHandle(file);
  EXPECT_EQ(std::string(buf, got), chart);
  EXPECT_TRUE(platform::FileExists(out + "sub\\readme.txt"));
  platform::FreeLibrary(m);
}

std::string LhaCreate(const std::string& a, const std::string& s) { return "a -+ -r1 -x1  " + Q(a) + " " + Q(s) + " \"*.*\" "; }
std::string ZipCreate(const std::string& a, const std::string& s) { return " -D -r -9  " + Q(a) + " " + Q(s) + " \"*.*\" "; }
std::string CabCreate(const std::string& a, const std::string& s) { return "-a -r  " + Q(a) + " " + Q(s) + " \"*.*\" "; }
std::string TgzCreate(const std::string& a, const std::string& s) { return "c -z9  -f " + Q(a) + " -o " + Q(s) + " \"*\" "; }

// Offsets past 2 GiB: a ZIP behind a 2.25 GiB stub (a hole, so the file
// costs no disk) is found, listed and extracted. 32-bit offsets would fold
// the reads back into the stub.
TEST(ArchiverDlls, ReadAZipPastTwoGiB) {
  WinTempDir tmp;
  std::string src = tmp.Path() + "src\\", out = tmp.Path() + "out\\";
  ASSERT_TRUE(platform::ForceDirectories(src));
  const std::string chart = "#TITLE " + kTitle + "\r\n#BPM 150\r\n" + std::string(5000, '#');
  platform::WriteWholeFile(src + "a.bms", chart);
  std::string small = tmp.Path() + "small.zip", big = tmp.Path() + "big.zip";
  char output[1024] = {};
  platform::ModuleHandle zip = platform::LoadLibrary("ZIP32J.DLL");
  ASSERT_NE(zip, nullptr);
  auto create = reinterpret_cast<ARC_COMMAND_FN>(platform::GetProcAddress(zip, "Zip"));
  ASSERT_NE(create, nullptr);
  ASSERT_EQ(create(0, ZipCreate(small, src).c_str(), output, sizeof output), 0) << output;
  platform::FreeLibrary(zip);
  std::string bytes = ReadAll(small);
  ASSERT_FALSE(bytes.empty());

  HANDLE h = CreateFileW(platform::win32::Cp932ToWide(big).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER at;
  at.QuadPart = 0x90000000LL;  // 2.25 GiB
  DWORD put = 0;
  bool written = SetFilePointerEx(h, at, nullptr, FILE_BEGIN) &&
                 WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) && put == bytes.size();
  CloseHandle(h);
  ASSERT_TRUE(written);

  platform::ModuleHandle m = platform::LoadLibrary("UNZIP32.DLL");
  ASSERT_NE(m, nullptr);
  auto command = reinterpret_cast<ARC_COMMAND_FN>(platform::GetProcAddress(m, "UnZip"));
  auto open = reinterpret_cast<ARC_OPEN_FN>(platform::GetProcAddress(m, "UnZipOpenArchive"));
  auto first = reinterpret_cast<ARC_FINDFIRST_FN>(platform::GetProcAddress(m, "UnZipFindFirst"));
  auto close = reinterpret_cast<ARC_CLOSE_FN>(platform::GetProcAddress(m, "UnZipCloseArchive"));
  ASSERT_TRUE(command && open && first && close);
  HARC harc = open(0, big.c_str(), 0x00800002);
  ASSERT_NE(harc, 0u);
  INDIVIDUALINFO info{};
  EXPECT_EQ(first(harc, "*", &info), 0);
  EXPECT_STREQ(info.szFileName, "a.bms");
  close(harc);
  ASSERT_EQ(command(0, ("-x  " + Q(big) + " " + Q(out) + " ").c_str(), output, sizeof output), 0) << output;
  EXPECT_EQ(ReadAll(out + "a.bms"), chart);
  platform::FreeLibrary(m);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, RoundTrip,
    ::testing::Values(
        Format{"lzh", "UNLHA32.DLL", "Unlha", "UNLHA32.DLL", "Unlha", ".lzh", LhaCreate, "x -+ -x1  \"%A\" \"%D\" ",
               "l \"%A\"", "t \"%A\""},
        Format{"zip", "ZIP32J.DLL", "Zip", "UNZIP32.DLL", "UnZip", ".zip", ZipCreate, "-x  \"%A\" \"%D\" ",
               "-l \"%A\"", "-t \"%A\""},
        Format{"cab", "CAB32.DLL", "Cab", "CAB32.DLL", "Cab", ".cab", CabCreate, "-x  \"%A\" \"%D\" ",
               "-l \"%A\"", "-t \"%A\""},
        Format{"tgz", "tar32.dll", "Tar", "tar32.dll", "Tar", ".tgz", TgzCreate,
               "x --use-directory=1  -f \"%A\" -o \"%D\" ", "-tvf \"%A\"", ""}),
    [](const ::testing::TestParamInfo<Format>& p) { return std::string(p.param.name); });

}  // namespace
