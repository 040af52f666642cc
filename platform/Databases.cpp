#include "platform/Databases.h"

#include <sqlite3.h>

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
    default:
      return DbStatus::Failed;
  }
}

class SqliteDatabase final : public Database {
 public:
  explicit SqliteDatabase(sqlite3* db) : db_(db) {}
  ~SqliteDatabase() override { sqlite3_close_v2(db_); }
  SqliteDatabase(const SqliteDatabase&) = delete;
  SqliteDatabase& operator=(const SqliteDatabase&) = delete;

  DbStatus Query(const std::string& sql, DbRows& rows) override {
    rows.clear();
    return Run(sql, &rows, true);
  }
  DbStatus Begin() override { return Run("BEGIN IMMEDIATE", nullptr, false); }
  DbStatus Change(const std::string& sql) override { return Run(sql, nullptr, false); }
  DbStatus Commit(const std::string&) override {
    const DbStatus status = Run("COMMIT", nullptr, false);
    if (status != DbStatus::Ok) Rollback();
    return status;
  }
  void Rollback() override {
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  std::string Error() override { return error_; }

 private:
  DbStatus Run(const std::string& sql, DbRows* rows, bool readOnly) {
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
  std::string error_;
};

}  // namespace

std::unique_ptr<Database> SqliteDatabases::Open(const std::string& path, DbStatus& status) {
  const std::string name = FileName(path);
  status = DbStatus::Failed;
  // An empty name would open a temporary database of SQLite's own.
  if (name.empty()) return nullptr;
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(name.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
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
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_TRIGGER, 1, nullptr);
  status = DbStatus::Ok;
  return std::make_unique<SqliteDatabase>(db);
}

}  // namespace nimbrel
