// SPDX-License-Identifier: MIT
#include "library/sqlite_db.h"

#include <sqlite3.h>

namespace library {

SqliteDb::SqliteDb(const std::string& fsPath, int busyMs) {
  const int rc = sqlite3_open_v2(fsPath.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                 nullptr);
  if (rc != SQLITE_OK) {
    const std::string why = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
    sqlite3_close(db_);
    db_ = nullptr;
    throw LibraryError(fsPath + ": " + why);
  }
  sqlite3_busy_timeout(db_, busyMs);
}

SqliteDb::~SqliteDb() { sqlite3_close_v2(db_); }

void SqliteDb::Exec(std::string_view sql) {
  if (sqlite3_exec(db_, std::string(sql).c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sql);
}

std::int64_t SqliteDb::Changes() const { return sqlite3_changes64(db_); }

bool SqliteDb::InTransaction() const { return sqlite3_get_autocommit(db_) == 0; }

void SqliteDb::Fail(std::string_view what) const {
  const int code = sqlite3_errcode(db_) & 0xFF;
  throw LibraryError(std::string(sqlite3_errmsg(db_)) + " (" + std::string(what.substr(0, 60)) + ")",
                     code == SQLITE_NOTADB || code == SQLITE_CORRUPT, code == SQLITE_BUSY || code == SQLITE_LOCKED);
}

Statement::Statement(SqliteDb& db, std::string_view sql) : db_(db) {
  if (sqlite3_prepare_v2(db.Handle(), sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK)
    db.Fail(sql);
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::Bind(int index, std::string_view text) {
  if (sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) != SQLITE_OK)
    db_.Fail("bind");
  return *this;
}

Statement& Statement::Bind(int index, std::int64_t value) {
  if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) db_.Fail("bind");
  return *this;
}

bool Statement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  sqlite3_reset(stmt_);
  if (rc != SQLITE_DONE) db_.Fail(sqlite3_sql(stmt_));
  return false;
}

void Statement::Run() {
  while (Step()) {
  }
}

void Statement::Reset() { sqlite3_reset(stmt_); }

std::string Statement::Text(int column) const {
  const unsigned char* text = sqlite3_column_text(stmt_, column);
  return text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)))
              : std::string();
}

std::int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

Transaction::Transaction(SqliteDb& db) : db_(db) { db_.Exec("BEGIN IMMEDIATE"); }

Transaction::~Transaction() {
  if (open_) sqlite3_exec(db_.Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit() {
  db_.Exec("COMMIT");
  open_ = false;
}

}  // namespace library
