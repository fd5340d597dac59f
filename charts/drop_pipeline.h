#pragma once
// What a drop of archives does: each archive is unpacked into the working
// folder, one row per chart file at the top of that folder is appended and
// filled from the chart's header, then the top of the folder is emptied.
// The window and bmslist-cli both run exactly this code.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "charts/archive_problem.h"
#include "charts/chart_extensions.h"
#include "charts/chart_list.h"
#include "platform/msgwindow.h"

class TArchiveFile;

// What a drop lists and reads of each chart.
struct ChartScanOptions {
  std::vector<std::string> extensions = ClassicChartExtensions();  // without the dot
  bool hashes = false;  // MD5 and SHA-256 of each chart file
  // Unpack only the files named like charts: the libraries then skip the
  // sounds and images. The rows stay those of a full unpacking.
  bool chartsOnly = false;
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
  // Called once after an archive that failed in part or whole, or gave no
  // chart, with the reasons. The list keeps exactly the rows it got.
  std::function<void(const ArchiveProblem& problem)> onArchiveProblem;

  // The paths of one drop, in the order given; names with the extension
  // ".exe" in any letter case are skipped.
  void WMDropFiles(const std::vector<std::string>& paths);
  // One dropped file; lets no error out.
  void AddArchive(const std::string& archivePath);

  static bool IsSkippedName(const std::string& path);
  // Charts read completely since the pipeline was made.
  int RowCount() const { return chartsRead_; }

 private:
  // Unpacks the current archive into the working folder; the library's result.
  std::int32_t Unpack();
  // Returns how many rows were appended.
  std::size_t ListAndReadCharts(ArchiveProblem& problem);

  ChartList& list_;
  TArchiveFile& archiveFile_;
  platform::WindowHandle window_;
  int chartsRead_ = 0;
};
