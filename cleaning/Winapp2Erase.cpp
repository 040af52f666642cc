#include "cleaning/Winapp2Erase.h"

#include <algorithm>
#include <optional>

#include "erasers/modFiles.h"
#include "erasers/modRegistry.h"
#include "platform/Path.h"
#include "platform/Text.h"
#include "settings/DataFolder.h"

namespace nimbrel {

namespace {

// A file larger than this is no cleaning file: it is not read.
constexpr std::size_t kMaxFileBytes = 64u << 20;
// Folders a wildcard may stand for in one path, at most.
constexpr std::size_t kMaxResolved = 4096;
// Registry keys below a key the erase goes into, at most.
constexpr int kMaxKeyDepth = 64;
// The program is 64-bit: HKLM\Software also has the 32-bit programs' view.
constexpr bool kBothRegistryViews = sizeof(void*) == 8;

std::vector<std::string> Parts(std::string_view path) {
  std::vector<std::string> parts;
  for (;;) {
    const auto end = path.find('\\');
    if (end != 0) parts.emplace_back(path.substr(0, end));
    if (end == std::string_view::npos) return parts;
    path.remove_prefix(end + 1);
  }
}

void Refused(Context& ctx, const std::string& why, const std::string& what) {
  ctx.AddProgressLine("  refused (" + why + "): " + what);
}

// ---- Registry keys ----

struct RegTarget {
  RegRoot root;
  std::string path;
};

// The keys a key of the file names ("HKCR\x" is the user's and the machine's
// classes; HKLM\Software is read in both views of a 64-bit program); none
// for an unknown root.
std::vector<RegTarget> RegTargets(std::string_view key) {
  const auto slash = key.find('\\');
  const std::string root = ToUpper(key.substr(0, slash));
  const std::string rest = slash == std::string_view::npos ? "" : std::string(key.substr(slash + 1));
  const auto under = [&rest](const char* prefix) { return std::string(prefix) + "\\" + rest; };
  std::vector<RegTarget> out;
  if (root == "HKCU" || root == "HKEY_CURRENT_USER") out.push_back({RegRoot::CurrentUser, rest});
  if (root == "HKU" || root == "HKEY_USERS") out.push_back({RegRoot::Users, rest});
  if (root == "HKLM" || root == "HKEY_LOCAL_MACHINE") out.push_back({RegRoot::LocalMachine, rest});
  if (root == "HKCR" || root == "HKEY_CLASSES_ROOT") {
    out.push_back({RegRoot::CurrentUser, under("Software\\Classes")});
    out.push_back({RegRoot::LocalMachine, under("Software\\Classes")});
  }
  if (root == "HKCC" || root == "HKEY_CURRENT_CONFIG")
    out.push_back({RegRoot::LocalMachine, under("SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current")});
  if (kBothRegistryViews)
    for (std::size_t i = 0, n = out.size(); i < n; ++i) {
      const std::string& p = out[i].path;
      if (out[i].root == RegRoot::LocalMachine && StartsWithNoCase(p, "Software\\") &&
          !StartsWithNoCase(p, "Software\\Wow6432Node"))
        out.push_back({RegRoot::LocalMachine, "Software\\Wow6432Node\\" + p.substr(9)});
    }
  return out;
}

bool KeyExists(Context& ctx, const RegTarget& t) {
  const RegKey k = ctx.platform.registry.OpenKey(t.root, t.path);
  if (k) ctx.platform.registry.CloseKey(k);
  return k != 0;
}

// The ExcludeKeys of an entry, expanded: files kept by folder and name, keys
// and values kept by key.
struct Excludes {
  struct File {
    bool below;  // PATH: the folder and every folder below it
    std::vector<std::string> folder;
    std::vector<std::string> names;
  };
  struct Key {
    RegRoot root;
    std::string path;   // upper-case
    std::string value;  // upper-case; empty: the whole key
  };
  std::vector<File> files;
  std::vector<Key> keys;

  bool KeepsFile(const std::string& path) const {
    const std::vector<std::string> parts = Parts(path);
    if (parts.empty()) return false;
    const std::string& name = parts.back();
    for (const File& f : files) {
      const std::size_t n = f.folder.size();
      if (parts.size() - 1 < n || (!f.below && parts.size() - 1 != n)) continue;
      bool inside = true;
      for (std::size_t i = 0; i < n && inside; ++i) inside = WildcardMatch(f.folder[i], parts[i]);
      if (inside && std::any_of(f.names.begin(), f.names.end(),
                                [&](const std::string& p) { return WildcardMatch(p, name); }))
        return true;
    }
    return false;
  }
  // The whole key is kept: it or a key above it is excluded.
  bool KeepsKey(RegRoot root, const std::string& path) const {
    const std::string upper = ToUpper(path);
    return std::any_of(keys.begin(), keys.end(), [&](const Key& k) {
      return k.root == root && k.value.empty() && IsAtOrAbove(k.path, upper);
    });
  }
  // Something in the key is kept: an excluded key or value lies in it or below.
  bool KeepsInside(RegRoot root, const std::string& path) const {
    const std::string upper = ToUpper(path);
    return std::any_of(keys.begin(), keys.end(),
                       [&](const Key& k) { return k.root == root && IsAtOrAbove(upper, k.path); });
  }
  bool KeepsValue(RegRoot root, const std::string& path, const std::string& value) const {
    const std::string upper = ToUpper(path), name = ToUpper(value);
    return KeepsKey(root, path) || std::any_of(keys.begin(), keys.end(), [&](const Key& k) {
             return k.root == root && k.path == upper && k.value == name;
           });
  }
};

Excludes ExcludesOf(const Winapp2Variables& vars, const Winapp2Entry& entry) {
  Excludes out;
  for (const Winapp2Exclude& ex : entry.excludes) {
    if (ex.kind == Winapp2ExcludeKind::Reg) {
      const std::string value = ex.names.empty() ? std::string() : ToUpper(ex.names[0]);
      for (const RegTarget& t : RegTargets(ex.where))
        out.keys.push_back({t.root, ToUpper(t.path), value});
      continue;
    }
    for (const std::string& folder : vars.Expand(ex.where).paths)
      out.files.push_back({ex.kind == Winapp2ExcludeKind::Path, Parts(folder), ex.names});
  }
  return out;
}

// Deletes the key and all below it, but what the excludes keep: a key
// holding a kept key or value stays, with its other values deleted.
void DeleteKeyTree(Context& ctx, RegRoot root, const std::string& path, const Excludes& ex,
                   int depth) {
  if (ex.KeepsKey(root, path) || depth > kMaxKeyDepth) return;
  std::vector<std::string> subKeys;
  int count = 0;
  EnumRegSubKeys(ctx, root, path, subKeys, count);
  for (const std::string& sub : subKeys) DeleteKeyTree(ctx, root, path + "\\" + sub, ex, depth + 1);
  if (!ex.KeepsInside(root, path)) return DeleteRegKey(ctx, root, path);
  std::vector<std::string> values;
  EnumRegValues(ctx, root, path, values, count);
  for (const std::string& value : values)
    if (!ex.KeepsValue(root, path, value)) DeleteRegValue(ctx, root, path, value);
}

void EraseRegKey(Context& ctx, const Winapp2RegKey& key, const Excludes& ex) {
  if (const std::string why = Winapp2RegKeyRefusal(key.key); !why.empty())
    return Refused(ctx, why, key.line);
  // A key line never deletes a key Windows or the program runs on, nor one above
  // it; a value line may delete a value of one.
  if (!key.value)
    for (const RegTarget& t : RegTargets(key.key))
      if (const std::string why = RegKeyRefusal(t.root, t.path); !why.empty())
        return Refused(ctx, why, key.line);
  Registry& registry = ctx.platform.registry;
  for (const RegTarget& t : RegTargets(key.key)) {
    if (!key.value) {
      if (KeyExists(ctx, t)) DeleteKeyTree(ctx, t.root, t.path, ex, 0);
      continue;
    }
    const RegKey k = registry.OpenKey(t.root, t.path);
    if (!k) continue;
    std::uint32_t type = 0;
    std::string data;
    const bool there = registry.QueryValue(k, *key.value, type, data);
    registry.CloseKey(k);
    if (there && !ex.KeepsValue(t.root, t.path, *key.value))
      DeleteRegValue(ctx, t.root, t.path, *key.value);
  }
}

// ---- Files ----

bool MatchesAny(const std::vector<std::string>& patterns, const std::string& name) {
  return std::any_of(patterns.begin(), patterns.end(),
                     [&](const std::string& p) { return WildcardMatch(p, name); });
}

// Removes an emptied folder, never a link; counted and listed when gone.
void RemoveEmptied(Context& ctx, const std::string& folder) {
  Files& files = ctx.platform.files;
  const std::uint32_t attributes = files.Attributes(folder);
  if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory) ||
      (attributes & kAttrReparsePoint) || files.IsLink(folder))
    return;
  if (!files.RemoveFolder(folder)) return;  // not empty: what stays in it keeps it
  ctx.CountFileDeleted();
  ctx.AddProgressLine("  " + folder + "\\");
}

void EraseInFolder(Context& ctx, const std::string& folder, const Winapp2FileKey& key,
                   const Excludes& ex) {
  bool kept = false;  // a file excluded, or found elsewhere than its walk
  std::vector<std::string> subFolders;
  WalkPlan plan;
  plan.deep = key.recurse;
  plan.tellLeft = true;
  WalkFolder(ctx, folder, plan, [&](const WalkedFile& found) {
    if (found.entry.attributes & kAttrDirectory) {
      subFolders.push_back(found.path);
      return WalkOn::Next;
    }
    if (!MatchesAny(key.patterns, found.entry.name)) return WalkOn::Next;
    if (ex.KeepsFile(found.path)) {
      kept = true;
      return WalkOn::Next;
    }
    if (!StillInWalk(ctx, found, 0)) {
      kept = true;
      return WalkOn::LeaveFolder;
    }
    ctx.AddProgressLine("  " + found.path);
    EraseFile(ctx, found.path);
    return WalkOn::Next;
  });
  if (!key.removeSelf || kept) return;
  if (key.recurse) {
    // The deepest first: a folder is empty only once its sub-folders are gone.
    std::sort(subFolders.begin(), subFolders.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& sub : subFolders) RemoveEmptied(ctx, sub);
  }
  RemoveEmptied(ctx, folder);
}

// Whether the path's first wildcard part is wildcards alone ("*") directly below
// a folder no line may erase: it would reach each folder in it (Documents\*, the
// profile's Favorites and Saved Games). A part with a name ("Discord*") names
// an application's folders.
bool BareWildcardBelowAProtectedFolder(Context& ctx, const std::string& path) {
  const std::size_t wild = path.find_first_of("*?");
  if (wild == std::string::npos) return false;
  const std::size_t start = path.rfind('\\', wild) + 1;
  if (path.find_first_not_of("*?.", start) < std::min(path.find('\\', start), path.size()))
    return false;
  const std::string base = WithoutTrailingBackslash(path.substr(0, start));
  const std::uint32_t a = ctx.platform.files.Attributes(base);
  return a != kInvalidAttributes && (a & kAttrDirectory) && !Winapp2FolderRefusal(ctx, base).empty();
}

void EraseFileKey(Context& ctx, const Winapp2Variables& vars, const Winapp2FileKey& key,
                  const Excludes& ex) {
  const Winapp2Paths expanded = vars.Expand(key.folder);
  if (!expanded.refused.empty()) return Refused(ctx, expanded.refused, key.line);
  for (const std::string& path : expanded.paths) {
    if (BareWildcardBelowAProtectedFolder(ctx, path)) {
      Refused(ctx, "wildcard below a protected folder", path + " (" + key.line + ")");
      continue;
    }
    for (const std::string& folder : ResolveWinapp2Wildcards(ctx, path, false)) {
      // "%SystemDrive%\" comes out as the bare drive.
      if (folder.size() == 2 && folder[1] == ':') {
        Refused(ctx, "drive root", folder + "\\ (" + key.line + ")");
        continue;
      }
      const std::uint32_t attributes = ctx.platform.files.Attributes(folder);
      if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory)) continue;
      if (const std::string why = Winapp2FolderRefusal(ctx, folder); !why.empty()) {
        Refused(ctx, why, folder + " (" + key.line + ")");
        continue;
      }
      EraseInFolder(ctx, folder, key, ex);
    }
  }
}

// ---- Detection ----

std::optional<double> VersionOf(std::string_view text) {
  const std::string t = Trim(text);
  if (t.empty()) return std::nullopt;
  return AsNumber(t);
}

bool WithinOs(Context& ctx, std::string_view bounds) {
  if (bounds.empty()) return true;
  const OsVersion v = ctx.platform.system.Version();
  // major.minor as a number: 6.1 and 10.0 compare as they should, 6.10 never occurs.
  const double version = v.major + v.minor / (v.minor >= 10 ? 100.0 : 10.0);
  const auto bar = bounds.find('|');
  const auto low = VersionOf(bounds.substr(0, bar));
  const auto high = bar == std::string_view::npos ? std::nullopt : VersionOf(bounds.substr(bar + 1));
  return (!low || version >= *low - 1e-9) && (!high || version <= *high + 1e-9);
}

bool PathExists(Context& ctx, const Winapp2Variables& vars, const std::string& text) {
  for (const std::string& path : vars.Expand(text).paths) {
    if (HasWildcards(path)) {
      if (!ResolveWinapp2Wildcards(ctx, path, true).empty()) return true;
    } else if (ctx.platform.files.Attributes(path) != kInvalidAttributes) {
      return true;
    }
  }
  return false;
}

// The browsers SpecialDetect names, by the folder each keeps its profiles in.
bool SpecialDetected(Context& ctx, const Winapp2Variables& vars, const std::string& name) {
  static const std::pair<const char*, const char*> kBrowsers[] = {
      {"DET_CHROME", "%LocalAppData%\\Google\\Chrome\\User Data"},
      {"DET_MOZILLA", "%AppData%\\Mozilla\\Firefox"},
      {"DET_THUNDERBIRD", "%AppData%\\Thunderbird"},
      {"DET_OPERA", "%AppData%\\Opera Software"}};
  for (const auto& [det, folder] : kBrowsers)
    if (EqualsNoCase(name, det)) return PathExists(ctx, vars, folder);
  return false;
}

bool IsFile(Files& files, const std::string& path) {
  const std::uint32_t attributes = files.Attributes(path);
  return attributes != kInvalidAttributes && !(attributes & kAttrDirectory);
}

Winapp2Catalogue& Cache() {
  static Winapp2Catalogue catalogue;
  return catalogue;
}

}  // namespace

Winapp2Variables::Winapp2Variables(Context& ctx) {
  System& sys = ctx.platform.system;
  Shell& shell = ctx.platform.shell;
  const auto env = [&sys](const char* name) { return sys.Environment(name); };
  const auto first = [](std::initializer_list<std::string> options) {
    for (const std::string& o : options)
      if (!o.empty()) return o;
    return std::string();
  };
  const std::string profile = env("USERPROFILE");
  const std::string allUsers = env("ALLUSERSPROFILE");
  const auto below = [](const std::string& folder, const char* sub) {
    return folder.empty() ? std::string() : folder + "\\" + sub;
  };
  const bool vistaOrLater = sys.Version().major >= 6;
  const std::string windir = env("WINDIR");
  std::map<std::string, std::vector<std::string>> f;
  const auto one = [&f](const char* name, const std::string& folder) {
    AddFolderOnce(f[ToUpper(name)], folder);
  };
  one("AppData", first({env("APPDATA"), shell.SpecialFolder(kCsidlAppData)}));
  // Windows XP has no variable for the next three: their folders under the profiles.
  one("LocalAppData", first({env("LOCALAPPDATA"), shell.SpecialFolder(kCsidlLocalAppData),
                             below(profile, "Local Settings\\Application Data")}));
  one("ProgramData", first({env("ProgramData"), shell.SpecialFolder(kCsidlCommonAppData),
                            below(allUsers, "Application Data")}));
  one("Public", first({env("PUBLIC"), allUsers}));
  one("LocalLowAppData", vistaOrLater ? below(profile, "AppData\\LocalLow") : std::string());
  one("UserProfile", profile);
  one("WinDir", first({windir, env("SystemRoot")}));
  one("SystemDrive", first({env("SystemDrive"), windir.size() >= 2 && windir[1] == ':'
                                                     ? windir.substr(0, 2)
                                                     : std::string()}));
  one("Temp", first({env("TEMP"), sys.TempPath()}));
  one("UserName", env("USERNAME"));
  one("Documents", first({shell.SpecialFolder(kCsidlPersonal), below(profile, "My Documents")}));
  // Both program-files folders of 64-bit Windows.
  for (const std::string& pf : {env("ProgramW6432"), env("ProgramFiles"), env("ProgramFiles(x86)"),
                                ctx.ProgramFilesFolder, ctx.ProgramFilesX86Folder})
    one("ProgramFiles", pf);
  for (const char* cpf : {"CommonProgramW6432", "CommonProgramFiles", "CommonProgramFiles(x86)"})
    one("CommonProgramFiles", env(cpf));
  folders_ = f;

}

Winapp2Paths Winapp2Variables::Expand(std::string_view text) const {
  std::vector<std::string> paths{std::string()};
  while (!text.empty()) {
    const auto open = text.find('%');
    for (std::string& p : paths) p.append(text.substr(0, open));
    if (open == std::string_view::npos) break;
    const auto close = text.find('%', open + 1);
    const std::string_view name =
        close == std::string_view::npos ? text.substr(open) : text.substr(open + 1, close - open - 1);
    const auto known = folders_.find(ToUpper(name));
    if (close == std::string_view::npos) return {{}, "unpaired %"};
    if (known == folders_.end()) return {{}, "unknown variable %" + std::string(name) + "%"};
    if (known->second.empty()) return {};  // nothing of the kind on this machine
    std::vector<std::string> next;
    for (const std::string& p : paths)
      for (const std::string& folder : known->second) next.push_back(p + folder);
    paths = std::move(next);
    text.remove_prefix(close + 1);
  }
  Winapp2Paths out;
  for (const std::string& p : paths) AddFolderOnce(out.paths, WithBackslashes(p));
  return out;
}

std::vector<std::string> ResolveWinapp2Wildcards(Context& ctx, const std::string& path,
                                                 bool files) {
  const std::vector<std::string> parts = Parts(path);
  // A drive ("C:") or a share ("\\server\share") starts the path, never a wildcard.
  std::size_t first = 1;
  std::string head = parts.empty() ? std::string() : parts[0];
  if (path.starts_with("\\\\") && parts.size() >= 2) {
    head = "\\\\" + parts[0] + "\\" + parts[1];
    first = 2;
  }
  if (head.empty() || HasWildcards(head) ||
      (!path.starts_with("\\\\") && (head.size() != 2 || head[1] != ':')))
    return {};
  std::vector<std::string> current{head};
  Files& fs = ctx.platform.files;
  for (std::size_t i = first; i < parts.size() && !current.empty(); ++i) {
    const bool last = i + 1 == parts.size();
    std::vector<std::string> next;
    for (const std::string& c : current) {
      if (!HasWildcards(parts[i])) {
        next.push_back(c + "\\" + parts[i]);
        continue;
      }
      for (const FileEntry& e : fs.Find(c + "\\" + parts[i])) {
        if (IsDots(e.name) || (e.attributes & kAttrReparsePoint)) continue;
        if (!(e.attributes & kAttrDirectory) && !(last && files)) continue;
        if (next.size() < kMaxResolved) next.push_back(c + "\\" + e.name);
      }
    }
    current = std::move(next);
  }
  return current;
}

bool Winapp2Detected(Context& ctx, const Winapp2Variables& vars, const Winapp2Entry& entry) {
  if (!WithinOs(ctx, entry.detectOS)) return false;
  if (entry.detects.empty() && entry.detectFiles.empty() && entry.specialDetect.empty())
    return true;
  for (const std::string& key : entry.detects)
    for (const RegTarget& t : RegTargets(key))
      if (KeyExists(ctx, t)) return true;
  for (const std::string& file : entry.detectFiles)
    if (PathExists(ctx, vars, file)) return true;
  return !entry.specialDetect.empty() && SpecialDetected(ctx, vars, entry.specialDetect);
}

std::string Winapp2RegKeyRefusal(std::string_view key) {
  if (RegTargets(key).empty()) return "unknown registry root";
  const auto slash = key.find('\\');
  const std::string root = ToUpper(key.substr(0, slash));
  const std::vector<std::string> parts =
      Parts(slash == std::string_view::npos ? std::string_view() : key.substr(slash + 1));
  if (parts.empty()) return "registry root";
  if (parts.size() == 1) return "top of a hive";
  // Keys that hold every program's or the system's settings.
  static const char* const kShared[] = {"SOFTWARE\\MICROSOFT", "SOFTWARE\\CLASSES",
                                        "SOFTWARE\\POLICIES", "SOFTWARE\\WOW6432NODE",
                                        "SOFTWARE\\CLIENTS", "SYSTEM\\CURRENTCONTROLSET",
                                        "SYSTEM\\SETUP", "SYSTEM\\SELECT"};
  std::string top = ToUpper(parts[0] + "\\" + parts[1]);
  // HKU\<user>\Software and the like: one level deeper.
  if (root == "HKU" || root == "HKEY_USERS") {
    if (parts.size() == 2) return "top of a hive";
    top = ToUpper(parts[1] + "\\" + parts[2]);
    if (parts.size() == 3 && std::any_of(std::begin(kShared), std::end(kShared),
                                         [&](const char* s) { return top == s; }))
      return "top of a hive";
  } else if (parts.size() == 2 &&
             (std::any_of(std::begin(kShared), std::end(kShared),
                          [&](const char* s) { return top == s; }) ||
              top.starts_with("SYSTEM\\CONTROLSET"))) {
    return "top of a hive";
  }
  return {};
}

std::string Winapp2FolderRefusal(Context& ctx, const std::string& folder) {
  if (!ErasableFolder(ctx, folder).empty()) return {};
  if (!IsSafeBaseFolder(folder)) return "unsafe path";
  Files& files = ctx.platform.files;
  for (std::string f = WithoutTrailingBackslash(folder); f.size() > 3;
       f = WithoutTrailingBackslash(ParentOf(f)))
    if (files.IsLink(f)) return "link";
  return files.CanonicalPath(folder).size() <= 3 ? "drive root" : "protected folder";
}

void EraseWinapp2Entry(Context& ctx, const Winapp2Entry& entry) {
  const Winapp2Variables vars(ctx);
  const Excludes ex = ExcludesOf(vars, entry);
  for (const Winapp2FileKey& key : entry.fileKeys) {
    EraseFileKey(ctx, vars, key, ex);
    ctx.DoEvents();
  }
  for (const Winapp2RegKey& key : entry.regKeys) {
    EraseRegKey(ctx, key, ex);
    ctx.DoEvents();
  }
}

std::string Winapp2Location(Context& ctx) {
  const std::string path = ctx.dataFolder.PathToRead(ctx.platform, kWinapp2File);
  return IsFile(ctx.platform.files, path) ? path : std::string();
}

namespace {

// The file's text as the file and registry functions take it: each line in
// UTF-8 beyond ASCII (the file's usual form, its mark aside) in the ANSI code
// page, or left out when a character has no place there (it could name no
// file or key Windows would find); any other line is ANSI text already.
std::string AnsiText(Context& ctx, std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t end = std::min(bytes.find('\n'), bytes.size() - 1) + 1;
    const std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end);
    if (!IsUtf8BeyondAscii(line)) {
      out += line;
    } else if (const auto ansi = ctx.platform.system.AnsiOfUtf8(line)) {
      out += *ansi;
    } else if (line.ends_with('\n')) {
      out += '\n';
    }
  }
  return out;
}

}  // namespace

const Winapp2Catalogue& Winapp2Entries(Context& ctx, bool detect) {
  Winapp2Catalogue& c = Cache();
  const std::string path = Winapp2Location(ctx);
  std::string bytes;
  if (!path.empty())
    if (const auto size = ctx.platform.files.Size(path); size && *size <= kMaxFileBytes)
      bytes = ctx.platform.files.ReadAll(path).value_or(std::string());
  const bool changed = path != c.path || bytes != c.bytes;
  if (changed) {
    c.path = path;
    c.bytes = std::move(bytes);
    c.file = ParseWinapp2(AnsiText(ctx, c.bytes));
  }
  if (changed || detect) {
    c.detected.clear();
    const Winapp2Variables vars(ctx);
    for (const Winapp2Entry& e : c.file.entries)
      if (Winapp2Detected(ctx, vars, e)) c.detected.push_back(&e);
  }
  return c;
}

const Winapp2Entry* FindWinapp2Entry(Context& ctx, std::string_view row) {
  // Built-in rows never end so: only a community row is looked up.
  if (!Trim(row).ends_with(" *")) return nullptr;
  const std::string name = Trim(row);
  for (const Winapp2Entry& e : Winapp2Entries(ctx, false).file.entries)
    if (EqualsNoCase(e.name, name)) return &e;
  return nullptr;
}

}  // namespace nimbrel
