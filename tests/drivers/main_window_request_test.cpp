// SPDX-License-Identifier: MIT
// The command line that the main window's one request (extract everything
// into the working folder) hands to each library, byte for byte.
#include "drivers/archive_file.h"
#include "platform/msgwindow.h"
#include "platform/paths.h"
#include "tests/drivers/fixture.h"

namespace {

struct Request {
  const char* name;
  const char* lib;
  const char* entry;
  bool windowPassed;
  const char* line;  // with %A for the archive and %W for the working folder
};

std::string Fill(std::string line, const std::string& arc, const std::string& work) {
  for (std::size_t p; (p = line.find("%A")) != std::string::npos;) line.replace(p, 2, arc);
  for (std::size_t p; (p = line.find("%W")) != std::string::npos;) line.replace(p, 2, work);
  return line;
}

const Request kRequests[] = {
    {"songs.lzh", "UNLHA32.DLL", "Unlha", true, "x -+ -x0  \"%A\" \"%W\" "},
    {"SONGS.LZH", "UNLHA32.DLL", "Unlha", true, "x -+ -x0  \"%A\" \"%W\" "},
    {"songs.zip", "UNZIP32.DLL", "UnZip", true, "-x -j  \"%A\" \"%W\" "},
    {"songs.cab", "CAB32.DLL", "Cab", true, "-x -j  \"%A\" \"%W\" "},
    {"songs.arj", "UNARJ32J.DLL", "Unarj", false, "x -+ -x0  \"%A\" \"%W\" "},
    {"songs.tar", "tar32.dll", "Tar", true, "x --use-directory=0  -f \"%A\" -o \"%W\" "},
    {"songs.tgz", "tar32.dll", "Tar", true, "x --use-directory=0 -z  -f \"%A\" -o \"%W\" "},
    {"songs.taz", "tar32.dll", "Tar", true, "x --use-directory=0 -z  -f \"%A\" -o \"%W\" "},
    {"songs.tar.gz", "tar32.dll", "Tar", true, "x --use-directory=0 -z  -f \"%A\" -o \"%W\" "},
    {"songs.z", "tar32.dll", "Tar", true, "x --use-directory=0 -z  -f \"%A\" -o \"%W\" "},
    {"songs.bz2", "tar32.dll", "Tar", true, "x --use-directory=0 -B  -f \"%A\" -o \"%W\" "},
    {"songs.rar", "UNRAR32.DLL", "Unrar", true, "-e -u  \"%A\" \"%W\" "},
    {"songs.7z", "7-ZIP32.DLL", "SevenZip", true, "e -y -o\"%W\" \"%A\" "},
    {"songs.tar.xz", "tar32.dll", "Tar", true, "x --use-directory=0  -f \"%A\" -o \"%W\" "},
    {"songs.tzst", "tar32.dll", "Tar", true, "x --use-directory=0  -f \"%A\" -o \"%W\" "},
};

class MainWindowRequest : public RecordingTest, public ::testing::WithParamInterface<Request> {};

TEST_P(MainWindowRequest, SendsTheExactLine) {
  const Request& r = GetParam();
  // A Japanese folder name whose second byte is the ASCII backslash.
  std::string arc = "/dl/" + Sj("曲") + "\x95\x5C/" + r.name;
  std::string exeDir = "/tool/";
  int foreground = 0;
  platform::WindowHandle wnd = platform::CreateMessageWindow([](auto, auto, auto) { return std::intptr_t{0}; });
  platform::SetForegroundHook(wnd, [&] { ++foreground; });

  TArchiveFile af;
  ApplyMainWindowSettings(af);
  af.SetFileName(arc);
  EXPECT_EQ(af.Extract(wnd, nullptr, exeDir + "work", nullptr), 0);

  recorder::Call c = OnlyCommand();
  EXPECT_EQ(c.lib, r.lib);
  EXPECT_EQ(c.entry, r.entry);
  EXPECT_EQ(c.wnd, r.windowPassed ? wnd : 0u);
  EXPECT_EQ(c.text, Fill(r.line, arc, "/tool/work/"));
  EXPECT_EQ(af.CmdLine(), c.text);
  EXPECT_TRUE(c.nullBuffer);
  EXPECT_EQ(c.size, 0u);
  EXPECT_EQ(foreground, std::string(r.entry) == "Tar" ? 1 : 0);
  platform::DestroyMessageWindow(wnd);
}

INSTANTIATE_TEST_SUITE_P(EveryExtension, MainWindowRequest, ::testing::ValuesIn(kRequests));

// A charts-only drop adds the chart masks as the file list, after the
// working folder, on the same line.
struct MaskedRequest {
  const char* name;
  const char* line;
};

const MaskedRequest kMaskedRequests[] = {
    {"songs.lzh", "x -+ -x0  \"%A\" \"%W\" \"*.bms\" \"*.bme\" "},
    {"songs.zip", "-x -j  \"%A\" \"%W\" \"*.bms\" \"*.bme\" "},
    {"songs.cab", "-x -j  \"%A\" \"%W\" \"*.bms\" \"*.bme\" "},
    {"songs.arj", "x -+ -x0  \"%A\" \"%W\" \"*.bms\" \"*.bme\" "},
    {"songs.tar", "x --use-directory=0  -f \"%A\" -o \"%W\" \"*.bms\" \"*.bme\" "},
    {"songs.tgz", "x --use-directory=0 -z  -f \"%A\" -o \"%W\" \"*.bms\" \"*.bme\" "},
    {"songs.bz2", "x --use-directory=0 -B  -f \"%A\" -o \"%W\" \"*.bms\" \"*.bme\" "},
    {"songs.rar", "-e -u  \"%A\" \"%W\" \"*.bms\" \"*.bme\" "},
};

class ChartMaskRequest : public RecordingTest, public ::testing::WithParamInterface<MaskedRequest> {};

TEST_P(ChartMaskRequest, SendsTheMasksAfterTheFolder) {
  const MaskedRequest& r = GetParam();
  std::string arc = "/dl/" + Sj("曲") + "\x95\x5C/" + r.name;
  TArchiveFile af;
  ApplyMainWindowSettings(af);
  af.SetFileName(arc);
  const TStringList masks = {"*.bms", "*.bme"};
  EXPECT_EQ(af.Extract(0, nullptr, "/tool/work", &masks), 0);
  EXPECT_EQ(OnlyCommand().text, Fill(r.line, arc, "/tool/work/"));
}

INSTANTIATE_TEST_SUITE_P(EveryFamily, ChartMaskRequest, ::testing::ValuesIn(kMaskedRequests));

TEST_F(RecordingTest, CabExtractsTheFullPathOfARelativeName) {
  TArchiveFile af;
  ApplyMainWindowSettings(af);
  af.SetFileName("dl/songs.cab");
  af.Extract(0, nullptr, "/tool/work", nullptr);
  EXPECT_EQ(OnlyCommand().text, "-x -j  \"" + platform::ExpandFileName("dl/songs.cab") + "\" \"/tool/work/\" ");
}

// File names here may hold a double quote, which would split the quoted
// archive name into more words: another archive, a folder to write into.
TEST_F(RecordingTest, ANameWithAQuoteNeverReachesALibrary) {
  for (const char* ext : {".lzh", ".zip", ".cab", ".arj", ".tgz", ".rar"}) {
    SCOPED_TRACE(ext);
    TArchiveFile af;
    ApplyMainWindowSettings(af);
    af.SetFileName(std::string("/dl/fine") + ext);
    af.Extract(0, nullptr, "/tool/work", nullptr);
    std::string fine = af.CmdLine();
    recorder::Clear();
    af.SetFileName(std::string("/dl/x\" \"evil\\\" \"*") + ext);
    EXPECT_THROW(af.Extract(0, nullptr, "/tool/work", nullptr), EArchiver);
    EXPECT_TRUE(recorder::Calls().empty());
    EXPECT_EQ(af.CmdLine(), fine);
  }
}

TEST_F(RecordingTest, StoredSettingsLoadNoLibrary) {
  TArchiveFile af;
  ApplyMainWindowSettings(af);
  EXPECT_EQ(af.ArchiverType(), atAutoDetect);
  EXPECT_EQ(af.Options().x, 0);
  EXPECT_EQ(af.Options().a, -1);
  EXPECT_EQ(af.GetOutputSize(), 0);
  EXPECT_TRUE(recorder::Calls().empty());
  EXPECT_ARCHIVER_ERROR(af.Extract(0, nullptr, "/w", nullptr), "書庫の形式を判別できません。");
}

}  // namespace
