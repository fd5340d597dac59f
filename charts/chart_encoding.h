// SPDX-License-Identifier: MIT
#pragma once
// Which encoding a chart's text is in. Songs come as Shift-JIS (the BMS
// tradition), UTF-8 and Korean EUC-KR/CP949; a row keeps its bytes as read
// and remembers the encoding, so the window and the UTF-8 CSV can show the
// text as written while the bytes (sorting, the classic CSV) stay as they are.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
  Reading Read(TextEncoding encoding) const;

  // The non-ASCII lines, each followed by a LF, are kept and decoded only
  // when the decision is asked for, in one piece per encoding, and only as
  // far as the decision needs: most charts are told apart by the first
  // encoding that fails. A LF never completes a character in any of the
  // three, so a line's broken end still shows, and no character reads
  // differently for the line before it.
  std::string sample_;
  // Where a cut line's text ends in `sample_` (no LF follows it): each of
  // these ends a piece decoded on its own, which may end in half a character.
  std::vector<std::size_t> cutEnds_;
  std::size_t sampled_ = 0;  // bytes looked at; a limit keeps huge files cheap
};
