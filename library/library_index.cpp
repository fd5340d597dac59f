// SPDX-License-Identifier: MIT
#include "library/library_index.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>
#include <thread>

#include "charts/chart_hash.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace library {

namespace fs = std::filesystem;

namespace {

// "bmsl" in the file header, so a database of another program is not taken
// for ours; the version changes whenever the schema does.
constexpr std::int64_t kApplicationId = 0x626d736c;
constexpr std::int64_t kSchemaVersion = 1;
// Files per write transaction while scanning: few enough that another
// process waits only briefly, many enough that commits cost little.
constexpr std::size_t kBatch = 500;

constexpr const char* kSchema = R"(
CREATE TABLE folders (id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE);
CREATE TABLE charts (folder INTEGER NOT NULL, dir TEXT NOT NULL, name TEXT NOT NULL, size INTEGER NOT NULL,
  mtime INTEGER NOT NULL, md5 TEXT NOT NULL, sha256 TEXT NOT NULL, PRIMARY KEY (folder, dir, name)) WITHOUT ROWID;
CREATE INDEX charts_md5 ON charts (md5);
CREATE TABLE tables (id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE, symbol TEXT NOT NULL, source TEXT NOT NULL);
CREATE TABLE table_entries (table_id INTEGER NOT NULL, md5 TEXT NOT NULL, sha256 TEXT NOT NULL, level TEXT NOT NULL,
  title TEXT NOT NULL);
CREATE INDEX table_entries_md5 ON table_entries (md5);
CREATE INDEX table_entries_sha256 ON table_entries (sha256);
CREATE INDEX table_entries_table ON table_entries (table_id);
)";

std::string Utf8Of(const fs::path& p) {
  const std::u8string u = p.u8string();
  return std::string(u.begin(), u.end());
}

fs::path PathOfUtf8(std::string_view s) { return fs::path(std::u8string(s.begin(), s.end())); }

bool HasExtension(const fs::path& p, const std::vector<std::string>& extensions) {
  const std::string ext = Utf8Of(p.extension());
  if (ext.size() < 2) return false;
  return std::any_of(extensions.begin(), extensions.end(), [&](const std::string& want) {
    return want.size() == ext.size() - 1 &&
           std::equal(want.begin(), want.end(), ext.begin() + 1, [](char a, char b) {
             return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
  });
}

bool HashFile(const fs::path& p, std::string& md5, std::string& sha256) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return false;
  ChartHasher hasher;
  char buf[64 * 1024];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    hasher.Update(std::string_view(buf, static_cast<std::size_t>(in.gcount())));
    if (in.eof()) break;
  }
  if (in.bad()) return false;
  hasher.Finish(md5, sha256);
  return true;
}

// A file that is no index of ours: moved aside under a name of its own, with
// the journal files that belong to it, so nothing of it is trusted or lost.
std::string SetAside(const std::string& path) {
  const auto stamp = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::system_clock::now().time_since_epoch()).count();
  const std::string aside = path + ".damaged-" + std::to_string(stamp);
  std::error_code ec;
  fs::rename(PathOfUtf8(path), PathOfUtf8(aside), ec);
  if (ec) throw LibraryError(path + ": a damaged index cannot be moved aside (" + ec.message() + ")");
  for (const char* suffix : {"-wal", "-shm"}) {
    fs::rename(PathOfUtf8(path + suffix), PathOfUtf8(aside + suffix), ec);
  }
  return aside;
}

std::int64_t QueryInt(SqliteDb& db, const char* sql) {
  Statement s(db, sql);
  const std::int64_t v = s.Step() ? s.Int(0) : 0;
  s.Reset();
  return v;
}

}  // namespace

std::string LibraryIndex::DefaultPath() {
  const std::string dir = platform::DataDir();
  platform::ForceDirectories(dir);
  return platform::FsName(dir) + "library.sqlite";
}

std::string LibraryIndex::FolderKey(const std::string& folder) {
  std::error_code ec;
  fs::path p = fs::absolute(PathOfUtf8(folder), ec).lexically_normal();
  std::string key = Utf8Of(p);
  while (key.size() > 1 && (key.back() == '/' || key.back() == '\\')) key.pop_back();
  return key;
}

LibraryIndex::LibraryIndex(const std::string& fsPath, int busyMs) : path_(fsPath), busyMs_(busyMs) {
  try {
    Open();
  } catch (const LibraryError& e) {
    // A busy or unreachable index is said, never taken for a damaged one.
    if (!e.Damaged()) throw;
    db_.reset();
    setAside_ = SetAside(path_);
    Open();
  }
}

LibraryIndex::~LibraryIndex() = default;

void LibraryIndex::Open() {
  db_ = std::make_unique<SqliteDb>(path_, busyMs_);
  SqliteDb& db = *db_;
  // The first read of the file: a file that is no database fails here.
  // Switching to WAL needs the file to itself and SQLite does not wait for
  // that, so a copy opening a new index beside another retries.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(busyMs_);
  for (;;) {
    try {
      Statement mode(db, "PRAGMA journal_mode");
      const bool wal = mode.Step() && mode.Text(0) == "wal";
      mode.Reset();
      if (!wal) db.Exec("PRAGMA journal_mode=WAL");
      break;
    } catch (const LibraryError& e) {
      if (!e.Busy() || std::chrono::steady_clock::now() > deadline) throw;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  db.Exec("PRAGMA synchronous=NORMAL");
  db.Exec("PRAGMA foreign_keys=OFF");
  Transaction t(db);
  const std::int64_t app = QueryInt(db, "PRAGMA application_id");
  const std::int64_t version = QueryInt(db, "PRAGMA user_version");
  if (app == 0 && version == 0 && QueryInt(db, "SELECT count(*) FROM sqlite_master") == 0) {
    db.Exec(kSchema);
    db.Exec("PRAGMA application_id=" + std::to_string(kApplicationId));
    db.Exec("PRAGMA user_version=" + std::to_string(kSchemaVersion));
  } else if (app != kApplicationId || version != kSchemaVersion) {
    throw LibraryError(path_ + ": an index of another version", true);
  } else {
    Statement check(db, "PRAGMA quick_check");
    const std::string verdict = check.Step() ? check.Text(0) : std::string();
    check.Reset();
    if (verdict != "ok") throw LibraryError(path_ + ": damaged (" + verdict + ")", true);
  }
  t.Commit();
}

std::int64_t LibraryIndex::FolderId(const std::string& key, bool create) {
  Statement find(*db_, "SELECT id FROM folders WHERE path = ?1");
  find.Bind(1, key);
  if (find.Step()) {
    const std::int64_t id = find.Int(0);
    find.Reset();
    return id;
  }
  if (!create) return 0;
  Statement add(*db_, "INSERT INTO folders (path) VALUES (?1)");
  add.Bind(1, key).Run();
  return FolderId(key, false);
}

namespace {

struct FoundChart {
  std::string name;  // UTF-8, no folder
  std::int64_t size, mtime;
};

std::string GenericUtf8(const fs::path& p) {
  const std::u8string u = p.generic_u8string();
  return std::string(u.begin(), u.end());
}

}  // namespace

ScanTotals LibraryIndex::Scan(const std::string& folder, const std::vector<std::string>& extensions,
                              const std::function<void(std::size_t)>& progress) {
  const std::string key = FolderKey(folder);
  const fs::path root = PathOfUtf8(key);
  std::error_code ec;
  if (!fs::is_directory(root, ec)) throw LibraryError(folder + ": not a folder");

  SqliteDb& db = *db_;
  std::int64_t folderId = 0;
  {
    Transaction t(db);
    folderId = FolderId(key, true);
    t.Commit();
  }
  Statement known(db, "SELECT name, size, mtime FROM charts WHERE folder = ?1 AND dir = ?2");
  Statement store(db,
                  "INSERT OR REPLACE INTO charts (folder, dir, name, size, mtime, md5, sha256) "
                  "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)");
  Statement forget(db, "DELETE FROM charts WHERE folder = ?1 AND dir = ?2 AND name = ?3");

  ScanTotals totals;
  auto batch = std::make_unique<Transaction>(db);
  std::size_t written = 0;
  const auto wrote = [&] {
    if (++written % kBatch != 0) return;
    batch->Commit();
    batch = std::make_unique<Transaction>(db);
  };

  // Folder by folder, each compared with what the index holds for it, so an
  // unchanged file costs a look at its times and nothing is written for it.
  // Only the folders still to visit and one folder's charts are held.
  std::vector<fs::path> pending{root};
  while (!pending.empty()) {
    const fs::path dir = std::move(pending.back());
    pending.pop_back();
    const std::string rel = dir == root ? std::string() : GenericUtf8(dir.lexically_relative(root));
    std::vector<FoundChart> found;
    bool complete = true;
    fs::directory_iterator it(dir, fs::directory_options::skip_permission_denied, ec);
    if (ec) {
      if (dir == root) throw LibraryError(folder + ": " + ec.message());
      continue;  // unreadable now: what the index knows of it stays
    }
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
      if (ec) break;
      const fs::directory_entry& entry = *it;
      std::error_code entryEc;
      if (entry.is_directory(entryEc) && !entry.is_symlink(entryEc)) {
        pending.push_back(entry.path());
        continue;
      }
      if (!HasExtension(entry.path(), extensions) || !entry.is_regular_file(entryEc)) continue;
      const std::uintmax_t size = entry.file_size(entryEc);
      const fs::file_time_type time = entry.last_write_time(entryEc);
      if (entryEc) continue;
      const std::u8string name = entry.path().filename().u8string();
      found.push_back({std::string(name.begin(), name.end()), static_cast<std::int64_t>(size),
                       static_cast<std::int64_t>(time.time_since_epoch().count())});
    }
    // A listing cut short forgets nothing.
    if (ec) complete = false;
    ec.clear();

    std::map<std::string, std::pair<std::int64_t, std::int64_t>> indexed;
    known.Bind(1, folderId).Bind(2, rel);
    while (known.Step()) indexed.emplace(known.Text(0), std::make_pair(known.Int(1), known.Int(2)));
    for (const FoundChart& f : found) {
      ++totals.charts;
      const auto at = indexed.find(f.name);
      const bool same = at != indexed.end() && at->second == std::make_pair(f.size, f.mtime);
      if (at != indexed.end()) indexed.erase(at);
      if (same) continue;
      std::string md5, sha256;
      if (HashFile(dir / PathOfUtf8(f.name), md5, sha256)) {
        store.Bind(1, folderId).Bind(2, rel).Bind(3, f.name).Bind(4, f.size).Bind(5, f.mtime);
        store.Bind(6, md5).Bind(7, sha256).Run();
        ++totals.hashed;
      } else {
        // What cannot be read is not known any more.
        forget.Bind(1, folderId).Bind(2, rel).Bind(3, f.name).Run();
        totals.unreadable.push_back(rel.empty() ? f.name : rel + "/" + f.name);
      }
      wrote();
    }
    if (complete) {
      for (const auto& [name, stamp] : indexed) {
        forget.Bind(1, folderId).Bind(2, rel).Bind(3, name).Run();
        ++totals.removed;
        wrote();
      }
    }
    if (progress && totals.charts / kBatch != (totals.charts - found.size()) / kBatch) progress(totals.charts);
  }

  // Folders that are gone (or are no folder now) were never visited: their
  // charts go too.
  std::vector<std::string> vanished;
  {
    Statement dirs(db, "SELECT DISTINCT dir FROM charts WHERE folder = ?1");
    dirs.Bind(1, folderId);
    while (dirs.Step()) {
      const std::string dir = dirs.Text(0);
      if (dir.empty()) continue;
      const fs::file_status st = fs::symlink_status(root / PathOfUtf8(dir), ec);
      if (!fs::is_directory(st)) vanished.push_back(dir);
    }
  }
  Statement dropDir(db, "DELETE FROM charts WHERE folder = ?1 AND dir = ?2");
  for (const std::string& dir : vanished) {
    dropDir.Bind(1, folderId).Bind(2, dir).Run();
    totals.removed += static_cast<std::size_t>(db.Changes());
  }
  batch->Commit();
  if (progress) progress(totals.charts);
  return totals;
}

std::string LibraryIndex::LibraryPath(const std::string& md5, const std::vector<std::string>& folders) {
  if (md5.empty()) return {};
  Statement find(*db_,
                 "SELECT CASE dir WHEN '' THEN name ELSE dir || '/' || name END AS path FROM charts "
                 "WHERE md5 = ?1 AND folder = ?2 ORDER BY path LIMIT 1");
  for (const std::string& folder : folders) {
    const std::int64_t id = FolderId(FolderKey(folder), false);
    if (id == 0) continue;
    find.Bind(1, md5).Bind(2, id);
    if (find.Step()) {
      std::string path = find.Text(0);
      find.Reset();
      return path;
    }
  }
  return {};
}

void LibraryIndex::StoreTable(const DifficultyTable& table) {
  SqliteDb& db = *db_;
  Transaction t(db);
  RemoveTable(table.name);
  Statement add(db, "INSERT INTO tables (name, symbol, source) VALUES (?1, ?2, ?3) RETURNING id");
  add.Bind(1, table.name).Bind(2, table.symbol).Bind(3, table.source);
  std::int64_t id = 0;
  if (add.Step()) id = add.Int(0);
  add.Reset();
  Statement entry(db, "INSERT INTO table_entries (table_id, md5, sha256, level, title) VALUES (?1, ?2, ?3, ?4, ?5)");
  for (const TableEntry& e : table.entries)
    entry.Bind(1, id).Bind(2, e.md5).Bind(3, e.sha256).Bind(4, e.level).Bind(5, e.title).Run();
  t.Commit();
}

std::vector<StoredTable> LibraryIndex::Tables() {
  Statement list(*db_,
                 "SELECT name, symbol, source, (SELECT count(*) FROM table_entries WHERE table_id = tables.id) "
                 "FROM tables ORDER BY id");
  std::vector<StoredTable> out;
  while (list.Step()) out.push_back({list.Text(0), list.Text(1), list.Text(2), static_cast<std::size_t>(list.Int(3))});
  return out;
}

bool LibraryIndex::RemoveTable(const std::string& name) {
  SqliteDb& db = *db_;
  const bool outer = db.InTransaction();
  std::unique_ptr<Transaction> t;
  if (!outer) t = std::make_unique<Transaction>(db);
  Statement find(db, "SELECT id FROM tables WHERE name = ?1");
  find.Bind(1, name);
  const std::int64_t id = find.Step() ? find.Int(0) : 0;
  find.Reset();
  if (id == 0) return false;
  Statement(db, "DELETE FROM table_entries WHERE table_id = ?1").Bind(1, id).Run();
  Statement(db, "DELETE FROM tables WHERE id = ?1").Bind(1, id).Run();
  if (t) t->Commit();
  return true;
}

std::vector<std::string> LibraryIndex::TableMarks(const std::string& md5, const std::string& sha256) {
  // Empty hashes are stored for entries without one; they must match nothing.
  Statement find(*db_,
                 "SELECT t.symbol || e.level FROM table_entries e JOIN tables t ON t.id = e.table_id "
                 "WHERE e.md5 = ?1 OR e.sha256 = ?2 GROUP BY t.id, e.level ORDER BY t.id, min(e.rowid)");
  find.Bind(1, md5.empty() ? std::string("-") : md5).Bind(2, sha256.empty() ? std::string("-") : sha256);
  std::vector<std::string> marks;
  while (find.Step()) marks.push_back(find.Text(0));
  return marks;
}

}  // namespace library
