#pragma once
// Which encoding a chart's text is in. Songs come as Shift-JIS (the BMS
// tradition), UTF-8 and Korean EUC-KR/CP949; a row keeps its bytes as read
// and remembers the encoding, so the window and the UTF-8 CSV can show the
// text as written while the bytes (sorting, the classic CSV) stay as they are.
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

using platform::TextEncoding;

// The encoding a file name asks for: ".sjis.", ".euc_kr." or ".utf8." right
// before the extension ("song.euc_kr.bms"), letter case ignored.
std::optional<TextEncoding> EncodingFromFileName(std::string_view fileName);

// Collects the text of a chart's lines and decides its encoding from them:
// valid UTF-8 with non-ASCII text is UTF-8; otherwise Shift-JIS or Korean,
// whichever decodes cleanly and reads as the more likely text; a text that
// both read equally well stays Shift-JIS, as everything older does.
class EncodingSniffer {
 public:
  // One line of the chart; `cut` when the line was cut at a length limit
  // (a character may be cut in two at its end).
  void AddLine(std::string_view line, bool cut);
  TextEncoding Decide() const;

 private:
  struct Reading {
    bool clean = true;
    long score = 0;
  };
  void Read(TextEncoding encoding, std::string_view line, bool cut, Reading& reading);

  bool anyNonAscii_ = false;
  Reading utf8_, cp932_, cp949_;
  std::size_t sampled_ = 0;  // bytes looked at; a limit keeps huge files cheap
};
