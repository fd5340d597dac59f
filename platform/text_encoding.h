// SPDX-License-Identifier: MIT
#pragma once
// Chart text in the encodings songs come in: Shift-JIS (CP932), UTF-8 and
// Korean (CP949, the superset of EUC-KR). Bytes stay bytes inside the
// system; these turn them into characters where the text must be shown or
// written for other programs.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

enum class TextEncoding : std::uint8_t { kCp932 = 0, kUtf8 = 1, kCp949 = 2 };

// UTF-8 text of `bytes`; a byte sequence that is no character of the
// encoding becomes U+FFFD.
std::string DecodeToUtf8(TextEncoding encoding, std::string_view bytes);

// Exact decoding into code points. False when a byte sequence is no
// character of the encoding; an unfinished character at the very end counts
// as one only unless `endMayBeCut` (text cut at a length limit).
bool DecodeCodePoints(TextEncoding encoding, std::string_view bytes, std::u32string& out, bool endMayBeCut);

// UTF-16 text fed in blocks of any size, turned into UTF-8; unpaired
// surrogates become U+FFFD.
class Utf16Decoder {
 public:
  explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}
  // Appends the UTF-8 of every complete character in `block` to `out`.
  void Feed(std::string_view block, std::string& out);
  // The end of the text: a dangling byte or surrogate becomes U+FFFD.
  void Finish(std::string& out);

 private:
  bool bigEndian_;
  int oddByte_ = -1;         // first byte of a unit split between blocks
  char32_t highSurrogate_ = 0;
};

// Appends the UTF-8 form of one code point.
void AppendUtf8(char32_t cp, std::string& out);

}  // namespace platform
