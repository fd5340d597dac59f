// SPDX-License-Identifier: MIT
// Which encoding a chart's text is read in, from the text alone and through
// the header reader (byte-order marks, name hints, hashes).
#include "charts/chart_encoding.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>
#include <vector>

#include "charts/chart_reader.h"
#include "charts/encoding_weights.h"
#include "platform/cp932.h"
#include "tests/support/files.h"

using test_support::TempDir;

namespace {

std::string Sjis(const char* utf8) {
  std::string out;
  EXPECT_TRUE(platform::TryUtf8ToCp932(utf8, out)) << utf8;
  return out;
}

// Korean bytes of a UTF-8 text, made by the decoder's own counterpart.
std::string EucKr(const std::u32string& text) {
  // Every syllable used below is in KS X 1001, so each has a two-byte form;
  // found by decoding every two-byte candidate once.
  static const auto* table = [] {
    auto* t = new std::map<char32_t, std::string>;
    for (int lead = 0xA1; lead <= 0xFE; ++lead)
      for (int trail = 0xA1; trail <= 0xFE; ++trail) {
        std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
        std::u32string cp;
        if (platform::DecodeCodePoints(TextEncoding::kCp949, pair, cp, false) && cp.size() == 1) (*t)[cp[0]] = pair;
      }
    return t;
  }();
  std::string out;
  for (char32_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    auto it = table->find(c);
    EXPECT_NE(it, table->end());
    if (it != table->end()) out += it->second;
  }
  return out;
}

TextEncoding Sniff(const std::vector<std::string>& lines) {
  EncodingSniffer sniffer;
  for (const std::string& l : lines) sniffer.AddLine(l, false);
  return sniffer.Decide();
}

struct SniffCase {
  const char* what;
  std::vector<std::string> lines;
  TextEncoding expected;
};

const TextEncoding kSjis = TextEncoding::kCp932, kUtf8 = TextEncoding::kUtf8, kKorean = TextEncoding::kCp949;

TEST(EncodingSniffer, TellsTheEncodingsApart) {
  const SniffCase cases[] = {
      {"plain ASCII stays Shift-JIS", {"#TITLE abc", "#ARTIST x"}, kSjis},
      {"no lines at all", {}, kSjis},
      {"UTF-8 Japanese", {"#TITLE 山田の曲", "#ARTIST 山田 太郎"}, kUtf8},
      {"UTF-8 Korean", {"#ARTIST 김철수"}, kUtf8},
      {"UTF-8, one short word", {"#GENRE é"}, kUtf8},
      {"Shift-JIS Japanese", {"#TITLE " + Sjis("山田の曲"), "#ARTIST " + Sjis("山田 太郎")}, kSjis},
      {"Shift-JIS, one kanji", {"#TITLE " + Sjis("曲")}, kSjis},
      {"Shift-JIS, one hiragana", {"#TITLE " + Sjis("あ")}, kSjis},
      {"Shift-JIS, 表 with a backslash byte", {"#TITLE " + Sjis("表")}, kSjis},
      {"Shift-JIS halfwidth kana", {"#GENRE " + Sjis("ﾃｸﾉﾎﾟｯﾌﾟ")}, kSjis},
      {"Shift-JIS halfwidth kana that also read as Hangul", {"#GENRE " + Sjis("ｶﾀｶﾅ")}, kSjis},
      {"Shift-JIS halfwidth with voicing marks", {"#GENRE " + Sjis("ｹﾞｰﾑ")}, kSjis},
      {"Korean name", {"#ARTIST " + EucKr(U"김철수")}, kKorean},
      {"Korean title ending the line cleanly in Shift-JIS too", {"#TITLE " + EucKr(U"사랑해")}, kKorean},
      {"Korean word that reads as halfwidth kana with punctuation", {"#GENRE " + EucKr(U"트랜스")}, kKorean},
      {"Korean sentence", {"#TITLE " + EucKr(U"안녕하세요 여러분")}, kKorean},
      {"Korean over several lines", {"#TITLE " + EucKr(U"음악"), "#ARTIST " + EucKr(U"김철수")}, kKorean},
      {"a single syllable equally likely as two halfwidth kana", {"#TITLE " + EucKr(U"음악")}, kSjis},
      {"Japanese wins over one ambiguous Korean-looking line",
       {"#TITLE " + Sjis("ｶﾀｶﾅ"), "#ARTIST " + Sjis("山田 太郎")}, kSjis},
      {"bytes neither can read stay Shift-JIS", {"#TITLE \xFF\xFF\xFF"}, kSjis},
  };
  for (const SniffCase& c : cases) EXPECT_EQ(Sniff(c.lines), c.expected) << c.what;
}

TEST(EncodingSniffer, ALineCutAtTheLimitMayEndInHalfACharacter) {
  std::string line = "#TITLE " + std::string(10, 'a') + "\xE5\xB1";  // 山 cut after two bytes
  EncodingSniffer cut;
  cut.AddLine(line, true);
  EXPECT_EQ(cut.Decide(), kUtf8);
  EncodingSniffer whole;
  whole.AddLine(line, false);
  EXPECT_NE(whole.Decide(), kUtf8);
}

// The decision as the rule states it: each non-ASCII line decoded on its
// own and its score added, the first 64 KiB of such lines looked at.
TextEncoding LineByLine(const std::vector<std::pair<std::string, bool>>& lines) {
  struct Reading {
    bool clean = true;
    long score = 0;
  } utf8, cp932, cp949;
  std::size_t sampled = 0;
  bool any = false;
  for (const auto& [line, cut] : lines) {
    bool ascii = true;
    for (unsigned char c : line) ascii = ascii && c < 0x80;
    if (sampled >= 64 * 1024 || ascii) continue;
    any = true;
    sampled += line.size();
    for (auto [encoding, reading] : {std::pair{kUtf8, &utf8}, {kSjis, &cp932}, {kKorean, &cp949}}) {
      std::u32string text;
      if (!reading->clean) continue;
      if (!platform::DecodeCodePoints(encoding, line, text, cut)) {
        reading->clean = false;
        continue;
      }
      if (encoding == kSjis) reading->score += encoding_weights::JapaneseScore(text);
      if (encoding == kKorean) reading->score += encoding_weights::KoreanScore(line, text);
    }
  }
  if (!any) return kSjis;
  if (utf8.clean) return kUtf8;
  if (cp949.clean && cp949.score > 0 && (!cp932.clean || cp949.score > cp932.score)) return kKorean;
  return kSjis;
}

TEST(EncodingSniffer, DecidesAsLineByLineReadingDoes) {
  // Pieces that read well, badly or not at all in each encoding, and bytes
  // that end a line in half a character.
  const std::string pieces[] = {
      "#TITLE ", "abc ", Sjis("曲名"), Sjis("あいう"), Sjis("ｶﾀｶﾅ"), Sjis("ﾞ"), Sjis("ﾟｰ"), Sjis("表"),
      EucKr(U"김철수"), EucKr(U"음악"), EucKr(U"사랑해"), "山田", "é", "\x81", "\xE5\xB1", "\xFF", "\x8B", "\xA1",
  };
  std::mt19937 rng(77);
  std::map<TextEncoding, int> seen;
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::pair<std::string, bool>> lines;
    for (int n = 1 + rng() % 4; n > 0; --n) {
      std::string line;
      for (int k = 1 + rng() % 4; k > 0; --k) line += pieces[rng() % std::size(pieces)];
      lines.emplace_back(line, rng() % 6 == 0);
    }
    EncodingSniffer sniffer;
    for (const auto& [line, cut] : lines) sniffer.AddLine(line, cut);
    const TextEncoding expected = LineByLine(lines);
    ++seen[expected];
    std::string shown;
    for (const auto& [line, cut] : lines) shown += testing::PrintToString(line) + (cut ? " (cut) " : " ");
    ASSERT_EQ(sniffer.Decide(), expected) << shown;
  }
  // Every outcome was met often enough to matter.
  for (TextEncoding e : {kSjis, kUtf8, kKorean}) EXPECT_GT(seen[e], 30) << static_cast<int>(e);
}

TEST(EncodingSniffer, OnlyTheFirst64KiBOfNonAsciiLinesCount) {
  // 64-byte lines of valid UTF-8, then one Shift-JIS line: it still counts
  // while fewer than 64 KiB of such lines came before it.
  const std::string utf8Line = "#WAV01 " + std::string(19, 'a') + [] {
    std::string s;
    for (int i = 0; i < 19; ++i) s += "\xC3\xA9";  // é
    return s;
  }();
  ASSERT_EQ(utf8Line.size(), 64u);
  const struct {
    int linesBefore;
    TextEncoding expected;
  } cases[] = {{0, kSjis}, {1, kSjis}, {1023, kSjis}, {1024, kUtf8}, {1100, kUtf8}};
  for (const auto& c : cases) {
    std::vector<std::pair<std::string, bool>> lines(static_cast<std::size_t>(c.linesBefore), {utf8Line, false});
    // ASCII lines between change nothing.
    lines.insert(lines.begin() + c.linesBefore / 2, {"#00111:" + std::string(2000, '1'), false});
    lines.emplace_back("#TITLE " + Sjis("曲名"), false);
    EncodingSniffer sniffer;
    for (const auto& [line, cut] : lines) sniffer.AddLine(line, cut);
    EXPECT_EQ(sniffer.Decide(), c.expected) << c.linesBefore;
    EXPECT_EQ(LineByLine(lines), c.expected) << c.linesBefore;
  }
}

TEST(EncodingFromFileName, HintsBeforeTheExtension) {
  EXPECT_EQ(EncodingFromFileName("song.sjis.bms"), kSjis);
  EXPECT_EQ(EncodingFromFileName("song.EUC_KR.bme"), kKorean);
  EXPECT_EQ(EncodingFromFileName("a.b.utf8.pms"), kUtf8);
  for (const char* none : {"song.bms", "sjis.bms", ".utf8.bms", "song.utf8", "song.utf8x.bms", "songutf8.bms", ""})
    EXPECT_EQ(EncodingFromFileName(none), std::nullopt) << none;
}

std::string Utf16(const std::u16string& text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t u : text) {
    char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
  }
  return bytes;
}

struct FileCase {
  const char* what;
  std::string name;
  std::string bytes;
  TextEncoding encoding;
  std::string title;   // bytes kept in the row
  std::string artist;
};

TEST(ReadChart, RemembersTheEncodingAndKeepsTheBytes) {
  const std::string sjisTitle = Sjis("山田の曲"), koreanArtist = EucKr(U"김철수");
  const FileCase cases[] = {
      {"Shift-JIS", "a.bms", "#TITLE " + sjisTitle + "\r\n#ARTIST x\r\n", kSjis, sjisTitle, "x"},
      {"Korean", "k.bms", "#TITLE t\r\n#ARTIST " + koreanArtist + "\r\n", kKorean, "t", koreanArtist},
      {"UTF-8", "u.bms", "#TITLE 山田の曲\n#ARTIST 김철수\n", kUtf8, "山田の曲", "김철수"},
      // The mark is no part of the first line, which therefore counts.
      {"UTF-8 with a byte-order mark", "m.bms", "\xEF\xBB\xBF#TITLE abc\r\n#ARTIST d\r\n", kUtf8, "abc", "d"},
      {"UTF-16 little-endian is read as its UTF-8", "w.bms", Utf16(u"#TITLE 曲\r\n#ARTIST 김\r\n", false), kUtf8,
       "曲", "김"},
      {"UTF-16 big-endian", "b.bms", Utf16(u"#title x\n#artist y", true), kUtf8, "x", "y"},
      {"a Ctrl-Z in UTF-16 ends the text too", "z.bms", Utf16(u"#TITLE x\r\n\x1A#ARTIST y\r\n", false), kUtf8, "x",
       ""},
      {"name hint over the text", "k.euc_kr.bms", "#TITLE " + sjisTitle + "\r\n", kKorean, sjisTitle, ""},
      {"name hint for ASCII text", "x.utf8.bms", "#TITLE abc\r\n", kUtf8, "abc", ""},
      {"byte-order mark over the name hint", "x.sjis.bms", "\xEF\xBB\xBF#TITLE \xE6\x9B\xB2\r\n", kUtf8,
       "\xE6\x9B\xB2", ""},
      {"text after a Ctrl-Z does not decide", "c.bms", "#TITLE abc\r\n\x1A#ARTIST \xE6\x9B\xB2\r\n", kSjis, "abc",
       ""},
  };
  TempDir dir;
  for (const FileCase& c : cases) {
    ChartRow row;
    ReadChart(row, dir.Write(c.name, c.bytes));
    EXPECT_EQ(row.encoding, c.encoding) << c.what;
    EXPECT_EQ(row.subItems[siTitle], c.title) << c.what;
    EXPECT_EQ(row.subItems[siArtist], c.artist) << c.what;
    EXPECT_EQ(row.md5, "") << c.what;  // hashes only when asked
  }
}

TEST(ReadChart, TheEncodingIsDecidedByTextAnywhereInTheFile) {
  // Channel data first, far past one read of the file, so the telling line
  // comes late and in a later block.
  std::string channels;
  for (int i = 0; channels.size() < 300 * 1024; ++i)
    channels += "#" + std::to_string(10000 + i) + ":0001020300000000\r\n";
  const std::string sjis = Sjis("山田の曲"), korean = EucKr(U"안녕하세요"), longKorean = EucKr(U"사랑해");
  // The kept start of this line (1010 bytes) ends in the lead byte of a
  // syllable, and so does its value (1000 bytes after "#TITLE").
  std::string cutKorean = "#TITLE ";
  while (cutKorean.size() < 1100) cutKorean += longKorean;
  const struct {
    const char* what;
    std::string bytes;
    TextEncoding encoding;
    std::string title;
  } cases[] = {
      {"empty file", "", kSjis, ""},
      {"ASCII only", channels, kSjis, ""},
      {"Korean at the very end, no final line end", channels + "#TITLE " + korean, kKorean, korean},
      {"UTF-8 late", channels + "#TITLE 山田\r\n" + channels, kUtf8, "山田"},
      {"UTF-8 early, one Shift-JIS line late", "#ARTIST 山田\r\n" + channels + "#TITLE " + sjis, kSjis, sjis},
      {"text outside the # lines does not count", "*山田\r\n" + channels + "#TITLE " + korean + "\n", kKorean,
       korean},
      {"a cut line may end in half a character", cutKorean + "\r\n#ARTIST " + korean, kKorean,
       cutKorean.substr(7, 999)},
      {"NUL bytes stay in the value", std::string("#TITLE a\0", 9) + korean + "\r\n", kKorean,
       std::string("a\0", 2) + korean},
  };
  TempDir dir;
  for (const auto& c : cases) {
    ChartRow row;
    ReadChart(row, dir.Write("late.bms", c.bytes));
    EXPECT_EQ(row.encoding, c.encoding) << c.what;
    EXPECT_EQ(row.subItems[siTitle], c.title) << c.what;
  }
}

TEST(ReadChart, HashesCoverEveryByteOfTheFile) {
  TempDir dir;
  struct HashCase {
    std::string bytes, md5, sha256;
  } cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      // Bytes after a Ctrl-Z are no text but still part of the file.
      {"#TITLE a\x1A" "abc", "", ""},
  };
  for (auto& c : cases) {
    ChartRow row;
    ReadChart(row, dir.Write("h.bms", c.bytes), ChartReadOptions{true});
    if (c.md5.empty()) {
      ChartRow before;
      ReadChart(before, dir.Write("h.bms", "#TITLE a\x1A"), ChartReadOptions{true});
      EXPECT_NE(row.md5, before.md5);
      EXPECT_EQ(row.subItems[siTitle], "a");
      continue;
    }
    EXPECT_EQ(row.md5, c.md5);
    EXPECT_EQ(row.sha256, c.sha256);
  }
  // A large file read in several blocks hashes like one piece.
  ChartRow big;
  ReadChart(big, dir.Write("big.bms", std::string(600 * 1024, 'a')), ChartReadOptions{true});
  EXPECT_EQ(big.md5, "ef6dccc8e1cc7f08c271d4c4e013a39b");
  EXPECT_EQ(big.sha256, "79b1f2657e3325ff16db5d3c65a47b780dd5a145b530e0915401400cff351dd3");
}

}  // namespace
