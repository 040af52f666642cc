#include "erasers/BrowserProfiles.h"

#include <algorithm>
#include <set>

#include "erasers/modFiles.h"
#include "platform/Text.h"

namespace nimbrel {

const std::array<BrowserEntry, 6> kTodaysBrowsers = {{
    {TodaysBrowser::Chrome, "Chrome", "Chrome", "Chrome", "chrome.exe", "Chrome_WidgetWin_1"},
    {TodaysBrowser::Edge, "Edge", "Edge", "Edge", "msedge.exe", "Chrome_WidgetWin_1"},
    {TodaysBrowser::Brave, "Brave", "Brave", "Brave", "brave.exe", "Chrome_WidgetWin_1"},
    {TodaysBrowser::Vivaldi, "Vivaldi", "Vivaldi", "Vivaldi", "vivaldi.exe",
     "Chrome_WidgetWin_1"},
    // Its rows are not "Opera Cache" and "Opera Cookies": those are Opera 7's.
    {TodaysBrowser::OperaStable, "OperaStable", "Opera", "Opera Stable", "opera.exe",
     "Chrome_WidgetWin_1"},
    {TodaysBrowser::Firefox, "Firefox", "Firefox", "Firefox", "firefox.exe",
     "MozillaWindowClass"},
}};

const std::array<BrowserCategory, 5> kBrowserCategories = {
    BrowserCategory::History, BrowserCategory::Cookies, BrowserCategory::Cache,
    BrowserCategory::Sessions, BrowserCategory::SiteData};

const BrowserEntry& SpecOf(TodaysBrowser browser) {
  return kTodaysBrowsers[static_cast<std::size_t>(browser)];
}

const char* CategoryName(BrowserCategory category) {
  switch (category) {
    case BrowserCategory::History: return "History";
    case BrowserCategory::Cookies: return "Cookies";
    case BrowserCategory::Cache: return "Cache";
    case BrowserCategory::Sessions: return "Sessions";
    case BrowserCategory::SiteData: return "Site Data";
  }
  return "";
}

std::string CategoryKey(BrowserCategory category) {
  std::string key = CategoryName(category);
  key.erase(std::remove(key.begin(), key.end(), ' '), key.end());
  return key;
}

namespace {

constexpr const char* kFirefoxFolder = "Mozilla\\Firefox";

// Where a Chromium browser keeps its data folders, below the local
// application data or, for Opera, below the roaming one (its cache under the
// same names in the local one).
struct ChromiumLayout {
  bool roaming;
  std::vector<const char*> dataFolders;
};

ChromiumLayout LayoutOf(TodaysBrowser browser) {
  switch (browser) {
    case TodaysBrowser::Chrome: return {false, {"Google\\Chrome\\User Data"}};
    case TodaysBrowser::Edge: return {false, {"Microsoft\\Edge\\User Data"}};
    case TodaysBrowser::Brave: return {false, {"BraveSoftware\\Brave-Browser\\User Data"}};
    case TodaysBrowser::Vivaldi: return {false, {"Vivaldi\\User Data"}};
    case TodaysBrowser::OperaStable:
      return {true, {"Opera Software\\Opera Stable", "Opera Software\\Opera GX Stable"}};
    case TodaysBrowser::Firefox: break;
  }
  return {false, {}};
}

// The shell's folder, when it names a folder an eraser may work below.
std::string AppDataFolder(Context& ctx, int csidl) {
  std::string folder = ctx.platform.shell.SpecialFolder(csidl);
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return IsSafeBaseFolder(folder) ? folder : std::string();
}

bool IsFolder(std::uint32_t attributes) {
  return attributes != kInvalidAttributes && (attributes & kAttrDirectory);
}

bool IsLinkFolder(Files& files, const std::string& path, std::uint32_t attributes) {
  return (attributes & kAttrReparsePoint) || files.IsLink(path);
}

// `base` + "\" + `relative` when `base` is usable and no part of `relative`
// is a link (as far as the parts exist); empty otherwise.
std::string Below(Context& ctx, const std::string& base, const std::string& relative) {
  if (base.empty() || relative.empty()) return {};
  Files& files = ctx.platform.files;
  std::string path = base;
  std::size_t start = 0;
  while (start <= relative.size()) {
    const std::size_t end = std::min(relative.find('\\', start), relative.size());
    const std::string part = relative.substr(start, end - start);
    start = end + 1;
    if (part.empty()) continue;
    path += "\\" + part;
    const std::uint32_t attributes = files.Attributes(path);
    if (attributes == kInvalidAttributes) continue;  // nothing further exists either
    if (IsLinkFolder(files, path, attributes)) return {};
  }
  return path;
}

// The sub-folders of `folder` that are no link, as listed.
std::vector<std::string> SubFolders(Files& files, const std::string& folder) {
  std::vector<std::string> names;
  for (const FileEntry& entry : files.Find(folder + "\\*")) {
    if (entry.name == "." || entry.name == ".." || !(entry.attributes & kAttrDirectory) ||
        (entry.attributes & kAttrReparsePoint) || files.IsLink(folder + "\\" + entry.name))
      continue;
    names.push_back(entry.name);
  }
  return names;
}

bool IsChromiumProfile(Files& files, const std::string& folder, const std::string& name) {
  if (EqualsNoCase(name, "Default")) return true;
  if (StartsWithNoCase(name, "Profile ")) {
    const std::string number = name.substr(8);
    if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos)
      return true;
  }
  return IsFile(files, folder + "\\" + name + "\\Preferences");
}

// Adds the folder unless one resolving to the same place is there already.
// A profile only in a folder an eraser may work in: a profiles.ini may name any
// folder (C:\Windows, one below a link), and each of the profile's files and
// databases is erased by its name there. Its cache folder likewise, or none.
void AddOnce(Context& ctx, std::set<std::string>& seen, std::vector<BrowserFolder>& list,
             BrowserFolder folder) {
  if (ErasableFolder(ctx, folder.folder).empty()) return;
  if (!folder.cacheFolder.empty() && ErasableFolder(ctx, folder.cacheFolder).empty())
    folder.cacheFolder.clear();
  if (!seen.insert(ToUpper(ctx.platform.files.CanonicalPath(folder.folder))).second) return;
  list.push_back(std::move(folder));
}

BrowserFolders ChromiumFolders(Context& ctx, TodaysBrowser browser) {
  const ChromiumLayout layout = LayoutOf(browser);
  const std::string local = AppDataFolder(ctx, kCsidlLocalAppData);
  const std::string main = layout.roaming ? AppDataFolder(ctx, kCsidlAppData) : local;
  Files& files = ctx.platform.files;
  BrowserFolders out;
  std::set<std::string> seen;
  for (const char* relative : layout.dataFolders) {
    const std::string data = Below(ctx, main, relative);
    if (data.empty() || !IsFolder(files.Attributes(data))) continue;
    const std::string cache = Below(ctx, local, relative);
    out.dataFolders.push_back({data, cache});
    // Opera keeps its first profile in the data folder itself.
    if (browser == TodaysBrowser::OperaStable) AddOnce(ctx, seen, out.profiles, {data, cache});
    for (const std::string& name : SubFolders(files, data)) {
      if (!IsChromiumProfile(files, data, name)) continue;
      // The local counterpart, when the data folder's own is no link.
      const std::string cacheProfile =
          cache.empty() ? std::string() : Below(ctx, local, std::string(relative) + "\\" + name);
      AddOnce(ctx, seen, out.profiles, {data + "\\" + name, cacheProfile});
    }
  }
  return out;
}

BrowserFolders FirefoxFolders(Context& ctx) {
  const std::string roaming = Below(ctx, AppDataFolder(ctx, kCsidlAppData), kFirefoxFolder);
  BrowserFolders out;
  Files& files = ctx.platform.files;
  if (roaming.empty() || !IsFolder(files.Attributes(roaming))) return out;
  const std::string local = AppDataFolder(ctx, kCsidlLocalAppData);

  std::vector<FirefoxProfileEntry> entries;
  if (const auto ini = files.ReadAll(roaming + "\\profiles.ini")) entries = ParseProfilesIni(*ini);
  for (const std::string& name : SubFolders(files, roaming + "\\Profiles"))
    entries.push_back({"Profiles\\" + name, true});

  std::set<std::string> seen;
  for (const FirefoxProfileEntry& entry : entries) {
    BrowserFolder profile;
    if (entry.relative) {
      profile.folder = Below(ctx, roaming, entry.path);
      profile.cacheFolder = Below(ctx, Below(ctx, local, kFirefoxFolder), entry.path);
    } else {
      const std::uint32_t attributes = files.Attributes(entry.path);
      if (attributes != kInvalidAttributes && !IsLinkFolder(files, entry.path, attributes))
        profile.folder = profile.cacheFolder = entry.path;
    }
    if (profile.folder.empty() || !IsFolder(files.Attributes(profile.folder)) ||
        !IsFile(files, profile.folder + "\\prefs.js"))
      continue;
    AddOnce(ctx, seen, out.profiles, std::move(profile));
  }
  return out;
}

// The text between the blanks, without a line's carriage return.
std::string_view Stripped(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
    line.remove_suffix(1);
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  return line;
}

bool IsProfileSection(std::string_view name) {
  if (!StartsWithNoCase(name, "Profile")) return false;
  const std::string_view number = name.substr(7);
  return !number.empty() && number.find_first_not_of("0123456789") == std::string_view::npos;
}

// A relative path of plain parts below Firefox's folder; "" when it is none.
std::string UsableRelative(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  if (path.empty() || path.front() == '\\' || path.find(':') != std::string::npos) return {};
  while (!path.empty() && path.back() == '\\') path.pop_back();
  // "C:\" + path is then an absolute path whose parts IsSafeBaseFolder checks.
  return IsSafeBaseFolder("C:\\" + path) ? path : std::string();
}

std::string UsableAbsolute(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return IsSafeBaseFolder(path) ? path : std::string();
}

}  // namespace

bool BrowserInstalled(Context& ctx, TodaysBrowser browser) {
  Files& files = ctx.platform.files;
  if (browser == TodaysBrowser::Firefox) {
    const std::string folder = AppDataFolder(ctx, kCsidlAppData);
    return !folder.empty() && IsFolder(files.Attributes(folder + "\\" + kFirefoxFolder));
  }
  const ChromiumLayout layout = LayoutOf(browser);
  const std::string base = AppDataFolder(ctx, layout.roaming ? kCsidlAppData : kCsidlLocalAppData);
  if (base.empty()) return false;
  for (const char* relative : layout.dataFolders)
    if (IsFolder(files.Attributes(base + "\\" + relative))) return true;
  return false;
}

BrowserFolders FindBrowserFolders(Context& ctx, TodaysBrowser browser) {
  return browser == TodaysBrowser::Firefox ? FirefoxFolders(ctx) : ChromiumFolders(ctx, browser);
}

std::vector<FirefoxProfileEntry> ParseProfilesIni(std::string_view text) {
  // A byte-order mark before the first section.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  struct Section {
    std::string path;
    bool hasPath = false, relative = false;
  };
  std::vector<FirefoxProfileEntry> out;
  bool inProfile = false;
  Section section;
  const auto finish = [&] {
    if (inProfile && section.hasPath) {
      std::string path =
          section.relative ? UsableRelative(section.path) : UsableAbsolute(section.path);
      if (!path.empty()) out.push_back({std::move(path), section.relative});
    }
    section = Section();
  };
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = Stripped(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    if (line.empty() || line.front() == ';' || line.front() == '#') continue;
    if (line.front() == '[') {
      finish();
      const std::size_t close = line.find(']');
      inProfile = close != std::string_view::npos && IsProfileSection(line.substr(1, close - 1));
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!inProfile || equals == std::string_view::npos) continue;
    const std::string_view key = Stripped(line.substr(0, equals));
    const std::string_view value = Stripped(line.substr(equals + 1));
    if (EqualsNoCase(key, "Path")) {
      section.path = std::string(value);
      section.hasPath = true;
    } else if (EqualsNoCase(key, "IsRelative")) {
      section.relative = value == "1";
    }
  }
  finish();
  return out;
}

}  // namespace nimbrel
