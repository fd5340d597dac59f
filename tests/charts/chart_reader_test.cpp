// SPDX-License-Identifier: MIT
#include "charts/chart_reader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "charts/header_keys.h"
#include "platform/io_error.h"
#include "tests/support/files.h"

using test_support::TempDir;

namespace {

const std::string kMark = "\x81\x9B";      // ○
const std::string kNoun = "\x8B\xC8";      // 曲, a double-byte character
const std::string kHyou = "\x95\x5C";      // 表: its second byte is '\'

struct LineCase {
  const char* what;
  std::vector<std::string> lines;
  int subItem;
  std::string expected;
};

TEST(ParseHeaderLine, KeysValuesAndMarks) {
  const LineCase cases[] = {
      {"blank after key", {"#TITLE abc"}, siTitle, "abc"},
      {"no separator needed", {"#TITLEabc"}, siTitle, "abc"},
      {"lower-case key, trailing blanks", {"#title   abc  \t"}, siTitle, "abc"},
      {"mixed-case key keeps the value's case", {"#ArTiSt Some One"}, siArtist, "Some One"},
      {"key after leading blanks does not count", {"  #TITLE abc"}, siTitle, ""},
      {"control bytes trimmed both ends", {"#GENRE\x01\x1F x y\x7F\x05"}, siGenre, "x y\x7F"},
      {"Shift-JIS value kept byte for byte", {"#TITLE " + kNoun + kHyou}, siTitle, kNoun + kHyou},
      {"last line wins", {"#ARTIST a", "#ARTIST b"}, siArtist, "b"},
      {"an empty value clears", {"#ARTIST someone", "#ARTIST"}, siArtist, ""},
      {"blanks only clear too", {"#ARTIST someone", "#artist   "}, siArtist, ""},
      {"#BPMxx overwrites the tempo", {"#BPM 150", "#BPM01 180"}, siBpm, "01 180"},
      {"#PLAYLEVEL is not #PLAYER", {"#PLAYLEVEL 7"}, siPlayer, ""},
      {"#PLAYER", {"#PLAYER 1"}, siPlayer, "1"},
      {"#PLAYLEVEL", {"#playlevel 12"}, siDifficulty, "12"},
      {"#MIDIFILE sets the MIDI mark", {"#MIDIFILE x.mid"}, siMidi, kMark},
      {"#WAVxx sets the WAV mark", {"#WAV01 kick.wav"}, siWav, kMark},
      {"#BMPx sets the BGA mark", {"#BMPx"}, siBga, kMark},
      {"a mark is never cleared", {"#bmp01 a.bmp", "#BMP"}, siBga, kMark},
      {"upper-casing touches a-z only", {"#T\x89TLE x"}, siTitle, ""},
      {"a key longer than the line", {"#BP"}, siBpm, ""},
  };
  for (const LineCase& c : cases) {
    ChartRow row;
    for (const std::string& line : c.lines) ParseHeaderLine(row, line);
    EXPECT_EQ(row.subItems[static_cast<std::size_t>(c.subItem)], c.expected) << c.what;
  }
}

TEST(ParseHeaderLine, ValueIsCutAtThousandBytes) {
  // A double-byte character straddling byte 1000 keeps only its lead byte.
  std::string value = std::string(999, 'v') + kNoun + "tail";
  ChartRow row;
  ParseHeaderLine(row, "#TITLE" + value);
  EXPECT_EQ(row.subItems[siTitle], std::string(999, 'v') + kNoun.substr(0, 1));
  // The cut comes first, the trimming after it.
  ParseHeaderLine(row, "#GENRE" + std::string(1000, ' ') + "x");
  EXPECT_EQ(row.subItems[siGenre], "");
}

TEST(ParseHeaderLine, UnrelatedLinesChangeNothing) {
  ChartRow row;
  for (std::string line : {"#00111:01010101", "#WAVE", "#BPMX", "*---- HEADER", "#ARTIS", "#TITL"})
    ParseHeaderLine(row, line);
  // "#WAVE" and "#BPMX" start with "#WAV" and "#BPM": those two do count.
  ChartRow expected;
  expected.subItems[siWav] = kMark;
  expected.subItems[siBpm] = "X";
  EXPECT_EQ(row.subItems, expected.subItems);
}

// Every key in every mix of letter cases sets its column; the same line
// with any other second byte sets none.
TEST(ParseHeaderLine, EveryKeyInAnyCaseAndNothingElse) {
  for (const HeaderKey& k : kHeaderKeys) {
    const std::string key(k.key);
    const std::string expected = k.mark ? kMark : "v";
    for (unsigned mix = 0; mix < (1u << key.size()); ++mix) {
      std::string line = key;
      for (std::size_t i = 0; i < line.size(); ++i)
        if ((mix >> i & 1) && line[i] >= 'A' && line[i] <= 'Z') line[i] = static_cast<char>(line[i] - 'A' + 'a');
      ChartRow row;
      ParseHeaderLine(row, line + " v");
      EXPECT_EQ(row.subItems[static_cast<std::size_t>(k.subItem)], expected) << line;
    }
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      if (c == key[1] || c == key[1] - 'A' + 'a') continue;
      std::string line = key + " v";
      line[1] = c;
      ChartRow row;
      ParseHeaderLine(row, line);
      EXPECT_EQ(row.subItems, ChartRow().subItems) << testing::PrintToString(line);
    }
  }
}

std::string ChartText(const std::string& eol) {
  return "*---------------------- HEADER FIELD" + eol + eol + "#PLAYER 1" + eol + "#GENRE Techno" + eol +
         "#TITLE " + kNoun + eol + "#ARTIST someone" + eol + "#BPM 150" + eol + "#PLAYLEVEL 5" + eol +
         "#WAV01 a.wav" + eol + "#00111:01010000" + eol;
}

ChartRow Read(const std::string& file) {
  ChartRow row;
  ReadChart(row, file);
  return row;
}

TEST(ReadChart, LineEndsDoNotMatter) {
  TempDir dir;
  ChartRow crlf = Read(dir.Write("crlf.bms", ChartText("\r\n")));
  EXPECT_EQ(crlf.caption, "crlf.bms");
  EXPECT_EQ(crlf.subItems[siTitle], kNoun);
  EXPECT_EQ(crlf.subItems[siWav], kMark);
  EXPECT_EQ(crlf.subItems[siMidi], "");
  for (const char* eol : {"\n", "\r", "\n\r", "\r\r\n"}) {
    ChartRow other = Read(dir.Write("crlf.bms", ChartText(eol)));
    EXPECT_EQ(other.subItems, crlf.subItems) << "line end " << testing::PrintToString(std::string(eol));
  }
  // The last line needs no line end.
  EXPECT_EQ(Read(dir.Write("a.bms", "#BPM 1\n#BPM 2")).subItems[siBpm], "2");
}

TEST(ReadChart, NothingAfterCtrlZCounts) {
  TempDir dir;
  ChartRow row = Read(dir.Write("z.bms", "\x1A" + ChartText("\r\n")));
  EXPECT_EQ(row.caption, "z.bms");
  EXPECT_FALSE(row.subItems[siDate].empty());
  for (int i = siArtist; i <= siBga; ++i) EXPECT_EQ(row.subItems[i], "") << i;
  // The line the Ctrl-Z cuts still counts, up to the Ctrl-Z.
  row = Read(dir.Write("z.bms", "#TITLE ab\x1A" "cd\r\n#ARTIST x\r\n"));
  EXPECT_EQ(row.subItems[siTitle], "ab");
  EXPECT_EQ(row.subItems[siArtist], "");
}

TEST(ReadChart, KeepsArchiveFieldsAndTakesTheNameWithoutFolder) {
  TempDir dir;
  ChartRow row;
  row.subItems[siArcName] = "songs.lzh";
  row.subItems[siArcPath] = "/dl/";
  ReadChart(row, dir.Write("song.bms", "#TITLE t"));
  EXPECT_EQ(row.caption, "song.bms");
  EXPECT_EQ(row.subItems[siArcName], "songs.lzh");
  EXPECT_EQ(row.subItems[siArcPath], "/dl/");
}

TEST(ReadChart, HugeLinesStayCheapAndCutRight) {
  // A 20 MB line first, then headers: the value of a huge header line is its
  // first 1000 bytes, and the lines after it are still found.
  TempDir dir;
  std::string text = "#TITLE " + std::string(20 << 20, 'x') + "\r\n" + "#GENRE" + std::string(999, 'g') +
                     kNoun + std::string(5 << 20, 'h') + "\n#ARTIST after\n";
  ChartRow row = Read(dir.Write("big.bms", text));
  EXPECT_EQ(row.subItems[siTitle], std::string(999, 'x'));
  EXPECT_EQ(row.subItems[siGenre], std::string(999, 'g') + kNoun.substr(0, 1));
  EXPECT_EQ(row.subItems[siArtist], "after");
}

// The reader works on blocks: lines that straddle a block edge, line ends
// split between blocks and a Ctrl-Z anywhere must give what reading the
// whole text at once gives.
ChartRow ReadWhole(const std::string& text) {
  ChartRow row;
  std::string_view t(text);
  t = t.substr(0, t.find('\x1A'));
  std::size_t start = 0;
  for (std::size_t i = 0; i <= t.size(); ++i) {
    if (i == t.size() || t[i] == '\r' || t[i] == '\n') {
      if (i > start) ParseHeaderLine(row, t.substr(start, i - start));
      start = i + 1;
    }
  }
  return row;
}

TEST(ReadChart, BlockEdgesChangeNothing) {
  TempDir dir;
  std::mt19937 rng(12345);
  const char* pieces[] = {"#TITLE ", "#artist ", "#BPM", "#WAV01 x", "#BMP", "#MIDI", "#GENRE",
                          "\r",      "\n",       "\r\n", " ",        "v",    "\x81", "\x9B"};
  const std::size_t kBlock = 256 * 1024;
  for (int round = 0; round < 12; ++round) {
    std::string text;
    // Headers close to the block edges, with long fillers between.
    while (text.size() < 2 * kBlock + 4096) {
      std::size_t target = (text.size() / kBlock + 1) * kBlock - (rng() % 1200);
      if (text.size() < target && rng() % 2) text.append(target - text.size(), 'f');
      for (int k = 0; k < 40; ++k) text += pieces[rng() % std::size(pieces)];
      if (rng() % 3 == 0) text.append(rng() % 1500, 'a' + rng() % 26);
    }
    if (round % 4 == 3) text[kBlock + rng() % 2000 - 1000] = '\x1A';
    ChartRow row = Read(dir.Write("r.bms", text));
    ChartRow expected = ReadWhole(text);
    for (int i = siArtist; i <= siBga; ++i) EXPECT_EQ(row.subItems[i], expected.subItems[i]) << round << " " << i;
  }
}

TEST(ReadChart, ReadErrorsCarryTheirTexts) {
  TempDir dir;
  struct Case {
    std::string path;
    int code;
    std::string caption;
  } cases[] = {
      {dir.Path() + "missing.bms", platform::kIoFileNotFound, "missing.bms"},
      {dir.Path() + "nofolder/x.bms", platform::kIoPathNotFound, "x.bms"},
      {dir.Path(), platform::kIoAccessDenied, ""},  // a folder is no chart
  };
  for (const Case& c : cases) {
    ChartRow row;
    try {
      ReadChart(row, c.path);
      ADD_FAILURE() << c.path << " read without error";
    } catch (const platform::EInOutError& e) {
      EXPECT_EQ(e.Code(), c.code) << c.path;
      EXPECT_EQ(e.what(), platform::IoErrorText(c.code));
    }
    // The row got its caption and an empty date before the error.
    EXPECT_EQ(row.caption, c.caption);
    if (c.code != platform::kIoAccessDenied) {
      EXPECT_EQ(row.subItems[siDate], "");
    }
  }
}

TEST(ReadChart, FifoFailsInsteadOfBlocking) {
  TempDir dir;
  std::string fifo = dir.Path() + "pipe.bms";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  ChartRow row;
  EXPECT_THROW(ReadChart(row, fifo), platform::EInOutError);
  EXPECT_EQ(row.caption, "pipe.bms");
}

}  // namespace
