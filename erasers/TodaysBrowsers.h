// Erasing today's browsers' caches and sessions, file by file through the
// file primitives (modFiles), and leaving a browser that runs alone: deleting
// under a running browser can damage its profile.
#pragma once

#include <array>

#include "core/Context.h"
#include "erasers/BrowserProfiles.h"

namespace nimbrel {

// The option that has a run close the browsers first, as a user would.
inline constexpr const char* kCloseBrowsersKey = "ChkCloseBrowsers";
// How long a run waits for a browser asked to close, and in what steps.
constexpr unsigned kBrowserCloseWait = 10000, kBrowserCloseStep = 100;

// True while a process of the browser's executable runs, windows or not (a
// browser kept running in the background has none), or while the browser's own
// lock is held, whatever its process is called (Chromium's "lockfile" beside
// its profiles, Firefox's "parent.lock" in a profile).
bool BrowserRunning(Context& ctx, TodaysBrowser browser);
// Asks each top-level window of each browser's class that its processes made
// to close, all of them first, then waits once, up to kBrowserCloseWait, for
// their processes to end, letting pending messages through. Nothing is ended
// by force; without a window to ask, nothing is waited for.
void CloseBrowsers(Context& ctx, const std::vector<TodaysBrowser>& browsers);

// The category in every profile of the browser; every other file of a
// profile stays as it is. Files go each with its progress line.
//  - History: the rows of the history databases (BrowserDatabases), and
//    Chromium's "Top Sites", "Shortcuts", "Visited Links", "Network Action
//    Predictor", "History Provider Cache" and "Archived History" files, each
//    with its "-journal".
//  - Cookies: the rows of the cookie databases but the kept sites' cookies
//    (the entries "site:NAME" of the cookie keep list).
//  - Cache: Chromium's "Cache" (with "Cache_Data"), "Code Cache" and
//    "GPUCache" of each profile and "ShaderCache" and "GrShaderCache" beside
//    them; Firefox's "cache2", "startupCache" and "thumbnails".
//  - Sessions: Chromium's "Sessions" folder and its "Current Session",
//    "Current Tabs", "Last Session" and "Last Tabs"; Firefox's
//    "sessionstore.jsonlz4" (and "sessionstore.js" of the versions Windows
//    XP runs) and "sessionstore-backups".
//  - Site Data: what web sites keep of themselves (erasers/SiteData), but
//    the kept sites'.
void EraseBrowserCategory(Context& ctx, TodaysBrowser browser, BrowserCategory category);

// One run's rows of today's browsers. Before each row the browser is looked
// for among the processes: at the first running one, when "ChkCloseBrowsers"
// is selected, every browser of the run's rows is asked to close, once in the
// run and all together; one still running has its rows erase
// nothing, told once in the run as "  <Browser> is running: its history,
// cookies, cache, sessions and site data were left".
class TodaysBrowsersRun {
 public:
  // A run of rows of these browsers begins: none asked to close or told
  // about yet.
  void Begin(std::vector<TodaysBrowser> browsers);
  void EraseRow(Context& ctx, TodaysBrowser browser, BrowserCategory category);

 private:
  std::vector<TodaysBrowser> browsers_;
  bool asked_ = false;
  std::array<bool, kTodaysBrowsers.size()> told_{};
};

}  // namespace nimbrel
