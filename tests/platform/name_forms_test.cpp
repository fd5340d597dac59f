// SPDX-License-Identifier: MIT
// Names that have more than one form: CP932 twins (one byte pair for two
// characters) and composed/decomposed Unicode. A name must reach the file
// it names, never its twin.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "platform/cp932.h"
#include "platform/file_time.h"
#include "platform/files.h"
#include "platform/input_file.h"
#include "platform/nfc.h"
#include "platform/paths.h"
#include "platform/whole_file_write.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

struct Twin {
  const char* other;  // the form CP932 does not give back
  const char* usual;  // the form it gives back
  const char* cp932;
};
const Twin kTwins[] = {
    {"〜", "～", "\x81\x60"}, {"−", "－", "\x81\x7C"}, {"‖", "∥", "\x81\x61"}, {"—", "―", "\x81\x5C"},
    {"¢", "￠", "\x81\x91"},  {"£", "￡", "\x81\x92"}, {"¬", "￢", "\x81\xCA"},
};

class ScratchDir {
 public:
  ScratchDir() {
    char tmpl[] = "/tmp/bmslist-names-XXXXXX";
    path_ = mkdtemp(tmpl);
  }
  ~ScratchDir() { fs::remove_all(path_); }
  std::string Path() const { return path_ + "/"; }
  void Write(const std::string& name, const std::string& bytes) const { std::ofstream(Path() + name) << bytes; }

 private:
  std::string path_;
};

std::string ReadAll(InputFile&& f) {
  char buf[256];
  std::size_t n = f.Read(buf, sizeof buf);
  return std::string(buf, n);
}

}  // namespace

TEST(NameForms, TwinsConvertOnlyWhereTheyComeBack) {
  for (const Twin& t : kTwins) {
    SCOPED_TRACE(t.other);
    std::string out;
    const std::string other = std::string("a") + t.other + "b", usual = std::string("a") + t.usual + "b";
    EXPECT_TRUE(TryUtf8ToCp932(usual, out));
    EXPECT_EQ(out, std::string("a") + t.cp932 + "b");
    EXPECT_EQ(Cp932ToUtf8(out), usual);
    EXPECT_FALSE(TryUtf8ToCp932(other, out)) << "would come back as " << Cp932ToUtf8(out);
    EXPECT_TRUE(TryUtf8ToCp932AllowingTwins(other, out));
    EXPECT_EQ(out, std::string("a") + t.cp932 + "b");
    EXPECT_TRUE(HasTwinCharacter(out));
  }
  std::string out;
  EXPECT_FALSE(TryUtf8ToCp932AllowingTwins("\xF0\x9F\x98\x80", out));  // no form at all
  EXPECT_FALSE(HasTwinCharacter("\x81\x9B"));                          // ○ has one form
  EXPECT_FALSE(HasTwinCharacter("\x88\x81\x60"));  // 0x81 0x60 straddling two characters
}

TEST(NameForms, CompositionIsNfcAndKeepsInvalidBytes) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"\xE3\x82\xAB\xE3\x82\x99.bms", "\xE3\x82\xAC.bms"},              // カ + ゛ -> ガ
      {"\xE8\xAD\x9C\xE9\x9D\xA2\xE3\x82\xAC", "\xE8\xAD\x9C\xE9\x9D\xA2\xE3\x82\xAC"},  // already NFC
      {"e\xCC\x81\xFF" "e\xCC\x81", "\xC3\xA9\xFF\xC3\xA9"},            // around a stray byte
      {"plain.bms", "plain.bms"},
      {"\xE3\x81\x8B\xE3\x82\x9A", "\xE3\x81\x8B\xE3\x82\x9A"},          // か + ゜ has no composed form
  };
  for (const auto& c : cases) EXPECT_EQ(ToNfc(c.in), c.out) << c.in;
}

TEST(NameForms, ExistingFilesAreFoundThroughEitherTwin) {
  ScratchDir dir;
  // Two files told apart only by 〜/～, and a folder and a file with the
  // form CP932 does not give back.
  dir.Write("曲〜.bms", "wave dash");
  dir.Write("曲～.bms", "full-width tilde");
  fs::create_directory(dir.Path() + "フォルダ−1");
  dir.Write("フォルダ−1/譜面—.bms", "inside");
  const std::string base = Utf8ToCp932(dir.Path());

  // The CP932 name finds the usual form when it exists...
  EXPECT_EQ(ReadAll(InputFile(base + "\x8B\xC8\x81\x60.bms")), "full-width tilde");
  // ...and the other form, part by part, when only that exists.
  std::string cp;
  ASSERT_TRUE(TryUtf8ToCp932AllowingTwins(dir.Path() + "フォルダ−1/譜面—.bms", cp));
  EXPECT_EQ(FsName(cp), dir.Path() + "フォルダ−1/譜面—.bms");
  EXPECT_EQ(ReadAll(InputFile(cp)), "inside");
  // A file that does not exist yet keeps the usual form.
  ASSERT_TRUE(TryUtf8ToCp932AllowingTwins(dir.Path() + "新〜.csv", cp));
  EXPECT_EQ(FsName(cp), dir.Path() + "新～.csv");

  // The exact names reach each file, for reading, dates and writing.
  EXPECT_EQ(ReadAll(InputFile(FsPath{dir.Path() + "曲〜.bms"})), "wave dash");
  std::int64_t t = 0;
  EXPECT_TRUE(GetFileLastWriteTime(FsPath{dir.Path() + "曲〜.bms"}, t));
  WriteWholeFile(FsPath{dir.Path() + "list〜.csv"}, "x");
  EXPECT_TRUE(fs::exists(dir.Path() + "list〜.csv"));
  EXPECT_FALSE(fs::exists(dir.Path() + "list～.csv"));

  // Listing gives both under one CP932 name, each with its own file name.
  std::vector<std::string> unlisted;
  auto found = FindFiles(base, "*.bms", &unlisted);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].name, found[1].name);
  EXPECT_NE(found[0].fsName, found[1].fsName);
  EXPECT_TRUE(unlisted.empty());
}
