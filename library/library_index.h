// SPDX-License-Identifier: MIT
#pragma once
// The library index: the chart files under the user's song folders, with
// size, modification time, MD5 and SHA-256, and the imported difficulty
// tables, in one SQLite file. Several processes may share the file (WAL,
// busy timeout): a writer waits for another, readers are never blocked.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "library/difficulty_table.h"
#include "library/sqlite_db.h"

namespace library {

struct ScanTotals {
  std::size_t charts = 0;   // chart files found
  std::size_t hashed = 0;   // of them new or changed, so read and hashed
  std::size_t removed = 0;  // index rows of files no longer there
  std::vector<std::string> unreadable;  // relative paths that could not be read (not indexed)
};

struct StoredTable {
  std::string name, symbol, source;
  std::size_t entries = 0;
};

class LibraryIndex {
 public:
  // The index file of this user: DataDir()/library.sqlite (file-system
  // form); its folder is made when missing.
  static std::string DefaultPath();

  // Opens the file at `fsPath`, making it when missing. A file that is no
  // SQLite database, fails SQLite's check or holds another schema version is
  // moved aside (SetAsidePath) and a new index started. One that another
  // process keeps locked past `busyMs`, or that cannot be opened, throws
  // LibraryError and stays as it is.
  explicit LibraryIndex(const std::string& fsPath, int busyMs = 30000);
  ~LibraryIndex();

  // Where a damaged or foreign file was moved to; empty when none was.
  const std::string& SetAsidePath() const { return setAside_; }

  // Walks `folder` (file-system form) at every depth for files whose
  // extension (any case) is one of `extensions` ("bms"...), hashes those
  // whose path, size or time is new, and forgets the folder's files that are
  // gone. `progress`, when set, is called now and then with the charts found
  // so far. Throws LibraryError when the folder cannot be read at all.
  ScanTotals Scan(const std::string& folder, const std::vector<std::string>& extensions,
                  const std::function<void(std::size_t)>& progress = {});

  // The relative path of a chart with this MD5 under the first of `folders`
  // (as given to Scan) that has one; empty when none does.
  std::string LibraryPath(const std::string& md5, const std::vector<std::string>& folders);

  // Difficulty tables, keyed by name: storing one of a name already held
  // replaces it.
  void StoreTable(const DifficultyTable& table);
  std::vector<StoredTable> Tables();
  bool RemoveTable(const std::string& name);
  // "symbol level" of every table entry with this MD5 or SHA-256 (either may
  // be empty), in the tables' order of import, e.g. {"★12", "◆3"}.
  std::vector<std::string> TableMarks(const std::string& md5, const std::string& sha256);

  // The folder key Scan stores: absolute, without a trailing separator.
  static std::string FolderKey(const std::string& folder);

 private:
  void Open();
  std::int64_t FolderId(const std::string& key, bool create);

  std::string path_;
  int busyMs_;
  std::string setAside_;
  std::unique_ptr<SqliteDb> db_;
};

}  // namespace library
