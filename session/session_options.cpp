// SPDX-License-Identifier: MIT
#include "session/session_options.h"

#include "platform/cp932.h"
#include "platform/paths.h"
#include "session/settings_keys.h"

using namespace settings_keys;

namespace {

// Every option is a choice of two, stored as 0 (the default) or 1.
constexpr int kMaxLibraryFolders = 1000;

bool ReadChoice(const TIniGT& ini, const char* key) { return ini.ReadInteger(kOptionsSection, key, 0) == 1; }
void WriteChoice(TIniGT& ini, const char* key, bool on) { ini.WriteInteger(kOptionsSection, key, on ? 1 : 0); }

}  // namespace

ChartScanOptions SessionOptions::ScanOptions() const {
  ChartScanOptions scan;
  scan.extensions = allChartExtensions ? AllChartExtensions() : ClassicChartExtensions();
  scan.hashes = true;
  scan.chartsOnly = chartsOnly;
  scan.facts = chartFacts;
  scan.folderArchives = folderArchives;
  return scan;
}

SessionOptions ReadSessionOptions(const TIniGT& ini) {
  SessionOptions o;
  o.allChartExtensions = ReadChoice(ini, kChartFilesKey);
  o.hashColumns = ReadChoice(ini, kHashColumnsKey);
  o.chartsOnly = ReadChoice(ini, kChartsOnlyKey);
  o.csvFormat = ReadChoice(ini, kCsvFormatKey) ? CsvFormat::kUtf8 : CsvFormat::kClassic;
  o.displayEncoding = ReadChoice(ini, kDisplayEncodingKey) ? DisplayEncoding::kCp932 : DisplayEncoding::kDetected;
  o.oneArchiveAtATime = ReadChoice(ini, kOneArchiveAtATimeKey);
  o.numericSort = ReadChoice(ini, kNumericSortKey);
  o.chartFacts = ReadChoice(ini, kChartFactsKey);
  o.songLibrary = platform::FsName(ini.ReadString(kOptionsSection, kSongLibraryKey, ""));
  o.previewCommand = platform::Cp932ToUtf8(ini.ReadString(kOptionsSection, kPreviewCommandKey, ""));

  o.libraryColumns = ReadChoice(ini, kLibraryColumnsKey);
  // A count past any real list is a damaged file, not a reason to read on.
  const int folders = ini.ReadInteger(kOptionsSection, kLibraryFolderCountKey, 0);
  for (int n = 1; n <= folders && n <= kMaxLibraryFolders; ++n) {
    const std::string folder = ini.ReadString(kOptionsSection, LibraryFolderKey(static_cast<std::size_t>(n)), "");
    if (!folder.empty()) o.libraryFolders.push_back(platform::FsName(folder));
  }
  // On unless turned off: the one choice whose default is 1.
  o.folderArchives = ini.ReadInteger(kOptionsSection, kFolderArchivesKey, 1) != 0;
  return o;
}

void WriteSessionOptions(TIniGT& ini, const SessionOptions& o) {
  WriteChoice(ini, kChartFilesKey, o.allChartExtensions);
  WriteChoice(ini, kHashColumnsKey, o.hashColumns);
  WriteChoice(ini, kChartsOnlyKey, o.chartsOnly);
  WriteChoice(ini, kCsvFormatKey, o.csvFormat == CsvFormat::kUtf8);
  WriteChoice(ini, kDisplayEncodingKey, o.displayEncoding == DisplayEncoding::kCp932);
  WriteChoice(ini, kOneArchiveAtATimeKey, o.oneArchiveAtATime);
  WriteChoice(ini, kNumericSortKey, o.numericSort);
  WriteChoice(ini, kChartFactsKey, o.chartFacts);
  ini.WriteInteger(kOptionsSection, kFolderArchivesKey, o.folderArchives ? 1 : 0);
  // The settings file holds CP932 text: the libraries take no other
  // destination anyway, and a command is kept as near as it goes.
  if (!o.songLibrary.empty() || !ini.ReadString(kOptionsSection, kSongLibraryKey, "").empty())
    ini.WriteString(kOptionsSection, kSongLibraryKey, platform::Utf8ToCp932(o.songLibrary));
  if (!o.previewCommand.empty() || !ini.ReadString(kOptionsSection, kPreviewCommandKey, "").empty())
    ini.WriteString(kOptionsSection, kPreviewCommandKey, platform::Utf8ToCp932(o.previewCommand));

  WriteChoice(ini, kLibraryColumnsKey, o.libraryColumns);
  const int stored = ini.ReadInteger(kOptionsSection, kLibraryFolderCountKey, 0);
  if (!o.libraryFolders.empty() || stored != 0) {
    ini.WriteInteger(kOptionsSection, kLibraryFolderCountKey, static_cast<int>(o.libraryFolders.size()));
    for (std::size_t n = 1; n <= o.libraryFolders.size(); ++n)
      ini.WriteString(kOptionsSection, LibraryFolderKey(n), platform::Utf8ToCp932(o.libraryFolders[n - 1]));
  }
}
