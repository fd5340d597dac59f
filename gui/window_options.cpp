#include "gui/window_options.h"

namespace {

constexpr char kChartFilesKey[] = "ChartFiles";
constexpr char kHashColumnsKey[] = "HashColumns";
constexpr char kChartsOnlyKey[] = "ChartsOnly";
constexpr char kCsvFormatKey[] = "CsvFormat";
constexpr char kDisplayEncodingKey[] = "DisplayEncoding";
constexpr char kOneArchiveAtATimeKey[] = "OneArchiveAtATime";

// Every option is a choice of two, stored as 0 (the default) or 1.
bool ReadChoice(const TIniGT& ini, const char* key) { return ini.ReadInteger(kOptionsSection, key, 0) == 1; }

}  // namespace

ChartScanOptions WindowOptions::ScanOptions() const {
  ChartScanOptions scan;
  scan.extensions = allChartExtensions ? AllChartExtensions() : ClassicChartExtensions();
  scan.hashes = true;
  scan.chartsOnly = chartsOnly;
  return scan;
}

WindowOptions ReadWindowOptions(const TIniGT& ini) {
  WindowOptions o;
  o.allChartExtensions = ReadChoice(ini, kChartFilesKey);
  o.hashColumns = ReadChoice(ini, kHashColumnsKey);
  o.chartsOnly = ReadChoice(ini, kChartsOnlyKey);
  o.csvFormat = ReadChoice(ini, kCsvFormatKey) ? CsvFormat::kUtf8 : CsvFormat::kClassic;
  o.displayEncoding = ReadChoice(ini, kDisplayEncodingKey) ? DisplayEncoding::kCp932 : DisplayEncoding::kDetected;
  o.oneArchiveAtATime = ReadChoice(ini, kOneArchiveAtATimeKey);
  return o;
}

void WriteWindowOptions(TIniGT& ini, const WindowOptions& o) {
  ini.WriteInteger(kOptionsSection, kChartFilesKey, o.allChartExtensions ? 1 : 0);
  ini.WriteInteger(kOptionsSection, kHashColumnsKey, o.hashColumns ? 1 : 0);
  ini.WriteInteger(kOptionsSection, kChartsOnlyKey, o.chartsOnly ? 1 : 0);
  ini.WriteInteger(kOptionsSection, kCsvFormatKey, o.csvFormat == CsvFormat::kUtf8 ? 1 : 0);
  ini.WriteInteger(kOptionsSection, kDisplayEncodingKey, o.displayEncoding == DisplayEncoding::kCp932 ? 1 : 0);
  ini.WriteInteger(kOptionsSection, kOneArchiveAtATimeKey, o.oneArchiveAtATime ? 1 : 0);
}
