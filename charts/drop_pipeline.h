// SPDX-License-Identifier: MIT
#pragma once
// What a drop of archives does: each archive is unpacked into the working
// folder, one row per chart file at the top of that folder is appended and
// filled from the chart's header, then the top of the folder is emptied.
// The window and bmslist-cli both run exactly this code. On two cores two
// archives are unpacked at once, each on a thread of its own into a folder
// of its own (this copy's first and second), while the calling thread reads
// the charts of the earliest and empties its folder; what the caller sees
// (rows, their order, the callbacks and their order) stays the same.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "charts/archive_problem.h"
#include "charts/chart_extensions.h"
#include "charts/chart_list.h"
#include "platform/msgwindow.h"

class BackgroundTask;
class TArchiveFile;

// What a drop lists and reads of each chart.
struct ChartScanOptions {
  std::vector<std::string> extensions = ClassicChartExtensions();  // without the dot
  bool hashes = false;  // MD5 and SHA-256 of each chart file
  // Unpack only the files named like charts: the libraries then skip the
  // sounds and images. The rows stay those of a full unpacking.
  bool chartsOnly = false;
  // ChartRow::facts for every chart; the missing files are looked up among
  // the archive's files (its listing, when only the charts are unpacked).
  bool facts = false;
  // The archives inside a dropped folder are handled after its charts, as
  // if dropped one by one; off, only the folder's charts are listed.
  bool folderArchives = true;
};

class DropPipeline {
 public:
  // `window` is handed to the archiver libraries as their owner window.
  DropPipeline(ChartList& list, TArchiveFile& archiveFile, platform::WindowHandle window);

  ChartScanOptions options;
  // Unpack the next two archives at once while the current one is listed.
  // The archive component's OnProgress is then called on both unpacking
  // threads, possibly at the same time, with the component that unpacks as
  // sender (a copy of the caller's, set as the serial order sets the
  // caller's); every callback below stays on the calling thread.
  bool bothCores = BothCoresByDefault();
  static bool BothCoresByDefault();  // the machine has two cores or more

  // Called before each archive with its 0-based index, the count and its
  // path; answering false stops the drop before that archive.
  std::function<bool(std::size_t index, std::size_t count, const std::string& path)> onArchiveStarting;
  // Called after each appended row has been filled, so the list can show it
  // at once.
  std::function<void(std::size_t row)> onRowAdded;
  // Called once after an archive that failed in part or whole, or gave no
  // chart, with the reasons. The list keeps exactly the rows it got.
  std::function<void(const ArchiveProblem& problem)> onArchiveProblem;
  // Called a few times a second while the calling thread waits for the
  // unpacking thread (a window keeps itself alive here).
  std::function<void()> onWaiting;
  // Called for each folder a dropped folder's walk lists (CP932, with a
  // trailing delimiter), before any of its charts are read; answering false
  // ends the walk, and the drop lists nothing of what it did not reach.
  std::function<bool(const std::string& folder)> onWalking;

  // The paths of one drop, in the order given; names with the extension
  // ".exe" in any letter case are skipped, and so are later volumes of a
  // split archive whose first volume is dropped with them (read from it).
  // Relative paths are taken against the current folder at the call (the
  // listing changes it). A folder gives its charts, read where they lie, one
  // step per folder holding charts (onArchiveStarting names that folder),
  // then its archives (charts/folder_walk.h).
  void WMDropFiles(const std::vector<std::string>& paths);
  // One dropped file; lets no error out.
  void AddArchive(const std::string& archivePath);

  static bool IsSkippedName(const std::string& path);
  // The file name of the volume a failed extraction (`result`) could not
  // find, from the library's closing message; empty when none is named.
  static std::string MissingVolume(std::int32_t result, const std::string& output);
  // Charts read completely since the pipeline was made.
  int RowCount() const { return chartsRead_; }

 private:
  struct FolderStep;
  // The drop's steps: each dropped folder replaced by the folders of its
  // walk and the archives found in it; fills openPaths_ and folderSteps_.
  std::vector<std::string> ExpandFolders(const std::vector<std::string>& paths);
  // Whether step `i` is one of a folder's rather than an archive.
  bool IsFolderStep(std::size_t i) const { return i < folderSteps_.size() && folderSteps_[i]; }
  // Reads the charts of folder step `i` in place and reports its problem.
  void ReadFolderStep(std::size_t i);

  struct Unpacked;
  struct Lane;
  // Unpacks the archive `component` has selected into its folder, only its
  // charts when asked to; the library's result.
  std::int32_t ExtractInto(Unpacked& u, TArchiveFile& component);

  Unpacked Prepare(std::size_t index, const std::string& path, const std::string& folder) const;
  // The library part of one archive: select its driver, empty the folder's
  // top, unpack into it.
  void Unpack(Unpacked& u);
  // Selects the archive's driver on the caller's component; false (with the
  // reason noted) when there is none to unpack with.
  bool Select(Unpacked& u);
  // Empties the folder's top and unpacks there with `component`, which has
  // the archive selected.
  void ExtractSelected(Unpacked& u, TArchiveFile& component);
  // The rest, on the calling thread: rows, clean-up, the problem report.
  void Finish(Unpacked& u);
  // Returns how many rows were appended.
  std::size_t ListAndReadCharts(Unpacked& u);
  // A charts-only scan straight from the archive into memory, nothing
  // unpacked; false (nothing done) whenever the unpacking must decide.
  bool ReadInMemory(Unpacked& u, TArchiveFile& component);
  // The rows of the charts ReadInMemory read.
  std::size_t ReadMemoryCharts(Unpacked& u);
  // Appends the row of one chart: `fields` sets its archive fields, `read`
  // reads the chart into it. A chart that cannot be read keeps what was read
  // and is named among `problem`'s reasons; the other charts still get
  // their rows.
  void AppendChartRow(ArchiveProblem& problem, const std::string& chartName,
                      const std::function<void(ChartRow&)>& fields, const std::function<void(ChartRow&)>& read);
  // From archive `from` on, one after another in `folder`; the libraries
  // are called on `worker` when one is given.
  void DropSerially(const std::vector<std::string>& paths, std::size_t from, std::string folder,
                    BackgroundTask* worker);
  void DropOnBothCores(const std::vector<std::string>& paths, const std::string& spare);
  // Selects the archive at or after `next` (skipped names passed over) and
  // starts unpacking it on `lane`; false when none is left.
  bool StartOn(Lane& lane, const std::vector<std::string>& paths, std::size_t& next);
  // A full disk or a folder that took no file: what the other unpacking or
  // the second folder may have caused.
  static bool FailedForSpaceOrFolder(const Unpacked& u);
  // Unpacks the archive of `failed` again with the caller's component,
  // selected from where `failed` was, into `folder`, on `worker`, while
  // nothing else is under way.
  Unpacked UnpackAlone(const Unpacked& failed, const std::string& folder, BackgroundTask& worker);
  // Takes back archives unpacked ahead that are not to be listed, the
  // earliest first: their folders emptied, the caller's selection as before
  // the earliest.
  void Discard(const std::vector<Lane*>& lanes);

  ChartList& list_;
  TArchiveFile& archiveFile_;
  platform::WindowHandle window_;
  int chartsRead_ = 0;
  std::vector<std::string> openPaths_;  // the drop's paths, absolute
  std::vector<bool> laterVolumes_;     // passed over: read with their first volume
  void NoteLaterVolumes();
  bool PassedOver(std::size_t index, const std::string& path) const;
  std::vector<std::shared_ptr<const FolderStep>> folderSteps_;  // per step; null for an archive
};
