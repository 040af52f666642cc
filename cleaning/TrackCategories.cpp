#include "cleaning/TrackCategories.h"

#include "erasers/modFiles.h"
#include "erasers/modMRU.h"
#include "erasers/modOSVersion.h"
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

}  // namespace

const std::array<TrackCategory, 18> kTrackCategories = {{
    {1, "Location Bar History", "chkLocationBarHistory", "Location Bar History", kIe,
     EraseTypedURLs},
    {2, "Cookies", "chkCookies", "Cookies", kIe, nullptr},
    {3, "Temporary Internet files", "chkTemporaryInternetfiles",
     "Temporary Internet Files ( Cache )", kIe, nullptr},
    {4, "Internet History", "chkInternetHistory",
     "Internet History ( Need IE browsers Close First )", kIe, nullptr},
    {5, "Index", "chkIndex", "Index.dat", kIe, nullptr},
    {6, "Opera Cookies", "ChkOperaCookies", "Cookies", kOpera, nullptr},
    {7, "Opera Location Bar History", "ChkOperaLocationBarHistory", "Loation Bar History", kOpera,
     nullptr},
    {8, "Opera Cache", "ChkOperaCache", "Cache and History", kOpera, nullptr},
    {9, "Netscape Cache", "ChkNetscapeCache", "Cache", kNetscape, nullptr},
    {10, "Netscape Location Bar History", "ChkNetscapeLocationBarHistory", "Location Bar History",
     kNetscape, nullptr},
    {11, "Netscape Cookies", "ChkNetscapeCookies", "Cookies", kNetscape, nullptr},
    {12, "Netscape History File", "ChkNetscapeHistoryFile", "History File", kNetscape, nullptr},
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

}  // namespace nimbrel
