// SPDX-License-Identifier: MIT
#include "charts/column_text.h"

std::string ColumnUtf8(const ChartRow& row, int column, DisplayEncoding display) {
  // The display choice is about the charts' texts; archive fields are
  // always shown as held.
  const bool archiveField = column == siArcName + 1 || column == siArcPath + 1;
  platform::TextEncoding encoding = display == DisplayEncoding::kDetected || archiveField
                                        ? row.ColumnEncoding(column)
                                        : platform::TextEncoding::kCp932;
  return platform::DecodeToUtf8(encoding, row.ColumnText(column));
}

std::string EscapeControls(std::string_view text, bool utf8) {
  static const char kHex[] = "0123456789ABCDEF";
  auto escaped = [](std::string& out, unsigned c) {
    out += "\\x";
    out += kHex[c >> 4];
    out += kHex[c & 15];
  };
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == 0x7F) {
      escaped(out, c);
    } else if (utf8 && c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      escaped(out, static_cast<unsigned char>(text[++i]));  // U+0080..U+009F
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string ColumnDisplayText(const ChartRow& row, int column, DisplayEncoding display) {
  return EscapeControls(ColumnUtf8(row, column, display), true);
}
