// SPDX-License-Identifier: MIT
#pragma once
// How likely a character makes each reading of a chart's bytes: the scores
// the encoding sniffer adds up (see chart_encoding.h).

#include <cstddef>
#include <string_view>

namespace encoding_weights {

inline bool InRange(char32_t c, char32_t lo, char32_t hi) { return c >= lo && c <= hi; }
inline bool IsHalfwidthKana(char32_t c) { return InRange(c, 0xFF66, 0xFF9F); }
inline bool IsCjkIdeograph(char32_t c) {
  return InRange(c, 0x4E00, 0x9FFF) || InRange(c, 0x3400, 0x4DBF) || InRange(c, 0xF900, 0xFAFF);
}
inline bool IsPrivateUse(char32_t c) { return InRange(c, 0xE000, 0xF8FF); }
inline bool IsCjkPunctuationOrFullwidth(char32_t c) {
  return InRange(c, 0x3000, 0x303F) || InRange(c, 0xFF01, 0xFF5E);
}

// Halfwidth kana that take the voicing marks ﾞ and ﾟ.
inline bool TakesDakuten(char32_t c) {
  return c == 0xFF73 || InRange(c, 0xFF76, 0xFF84) || InRange(c, 0xFF8A, 0xFF8E);
}
inline bool TakesHandakuten(char32_t c) { return InRange(c, 0xFF8A, 0xFF8E); }

// How Japanese a character read as Shift-JIS looks. Kana count most; kanji
// and halfwidth kana less, since Korean bytes read as Shift-JIS turn into
// exactly those. Halfwidth punctuation inside words and voicing marks after
// letters that cannot take them are what such misreadings look like.
inline int JapaneseWeight(char32_t c, char32_t prev) {
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
inline int KoreanWeight(char32_t c, bool ksPair) {
  if (InRange(c, 0xAC00, 0xD7A3)) return ksPair ? 4 : -2;
  if (InRange(c, 0x3131, 0x318E)) return 2;  // jamo: ㅋㅋ
  if (IsCjkPunctuationOrFullwidth(c)) return 1;
  if (IsPrivateUse(c)) return -2;
  return 0;
}

// The score of a text read as Shift-JIS. A character before the text's
// start counts as none.
inline long JapaneseScore(std::u32string_view text) {
  long score = 0;
  char32_t prev = 0;
  for (char32_t c : text) {
    score += JapaneseWeight(c, prev);
    prev = c;
  }
  return score;
}

// The score of `bytes` read as CP949 into `text` without a fault: the bytes
// walk in step with the characters, one byte below 0x80, two otherwise.
inline long KoreanScore(std::string_view bytes, std::u32string_view text) {
  long score = 0;
  std::size_t at = 0;
  for (char32_t c : text) {
    unsigned char lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) {
      ++at;
      continue;
    }
    bool ksPair = at + 1 < bytes.size() && lead >= 0xA1 && static_cast<unsigned char>(bytes[at + 1]) >= 0xA1;
    score += KoreanWeight(c, ksPair);
    at += 2;
  }
  return score;
}

}  // namespace encoding_weights
