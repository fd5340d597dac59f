// SPDX-License-Identifier: MIT
#include "session/export_target.h"

#include <cctype>

#include "platform/cp932.h"
#include "platform/io_error.h"

namespace {

bool IsDelimiter(char c) {
#ifdef _WIN32
  return c == '\\' || c == '/';
#else
  return c == '/';
#endif
}

bool SameChar(char a, char b) {
#ifdef _WIN32
  if (IsDelimiter(a) && IsDelimiter(b)) return true;
  // File names compare without ASCII letter case there.
  return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
#else
  return a == b;
#endif
}

}  // namespace

bool IsInWorkingFolders(const std::string& path) {
  const std::string base = platform::WorkParentDir() + "work";
  if (path.size() < base.size()) return false;
  for (std::size_t i = 0; i < base.size(); ++i)
    if (!SameChar(path[i], base[i])) return false;
  if (path.size() == base.size() || IsDelimiter(path[base.size()])) return true;
  // A private folder: "work-" and the rest of the name up to the next delimiter.
  return path[base.size()] == '-';
}

void ExportList(const ChartList& list, const platform::FsPath& target, const CsvOptions& options) {
  if (IsInWorkingFolders(target.utf8) || IsInWorkingFolders(platform::Utf8ToCp932(target.utf8)))
    throw platform::EInOutError(
        platform::kIoAccessDenied,
        platform::Utf8ToCp932("作業フォルダには保存できません (次の書庫を読むときに削除されます): " +
                              platform::ExtractFilePath(target.utf8)));
  WriteChartCsv(list, target, options);
}
