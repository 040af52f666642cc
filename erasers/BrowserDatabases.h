// Today's browsers' history and cookies, deleted row by row inside their
// SQLite databases: the same databases hold what the user keeps (Firefox's
// bookmarks, the cookies of the sites on the keep list), so the files stay
// and the browser opens them as before.
//
// A database another program holds, that is no SQLite database, is damaged
// or lacks the tables this erasing knows is left as it is, with the progress
// line "  left (REASON): PATH"; nothing of it is deleted. The deletions of one
// database are one transaction; with secure erasing on, SQLite overwrites the
// deleted rows' bytes (secure_delete); the write-ahead log is checkpointed
// and emptied, so no deleted row stays in it; a rollback journal is never
// deleted (SQLite recovers from it). Each changed database gets the line
// "  PATH: COUNTS" and, for cookies, a line per site whose cookies went.
// Rows are not counted as registry items or files.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/Context.h"
#include "erasers/BrowserProfiles.h"
#include "settings/KeepLists.h"

namespace nimbrel {

// The history databases of one profile folder:
//  - Chromium's "History": every row of every table but "meta" (the schema's
//    version) and SQLite's own, whatever tables the browser's version adds;
//  - Firefox's "places.sqlite": the visits, the input history and every
//    address no bookmark or keyword refers to, with what refers to them and
//    their orphaned origins (the kept addresses' visit counts go to 0);
//    bookmarks, folders and tags stay. "formhistory.sqlite": every row.
void EraseHistoryDatabases(Context& ctx, TodaysBrowser browser, const std::string& profile);
// The cookie databases of one profile folder (Chromium's "Network\Cookies"
// and the "Cookies" of older versions; Firefox's "cookies.sqlite"): every
// cookie but those of the kept sites.
void EraseCookieDatabases(Context& ctx, TodaysBrowser browser, const std::string& profile,
                          const std::vector<std::string>& keptSites);

// A column of a database that names its row's web site, and how the host is
// read from its value ("" for a value that names no web site: an
// extension's, a file's; such rows stay).
struct SiteColumn {
  const char* column;
  std::string (*host)(std::string_view value);
};
// What EraseSiteRows deleted: the sites whose rows went, with their bytes
// (those of all the rows' values), and whether the database was left.
struct SiteRowsGone {
  std::map<std::string, std::uint64_t> sites;
  bool left = false;
};
// The rows of every site no kept site holds (`keptSites`, sub-domains
// included), in each table holding one of the columns (the first of them it
// holds); every other row stays. One transaction, checked as the history and
// cookie databases are; the line "  PATH: N rows of M sites".
SiteRowsGone EraseSiteRows(Context& ctx, const std::string& path,
                           const std::vector<SiteColumn>& columns,
                           const std::vector<std::string>& keptSites);
// Firefox's storage.sqlite in the profile: what it keeps of the usage of the
// sites' folders (its "cache" table) marked to be counted again at the next
// start, once some of those folders went.
void MarkFirefoxStorageStale(Context& ctx, const std::string& profile);

// The hosts holding cookies in every profile of today's installed browsers,
// as sites: lower-case, without leading dots, sorted, each once. A database
// that cannot be read adds none.
std::vector<std::string> CookieSites(Context& ctx);

}  // namespace nimbrel
