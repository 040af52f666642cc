// Erasing today's browsers' caches and sessions, and leaving a running browser alone.
#include "erasers/TodaysBrowsers.h"

#include <gtest/gtest.h>

#include <set>

#include "erasers/TodaysBrowsersWorld.h"
#include "platform/Text.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;

constexpr WindowHandle kChromeWindow = 0x100, kEditorWindow = 0x200;
constexpr std::uint32_t kChromePid = 40, kChromeChildPid = 41, kEditorPid = 50;
const std::string kRunningLine = "  Chrome is running: its history, cookies, cache, sessions and site data were left";

class TodaysBrowsersTest : public ::testing::Test {
 protected:
  TodaysBrowsersTest() {
    PlantTodaysBrowsers(w);
    w.ctx.SetReport(&w.report);
  }
  // Chrome runs: a window and a process without one; beside it an editor
  // whose window has Chrome's class (it is built on Chromium).
  void RunChrome() {
    w.desktop.processes = {{kChromePid, "chrome.exe"},
                           {kChromeChildPid, "CHROME.EXE"},
                           {kEditorPid, "Code.exe"}};
    w.desktop.windows = {{kChromeWindow, "Chrome_WidgetWin_1"},
                         {kEditorWindow, "Chrome_WidgetWin_1"}};
    w.desktop.owners = {{kChromeWindow, kChromePid}, {kEditorWindow, kEditorPid}};
  }
  // The planted files the category erases for the browser, upper-cased.
  static std::set<std::string> ErasedBy(TodaysBrowser browser, BrowserCategory category) {
    std::set<std::string> out;
    for (const PlantedFile& f : TodaysBrowsersFiles())
      if (f.browser == browser && f.erasedBy == category) out.insert(ToUpper(f.path));
    return out;
  }
  static std::set<std::string> Gone(const std::map<std::string, std::string>& before,
                                    const std::map<std::string, std::string>& after) {
    std::set<std::string> gone;
    for (const auto& [key, value] : before) {
      const auto left = after.find(key);
      if (left == after.end()) gone.insert(key);
      else EXPECT_EQ(left->second, value) << key;  // every other entry as it was
    }
    return gone;
  }
  TestWorld w;
};

TEST_F(TodaysBrowsersTest, EachCategoryErasesExactlyItsFilesEachWithItsLine) {
  for (const BrowserEntry& entry : kTodaysBrowsers) {
    for (BrowserCategory category : {BrowserCategory::Cache, BrowserCategory::Sessions}) {
      SCOPED_TRACE(std::string(entry.name) + " " + CategoryName(category));
      TestWorld fresh;
      PlantTodaysBrowsers(fresh);
      fresh.ctx.SetReport(&fresh.report);
      const auto before = fresh.files.Snapshot();
      EraseBrowserCategory(fresh.ctx, entry.browser, category);
      const std::set<std::string> expected = ErasedBy(entry.browser, category);
      ASSERT_FALSE(expected.empty());
      EXPECT_EQ(Gone(before, fresh.files.Snapshot()), expected);
      // A line per file erased; the walks also name the folders they pass.
      std::multiset<std::string> files;
      for (const std::string& line : fresh.report.lines) {
        const std::string path = line.substr(2);
        const std::uint32_t attributes = fresh.files.Attributes(path);
        if (attributes != kInvalidAttributes && (attributes & kAttrDirectory)) continue;
        files.insert(ToUpper(path));
      }
      EXPECT_EQ(files, std::multiset<std::string>(expected.begin(), expected.end()));
    }
  }
}

TEST_F(TodaysBrowsersTest, HistoryAndCookiesEraseNothingYet) {
  const auto before = w.files.Snapshot();
  for (const BrowserEntry& entry : kTodaysBrowsers)
    for (BrowserCategory category : {BrowserCategory::History, BrowserCategory::Cookies})
      EraseBrowserCategory(w.ctx, entry.browser, category);
  EXPECT_EQ(w.files.Snapshot(), before);
}

TEST_F(TodaysBrowsersTest, ARunningBrowsersRowsLeaveEverythingAndSaySoOnce) {
  RunChrome();
  const auto before = w.files.Snapshot();
  TodaysBrowsersRun run;
  run.Begin({});
  run.EraseRow(w.ctx, TodaysBrowser::Chrome, BrowserCategory::Cache);
  run.EraseRow(w.ctx, TodaysBrowser::Chrome, BrowserCategory::Sessions);
  EXPECT_EQ(w.files.Snapshot(), before);
  EXPECT_EQ(w.report.lines, Lines{kRunningLine});
  EXPECT_EQ(w.ctx.ItemsLeft, 2);  // each row left
  EXPECT_TRUE(w.desktop.closed.empty());  // the option is off
  // Another browser's rows go on.
  run.EraseRow(w.ctx, TodaysBrowser::Edge, BrowserCategory::Cache);
  EXPECT_EQ(Gone(before, w.files.Snapshot()),
            ErasedBy(TodaysBrowser::Edge, BrowserCategory::Cache));
  // The next run tells it again.
  w.report.lines.clear();
  run.Begin({});
  run.EraseRow(w.ctx, TodaysBrowser::Chrome, BrowserCategory::Cache);
  EXPECT_EQ(w.report.lines, Lines{kRunningLine});
}

TEST_F(TodaysBrowsersTest, TheCloseOptionAsksTheBrowsersOwnWindowsAndWaitsAtMostTenSeconds) {
  const struct {
    const char* what;
    bool obeys;         // it ends when its window is asked to close
    bool hasWindow;     // without one it runs in the background
    bool erased;
    unsigned paused;    // milliseconds waited
  } cases[] = {
      {"closes when asked", true, true, true, 0},
      {"does not close", false, true, false, kBrowserCloseWait},
      {"runs in the background", true, false, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestWorld fresh;
    PlantTodaysBrowsers(fresh);
    fresh.ctx.SetReport(&fresh.report);
    fresh.SetOption(kCloseBrowsersKey, "1");
    w.desktop = FakeDesktop();
    RunChrome();
    fresh.desktop.processes = w.desktop.processes;
    fresh.desktop.windows = w.desktop.windows;
    fresh.desktop.owners = w.desktop.owners;
    if (!c.hasWindow) fresh.desktop.windows.erase(kChromeWindow);
    if (c.obeys) fresh.desktop.endOnClose = {"chrome.exe"};
    const auto before = fresh.files.Snapshot();
    TodaysBrowsersRun run;
    run.Begin({});
    run.EraseRow(fresh.ctx, TodaysBrowser::Chrome, BrowserCategory::Cache);
    run.EraseRow(fresh.ctx, TodaysBrowser::Chrome, BrowserCategory::Sessions);
    // Only Chrome's window, once; never the editor's of the same class.
    EXPECT_EQ(fresh.desktop.closed,
              c.hasWindow ? std::vector<WindowHandle>{kChromeWindow} : std::vector<WindowHandle>{});
    EXPECT_EQ(fresh.system.paused, c.paused);
    const std::set<std::string> gone = Gone(before, fresh.files.Snapshot());
    if (c.erased) {
      std::set<std::string> expected = ErasedBy(TodaysBrowser::Chrome, BrowserCategory::Cache);
      expected.merge(ErasedBy(TodaysBrowser::Chrome, BrowserCategory::Sessions));
      EXPECT_EQ(gone, expected);
    } else {
      EXPECT_TRUE(gone.empty());
      EXPECT_EQ(fresh.report.lines, Lines{kRunningLine});
    }
  }
}

// A browser whose process has another name is still taken as running while it
// holds its own lock; a lock file left behind, unheld, stops nothing.
TEST_F(TodaysBrowsersTest, ABrowsersOwnHeldLockMeansItRunsWhateverItsName) {
  const struct {
    TodaysBrowser browser;
    std::string lock;
    bool held;
  } cases[] = {
      {TodaysBrowser::Chrome, kChrome + "\\lockfile", true},
      {TodaysBrowser::Firefox, kFirefox + "\\Profiles\\abc.default\\parent.lock", true},
      {TodaysBrowser::Chrome, kChrome + "\\lockfile", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lock + (c.held ? " held" : " left behind"));
    TestWorld fresh;
    PlantTodaysBrowsers(fresh);
    fresh.ctx.SetReport(&fresh.report);
    fresh.files.AddFile(c.lock, "");
    if (c.held) fresh.files.Lock(c.lock);
    const auto before = fresh.files.Snapshot();
    TodaysBrowsersRun run;
    run.Begin({c.browser});
    run.EraseRow(fresh.ctx, c.browser, BrowserCategory::Cache);
    EXPECT_EQ(BrowserRunning(fresh.ctx, c.browser), c.held);
    EXPECT_EQ(Gone(before, fresh.files.Snapshot()).empty(), c.held);
  }
}

// Browsers that refuse to close are all asked first, then waited for once.
TEST_F(TodaysBrowsersTest, BrowsersThatRefuseAreAllAskedThenWaitedForOnce) {
  constexpr WindowHandle kEdgeWindow = 0x300;
  RunChrome();
  w.desktop.processes.push_back({60, "msedge.exe"});
  w.desktop.windows[kEdgeWindow] = "Chrome_WidgetWin_1";
  w.desktop.owners[kEdgeWindow] = 60;
  w.SetOption(kCloseBrowsersKey, "1");
  TodaysBrowsersRun run;
  run.Begin({TodaysBrowser::Chrome, TodaysBrowser::Edge});
  run.EraseRow(w.ctx, TodaysBrowser::Chrome, BrowserCategory::Cache);
  run.EraseRow(w.ctx, TodaysBrowser::Edge, BrowserCategory::Cache);
  EXPECT_EQ(w.desktop.closed, (std::vector<WindowHandle>{kChromeWindow, kEdgeWindow}));
  EXPECT_EQ(w.system.paused, kBrowserCloseWait);
}

}  // namespace
}  // namespace nimbrel
