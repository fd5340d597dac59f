// SPDX-License-Identifier: MIT
#include "charts/chart_row.h"

#include "platform/path_text.h"

void ChartRow::SetArchiveFields(const std::string& name, const std::string& folder) {
  const bool utf8 = platform::IsUtf8Path(name) || platform::IsUtf8Path(folder);
  subItems[siArcName] = std::string(platform::WithoutUtf8Mark(name));
  subItems[siArcPath] = std::string(platform::WithoutUtf8Mark(folder));
  archiveEncoding = utf8 ? platform::TextEncoding::kUtf8 : platform::TextEncoding::kCp932;
}

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
