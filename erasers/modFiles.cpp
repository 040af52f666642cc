#include "erasers/modFiles.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "erasers/ShredFiles.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

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

}  // namespace

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

void EraseFilesInTree(Context& ctx, const std::string& folder, const std::string& pattern,
                      const std::vector<std::string>& notEntered, const SpareFile& spare) {
  Files& files = ctx.platform.files;
  WalkPlan plan{pattern};
  plan.tellLeft = true;
  plan.notEntered = notEntered;
  WalkFolder(ctx, folder, plan, [&](const WalkedFile& found) {
    if (spare && !(found.entry.attributes & kAttrDirectory) && spare(found.path))
      return WalkOn::Next;
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

namespace {

// What erasing trees quietly will remove: the files found, then the folders,
// each after the folders below it.
struct TreePlan {
  struct File {
    std::string path;
    FileEntry entry;
    std::size_t tree;  // the tree it belongs to
  };
  std::vector<File> files;
  std::vector<std::pair<std::string, std::size_t>> folders;
  std::vector<std::uint64_t> bytes;  // by tree, of the files gone
};

// Lists the folder's files and sub-folders into the plan, each folder entered
// only as itself below `base`; links inside stay, told as left.
void PlanTree(Context& ctx, const std::string& folder, std::uint32_t attributes,
              const std::string& base, std::size_t tree, TreePlan& plan) {
  Files& files = ctx.platform.files;
  if (!MayEnter(files, folder, base)) return LeftNotEntered(ctx, folder);
  MakeWritable(files, folder, attributes);
  const std::vector<FileEntry> listing = files.Find(folder + "\\*");
  LeftIfUnlisted(ctx, listing, folder);
  for (const FileEntry& entry : listing) {
    if (IsDots(entry.name)) continue;
    const std::string full = folder + "\\" + entry.name;
    if (entry.attributes & kAttrReparsePoint) {
      ctx.Left("refused: link", full);
    } else if (entry.attributes & kAttrDirectory) {
      PlanTree(ctx, full, entry.attributes, base, tree, plan);
    } else {
      MakeWritable(files, full, entry.attributes);
      plan.files.push_back({full, entry, tree});
    }
  }
  plan.folders.emplace_back(folder, tree);
}

// Erases the plan's files, one after the other with no call between them
// that would wait for the ones in flight (each is checked through its own
// handle to lie below `base`), then removes its folders.
void RunTreePlan(Context& ctx, const std::string& base, TreePlan& plan) {
  Files& files = ctx.platform.files;
  for (const TreePlan::File& f : plan.files) {
    const Outcome outcome = EraseFoundFile(ctx, f.path, f.entry, &base);
    if (outcome == Outcome::Gone) plan.bytes[f.tree] += f.entry.size;
    if (outcome == Outcome::Link) ctx.Left("refused: link", f.path);
    if (outcome == Outcome::Elsewhere) LeftNotEntered(ctx, WithoutTrailingBackslash(ParentOf(f.path)));
    if (outcome == Outcome::Left || outcome == Outcome::NotAFile)
      LeftIfThere(ctx, f.path, files.LastFailure());
    ctx.DoEvents();
  }
  for (const auto& [folder, tree] : plan.folders) {
    if (files.RemoveFolder(folder)) continue;
    // A folder that still holds what was left in it is not told as well.
    const FileFailure failure = files.LastFailure();
    const std::vector<FileEntry> still = files.Find(folder + "\\*");
    if (std::all_of(still.begin(), still.end(), [](const FileEntry& e) { return IsDots(e.name); }))
      LeftIfThere(ctx, folder, failure);
  }
}

}  // namespace

std::map<std::string, std::uint64_t> EraseSubFoldersQuietly(
    Context& ctx, const std::string& parent, const std::function<bool(const std::string&)>& erase) {
  std::map<std::string, std::uint64_t> gone;
  Files& files = ctx.platform.files;
  const std::string folder = WithoutTrailingBackslash(parent);
  const std::uint32_t attributes = files.Attributes(folder);
  if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory)) return gone;
  const std::string base = ToUpper(ErasableFolder(ctx, folder));
  if (base.empty()) {
    LeftIfRefused(ctx, folder);
    return gone;
  }
  TreePlan plan;
  std::vector<std::string> names;
  for (const FileEntry& entry : files.Find(folder + "\\*")) {
    if (IsDots(entry.name) || !(entry.attributes & kAttrDirectory) ||
        (entry.attributes & kAttrReparsePoint) || !erase(entry.name))
      continue;
    names.push_back(entry.name);
    plan.bytes.push_back(0);
    PlanTree(ctx, folder + "\\" + entry.name, entry.attributes, base, names.size() - 1, plan);
    ctx.DoEvents();
  }
  RunTreePlan(ctx, base, plan);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (files.Attributes(folder + "\\" + names[i]) == kInvalidAttributes) {
      ctx.CountFileDeleted();
      gone[names[i]] = plan.bytes[i];
    }
  return gone;
}

std::uint64_t EraseTreeQuietly(Context& ctx, const std::string& folder) {
  Files& files = ctx.platform.files;
  const std::string path = WithoutTrailingBackslash(folder);
  const std::uint32_t attributes = files.Attributes(path);
  if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory)) return 0;
  const std::string base = ToUpper(ErasableFolder(ctx, path));
  if (base.empty()) {
    LeftIfRefused(ctx, path);
    return 0;
  }
  TreePlan plan;
  plan.bytes.push_back(0);
  PlanTree(ctx, path, attributes, base, 0, plan);
  RunTreePlan(ctx, base, plan);
  if (files.Attributes(path) == kInvalidAttributes) ctx.CountFileDeleted();
  return plan.bytes[0];
}

void DeleteAtNextStart(Files& files, const std::string& path) {
  if (!files.IsLink(path)) files.DeleteAtReboot(path);
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
  OverwriteRecycleBin(ctx);
  ctx.platform.shell.EmptyRecycleBin(ctx.Report().Owner());
}

}  // namespace nimbrel
