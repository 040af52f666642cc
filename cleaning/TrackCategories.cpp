#include "cleaning/TrackCategories.h"

#include <string>
#include <vector>

#include "erasers/EraseDATFiles.h"
#include "erasers/JumpLists.h"
#include "erasers/WindowsTraces.h"
#include "erasers/modCookies.h"
#include "erasers/modFiles.h"
#include "erasers/modIECache.h"
#include "erasers/modMRU.h"
#include "erasers/modOSVersion.h"
#include "erasers/modOperaCache.h"
#include "erasers/modRegistry.h"
#include "erasers/modUrlHistory.h"
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

// The jump lists below the recent folder hold what the user pinned to the
// taskbar and to Quick Access: the recent documents' walk never enters them.
const std::vector<std::string> kJumpListFolders = {"AutomaticDestinations", "CustomDestinations"};

void EraseWindowsRecentHistory(Context& ctx) {
  EraseRecentDocsList(ctx);
  const std::string profile = ctx.platform.system.Environment("USERPROFILE");
  const std::string recent =
      profile + (OSVersionTag(ctx) == WindowsVersion::XP ? "\\My Recent Documents" : "\\Recent");
  // From Windows Vista on the profile's "Recent" is a junction: the walk of
  // the folder it leads to (below) covers it.
  if (!ctx.platform.files.IsLink(recent)) EraseFilesInTree(ctx, recent, "*.*", kJumpListFolders);
  // The folder the shell files recent documents in: on Windows XP the
  // profile's "Recent" (the Start menu only calls it "My Recent Documents"),
  // from Windows Vista on the folder the profile's "Recent" junction leads to.
  const std::string shellRecent = ctx.platform.shell.SpecialFolder(kCsidlRecent);
  if (!WalkCovered(ctx, recent, shellRecent))
    EraseFilesInTree(ctx, shellRecent, "*.*", kJumpListFolders);
}

void EraseWindowsTemp(Context& ctx) {
  EraseFilesInTree(ctx, ctx.platform.system.Environment("TEMP"), "*.*");
}

void EraseWindowsRecycleBin(Context& ctx) { EmptyRecycleBin(ctx); }

void EraseWindowsClipboard(Context& ctx) {
  ctx.platform.desktop.EmptyClipboard(ctx.Report().Owner());
  // Windows 10 1809 and later can keep what was copied before, too.
  if (ctx.platform.desktop.ClipboardHistoryOn()) ctx.platform.desktop.ClearClipboardHistory();
}

// The resolver cache names every site visited lately.
void EraseWindowsDnsCache(Context& ctx) {
  constexpr const char* kDnsCache = "the DNS resolver cache";
  if (ctx.platform.shell.FlushDnsCache())
    ctx.AddProgressLine(std::string("  ") + kDnsCache);
  else
    ctx.Left("error", kDnsCache);
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
// a drive root or a protected folder), and the steps in it are skipped. A
// refused folder that is there is told as left.
std::string Usable(Context& ctx, const std::string& folder) {
  if (!ErasableFolder(ctx, folder).empty()) return folder;
  LeftIfRefused(ctx, folder);
  return {};
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

// Opera's history files, Opera 5 to 9: the global history ("global.dat",
// "global_history.dat" from 9.5 on), the visited links and the addresses
// typed in the address field (Opera 9).
constexpr const char* kOperaHistoryFiles[] = {"global.dat", "global_history.dat", "vlink4.dat",
                                              "typed_history.xml"};
// Opera's cache folders in the folder of one installation: in it (Opera 5
// and 6) or in its "profile" folder (Opera 7 to 9); "opcache" from Opera 9.5 on.
constexpr const char* kOperaCacheFolders[] = {"cache4\\", "opcache\\", "profile\\cache4\\",
                                              "profile\\opcache\\"};

// Opera's cache and history files in its folders, and nothing else of them:
// the same folders also hold the user's mail, bookmarks (*.adr), saved
// passwords (wand.dat), certificates and settings. With `lines`, each file
// named in the profile folder also gets a progress line of its own.
void EraseOperaFiles(Context& ctx, bool lines) {
  const std::string opera = Usable(ctx, OperaFolder(ctx));
  const std::string root = OperaRootFolder(ctx);
  if (!opera.empty()) {
    // Each folder in the root is one installation's ("Opera" the usual one).
    for (const std::string& installation : SubFolders(ctx, root))
      for (const char* cache : kOperaCacheFolders)
        EraseFilesInTree(ctx, installation + cache, "*.*");
    for (const char* name : kOperaHistoryFiles) EraseFilesInTree(ctx, root, name);
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
}

void EraseOperaLocationBarHistory(Context& ctx) { EraseOperaFiles(ctx, true); }

void EraseOperaCache(Context& ctx) { EraseOperaFiles(ctx, false); }

// The Netscape/Mozilla profiles: Netscape 6 and 7 and Mozilla 1.x keep each
// in "<name>\<random>.slt\" under the profiles folder, other builds in
// "<name>\". Both are returned.
std::vector<std::string> MozillaProfiles(Context& ctx) {
  std::vector<std::string> out;
  for (const std::string& named : SubFolders(ctx, MozillaProfilesFolder(ctx))) {
    out.push_back(named);
    for (const std::string& salted : SubFolders(ctx, named, "*.slt")) out.push_back(salted);
  }
  return out;
}

// The files of each profile's disk cache ("Cache.Trash" is a cache Mozilla
// set aside to delete).
void EraseNetscapeCache(Context& ctx) {
  for (const std::string& profile : MozillaProfiles(ctx))
    for (const char* cache : {"Cache\\", "Cache.Trash\\"})
      EraseFilesInTree(ctx, profile + cache, "*.*");
}

// The global history, which also colours visited links and fills the
// location bar's completions.
void EraseNetscapeHistory(Context& ctx) {
  EraseFilesInTree(ctx, MozillaProfilesFolder(ctx), "history.dat");
}

// The history, and the addresses typed in the location bar, which Mozilla
// 1.x and Netscape 6 and 7 keep in localstore.rdf (with the windows' sizes
// and toolbars, which go back to their defaults).
void EraseNetscapeLocationBarHistory(Context& ctx) {
  EraseNetscapeHistory(ctx);
  EraseFilesInTree(ctx, MozillaProfilesFolder(ctx), "localstore.rdf");
}

void EraseNetscapeCookies(Context& ctx) {
  const std::string profiles = MozillaProfilesFolder(ctx);
  EraseFilesInTree(ctx, profiles, "cookies.txt");
  EraseFilesInTree(ctx, profiles, "cookperm.txt");
}

void EraseNetscapeHistoryFile(Context& ctx) {
  EraseNetscapeCookies(ctx);
  EraseNetscapeHistory(ctx);
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
    {9, "Netscape Cache", "ChkNetscapeCache", "Cache", kNetscape, EraseNetscapeCache},
    {10, "Netscape Location Bar History", "ChkNetscapeLocationBarHistory", "Location Bar History",
     kNetscape, EraseNetscapeLocationBarHistory},
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

const std::array<TrackCategory, 7> kWindowsTodayCategories = {{
    {19, "Windows Jump Lists", "chkWindowsJumpLists", "Jump Lists ( Pinned Kept )", kWindows,
     EraseJumpLists},
    {20, "Windows Explorer History", "chkWindowsExplorerHistory",
     "Explorer Search and Address Lists", kWindows, EraseExplorerHistory},
    {21, "Windows Program Usage", "chkWindowsProgramUsage", "Program Usage Lists", kWindows,
     EraseProgramUsage},
    {22, "Windows Thumbnail Cache", "chkWindowsThumbnailCache", "Thumbnail Cache", kWindows,
     EraseThumbnailCache},
    {23, "Windows Error Reports", "chkWindowsErrorReports", "Error Reports and Crash Dumps",
     kWindows, EraseErrorReports},
    {24, "Windows Folder Views", kFolderViewsKey, "Folder Views ( Size, View, Sort )", kWindows,
     EraseFolderViews, false},
    {25, "Windows DNS Cache", "chkWindowsDnsCache", "DNS Cache", kWindows, EraseWindowsDnsCache},
}};

const std::vector<BrowserTrack>& BrowserTracks() {
  static const std::vector<BrowserTrack> tracks = [] {
    std::vector<BrowserTrack> out;
    for (const BrowserEntry& entry : kTodaysBrowsers)
      for (BrowserCategory category : kBrowserCategories)
        out.push_back({entry.browser, category,
                       std::string(entry.rowName) + " " + CategoryName(category),
                       std::string("chk") + entry.key + CategoryKey(category)});
    return out;
  }();
  return tracks;
}

}  // namespace nimbrel
