// Today's six browsers planted in the fakes, in the Windows XP layout of the
// application-data folders: per browser every profile file, and which of them
// each category erases.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "erasers/BrowserProfiles.h"
#include "fakes/TestWorld.h"

namespace nimbrel {

inline const std::string kRoaming = "C:\\Documents and Settings\\user\\Application Data";
inline const std::string kLocal =
    "C:\\Documents and Settings\\user\\Local Settings\\Application Data";
inline const std::string kChrome = kLocal + "\\Google\\Chrome\\User Data";
inline const std::string kEdge = kLocal + "\\Microsoft\\Edge\\User Data";
inline const std::string kBrave = kLocal + "\\BraveSoftware\\Brave-Browser\\User Data";
inline const std::string kVivaldi = kLocal + "\\Vivaldi\\User Data";
inline const std::string kOpera = kRoaming + "\\Opera Software\\Opera Stable";
inline const std::string kOperaLocal = kLocal + "\\Opera Software\\Opera Stable";
inline const std::string kOperaGx = kRoaming + "\\Opera Software\\Opera GX Stable";
inline const std::string kOperaGxLocal = kLocal + "\\Opera Software\\Opera GX Stable";
inline const std::string kFirefox = kRoaming + "\\Mozilla\\Firefox";
inline const std::string kFirefoxLocal = kLocal + "\\Mozilla\\Firefox";
inline const std::string kFirefoxAway = "D:\\Away\\ff";

inline const std::string kProfilesIni =
    "[General]\r\nStartWithLastProfile=1\r\n\r\n"
    "[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/abc.default\r\nDefault=1\r\n\r\n"
    "[Profile1]\r\nName=away\r\nIsRelative=0\r\nPath=D:\\Away\\ff\r\n\r\n"
    "[Install308046B0AF4A39CB]\r\nDefault=Profiles/abc.default\r\n";

struct PlantedFile {
  std::string path;
  TodaysBrowser browser;
  // The category that erases it; History for a file no category of this
  // kind erases (bookmarks, passwords, preferences, databases, extensions).
  BrowserCategory erasedBy;
};

inline std::vector<PlantedFile> TodaysBrowsersFiles() {
  using B = TodaysBrowser;
  constexpr auto kKept = BrowserCategory::History;
  constexpr auto kCache = BrowserCategory::Cache;
  constexpr auto kSessions = BrowserCategory::Sessions;
  const std::string d = kChrome + "\\Default\\", p1 = kChrome + "\\Profile 1\\";
  const std::string ff = kFirefox + "\\Profiles\\abc.default\\";
  const std::string ffLocal = kFirefoxLocal + "\\Profiles\\abc.default\\";
  const std::string orphan = kFirefox + "\\Profiles\\orphan.old\\";
  return {
      {d + "Preferences", B::Chrome, kKept},
      {d + "Bookmarks", B::Chrome, kKept},
      {d + "Login Data", B::Chrome, kKept},
      {d + "History", B::Chrome, kKept},
      {d + "Network\\Cookies", B::Chrome, kKept},
      {d + "Extensions\\abcdef\\1.0\\manifest.json", B::Chrome, kKept},
      {d + "Cache\\Cache_Data\\data_0", B::Chrome, kCache},
      {d + "Cache\\Cache_Data\\f_000001", B::Chrome, kCache},
      {d + "Code Cache\\js\\index-dir\\the-real-index", B::Chrome, kCache},
      {d + "GPUCache\\data_1", B::Chrome, kCache},
      {d + "Sessions\\Session_13300000000000001", B::Chrome, kSessions},
      {d + "Sessions\\Tabs_13300000000000001", B::Chrome, kSessions},
      {d + "Current Session", B::Chrome, kSessions},
      {d + "Last Tabs", B::Chrome, kSessions},
      {p1 + "Preferences", B::Chrome, kKept},
      {p1 + "Bookmarks", B::Chrome, kKept},
      {p1 + "Cache\\Cache_Data\\data_0", B::Chrome, kCache},
      {p1 + "Sessions\\Session_13300000000000002", B::Chrome, kSessions},
      // A folder no profile: its cache-like names are not Chrome's cache.
      {kChrome + "\\Crashpad\\Cache\\report.dmp", B::Chrome, kKept},
      {kChrome + "\\Local State", B::Chrome, kKept},
      {kChrome + "\\ShaderCache\\data_0", B::Chrome, kCache},
      {kChrome + "\\GrShaderCache\\data_0", B::Chrome, kCache},
      {kEdge + "\\Default\\Preferences", B::Edge, kKept},
      {kEdge + "\\Default\\Cache\\Cache_Data\\data_0", B::Edge, kCache},
      {kEdge + "\\Default\\Current Session", B::Edge, kSessions},
      {kBrave + "\\Default\\Preferences", B::Brave, kKept},
      {kBrave + "\\Default\\GPUCache\\data_0", B::Brave, kCache},
      {kBrave + "\\Default\\Sessions\\Session_1", B::Brave, kSessions},
      // A sub-folder named otherwise, holding Preferences.
      {kVivaldi + "\\Work\\Preferences", B::Vivaldi, kKept},
      {kVivaldi + "\\Work\\Code Cache\\wasm\\x", B::Vivaldi, kCache},
      {kVivaldi + "\\Work\\Last Session", B::Vivaldi, kSessions},
      {kOpera + "\\Preferences", B::OperaStable, kKept},
      {kOpera + "\\Bookmarks", B::OperaStable, kKept},
      {kOpera + "\\Current Tabs", B::OperaStable, kSessions},
      {kOpera + "\\Sessions\\Session_1", B::OperaStable, kSessions},
      {kOperaLocal + "\\Cache\\Cache_Data\\data_0", B::OperaStable, kCache},
      {kOperaGx + "\\Preferences", B::OperaStable, kKept},
      {kOperaGx + "\\Last Tabs", B::OperaStable, kSessions},
      {kOperaGxLocal + "\\Cache\\Cache_Data\\f_000001", B::OperaStable, kCache},
      {kFirefox + "\\profiles.ini", B::Firefox, kKept},
      {ff + "prefs.js", B::Firefox, kKept},
      {ff + "places.sqlite", B::Firefox, kKept},
      {ff + "cookies.sqlite", B::Firefox, kKept},
      {ff + "key4.db", B::Firefox, kKept},
      {ff + "extensions\\addon@example.xpi", B::Firefox, kKept},
      {ff + "sessionstore.jsonlz4", B::Firefox, kSessions},
      {ff + "sessionstore-backups\\recovery.jsonlz4", B::Firefox, kSessions},
      {ffLocal + "cache2\\entries\\0A1B2C", B::Firefox, kCache},
      {ffLocal + "startupCache\\startupCache.8.little", B::Firefox, kCache},
      {ffLocal + "thumbnails\\a.png", B::Firefox, kCache},
      {kFirefoxAway + "\\prefs.js", B::Firefox, kKept},
      {kFirefoxAway + "\\places.sqlite", B::Firefox, kKept},
      {kFirefoxAway + "\\cache2\\entries\\3D4E5F", B::Firefox, kCache},
      {kFirefoxAway + "\\sessionstore.jsonlz4", B::Firefox, kSessions},
      // A profile folder profiles.ini no longer lists.
      {orphan + "prefs.js", B::Firefox, kKept},
      {orphan + "sessionstore.js", B::Firefox, kSessions},
      {kFirefoxLocal + "\\Profiles\\orphan.old\\cache2\\entries\\6A", B::Firefox, kCache},
  };
}

// The shell's two application-data folders, the system's folders, and every
// file of the six browsers.
inline void PlantTodaysBrowsers(TestWorld& w) {
  w.shell.specialFolders[kCsidlAppData] = kRoaming;
  w.shell.specialFolders[kCsidlLocalAppData] = kLocal;
  w.files.AddFolder(w.system.programFolder);
  w.files.AddFolder(w.system.systemDirectory);
  for (const PlantedFile& f : TodaysBrowsersFiles())
    w.files.AddFile(f.path, f.path == kFirefox + "\\profiles.ini" ? kProfilesIni : "bytes of " + f.path);
}

}  // namespace nimbrel
