// SPDX-License-Identifier: MIT
#include "charts/chart_row.h"

const std::string& ChartRow::ColumnText(int column) const {
  if (column == kMd5Column) return md5;
  if (column == kSha256Column) return sha256;
  if (column >= kFactsColumn && column < kColumnCountWithFacts) {
    static const std::string none;
    return facts ? facts->texts[static_cast<std::size_t>(column - kFactsColumn)] : none;
  }
  if (static_cast<unsigned>(column - 1) > 11u) return caption;
  return subItems[static_cast<std::size_t>(column - 1)];
}

platform::TextEncoding ChartRow::ColumnEncoding(int column) const {
  // Columns 1 to 6 hold the header values.
  if (column >= 1 && column <= siBpm + 1) return encoding;
  if (column == siArcName + 1 || column == siArcPath + 1) return archiveEncoding;
  return platform::TextEncoding::kCp932;
}
