// SPDX-License-Identifier: MIT
#include "charts/chart_encoding.h"

#include <cstdint>
#include <cstring>

#include "charts/encoding_weights.h"
#include "platform/cp932.h"

namespace {

// Enough text to tell the encodings apart many times over; the rest of a
// large file is not looked at.
constexpr std::size_t kSampleLimit = 64 * 1024;

// Most chart lines are ASCII: eight bytes at a time.
bool IsAscii(std::string_view s) {
  const char* p = s.data();
  const char* end = p + s.size();
  for (; end - p >= 8; p += 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (word & 0x8080808080808080u) return false;
  }
  for (; p != end; ++p)
    if (static_cast<unsigned char>(*p) >= 0x80) return false;
  return true;
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
  if (sampled_ >= kSampleLimit || IsAscii(line)) return;
  sampled_ += line.size();
  sample_.append(line);
  if (cut)
    cutEnds_.push_back(sample_.size());
  else
    sample_ += '\n';
}

EncodingSniffer::Reading EncodingSniffer::Read(TextEncoding encoding) const {
  Reading reading;
  std::u32string text;
  std::size_t from = 0;
  auto piece = [&](std::size_t to, bool cut) {
    std::string_view bytes(sample_.data() + from, to - from);
    from = to;
    if (!reading.clean || bytes.empty()) return;
    if (!platform::DecodeCodePoints(encoding, bytes, text, cut)) {
      reading.clean = false;
      return;
    }
    // A LF before a line's text scores like the line's start: none of the
    // weights looks back at a character below 0x80.
    if (encoding == TextEncoding::kCp932)
      reading.score += encoding_weights::JapaneseScore(text);
    else if (encoding == TextEncoding::kCp949)
      reading.score += encoding_weights::KoreanScore(bytes, text);
  };
  for (std::size_t end : cutEnds_) piece(end, true);
  piece(sample_.size(), false);
  return reading;
}

TextEncoding EncodingSniffer::Decide() const {
  if (sample_.empty()) return TextEncoding::kCp932;  // ASCII only
  if (Read(TextEncoding::kUtf8).clean) return TextEncoding::kUtf8;
  // Korean must also read as Korean: Shift-JIS text with one broken byte
  // may still decode as CP949, but into rare syllables that score below 0.
  const Reading korean = Read(TextEncoding::kCp949);
  if (!korean.clean || korean.score <= 0) return TextEncoding::kCp932;
  const Reading japanese = Read(TextEncoding::kCp932);
  return !japanese.clean || korean.score > japanese.score ? TextEncoding::kCp949 : TextEncoding::kCp932;
}
