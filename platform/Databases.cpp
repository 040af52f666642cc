#include "platform/Databases.h"

#include <sqlite3.h>

#include <chrono>

namespace nimbrel {

namespace {

DbStatus StatusOf(int code) {
  switch (code & 0xff) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW:
      return DbStatus::Ok;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return DbStatus::Busy;
    case SQLITE_NOTADB:
      return DbStatus::NotADatabase;
    case SQLITE_CORRUPT:
      return DbStatus::Damaged;
    case SQLITE_INTERRUPT:
      return DbStatus::TooLong;
    default:
      return DbStatus::Failed;
  }
}

class SqliteDatabase final : public Database {
 public:
  SqliteDatabase(sqlite3* db, bool toRead, int limitMs) : db_(db), toRead_(toRead), limit_(limitMs) {
    // Asked every thousand steps of SQLite's machine: a statement past its
    // time is interrupted.
    sqlite3_progress_handler(
        db_, 1000,
        [](void* self) {
          return static_cast<SqliteDatabase*>(self)->deadline_ < Clock::now() ? 1 : 0;
        },
        this);
  }
  ~SqliteDatabase() override { sqlite3_close_v2(db_); }
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  DbStatus Query(const std::string& sql, DbRows& rows) override {
    rows.clear();
    return Run(sql, &rows, true);
  }
  DbStatus Begin() override { return Run(toRead_ ? "BEGIN" : "BEGIN IMMEDIATE", nullptr, false); }
  DbStatus Change(const std::string& sql) override { return Run(sql, nullptr, false); }
  DbStatus Commit(const std::string&) override {
    const DbStatus status = Run("COMMIT", nullptr, false);
    if (status != DbStatus::Ok) Rollback();
    return status;
  }
  void Rollback() override {
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  DbStatus Checkpoint() override {
    int log = 0, moved = 0;
    const int rc = sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, &log, &moved);
    if (rc != SQLITE_OK) error_ = sqlite3_errmsg(db_);
    return StatusOf(rc);
  }
  std::string Error() override { return error_; }

 private:
  using Clock = std::chrono::steady_clock;

  DbStatus Run(const std::string& sql, DbRows* rows, bool readOnly) {
    deadline_ = Clock::now() + limit_;
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size() + 1), &stmt,
                                nullptr);
    if (rc != SQLITE_OK) return Failure(rc, stmt);
    if (readOnly && !sqlite3_stmt_readonly(stmt)) {
      sqlite3_finalize(stmt);
      error_ = "a query that would change the database";
      return DbStatus::Failed;
    }
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      if (!rows) continue;
      std::vector<std::string>& row = rows->emplace_back();
      for (int i = 0, n = sqlite3_column_count(stmt); i < n; ++i) {
        const unsigned char* text = sqlite3_column_text(stmt, i);
        row.emplace_back(text ? reinterpret_cast<const char*>(text) : "",
                         static_cast<std::size_t>(sqlite3_column_bytes(stmt, i)));
      }
    }
    if (rc != SQLITE_DONE) return Failure(rc, stmt);
    sqlite3_finalize(stmt);
    return DbStatus::Ok;
  }
  DbStatus Failure(int rc, sqlite3_stmt* stmt) {
    error_ = sqlite3_errmsg(db_);
    sqlite3_finalize(stmt);
    return StatusOf(rc);
  }

  sqlite3* db_;
  bool toRead_;
  std::chrono::milliseconds limit_;
  Clock::time_point deadline_;
  std::string error_;
};

// A file name as an SQLite URI ("file:///C:/a%20b/History?immutable=1"): the
// separators as "/", and each byte that a URI gives a meaning, or that is no
// printable ASCII, as %XX.
std::string ImmutableUri(const std::string& name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = name.starts_with('/') || name.starts_with('\\') ? "file://" : "file:///";
  for (const char c : name) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\\')
      uri += '/';
    else if (b <= 0x20 || b >= 0x7f || c == '%' || c == '?' || c == '#')
      uri.append({'%', kHex[b >> 4], kHex[b & 15]});
    else
      uri += c;
  }
  return uri + "?immutable=1";
}

}  // namespace

std::unique_ptr<Database> SqliteDatabases::Open(const std::string& path, DbStatus& status) {
  return OpenAs(path, status, false);
}

std::unique_ptr<Database> SqliteDatabases::OpenToRead(const std::string& path, DbStatus& status) {
  return OpenAs(path, status, true);
}

std::unique_ptr<Database> SqliteDatabases::OpenAs(const std::string& path, DbStatus& status,
                                                  bool toRead) {
  const std::string name = FileName(path);
  status = DbStatus::Failed;
  // An empty name would open a temporary database of SQLite's own.
  if (name.empty()) return nullptr;
  sqlite3* db = nullptr;
  const int rc = toRead ? sqlite3_open_v2(ImmutableUri(name).c_str(), &db,
                                          SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr)
                        : sqlite3_open_v2(name.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc != SQLITE_OK) {
    status = StatusOf(rc);
    if (status == DbStatus::Ok) status = DbStatus::Failed;
    sqlite3_close_v2(db);
    return nullptr;
  }
  sqlite3_extended_result_codes(db, 1);
  sqlite3_busy_timeout(db, kDatabaseBusyWaitMs);
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0, nullptr);
  status = DbStatus::Ok;
  return std::make_unique<SqliteDatabase>(db, toRead, statementLimitMs);
}

}  // namespace nimbrel
