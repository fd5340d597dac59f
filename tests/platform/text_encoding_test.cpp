// SPDX-License-Identifier: MIT
#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include "platform/cp932.h"

using namespace platform;

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

struct DecodeCase {
  const char* what;
  TextEncoding encoding;
  std::string bytes;
  std::string utf8;
};

TEST(TextEncoding, DecodesEachEncodingAndMarksWhatIsNoCharacter) {
  const DecodeCase cases[] = {
      {"ASCII is itself", TextEncoding::kCp949, "abc 123", "abc 123"},
      {"Shift-JIS", TextEncoding::kCp932, "\x8E\x52\x93\x63 \x91\xBE\x98\x59", "山田 太郎"},
      {"Shift-JIS halfwidth kana", TextEncoding::kCp932, "\xC3\xB8\xC9", "ﾃｸﾉ"},
      {"Korean", TextEncoding::kCp949, "\xB1\xE8\xC3\xB6\xBC\xF6", "김철수"},
      {"UTF-8", TextEncoding::kUtf8, "山田", "山田"},
      {"broken UTF-8 in the middle", TextEncoding::kUtf8, "a\xC3(b", "a" + kReplacement + "(b"},
      {"Shift-JIS lead byte at the end", TextEncoding::kCp932, "a\x95", "a" + kReplacement},
      {"Korean user-defined row", TextEncoding::kCp949, "\xC9\xA1x", kReplacement + "x"},
  };
  for (const DecodeCase& c : cases) EXPECT_EQ(DecodeToUtf8(c.encoding, c.bytes), c.utf8) << c.what;
}

TEST(TextEncoding, ExactDecodingRefusesAndMayAcceptACutEnd) {
  std::u32string out;
  EXPECT_TRUE(DecodeCodePoints(TextEncoding::kCp949, "\xB1\xE8", out, false));
  EXPECT_EQ(out, U"김");
  EXPECT_FALSE(DecodeCodePoints(TextEncoding::kCp932, "\x8B\xC8\x95", out, false));
  EXPECT_TRUE(DecodeCodePoints(TextEncoding::kCp932, "\x8B\xC8\x95", out, true));
  EXPECT_EQ(out, U"曲");
  // A cut end forgives only an unfinished character, not a wrong one.
  EXPECT_FALSE(DecodeCodePoints(TextEncoding::kUtf8, "\xFF" "a", out, true));
  EXPECT_FALSE(DecodeCodePoints(TextEncoding::kUtf8, "\xED\xA0\x80", out, false));  // a surrogate
}

// UTF-16 in both byte orders, split into blocks at every position: the
// text comes out whole wherever a unit or a surrogate pair is cut.
TEST(TextEncoding, Utf16InBlocksOfAnySize) {
  const std::u16string text = u"#TITLE 曲\U0001F3B5\r\n";
  for (bool bigEndian : {false, true}) {
    std::string bytes;
    for (char16_t u : text) {
      char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
      bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
    }
    for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
      Utf16Decoder decoder(bigEndian);
      std::string out;
      decoder.Feed(std::string_view(bytes).substr(0, cut), out);
      decoder.Feed(std::string_view(bytes).substr(cut), out);
      decoder.Finish(out);
      EXPECT_EQ(out, "#TITLE 曲\U0001F3B5\r\n") << bigEndian << " " << cut;
    }
  }
}

TEST(TextEncoding, Utf16BrokenUnitsBecomeReplacements) {
  Utf16Decoder decoder(false);
  std::string out;
  decoder.Feed(std::string("\x00\xDC" "a\x00\x00\xD8", 6), out);  // lone low, 'a', dangling high
  decoder.Feed(std::string("b", 1), out);                           // odd byte left at the end
  decoder.Finish(out);
  EXPECT_EQ(out, kReplacement + "a" + kReplacement + kReplacement);
}

}  // namespace
