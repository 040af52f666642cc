// The Site Data rows of today's browsers over the fakes, with real LevelDB
// databases (Chromium's Local Storage, Session Storage, service workers and
// file system origins) and real SQLite ones (Firefox's webappsstore.sqlite
// and storage.sqlite, Chromium's QuotaManager, WebSQL's Databases.db and
// SharedStorage) where the fakes' paths lead.
#include "erasers/SiteData.h"

#include <gtest/gtest.h>
#include <leveldb/db.h>
#include <leveldb/write_batch.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

#include "erasers/TodaysBrowsers.h"
#include "erasers/TodaysBrowsersWorld.h"
#include "platform/Path.h"
#include "preview/Preview.h"
#include "settings/KeepLists.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;
using Entries = std::map<std::string, std::string>;

const std::string kDefault = kChrome + "\\Default", kFf = kFirefox + "\\Profiles\\abc.default";

// One site kept, with look-alikes of it and other sites beside it.
const char* kKeepList = "[Cookies]\r\nCookie_Keep1=site:example.com\r\nCounter=1\r\n";

struct SiteWorld {
  SiteWorld() {
    w.shell.specialFolders[kCsidlAppData] = kRoaming;
    w.shell.specialFolders[kCsidlLocalAppData] = kLocal;
    w.files.AddFolder(w.system.programFolder);
    w.files.AddFile(kDefault + "\\Preferences", "{}");
    w.files.AddFile(kDefault + "\\Bookmarks", "bookmarks");
    w.files.AddFile(kDefault + "\\Login Data", "passwords");
    w.files.AddFile(kDefault + "\\Local Extension Settings\\abcdef\\000003.log", "extension");
    w.files.AddFile(kFirefox + "\\profiles.ini", kProfilesIni);
    w.files.AddFile(kFf + "\\prefs.js", "prefs");
    w.files.AddFile(kFf + "\\places.sqlite", "bookmarks");
    w.files.AddFile(kFf + "\\key4.db", "passwords");
    w.ctx.SetReport(&w.report);
  }
  void KeepExample() { w.files.AddFile(w.system.programFolder + "\\Cookies.ini", kKeepList); }

  // A real LevelDB database where the fakes' folder leads, and its files in
  // the fakes.
  void Store(const std::string& folder, const Entries& entries) {
    leveldb::Options options;
    options.create_if_missing = true;
    leveldb::DB* db = nullptr;
    const std::string name = w.databases.FileName(folder);
    ASSERT_TRUE(leveldb::DB::Open(options, name, &db).ok());
    leveldb::WriteBatch batch;
    for (const auto& [key, value] : entries) batch.Put(key, value);
    ASSERT_TRUE(db->Write(leveldb::WriteOptions(), &batch).ok());
    delete db;
    for (const auto& file : std::filesystem::directory_iterator(name))
      w.files.AddFile(folder + "\\" + file.path().filename().string(), "leveldb");
  }
  Entries StoreEntries(const std::string& folder) {
    leveldb::DB* db = nullptr;
    Entries out;
    if (!leveldb::DB::Open(leveldb::Options(), w.databases.FileName(folder), &db).ok())
      return {{"<cannot open>", ""}};
    {
      const std::unique_ptr<leveldb::Iterator> it(db->NewIterator(leveldb::ReadOptions()));
      for (it->SeekToFirst(); it->Valid(); it->Next())
        out[it->key().ToString()] = it->value().ToString();
    }
    delete db;
    return out;
  }
  void Sqlite(const std::string& path, const std::string& sql) {
    w.files.AddFile(path, "database");
    const std::string out = w.databases.Sql(path, sql);
    ASSERT_EQ(out.find("error"), std::string::npos) << out;
  }
  std::string Sql(const std::string& path, const std::string& sql) {
    return w.databases.Sql(path, sql);
  }
  void Erase(TodaysBrowser browser) {
    EraseBrowserCategory(w.ctx, browser, BrowserCategory::SiteData);
  }
  bool There(const std::string& path) { return w.files.Attributes(path) != kInvalidAttributes; }
  // The report's lines from the one naming `start` on, while indented below it.
  Lines LinesFrom(const std::string& start) {
    Lines out;
    for (std::size_t i = 0; i < w.report.lines.size(); ++i)
      if (w.report.lines[i] == start) {
        out.push_back(w.report.lines[i]);
        while (i + 1 < w.report.lines.size() && w.report.lines[i + 1].starts_with("    "))
          out.push_back(w.report.lines[++i]);
      }
    return out;
  }
  TestWorld w;
};

class SiteDataTest : public ::testing::Test, public SiteWorld {};

std::string Ls(const std::string& origin, const std::string& key) {
  return "_" + origin + std::string(1, '\0') + "\x01" + key;
}

TEST(SiteOriginsTest, HostsAsEachStoreSpellsThem) {
  const struct {
    std::string (*reader)(std::string_view);
    const char* value;
    const char* host;
  } cases[] = {
      {HostOfOrigin, "https://Www.Example.com", "www.example.com"},
      {HostOfOrigin, "https://example.com:8443/", "example.com"},
      {HostOfOrigin, "http://a.example.com/^0https://top.net", "a.example.com"},
      {HostOfOrigin, "http://[::1]:8080", "[::1]"},
      {HostOfOrigin, "chrome-extension://abcdef", ""},
      {HostOfOrigin, "file:///C:/page.html", ""},
      {HostOfOrigin, "", ""},
      {HostOfOriginIdentifier, "https_www.example.com_0", "www.example.com"},
      {HostOfOriginIdentifier, "http_tracker.test_8080", "tracker.test"},
      {HostOfOriginIdentifier, "chrome-extension_abcdef_0", ""},
      {HostOfOriginIdentifier, "https_example.com", ""},
      {HostOfFirefoxFolder, "https+++www.example.com", "www.example.com"},
      {HostOfFirefoxFolder, "http+++tracker.test+8080", "tracker.test"},
      {HostOfFirefoxFolder, "https+++example.com^userContextId=2", "example.com"},
      {HostOfFirefoxFolder, "http+++[++1]+8080", "[::1]"},
      {HostOfFirefoxFolder, "moz-extension+++0a1b2c3d-uuid", ""},
      {HostOfFirefoxFolder, "file++++C++page.html", ""},
      {HostOfReversedOrigin, "moc.elpmaxe.www.:https:443", "www.example.com"},
      {HostOfReversedOrigin, "tset.rekcart.:http:80", "tracker.test"},
      {HostOfReversedOrigin, "dcba.:moz-extension", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.reader(c.value), c.host) << c.value;
}

TEST(SiteOriginsTest, AKeptSiteKeepsItsSubDomainsAndNoLookAlike) {
  const std::vector<std::string> kept = {"example.com"};
  for (const char* host : {"example.com", "www.example.com", "a.b.example.com"})
    EXPECT_TRUE(SiteKept(host, kept)) << host;
  for (const char* host : {"ample.com", "example.com.evil.net", "notexample.com", "example.co"})
    EXPECT_FALSE(SiteKept(host, kept)) << host;
}

// What Chromium keeps of sites in one profile: each kind of store, its
// sites and what stays of it.
void PlantChromium(SiteWorld& s) {
  const std::string p = kDefault;
  s.Store(p + "\\Local Storage\\leveldb",
          {{"VERSION", "1"},
           {"META:https://www.example.com", "meta"},
           {Ls("https://www.example.com", "token"), "signed-in"},
           {"META:https://ample.com", "meta"},
           {Ls("https://ample.com", "id"), "tracker-id-1"},
           {Ls("https://example.com.evil.net", "id"), "tracker-id-2"},
           {Ls("chrome-extension://abcdef", "setting"), "extension's own"}});
  const std::string guid1 = "11111111-2222-3333-4444-555555555555";
  const std::string guid2 = "66666666-7777-8888-9999-000000000000";
  s.Store(p + "\\Session Storage",
          {{"version", "1"},
           {"next-map-id", "3"},
           {"namespace-" + guid1 + "-https://example.com/", "1"},
           {"namespace-" + guid1 + "-https://ample.com/", "2"},
           {"namespace-" + guid2 + "-https://ample.com/", "2"},
           {"map-1-cart", "kept"},
           {"map-2-id", "tracker"}});
  // A service worker of each site: registration, its id, its script.
  const std::string reg = std::string("\x0a\x01") + "1";  // not read
  s.Store(p + "\\Service Worker\\Database",
          {{"INITDATA_DB_VERSION", "2"},
           {"INITDATA_NEXT_REGISTRATION_ID", "3"},
           {"INITDATA_UNIQUE_ORIGIN:https://example.com/", ""},
           {"INITDATA_UNIQUE_ORIGIN:https://ample.com/", ""},
           {std::string("REG:https://example.com/") + '\0' + "1", reg},
           {std::string("REG:https://ample.com/") + '\0' + "2", reg},
           {"REGID_TO_ORIGIN:1", "https://example.com/"},
           {"REGID_TO_ORIGIN:2", "https://ample.com/"},
           {std::string("RES:10") + '\0' + "100",
            std::string("\x08\x64\x12\x16") + "https://example.com/sw"},
           {std::string("RES:20") + '\0' + "200",
            std::string("\x08\xc8\x01\x12\x14") + "https://ample.com/sw"},
           {std::string("REG_USER_DATA:2") + '\0' + "push", "x"},
           {std::string("REG_HAS_USER_DATA:push") + '\0' + "2", ""}});
  s.w.files.AddFile(p + "\\Service Worker\\CacheStorage\\aaaa\\index.txt",
                    "cache index of https://example.com/");
  s.w.files.AddFile(p + "\\Service Worker\\CacheStorage\\aaaa\\0a1b_0", "kept response");
  s.w.files.AddFile(p + "\\Service Worker\\CacheStorage\\bbbb\\index.txt",
                    "cache index of https://ample.com/");
  s.w.files.AddFile(p + "\\Service Worker\\CacheStorage\\bbbb\\0c1d_0", "tracker response");
  s.w.files.AddFile(p + "\\Service Worker\\ScriptCache\\index", "scripts");
  s.Store(p + "\\File System\\Origins",
          {{"LAST_PATH", "1"}, {"ORIGIN:https_example.com_0", "000"}, {"ORIGIN:https_ample.com_0", "001"}});
  s.w.files.AddFile(p + "\\File System\\000\\p\\00\\00000000", "kept file");
  s.w.files.AddFile(p + "\\File System\\001\\t\\00\\00000000", "tracker file");
  for (const char* origin : {"https_example.com_0", "https_ample.com_0", "https_example.com.evil.net_0",
                             "chrome-extension_abcdef_0"}) {
    s.w.files.AddFile(p + "\\IndexedDB\\" + origin + ".indexeddb.leveldb\\000003.log", origin);
    s.w.files.AddFile(p + "\\IndexedDB\\" + origin + ".indexeddb.blob\\1\\00\\1", origin);
  }
  s.Sqlite(p + "\\WebStorage\\QuotaManager",
           "CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);"
           "INSERT INTO meta VALUES('version', '10');"
           "CREATE TABLE buckets(id INTEGER PRIMARY KEY AUTOINCREMENT, storage_key TEXT NOT NULL,"
           " host TEXT NOT NULL, type INTEGER NOT NULL, name TEXT NOT NULL);"
           "INSERT INTO buckets VALUES(1, 'https://example.com/', 'example.com', 0, 'default'),"
           " (2, 'https://ample.com/', 'ample.com', 0, 'default'),"
           " (3, 'chrome-extension://abcdef/', 'abcdef', 0, 'default');");
  s.w.files.AddFile(p + "\\WebStorage\\1\\IndexedDB\\indexeddb.leveldb\\000003.log", "kept");
  s.w.files.AddFile(p + "\\WebStorage\\2\\IndexedDB\\indexeddb.leveldb\\000003.log", "tracker");
  s.w.files.AddFile(p + "\\WebStorage\\3\\CacheStorage\\index.txt", "extension");
  s.Sqlite(p + "\\databases\\Databases.db",
           "CREATE TABLE Databases (id INTEGER PRIMARY KEY AUTOINCREMENT, origin TEXT NOT NULL,"
           " name TEXT NOT NULL, description TEXT NOT NULL, estimated_size INTEGER NOT NULL);"
           "INSERT INTO Databases VALUES(1, 'https_example.com_0', 'db', '', 5),"
           " (2, 'https_ample.com_0', 'db', '', 5);");
  s.w.files.AddFile(p + "\\databases\\https_example.com_0\\1", "kept websql");
  s.w.files.AddFile(p + "\\databases\\https_ample.com_0\\2", "tracker websql");
  s.Sqlite(p + "\\SharedStorage",
           "CREATE TABLE values_mapping(context_origin TEXT NOT NULL, key BLOB NOT NULL,"
           " value BLOB NOT NULL, PRIMARY KEY(context_origin, key)) WITHOUT ROWID;"
           "INSERT INTO values_mapping VALUES('https://example.com', 'k', 'v'),"
           " ('https://ample.com', 'k', 'tracker');");
  for (const std::string& name : {p + "\\InterestGroups", p + "\\InterestGroups-journal",
                                  p + "\\Conversions", p + "\\Network\\Trust Tokens"})
    s.w.files.AddFile(name, "advertising");
}

TEST_F(SiteDataTest, ChromiumKeepsTheKeptSitesDataInEveryStore) {
  KeepExample();
  PlantChromium(*this);
  const std::string p = kDefault;
  Erase(TodaysBrowser::Chrome);
  EXPECT_EQ(StoreEntries(p + "\\Local Storage\\leveldb"),
            (Entries{{"VERSION", "1"},
                     {"META:https://www.example.com", "meta"},
                     {Ls("https://www.example.com", "token"), "signed-in"},
                     {Ls("chrome-extension://abcdef", "setting"), "extension's own"}}));
  const std::string guid1 = "11111111-2222-3333-4444-555555555555";
  EXPECT_EQ(StoreEntries(p + "\\Session Storage"),
            (Entries{{"version", "1"},
                     {"next-map-id", "3"},
                     {"namespace-" + guid1 + "-https://example.com/", "1"},
                     {"map-1-cart", "kept"}}));
  const Entries workers = StoreEntries(p + "\\Service Worker\\Database");
  EXPECT_TRUE(workers.count(std::string("REG:https://example.com/") + '\0' + "1"));
  EXPECT_TRUE(workers.count("REGID_TO_ORIGIN:1"));
  EXPECT_TRUE(workers.count(std::string("RES:10") + '\0' + "100"));
  EXPECT_TRUE(workers.count("INITDATA_UNIQUE_ORIGIN:https://example.com/"));
  for (const std::string& gone :
       {std::string("REG:https://ample.com/") + '\0' + "2", std::string("REGID_TO_ORIGIN:2"),
        std::string("RES:20") + '\0' + "200", std::string("INITDATA_UNIQUE_ORIGIN:https://ample.com/"),
        std::string("REG_USER_DATA:2") + '\0' + "push",
        std::string("REG_HAS_USER_DATA:push") + '\0' + "2"})
    EXPECT_FALSE(workers.count(gone)) << gone;
  // The gone worker's script is left for the browser to purge from ScriptCache.
  EXPECT_TRUE(workers.count("PRES:200"));
  EXPECT_FALSE(workers.count("PRES:100"));
  EXPECT_TRUE(There(p + "\\Service Worker\\CacheStorage\\aaaa\\0a1b_0"));
  EXPECT_FALSE(There(p + "\\Service Worker\\CacheStorage\\bbbb"));
  EXPECT_TRUE(There(p + "\\Service Worker\\ScriptCache\\index"));
  EXPECT_EQ(StoreEntries(p + "\\File System\\Origins"),
            (Entries{{"LAST_PATH", "1"}, {"ORIGIN:https_example.com_0", "000"}}));
  EXPECT_TRUE(There(p + "\\File System\\000\\p\\00\\00000000"));
  EXPECT_FALSE(There(p + "\\File System\\001"));
  for (const char* kept : {"https_example.com_0", "chrome-extension_abcdef_0"}) {
    EXPECT_TRUE(There(p + "\\IndexedDB\\" + kept + ".indexeddb.leveldb\\000003.log")) << kept;
    EXPECT_TRUE(There(p + "\\IndexedDB\\" + kept + ".indexeddb.blob\\1\\00\\1")) << kept;
  }
  for (const char* gone : {"https_ample.com_0", "https_example.com.evil.net_0"}) {
    EXPECT_FALSE(There(p + "\\IndexedDB\\" + gone + ".indexeddb.leveldb")) << gone;
    EXPECT_FALSE(There(p + "\\IndexedDB\\" + gone + ".indexeddb.blob")) << gone;
  }
  EXPECT_EQ(Sql(p + "\\WebStorage\\QuotaManager", "SELECT id FROM buckets ORDER BY id"), "1\n3\n");
  EXPECT_TRUE(There(p + "\\WebStorage\\1\\IndexedDB\\indexeddb.leveldb\\000003.log"));
  EXPECT_FALSE(There(p + "\\WebStorage\\2"));
  EXPECT_TRUE(There(p + "\\WebStorage\\3\\CacheStorage\\index.txt"));
  EXPECT_EQ(Sql(p + "\\databases\\Databases.db", "SELECT origin FROM Databases"),
            "https_example.com_0\n");
  EXPECT_TRUE(There(p + "\\databases\\https_example.com_0\\1"));
  EXPECT_FALSE(There(p + "\\databases\\https_ample.com_0"));
  EXPECT_EQ(Sql(p + "\\SharedStorage", "SELECT context_origin FROM values_mapping"),
            "https://example.com\n");
  for (const std::string& name : {p + "\\InterestGroups", p + "\\InterestGroups-journal",
                                  p + "\\Conversions", p + "\\Network\\Trust Tokens"})
    EXPECT_FALSE(There(name)) << name;
  // The rest of the profile, extensions' storage included, is as it was.
  EXPECT_EQ(w.files.Data(p + "\\Preferences"), "{}");
  EXPECT_EQ(w.files.Data(p + "\\Bookmarks"), "bookmarks");
  EXPECT_EQ(w.files.Data(p + "\\Login Data"), "passwords");
  EXPECT_EQ(w.files.Data(p + "\\Local Extension Settings\\abcdef\\000003.log"), "extension");
  // A line for the profile, and one per site whose data went.
  const Lines lines = LinesFrom("  " + p + ": site data of 2 sites");
  ASSERT_EQ(lines.size(), 3u) << ::testing::PrintToString(w.report.lines);
  EXPECT_TRUE(lines[1].starts_with("    ample.com: ")) << lines[1];
  EXPECT_TRUE(lines[2].starts_with("    example.com.evil.net: ")) << lines[2];
}

TEST_F(SiteDataTest, ChromiumWithNoSiteKeptLosesEveryStoreWhole) {
  PlantChromium(*this);
  const std::string p = kDefault;
  Erase(TodaysBrowser::Chrome);
  for (const char* gone : {"\\Local Storage", "\\Session Storage", "\\Service Worker",
                           "\\File System", "\\WebStorage\\1", "\\WebStorage\\2",
                           "\\databases\\https_example.com_0", "\\databases\\https_ample.com_0",
                           "\\IndexedDB\\https_example.com_0.indexeddb.leveldb",
                           "\\IndexedDB\\https_ample.com_0.indexeddb.blob", "\\InterestGroups",
                           "\\Conversions", "\\Network\\Trust Tokens"})
    EXPECT_FALSE(There(p + gone)) << gone;
  // An extension's storage is no site's.
  EXPECT_TRUE(There(p + "\\IndexedDB\\chrome-extension_abcdef_0.indexeddb.leveldb\\000003.log"));
  EXPECT_TRUE(There(p + "\\WebStorage\\3\\CacheStorage\\index.txt"));
  EXPECT_EQ(Sql(p + "\\WebStorage\\QuotaManager", "SELECT id FROM buckets"), "3\n");
  EXPECT_EQ(Sql(p + "\\SharedStorage", "SELECT count(*) FROM values_mapping"), "0\n");
  EXPECT_EQ(w.files.Data(p + "\\Local Extension Settings\\abcdef\\000003.log"), "extension");
  const Lines lines = LinesFrom("  " + p + ": site data of 4 sites");
  ASSERT_EQ(lines.size(), 5u) << ::testing::PrintToString(w.report.lines);
  EXPECT_TRUE(lines[1].starts_with("    ample.com: "));
  EXPECT_TRUE(lines[2].starts_with("    example.com: "));
  EXPECT_TRUE(lines[3].starts_with("    example.com.evil.net: "));
  EXPECT_TRUE(lines[4].starts_with("    www.example.com: "));
}

TEST_F(SiteDataTest, ALockedOrDamagedStoreIsLeftWithItsLine) {
  KeepExample();
  const std::string locked = kDefault + "\\Local Storage\\leveldb";
  const std::string damaged = kDefault + "\\Session Storage";
  const std::string odd = kDefault + "\\Service Worker\\Database";
  Store(locked, {{"VERSION", "1"}, {Ls("https://ample.com", "id"), "x"}});
  Store(damaged, {{"version", "1"}, {"namespace-11111111-2222-3333-4444-555555555555-https://ample.com/", "1"}});
  // A store that is not what it should be: entries of sites, no version.
  Store(odd, {{"INITDATA_UNIQUE_ORIGIN:https://ample.com/", ""}});
  {
    std::ofstream(w.databases.FileName(damaged) + "/CURRENT", std::ios::trunc) << "MANIFEST-0000";
  }
  // The browser holds the lock.
  leveldb::DB* holder = nullptr;
  ASSERT_TRUE(leveldb::DB::Open(leveldb::Options(), w.databases.FileName(locked), &holder).ok());
  Erase(TodaysBrowser::Chrome);
  delete holder;
  EXPECT_EQ(w.report.lines,
            (Lines{"  left (in use by another program): " + locked, "  left (damaged): " + damaged,
                   "  left (unexpected entries): " + odd}));
  EXPECT_EQ(StoreEntries(locked).size(), 2u);
  EXPECT_EQ(StoreEntries(odd).size(), 1u);
  EXPECT_TRUE(There(locked + "\\CURRENT"));
  EXPECT_TRUE(There(damaged + "\\CURRENT"));
}

TEST_F(SiteDataTest, FirefoxKeepsTheKeptSitesFoldersRowsAndWorkers) {
  KeepExample();
  const std::string s = kFf + "\\storage";
  const Lines kept = {s + "\\default\\https+++example.com\\ls\\data.sqlite",
                      s + "\\default\\https+++www.example.com^userContextId=1\\idb\\1.sqlite",
                      s + "\\default\\moz-extension+++0a1b2c3d\\idb\\3.sqlite",
                      s + "\\permanent\\chrome\\idb\\2.sqlite",
                      s + "\\temporary\\https+++a.example.com\\cache\\caches.sqlite"};
  const Lines gone = {s + "\\default\\https+++ample.com\\ls\\data.sqlite",
                      s + "\\default\\http+++tracker.test+8080\\idb\\4.sqlite",
                      s + "\\default\\https+++example.com.evil.net\\.metadata-v2",
                      s + "\\temporary\\https+++ample.com\\cache\\caches.sqlite"};
  for (const auto* list : {&kept, &gone})
    for (const std::string& f : *list) w.files.AddFile(f, "data of " + f);
  Sqlite(kFf + "\\storage.sqlite",
         "CREATE TABLE cache (valid INTEGER NOT NULL DEFAULT 0, build_id TEXT NOT NULL DEFAULT '');"
         "INSERT INTO cache VALUES(1, '20250101');");
  Sqlite(kFf + "\\webappsstore.sqlite",
         "CREATE TABLE webappsstore2 (originAttributes TEXT, originKey TEXT, scope TEXT, key TEXT,"
         " value TEXT);"
         "INSERT INTO webappsstore2 VALUES('', 'moc.elpmaxe.www.:https:443', '', 'token', 'kept'),"
         " ('', 'moc.elpma.:https:443', '', 'id', 'tracker'),"
         " ('', 'ten.live.moc.elpmaxe.:https:443', '', 'id', 'tracker');");
  Sqlite(s + "\\ls-archive.sqlite",
         "CREATE TABLE webappsstore2 (originAttributes TEXT, originKey TEXT, scope TEXT, key TEXT,"
         " value TEXT);"
         "INSERT INTO webappsstore2 VALUES('', 'moc.elpmaxe.:https:443', '', 'old', 'kept'),"
         " ('', 'tset.rekcart.:http:8080', '', 'id', 'tracker');");
  const std::string workers =
      "9\n"
      "\nhttps://www.example.com/\nhttps://www.example.com/sw.js\ntrue\ncache1\n0\n1\n1\n1\n#\n"
      "\nhttps://ample.com/\nhttps://ample.com/sw.js\ntrue\ncache2\n0\n1\n1\n1\n#\n";
  w.files.AddFile(kFf + "\\serviceworker.txt", workers);
  Erase(TodaysBrowser::Firefox);
  for (const std::string& f : kept) EXPECT_EQ(w.files.Data(f), "data of " + f) << f;
  for (const std::string& f : gone) EXPECT_FALSE(There(ParentOf(f))) << f;
  EXPECT_EQ(Sql(kFf + "\\storage.sqlite", "SELECT valid FROM cache"), "0\n");
  EXPECT_EQ(Sql(kFf + "\\webappsstore.sqlite", "SELECT key FROM webappsstore2"), "token\n");
  EXPECT_EQ(Sql(s + "\\ls-archive.sqlite", "SELECT key FROM webappsstore2"), "old\n");
  EXPECT_EQ(w.files.Data(kFf + "\\serviceworker.txt"),
            "9\n\nhttps://www.example.com/\nhttps://www.example.com/sw.js\ntrue\ncache1\n0\n1\n1\n1\n#\n");
  EXPECT_FALSE(There(kFf + "\\serviceworker.txt.nimbrel"));
  for (const char* name : {"\\prefs.js", "\\places.sqlite", "\\key4.db"})
    EXPECT_TRUE(There(kFf + name)) << name;
  const Lines lines = LinesFrom("  " + kFf + ": site data of 3 sites");
  ASSERT_EQ(lines.size(), 4u) << ::testing::PrintToString(w.report.lines);
  EXPECT_TRUE(lines[1].starts_with("    ample.com: "));
  EXPECT_TRUE(lines[2].starts_with("    example.com.evil.net: "));
  EXPECT_TRUE(lines[3].starts_with("    tracker.test: "));
}

TEST_F(SiteDataTest, KeptServiceWorkersKeepTheirLinesAsFirefoxWroteThem) {
  std::vector<std::pair<std::string, std::uint64_t>> gone;
  const std::string text =
      "9\n^userContextId=1\nhttps://example.com/\nhttps://example.com/sw.js\n#\n"
      "\nhttps://ample.com/a/\nhttps://ample.com/a/sw.js\n#\n"
      "\nhttps://b.example.com/\n";
  EXPECT_EQ(KeptServiceWorkers(text, {"example.com"}, gone),
            "9\n^userContextId=1\nhttps://example.com/\nhttps://example.com/sw.js\n#\n"
            "\nhttps://b.example.com/\n");
  ASSERT_EQ(gone.size(), 1u);
  EXPECT_EQ(gone[0].first, "ample.com");
  EXPECT_EQ(gone[0].second, 50u);
}

TEST_F(SiteDataTest, ARunningBrowserKeepsItsSiteData) {
  PlantChromium(*this);
  w.desktop.processes.push_back({1234, "chrome.exe"});
  TodaysBrowsersRun run;
  run.Begin({TodaysBrowser::Chrome});
  run.EraseRow(w.ctx, TodaysBrowser::Chrome, BrowserCategory::SiteData);
  EXPECT_EQ(w.report.lines,
            (Lines{"  Chrome is running: its history, cookies, cache, sessions and site data were left"}));
  EXPECT_TRUE(There(kDefault + "\\Local Storage\\leveldb\\CURRENT"));
}

// The preview lists each site whose data would go, with its bytes, changes
// nothing, and the run then changes exactly that.
TEST_F(SiteDataTest, PreviewListsEachSiteAndTheRunChangesExactlyThat) {
  KeepExample();
  PlantChromium(*this);
  w.SetOption("chkChromeSiteData", "1");
  w.DecideDataFolder();
  const Lines rows = {"Chrome Site Data"};
  const Entries before = StoreEntries(kDefault + "\\Local Storage\\leveldb");
  const RecordedRun preview = RunRecorded(w.ctx, PreviewMode::Preview, rows);
  EXPECT_EQ(StoreEntries(kDefault + "\\Local Storage\\leveldb"), before);
  EXPECT_TRUE(There(kDefault + "\\IndexedDB\\https_ample.com_0.indexeddb.leveldb\\000003.log"));
  std::vector<std::string> sites;
  for (const Change& c : preview.changes)
    if (c.kind == ChangeKind::SiteData) {
      sites.push_back(c.item);
      EXPECT_GT(c.bytes, 0u) << c.item;
    }
  EXPECT_EQ(sites, (Lines{kDefault + ": ample.com", kDefault + ": example.com.evil.net"}));
  const RecordedRun run = RunRecorded(w.ctx, PreviewMode::PassThrough, rows);
  EXPECT_EQ(run.changes, preview.changes);
  EXPECT_FALSE(There(kDefault + "\\IndexedDB\\https_ample.com_0.indexeddb.leveldb"));
  EXPECT_EQ(StoreEntries(kDefault + "\\Local Storage\\leveldb").size(), 4u);
}

}  // namespace
}  // namespace nimbrel
