#include "cleaning/TrackCategories.h"

#include "erasers/modFiles.h"

namespace nimbrel {

namespace {

constexpr const char* kIe = "Internet Explorer";
constexpr const char* kOpera = "Opera Settings";
constexpr const char* kNetscape = "Netscape Settings";
constexpr const char* kWindows = "Windows";

void EraseWindowsTemp(Context& ctx) {
  EraseFilesInTree(ctx, ctx.platform.system.Environment("TEMP"), "*.*");
}

void EraseWindowsRecycleBin(Context& ctx) { EmptyRecycleBin(ctx); }

void EraseWindowsClipboard(Context& ctx) { ctx.platform.desktop.EmptyClipboard(); }

}  // namespace

const std::array<TrackCategory, 18> kTrackCategories = {{
    {1, "Location Bar History", "chkLocationBarHistory", "Location Bar History", kIe, nullptr},
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
     kWindows, nullptr},
    {14, "Windows Search History", "chkWindowsSearchHistory", "Start Menu Search History",
     kWindows, nullptr},
    {15, "Windows Run History", "chkWindowsRunHistory", "Start Menu Run History", kWindows,
     nullptr},
    {16, "Windows Temp Files", "chkWindowsTemp", "Windows Temp", kWindows, EraseWindowsTemp},
    {17, "Windows Recycle Bin", "chkWindowsRecycleBin", "Recycle Bin", kWindows,
     EraseWindowsRecycleBin},
    {18, "Windows Clipboard", "chkWindowsClipboard", "Clipboard", kWindows,
     EraseWindowsClipboard},
}};

}  // namespace nimbrel
