// Which encoding a chart's text is read in, from the text alone and through
// the header reader (byte-order marks, name hints, hashes).
#include "charts/chart_encoding.h"

#include <gtest/gtest.h>

#include <map>

#include "charts/chart_reader.h"
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
