// Today's browsers (Chrome, Edge, Brave, Vivaldi, Opera and Firefox) and
// where each keeps its profiles: found through the shell's roaming and local
// application-data folders, which Windows XP has too ("Application Data" and
// "Local Settings\Application Data").
//
// Nothing here leads through a link: a folder on the way from the
// application-data folder to a profile that is a link (symbolic link,
// junction) leaves that profile out, and its cache folder too.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/Context.h"

namespace nimbrel {

enum class TodaysBrowser { Chrome, Edge, Brave, Vivaldi, OperaStable, Firefox };
enum class BrowserCategory { History, Cookies, Cache, Sessions, SiteData };

struct BrowserEntry {
  TodaysBrowser browser;
  const char* key;          // in its settings keys: "chk" + key + category ("chkChromeCache")
  const char* name;         // as the user knows it: "Chrome", "Opera"
  const char* rowName;      // its to-be-erased rows begin so ("Opera Stable Cache")
  const char* process;      // the executable of its processes
  const char* windowClass;  // the class of its top-level windows
};

extern const std::array<BrowserEntry, 6> kTodaysBrowsers;
extern const std::array<BrowserCategory, 5> kBrowserCategories;

const BrowserEntry& SpecOf(TodaysBrowser browser);
// "History", "Cookies", "Cache", "Sessions", "Site Data".
const char* CategoryName(BrowserCategory category);
// The same as its settings key spells it: "SiteData" ("chkChromeSiteData").
std::string CategoryKey(BrowserCategory category);

// A folder of the browser and, for its cache, the same folder under the local
// application data (Opera and Firefox keep their profiles in the roaming one);
// the same path where the browser keeps both in one. Either may not exist.
struct BrowserFolder {
  std::string folder;
  std::string cacheFolder;
};

struct BrowserFolders {
  // Chromium's folders above the profiles ("User Data"; Opera's profile
  // folder), which hold the shader caches all profiles share.
  std::vector<BrowserFolder> dataFolders;
  std::vector<BrowserFolder> profiles;
};

// Whether the browser's folder exists: a browser without one is not offered.
bool BrowserInstalled(Context& ctx, TodaysBrowser browser);
// Every profile of the browser that exists and is reached through no link:
//  - Chromium: the sub-folders of its data folder named "Default" or
//    "Profile N", and any other holding a "Preferences" file; Opera's data
//    folder is a profile itself;
//  - Firefox: the profiles profiles.ini lists and the folders under
//    "Profiles", each holding a "prefs.js" (so a damaged profiles.ini leads
//    nowhere else). A relative profile's cache lies below the local folder's
//    "Mozilla\Firefox" at the same path, an absolute one's in the profile.
BrowserFolders FindBrowserFolders(Context& ctx, TodaysBrowser browser);

// A profile that Firefox's profiles.ini lists: its Path, with "\" between its
// parts, relative to Firefox's folder or absolute.
struct FirefoxProfileEntry {
  std::string path;
  bool relative = true;
  bool operator==(const FirefoxProfileEntry&) const = default;
};
// The profiles of every "[ProfileN]" section holding a usable Path: with
// IsRelative=1, a path with no drive, no leading "\" and no "." or ".."
// part; otherwise an absolute path at least one folder below a drive or
// share root. Anything else in the text is passed over.
std::vector<FirefoxProfileEntry> ParseProfilesIni(std::string_view text);

}  // namespace nimbrel
