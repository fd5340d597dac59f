// SPDX-License-Identifier: MIT
// Paths code page 932 cannot hold: the drivers switch the library to its
// Unicode mode around exactly the calls that carry one, send that call's
// text as UTF-8, and leave every other call as it was.
#include <functional>

#include "archives/unicode_line.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "tests/drivers/fixture.h"

namespace {

const std::string kSong = "\xE3\x81\x8A";  // お: CP932 holds it (0x82 0xA8)
// The marked form of /s/노래.<ext>, as the front ends pass it on.
std::string Korean(const char* ext) { return platform::kUtf8PathMark + std::string("/s/노래.") + ext; }

struct DriverCase {
  const char* name;
  std::function<std::unique_ptr<TArchiver>()> make;
  const char* ext;
  const char* lib;
  const char* entry;
  const char* prefix;  // of ...SetUnicodeMode
};

const DriverCase kDrivers[] = {
    {"lha", [] { return std::make_unique<TLha32>(); }, "lzh", "UNLHA32.DLL", "Unlha", "Unlha"},
    {"zip", [] { return std::make_unique<TZip32>(); }, "zip", "UNZIP32.DLL", "UnZip", "UnZip"},
    {"cab", [] { return std::make_unique<TCab32>(); }, "cab", "CAB32.DLL", "Cab", "Cab"},
    {"tar", [] { return std::make_unique<TTar32>(); }, "tar", "tar32.dll", "Tar", "Tar"},
    {"rar", [] { return std::make_unique<TRar32>(); }, "rar", "UNRAR32.DLL", "Unrar", "Unrar"},
    {"7z", [] { return std::make_unique<TSevenZip>(); }, "7z", "7-ZIP32.DLL", "SevenZip", "SevenZip"},
};

// The entries called, in order, with Unicode switches shown as "+"/"-".
std::string CallOrder() {
  std::string out;
  for (auto& c : recorder::Calls()) {
    if (!out.empty()) out += ' ';
    out += c.entry.find("SetUnicodeMode") != std::string::npos ? (c.mode ? "+" : "-") : c.entry;
  }
  return out;
}

TEST_F(RecordingTest, EachDriverSwitchesToUnicodeForAPathCp932CannotHold) {
  for (const DriverCase& d : kDrivers) {
    SCOPED_TRACE(d.name);
    UseLibraries("all");
    auto driver = d.make();
    TArchiverOptions o;
    std::string out;
    driver->Unpack(0, Korean(d.ext), o, "/w/" + platform::Utf8ToCp932(kSong) + "/", nullptr, false, out);
    recorder::Call cmd = OnlyCommand();
    EXPECT_EQ(cmd.lib, d.lib);
    EXPECT_EQ(CallOrder(), std::string("+ ") + d.entry + " -");
    // The whole line is UTF-8: the marked path without its mark, the CP932
    // destination converted.
    EXPECT_NE(cmd.text.find("\"/s/노래." + std::string(d.ext) + "\""), std::string::npos) << cmd.text;
    EXPECT_NE(cmd.text.find("/w/" + kSong + "/"), std::string::npos) << cmd.text;
    EXPECT_EQ(cmd.text.find(platform::kUtf8PathMark), std::string::npos);
    EXPECT_EQ(cmd.text, Utf8CommandText(driver->CmdLine()));

    // The same call with a CP932 path touches no mode and sends the bytes.
    UseLibraries("all");
    driver = d.make();
    driver->Unpack(0, "/s/" + platform::Utf8ToCp932(kSong) + "." + d.ext, o, "/w/", nullptr, false, out);
    EXPECT_EQ(CallOrder(), d.entry);
    EXPECT_EQ(OnlyCommand().text, driver->CmdLine());
  }
}

TEST_F(RecordingTest, OpeningAndCheckingAPathCp932CannotHoldUseUnicodeForThatCallOnly) {
  TLha32 lha;
  recorder::SetAnswer("UNLHA32.DLL", "UnlhaOpenArchive", 7);
  HARC h = lha.OpenArchive(0, Korean("lzh"), 0);
  EXPECT_EQ(h, 7u);
  INDIVIDUALINFO info{};
  lha.FindFirst(h, &info, "*");
  lha.CloseArchive(h);
  lha.CheckArchive(Korean("lzh"), 0, 0);
  EXPECT_EQ(CallOrder(), "+ UnlhaOpenArchive - UnlhaFindFirst UnlhaCloseArchive + UnlhaCheckArchive -");
  EXPECT_EQ(CallsTo("UnlhaOpenArchive")[0].text, "/s/노래.lzh");
  EXPECT_EQ(CallsTo("UnlhaCheckArchive")[0].text, "/s/노래.lzh");
}

TEST_F(RecordingTest, ALibraryWithoutUnicodeModeIsRefusedBeforeAnythingIsSent) {
  UseLibraries("partial");  // an older library: no SetUnicodeMode
  TLha32 lha;
  try {
    lha.OpenArchive(0, Korean("lzh"), 0);
    ADD_FAILURE() << "no refusal";
  } catch (const EArchiver& e) {
    EXPECT_NE(std::string(e.what()).find("UNLHA32.DLL"), std::string::npos);
    EXPECT_NE(platform::Cp932ToUtf8(e.what()).find("932"), std::string::npos);
  }
  EXPECT_TRUE(CallsTo("UnlhaOpenArchive").empty());
  // A CP932 path still opens.
  lha.OpenArchive(0, "/s/a.lzh", 0);
  EXPECT_EQ(CallsTo("UnlhaOpenArchive").size(), 1u);

  // A library that turns the mode down is refused the same way.
  UseLibraries("all");
  recorder::SetAnswer("UNLHA32.DLL", "UnlhaSetUnicodeMode", 0);
  TLha32 older;
  TArchiverOptions o;
  std::string out;
  EXPECT_THROW(older.Unpack(0, Korean("lzh"), o, "/w/", nullptr, false, out), EArchiver);
  EXPECT_TRUE(CallsTo("Unlha").empty());
}

TEST_F(RecordingTest, AResponseFileWithANameCp932CannotHoldIsUtf8AndSoIsItsCall) {
  const std::string dir = std::string(REC_DIR) + "/tmp-unicode-response/";
  platform::ForceDirectories(dir);
  TArchiverOptions o;
  o.ResFileName = dir + "list.txt";
  TStringList files = {platform::Utf8ToCp932("譜面.bms"), platform::kUtf8PathMark + std::string("노래.bms")};
  std::string out;
  TLha32 lha;
  lha.Unpack(0, "/s/a.lzh", o, "", &files, false, out);
  EXPECT_EQ(ReadWholeFile(o.ResFileName), "\"譜面.bms\"\r\n\"노래.bms\"\r\n");
  EXPECT_EQ(CallOrder(), "+ Unlha -");
  EXPECT_EQ(OnlyCommand().text, "x -+  \"/s/a.lzh\" \"@" + o.ResFileName + "\" ");
}

TEST(UnicodeLineTest, ConvertsCp932StretchesAndUnmarksPaths) {
  const std::string m(1, platform::kUtf8PathMark);
  struct {
    std::string line, utf8;
  } cases[] = {
      {"x \"a.lzh\"", "x \"a.lzh\""},
      {"x \"" + m + "/Música/b.lzh\" \"/w/\x95\x5C/\"", "x \"/Música/b.lzh\" \"/w/表/\""},
      {"e \"-o" + m + "/😀/\" \"" + m + "/노래.7z\" *.bms", "e \"-o/😀/\" \"/노래.7z\" *.bms"},
      {"\"" + m + "a\"\r\n\"\x82\xA0\"\r\n", "\"a\"\r\n\"あ\"\r\n"},
  };
  for (auto& c : cases) {
    EXPECT_EQ(NeedsUnicode(c.line), c.line.find(m) != std::string::npos);
    EXPECT_EQ(Utf8CommandText(c.line), c.utf8);
  }
}

}  // namespace
