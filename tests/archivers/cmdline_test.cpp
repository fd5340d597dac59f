// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "archiver_api.h"
#include "archivers/shared/archive_reader.h"
#include "archivers/shared/cmdline.h"
#include "archivers/lzh/crc16.h"
#include "tests/support/archive_maker.h"

namespace {

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> w;
  for (auto& t : arc::TokenizeCommandLine(line)) w.push_back(t.text);
  return w;
}

TEST(TokenizeCommandLine, SplitsAndUnquotes) {
  struct Case {
    std::string line;
    std::vector<std::string> words;
  } cases[] = {
      {"", {}},
      {"   ", {}},
      {"x -+ -x0  \"/d/a b.lzh\" \"/w/work/\" ", {"x", "-+", "-x0", "/d/a b.lzh", "/w/work/"}},
      {"\t-x\t-j ", {"-x", "-j"}},
      {"\"-w/tmp/a b/\" file", {"-w/tmp/a b/", "file"}},
      {"ab\"c d\"e", {"abc de"}},
      {"\"\" x", {"", "x"}},               // an empty quoted word is a word
      {"\"unterminated rest", {"unterminated rest"}},
      {"a\r\nb", {"a", "b"}},
      // Shift-JIS second bytes are never blanks or quotes: "ソ" stays whole.
      {"\"\x83\x5C.bms\"", {"\x83\x5C.bms"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Words(c.line), c.words) << c.line;
}

TEST(TokenizeCommandLine, MarksQuotedWords) {
  auto t = arc::TokenizeCommandLine("-f \"-odd.tar\"");
  ASSERT_EQ(t.size(), 2u);
  EXPECT_FALSE(t[0].quoted);
  EXPECT_TRUE(t[1].quoted);
}

TEST(ResponseFile, OneNamePerLineQuotedOrBare) {
  struct Case {
    std::string text;
    std::vector<std::string> names;
  } cases[] = {
      {"\"a b.txt\"\r\n\"c.txt\"\r\n", {"a b.txt", "c.txt"}},
      {"plain.txt\nsub/x.bms\n", {"plain.txt", "sub/x.bms"}},
      {"last-without-newline", {"last-without-newline"}},
      {"\r\n\n  \r\n\"\"\r\n", {}},
      {"  spaced.txt  \r\n", {"spaced.txt"}},
  };
  for (const auto& c : cases) EXPECT_EQ(arc::ParseResponseText(c.text), c.names) << c.text;
}

TEST(ResponseFile, ReadsFromDiskAndReportsMissingFile) {
  test_support::TempDir dir;
  std::string path = dir.Write("list.txt", "\"one.txt\"\r\ntwo.txt\n");
  EXPECT_EQ(arc::ReadResponseFile(path), (std::vector<std::string>{"one.txt", "two.txt"}));
  try {
    arc::ReadResponseFile(dir.Path() + "missing.txt");
    FAIL() << "no error for a missing response file";
  } catch (const arc::ArcError& e) {
    EXPECT_EQ(e.Code(), ERROR_RESPONSE_READ);
  }
}

// What is no response file is refused, not read: a FIFO would block for
// ever, a folder reads as nothing, and a huge file is no list of names.
TEST(ResponseFile, RefusesFifosFoldersAndHugeFiles) {
  test_support::TempDir dir;
  ASSERT_EQ(mkfifo((dir.Path() + "fifo").c_str(), 0600), 0);
  ASSERT_EQ(mkdir((dir.Path() + "folder").c_str(), 0700), 0);
  dir.Write("huge.txt", std::string((16 << 20) + 1, 'a'));
  for (const char* name : {"fifo", "folder", "huge.txt"}) {
    try {
      arc::ReadResponseFile(dir.Path() + name);
      ADD_FAILURE() << "no error for " << name;
    } catch (const arc::ArcError& e) {
      EXPECT_EQ(e.Code(), ERROR_RESPONSE_READ) << name;
    }
  }
}

}  // namespace

namespace {
TEST(Crc16, MatchesTheCheckValueInAnyChunking) {
  const std::string check = "123456789";
  EXPECT_EQ(arc::Crc16Update(0, check.data(), check.size()), 0xBB3D);  // CRC-16/ARC
  std::string data = test_support::NoiseBytes(1003, 5);
  std::uint16_t whole = arc::Crc16Update(0, data.data(), data.size());
  std::uint16_t pieces = 0;
  for (std::size_t i = 0; i < data.size(); i += 7) pieces = arc::Crc16Update(pieces, data.data() + i, std::min<std::size_t>(7, data.size() - i));
  EXPECT_EQ(pieces, whole);
}
}  // namespace
