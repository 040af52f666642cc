// Finding today's browsers and their profiles, and reading Firefox's profiles.ini.
#include "erasers/BrowserProfiles.h"

#include <gtest/gtest.h>

#include "erasers/TodaysBrowsers.h"
#include "erasers/TodaysBrowsersWorld.h"

namespace nimbrel {
namespace {

using Entries = std::vector<FirefoxProfileEntry>;
using Folders = std::vector<std::pair<std::string, std::string>>;  // folder, cache folder

Folders ProfilesOf(TestWorld& w, TodaysBrowser browser) {
  Folders out;
  for (const BrowserFolder& f : FindBrowserFolders(w.ctx, browser).profiles)
    out.emplace_back(f.folder, f.cacheFolder);
  return out;
}

TEST(ProfilesIniTest, ReadsTheProfileSectionsPathsAndNothingElse) {
  const struct {
    const char* text;
    Entries expected;
  } cases[] = {
      {"[General]\nStartWithLastProfile=1\n[Profile0]\nName=a\nIsRelative=1\nPath=Profiles/a.b\n"
       "[Profile1]\nPath=E:\\ff\\me\\\nIsRelative=0\n[Install1]\nDefault=Profiles/x\n",
       {{"Profiles\\a.b", true}, {"E:\\ff\\me", false}}},
      {"\xEF\xBB\xBF[Profile3]\r\n  Path = Profiles/c.d  \r\nIsRelative=1\r\n; note\r\n",
       {{"Profiles\\c.d", true}}},
      {"", {}},
      {"\x01\x02\xFF garbage [[[\n=\n[Profile0\nPath=Profiles/x\nIsRelative=1\n", {}},
      // Outside a profile section, without a path, or a path leading out.
      {"Path=Profiles/x\n[Profiles]\nPath=Profiles/y\nIsRelative=1\n[ProfileX]\nPath=p\n", {}},
      {"[Profile0]\nIsRelative=1\n", {}},
      {"[Profile0]\nIsRelative=1\nPath=../../Windows\n[Profile1]\nIsRelative=1\nPath=C:\\x\n"
       "[Profile2]\nIsRelative=1\nPath=/abs\n[Profile3]\nIsRelative=0\nPath=C:\\\n"
       "[Profile4]\nIsRelative=0\nPath=Profiles/rel\n[Profile5]\nIsRelative=1\nPath=a/*/b\n",
       {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseProfilesIni(c.text), c.expected) << c.text;
}

class BrowserProfilesTest : public ::testing::Test {
 protected:
  BrowserProfilesTest() {
    PlantTodaysBrowsers(w);
    w.ctx.SetReport(&w.report);
  }
  TestWorld w;
};

TEST_F(BrowserProfilesTest, FindsEveryProfileOfEachBrowser) {
  const std::string ffLocal = kFirefoxLocal + "\\Profiles\\";
  const struct {
    TodaysBrowser browser;
    Folders profiles;
  } cases[] = {
      {TodaysBrowser::Chrome,
       {{kChrome + "\\Default", kChrome + "\\Default"},
        {kChrome + "\\Profile 1", kChrome + "\\Profile 1"}}},
      {TodaysBrowser::Edge, {{kEdge + "\\Default", kEdge + "\\Default"}}},
      {TodaysBrowser::Brave, {{kBrave + "\\Default", kBrave + "\\Default"}}},
      {TodaysBrowser::Vivaldi, {{kVivaldi + "\\Work", kVivaldi + "\\Work"}}},
      {TodaysBrowser::OperaStable, {{kOpera, kOperaLocal}, {kOperaGx, kOperaGxLocal}}},
      {TodaysBrowser::Firefox,
       {{kFirefox + "\\Profiles\\abc.default", ffLocal + "abc.default"},
        {kFirefoxAway, kFirefoxAway},
        {kFirefox + "\\Profiles\\orphan.old", ffLocal + "orphan.old"}}},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(BrowserInstalled(w.ctx, c.browser)) << SpecOf(c.browser).name;
    EXPECT_EQ(ProfilesOf(w, c.browser), c.profiles) << SpecOf(c.browser).name;
  }
}

TEST_F(BrowserProfilesTest, ABrowserWithoutItsFolderIsNotInstalled) {
  TestWorld empty;
  empty.shell.specialFolders[kCsidlAppData] = kRoaming;
  empty.shell.specialFolders[kCsidlLocalAppData] = kLocal;
  empty.files.AddFolder(kLocal + "\\Google\\Chrome");  // no "User Data"
  TestWorld noShellFolders;
  noShellFolders.shell.specialFolders.clear();
  noShellFolders.files = w.files;
  for (const BrowserEntry& entry : kTodaysBrowsers) {
    EXPECT_FALSE(BrowserInstalled(empty.ctx, entry.browser)) << entry.name;
    EXPECT_TRUE(FindBrowserFolders(empty.ctx, entry.browser).profiles.empty()) << entry.name;
    EXPECT_FALSE(BrowserInstalled(noShellFolders.ctx, entry.browser)) << entry.name;
    EXPECT_TRUE(FindBrowserFolders(noShellFolders.ctx, entry.browser).profiles.empty());
  }
}

TEST_F(BrowserProfilesTest, AMissingEmptyOrDamagedProfilesIniFindsNoProfileAndErasesNothing) {
  // Only the absolute profile, which profiles.ini alone leads to, and no Profiles folder.
  w.files = FakeFiles();
  w.files.AddFolder(w.system.programFolder);
  w.files.AddFolder(w.system.systemDirectory);
  w.files.AddFolder(kFirefox);
  w.files.AddFile(kFirefoxAway + "\\prefs.js");
  w.files.AddFile(kFirefoxAway + "\\cache2\\entries\\1");
  w.files.AddFile(kFirefoxAway + "\\sessionstore.jsonlz4");
  for (const char* ini : {static_cast<const char*>(nullptr), "", "\xFF\xFE[\x01Profile0]]\n",
                          "[Profile0]\nIsRelative=1\nPath=..\\..\\..\\..\\Away\\ff\n",
                          "[Profile0]\nIsRelative=0\nPath=D:\\Away\\ff\\..\n"}) {
    if (ini) w.files.WriteAll(kFirefox + "\\profiles.ini", ini);
    const auto before = w.files.Snapshot();
    EXPECT_TRUE(ProfilesOf(w, TodaysBrowser::Firefox).empty()) << (ini ? ini : "(none)");
    EraseBrowserCategory(w.ctx, TodaysBrowser::Firefox, BrowserCategory::Cache);
    EraseBrowserCategory(w.ctx, TodaysBrowser::Firefox, BrowserCategory::Sessions);
    EXPECT_EQ(w.files.Snapshot(), before) << (ini ? ini : "(none)");
  }
}

TEST_F(BrowserProfilesTest, AProfileReachedThroughALinkIsNotEntered) {
  w.files.AddFile("C:\\Elsewhere\\Preferences", "not a profile of Chrome's own");
  w.files.AddFile("C:\\Elsewhere\\Cache\\Cache_Data\\data_0", "kept");
  w.files.AddFile("C:\\Elsewhere\\prefs.js", "kept");
  w.files.AddFile("C:\\Elsewhere\\sessionstore.jsonlz4", "kept");
  w.files.AddFolderLink(kChrome + "\\Profile 2", "C:\\Elsewhere");
  w.files.AddFolderLink(kFirefox + "\\Profiles\\linked", "C:\\Elsewhere");
  // A whole data folder that is a link.
  w.files.AddFile("C:\\EdgeData\\Default\\Preferences", "kept");
  w.files.AddFile("C:\\EdgeData\\Default\\Current Session", "kept");
  w.files.SwapForFolderLink(kEdge, "C:\\EdgeData");
  EXPECT_EQ(ProfilesOf(w, TodaysBrowser::Chrome).size(), 2u);
  EXPECT_EQ(ProfilesOf(w, TodaysBrowser::Firefox).size(), 3u);
  EXPECT_TRUE(ProfilesOf(w, TodaysBrowser::Edge).empty());
  const std::string elsewhere = w.files.Dump("C:\\Elsewhere") + w.files.Dump("C:\\EdgeData");
  for (const BrowserEntry& entry : kTodaysBrowsers)
    for (BrowserCategory category : kBrowserCategories)
      EraseBrowserCategory(w.ctx, entry.browser, category);
  EXPECT_EQ(w.files.Dump("C:\\Elsewhere") + w.files.Dump("C:\\EdgeData"), elsewhere);
}

// A profiles.ini may name any folder: one no eraser may work in, or one reached
// through a link, is no profile, and nothing there is erased.
TEST(BrowserProfilesSafety, AProfileWhereNoEraserMayWorkIsNoProfile) {
  const char* paths[] = {"C:\\WINDOWS", "C:\\WINDOWS\\system32", "C:\\WINDOWS\\system32\\prof",
                         "C:\\Program Files", "C:\\Documents and Settings\\user",
                         "C:\\Documents and Settings\\user\\My Documents", "\\\\server\\share",
                         "C:\\lnk\\prof", "C:\\a\\junction\\b\\prof"};
  for (const char* path : paths) {
    SCOPED_TRACE(path);
    TestWorld w;
    PlantTodaysBrowsers(w);
    w.ctx.SetReport(&w.report);
    w.system.env["ProgramFiles"] = "C:\\Program Files";
    w.shell.specialFolders[kCsidlPersonal] = "C:\\Documents and Settings\\user\\My Documents";
    // Planted where each path leads: a link's target is planted before the link.
    std::string where = path;
    if (where.starts_with("C:\\lnk")) where.replace(0, 6, "C:\\real");
    if (where.starts_with("C:\\a\\junction")) where.replace(0, 12, "C:\\real2");
    const char* planted[] = {"\\prefs.js", "\\sessionstore.jsonlz4", "\\cache2\\entries\\e",
                             "\\thumbnails\\t.png", "\\startupCache\\s.bin"};
    for (const char* file : planted) w.files.AddFile(where + file, "kept");
    w.files.AddFolderLink("C:\\lnk", "C:\\real");
    w.files.AddFolderLink("C:\\a\\junction", "C:\\real2");
    const std::string p = path;
    w.files.AddFile(kFirefox + "\\profiles.ini",
                    "[Profile9]\r\nIsRelative=0\r\nPath=" + p + "\r\n");
    for (const auto& [folder, cache] : ProfilesOf(w, TodaysBrowser::Firefox))
      EXPECT_FALSE(EqualsNoCase(folder, p));
    for (BrowserCategory category : kBrowserCategories)
      EraseBrowserCategory(w.ctx, TodaysBrowser::Firefox, category);
    for (const char* file : planted) EXPECT_EQ(w.files.ReadAll(where + file), "kept") << file;
  }
}

}  // namespace
}  // namespace nimbrel
