// The steps of the Internet Explorer, Opera and Netscape categories.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "cleaning/TrackCategories.h"
#include "erasers/modIECache.h"
#include "fakes/BrowserProfiles.h"
#include "fakes/TestWorld.h"
#include "platform/Text.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;

constexpr int kCookies = 2, kTemporaryInternetFiles = 3, kInternetHistory = 4, kIndex = 5,
              kOperaCookies = 6, kOperaLocationBar = 7, kOperaCache = 8, kNetscapeCache = 9,
              kNetscapeLocationBar = 10, kNetscapeCookies = 11, kNetscapeHistoryFile = 12;

const std::string kProfile = "C:\\Documents and Settings\\user";
const std::string kOperaRoot = kProfile + "\\Application Data\\Opera\\";
const std::string kOpera = kOperaRoot + "Opera\\";
const std::string kMozilla = kProfile + "\\Application Data\\Mozilla\\Profiles\\";
const std::string kOperaKey = "Software\\Opera Software";

// Whether `part` is `whole` with some lines left out.
bool IsSubsequence(const Lines& part, const Lines& whole) {
  std::size_t at = 0;
  for (const std::string& line : whole)
    if (at < part.size() && part[at] == line) ++at;
  return at == part.size();
}

class BrowserCategoriesTest : public ::testing::Test {
 protected:
  BrowserCategoriesTest() {
    w.ctx.SetReport(&w.report);
    w.files.AddFolder(w.system.programFolder);
    w.files.AddFolder("C:\\WINDOWS\\system32");
  }
  void Erase(int position) {
    const TrackCategory& cat = kTrackCategories[static_cast<std::size_t>(position - 1)];
    ASSERT_NE(cat.erase, nullptr) << cat.label;
    cat.erase(w.ctx);
  }
  void Remember(const std::string& name, const std::string& folder) {
    w.registry.PutString(RegRoot::CurrentUser, kOperaKey, name, folder);
  }
  TestWorld w;
};

TEST_F(BrowserCategoriesTest, CookiesCategoryDeletesTheCookieFiles) {
  w.ctx.CookiesFolder = kProfile + "\\Cookies";
  w.files.AddFile(kProfile + "\\Cookies\\user@site[1].txt");
  Erase(kCookies);
  EXPECT_FALSE(w.files.Exists(kProfile + "\\Cookies\\user@site[1].txt"));
  EXPECT_EQ(w.report.lines, (Lines{"  user@site[1].txt"}));
}

TEST_F(BrowserCategoriesTest, TemporaryInternetFilesFlushTheCacheThenWalkTheFolderReadAgain) {
  const std::string cache = kProfile + "\\Local Settings\\Temporary Internet Files";
  w.registry.PutString(RegRoot::CurrentUser, kShellFolders, "Cache", cache);
  w.ctx.CacheFolder = "C:\\Stale";
  w.files.AddFile("C:\\Stale\\kept.htm");
  w.files.AddFile(cache + "\\Content.IE5\\ABC\\page.htm");
  w.urlCache.Add("http://a.example/", cache + "\\Content.IE5\\ABC\\page.htm");
  Erase(kTemporaryInternetFiles);
  EXPECT_TRUE(w.urlCache.entries.empty());
  EXPECT_EQ(w.ctx.CacheFolder, cache);
  EXPECT_FALSE(w.files.Exists(cache + "\\Content.IE5\\ABC\\page.htm"));
  EXPECT_TRUE(w.files.Exists("C:\\Stale\\kept.htm"));
  EXPECT_EQ(w.report.lines, (Lines{"  http://a.example/", "  " + cache + "\\Content.IE5",
                                   "  " + cache + "\\Content.IE5\\ABC",
                                   "  " + cache + "\\Content.IE5\\ABC\\page.htm"}));
}

TEST_F(BrowserCategoriesTest, TemporaryInternetFilesNeverWalkAnEmptyOrRootCacheFolder) {
  w.files.AddFile("C:\\boot.ini");
  w.files.AddFile(kProfile + "\\My Documents\\letter.doc");
  for (const std::string& cache : Lines{"", "C:\\", "C:", "Cache", kProfile}) {
    w.registry.PutString(RegRoot::CurrentUser, kShellFolders, "Cache", cache);
    Erase(kTemporaryInternetFiles);
  }
  EXPECT_TRUE(w.files.deleted.empty());
  // The root and the profile are told as refused; unset and relative say nothing.
  EXPECT_EQ(w.report.lines, (Lines{"  left (refused: drive root): C:\\",
                                   "  left (refused: protected folder): " + kProfile}));
}

TEST_F(BrowserCategoriesTest, InternetHistoryFlushesTheCacheThenClearsTheUrlHistory) {
  w.urlCache.Add("Visited: user@http://first.example/", "", kUrlHistoryCacheEntry);
  w.urlCache.Add("http://b.example/");
  // The URL history is cleared only once the cache pass is over.
  Lines deletedBeforeClear{"<not cleared>"};
  w.urlHistory.onClear = [this, &deletedBeforeClear] { deletedBeforeClear = w.urlCache.deleted; };
  Erase(kInternetHistory);
  EXPECT_TRUE(w.urlCache.entries.empty());
  EXPECT_EQ(deletedBeforeClear,
            (Lines{"Visited: user@http://first.example/", "http://b.example/"}));
  EXPECT_EQ(w.urlHistory.calls, (Lines{"create", "clear", "release"}));
  EXPECT_EQ(w.urlHistory.live, 0);
  EXPECT_EQ(w.report.lines.back(), "  http://b.example/");
}

TEST_F(BrowserCategoriesTest, IndexRemovesTheKnownFilesWritesTheBatchErasesCopiesAndFlushes) {
  const std::string history = w.shell.SpecialFolder(kCsidlHistory);
  w.ctx.HistoryFolder = history;
  w.files.AddFile(history + "\\History.IE5\\index.dat");
  w.files.AddFile(history + "\\History.IE5\\MSHist012024010120240108\\index.dat");
  w.files.Lock(history + "\\History.IE5\\MSHist012024010120240108\\index.dat");
  w.files.AddFile(w.system.programFolder + "\\DelIndex.BAT", "copy");
  w.files.AddFile(w.system.programFolder + "\\Autoexec.bat", "copy");
  w.urlCache.Add("http://a.example/");
  Erase(kIndex);
  // Deleted at once, before the batch was written: the batch names the locked one only.
  EXPECT_FALSE(w.files.Exists(history + "\\History.IE5\\index.dat"));
  EXPECT_EQ(
      w.files.Data("C:\\WINDOWS\\DelIndex.BAT"),
      "@ECHO OFF\r\nDEL \"" + history + "\\History.IE5\\MSHist012024010120240108\\index.dat\"\r\n");
  EXPECT_EQ(w.files.Data("C:\\Autoexec.bat"), "@ECHO OFF\r\nC:\\WINDOWS\\DelIndex.BAT\r\n");
  EXPECT_FALSE(w.files.Exists(w.system.programFolder + "\\DelIndex.BAT"));
  EXPECT_FALSE(w.files.Exists(w.system.programFolder + "\\Autoexec.bat"));
  EXPECT_EQ(w.ctx.FilesDeleted, 2);
  EXPECT_TRUE(w.urlCache.entries.empty());
  EXPECT_EQ(w.report.lines, (Lines{"  http://a.example/"}));
}

TEST_F(BrowserCategoriesTest, OperaCookiesInTheRememberedFoldersAndTheProfileTree) {
  Remember("Last Directory", "C:\\Downloads");
  Remember("Last Directory3", "C:\\Saved\\");
  Remember("Last Directory5", "");
  Remember("Last Directory7", "C:\\");
  Remember("Last Directory9", "relative");
  for (const std::string& file :
       Lines{"C:\\Downloads\\cookies4.dat", "C:\\Saved\\cookies4.dat", kOpera + "cookies4.dat",
             kOpera + "profile\\cookies4.dat", "C:\\cookies4.dat", kOpera + "other.dat"})
    w.files.AddFile(file);
  Erase(kOperaCookies);
  EXPECT_EQ(w.files.deleted, (Lines{"C:\\Downloads\\cookies4.dat", kOpera + "cookies4.dat",
                                    "C:\\Saved\\cookies4.dat", kOpera + "profile\\cookies4.dat"}));
  EXPECT_EQ(w.report.lines, (Lines{"  left (refused: drive root): C:\\",
                                   "  " + kOpera + "profile\\cookies4.dat"}));
  EXPECT_GE(w.loop.doEvents, 10);
}

TEST_F(BrowserCategoriesTest, OperaLocationBarHistoryAddsItsThirtyOneLines) {
  w.files.AddFolder(kOpera);
  Erase(kOperaLocationBar);
  Lines expected{"  " + kOpera + "global.dat"};
  for (int pass = 0; pass < 10; ++pass)
    for (const char* name : {"opera.dir", "global.dat", "vlink4.dat"})
      expected.push_back("  " + kOpera + name);
  EXPECT_EQ(w.report.lines, expected);
  // Opera's folders stay; nothing was there to erase.
  EXPECT_TRUE(w.files.Exists(kOpera));
  EXPECT_EQ(w.ctx.FilesDeleted, 0);
}

TEST_F(BrowserCategoriesTest, OperaCacheMakesTheSameCallsWithoutThoseLines) {
  const auto plant = [](TestWorld& world) {
    world.registry.PutString(RegRoot::CurrentUser, kOperaKey, "Last Directory2", "C:\\Web");
    for (const std::string& file :
         Lines{kOperaRoot + "opera6.ini", kOpera + "opera.dir", kOpera + "global.dat",
               kOpera + "vlink4.dat", kOpera + "cache4\\opr00001.htm", "C:\\Web\\opera.win",
               "C:\\Web\\global.dat", "C:\\Web\\cache4\\opr00002.gif", "C:\\Web\\page.htm"})
      world.files.AddFile(file, "data");
  };
  plant(w);
  Erase(kOperaLocationBar);
  TestWorld cache;
  cache.ctx.SetReport(&cache.report);
  plant(cache);
  kTrackCategories[kOperaCache - 1].erase(cache.ctx);

  EXPECT_EQ(cache.files.journal, w.files.journal);
  EXPECT_EQ(cache.ctx.FilesDeleted, w.ctx.FilesDeleted);
  // The cache category's lines are the tree walks' alone, the same as in the
  // other category, which adds its 31 among them.
  ASSERT_EQ(w.report.lines.size(), cache.report.lines.size() + 31);
  EXPECT_TRUE(IsSubsequence(cache.report.lines, w.report.lines));
  // Opera's named files are gone, its settings and what else the remembered
  // folder holds stay.
  EXPECT_FALSE(w.files.Exists(kOpera + "vlink4.dat"));
  EXPECT_FALSE(w.files.Exists(kOpera + "cache4\\opr00001.htm"));
  EXPECT_TRUE(w.files.Exists(kOperaRoot + "opera6.ini"));
  EXPECT_FALSE(w.files.Exists("C:\\Web\\opera.win"));
  EXPECT_FALSE(w.files.Exists("C:\\Web\\cache4\\opr00002.gif"));
  EXPECT_TRUE(w.files.Exists("C:\\Web\\page.htm"));
}

TEST_F(BrowserCategoriesTest, OperaStepsSkipAnUnknownWindowsOrUnsetProfile) {
  w.files.AddFile(kOpera + "global.dat");
  w.files.AddFile("C:\\Application Data\\Opera\\Opera\\global.dat");
  w.system.version = {6, 1, 2};
  for (int position : {kOperaCookies, kOperaLocationBar, kOperaCache}) Erase(position);
  w.system.version = {5, 1, 2};
  w.system.env.erase("USERPROFILE");
  for (int position : {kOperaCookies, kOperaLocationBar, kOperaCache}) Erase(position);
  EXPECT_TRUE(w.files.deleted.empty());
  EXPECT_TRUE(w.report.lines.empty());
  EXPECT_EQ(w.ctx.FilesDeleted, 0);
}

TEST_F(BrowserCategoriesTest, OperaAndNetscapeRowsEraseOnlyTheFilesTheyName) {
  const auto join = [](std::initializer_list<const Lines*> lists) {
    Lines all;
    for (const Lines* list : lists) all.insert(all.end(), list->begin(), list->end());
    return all;
  };
  FakeFiles planted;
  const PlantedBrowser opera = PlantOpera(planted), mozilla = PlantMozilla(planted);
  const struct {
    int position;
    Lines gone;
  } rows[] = {
      {kOperaLocationBar, join({&opera.cache, &opera.history})},
      {kOperaCache, join({&opera.cache, &opera.history})},
      {kNetscapeCache, mozilla.cache},
      {kNetscapeLocationBar, join({&mozilla.history, &mozilla.typed})},
      {kNetscapeHistoryFile, join({&mozilla.cookies, &mozilla.history})},
  };
  for (const auto& row : rows) {
    const char* label = kTrackCategories[static_cast<std::size_t>(row.position - 1)].label;
    TestWorld world;
    world.ctx.SetReport(&world.report);
    world.files.AddFolder(world.system.programFolder);
    world.files.AddFolder(world.system.systemDirectory);
    PlantOpera(world.files);
    PlantMozilla(world.files);
    const std::map<std::string, std::string> before = world.files.Snapshot();
    kTrackCategories[static_cast<std::size_t>(row.position - 1)].erase(world.ctx);
    const std::map<std::string, std::string> after = world.files.Snapshot();

    std::set<std::string> gone, changed, expected;
    for (const auto& [key, entry] : before) {
      const auto it = after.find(key);
      if (it == after.end())
        gone.insert(key);
      else if (it->second != entry)
        changed.insert(key);
    }
    for (const std::string& path : row.gone) {
      expected.insert(ToUpper(path));
      // Each erased file is listed as the walk found it.
      EXPECT_NE(std::find(world.report.lines.begin(), world.report.lines.end(), "  " + path),
                world.report.lines.end())
          << label << ": " << path;
    }
    EXPECT_EQ(gone, expected) << label;
    EXPECT_EQ(changed, std::set<std::string>{}) << label;
    EXPECT_EQ(after.size(), before.size() - gone.size()) << label;
    EXPECT_EQ(world.ctx.FilesDeleted, static_cast<std::int32_t>(row.gone.size())) << label;
  }
}

TEST_F(BrowserCategoriesTest, NetscapeHistoryFileListsTheCookieFilesFirst) {
  const PlantedBrowser mozilla = PlantMozilla(w.files);
  Erase(kNetscapeCookies);
  EXPECT_EQ(w.files.deleted, mozilla.cookies);
  PlantMozilla(w.files);
  w.files.deleted.clear();
  w.report.lines.clear();
  Erase(kNetscapeHistoryFile);
  EXPECT_EQ(w.files.deleted, (Lines{mozilla.cookies[0], mozilla.cookies[1], mozilla.cookies[2],
                                    mozilla.history[0], mozilla.history[1]}));
  EXPECT_EQ(w.report.lines.front(), "  " + mozilla.cookies[0]);
}

TEST_F(BrowserCategoriesTest, NetscapeStepsEraseNothingOnAnUnknownWindows) {
  w.files.AddFile(kMozilla + "abc.slt\\cookies.txt");
  w.system.version = {6, 1, 2};
  for (int position = kNetscapeCache; position <= kNetscapeHistoryFile; ++position) Erase(position);
  EXPECT_TRUE(w.files.deleted.empty());
  EXPECT_TRUE(w.report.lines.empty());
}

}  // namespace
}  // namespace nimbrel
