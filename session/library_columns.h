// SPDX-License-Identifier: MIT
#pragma once
// The collection's columns for a window: Library, Table and Duplicate of
// each row of the session's list, the song folders brought into the index
// in the background (the window stays live, a cancel stops the scan), and
// the difficulty tables read in and removed. Library and Table come from the
// index, looked up per chart when first asked for and kept until the index
// changes; Duplicate comes from the list's order and is worked out again
// whenever that changes.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "charts/csv_export.h"
#include "library/chart_lookup.h"
#include "library/library_index.h"
#include "session/session_options.h"

class Session;

class LibraryColumns {
 public:
  explicit LibraryColumns(Session& session);
  ~LibraryColumns();
  LibraryColumns(const LibraryColumns&) = delete;
  LibraryColumns& operator=(const LibraryColumns&) = delete;

  // The index file (file system form): LibraryIndex::DefaultPath() unless
  // set before the index is first used.
  void SetIndexPath(std::string fsPath) { indexPath_ = std::move(fsPath); }

  // Takes the options: whether the columns are shown, the song folders and
  // the chart files a scan looks for. Folders new to this session are
  // scanned at the next Refresh.
  void Apply(const SessionOptions& options);
  bool Shown() const { return shown_; }
  // While the columns are shown and no drop or job runs: brings the index up
  // to date with the song folders when this session has not yet (through
  // Session::RunBackgroundJob: progress, cancel, further drops queued), then
  // looks everything up afresh and says so (onChanged).
  void Refresh();
  // Files came into or left the song folders (songs installed): the next
  // Refresh scans again.
  void FoldersChanged() { scanned_ = false; }
  bool Scanned() const { return scanned_; }

  // Column `which` (0 Library, 1 Table, 2 Duplicate) of list row `row`
  // (UTF-8); empty while the columns are hidden.
  std::string Text(std::size_t row, int which);
  // The header click on column `which`: the list sorted by its texts (the
  // list's sort sign turned over, as any column's click does).
  void SortBy(int which);
  // A header click on the list's logical column `column`: the collection's
  // columns sort by their texts, the others as the list sorts them.
  void ColumnClick(int column);
  // Whether the row's chart (by MD5) is listed in an earlier row.
  bool IsDuplicate(std::size_t row);
  // The tip over a duplicate row, naming the earlier row's archive; empty
  // for any other row.
  std::string DuplicateTip(std::size_t row);
  // The export's options: `options.Csv()`, with the columns as the UTF-8
  // form's trailing fields (kept in `fields`) while they are shown.
  CsvOptions Csv(const SessionOptions& options, std::vector<std::vector<std::string>>& fields);

  // The tables stored, in order of import. An index that cannot be used
  // gives none, with the reason in `error` (UTF-8).
  std::vector<library::StoredTable> Tables(std::string& error);
  // Reads the table `fsPath` stands for (a header JSON or an HTML page) and
  // stores it, replacing one of its name; `imported` tells name, symbol and
  // entries. False, with the reason in `error` (UTF-8) and nothing stored,
  // when it cannot.
  bool ImportTable(const std::string& fsPath, library::StoredTable& imported, std::string& error);
  bool RemoveTable(const std::string& name, std::string& error);

  // Told when the texts may all have changed (a scan ended, a table came or
  // went): the window redraws the columns.
  std::function<void()> onChanged;

 private:
  // The index of this thread, opened on first use; null once it failed (the
  // failure is reported as a problem, once).
  library::LibraryIndex* Index();
  void IndexFailed(const std::string& why);
  void Scan();
  void Forget();
  void Changed();

  Session& session_;
  std::string indexPath_;
  std::unique_ptr<library::LibraryIndex> index_;
  bool indexFailed_ = false;
  bool failureReported_ = false;
  bool shown_ = false;
  bool scanned_ = false;
  std::vector<std::string> folders_;     // absolute, file system form
  std::vector<std::string> extensions_;  // of the chart files scanned
  // Library and Table per chart ("md5 sha256"), as looked up.
  std::unordered_map<std::string, library::RowLookup> found_;
  // The earlier row of each row with the same MD5, for the list's revision.
  std::vector<std::size_t> earlier_;
  std::uint64_t earlierRevision_ = 0;
  bool earlierKnown_ = false;
};
