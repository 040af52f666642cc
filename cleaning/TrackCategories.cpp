#include "cleaning/TrackCategories.h"

#include "erasers/EraseDATFiles.h"
#include "erasers/modAutoComplete.h"
#include "erasers/modCookies.h"
#include "erasers/modFiles.h"
#include "erasers/modIECache.h"
#include "erasers/modMRU.h"
#include "erasers/modOSVersion.h"
#include "erasers/modOperaCache.h"
#include "erasers/modRegistry.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

constexpr const char* kIe = "Internet Explorer";
constexpr const char* kOpera = "Opera Settings";
constexpr const char* kNetscape = "Netscape Settings";
constexpr const char* kWindows = "Windows";

// Whether a walk of `walked` went through `other` already: both resolve to one
// folder, and the walk could start there (it never starts at a link).
bool WalkCovered(Context& ctx, const std::string& walked, const std::string& other) {
  const std::string folder = ErasableFolder(ctx, walked);
  return !folder.empty() && !ctx.platform.files.IsLink(walked) &&
         EqualsNoCase(folder, ctx.platform.files.CanonicalPath(other));
}

void EraseWindowsRecentHistory(Context& ctx) {
  EraseRecentDocsList(ctx);
  const std::string profile = ctx.platform.system.Environment("USERPROFILE");
  const std::string recent =
      profile + (OSVersionTag(ctx) == "XP" ? "\\My Recent Documents" : "\\Recent");
  EraseFilesInTree(ctx, recent, "*.*");
  // The folder the shell files recent documents in: on Windows XP the
  // profile's "Recent" (the Start menu only calls it "My Recent Documents"),
  // from Windows Vista on the folder the profile's "Recent" junction leads to.
  const std::string shellRecent = ctx.platform.shell.SpecialFolder(kCsidlRecent);
  if (!WalkCovered(ctx, recent, shellRecent)) EraseFilesInTree(ctx, shellRecent, "*.*");
}

void EraseWindowsTemp(Context& ctx) {
  EraseFilesInTree(ctx, ctx.platform.system.Environment("TEMP"), "*.*");
}

void EraseWindowsRecycleBin(Context& ctx) { EmptyRecycleBin(ctx); }

void EraseWindowsClipboard(Context& ctx) {
  ctx.platform.desktop.EmptyClipboard(ctx.Report().Owner());
}

void EraseTemporaryInternetFiles(Context& ctx) {
  FlushIECache(ctx);
  ctx.CacheFolder = ReadRegString(ctx, RegRoot::CurrentUser, kShellFolders, "Cache");
  EraseFilesInTree(ctx, ctx.CacheFolder, "*.*");
}

void EraseInternetHistory(Context& ctx) {
  FlushIECache(ctx);
  ClearUrlHistory(ctx);
}

void EraseIndex(Context& ctx) {
  DeleteIndexDatFiles(ctx);
  CreateIndexDatBatch(ctx, ctx.platform.shell.SpecialFolder(kCsidlHistory));
  // Copies of those names beside the program.
  const std::string program = ctx.platform.system.ProgramFolder();
  EraseFile(ctx, program + "\\DelIndex.BAT");
  EraseFile(ctx, program + "\\Autoexec.bat");
  FlushIECache(ctx);
}

// The folder, when an eraser may work in it; empty otherwise (unset, relative,
// a drive root or a protected folder), and the steps in it are skipped.
std::string Usable(Context& ctx, const std::string& folder) {
  return ErasableFolder(ctx, folder).empty() ? std::string() : folder;
}

constexpr int kOperaRememberedFolders = 10;

void EraseOperaCookies(Context& ctx) {
  const std::string opera = Usable(ctx, OperaFolder(ctx));
  for (int n = 0; n < kOperaRememberedFolders; ++n) {
    const std::string remembered = Usable(ctx, OperaRememberedFolder(ctx, n));
    if (!remembered.empty()) EraseFile(ctx, remembered + "cookies4.dat");
    if (!opera.empty()) EraseFile(ctx, opera + "cookies4.dat");
    ctx.DoEvents();
  }
  if (!opera.empty()) EraseFilesInTree(ctx, opera, "cookies4.dat");
}

// Opera's cache and history files in its folders. With `lines`, each file
// named in the profile folder also gets a progress line of its own.
void EraseOperaFiles(Context& ctx, bool lines) {
  const std::string opera = Usable(ctx, OperaFolder(ctx));
  const std::string root = OperaRootFolder(ctx);
  if (!opera.empty()) {
    EraseFilesInTree(ctx, root, "*.*");
    EraseFilesInTree(ctx, opera + "cache4\\", "*.*");
    EraseFilesInTree(ctx, opera, "opera.dir");
    EraseFilesInTree(ctx, opera, "global.dat");
    if (lines) ctx.AddProgressLine("  " + opera + "global.dat");
  }
  for (int n = 0; n < kOperaRememberedFolders; ++n) {
    const std::string remembered = Usable(ctx, OperaRememberedFolder(ctx, n));
    if (!remembered.empty()) {
      EraseFilesInTree(ctx, remembered + "cache4\\", "*.*");
      for (const char* name : {"opera.dir", "global.dat", "opera.win", "vlink4.dat"})
        EraseFile(ctx, remembered + name);
    }
    if (!opera.empty()) {
      for (const char* name : {"opera.dir", "global.dat", "vlink4.dat"}) {
        EraseFile(ctx, opera + name);
        if (lines) ctx.AddProgressLine("  " + opera + name);
      }
    }
    ctx.DoEvents();
  }
  if (!opera.empty()) {
    EraseFolder(ctx, opera);
    EraseFolder(ctx, root);
  }
}

void EraseOperaLocationBarHistory(Context& ctx) { EraseOperaFiles(ctx, true); }

void EraseOperaCache(Context& ctx) { EraseOperaFiles(ctx, false); }

// Netscape's cache and location-bar history: everything under the profiles.
void EraseNetscapeProfiles(Context& ctx) {
  EraseFilesInTree(ctx, MozillaProfilesFolder(ctx), "*.*");
}

void EraseNetscapeCookies(Context& ctx) {
  const std::string profiles = MozillaProfilesFolder(ctx);
  EraseFilesInTree(ctx, profiles, "cookies.txt");
  EraseFilesInTree(ctx, profiles, "cookperm.txt");
}

void EraseNetscapeHistoryFile(Context& ctx) {
  EraseNetscapeCookies(ctx);
  EraseNetscapeProfiles(ctx);
}

}  // namespace

const std::array<TrackCategory, 18> kTrackCategories = {{
    {1, "Location Bar History", "chkLocationBarHistory", "Location Bar History", kIe,
     EraseTypedURLs},
    {2, "Cookies", "chkCookies", "Cookies", kIe, DeleteIECookies},
    {3, "Temporary Internet files", "chkTemporaryInternetfiles",
     "Temporary Internet Files ( Cache )", kIe, EraseTemporaryInternetFiles},
    {4, "Internet History", "chkInternetHistory",
     "Internet History ( Need IE browsers Close First )", kIe, EraseInternetHistory},
    {5, "Index", "chkIndex", "Index.dat", kIe, EraseIndex},
    {6, "Opera Cookies", "ChkOperaCookies", "Cookies", kOpera, EraseOperaCookies},
    {7, "Opera Location Bar History", "ChkOperaLocationBarHistory", "Loation Bar History", kOpera,
     EraseOperaLocationBarHistory},
    {8, "Opera Cache", "ChkOperaCache", "Cache and History", kOpera, EraseOperaCache},
    {9, "Netscape Cache", "ChkNetscapeCache", "Cache", kNetscape, EraseNetscapeProfiles},
    {10, "Netscape Location Bar History", "ChkNetscapeLocationBarHistory", "Location Bar History",
     kNetscape, EraseNetscapeProfiles},
    {11, "Netscape Cookies", "ChkNetscapeCookies", "Cookies", kNetscape, EraseNetscapeCookies},
    {12, "Netscape History File", "ChkNetscapeHistoryFile", "History File", kNetscape,
     EraseNetscapeHistoryFile},
    {13, "Windows Recent History", "chkWindowsRecentHistory", "Recent Documents History",
     kWindows, EraseWindowsRecentHistory},
    {14, "Windows Search History", "chkWindowsSearchHistory", "Start Menu Search History",
     kWindows, EraseSearchMRU},
    {15, "Windows Run History", "chkWindowsRunHistory", "Start Menu Run History", kWindows,
     EraseRunMRU},
    {16, "Windows Temp Files", "chkWindowsTemp", "Windows Temp", kWindows, EraseWindowsTemp},
    {17, "Windows Recycle Bin", "chkWindowsRecycleBin", "Recycle Bin", kWindows,
     EraseWindowsRecycleBin},
    {18, "Windows Clipboard", "chkWindowsClipboard", "Clipboard", kWindows,
     EraseWindowsClipboard},
}};

const std::vector<BrowserTrack>& BrowserTracks() {
  static const std::vector<BrowserTrack> tracks = [] {
    std::vector<BrowserTrack> out;
    for (const BrowserSpec& spec : kTodaysBrowsers)
      for (BrowserCategory category : kBrowserCategories)
        out.push_back({spec.browser, category,
                       std::string(spec.rowName) + " " + CategoryName(category),
                       std::string("chk") + spec.key + CategoryName(category),
                       category == BrowserCategory::Cache ||
                           category == BrowserCategory::Sessions});
    return out;
  }();
  return tracks;
}

}  // namespace nimbrel
