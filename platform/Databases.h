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
  // SQLite's message for the last call that failed.
  virtual std::string Error() = 0;
};

class Databases {
 public:
  virtual ~Databases() = default;
  // The existing database file at the path, opened to read and change; null,
  // with the reason in `status`, when it cannot be opened.
  virtual std::unique_ptr<Database> Open(const std::string& path, DbStatus& status) = 0;
};

// Databases through the SQLite library, for the program and the unit tests:
// each differs only in the file name SQLite is given for a path (UTF-8). A
// connection has no extensions, no trusted schema (a database's own triggers
// and views call no function with side effects) and the defensive flag (no
// statement may write the schema or the file's pages directly).
class SqliteDatabases : public Databases {
 public:
  std::unique_ptr<Database> Open(const std::string& path, DbStatus& status) override;

 protected:
  virtual std::string FileName(const std::string& path) = 0;
};

// How long a connection waits for a lock another connection holds.
constexpr int kDatabaseBusyWaitMs = 250;

}  // namespace nimbrel
