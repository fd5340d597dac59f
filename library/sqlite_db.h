// SPDX-License-Identifier: MIT
#pragma once
// A thin hold on SQLite: one connection, prepared statements, transactions.
// Every failure throws LibraryError with SQLite's own words.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace library {

class LibraryError : public std::runtime_error {
 public:
  // `damaged`: the file is no database of ours (not SQLite, corrupt, another
  // schema), as opposed to one that is busy or cannot be reached now.
  // `busy`: another connection holds the lock SQLite did not wait for.
  explicit LibraryError(const std::string& what, bool damaged = false, bool busy = false)
      : std::runtime_error(what), damaged_(damaged), busy_(busy) {}
  bool Damaged() const { return damaged_; }
  bool Busy() const { return busy_; }

 private:
  bool damaged_, busy_;
};

class SqliteDb {
 public:
  // Opens (or creates) the file at `fsPath`; another process holding a lock
  // is waited for up to `busyMs`.
  SqliteDb(const std::string& fsPath, int busyMs);
  ~SqliteDb();
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  void Exec(std::string_view sql);
  sqlite3* Handle() const { return db_; }
  // Rows changed by the last statement; whether a transaction is open.
  std::int64_t Changes() const;
  bool InTransaction() const;
  [[noreturn]] void Fail(std::string_view what) const;

 private:
  sqlite3* db_ = nullptr;
};

class Statement {
 public:
  Statement(SqliteDb& db, std::string_view sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // Binds by position (1-based); text is copied.
  Statement& Bind(int index, std::string_view text);
  Statement& Bind(int index, std::int64_t value);
  // True while a row is there; false when done (the statement is reset
  // then, bindings kept).
  bool Step();
  // Runs a statement that returns no rows, then resets it.
  void Run();
  void Reset();
  std::string Text(int column) const;
  std::int64_t Int(int column) const;

 private:
  SqliteDb& db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN IMMEDIATE (the write lock at once, so two writers never deadlock
// half-way) ... COMMIT; rolled back when left by an exception.
class Transaction {
 public:
  explicit Transaction(SqliteDb& db);
  ~Transaction();
  void Commit();

 private:
  SqliteDb& db_;
  bool open_ = true;
};

}  // namespace library
