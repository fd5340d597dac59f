#pragma once
// What a drop of archives does: each archive is unpacked into the working
// folder, one row per chart file at the top of that folder is appended and
// filled from the chart's header, then the top of the folder is emptied.
// The window and bmslist-cli both run exactly this code.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "charts/chart_extensions.h"
#include "charts/chart_list.h"
#include "platform/msgwindow.h"

class TArchiveFile;

// What a drop lists and reads of each chart.
struct ChartScanOptions {
  std::vector<std::string> extensions = ClassicChartExtensions();  // without the dot
  bool hashes = false;  // MD5 and SHA-256 of each chart file
};

class DropPipeline {
 public:
  // `window` is handed to the archiver libraries as their owner window.
  DropPipeline(ChartList& list, TArchiveFile& archiveFile, platform::WindowHandle window);

  ChartScanOptions options;

  // Called before each archive with its 0-based index, the count and its
  // path; answering false stops the drop before that archive.
  std::function<bool(std::size_t index, std::size_t count, const std::string& path)> onArchiveStarting;
  // Called after each appended row has been filled, so the list can show it
  // at once.
  std::function<void(std::size_t row)> onRowAdded;
  // Files of the working folder whose names CP932 cannot hold: they are
  // neither listed nor silently forgotten (file-system names, UTF-8).
  std::function<void(const std::string& archivePath, const std::vector<std::string>& fsNames)> onUnlistedFiles;

  // The paths of one drop, in the order given; names with the extension
  // ".exe" in any letter case are skipped.
  void WMDropFiles(const std::vector<std::string>& paths);
  // One dropped file; lets no error out.
  void AddArchive(const std::string& archivePath);

  static bool IsSkippedName(const std::string& path);
  int RowCount() const { return FRowCount; }

 private:
  void ListAndReadCharts(const std::string& archivePath);
  void CleanUp();

  ChartList& list_;
  TArchiveFile& AF;
  platform::WindowHandle window_;
  std::vector<std::size_t> FRows;  // list index of each row added, in order of adding
  int FRowCount = 0;
};
