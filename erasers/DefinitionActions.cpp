#include "erasers/DefinitionActions.h"

#include <algorithm>

#include "erasers/modFiles.h"
#include "erasers/modRegistry.h"
#include "platform/Path.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

// Folders a wildcard may stand for in one path, at most.
constexpr std::size_t kMaxResolved = 4096;
// Registry keys below a key the erase goes into, at most.
constexpr int kMaxKeyDepth = 64;
// The program is 64-bit: HKLM\Software also has the 32-bit programs' view.
constexpr bool kBothRegistryViews = sizeof(void*) == 8;

void Refused(Context& ctx, const std::string& why, const std::string& what) {
  ctx.AddProgressLine("  refused (" + why + "): " + what);
}

bool IsFolder(Files& files, const std::string& path) {
  const std::uint32_t attributes = files.Attributes(path);
  return attributes != kInvalidAttributes && (attributes & kAttrDirectory);
}

// The drive letter and colon that start a Windows folder's path.
std::string DriveOf(const std::string& windir) {
  return windir.size() >= 2 && windir[1] == ':' ? windir.substr(0, 2) : std::string();
}

// ---- Registry keys ----

struct RegTarget {
  RegRoot root;
  std::string path;
};

// The keys a key of a line names ("HKCR\x" is the user's and the machine's
// classes; with `bothViews`, HKLM\Software in both views of a 64-bit
// program); none for an unknown root.
std::vector<RegTarget> RegTargets(std::string_view key, bool bothViews) {
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
  if (bothViews && kBothRegistryViews)
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

// Why a line may not aim at the key as written, nor at a value of it: an
// unknown root, a root, a hive's top, or a key every program or the system
// keeps its settings under; empty when it may.
std::string KeyLineRefusal(std::string_view key) {
  if (RegTargets(key, false).empty()) return "unknown registry root";
  const auto slash = key.find('\\');
  const std::string root = ToUpper(key.substr(0, slash));
  const std::vector<std::string> parts =
      PartsOf(slash == std::string_view::npos ? std::string_view() : key.substr(slash + 1));
  if (parts.size() <= 1) return "top of a hive";
  static const char* const kShared[] = {"SOFTWARE\\MICROSOFT", "SOFTWARE\\CLASSES",
                                        "SOFTWARE\\POLICIES", "SOFTWARE\\WOW6432NODE",
                                        "SOFTWARE\\CLIENTS", "SYSTEM\\CURRENTCONTROLSET",
                                        "SYSTEM\\SETUP", "SYSTEM\\SELECT"};
  const auto shared = [](const std::string& top) {
    return std::any_of(std::begin(kShared), std::end(kShared),
                       [&](const char* s) { return top == s; });
  };
  // HKU\<user>\Software and the like: one level deeper.
  if (root == "HKU" || root == "HKEY_USERS") {
    if (parts.size() == 2 || (parts.size() == 3 && shared(ToUpper(parts[1] + "\\" + parts[2]))))
      return "top of a hive";
    return {};
  }
  const std::string top = ToUpper(parts[0] + "\\" + parts[1]);
  if (parts.size() == 2 && (shared(top) || top.starts_with("SYSTEM\\CONTROLSET")))
    return "top of a hive";
  return {};
}

// ---- Folders ----

// Why a walk may not start in `folder` (an existing folder a line names):
// "unsafe path", "link", "drive root", "protected folder"; empty when it may.
std::string FolderRefusal(Context& ctx, const std::string& folder) {
  if (!ErasableFolder(ctx, folder).empty()) return {};
  if (!IsSafeBaseFolder(folder)) return "unsafe path";
  Files& files = ctx.platform.files;
  if (IsOrBelowLink(files, folder)) return "link";
  return files.CanonicalPath(folder).size() <= 3 ? "drive root" : "protected folder";
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
  return IsFolder(ctx.platform.files, base) && !FolderRefusal(ctx, base).empty();
}

// A walk's visitor that keeps the path of every file (not folder) it finds.
WalkVisitor Collect(std::vector<std::string>& out) {
  return [&out](const WalkedFile& found) {
    if (!(found.entry.attributes & kAttrDirectory)) out.push_back(found.path);
    return WalkOn::Next;
  };
}

// A progress line for every file (and folder) of the list that is gone now.
void ListGone(Context& ctx, const std::vector<std::string>& erasing) {
  for (const std::string& erased : erasing)
    if (!Exists(ctx.platform.files, erased)) ctx.AddProgressLine("  " + erased);
}

// EraseFolder, and a progress line for each file it held and the folder, once gone.
void EraseFolderListed(Context& ctx, const std::string& folder) {
  std::vector<std::string> erasing;
  if (IsFolder(ctx.platform.files, folder) && WalkFolder(ctx, folder, {}, Collect(erasing)))
    erasing.push_back(folder + "\\");
  EraseFolder(ctx, folder);
  ListGone(ctx, erasing);
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

bool MatchesAny(const std::vector<std::string>& patterns, const std::string& name) {
  return std::any_of(patterns.begin(), patterns.end(),
                     [&](const std::string& p) { return WildcardMatch(p, name); });
}

}  // namespace

// ---- Variables ----

PathVariables::PathVariables(Context& ctx) {
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
  std::map<std::string, std::vector<std::string>>& f = folders_;
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
  one("SystemDrive", first({env("SystemDrive"), DriveOf(windir)}));
  one("Temp", first({env("TEMP"), sys.TempPath()}));
  one("UserName", env("USERNAME"));
  one("Documents", first({shell.SpecialFolder(kCsidlPersonal), below(profile, "My Documents")}));
  // Both program-files folders of 64-bit Windows.
  for (const std::string& pf : {env("ProgramW6432"), env("ProgramFiles"), env("ProgramFiles(x86)"),
                                ctx.ProgramFilesFolder, ctx.ProgramFilesX86Folder})
    one("ProgramFiles", pf);
  for (const char* cpf : {"CommonProgramW6432", "CommonProgramFiles", "CommonProgramFiles(x86)"})
    one("CommonProgramFiles", env(cpf));

  // The built-in macros, a root's backslash dropped too: the rest of the path
  // starts with one. "%Program Files%" stands for the 32-bit programs' folder
  // of 64-bit Windows as well.
  const auto macro = [&f](const char* name, const std::string& folder) {
    std::string stripped = folder;
    while (!stripped.empty() && stripped.back() == '\\') stripped.pop_back();
    AddFolderOnce(f[name], stripped);
  };
  macro("%Program Files%", ctx.ProgramFilesFolder);
  macro("%Program Files%", ctx.ProgramFilesX86Folder);
  macro("%WindowsDirectory%", windir);
  macro("%CurrentUser%", profile);
  macro("%BootDirectory%", DriveOf(windir));
}

ExpandedPaths PathVariables::Expand(std::string_view text, VariableSyntax syntax) const {
  if (syntax == VariableSyntax::LeadingMacro) {
    // Without a macro of its own at the start, the path is taken as written; a
    // macro without a folder here names nothing.
    const auto close = text.starts_with('%') ? text.find('%', 1) : std::string_view::npos;
    const auto known = close == std::string_view::npos
                           ? folders_.end()
                           : folders_.find(std::string(text.substr(0, close + 1)));
    if (known == folders_.end()) return {{std::string(text)}, {}};
    ExpandedPaths out;
    for (const std::string& folder : known->second)
      out.paths.push_back(folder + std::string(text.substr(close + 1)));
    return out;
  }
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
  ExpandedPaths out;
  for (const std::string& p : paths) AddFolderOnce(out.paths, WithBackslashes(p));
  return out;
}

std::vector<std::string> ResolveWildcards(Context& ctx, const std::string& path, bool files) {
  const std::vector<std::string> parts = PartsOf(path);
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

bool NamedKeyExists(Context& ctx, std::string_view key) {
  const std::vector<RegTarget> targets = RegTargets(key, true);
  return std::any_of(targets.begin(), targets.end(),
                     [&](const RegTarget& t) { return KeyExists(ctx, t); });
}

void EraseFileListed(Context& ctx, const std::string& path) {
  if (path.find('\\') == std::string::npos) return;
  std::vector<std::string> erasing;
  const std::string name = FileNameOf(path);
  if (HasWildcards(name)) {
    // The matches, in a folder an eraser may work in (nothing is erased elsewhere).
    WalkFolder(ctx, ParentOf(path), {name, false}, Collect(erasing));
  } else {
    // One named file, as the folder spells it: it may lie in any folder.
    for (const FileEntry& entry : ctx.platform.files.Find(path))
      if (!IsDots(entry.name) && !(entry.attributes & kAttrDirectory))
        erasing.push_back(FolderPartOf(path) + entry.name);
  }
  EraseFile(ctx, path);
  ListGone(ctx, erasing);
}

// ---- The eraser ----

bool DefinitionEraser::Excluded::ExcludesFile(const std::string& path) const {
  const std::vector<std::string> parts = PartsOf(path);
  if (parts.empty()) return false;
  const std::string& name = parts.back();
  for (const Files& f : files) {
    const std::size_t n = f.folder.size();
    if (parts.size() - 1 < n || (!f.below && parts.size() - 1 != n)) continue;
    bool inside = true;
    for (std::size_t i = 0; i < n && inside; ++i) inside = WildcardMatch(f.folder[i], parts[i]);
    if (inside && MatchesAny(f.names, name)) return true;
  }
  return false;
}

bool DefinitionEraser::Excluded::ExcludesKey(RegRoot root, const std::string& path) const {
  const std::string upper = ToUpper(path);
  return std::any_of(keys.begin(), keys.end(), [&](const Key& k) {
    return k.root == root && k.value.empty() && IsAtOrAbove(k.path, upper);
  });
}

bool DefinitionEraser::Excluded::ExcludesInside(RegRoot root, const std::string& path) const {
  const std::string upper = ToUpper(path);
  return std::any_of(keys.begin(), keys.end(),
                     [&](const Key& k) { return k.root == root && IsAtOrAbove(upper, k.path); });
}

bool DefinitionEraser::Excluded::ExcludesValue(RegRoot root, const std::string& path,
                                        const std::string& value) const {
  const std::string upper = ToUpper(path), name = ToUpper(value);
  return ExcludesKey(root, path) || std::any_of(keys.begin(), keys.end(), [&](const Key& k) {
           return k.root == root && k.path == upper && k.value == name;
         });
}

DefinitionEraser::DefinitionEraser(Context& ctx, const PathVariables& vars,
                                   const std::vector<Exclusion>& exclusions)
    : ctx_(ctx), vars_(vars) {
  for (const Exclusion& ex : exclusions) {
    if (ex.kind == ExclusionKind::Reg) {
      const std::string value = ex.names.empty() ? std::string() : ToUpper(ex.names[0]);
      for (const RegTarget& t : RegTargets(ex.where, true))
        excluded_.keys.push_back({t.root, ToUpper(t.path), value});
      continue;
    }
    for (const std::string& folder : vars_.Expand(ex.where).paths)
      excluded_.files.push_back({ex.kind == ExclusionKind::Path, PartsOf(folder), ex.names});
  }
}

void DefinitionEraser::Erase(const FilesAction& action) const {
  const ExpandedPaths expanded = vars_.Expand(action.folder, action.variables);
  if (!expanded.refused.empty()) return Refused(ctx_, expanded.refused, action.line);
  for (const std::string& path : expanded.paths) {
    if (action.erase == FilesErase::AsNamed) {
      for (const std::string& pattern : action.patterns) EraseFileListed(ctx_, path + "\\" + pattern);
      continue;
    }
    if (action.erase == FilesErase::WholeFolder) {
      EraseFolderListed(ctx_, path);
      continue;
    }
    if (BareWildcardBelowAProtectedFolder(ctx_, path)) {
      Refused(ctx_, "wildcard below a protected folder", path + " (" + action.line + ")");
      continue;
    }
    for (const std::string& folder : ResolveWildcards(ctx_, path, false)) {
      // "%SystemDrive%\" comes out as the bare drive.
      if (folder.size() == 2 && folder[1] == ':') {
        Refused(ctx_, "drive root", folder + "\\ (" + action.line + ")");
        continue;
      }
      if (!IsFolder(ctx_.platform.files, folder)) continue;
      if (const std::string why = FolderRefusal(ctx_, folder); !why.empty()) {
        Refused(ctx_, why, folder + " (" + action.line + ")");
        continue;
      }
      EraseMatchesIn(folder, action);
    }
  }
}

void DefinitionEraser::EraseMatchesIn(const std::string& folder, const FilesAction& action) const {
  bool kept = false;  // a file excluded, or found elsewhere than its walk
  std::vector<std::string> subFolders;
  WalkPlan plan;
  plan.deep = action.recurse;
  plan.tellLeft = true;
  WalkFolder(ctx_, folder, plan, [&](const WalkedFile& found) {
    if (found.entry.attributes & kAttrDirectory) {
      subFolders.push_back(found.path);
      return WalkOn::Next;
    }
    if (!MatchesAny(action.patterns, found.entry.name)) return WalkOn::Next;
    if (excluded_.ExcludesFile(found.path)) {
      kept = true;
      return WalkOn::Next;
    }
    if (!StillInWalk(ctx_, found, 0)) {
      kept = true;
      return WalkOn::LeaveFolder;
    }
    ctx_.AddProgressLine("  " + found.path);
    EraseFile(ctx_, found.path);
    return WalkOn::Next;
  });
  if (!action.removeEmptied || kept) return;
  if (action.recurse) {
    // The deepest first: a folder is empty only once its sub-folders are gone.
    std::sort(subFolders.begin(), subFolders.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& sub : subFolders) RemoveEmptied(ctx_, sub);
  }
  RemoveEmptied(ctx_, folder);
}

void DefinitionEraser::Erase(const KeyAction& action) const {
  if (const std::string why = KeyLineRefusal(action.key); !why.empty())
    return Refused(ctx_, why, action.line);
  const std::vector<RegTarget> targets = RegTargets(action.key, !action.asWritten);
  // A key line never deletes a key Windows or the program runs on, nor one above
  // it; a value line may delete a value of one.
  if (!action.value)
    for (const RegTarget& t : targets)
      if (const std::string why = RegKeyRefusal(t.root, t.path); !why.empty())
        return Refused(ctx_, why, action.line);
  Registry& registry = ctx_.platform.registry;
  for (const RegTarget& t : targets) {
    if (!action.value) {
      if (action.asWritten)
        DeleteRegKey(ctx_, t.root, t.path);
      else if (KeyExists(ctx_, t))
        DeleteKeyTree(t.root, t.path, 0);
      continue;
    }
    bool there = action.asWritten;
    if (!there) {
      if (const RegKey k = registry.OpenKey(t.root, t.path)) {
        std::uint32_t type = 0;
        std::string data;
        there = registry.QueryValue(k, *action.value, type, data);
        registry.CloseKey(k);
      }
    }
    if (there && !excluded_.ExcludesValue(t.root, t.path, *action.value))
      DeleteRegValue(ctx_, t.root, t.path, *action.value);
  }
}

// Deletes the key and all below it, but what the exclusions keep: a key
// holding a kept key or value stays, with its other values deleted.
void DefinitionEraser::DeleteKeyTree(RegRoot root, const std::string& path, int depth) const {
  if (excluded_.ExcludesKey(root, path) || depth > kMaxKeyDepth) return;
  std::vector<std::string> subKeys;
  int count = 0;
  EnumRegSubKeys(ctx_, root, path, subKeys, count);
  for (const std::string& sub : subKeys) DeleteKeyTree(root, path + "\\" + sub, depth + 1);
  if (!excluded_.ExcludesInside(root, path)) return DeleteRegKey(ctx_, root, path);
  std::vector<std::string> values;
  EnumRegValues(ctx_, root, path, values, count);
  for (const std::string& value : values)
    if (!excluded_.ExcludesValue(root, path, value)) DeleteRegValue(ctx_, root, path, value);
}

}  // namespace nimbrel
