// SQLite databases of other programs (today's browsers' history and cookies),
// read and changed row by row through the SQLite library built into the
// program; and LevelDB databases (the stores Chromium keeps of every web
// site's data: Local Storage, Session Storage, the service workers'
// registrations), read and changed entry by entry through the LevelDB library
// built into it. Neither kind is ever created or deleted through them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
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

// A LevelDB database, opened by one connection: LevelDB itself reads its
// tables and log, and writes, syncs and compacts them.
class Store {
 public:
  virtual ~Store() = default;
  // Every entry, in key order, until `visit` returns false; Damaged when a
  // table or the log fails its checksums.
  using Visitor = std::function<bool(std::string_view key, std::string_view value)>;
  virtual DbStatus Each(const Visitor& visit) = 0;
  // One batch, written to the log and synced before it returns: the keys in
  // `gone` deleted, the entries of `put` written. Then the whole database is
  // compacted, so the deleted entries' bytes are in no table or log it keeps.
  // `what` tells the change as the progress line does ("3 sites").
  virtual DbStatus Write(const std::vector<std::string>& gone,
                         const std::vector<std::pair<std::string, std::string>>& put,
                         const std::string& what) = 0;
  // LevelDB's message for the last call that failed.
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

  // The existing LevelDB database in the folder, opened to read and change
  // (none is created); null, with the reason in `status`, when it cannot be
  // opened: Busy while another program holds its lock, Damaged when LevelDB
  // finds it corrupt, NotADatabase when the folder holds none.
  virtual std::unique_ptr<Store> OpenStore(const std::string& folder, DbStatus& status) = 0;
  // The same database read into memory and opened there: nothing in the
  // folder changes through it (no lock taken, no log replayed into it), and
  // Write changes only the copy.
  virtual std::unique_ptr<Store> OpenStoreToRead(const std::string& folder, DbStatus& status) = 0;
  // A web site's data is gone from a browser's profile: `bytes` of it, in
  // every store and folder. Tells it to a recording platform (the preview
  // and the journal list it); changes nothing.
  virtual void SiteDataGone(const std::string& profile, const std::string& site,
                            std::uint64_t bytes) {
    (void)profile, (void)site, (void)bytes;
  }
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
  // LevelDB's, through its Env::Default(): on Windows Nimbrel's own
  // (platform/win32/LevelDbEnv.cpp), given the same UTF-8 name.
  std::unique_ptr<Store> OpenStore(const std::string& folder, DbStatus& status) override;
  std::unique_ptr<Store> OpenStoreToRead(const std::string& folder, DbStatus& status) override;

 protected:
  virtual std::string FileName(const std::string& path) = 0;

 private:
  std::unique_ptr<Database> OpenAs(const std::string& path, DbStatus& status, bool toRead);
  std::unique_ptr<Store> OpenStoreAs(const std::string& folder, DbStatus& status, bool toRead);
};

}  // namespace nimbrel
