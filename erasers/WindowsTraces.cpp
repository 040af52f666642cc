#include "erasers/WindowsTraces.h"

#include <string>
#include <vector>

#include "erasers/modFiles.h"
#include "erasers/modOSVersion.h"
#include "erasers/modRegistry.h"
#include "platform/Shell.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

constexpr RegRoot kHkcu = RegRoot::CurrentUser;
const std::string kExplorer = kExplorerKey;
const std::string kLocalShell = "Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell";

// A key's places: on Windows XP (and 2000), or from Vista on.
struct Place {
  std::string key;
  bool xp, vista;
};

bool Applies(Context& ctx, const Place& place) {
  return WindowsAtLeast(ctx, 6, 0) ? place.vista : place.xp;
}

// Deletes every value of the key, then of each of its sub-keys when
// `subKeys`; a progress line per entry, `prefix` before its name, the
// lists' order values aside. `line` turns a value's name into its line.
void EraseValues(Context& ctx, const std::string& key, bool subKeys, const std::string& prefix,
                 std::string (*line)(const std::string&), const std::string& spared = {}) {
  std::vector<std::string> names;
  int count = 0;
  EnumRegValues(ctx, kHkcu, key, names, count);
  for (const std::string& name : names) {
    if (!spared.empty() && EqualsNoCase(name, spared)) continue;
    if (!EqualsNoCase(name, "MRUList") && !EqualsNoCase(name, "MRUListEx"))
      ctx.AddProgressLine("  " + prefix + line(name));
    DeleteRegValue(ctx, kHkcu, key, name);
    ctx.DoEvents();
  }
  if (!subKeys) return;
  std::vector<std::string> subs;
  count = 0;
  EnumRegSubKeys(ctx, kHkcu, key, subs, count);
  for (const std::string& sub : subs) EraseValues(ctx, key + "\\" + sub, false, prefix + sub + "\\", line);
}

std::string AsIs(const std::string& name) { return name; }

// UserAssist names its values in ROT13.
std::string Rot13(const std::string& name) {
  std::string out = name;
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>('a' + (c - 'a' + 13) % 26);
    if (c >= 'A' && c <= 'Z') c = static_cast<char>('A' + (c - 'A' + 13) % 26);
  }
  return out;
}

std::string LocalAppData(Context& ctx) { return ctx.platform.shell.SpecialFolder(kCsidlLocalAppData); }

// Removes each report folder in `folder` whole, a line each, and any file
// lying there.
void EraseReports(Context& ctx, const std::string& folder) {
  for (const std::string& report : SubFolders(ctx, folder)) {
    ctx.AddProgressLine("  " + report);
    EraseFolder(ctx, report);
    ctx.DoEvents();
  }
  EraseFilesInTree(ctx, folder, "*.*");
}

}  // namespace

void EraseExplorerHistory(Context& ctx) {
  const std::string dialogs = kExplorer + "\\ComDlg32\\";
  const Place lists[] = {
      {kExplorer + "\\WordWheelQuery", false, true},
      {kExplorer + "\\TypedPaths", false, true},
      {dialogs + "OpenSavePidlMRU", false, true},
      {dialogs + "LastVisitedPidlMRU", false, true},
      {dialogs + "CIDSizeMRU", false, true},
      {dialogs + "OpenSaveMRU", true, false},
      {dialogs + "LastVisitedMRU", true, false},
      {kExplorer + "\\Map Network Drive MRU", true, true},
  };
  for (const Place& list : lists)
    if (Applies(ctx, list)) EraseValues(ctx, list.key, true, "", AsIs);
}

void EraseProgramUsage(Context& ctx) {
  // Windows XP and Vista count under the first two, Windows 7 and later under
  // the others.
  constexpr const char* kUserAssist[] = {
      "{75048700-EF1F-11D0-9888-006097DEACF9}", "{5E6AB780-7743-11CF-A12B-00AA004AE837}",
      "{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}", "{F4E57C4B-2036-45F0-A9AB-443BCFE33D9F}"};
  for (const char* guid : kUserAssist)
    EraseValues(ctx, kExplorer + "\\UserAssist\\" + guid + "\\Count", false, "", Rot13);
  const Place caches[] = {{"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", true, false},
                          {kLocalShell + "\\MuiCache", false, true}};
  for (const Place& cache : caches)
    if (Applies(ctx, cache)) EraseValues(ctx, cache.key, false, "", AsIs, "LangID");
}

void EraseThumbnailCache(Context& ctx) {
  if (!WindowsAtLeast(ctx, 6, 0)) return;
  Files& files = ctx.platform.files;
  const SpareFile held = [&](const std::string& path) {
    if (!files.HeldOpen(path)) return false;
    ctx.Left("in use", path);
    DeleteAtNextStart(files, path);
    return true;
  };
  EraseFilesInTree(ctx, LocalAppData(ctx) + "\\Microsoft\\Windows\\Explorer", "thumbcache_*.db", {},
                   held);
}

void EraseErrorReports(Context& ctx) {
  Shell& shell = ctx.platform.shell;
  const std::string user = LocalAppData(ctx), machine = shell.SpecialFolder(kCsidlCommonAppData),
                    windows = shell.SpecialFolder(kCsidlWindows);
  if (WindowsAtLeast(ctx, 6, 0)) {
    for (const std::string& base : {user, machine})
      for (const char* kind : {"ReportArchive", "ReportQueue"})
        EraseReports(ctx, base + "\\Microsoft\\Windows\\WER\\" + kind);
    EraseFilesInTree(ctx, user + "\\CrashDumps", "*.dmp");
  } else {
    EraseFilesInTree(ctx, user + "\\PCHealth\\ErrorRep", "*.*");
    EraseFilesInTree(ctx, windows + "\\PCHealth\\ErrorRep", "*.*");
    for (const char* name : {"user.dmp", "drwtsn32.log"})
      EraseFilesInTree(ctx, machine + "\\Microsoft\\Dr Watson", name);
  }
  EraseFilesInTree(ctx, windows + "\\Minidump", "*.dmp");
  if (!windows.empty() && Exists(ctx.platform.files, windows + "\\MEMORY.DMP")) {
    ctx.AddProgressLine("  " + windows + "\\MEMORY.DMP");
    EraseFile(ctx, windows + "\\MEMORY.DMP");
  }
}

void EraseFolderViews(Context& ctx) {
  const Place shells[] = {{"Software\\Microsoft\\Windows\\Shell", true, true},
                          {"Software\\Microsoft\\Windows\\ShellNoRoam", true, false},
                          {kLocalShell, false, true}};
  for (const Place& shell : shells) {
    if (!Applies(ctx, shell)) continue;
    for (const char* key : {"\\BagMRU", "\\Bags"}) DeleteRegTree(ctx, kHkcu, shell.key + key);
  }
}

}  // namespace nimbrel
