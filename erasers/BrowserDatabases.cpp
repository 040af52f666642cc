#include "erasers/BrowserDatabases.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>

#include "platform/Text.h"

namespace nimbrel {

namespace {

// A table's name (lower-case) and its columns (lower-case).
using Tables = std::map<std::string, std::set<std::string>>;

// "1,234 addresses", "1 address".
std::string Counted(std::uint64_t n, const char* one, const char* many) {
  std::string digits = std::to_string(n), grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped + " " + (n == 1 ? one : many);
}

// An identifier as SQL spells it.
std::string Name(const std::string& name) {
  std::string out = "\"";
  for (char c : name) out.append(c == '"' ? "\"\"" : std::string(1, c));
  return out + "\"";
}

// What erasing one database did, and why it stopped when it did.
struct Outcome {
  std::uint64_t rows = 0;          // the rows deleted or changed
  std::string what;                // for the progress line: "3 addresses, 1 download"
  std::vector<std::string> lines;  // further progress lines
  std::optional<std::string> left; // set: the database stays as it was, for this reason
  std::map<std::string, std::uint64_t> sites;  // the sites whose rows went: their bytes
  bool committed = false;          // the deletions were made
};

std::string Reason(DbStatus status, const std::string& error) {
  switch (status) {
    case DbStatus::Busy: return "in use by another program";
    case DbStatus::NotADatabase: return "not a SQLite database";
    case DbStatus::Damaged: return "damaged";
    case DbStatus::TooLong: return "took too long";
    default: return "SQLite: " + error;
  }
}

// The erasing of one kind of database, inside its transaction: counts what
// goes, deletes it, and sets `left` when the tables are not as expected or a
// statement fails.
class DatabaseErasing {
 public:
  DatabaseErasing(Database& db, const Tables& tables, Outcome& out)
      : db_(db), tables_(tables), out_(out) {}
  virtual ~DatabaseErasing() = default;
  virtual void Run() = 0;

 protected:
  bool Has(const std::string& table, const std::string& column = {}) const {
    const auto t = tables_.find(table);
    return t != tables_.end() && (column.empty() || t->second.count(column));
  }
  // Whether every named table is there; else the database is left.
  bool Expect(const std::vector<std::pair<std::string, std::string>>& wanted) {
    for (const auto& [table, column] : wanted)
      if (!Has(table, column)) {
        out_.left = "unexpected tables";
        return false;
      }
    return true;
  }
  std::uint64_t Count(const std::string& sql) {
    DbRows rows;
    if (Fails(db_.Query(sql, rows))) return 0;
    return rows.empty() || rows[0].empty() ? 0 : std::stoull("0" + rows[0][0]);
  }
  std::uint64_t CountRows(const std::string& table, const std::string& where = {}) {
    return Count("SELECT count(*) FROM " + Name(table) + (where.empty() ? "" : " WHERE " + where));
  }
  // Deletes the rows (when there are any) and counts them.
  std::uint64_t Delete(const std::string& table, const std::string& where = {}) {
    const std::uint64_t n = CountRows(table, where);
    if (n > 0 && !out_.left)
      Fails(db_.Change("DELETE FROM " + Name(table) + (where.empty() ? "" : " WHERE " + where)));
    out_.rows += n;
    return n;
  }
  bool Fails(DbStatus status) {
    if (status != DbStatus::Ok && !out_.left) out_.left = Reason(status, db_.Error());
    return status != DbStatus::Ok || out_.left.has_value();
  }

  Database& db_;
  const Tables& tables_;
  Outcome& out_;
};

class ChromiumHistory final : public DatabaseErasing {
 public:
  using DatabaseErasing::DatabaseErasing;
  void Run() override {
    if (!Expect({{"urls", "url"}, {"visits", "url"}, {"meta", "key"}})) return;
    std::uint64_t addresses = 0, downloads = 0;
    for (const auto& [table, columns] : tables_) {
      if (table == "meta" || table.starts_with("sqlite_")) continue;
      const std::uint64_t n = Delete(table);
      if (table == "urls") addresses = n;
      if (table == "downloads") downloads = n;
    }
    out_.what = Counted(addresses, "address", "addresses") + ", " +
                Counted(downloads, "download", "downloads");
  }
};

class FirefoxPlaces final : public DatabaseErasing {
 public:
  using DatabaseErasing::DatabaseErasing;
  void Run() override {
    if (!Expect({{"moz_places", "id"}, {"moz_historyvisits", "place_id"}, {"moz_bookmarks", "fk"}}))
      return;
    // The addresses bookmarks and keywords refer to stay.
    std::string kept = "SELECT fk FROM moz_bookmarks WHERE fk IS NOT NULL";
    if (Has("moz_keywords", "place_id"))
      kept += " UNION SELECT place_id FROM moz_keywords WHERE place_id IS NOT NULL";
    const std::string gone = "id NOT IN (" + kept + ")";
    const std::uint64_t visits = Delete("moz_historyvisits");
    if (Has("moz_inputhistory")) Delete("moz_inputhistory");
    if (Has("moz_places_metadata_search_queries")) Delete("moz_places_metadata_search_queries");
    // What else refers to a gone address (annotations, page metadata).
    for (const auto& [table, columns] : tables_) {
      if (table == "moz_places" || table == "moz_bookmarks" || table == "moz_keywords" ||
          table == "moz_historyvisits" || table == "moz_inputhistory" || !columns.count("place_id"))
        continue;
      Delete(table, "place_id NOT IN (" + kept + ")");
    }
    const std::uint64_t addresses = Delete("moz_places", gone);
    if (Has("moz_origins", "id") && Has("moz_places", "origin_id"))
      Delete("moz_origins",
             "id NOT IN (SELECT origin_id FROM moz_places WHERE origin_id IS NOT NULL AND NOT " +
                 gone + ")");
    // The kept addresses no longer tell how often and when they were visited.
    if (Has("moz_places", "visit_count") && Has("moz_places", "last_visit_date")) {
      const std::string visited = "visit_count <> 0 OR last_visit_date IS NOT NULL";
      const std::uint64_t n = CountRows("moz_places", visited);
      if (n > 0 && !out_.left)
        Fails(db_.Change("UPDATE moz_places SET visit_count = 0, last_visit_date = NULL WHERE " +
                         visited));
      out_.rows += n;
    }
    out_.what = Counted(addresses, "address", "addresses") + ", " +
                Counted(visits, "visit", "visits");
  }
};

class FirefoxFormHistory final : public DatabaseErasing {
 public:
  using DatabaseErasing::DatabaseErasing;
  void Run() override {
    if (!Expect({{"moz_formhistory", "fieldname"}})) return;
    std::uint64_t entries = 0;
    for (const auto& [table, columns] : tables_) {
      if (table.starts_with("sqlite_")) continue;
      const std::uint64_t n = Delete(table);
      if (table == "moz_formhistory") entries = n;
    }
    out_.what = Counted(entries, "form entry", "form entries");
  }
};

class Cookies final : public DatabaseErasing {
 public:
  Cookies(Database& db, const Tables& tables, Outcome& out, const char* table, const char* host,
          const std::vector<std::string>& sites)
      : DatabaseErasing(db, tables, out), table_(table), host_(host), sites_(sites) {}
  void Run() override {
    if (!Expect({{table_, host_}})) return;
    // Each host as stored (text, a BLOB, NULL), as SQL spells it, and as text.
    DbRows rows;
    if (Fails(db_.Query("SELECT quote(" + Name(host_) + "), " + Name(host_) + ", count(*) FROM " +
                            Name(table_) + " GROUP BY 1",
                        rows)))
      return;
    // The hosts that go are named, so that no row of a kept host, however
    // stored, is deleted, and every row counted is one deleted.
    std::string goneHosts;
    bool noHostGoes = false;  // cookies without a host belong to no kept site
    std::map<std::string, std::uint64_t> gone;  // site -> its cookies
    std::uint64_t cookies = 0;
    for (const auto& row : rows) {
      if (row.size() < 3 || SiteKept(row[1], sites_)) continue;
      if (row[0] == "NULL")
        noHostGoes = true;
      else
        goneHosts += (goneHosts.empty() ? "" : ",") + row[0];
      const std::uint64_t n = std::stoull("0" + row[2]);
      gone[row[0] == "NULL" ? "(no host)" : SiteOf(row[1])] += n;
      cookies += n;
    }
    if (cookies == 0) return;
    std::string where = Name(host_) + " IN (" + goneHosts + ")";
    if (noHostGoes) where = (goneHosts.empty() ? "" : where + " OR ") + Name(host_) + " IS NULL";
    if (Fails(db_.Change("DELETE FROM " + Name(table_) + " WHERE " + where))) return;
    out_.rows = cookies;
    out_.what = Counted(cookies, "cookie", "cookies");
    for (const auto& [site, n] : gone)
      out_.lines.push_back("    " + site + ": " + Counted(n, "cookie", "cookies"));
  }

 private:
  std::string table_, host_;
  const std::vector<std::string>& sites_;
};

// The rows of web sites no kept site holds, in each table with one of the
// site columns (the first the table has); every other row stays.
class SiteRows final : public DatabaseErasing {
 public:
  SiteRows(Database& db, const Tables& tables, Outcome& out, const std::vector<SiteColumn>& columns,
           const std::vector<std::string>& sites)
      : DatabaseErasing(db, tables, out), columns_(columns), sites_(sites) {}
  void Run() override {
    std::uint64_t rows = 0;
    for (const auto& [table, names] : tables_) {
      if (table.starts_with("sqlite_")) continue;
      const auto column = std::find_if(columns_.begin(), columns_.end(), [&](const SiteColumn& c) {
        return names.count(ToLower(c.column)) > 0;
      });
      if (column == columns_.end()) continue;
      // A row's bytes: those of all its values.
      std::string size = "0";
      for (const std::string& name : names)
        size += " + coalesce(length(CAST(" + Name(name) + " AS BLOB)), 0)";
      const std::string c = Name(ToLower(column->column));
      DbRows values;
      if (Fails(db_.Query("SELECT quote(" + c + "), " + c + ", count(*), sum(" + size + ") FROM " +
                              Name(table) + " WHERE " + c + " IS NOT NULL GROUP BY 1",
                          values)))
        return;
      std::string gone;
      for (const auto& row : values) {
        if (row.size() < 4) continue;
        const std::string host = column->host(row[1]);
        if (host.empty() || SiteKept(host, sites_)) continue;
        gone += (gone.empty() ? "" : ",") + row[0];
        rows += std::stoull("0" + row[2]);
        out_.sites[SiteOf(host)] += std::stoull("0" + row[3]);
      }
      if (!gone.empty() &&
          Fails(db_.Change("DELETE FROM " + Name(table) + " WHERE " + c + " IN (" + gone + ")")))
        return;
    }
    out_.rows = rows;
    out_.what = Counted(rows, "row", "rows") + " of " +
                Counted(out_.sites.size(), "site", "sites");
  }

 private:
  const std::vector<SiteColumn>& columns_;
  const std::vector<std::string>& sites_;
};

// Firefox's storage.sqlite keeps what it last counted of each site's folder
// under storage\, trusted at the next start while marked valid: once folders
// went, it is marked to be counted again, as Firefox marks it itself.
class StaleOriginCache final : public DatabaseErasing {
 public:
  using DatabaseErasing::DatabaseErasing;
  void Run() override {
    if (!Has("cache", "valid")) return;
    const std::uint64_t n = CountRows("cache", "valid <> 0");
    if (n > 0) Fails(db_.Change("UPDATE cache SET valid = 0 WHERE valid <> 0"));
    out_.rows = n;
    out_.what = "the sites' usage to be counted again";
  }
};

// The tables of the database and their columns; Ok or why it can't be read.
DbStatus ReadTables(Database& db, Tables& tables) {
  DbRows names;
  if (const DbStatus s = db.Query(
          "SELECT name, sql FROM sqlite_master WHERE type = 'table' AND sql NOT LIKE 'CREATE "
          "VIRTUAL%'",
          names);
      s != DbStatus::Ok)
    return s;
  for (const auto& row : names) {
    DbRows columns;
    if (const DbStatus s = db.Query("PRAGMA table_info(" + Name(row[0]) + ")", columns);
        s != DbStatus::Ok)
      return s;
    std::set<std::string>& set = tables[ToLower(row[0])];
    for (const auto& column : columns)
      if (column.size() > 1) set.insert(ToLower(column[1]));
  }
  return DbStatus::Ok;
}

// A check's answer: Ok for "ok", Damaged for any other, or why it could not run.
DbStatus Check(Database& db, const char* pragma) {
  DbRows rows;
  const DbStatus status = db.Query(pragma, rows);
  if (status != DbStatus::Ok) return status;
  return rows.size() == 1 && !rows[0].empty() && rows[0][0] == "ok" ? DbStatus::Ok
                                                                     : DbStatus::Damaged;
}

// What SQLite opens beside a database on its own: a crash's rollback journal,
// the write-ahead log and its shared-memory index.
constexpr const char* kSideFiles[] = {"-journal", "-wal", "-shm"};

// A plain file of one name, reached through no link from the folder above
// its own (the profile, for a database in its Network folder).
bool PlainFile(Files& files, const std::string& path) {
  const std::uint32_t attributes = files.Attributes(path);
  return !(attributes & (kAttrDirectory | kAttrReparsePoint)) && !files.IsLink(path) &&
         files.LinkCount(path) == 1;
}

// A database file there to erase: no folder, and with each of its side files
// that exists a plain file, in its own folder, reached through no link. SQLite
// would otherwise write, cut or delete what a link or a second name of a file
// leads to, a user's document among them. A refused one is told as left when
// `tell`.
bool DatabaseThere(Context& ctx, const std::string& path, bool tell = true) {
  Files& files = ctx.platform.files;
  const std::uint32_t attributes = files.Attributes(path);
  if (attributes == kInvalidAttributes || (attributes & kAttrDirectory)) return false;
  const std::string folder = path.substr(0, path.rfind('\\'));
  bool plain = !files.IsLink(folder) && !files.IsLink(folder.substr(0, folder.rfind('\\'))) &&
               PlainFile(files, path);
  for (const char* side : kSideFiles)
    if (plain && files.Attributes(path + side) != kInvalidAttributes)
      plain = PlainFile(files, path + side);
  if (!plain && tell) ctx.Left("refused: link", path);
  return plain;
}

// Opens the database at the path, when it is there, checks it and runs the
// erasing `Kind` in one transaction, then checkpoints and checks it again.
template <class Kind, class... Args>
Outcome EraseDatabase(Context& ctx, const std::string& path, const Args&... args) {
  Outcome out;
  const auto left = [&](const std::string& reason) {
    ctx.Left(reason, path);
    out.left = reason;
    return out;
  };
  if (!DatabaseThere(ctx, path)) return out;
  DbStatus status = DbStatus::Failed;
  const std::unique_ptr<Database> db = ctx.platform.databases.Open(path, status);
  if (!db) return left(Reason(status, "cannot be opened"));
  Tables tables;
  if (status = ReadTables(*db, tables); status != DbStatus::Ok)
    return left(Reason(status, db->Error()));
  if (status = Check(*db, "PRAGMA quick_check"); status != DbStatus::Ok)
    return left(Reason(status, db->Error()));
  const bool secure = ctx.OptionSelected("chkenablesecureerasing");
  if (secure) db->Change("PRAGMA secure_delete = ON");
  if (status = db->Begin(); status != DbStatus::Ok) return left(Reason(status, db->Error()));
  Kind(*db, tables, out, args...).Run();
  if (out.left) {
    db->Rollback();
    ctx.Left(*out.left, path);
    return out;
  }
  if (out.rows == 0) {
    db->Rollback();
    return out;
  }
  if (status = db->Commit(out.what); status != DbStatus::Ok) {
    out.sites.clear();
    return left(Reason(status, db->Error()));
  }
  out.committed = true;
  const bool logKept = db->Checkpoint() != DbStatus::Ok;
  ctx.AddProgressLine("  " + path + ": " + out.what);
  for (const std::string& line : out.lines) ctx.AddProgressLine(line);
  // Another program's read keeps the log's pages, the deleted rows' bytes among
  // them, until it ends.
  if (logKept && secure) ctx.Left("deleted rows kept in its log, read by another program", path);
  if (Check(*db, "PRAGMA integrity_check") == DbStatus::Damaged)
    ctx.Left("damaged after erasing", path);
  ctx.DoEvents();
  return out;
}

bool IsFirefox(TodaysBrowser browser) { return browser == TodaysBrowser::Firefox; }

std::vector<std::string> CookieFiles(TodaysBrowser browser, const std::string& profile) {
  if (IsFirefox(browser)) return {profile + "\\cookies.sqlite"};
  return {profile + "\\Network\\Cookies", profile + "\\Cookies"};
}

}  // namespace

void EraseHistoryDatabases(Context& ctx, TodaysBrowser browser, const std::string& profile) {
  if (IsFirefox(browser)) {
    EraseDatabase<FirefoxPlaces>(ctx, profile + "\\places.sqlite");
    EraseDatabase<FirefoxFormHistory>(ctx, profile + "\\formhistory.sqlite");
  } else {
    EraseDatabase<ChromiumHistory>(ctx, profile + "\\History");
  }
}

void EraseCookieDatabases(Context& ctx, TodaysBrowser browser, const std::string& profile,
                          const std::vector<std::string>& keptSites) {
  const char* table = IsFirefox(browser) ? "moz_cookies" : "cookies";
  const char* host = IsFirefox(browser) ? "host" : "host_key";
  for (const std::string& path : CookieFiles(browser, profile))
    EraseDatabase<Cookies>(ctx, path, table, host, keptSites);
}

SiteRowsGone EraseSiteRows(Context& ctx, const std::string& path,
                           const std::vector<SiteColumn>& columns,
                           const std::vector<std::string>& keptSites) {
  Outcome out = EraseDatabase<SiteRows>(ctx, path, columns, keptSites);
  return {out.committed ? std::move(out.sites) : std::map<std::string, std::uint64_t>{},
          out.left.has_value()};
}

void MarkFirefoxStorageStale(Context& ctx, const std::string& profile) {
  EraseDatabase<StaleOriginCache>(ctx, profile + "\\storage.sqlite");
}

std::vector<std::string> CookieSites(Context& ctx) {
  std::set<std::string> sites;
  for (const BrowserEntry& entry : kTodaysBrowsers) {
    if (!BrowserInstalled(ctx, entry.browser)) continue;
    const bool firefox = IsFirefox(entry.browser);
    const std::string sql = firefox ? "SELECT DISTINCT host FROM moz_cookies"
                                    : "SELECT DISTINCT host_key FROM cookies";
    for (const BrowserFolder& profile : FindBrowserFolders(ctx, entry.browser).profiles)
      for (const std::string& path : CookieFiles(entry.browser, profile.folder)) {
        if (!DatabaseThere(ctx, path, false)) continue;
        DbStatus status = DbStatus::Failed;
        const std::unique_ptr<Database> db = ctx.platform.databases.OpenToRead(path, status);
        DbRows rows;
        if (!db || db->Query(sql, rows) != DbStatus::Ok) continue;
        for (const auto& row : rows)
          if (!row.empty() && !SiteOf(row[0]).empty()) sites.insert(SiteOf(row[0]));
        ctx.DoEvents();
      }
  }
  return {sites.begin(), sites.end()};
}

}  // namespace nimbrel
