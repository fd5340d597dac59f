#include "charts/chart_encoding.h"

#include "platform/cp932.h"

namespace {

// Enough text to tell the encodings apart many times over; the rest of a
// large file is not looked at.
constexpr std::size_t kSampleLimit = 64 * 1024;

bool InRange(char32_t c, char32_t lo, char32_t hi) { return c >= lo && c <= hi; }
bool IsHalfwidthKana(char32_t c) { return InRange(c, 0xFF66, 0xFF9F); }
bool IsCjkIdeograph(char32_t c) { return InRange(c, 0x4E00, 0x9FFF) || InRange(c, 0x3400, 0x4DBF) || InRange(c, 0xF900, 0xFAFF); }
bool IsPrivateUse(char32_t c) { return InRange(c, 0xE000, 0xF8FF); }
bool IsCjkPunctuationOrFullwidth(char32_t c) { return InRange(c, 0x3000, 0x303F) || InRange(c, 0xFF01, 0xFF5E); }

// Halfwidth kana that take the voicing marks ﾞ and ﾟ.
bool TakesDakuten(char32_t c) { return c == 0xFF73 || InRange(c, 0xFF76, 0xFF84) || InRange(c, 0xFF8A, 0xFF8E); }
bool TakesHandakuten(char32_t c) { return InRange(c, 0xFF8A, 0xFF8E); }

// How Japanese a character read as Shift-JIS looks. Kana count most; kanji
// and halfwidth kana less, since Korean bytes read as Shift-JIS turn into
// exactly those. Halfwidth punctuation inside words and voicing marks after
// letters that cannot take them are what such misreadings look like.
int JapaneseWeight(char32_t c, char32_t prev) {
  if (InRange(c, 0x3041, 0x30FF)) return 4;  // hiragana, katakana, ー
  if (IsCjkIdeograph(c)) return 2;
  if (InRange(c, 0xFF61, 0xFF65)) return 0;  // ｡｢｣､･
  if (c == 0xFF9E) return TakesDakuten(prev) ? 2 : -2;
  if (c == 0xFF9F) return TakesHandakuten(prev) ? 2 : -2;
  if (c == 0xFF70) return IsHalfwidthKana(prev) ? 2 : 0;  // ｰ after a letter
  if (IsHalfwidthKana(c)) return 2;
  if (IsCjkPunctuationOrFullwidth(c)) return 1;
  if (IsPrivateUse(c)) return -2;
  return 0;
}

// How Korean a character read as CP949 looks. The 2350 syllables of
// KS X 1001 (both bytes 0xA1 or above) are the everyday ones; the other
// syllables CP949 adds are what Shift-JIS kana and kanji turn into.
int KoreanWeight(char32_t c, bool ksPair) {
  if (InRange(c, 0xAC00, 0xD7A3)) return ksPair ? 4 : -2;
  if (InRange(c, 0x3131, 0x318E)) return 2;  // jamo: ㅋㅋ
  if (IsCjkPunctuationOrFullwidth(c)) return 1;
  if (IsPrivateUse(c)) return -2;
  return 0;
}

std::string_view Stem(std::string_view name) {
  std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(0, dot);
}

}  // namespace

std::optional<TextEncoding> EncodingFromFileName(std::string_view fileName) {
  std::string stem = platform::AsciiLower(Stem(fileName));
  struct Hint {
    std::string_view suffix;
    TextEncoding encoding;
  };
  static constexpr Hint kHints[] = {
      {".sjis", TextEncoding::kCp932}, {".euc_kr", TextEncoding::kCp949}, {".utf8", TextEncoding::kUtf8}};
  for (const Hint& h : kHints)
    if (stem.size() > h.suffix.size() && stem.ends_with(h.suffix)) return h.encoding;
  return std::nullopt;
}

void EncodingSniffer::AddLine(std::string_view line, bool cut) {
  if (sampled_ >= kSampleLimit) return;
  bool ascii = true;
  for (unsigned char c : line)
    if (c >= 0x80) {
      ascii = false;
      break;
    }
  if (ascii) return;
  anyNonAscii_ = true;
  sampled_ += line.size();
  Read(TextEncoding::kUtf8, line, cut, utf8_);
  Read(TextEncoding::kCp932, line, cut, cp932_);
  Read(TextEncoding::kCp949, line, cut, cp949_);
}

void EncodingSniffer::Read(TextEncoding encoding, std::string_view line, bool cut, Reading& reading) {
  if (!reading.clean) return;
  std::u32string text;
  if (!platform::DecodeCodePoints(encoding, line, text, cut)) {
    reading.clean = false;
    return;
  }
  if (encoding == TextEncoding::kCp932) {
    char32_t prev = 0;
    for (char32_t c : text) {
      reading.score += JapaneseWeight(c, prev);
      prev = c;
    }
  } else if (encoding == TextEncoding::kCp949) {
    // Decoding succeeded, so the bytes walk in step with the characters:
    // one byte below 0x80, two bytes otherwise.
    std::size_t at = 0;
    for (char32_t c : text) {
      unsigned char lead = static_cast<unsigned char>(line[at]);
      if (lead < 0x80) {
        ++at;
        continue;
      }
      bool ksPair = at + 1 < line.size() && lead >= 0xA1 && static_cast<unsigned char>(line[at + 1]) >= 0xA1;
      reading.score += KoreanWeight(c, ksPair);
      at += 2;
    }
  }
}

TextEncoding EncodingSniffer::Decide() const {
  if (!anyNonAscii_) return TextEncoding::kCp932;
  if (utf8_.clean) return TextEncoding::kUtf8;
  // Korean must also read as Korean: Shift-JIS text with one broken byte
  // may still decode as CP949, but into rare syllables that score below 0.
  if (cp949_.clean && cp949_.score > 0 && (!cp932_.clean || cp949_.score > cp932_.score))
    return TextEncoding::kCp949;
  return TextEncoding::kCp932;
}
