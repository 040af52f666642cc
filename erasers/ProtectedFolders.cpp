#include "erasers/ProtectedFolders.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "platform/Text.h"

namespace nimbrel {

namespace {

// Sub-folders of the Windows folder that hold the system itself, protected
// with everything in them. Temp, Logs and Prefetch are not among them, nor
// the user folders Windows 95 and 98 keep in the Windows folder.
constexpr std::string_view kWindowsSystemFolders[] = {
    "addins", "AppCompat", "AppPatch", "assembly", "Boot", "Branding", "command",
    "Containers", "CSC", "Cursors", "diagnostics", "DigitalLocker", "Downloaded Program Files",
    "Driver Cache", "ELAMBKUP", "Fonts", "Globalization", "Help", "IME",
    "ImmersiveControlPanel", "inf", "InputMethod", "Installer", "L2Schemas", "Media",
    "Microsoft.NET", "Migration", "OCR", "Panther", "Performance", "PLA", "PolicyDefinitions",
    "PrintDialog", "Provisioning", "Registration", "repair", "rescache", "Resources",
    "SchCache", "schemas", "security", "ServicePackFiles", "ServiceProfiles", "servicing",
    "Setup", "ShellComponents", "ShellExperiences", "SKB", "SoftwareDistribution", "Speech",
    "Speech_OneCore", "SysArm32", "Sysnative", "system", "system32", "SystemApps",
    "SystemResources", "SysWOW64", "Tasks", "TextInput", "twain_32", "twain_64", "Vss", "WaaS",
    "Web", "WinSxS"};

// The canonical forms of the spellings, each once.
std::vector<std::string> Canonical(Files& files, const std::vector<std::string>& spellings) {
  std::vector<std::string> out;
  for (const std::string& folder : spellings)
    if (std::string c = CanonicalUpper(files, folder);
        !c.empty() && std::find(out.begin(), out.end(), c) == out.end())
      out.push_back(std::move(c));
  return out;
}

// Each folder is asked of the system (the shell's folders) and of the
// environment, so that a variable unset or changed leaves none unprotected.
ProtectedFolderList ProtectedFolders(Context& ctx) {
  System& sys = ctx.platform.system;
  Shell& shell = ctx.platform.shell;
  const auto env = [&sys](const char* name) { return sys.Environment(name); };
  const std::string system = sys.SystemDirectory();
  // The Windows folder holds the system folder ("C:\WINDOWS\system32").
  const auto cut = system.rfind('\\');
  const std::string aboveSystem = cut != std::string::npos && cut > 2 ? system.substr(0, cut) : "";

  std::vector<std::string> windows;
  for (const std::string& folder :
       {env("WINDIR"), env("SystemRoot"), shell.SpecialFolder(kCsidlWindows), aboveSystem})
    AddFolderOnce(windows, folder);

  std::vector<std::string> wholes = windows;
  std::vector<std::string> profiles;
  for (const std::string& folder : {env("USERPROFILE"), shell.SpecialFolder(kCsidlProfile)})
    AddFolderOnce(profiles, folder);
  for (const std::string& profile : profiles) {
    AddFolderOnce(wholes, profile);
    AddFolderOnce(wholes, profile + "\\..");  // the folder of profiles
  }
  for (const std::string& folder :
       {ctx.ProgramFilesFolder, ctx.ProgramFilesX86Folder, env("ProgramFiles"),
        env("ProgramFiles(x86)"), env("ProgramW6432"), shell.SpecialFolder(kCsidlProgramFiles),
        shell.SpecialFolder(kCsidlProgramFilesX86),
        shell.KnownFolderPath(KnownFolder::ProgramFilesNative),
        shell.KnownFolderPath(KnownFolder::UserProfiles), env("ALLUSERSPROFILE"),
        env("ProgramData"), shell.SpecialFolder(kCsidlCommonAppData), env("PUBLIC"),
        shell.KnownFolderPath(KnownFolder::Public), shell.SpecialFolder(kCsidlPersonal),
        shell.SpecialFolder(kCsidlDesktopDirectory), shell.KnownFolderPath(KnownFolder::Downloads),
        shell.SpecialFolder(kCsidlMyPictures), shell.SpecialFolder(kCsidlMyMusic),
        shell.SpecialFolder(kCsidlMyVideo), env("APPDATA"), shell.SpecialFolder(kCsidlAppData),
        env("LOCALAPPDATA"), shell.SpecialFolder(kCsidlLocalAppData),
        shell.KnownFolderPath(KnownFolder::LocalAppDataLow)})
    AddFolderOnce(wholes, folder);
  // The public profile holds the shared Documents (Windows XP: "All Users").
  if (const std::string shared = shell.SpecialFolder(kCsidlCommonDocuments); !shared.empty())
    AddFolderOnce(wholes, shared + "\\..");

  std::vector<std::string> sealed;
  for (const std::string& folder :
       {system, shell.SpecialFolder(kCsidlSystem), shell.SpecialFolder(kCsidlSystemX86)})
    AddFolderOnce(sealed, folder);

  Files& files = ctx.platform.files;
  ProtectedFolderList out{Canonical(files, wholes), Canonical(files, sealed)};
  for (const std::string& windowsFolder : Canonical(files, windows))
    for (std::string_view name : kWindowsSystemFolders)
      out.sealed.push_back(EnsureTrailingBackslash(windowsFolder) + ToUpper(std::string(name)));
  return out;
}

}  // namespace

std::size_t RootLength(std::string_view p) {
  if (p.size() >= 3 && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')) &&
      p[1] == ':' && p[2] == '\\')
    return 3;
  if (p.size() < 3 || p[0] != '\\' || p[1] != '\\' || p[2] == '?' || p[2] == '.') return 0;
  const auto serverEnd = p.find('\\', 2);
  if (serverEnd == p.npos || serverEnd == 2) return 0;
  const auto shareEnd = p.find('\\', serverEnd + 1);
  if (shareEnd == serverEnd + 1) return 0;
  return shareEnd == p.npos ? p.size() : shareEnd + 1;
}

bool IsErasableFilePath(Context& ctx, const std::string& path) {
  const std::string p = WithBackslashes(path);
  const std::size_t root = RootLength(p);
  if (root == 0 || p.size() <= root || p.back() == '\\') return false;
  return !HasWildcards(FileNameOf(p)) || !ErasableFolder(ctx, FolderPartOf(p)).empty();
}

std::string CanonicalUpper(Files& files, const std::string& path) {
  return path.empty() ? std::string() : ToUpper(files.CanonicalPath(path));
}

bool IsOrBelowLink(Files& files, std::string_view folder) {
  std::string f = WithoutTrailingBackslash(WithBackslashes(folder));
  const std::size_t root = RootLength(EnsureTrailingBackslash(f));
  for (; f.size() > root; f = WithoutTrailingBackslash(ParentOf(f)))
    if (files.IsLink(f)) return true;
  return false;
}

bool IsSafeBaseFolder(std::string_view folder) {
  const std::string p = WithBackslashes(folder);
  const std::size_t root = RootLength(p);
  if (root == 0) return false;
  int parts = 0;
  std::size_t start = root;
  while (start <= p.size()) {
    const std::size_t end = std::min(p.find('\\', start), p.size());
    std::string_view part(p.data() + start, end - start);
    if (!part.empty()) {
      if (part.find_first_of("*?:<>|\"") != part.npos) return false;
      // Windows drops trailing dots and blanks: ".", ".." and ". " name no folder.
      const auto kept = part.find_last_not_of(". ");
      if (kept == part.npos) return false;
      ++parts;
    }
    start = end + 1;
  }
  return parts > 0;
}

ProtectedFolderList TakeProtectedFolders(Context& ctx) { return ProtectedFolders(ctx); }

std::string ErasableFolder(Context& ctx, const std::string& folder) {
  if (!IsSafeBaseFolder(folder)) return {};
  Files& files = ctx.platform.files;
  if (IsOrBelowLink(files, folder)) return {};
  const std::string canonical = files.CanonicalPath(folder);
  const std::string upper = ToUpper(canonical);
  // The system may still resolve it to a root (a link to one, a drive's subst).
  const std::size_t root = RootLength(EnsureTrailingBackslash(upper));
  if (upper.empty() || root == 0 || root >= upper.size()) return {};
  std::optional<ProtectedFolderList> taken;
  const ProtectedFolderList& kept =
      ctx.RunProtectedFolders ? *ctx.RunProtectedFolders : taken.emplace(ProtectedFolders(ctx));
  for (const std::string& whole : kept.wholes)
    if (IsAtOrAbove(upper, whole)) return {};
  // Nothing an eraser is aimed at lives in the system folders.
  for (const std::string& sealed : kept.sealed)
    if (IsAtOrAbove(upper, sealed) || IsAtOrAbove(sealed, upper)) return {};
  return canonical;
}

void LeftIfRefused(Context& ctx, const std::string& folder) {
  const std::string p = WithBackslashes(folder);
  // Nothing was aimed at: an unset variable, a missing registry value.
  if (RootLength(p) == 0 || !ErasableFolder(ctx, p).empty()) return;
  Files& files = ctx.platform.files;
  std::string canonical = files.CanonicalPath(p);
  if (!canonical.empty() && canonical.back() != '\\') canonical += '\\';
  const char* reason = "refused: unsafe path";
  if (!canonical.empty() && RootLength(canonical) >= canonical.size())
    reason = "refused: drive root";
  else if (files.Attributes(canonical.empty() ? p : canonical) == kInvalidAttributes)
    return;  // nothing there to leave
  else if (IsOrBelowLink(files, p))
    reason = "refused: link";
  else if (!canonical.empty() && ErasableFolder(ctx, canonical).empty())
    reason = "refused: protected folder";
  ctx.Left(reason, folder);
}

}  // namespace nimbrel
