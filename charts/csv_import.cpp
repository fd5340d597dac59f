// SPDX-License-Identifier: MIT
#include "charts/csv_import.h"

#include "platform/cp932.h"

namespace {

constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

bool IsHex(const std::string& s, std::size_t length) {
  if (s.size() != length) return false;
  for (char c : s)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

// One line of the classic form: "f0","f1",...: the fields stand between
// the quotes as they were, so "," is the only separator there is.
bool SplitClassicLine(const std::string& line, std::vector<std::string>& fields) {
  fields.clear();
  if (line.size() < 2 || line.front() != '"' || line.back() != '"') return false;
  const std::string inner = line.substr(1, line.size() - 2);
  std::size_t start = 0;
  for (std::size_t at = inner.find("\",\""); at != std::string::npos; at = inner.find("\",\"", start)) {
    fields.push_back(inner.substr(start, at - start));
    start = at + 3;
  }
  fields.push_back(inner.substr(start));
  return true;
}

// The UTF-8 form, RFC 4180: every field quoted, quotes doubled, line ends
// inside a field kept. Splits the whole text into records.
bool SplitQuotedRecords(const std::string& text, std::vector<std::vector<std::string>>& records) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::vector<std::string> fields;
    while (true) {
      if (i >= text.size() || text[i] != '"') return false;
      ++i;
      std::string field;
      while (true) {
        if (i >= text.size()) return false;
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += text[i++];
      }
      fields.push_back(std::move(field));
      if (i < text.size() && text[i] == ',') {
        ++i;
        continue;
      }
      break;
    }
    if (text.compare(i, 2, "\r\n") == 0) i += 2;
    else if (i < text.size() && text[i] == '\n') ++i;
    else if (i < text.size()) return false;
    records.push_back(std::move(fields));
  }
  return true;
}

ChartRow RowOf(const std::vector<std::string>& fields, bool utf8) {
  ChartRow row;
  // The header values keep the UTF-8 they are; everything the program
  // writes itself (caption, marks, date, archive) is CP932 in a row, but for
  // an archive path CP932 cannot hold.
  row.encoding = utf8 ? platform::TextEncoding::kUtf8 : platform::TextEncoding::kCp932;
  auto own = [utf8](const std::string& s) { return utf8 ? platform::Utf8ToCp932(s) : s; };
  row.caption = own(fields[0]);
  for (int i = 0; i < kSubItemCount; ++i) {
    const std::string& f = fields[static_cast<std::size_t>(i) + 1];
    row.subItems[static_cast<std::size_t>(i)] = i <= siBpm ? f : own(f);
  }
  // Archive fields CP932 cannot hold stay UTF-8, as the drop made them.
  std::string name, folder;
  if (utf8 && !(platform::TryUtf8ToCp932AllowingTwins(fields[siArcName + 1], name) &&
                platform::TryUtf8ToCp932AllowingTwins(fields[siArcPath + 1], folder))) {
    row.subItems[siArcName] = fields[siArcName + 1];
    row.subItems[siArcPath] = fields[siArcPath + 1];
    row.archiveEncoding = platform::TextEncoding::kUtf8;
  }
  if (fields.size() >= 15 && IsHex(fields[13], 32) && IsHex(fields[14], 64)) {
    row.md5 = fields[13];
    row.sha256 = fields[14];
  }
  return row;
}

}  // namespace

bool ReadChartCsv(const std::string& bytes, std::vector<ChartRow>& rows, std::string& error) {
  std::vector<ChartRow> read;
  const bool utf8 = bytes.compare(0, 3, kUtf8Mark) == 0;
  std::vector<std::vector<std::string>> records;
  if (utf8) {
    if (!SplitQuotedRecords(bytes.substr(3), records)) {
      error = "bmslist が書き出した一覧ではありません (UTF-8 の項目が引用符で囲まれていません)";
      return false;
    }
  } else {
    std::size_t start = 0;
    while (start < bytes.size()) {
      std::size_t end = bytes.find('\n', start);
      if (end == std::string::npos) end = bytes.size();
      std::string line = bytes.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      start = end + 1;
      if (line.empty()) continue;
      std::vector<std::string> fields;
      if (!SplitClassicLine(line, fields)) {
        error = "bmslist が書き出した一覧ではありません (" + std::to_string(records.size() + 1) +
                " 行目の項目が引用符で囲まれていません)";
        return false;
      }
      records.push_back(std::move(fields));
    }
  }
  if (records.empty()) {
    error = "bmslist が書き出した一覧ではありません (行がありません)";
    return false;
  }
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (records[i].size() < static_cast<std::size_t>(kChartColumnCount)) {
      error = "bmslist が書き出した一覧ではありません (" + std::to_string(i + 1) + " 行目の項目が " +
              std::to_string(records[i].size()) + " 個で、13 個に足りません)";
      return false;
    }
    read.push_back(RowOf(records[i], utf8));
  }
  rows.insert(rows.end(), read.begin(), read.end());
  return true;
}
