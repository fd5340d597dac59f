// SPDX-License-Identifier: MIT
#pragma once
// What the 編集 menu does with the list and the archives behind its checked
// rows, for every front end: checks, removing rows, installing songs into
// the song library, renaming archives after their charts (undoable),
// moving archives to the desktop's trash, previewing a chart with the
// player, and reading an exported list back. Each failure is reported per
// item through the session's problems; no file is ever overwritten or
// deleted for good.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class Session;
struct ChartRow;

// A row's archive: its folder and name, as the list holds them (CP932).
std::string RowArchivePath(const ChartRow& row);
// The folder of the row's archive in the same form (trailing delimiter).
std::string RowArchiveFolder(const ChartRow& row);

class ListActions {
 public:
  explicit ListActions(Session& session) : session_(session) {}
  ~ListActions();
  ListActions(const ListActions&) = delete;
  ListActions& operator=(const ListActions&) = delete;

  void CheckAll();
  void UncheckAll();
  void InvertChecks();
  // Removes the checked rows from the list; no file is touched.
  std::size_t RemoveCheckedRows();
  void ClearList();

  // The archives of the checked rows, each once, in row order (CP932);
  // rows read in place from a dropped folder have none.
  std::vector<std::string> CheckedArchives() const;

  // Installs each checked archive into `libraryDir` (the file system's
  // form), with progress and cancel as a drop has them.
  struct InstallTotals {
    std::size_t archives = 0, installed = 0, written = 0, same = 0, kept = 0, failed = 0;
    bool cancelled = false;
  };
  InstallTotals InstallChecked(const std::string& libraryDir);

  // Renames each checked row's archive to "<artist> - <title>.<ext>" from
  // the first checked row of that archive; the rows follow. Returns how
  // many were renamed; the batch can be undone.
  std::size_t RenameChecked();
  bool CanUndoRename() const { return !lastRenames_.empty(); }
  // Takes the last batch of renames back, as far as the names are free.
  std::size_t UndoRename();

  // Moves the checked rows' archives to the desktop's trash; the rows of
  // those archives leave the list. Returns how many archives went.
  std::size_t TrashChecked();

  // Unpacks the row's archive (with its sounds) into a folder of its own,
  // removed at the next preview or when the session ends, and opens the
  // chart with `command` ("%f" stands for the chart). False, with the
  // reason in `error` (UTF-8), when it cannot.
  bool Preview(std::size_t row, const std::string& command, std::string& error);

  // Appends the rows of a list exported earlier (classic or UTF-8, with or
  // without the extra columns). Returns how many; nothing is added, and
  // `error` says why (UTF-8), when the file is no such list.
  std::size_t ImportCsv(const std::string& fsPath, std::string& error);

 private:
  // Rows read in place from a dropped folder have no archive: the actions
  // on archives say so once per folder and pass them over.
  void RefuseFolderRows(const std::string& refusalUtf8);
  void Report(const std::string& archivePath, const std::string& reasonUtf8);
  // Points every row of the archive `from` at `to` (CP932 paths).
  void Repoint(const std::string& from, const std::string& to);

  Session& session_;
  std::vector<std::pair<std::string, std::string>> lastRenames_;  // CP932 paths, old and new
  std::string previewFolder_;
};
