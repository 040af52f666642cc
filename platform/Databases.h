// SQLite databases of other programs (today's browsers' history and cookies),
// read and changed row by row through the SQLite library built into the
// program; never created, never deleted.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace nimbrel {

// How a call on a database ended.
enum class DbStatus {
  Ok,
  Busy,          // another program holds the database (busy or locked)
  NotADatabase,  // the file is no SQLite database
  Damaged,       // SQLite finds the database malformed
  TooLong,       // a statement ran past kDatabaseStatementLimitMs and was stopped
  Failed,        // anything else: no such file, no access, out of memory ...
};

// A result's rows, each column as text ("" for NULL).
using DbRows = std::vector<std::vector<std::string>>;

class Database {
 public:
  virtual ~Database() = default;
  // Runs one statement that changes nothing and gives its rows; a statement
  // that would change the database is refused (Failed).
  virtual DbStatus Query(const std::string& sql, DbRows& rows) = 0;
  // Takes the database's write lock for the changes that follow (BEGIN
  // IMMEDIATE); Busy while another connection holds it.
  virtual DbStatus Begin() = 0;
  // Runs one statement that changes the database or the connection (a
  // DELETE, a PRAGMA that sets something), its result rows unread.
  virtual DbStatus Change(const std::string& sql) = 0;
  // Makes the changes since Begin, all at once. `what` tells them as the
  // progress line does ("12 addresses, 1 download").
  virtual DbStatus Commit(const std::string& what) = 0;
  // Undoes the changes since Begin and gives the lock up.
  virtual void Rollback() = 0;
  // Moves the write-ahead log's pages into the database and empties the log
  // (Ok also for a database without one); Busy when another connection's
  // read keeps pages in the log.
  virtual DbStatus Checkpoint() = 0;
  // SQLite's message for the last call that failed.
  virtual std::string Error() = 0;
};

class Databases {
 public:
  virtual ~Databases() = default;
  // The existing database file at the path, opened to read and change; null,
  // with the reason in `status`, when it cannot be opened.
  virtual std::unique_ptr<Database> Open(const std::string& path, DbStatus& status) = 0;
  // The database at the path, opened so that nothing can change through it:
  // read-only and taken as immutable, so SQLite takes no lock and opens, rolls
  // back or deletes no journal, log or index beside it (a crash's journal
  // stays, and what it would undo is read as it stands). Begin takes a read
  // transaction; Change and Commit fail.
  virtual std::unique_ptr<Database> OpenToRead(const std::string& path, DbStatus& status) = 0;
};

// How long a connection waits for a lock another connection holds.
constexpr int kDatabaseBusyWaitMs = 250;
// How long one statement may run: a database whose own content makes a
// statement run for ever (a view, a huge join) is left rather than hang a run.
constexpr int kDatabaseStatementLimitMs = 30000;

// Databases through the SQLite library, for the program and the unit tests:
// each differs only in the file name SQLite is given for a path (UTF-8). A
// connection has no extensions, no trusted schema (a database's views call no
// function with side effects), no triggers (a database's own triggers would
// change or copy rows as Nimbrel deletes them), the defensive flag (no
// statement may write the schema or the file's pages directly) and each
// statement bounded by `statementLimitMs`.
class SqliteDatabases : public Databases {
 public:
  int statementLimitMs = kDatabaseStatementLimitMs;
  std::unique_ptr<Database> Open(const std::string& path, DbStatus& status) override;
  std::unique_ptr<Database> OpenToRead(const std::string& path, DbStatus& status) override;

 protected:
  virtual std::string FileName(const std::string& path) = 0;

 private:
  std::unique_ptr<Database> OpenAs(const std::string& path, DbStatus& status, bool toRead);
};

}  // namespace nimbrel
