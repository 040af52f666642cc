#include "erasers/TodaysBrowsers.h"

#include <algorithm>
#include <set>

#include "erasers/BrowserDatabases.h"
#include "erasers/SiteData.h"
#include "erasers/modFiles.h"
#include "platform/Text.h"
#include "settings/KeepLists.h"

namespace nimbrel {

namespace {

std::set<std::uint32_t> BrowserProcesses(Context& ctx, TodaysBrowser browser) {
  std::set<std::uint32_t> ids;
  for (const ProcessEntry& p : ctx.platform.desktop.Processes())
    if (EqualsNoCase(p.exeName, SpecOf(browser).process)) ids.insert(p.id);
  return ids;
}

// Every file below the folder, each with its progress line; folders stay.
void EraseFolderFiles(Context& ctx, const std::string& folder) {
  if (!folder.empty()) EraseFilesInTree(ctx, folder, "*");
}

// The file, with its progress line, when it is there.
void EraseNamedFile(Context& ctx, const std::string& path) {
  const std::uint32_t attributes = ctx.platform.files.Attributes(path);
  if (attributes == kInvalidAttributes ||
      (attributes & (kAttrDirectory | kAttrSystem | kAttrReparsePoint)))
    return;
  ctx.AddProgressLine("  " + path);
  EraseFile(ctx, path);
}

// The folder and, where it lies elsewhere, its cache counterpart: the
// sub-folder `name` of each.
void EraseInBoth(Context& ctx, const BrowserFolder& f, const char* name) {
  EraseFolderFiles(ctx, f.folder + "\\" + name);
  if (!f.cacheFolder.empty() && !EqualsNoCase(f.cacheFolder, f.folder))
    EraseFolderFiles(ctx, f.cacheFolder + "\\" + name);
}

void EraseChromiumCache(Context& ctx, const BrowserFolders& folders) {
  for (const BrowserFolder& profile : folders.profiles) {
    for (const char* name : {"Cache", "Code Cache", "GPUCache"}) EraseInBoth(ctx, profile, name);
    ctx.DoEvents();
  }
  for (const BrowserFolder& data : folders.dataFolders)
    for (const char* name : {"ShaderCache", "GrShaderCache"}) EraseInBoth(ctx, data, name);
}

void EraseChromiumSessions(Context& ctx, const BrowserFolders& folders) {
  for (const BrowserFolder& profile : folders.profiles) {
    EraseFolderFiles(ctx, profile.folder + "\\Sessions");
    for (const char* name : {"Current Session", "Current Tabs", "Last Session", "Last Tabs"})
      EraseNamedFile(ctx, profile.folder + "\\" + name);
    ctx.DoEvents();
  }
}

void EraseFirefoxCache(Context& ctx, const BrowserFolders& folders) {
  for (const BrowserFolder& profile : folders.profiles) {
    if (profile.cacheFolder.empty()) continue;
    for (const char* name : {"cache2", "startupCache", "thumbnails"})
      EraseFolderFiles(ctx, profile.cacheFolder + "\\" + name);
    ctx.DoEvents();
  }
}

void EraseFirefoxSessions(Context& ctx, const BrowserFolders& folders) {
  for (const BrowserFolder& profile : folders.profiles) {
    EraseNamedFile(ctx, profile.folder + "\\sessionstore.jsonlz4");
    EraseNamedFile(ctx, profile.folder + "\\sessionstore.js");
    EraseFolderFiles(ctx, profile.folder + "\\sessionstore-backups");
    ctx.DoEvents();
  }
}

// Chromium's history files beside its History database, each with the
// journal a crash left of it; Archived History is kept by old versions.
constexpr const char* kChromiumHistoryFiles[] = {
    "Top Sites", "Shortcuts", "Visited Links", "Network Action Predictor",
    "History Provider Cache", "Archived History"};

void EraseHistory(Context& ctx, TodaysBrowser browser, const BrowserFolders& folders) {
  for (const BrowserFolder& profile : folders.profiles) {
    EraseHistoryDatabases(ctx, browser, profile.folder);
    if (browser != TodaysBrowser::Firefox)
      for (const char* name : kChromiumHistoryFiles)
        for (const char* suffix : {"", "-journal"})
          EraseNamedFile(ctx, profile.folder + "\\" + name + suffix);
    ctx.DoEvents();
  }
}

void EraseCookies(Context& ctx, TodaysBrowser browser, const BrowserFolders& folders) {
  const std::vector<std::string> sites =
      KeptSites(ReadCookieKeepList(ctx.platform, ctx.dataFolder));
  for (const BrowserFolder& profile : folders.profiles)
    EraseCookieDatabases(ctx, browser, profile.folder, sites);
}

}  // namespace

bool BrowserRunning(Context& ctx, TodaysBrowser browser) {
  if (!BrowserProcesses(ctx, browser).empty()) return true;
  // A browser under another name (a portable copy renamed) still holds its
  // own lock: Chromium's beside its profiles, Firefox's in each profile.
  Files& files = ctx.platform.files;
  const BrowserFolders folders = FindBrowserFolders(ctx, browser);
  const bool firefox = browser == TodaysBrowser::Firefox;
  for (const BrowserFolder& f : firefox ? folders.profiles : folders.dataFolders)
    if (files.HeldOpen(f.folder + (firefox ? "\\parent.lock" : "\\lockfile"))) return true;
  return false;
}

void CloseBrowsers(Context& ctx, const std::vector<TodaysBrowser>& browsers) {
  Desktop& desktop = ctx.platform.desktop;
  std::vector<TodaysBrowser> asked;
  for (TodaysBrowser browser : browsers) {
    const std::set<std::uint32_t> processes = BrowserProcesses(ctx, browser);
    if (processes.empty()) continue;
    for (WindowHandle window : desktop.WindowsOfClass(SpecOf(browser).windowClass)) {
      if (!processes.count(desktop.WindowProcess(window))) continue;
      desktop.PostClose(window);
      if (asked.empty() || asked.back() != browser) asked.push_back(browser);
    }
  }
  const auto anyRunning = [&] {
    return std::any_of(asked.begin(), asked.end(),
                       [&](TodaysBrowser b) { return BrowserRunning(ctx, b); });
  };
  for (unsigned waited = 0; !asked.empty() && waited < kBrowserCloseWait;
       waited += kBrowserCloseStep) {
    if (!anyRunning()) return;
    ctx.DoEvents();
    ctx.platform.system.Pause(kBrowserCloseStep);
  }
}

void EraseBrowserCategory(Context& ctx, TodaysBrowser browser, BrowserCategory category) {
  const BrowserFolders folders = FindBrowserFolders(ctx, browser);
  const bool firefox = browser == TodaysBrowser::Firefox;
  if (category == BrowserCategory::History) {
    EraseHistory(ctx, browser, folders);
  } else if (category == BrowserCategory::Cookies) {
    EraseCookies(ctx, browser, folders);
  } else if (category == BrowserCategory::SiteData) {
    EraseSiteData(ctx, browser, folders, KeptSites(ReadCookieKeepList(ctx.platform, ctx.dataFolder)));
  } else if (category == BrowserCategory::Cache) {
    if (firefox) EraseFirefoxCache(ctx, folders);
    else EraseChromiumCache(ctx, folders);
  } else {
    if (firefox) EraseFirefoxSessions(ctx, folders);
    else EraseChromiumSessions(ctx, folders);
  }
}

void TodaysBrowsersRun::Begin(std::vector<TodaysBrowser> browsers) {
  browsers_ = std::move(browsers);
  asked_ = false;
  told_.fill(false);
}

void TodaysBrowsersRun::EraseRow(Context& ctx, TodaysBrowser browser, BrowserCategory category) {
  const auto i = static_cast<std::size_t>(browser);
  bool running = BrowserRunning(ctx, browser);
  if (running && !asked_ && ctx.OptionSelected(kCloseBrowsersKey)) {
    asked_ = true;
    if (std::find(browsers_.begin(), browsers_.end(), browser) == browsers_.end())
      browsers_.push_back(browser);
    CloseBrowsers(ctx, browsers_);
    running = BrowserRunning(ctx, browser);
  }
  if (running) {
    // Each row left counts as an item left: a run that erased none of it did not
    // erase everything asked.
    ++ctx.ItemsLeft;
    if (!told_[i])
      ctx.AddProgressLine(std::string("  ") + SpecOf(browser).name +
                          " is running: its history, cookies, cache, sessions and site data were left");
    told_[i] = true;
    return;
  }
  EraseBrowserCategory(ctx, browser, category);
}

}  // namespace nimbrel
