// The preview of the browser categories against their run: for Internet
// Explorer the URL cache read again by each flush after entries were deleted,
// and the index.dat files that WinINet's own handles keep listed after the run
// deleted them; for today's browsers their profiles' files and a running browser.
#include <gtest/gtest.h>

#include <set>

#include "cleaning/ApplicationCatalogue.h"
#include "cleaning/TrackCategories.h"
#include "erasers/TodaysBrowsers.h"
#include "erasers/TodaysBrowsersWorld.h"
#include "erasers/modIECache.h"
#include "fakes/BrowserProfiles.h"
#include "preview/Preview.h"
#include "preview/RecordedWorld.h"
#include "preview/WindowlessRun.h"

namespace nimbrel {
namespace {

const std::string kUser = "C:\\Documents and Settings\\user";
const std::string kCache = kUser + "\\Local Settings\\Temporary Internet Files";
const std::string kCookies = kUser + "\\Cookies";

class PreviewOfInternetExplorerTest : public ::testing::Test {
 protected:
  PreviewOfInternetExplorerTest() : history(w.shell.SpecialFolder(kCsidlHistory)) {
    for (const TrackCategory& c : kTrackCategories)
      for (const std::string& row : rows)
        if (row == c.label) w.SetOption(c.key, "1");
    w.registry.PutString(RegRoot::CurrentUser, kShellFolders, "Cache", kCache);
    w.registry.PutString(RegRoot::CurrentUser, kShellFolders, "History", history);
    w.registry.PutString(RegRoot::CurrentUser, kShellFolders, "Cookies", kCookies);
    w.files.AddFolder(w.system.programFolder);
    w.files.AddFolder(w.system.systemDirectory);
    w.files.AddFile(kCache + "\\Content.IE5\\AB12\\page[1].htm", "a page");
    w.files.AddFile(kCookies + "\\user@a.example[1].txt", "a cookie");
    for (const std::string& index : indexes) {
      w.files.AddFile(index, std::string(64, 'i'));
      // WinINet has read the cache: deleted, they stay listed while it runs.
      w.files.HoldOpen(index);
    }
    w.files.AddFile(dayIndex, "a day");
    w.files.Lock(dayIndex);
    // Each flush deletes the first entry it meets whatever its kind, then
    // the normal ones; the history and cookie entries wait for later flushes.
    w.urlCache.Add("Visited: user@http://a.example/", "", kUrlHistoryCacheEntry);
    w.urlCache.Add("http://a.example/", kCache + "\\Content.IE5\\AB12\\page[1].htm");
    w.urlCache.Add("Cookie:user@a.example/", kCookies + "\\user@a.example[1].txt",
                   kCookieCacheEntry);
    w.urlCache.Add("Visited: user@http://b.example/a/longer/address/than/the/others/are",
                   "", kUrlHistoryCacheEntry);
    w.urlCache.Add("http://b.example/");
  }

  TestWorld w;
  const std::string history;
  const std::vector<std::string> indexes{kCache + "\\Content.IE5\\index.dat",
                                         history + "\\History.IE5\\index.dat",
                                         kCookies + "\\index.dat"};
  const std::string dayIndex = history + "\\History.IE5\\MSHist012024010120240108\\index.dat";
  const std::vector<std::string> rows{"Cookies", "Temporary Internet files", "Internet History",
                                      "Index"};
};

TEST_F(PreviewOfInternetExplorerTest, ListsExactlyWhatTheRunThenChanges) {
  w.DecideDataFolder();
  const WorldState before = StateOf(w);
  w.registry.journal.clear();  // the settings stored above
  const RecordedRun preview = RunRecorded(w.ctx, PreviewMode::Preview, rows);
  EXPECT_EQ(StateOf(w), before);
  EXPECT_TRUE(JournalledChanges(w).empty());
  EXPECT_TRUE(w.urlCache.deleted.empty());
  EXPECT_TRUE(w.urlCache.open.empty());

  const RecordedRun run = RunRecorded(w.ctx, PreviewMode::PassThrough, rows);
  EXPECT_EQ(run.changes, preview.changes);
  EXPECT_TRUE(w.urlCache.entries.empty());

  std::vector<std::string> urls, reboot, erased;
  for (const Change& c : preview.changes) {
    const std::string row = RowLabel(preview, c.row);
    if (c.kind == ChangeKind::UrlCacheEntry) urls.push_back(row + ": " + c.item);
    if (c.kind == ChangeKind::AtReboot) reboot.push_back(c.item);
    if (c.kind == ChangeKind::File && row == "Index") erased.push_back(PathKey(c.item));
  }
  EXPECT_EQ(urls, (std::vector<std::string>{
                      "Temporary Internet files: Visited: user@http://a.example/",
                      "Temporary Internet files: http://a.example/",
                      "Temporary Internet files: http://b.example/",
                      "Internet History: Cookie:user@a.example/",
                      "Index: Visited: user@http://b.example/a/longer/address/than/the/others/are",
                  }));
  // The one index.dat the run could not delete goes at the next start; the
  // others are erased files, though the run found one of them again.
  EXPECT_EQ(reboot, std::vector<std::string>{dayIndex});
  std::vector<std::string> indexKeys;
  for (const std::string& index : indexes) {
    indexKeys.push_back(PathKey(index));
    w.files.Release(index);
    EXPECT_FALSE(w.files.Exists(index)) << index;
  }
  EXPECT_EQ(erased, indexKeys);
}

TEST(PreviewOfOperaAndNetscapeTest, ListsExactlyTheNamedFilesTheRunThenErases) {
  TestWorld w;
  const std::vector<std::string> rows{"Opera Location Bar History", "Opera Cache",
                                      "Netscape Cache", "Netscape Location Bar History",
                                      "Netscape History File"};
  for (const TrackCategory& c : kTrackCategories)
    for (const std::string& row : rows)
      if (row == c.label) w.SetOption(c.key, "1");
  w.files.AddFolder(w.system.programFolder);
  w.files.AddFolder(w.system.systemDirectory);
  const PlantedBrowser opera = PlantOpera(w.files), mozilla = PlantMozilla(w.files);
  std::set<std::string> named;
  for (const auto* list : {&opera.cache, &opera.history, &mozilla.cache, &mozilla.history,
                           &mozilla.typed, &mozilla.cookies})
    for (const std::string& path : *list) named.insert(PathKey(path));

  const WorldState before = StateOf(w);
  w.registry.journal.clear();  // the settings stored above
  const RecordedRun preview = RunRecorded(w.ctx, PreviewMode::Preview, rows);
  EXPECT_EQ(StateOf(w), before);
  const RecordedRun run = RunRecorded(w.ctx, PreviewMode::PassThrough, rows);
  EXPECT_EQ(run.changes, preview.changes);

  std::set<std::string> listed;
  for (const Change& c : preview.changes)
    if (c.kind == ChangeKind::File) listed.insert(PathKey(c.item));
  EXPECT_EQ(listed, named);
  const std::vector<std::string> gone = Gone(before.files, StateOf(w).files);
  std::set<std::string> goneKeys;
  for (const std::string& key : gone) goneKeys.insert(PathKey(key));
  EXPECT_EQ(goneKeys, named);
}

// Today's browsers: every profile's cache and session files, with Chrome
// running and the option to close it on: closed first when it closes on being
// asked (the preview takes a program asked to close as closed), left when it
// runs without a window to ask.
TEST(PreviewOfTodaysBrowsersTest, ListsExactlyTheCacheAndSessionFilesTheRunThenErases) {
  for (const bool background : {false, true}) {
    SCOPED_TRACE(background ? "Chrome runs without a window" : "Chrome closes when asked");
    TestWorld w;
    PlantTodaysBrowsers(w);
    for (const BrowserTrack& track : BrowserTracks())
      if (track.category == BrowserCategory::Cache || track.category == BrowserCategory::Sessions)
        w.SetOption(track.key, "1");
    w.SetOption(kCloseBrowsersKey, "1");
    w.desktop.processes = {{7, "chrome.exe"}, {8, "chrome.exe"}};
    if (!background) {
      w.desktop.windows = {{0x70, "Chrome_WidgetWin_1"}};
      w.desktop.owners = {{0x70, 7}};
      w.desktop.endOnClose = {"chrome.exe"};
    }
    for (const Application& app : kApplications) w.SetOption(app.label, "False");
    WindowlessRun list(w.ctx);
    list.Run().FillToBeErasedList();
    const std::vector<std::string> rows = list.Rows();
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "Chrome Cache", "Chrome Sessions", "Edge Cache", "Edge Sessions",
                        "Brave Cache", "Brave Sessions", "Vivaldi Cache", "Vivaldi Sessions",
                        "Opera Stable Cache", "Opera Stable Sessions", "Firefox Cache",
                        "Firefox Sessions"}));
    w.DecideDataFolder();
    const WorldState before = StateOf(w);
    w.registry.journal.clear();
    const RecordedRun preview = RunRecorded(w.ctx, PreviewMode::Preview, rows);
    EXPECT_EQ(StateOf(w), before);
    EXPECT_TRUE(JournalledChanges(w).empty());
    EXPECT_EQ(w.desktop.processes.size(), 2u);

    const RecordedRun run = RunRecorded(w.ctx, PreviewMode::PassThrough, rows);
    EXPECT_EQ(run.changes, preview.changes);
    EXPECT_EQ(w.system.paused, 0u);  // closed at once, or no window to ask

    std::set<std::string> erased, expected;
    std::vector<std::string> windows;
    for (const Change& c : run.changes) {
      if (c.kind == ChangeKind::File) erased.insert(PathKey(c.item));
      if (c.kind == ChangeKind::Window) windows.push_back(RowLabel(run, c.row) + ": " + c.item);
    }
    for (const PlantedFile& f : TodaysBrowsersFiles())
      if (f.erasedBy != BrowserCategory::History &&
          !(background && f.browser == TodaysBrowser::Chrome))
        expected.insert(PathKey(f.path));
    EXPECT_EQ(erased, expected);
    const std::vector<std::string> gone = Gone(before.files, StateOf(w).files);
    EXPECT_EQ(std::set<std::string>(gone.begin(), gone.end()), expected);
    EXPECT_EQ(windows, background ? std::vector<std::string>()
                                  : std::vector<std::string>{"Chrome Cache: Chrome_WidgetWin_1"});
  }
}

}  // namespace
}  // namespace nimbrel
