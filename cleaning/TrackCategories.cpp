#include "cleaning/TrackCategories.h"

#include "erasers/modFiles.h"

namespace nimbrel {

const std::array<TrackCategory, 18> kTrackCategories = {{
    {1, "Location Bar History", "chkLocationBarHistory"},
    {2, "Cookies", "chkCookies"},
    {3, "Temporary Internet files", "chkTemporaryInternetfiles"},
    {4, "Internet History", "chkInternetHistory"},
    {5, "Index", "chkIndex"},
    {6, "Opera Cookies", "ChkOperaCookies"},
    {7, "Opera Location Bar History", "ChkOperaLocationBarHistory"},
    {8, "Opera Cache", "ChkOperaCache"},
    {9, "Netscape Cache", "ChkNetscapeCache"},
    {10, "Netscape Location Bar History", "ChkNetscapeLocationBarHistory"},
    {11, "Netscape Cookies", "ChkNetscapeCookies"},
    {12, "Netscape History File", "ChkNetscapeHistoryFile"},
    {13, "Windows Recent History", "chkWindowsRecentHistory"},
    {14, "Windows Search History", "chkWindowsSearchHistory"},
    {15, "Windows Run History", "chkWindowsRunHistory"},
    {16, "Windows Temp Files", "chkWindowsTemp"},
    {17, "Windows Recycle Bin", "chkWindowsRecycleBin"},
    {18, "Windows Clipboard", "chkWindowsClipboard"},
}};

void EraseTrackCategory(Context& ctx, int position) {
  switch (position) {
    case 16:
      EraseFilesInTree(ctx, ctx.platform.system.Environment("TEMP"), "*.*");
      break;
    case 17:
      EmptyRecycleBin(ctx);
      break;
    case 18:
      ctx.platform.desktop.EmptyClipboard();
      break;
    default:
      // The other categories' erasers join as they are built.
      break;
  }
}

}  // namespace nimbrel
