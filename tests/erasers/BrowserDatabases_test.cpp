// Today's browsers' history and cookies erased inside real SQLite databases
// made from the browsers' schemas (tests/data/browserdb).
#include "erasers/BrowserDatabases.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "dialogs/FrmKeepList.h"
#include "erasers/TodaysBrowsers.h"
#include "erasers/TodaysBrowsersWorld.h"
#include "preview/Preview.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;

const std::string kDefault = kChrome + "\\Default", kFf = kFirefox + "\\Profiles\\abc.default";

std::string Bytes(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Chrome's Default profile and Firefox's profile, with nothing in them yet.
struct DbWorld {
  DbWorld() {
    w.shell.specialFolders[kCsidlAppData] = kRoaming;
    w.shell.specialFolders[kCsidlLocalAppData] = kLocal;
    w.files.AddFile(kDefault + "\\Preferences", "{}");
    w.files.AddFile(kFirefox + "\\profiles.ini", kProfilesIni);
    w.files.AddFile(kFf + "\\prefs.js", "");
    w.ctx.SetReport(&w.report);
  }
  // A database made from a browser's schema with the rows of `sql`, and its
  // file in the fakes.
  void Plant(const std::string& path, const char* schema, const std::string& sql) {
    w.files.AddFile(path, "database");
    const std::string out =
        w.databases.Sql(path, Bytes(std::string(NIMBREL_TEST_DATA) + "/browserdb/" + schema +
                                    ".sql") + sql);
    ASSERT_EQ(out.find("error"), std::string::npos) << out;
  }
  std::string Sql(const std::string& path, const std::string& sql) {
    return w.databases.Sql(path, sql);
  }
  std::string File(const std::string& path) { return w.databases.FileName(path); }
  void Erase(TodaysBrowser browser, BrowserCategory category) {
    EraseBrowserCategory(w.ctx, browser, category);
  }
  // The lines that tell of the path (its own and those under it).
  Lines LinesOf(const std::string& path) {
    Lines out;
    for (std::size_t i = 0; i < w.report.lines.size(); ++i)
      if (w.report.lines[i].find(path) != std::string::npos) {
        out.push_back(w.report.lines[i]);
        while (i + 1 < w.report.lines.size() && w.report.lines[i + 1].starts_with("    "))
          out.push_back(w.report.lines[++i]);
      }
    return out;
  }
  TestWorld w;
};

class BrowserDatabasesTest : public ::testing::Test, public DbWorld {};

const char* kSchema = "SELECT type, name, sql FROM sqlite_master ORDER BY name";

TEST_F(BrowserDatabasesTest, ChromiumHistoryKeepsOnlyItsSchemaAndMeta) {
  const std::string history = kDefault + "\\History";
  Plant(history, "chromium-history",
        "INSERT INTO urls(url, last_visit_time) VALUES('https://a.example/', 1), "
        "('https://b.example/', 2), ('https://c.example/', 3);"
        "INSERT INTO visits(url, visit_time) VALUES(1, 1), (2, 2), (2, 3);"
        "INSERT INTO keyword_search_terms VALUES(1, 1, 'Secret Term', 'secret term');"
        "INSERT INTO downloads(id, guid, current_path, target_path, start_time, received_bytes,"
        " total_bytes, state, danger_type, interrupt_reason, hash, end_time, opened,"
        " last_access_time, transient, referrer, site_url, embedder_download_data, tab_url,"
        " tab_referrer_url, http_method, by_ext_id, by_ext_name, by_web_app_id, etag,"
        " last_modified, mime_type, original_mime_type) VALUES"
        " (1,'g1','C:\\a.zip','C:\\a.zip',0,0,0,1,0,0,x'',0,0,0,0,'','','','','','','','','','','','',''),"
        " (2,'g2','C:\\b.zip','C:\\b.zip',0,0,0,1,0,0,x'',0,0,0,0,'','','','','','','','','','','','','');"
        "INSERT INTO downloads_url_chains VALUES(1, 0, 'https://a.example/a.zip');"
        "INSERT INTO segments VALUES(1, 'a.example', 1);"
        "INSERT INTO clusters_and_visits VALUES(1, 1, 0, 0, '', '', '', 0);");
  for (const char* name : {"Top Sites", "Top Sites-journal", "Shortcuts", "Visited Links",
                           "Network Action Predictor", "History Provider Cache",
                           "Archived History"})
    w.files.AddFile(kDefault + "\\" + name, "x");
  // A journal a crash left beside History: SQLite needs it.
  w.files.AddFile(kDefault + "\\History-journal", "journal");
  const std::string schema = Sql(history, kSchema), meta = Sql(history, "SELECT * FROM meta");

  Erase(TodaysBrowser::Chrome, BrowserCategory::History);
  EXPECT_EQ(LinesOf(history)[0], "  " + history + ": 3 addresses, 2 downloads");
  for (const char* table : {"urls", "visits", "keyword_search_terms", "downloads",
                            "downloads_url_chains", "segments", "clusters_and_visits"})
    EXPECT_EQ(Sql(history, std::string("SELECT count(*) FROM ") + table), "0\n") << table;
  EXPECT_EQ(Sql(history, kSchema), schema);
  EXPECT_EQ(Sql(history, "SELECT * FROM meta"), meta);
  EXPECT_EQ(Sql(history, "PRAGMA integrity_check"), "ok\n");
  EXPECT_EQ(w.files.Attributes(kDefault + "\\Top Sites"), kInvalidAttributes);
  EXPECT_EQ(w.files.Attributes(kDefault + "\\Archived History"), kInvalidAttributes);
  EXPECT_NE(w.files.Attributes(kDefault + "\\History-journal"), kInvalidAttributes);
  // Rows are no files: only the seven files count.
  EXPECT_EQ(w.ctx.FilesDeleted, 7);
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 0);
}

TEST_F(BrowserDatabasesTest, FirefoxHistoryKeepsBookmarksAndTheirPlaces) {
  const std::string places = kFf + "\\places.sqlite", form = kFf + "\\formhistory.sqlite";
  // 1 visited, 2 bookmarked and visited, 3 a keyword's, 4 visited; origin 9 only 1's and 4's.
  Plant(places, "firefox-places",
        "INSERT INTO moz_origins VALUES(8, 'https://', 'kept.example', 1, 0, NULL, 0),"
        " (9, 'https://', 'gone.example', 1, 0, NULL, 0);"
        "INSERT INTO moz_places(id, url, visit_count, last_visit_date, origin_id) VALUES"
        " (1, 'https://gone.example/1', 1, 5, 9), (2, 'https://kept.example/', 3, 6, 8),"
        " (3, 'https://kept.example/search?q=%s', 0, NULL, 8), (4, 'https://gone.example/4', 1, 7, 9);"
        "INSERT INTO moz_historyvisits(place_id, visit_date) VALUES(1, 5), (2, 6), (4, 7);"
        "INSERT INTO moz_inputhistory VALUES(1, 'gon', 1);"
        "INSERT INTO moz_bookmarks(id, type, fk, parent, title) VALUES(1, 2, NULL, 0, 'root'),"
        " (2, 2, NULL, 1, 'menu'), (3, 1, 2, 2, 'Kept'), (4, 2, NULL, 1, 'tags'),"
        " (5, 2, NULL, 4, 'news'), (6, 1, 2, 5, NULL);"
        "INSERT INTO moz_keywords(keyword, place_id) VALUES('k', 3);"
        "INSERT INTO moz_anno_attributes VALUES(1, 'downloads/destinationFileURI');"
        "INSERT INTO moz_annos(place_id, anno_attribute_id, content) VALUES(1, 1, 'file:///a'),"
        " (2, 1, 'file:///b');"
        "INSERT INTO moz_places_metadata(place_id) VALUES(1);"
        "INSERT INTO moz_places_metadata_search_queries(terms) VALUES('secret');");
  Plant(form, "firefox-formhistory",
        "INSERT INTO moz_formhistory(fieldname, value) VALUES('q', 'one'), ('q', 'two');");
  const std::string bookmarks = Sql(places, "SELECT * FROM moz_bookmarks"),
                    schema = Sql(places, kSchema);

  Erase(TodaysBrowser::Firefox, BrowserCategory::History);
  EXPECT_EQ(LinesOf(places), Lines{"  " + places + ": 2 addresses, 3 visits"});
  EXPECT_EQ(LinesOf(form), Lines{"  " + form + ": 2 form entries"});
  const std::pair<const char*, const char*> expected[] = {
      {"SELECT id, visit_count, ifnull(last_visit_date, '-') FROM moz_places", "2|0|-\n3|0|-\n"},
      {"SELECT count(*) FROM moz_historyvisits", "0\n"},
      {"SELECT count(*) FROM moz_inputhistory", "0\n"},
      {"SELECT id FROM moz_origins", "8\n"},
      {"SELECT place_id FROM moz_annos", "2\n"},
      {"SELECT count(*) FROM moz_places_metadata", "0\n"},
      {"SELECT count(*) FROM moz_places_metadata_search_queries", "0\n"},
      {"SELECT keyword, place_id FROM moz_keywords", "k|3\n"},
      {"PRAGMA journal_mode", "wal\n"},
      {"PRAGMA integrity_check", "ok\n"}};
  for (const auto& [sql, rows] : expected) EXPECT_EQ(Sql(places, sql), rows) << sql;
  EXPECT_EQ(Sql(places, "SELECT * FROM moz_bookmarks"), bookmarks);
  EXPECT_EQ(Sql(places, kSchema), schema);
  EXPECT_EQ(Sql(form, "SELECT count(*) FROM moz_formhistory"), "0\n");
}

// Every browser's cookie databases: the kept sites' cookies stay, with
// their sub-domains and leading dots, and nothing that only looks alike.
// Secure erasing leaves no deleted value in the file or its log.
TEST_F(BrowserDatabasesTest, CookiesOfKeptSitesStayInEveryBrowser) {
  const Lines hosts = {"example.com", ".example.com", "www.example.com", "a.b.example.com",
                       ".kept.org",   "ample.com",    ".notexample.com", "example.com.evil.net",
                       "tracker.net", ".tracker.net"};
  const std::string kept = ".example.com\n.kept.org\na.b.example.com\nexample.com\nwww.example.com\n";
  w.files.AddFile(w.system.programFolder + "\\Cookies.ini",
                  "[Cookies]\r\nCookie_Keep1=user@ie.example[1].txt\r\n"
                  "Cookie_Keep2=site:Example.COM\r\nCookie_Keep3=site: .kept.org \r\nCounter=3\r\n");
  w.SetOption("chkenablesecureerasing", "1");
  struct Case {
    TodaysBrowser browser;
    std::string path;
    const char* schema;
    std::string insert;  // with ? for the host
  };
  const std::string chromiumRow =
      "INSERT INTO cookies VALUES(0, '?', '', 'n', 'SECRETVALUE', x'', '/', 0, 0, 0, 0, 0, 0, 0, "
      "0, 0, 0, 0, 0, 0);";
  const Case cases[] = {
      {TodaysBrowser::Chrome, kDefault + "\\Network\\Cookies", "chromium-cookies", chromiumRow},
      {TodaysBrowser::Chrome, kDefault + "\\Cookies", "chromium-cookies", chromiumRow},
      {TodaysBrowser::Firefox, kFf + "\\cookies.sqlite", "firefox-cookies",
       "INSERT INTO moz_cookies(name, value, host, path) VALUES('n', 'SECRETVALUE', '?', '/');"}};
  for (const Case& c : cases) {
    std::string rows;
    for (const std::string& host : hosts)
      rows += c.insert.substr(0, c.insert.find('?')) + host + c.insert.substr(c.insert.find('?') + 1);
    Plant(c.path, c.schema, rows);
  }
  // The keep-list dialog's choice: every site holding cookies, once.
  EXPECT_EQ(ListCurrentCookies(w.ctx),
            (Lines{"site:a.b.example.com", "site:ample.com", "site:example.com",
                   "site:example.com.evil.net", "site:kept.org", "site:notexample.com",
                   "site:tracker.net", "site:www.example.com"}));
  Erase(TodaysBrowser::Chrome, BrowserCategory::Cookies);
  Erase(TodaysBrowser::Firefox, BrowserCategory::Cookies);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const bool firefox = c.browser == TodaysBrowser::Firefox;
    EXPECT_EQ(Sql(c.path, firefox ? "SELECT host FROM moz_cookies ORDER BY 1"
                                  : "SELECT host_key FROM cookies ORDER BY 1"),
              kept);
    EXPECT_EQ(LinesOf(c.path),
              (Lines{"  " + c.path + ": 5 cookies", "    ample.com: 1 cookie",
                     "    example.com.evil.net: 1 cookie", "    notexample.com: 1 cookie",
                     "    tracker.net: 2 cookies"}));
    EXPECT_EQ(Sql(c.path, "PRAGMA integrity_check"), "ok\n");
    const std::string bytes = Bytes(File(c.path)) + Bytes(File(c.path) + "-wal");
    std::size_t values = 0;
    for (std::size_t at = bytes.find("SECRETVALUE"); at != std::string::npos;
         at = bytes.find("SECRETVALUE", at + 1))
      ++values;
    EXPECT_EQ(values, 5u);  // the kept cookies' only
  }
  EXPECT_EQ(w.ctx.FilesDeleted, 0);
}

// A host stored with the trailing dot of a full name or as a BLOB is matched as
// the browser matches it; a cookie without a host is erased, and only rows
// deleted are told.
TEST_F(BrowserDatabasesTest, CookieHostsAreMatchedHoweverStored) {
  const std::string cookies = kFf + "\\cookies.sqlite";
  w.files.AddFile(w.system.programFolder + "\\Cookies.ini",
                  "[Cookies]\r\nCookie_Keep1=site:keep.example\r\nCounter=1\r\n");
  Plant(cookies, "firefox-cookies",
        "INSERT INTO moz_cookies(name, host) VALUES('a', 'keep.example.'), "
        "('b', CAST('www.keep.example' AS BLOB)), ('c', NULL), ('d', 'gone.example'), "
        "('e', CAST('gone.example' AS BLOB));");
  Erase(TodaysBrowser::Firefox, BrowserCategory::Cookies);
  EXPECT_EQ(Sql(cookies, "SELECT name FROM moz_cookies ORDER BY 1"), "a\nb\n");
  EXPECT_EQ(LinesOf(cookies), (Lines{"  " + cookies + ": 3 cookies", "    (no host): 1 cookie",
                                     "    gone.example: 2 cookies"}));
}

// With secure erasing, a log that another program's read keeps from being
// emptied is told: the deleted rows' bytes stay in it until that read ends.
TEST_F(BrowserDatabasesTest, ALogAnotherProgramReadsIsToldAsLeft) {
  const std::string cookies = kFf + "\\cookies.sqlite";
  Plant(cookies, "firefox-cookies",
        "PRAGMA journal_mode = WAL; INSERT INTO moz_cookies(name, host) VALUES('a', 'gone.example');");
  sqlite3* reader = nullptr;
  sqlite3_open(File(cookies).c_str(), &reader);
  sqlite3_exec(reader, "BEGIN; SELECT count(*) FROM moz_cookies;", nullptr, nullptr, nullptr);
  w.SetOption("chkenablesecureerasing", "1");
  Erase(TodaysBrowser::Firefox, BrowserCategory::Cookies);
  sqlite3_close(reader);
  EXPECT_EQ(LinesOf(cookies),
            (Lines{"  " + cookies + ": 1 cookie", "    gone.example: 1 cookie",
                   "  left (deleted rows kept in its log, read by another program): " + cookies}));
  EXPECT_EQ(w.ctx.ItemsLeft, 1);
}

// A database that is held, no database, damaged or not the expected one is
// left as it was with its line; the run goes on.
const std::string kThesis = "C:\\Users\\u\\Documents\\thesis.doc";
const char* kOneCookie =
    "INSERT INTO cookies VALUES(0, 'a.example', '', 'n', 'v', x'', '/', 0, 0, 0, 0, 0, 0, 0, 0, 0, "
    "0, 0, 0, 0);";

TEST_F(BrowserDatabasesTest, UnusableDatabasesAreLeftAsTheyAre) {
  const std::string history = kDefault + "\\History", cookies = kDefault + "\\Network\\Cookies";
  struct Case {
    const char* name;
    std::function<void()> plant;
    std::string path, reason;
  };
  sqlite3* holder = nullptr;
  DbWorld* d = nullptr;
  const Case cases[] = {
      {"held by another connection",
       [&] {
         d->Plant(history, "chromium-history", "INSERT INTO urls(url, last_visit_time) VALUES('u', 1);");
         sqlite3_open(d->File(history).c_str(), &holder);
         sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr);
       },
       history, "in use by another program"},
      {"random bytes",
       [&] {
         std::string noise(8192, '\0');
         for (std::size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>(i * 7919 % 251);
         std::ofstream(d->File(history), std::ios::binary) << noise;
         d->w.files.AddFile(history, "database");
       },
       history, "not a SQLite database"},
      {"zero bytes",
       [&] {
         std::ofstream(d->File(cookies), std::ios::binary);
         d->w.files.AddFile(cookies, "database");
       },
       cookies, "unexpected tables"},
      {"no urls table",
       [&] { d->Plant(history, "chromium-cookies", "CREATE TABLE visits(id INTEGER, url INTEGER);"); },
       history, "unexpected tables"},
      {"reached through a link",
       [&] {
         d->w.files.AddFolderLink(kDefault + "\\Network", "C:\\Elsewhere");
         d->Plant("C:\\Elsewhere\\Cookies", "chromium-cookies",
                  "INSERT INTO cookies VALUES(0, 'a.example', '', 'n', 'v', x'', '/', 0, 0, 0, 0, "
                  "0, 0, 0, 0, 0, 0, 0, 0, 0);");
       },
       cookies, "refused: link"},
      // SQLite opens, cuts and deletes a database's side files itself.
      {"a journal that is a file link",
       [&] {
         d->Plant(history, "chromium-history", "INSERT INTO urls(url, last_visit_time) VALUES('u', 1);");
         d->w.files.AddFile(kThesis, "the thesis");
         d->w.files.AddFileLink(history + "-journal", kThesis);
       },
       history, "refused: link"},
      {"a write-ahead log that is a hard link",
       [&] {
         d->Plant(cookies, "chromium-cookies", kOneCookie);
         d->w.files.AddFile(kThesis, "the thesis");
         d->w.files.AddHardLink(kThesis, cookies + "-wal");
       },
       cookies, "refused: link"},
      {"an index that is a hard link",
       [&] {
         d->Plant(cookies, "chromium-cookies", kOneCookie);
         d->w.files.AddFile(kThesis, "the thesis");
         d->w.files.AddHardLink(kThesis, cookies + "-shm");
       },
       cookies, "refused: link"},
      {"a database that is a hard link",
       [&] {
         d->Plant(history, "chromium-history", "INSERT INTO urls(url, last_visit_time) VALUES('u', 1);");
         d->w.files.AddHardLink(history, kThesis);
       },
       history, "refused: link"},
      {"damaged",
       [&] {
         d->Plant(history, "chromium-history",
               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200) "
               "INSERT INTO urls(url, last_visit_time) SELECT hex(randomblob(200)), i FROM n;");
         const int root = std::stoi(
             d->Sql(history, "SELECT rootpage FROM sqlite_master WHERE name = 'urls'"));
         std::fstream f(d->File(history), std::ios::binary | std::ios::in | std::ios::out);
         f.seekp((root - 1) * 4096);
         f << std::string(12, '\x55');
       },
       history, "damaged"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DbWorld fresh;
    d = &fresh;
    fresh.w.files.AddFile(kDefault + "\\Top Sites", "x");
    c.plant();
    const std::string before = Bytes(fresh.File(c.path));
    const std::optional<std::string> thesis = fresh.w.files.ReadAll(kThesis);
    fresh.Erase(TodaysBrowser::Chrome, BrowserCategory::History);
    fresh.Erase(TodaysBrowser::Chrome, BrowserCategory::Cookies);
    if (holder) sqlite3_close(holder), holder = nullptr;
    EXPECT_EQ(fresh.LinesOf(c.path), Lines{"  left (" + c.reason + "): " + c.path});
    EXPECT_TRUE(Bytes(fresh.File(c.path)) == before);
    EXPECT_EQ(fresh.w.ctx.ItemsLeft, 1);
    EXPECT_EQ(fresh.w.files.Attributes(kDefault + "\\Top Sites"), kInvalidAttributes);
    EXPECT_EQ(fresh.w.files.ReadAll(kThesis), thesis);
  }
}

// A preview and the keep list's listing of sites open a database only to read:
// a stale journal beside it, which a connection that may write deletes on its
// first read, stays byte for byte.
TEST_F(BrowserDatabasesTest, APreviewOrAListingChangesNoFileBesideTheDatabase) {
  const std::string history = kDefault + "\\History", cookies = kDefault + "\\Network\\Cookies";
  Plant(history, "chromium-history", "INSERT INTO urls(url, last_visit_time) VALUES('u', 1);");
  Plant(cookies, "chromium-cookies", kOneCookie);
  const std::string stale(4096, '\x5a');
  for (const std::string& path : {history, cookies}) {
    w.files.AddFile(path + "-journal", "journal");
    std::ofstream(File(path) + "-journal", std::ios::binary) << stale;
  }
  w.SetOption("chkChromeHistory", "1");
  w.SetOption("chkChromeCookies", "1");
  w.DecideDataFolder();
  const RecordedRun preview =
      RunRecorded(w.ctx, PreviewMode::Preview, Lines{"Chrome History", "Chrome Cookies"});
  EXPECT_EQ(CookieSites(w.ctx), Lines{"a.example"});
  for (const std::string& path : {history, cookies}) {
    SCOPED_TRACE(path);
    EXPECT_TRUE(Bytes(File(path) + "-journal") == stale);
    EXPECT_NE(std::find_if(preview.changes.begin(), preview.changes.end(),
                           [&](const Change& c) { return c.item.starts_with(path + ": 1 "); }),
              preview.changes.end());
  }
}

// Nimbrel's connections run none of a database's own triggers, and a statement
// that would run for ever is stopped and the database left with its line.
TEST_F(BrowserDatabasesTest, ADatabasesTriggersDoNothingAndEndlessStatementsStop) {
  const std::string history = kDefault + "\\History";
  Plant(history, "chromium-history",
        "INSERT INTO urls(url, last_visit_time) VALUES('https://a.example/', 1);"
        "CREATE TRIGGER copy AFTER DELETE ON urls BEGIN "
        "INSERT INTO meta VALUES('copied', old.url); END;");
  Erase(TodaysBrowser::Chrome, BrowserCategory::History);
  EXPECT_EQ(Sql(history, "SELECT count(*) FROM urls; SELECT count(*) FROM meta WHERE key = 'copied'"),
            "0\n0\n");
  w.databases.statementLimitMs = 50;
  DbStatus status = DbStatus::Ok;
  const std::unique_ptr<Database> db = w.databases.Open(history, status);
  DbRows rows;
  EXPECT_EQ(db->Query("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n) "
                      "SELECT count(*) FROM n",
                      rows),
            DbStatus::TooLong);
  EXPECT_EQ(db->Query("SELECT count(*) FROM urls", rows), DbStatus::Ok);
}

// The preview lists the databases a run changes, with the same counts, and
// changes none of them.
TEST_F(BrowserDatabasesTest, PreviewListsTheDatabasesAndCountsTheRunChanges) {
  const std::string history = kDefault + "\\History", cookies = kFf + "\\cookies.sqlite";
  Plant(history, "chromium-history",
        "INSERT INTO urls(url, last_visit_time) VALUES('https://a.example/', 1);");
  Plant(cookies, "firefox-cookies", "INSERT INTO moz_cookies(host) VALUES('.a.example');");
  for (const char* key : {"chkChromeHistory", "chkFirefoxCookies"}) w.SetOption(key, "1");
  w.DecideDataFolder();
  const Lines rows = {"Chrome History", "Firefox Cookies"};
  const std::string before = Bytes(File(history)) + Bytes(File(cookies));
  const RecordedRun preview = RunRecorded(w.ctx, PreviewMode::Preview, rows);
  EXPECT_TRUE(Bytes(File(history)) + Bytes(File(cookies)) == before);
  std::vector<Change> databases;
  for (const Change& c : preview.changes)
    if (c.kind == ChangeKind::DatabaseRows) databases.push_back(c);
  EXPECT_EQ(databases, (std::vector<Change>{
                           {0, ChangeKind::DatabaseRows, history + ": 1 address, 0 downloads"},
                           {1, ChangeKind::DatabaseRows, cookies + ": 1 cookie"}}));
  EXPECT_EQ(RunRecorded(w.ctx, PreviewMode::PassThrough, rows).changes, preview.changes);
  EXPECT_EQ(Sql(history, "SELECT count(*) FROM urls") + Sql(cookies, "SELECT count(*) FROM moz_cookies"),
            "0\n0\n");
}

}  // namespace
}  // namespace nimbrel
