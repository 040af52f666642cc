#include "erasers/modFiles.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "platform/Text.h"

namespace nimbrel {

namespace {

// The pattern goes out in pieces of this many blocks (1 MiB): writing block by
// block is many times slower, and the bytes on disk are the same.
constexpr std::uint64_t kBlocksPerWrite = 512;
constexpr std::uint64_t kPieceBytes = kBlocksPerWrite * kOverwriteBlockSize;

const std::string& Pattern(char fill) {
  static const std::string a(kPieceBytes, kBlockA);
  static const std::string b(kPieceBytes, kBlockB);
  return fill == kBlockA ? a : b;
}

// Length of the drive or share root ("C:\", "\\server\share\"); 0 when the
// path is not absolute.
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

// An absolute file path; with wildcards in its name only inside a folder an
// eraser may work in.
bool IsErasableFilePath(Context& ctx, const std::string& path) {
  const std::string p = WithBackslashes(path);
  const std::size_t root = RootLength(p);
  if (root == 0 || p.size() <= root || p.back() == '\\') return false;
  return !HasWildcards(FileNameOf(p)) || !ErasableFolder(ctx, FolderPartOf(p)).empty();
}

std::string CanonicalUpper(Files& files, const std::string& path) {
  return path.empty() ? std::string() : ToUpper(files.CanonicalPath(path));
}

// Whether the folder, or a folder above it below its drive or share root, is
// a link: what lies below one is elsewhere than its spelling says.
bool IsOrBelowLink(Files& files, std::string_view folder) {
  std::string f = WithoutTrailingBackslash(WithBackslashes(folder));
  const std::size_t root = RootLength(EnsureTrailingBackslash(f));
  for (; f.size() > root; f = WithoutTrailingBackslash(ParentOf(f)))
    if (files.IsLink(f)) return true;
  return false;
}

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

// The existence test: an ordinary or hidden file, not a folder or system file.
bool IsPlainOrHiddenFile(std::uint32_t attributes) {
  return !(attributes & (kAttrDirectory | kAttrSystem));
}

// A file that an ordinary find (no hidden or system files) reports.
bool IsOrdinaryFile(std::uint32_t attributes) {
  return !(attributes & (kAttrDirectory | kAttrHidden | kAttrSystem));
}

bool IsLinkEntry(Files& files, const std::string& path, std::uint32_t attributes) {
  return (attributes & kAttrReparsePoint) || files.IsLink(path);
}

const char* ReasonOf(FileFailure failure) {
  switch (failure) {
    case FileFailure::InUse: return "in use";
    case FileFailure::AccessDenied: return "access denied";
    case FileFailure::None:
    case FileFailure::Other: break;
  }
  return "error";
}

// A folder a walk or folder erase would not enter, told as left when it is
// still there: one it may not list (where the system cannot tell a link
// either), or else a link or one that leads elsewhere since it was listed.
void LeftNotEntered(Context& ctx, const std::string& folder) {
  Files& files = ctx.platform.files;
  const std::uint32_t attributes = files.Attributes(folder);
  if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory)) return;
  if (!(attributes & kAttrReparsePoint) && files.Find(folder + "\\*").empty() &&
      files.LastFailure() != FileFailure::None)
    return ctx.Left(ReasonOf(files.LastFailure()), folder);
  ctx.Left("refused: link", folder);
}

// A folder that could not be listed (its Find found nothing and failed).
void LeftIfUnlisted(Context& ctx, const std::vector<FileEntry>& listing, const std::string& folder) {
  if (!listing.empty()) return;
  const FileFailure failure = ctx.platform.files.LastFailure();
  if (failure != FileFailure::None) ctx.Left(ReasonOf(failure), folder);
}

// The extra passes asked for; a text that is no number asks for none.
double ExtraPasses(Context& ctx) {
  const auto n = AsNumber(ctx.settings.ReadSetting(kOptions, "cmboverwriteTracksFiles", "0"));
  return std::min(n.value_or(0.0), static_cast<double>(kMaxExtraPasses));
}

// The pieces of one pass over a file of `length` bytes: every 2048-byte
// stretch, plus one past the end, in pieces of at most 1 MiB, each to get
// block A and then block B at the same place. `piece(position, size)` returns
// false to stop the pass. Returns the length after the pass.
template <class Piece>
std::uint64_t ForEachPiece(std::uint64_t length, Piece&& piece) {
  std::uint64_t blocks = length / kOverwriteBlockSize + 1;
  const std::uint64_t end = blocks * kOverwriteBlockSize;
  for (std::uint64_t position = 0; blocks > 0;) {
    const std::uint64_t n = std::min(blocks, kBlocksPerWrite);
    const auto size = static_cast<std::size_t>(n * kOverwriteBlockSize);
    if (!piece(position, size)) break;
    position += size;
    blocks -= n;
  }
  return std::max(length, end);
}

// One pass through the open file, written here with a yield between pieces.
// None follows the last piece: the program cannot end (the window closed in
// a yield) with a pass complete before the caller flushes the file or hands
// it over, when its delete starts to hold. Returns the length afterwards.
// When the file cannot grow (a full disk), its own bytes are still all
// overwritten and its length stays.
std::uint64_t OverwritePass(Context& ctx, FileHandle file, std::uint64_t length) {
  Files& files = ctx.platform.files;
  const auto overwrite = [&files, file](std::uint64_t at, std::size_t bytes) {
    return files.Seek(file, at) && files.Write(file, Pattern(kBlockA).data(), bytes) &&
           files.Seek(file, at) && files.Write(file, Pattern(kBlockB).data(), bytes);
  };
  bool grew = true;
  const std::uint64_t after = ForEachPiece(length, [&](std::uint64_t position, std::size_t size) {
    if (position > 0) ctx.DoEvents();
    grew = overwrite(position, size);
    // Within the file's length nothing needs new room: write just that.
    if (!grew && position < length)
      overwrite(position, static_cast<std::size_t>(std::min<std::uint64_t>(size, length - position)));
    return grew;
  });
  return grew ? after : length;
}

// One pass as data, for the platform to write; `length` becomes the length
// after the pass. A write that finds no room to grow the file falls back to
// the part inside the file's `original` length, as OverwritePass does.
ErasePass PassWrites(std::uint64_t& length, std::uint64_t original) {
  ErasePass pass;
  length = ForEachPiece(length, [&](std::uint64_t position, std::size_t size) {
    const auto within = static_cast<std::size_t>(
        position < original ? std::min<std::uint64_t>(size, original - position) : 0);
    pass.push_back({position, Pattern(kBlockA).data(), size, within});
    pass.push_back({position, Pattern(kBlockB).data(), size, within});
    return true;
  });
  return pass;
}

// The general delete: every ordinary file matching the path (wildcards
// allowed) is deleted, not overwritten, and each deleted counts; links are
// left alone.
void DeleteMatching(Context& ctx, const std::string& path) {
  if (!IsErasableFilePath(ctx, path)) return;
  Files& files = ctx.platform.files;
  const std::string folder = FolderPartOf(WithBackslashes(path));
  for (const FileEntry& entry : files.Find(path)) {
    if (IsDots(entry.name) || !IsOrdinaryFile(entry.attributes)) continue;
    const std::string full = folder + entry.name;
    if (IsLinkEntry(files, full, entry.attributes))
      ctx.Left("refused: link", full);
    else if (files.Delete(full))
      ctx.CountFileDeleted();
    else
      LeftIfThere(ctx, full, files.LastFailure());
  }
}

// Clears the read-only attribute so that the item can be removed.
void MakeWritable(Files& files, const std::string& path, std::uint32_t attributes) {
  if (!(attributes & kAttrReadOnly)) return;
  const std::uint32_t kept = attributes & (kAttrHidden | kAttrSystem | kAttrArchive);
  files.SetAttributes(path, kept ? kept : kAttrNormal);
}

// A folder is entered only as itself: an existing folder, no link, and still
// where the system puts it under `base` (canonical, upper-case) at this moment.
bool MayEnter(Files& files, const std::string& folder, const std::string& base) {
  const std::uint32_t attributes = files.Attributes(folder);
  if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory) ||
      (attributes & kAttrReparsePoint) || files.IsLink(folder))
    return false;
  return IsAtOrAbove(base, CanonicalUpper(files, folder));
}

// Whether a file of a walk with base `base` is still there: the open file
// lies below the base, or, not opened, its folder may still be entered.
bool Inside(Files& files, const std::string& path, FileHandle handle, const std::string& base) {
  if (handle) return files.IsUnder(handle, base);
  return MayEnter(files, WithoutTrailingBackslash(ParentOf(path)), base);
}

// Removes the folder's content and then the folder; links inside stay (and
// with them the folders that hold them). `base` is where the removal started.
void RemoveTree(Context& ctx, const std::string& folder, std::uint32_t attributes,
                const std::string& base) {
  Files& files = ctx.platform.files;
  if (!MayEnter(files, folder, base)) return LeftNotEntered(ctx, folder);
  MakeWritable(files, folder, attributes);
  const std::vector<FileEntry> listing = files.Find(folder + "\\*");
  LeftIfUnlisted(ctx, listing, folder);
  for (const FileEntry& entry : listing) {
    if (IsDots(entry.name)) continue;
    const std::string full = folder + "\\" + entry.name;
    if (entry.attributes & kAttrReparsePoint) {
      // Left alone: removing a link can remove its target instead.
      ctx.Left("refused: link", full);
    } else if (entry.attributes & kAttrDirectory) {
      RemoveTree(ctx, full, entry.attributes, base);
    } else if (files.IsLink(full)) {
      ctx.Left("refused: link", full);
    } else {
      MakeWritable(files, full, entry.attributes);
      if (!files.Delete(full)) LeftIfThere(ctx, full, files.LastFailure());
    }
    ctx.DoEvents();
  }
  if (files.RemoveFolder(folder)) return;
  // A folder that still holds what was left in it is not told as well.
  const FileFailure failure = files.LastFailure();
  const std::vector<FileEntry> still = files.Find(folder + "\\*");
  if (std::all_of(still.begin(), still.end(), [](const FileEntry& e) { return IsDots(e.name); }))
    LeftIfThere(ctx, folder, failure);
}

// The pass loop: passes follow the settings, re-read after each. Every pass
// reaches the medium before the next; closing the file flushes the last one.
void RunPasses(Context& ctx, FileHandle file, std::uint64_t length) {
  for (int pass = 1;; ++pass) {
    length = OverwritePass(ctx, file, length);
    if (!ctx.OptionSelected("chkenablesecureerasing")) break;
    if (ExtraPasses(ctx) < pass) break;
    ctx.platform.files.Flush(file);
  }
}

// The passes of a file handed over whole, decided before its first byte by
// reading the settings as the pass loop reads them after each pass (secure
// erasing on? extra passes at least the passes made so far?). That is the
// loop's own answer: nothing between the passes of such a file lets the user
// interface run, so nothing can change the settings in between.
std::vector<ErasePass> PlanPasses(Context& ctx, std::uint64_t length) {
  int passes = 1;
  if (ctx.OptionSelected("chkenablesecureerasing")) {
    const double extra = ExtraPasses(ctx);  // at most kMaxExtraPasses
    while (!(extra < passes)) ++passes;
  }
  std::vector<ErasePass> out(static_cast<std::size_t>(passes));
  const std::uint64_t original = length;
  for (ErasePass& pass : out) pass = PassWrites(length, original);
  return out;
}

enum class Outcome { NotAFile, Link, Gone, Left, Elsewhere };

// SecureEraseFile once the file has been found: `path` is its folder and its
// name as listed, `entry` its listing. The file is opened once; the passes and
// the delete go through that handle (every open is a server round trip under
// Wine). A file that cannot be opened is not overwritten, only deleted. In a
// walk, `within` is the walk's base (canonical, upper-case): a file the system
// finds elsewhere (a folder on its way swapped for a link since it was listed)
// is closed untouched.
Outcome EraseFoundFile(Context& ctx, const std::string& path, const FileEntry& entry,
                       const std::string* within = nullptr) {
  // A link is left alone: writing or deleting through it would reach its target.
  if (entry.attributes & kAttrReparsePoint) return Outcome::Link;
  if (!IsPlainOrHiddenFile(entry.attributes)) return Outcome::NotAFile;
  Files& files = ctx.platform.files;
  const ErasableFile file = files.OpenForErase(path);
  if (file.link) return Outcome::Link;
  if (within && !Inside(files, path, file.handle, *within)) {
    if (file.handle) files.Close(file.handle);
    return Outcome::Elsewhere;
  }
  // Counted once it is deleted: a file that stays (in use, read-only) is no
  // erased file, however often it is tried.
  const auto counted = [&ctx, &entry] {
    ctx.CountFileDeleted();
    ctx.AddBytesErased(entry.size);
  };
  if (!file.handle) {
    if (!files.Delete(path)) return Outcome::Left;
    counted();
    return Outcome::Gone;
  }
  // Marked for deletion first: a file that cannot be deleted is not
  // overwritten either, so it is never left overwritten under its name.
  const bool deleted = files.DeleteOnClose(file.handle);
  if (deleted) counted();
  // A file smaller than one piece is handed over whole: the platform writes
  // and flushes its passes (on closing workers under Win32) while the walk
  // goes on, and the disk commits the flushes of many files together. A
  // larger one is written here, with a yield after each piece and the
  // settings re-read after each pass, so the window stays responsive.
  std::vector<ErasePass> passes;
  // Data shared with another name (a hard link) is not overwritten.
  if (deleted && file.links == 1) {
    if (entry.size < kPieceBytes)
      passes = PlanPasses(ctx, entry.size);
    else
      RunPasses(ctx, file.handle, entry.size);
  }
  files.OverwriteAndClose(file.handle, std::move(passes));
  return deleted ? Outcome::Gone : Outcome::Left;
}

bool IsKeptInTree(const std::string& path) {
  const std::string p = Trim(path);
  return FindNoCase(p, "index.dat") != std::string::npos ||
         FindNoCase(p, "SKINS") != std::string::npos;
}

// `folder` ends in "\"; `base` is the walk's canonical base, upper-case.
void Walk(Context& ctx, const std::string& folder, const WalkPlan& plan, const std::string& base,
          const WalkVisitor& visit) {
  Files& files = ctx.platform.files;
  // Tested as it is entered: it may have been swapped for a link since it was listed.
  const std::string self = WithoutTrailingBackslash(folder);
  if (!MayEnter(files, self, base)) {
    if (plan.tellLeft) LeftNotEntered(ctx, self);
    return;
  }
  // "*" and "*.*" match every name: the folder is read once (each read looks
  // at every entry's attributes on the disk).
  const bool everything = plan.pattern == "*" || plan.pattern == "*.*";
  std::vector<FileEntry> listing;
  if (plan.deep || everything) listing = files.Find(folder + "*");
  if (plan.tellLeft) LeftIfUnlisted(ctx, listing, self);
  // A folder the plan leaves alone is neither visited nor entered.
  const auto leftAlone = [&](const FileEntry& entry) {
    return (entry.attributes & kAttrDirectory) &&
           std::any_of(plan.notEntered.begin(), plan.notEntered.end(),
                       [&](const std::string& name) { return EqualsNoCase(name, entry.name); });
  };
  std::vector<std::string> subFolders;
  if (plan.deep) {
    for (const FileEntry& entry : listing) {
      if (IsDots(entry.name)) continue;
      // A linked folder is never entered: it leads out of the tree.
      if ((entry.attributes & kAttrDirectory) && !(entry.attributes & kAttrReparsePoint) &&
          !leftAlone(entry))
        subFolders.push_back(entry.name);
      ctx.DoEvents();
    }
  }
  const auto walkSubFolders = [&] {
    for (const std::string& sub : subFolders) {
      Walk(ctx, folder + sub + "\\", plan, base, visit);
      ctx.DoEvents();
    }
  };
  if (plan.subFoldersFirst) walkSubFolders();
  for (const FileEntry& entry : everything ? listing : files.Find(folder + plan.pattern)) {
    if (IsDots(entry.name) || leftAlone(entry)) continue;
    if (visit(WalkedFile{folder + entry.name, entry, base}) == WalkOn::LeaveFolder) return;
    ctx.DoEvents();
  }
  if (!plan.subFoldersFirst) walkSubFolders();
}

}  // namespace

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

void LeftIfThere(Context& ctx, const std::string& path, FileFailure failure) {
  if (ctx.platform.files.Attributes(path) != kInvalidAttributes) ctx.Left(ReasonOf(failure), path);
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

void SecureEraseFile(Context& ctx, const std::string& path) {
  if (!IsErasableFilePath(ctx, path)) {
    // A pattern in a folder no eraser may work in: told when it matches a file.
    const std::string p = WithBackslashes(path);
    const std::string folder = FolderPartOf(p);
    if (RootLength(p) == 0 || !HasWildcards(FileNameOf(p))) return;
    const std::vector<FileEntry> matches = ctx.platform.files.Find(p);
    if (std::any_of(matches.begin(), matches.end(),
                    [](const FileEntry& e) { return IsOrdinaryFile(e.attributes); }))
      LeftIfRefused(ctx, folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder);
    return;
  }
  const std::vector<FileEntry> found = ctx.platform.files.Find(path);
  const auto file = std::find_if(found.begin(), found.end(), [](const FileEntry& entry) {
    return !IsDots(entry.name) && IsPlainOrHiddenFile(entry.attributes);
  });
  if (file == found.end()) return;
  if (HasWildcards(FileNameOf(path))) {
    // A pattern is never opened: the general delete removes its matches.
    DeleteMatching(ctx, path);
    return;
  }
  const std::string named = FolderPartOf(WithBackslashes(path)) + file->name;
  const Outcome outcome = EraseFoundFile(ctx, named, *file);
  if (outcome == Outcome::Link) ctx.Left("refused: link", named);
  if (outcome != Outcome::Left) return;
  // Without wildcards, the general delete finds nothing once the first delete worked.
  const FileFailure failure = ctx.platform.files.LastFailure();
  DeleteMatching(ctx, path);
  LeftIfThere(ctx, named, failure);
}

void EraseFile(Context& ctx, const std::string& path) {
  SecureEraseFile(ctx, path);
  DeleteMatching(ctx, path);
}

bool EraseFolder(Context& ctx, const std::string& path) {
  const std::string folder = WithoutTrailingBackslash(path);
  const std::string base = ToUpper(ErasableFolder(ctx, folder));
  if (base.empty()) {
    LeftIfRefused(ctx, path);
    return false;
  }
  Files& files = ctx.platform.files;
  const std::uint32_t attributes = files.Attributes(folder);
  if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory)) return false;
  RemoveTree(ctx, folder, attributes, base);
  if (Exists(files, folder)) return false;
  ctx.CountFileDeleted();
  return true;
}

bool WalkFolder(Context& ctx, const std::string& folder, const WalkPlan& plan,
                const WalkVisitor& visit) {
  if (plan.pattern.empty() || plan.pattern.find_first_of("\\/") != std::string::npos)
    return false;
  // The walk asks about each folder by its own name: "link\" would be
  // answered by the target.
  const std::string base = ToUpper(ErasableFolder(ctx, folder));
  if (base.empty()) {
    if (plan.tellLeft) LeftIfRefused(ctx, folder);
    return false;
  }
  Walk(ctx, EnsureTrailingBackslash(folder), plan, base, visit);
  return true;
}

bool StillInWalk(Context& ctx, const WalkedFile& file, FileHandle handle) {
  return Inside(ctx.platform.files, file.path, handle, file.base);
}

void EraseFilesInTree(Context& ctx, const std::string& folder, const std::string& pattern,
                      const std::vector<std::string>& notEntered) {
  Files& files = ctx.platform.files;
  WalkPlan plan{pattern};
  plan.tellLeft = true;
  plan.notEntered = notEntered;
  WalkFolder(ctx, folder, plan, [&](const WalkedFile& found) {
    ctx.AddProgressLine("  " + found.path);
    if (IsKeptInTree(found.path) || !IsErasableFilePath(ctx, found.path)) return WalkOn::Next;
    const Outcome outcome = EraseFoundFile(ctx, found.path, found.entry, &found.base);
    // The folder leads elsewhere now: the walk leaves it.
    if (outcome == Outcome::Elsewhere) {
      LeftNotEntered(ctx, WithoutTrailingBackslash(ParentOf(found.path)));
      return WalkOn::LeaveFolder;
    }
    if (outcome == Outcome::Link) ctx.Left("refused: link", found.path);
    if (outcome == Outcome::Left) {
      const FileFailure failure = files.LastFailure();
      const std::uint32_t left = files.Attributes(found.path);
      // EraseFile tells what it leaves; a hidden file is not tried again.
      if (left != kInvalidAttributes && IsOrdinaryFile(left))
        EraseFile(ctx, found.path);
      else
        LeftIfThere(ctx, found.path, failure);
    }
    return WalkOn::Next;
  });
}

void AddToErasedSize(Context& ctx, const std::string& path) {
  Files& files = ctx.platform.files;
  std::uint64_t size = 0;
  if (!HasWildcards(path)) {
    const std::uint32_t attributes = files.Attributes(path);
    if (attributes != kInvalidAttributes && !(attributes & kAttrDirectory))
      size = files.Size(path).value_or(0);
  }
  ctx.AddBytesErased(size);
}

void EmptyRecycleBin(Context& ctx) {
  ctx.platform.shell.EmptyRecycleBin(ctx.Report().Owner());
}

}  // namespace nimbrel
