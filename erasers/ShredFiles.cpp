#include "erasers/ShredFiles.h"

#include <algorithm>
#include <random>

#include "erasers/FolderWalk.h"
#include "erasers/ProtectedFolders.h"
#include "erasers/SecureOverwrite.h"
#include "erasers/modFiles.h"
#include "platform/Path.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

// Random names are as long as the file's own, within these bounds.
constexpr std::size_t kShortestName = 8, kLongestName = 32;

bool IsDriveRoot(const std::string& path) {
  const std::string p = EnsureTrailingBackslash(path);
  return RootLength(p) >= p.size();
}

// A chosen folder and everything in it, each folder after what it holds.
void PlanFolder(Context& ctx, const std::string& folder, ShredPlan& plan) {
  Files& files = ctx.platform.files;
  std::vector<std::string> folders;
  WalkPlan walk;
  walk.tellLeft = true;
  WalkFolder(ctx, folder, walk, [&](const WalkedFile& found) {
    const FileEntry& e = found.entry;
    if ((e.attributes & kAttrReparsePoint) ||
        (!(e.attributes & kAttrDirectory) && files.IsLink(found.path))) {
      plan.items.push_back({ShredKind::Link, found.path, 0, found.base});
    } else if (e.attributes & kAttrDirectory) {
      folders.push_back(found.path);
    } else {
      plan.items.push_back({ShredKind::File, found.path, e.size, found.base});
      ++plan.files;
      plan.bytes += e.size;
    }
    return WalkOn::Next;
  });
  // A folder is listed before what it holds: the reverse order puts it after.
  std::reverse(folders.begin(), folders.end());
  folders.push_back(folder);
  for (const std::string& f : folders) plan.items.push_back({ShredKind::Folder, f, 0, {}});
  plan.folders += folders.size();
}

void RemoveLinkItself(Context& ctx, Drives& drives, const std::string& path) {
  if (!drives.RemoveLink(path)) return ctx.Left("refused: link", path);
  ctx.AddProgressLine("  " + path);
  ctx.CountFileDeleted();
}

void ShredFile(Context& ctx, Drives& drives, const ShredItem& item) {
  Files& files = ctx.platform.files;
  // A file the user chose is shredded read-only or not.
  if (const std::uint32_t a = files.Attributes(item.path);
      a != kInvalidAttributes && (a & kAttrReadOnly) && !(a & kAttrDirectory)) {
    const std::uint32_t kept = a & (kAttrHidden | kAttrSystem | kAttrArchive);
    files.SetAttributes(item.path, kept ? kept : kAttrNormal);
  }
  const ErasableFile file = files.OpenForErase(item.path);
  if (file.link) return RemoveLinkItself(ctx, drives, item.path);
  if (!file.handle) return LeftIfThere(ctx, item.path, files.LastFailure());
  // Its folder became a link since it was listed: what it reaches stays.
  if (!item.base.empty() && !Inside(files, item.path, file.handle, item.base)) {
    files.Close(file.handle);
    return LeftNotEntered(ctx, ParentOf(item.path));
  }
  const std::uint64_t size = files.Size(item.path).value_or(item.bytes);
  // Data another name shares (a hard link) is not the chosen file's alone:
  // only this name goes.
  if (file.links == 1) RunPasses(ctx, file.handle, size);
  files.Flush(file.handle);
  files.Close(file.handle);
  const std::string folder = FolderPartOf(item.path);
  const std::size_t length =
      std::clamp(FileNameOf(item.path).size(), kShortestName, kLongestName);
  std::string gone = item.path;
  if (const std::string name = RandomFreeName(files, folder, length);
      !name.empty() && files.Replace(item.path, folder + name))
    gone = folder + name;
  if (files.IsLink(gone)) return ctx.Left("refused: link", gone);
  if (!files.Delete(gone)) return LeftIfThere(ctx, gone, files.LastFailure());
  ctx.AddProgressLine("  " + item.path);
  ctx.CountFileDeleted();
  ctx.AddBytesErased(size);
}

void RemoveShreddedFolder(Context& ctx, const std::string& folder) {
  Files& files = ctx.platform.files;
  if (files.IsLink(folder)) return ctx.Left("refused: link", folder);
  if (!files.RemoveFolder(folder)) return LeftIfThere(ctx, folder, files.LastFailure());
  ctx.AddProgressLine("  " + folder);
  ctx.CountFileDeleted();
}

}  // namespace

void OverwriteRecycleBin(Context& ctx) {
  if (!ctx.OptionSelected("chkenablesecureerasing")) return;
  Files& files = ctx.platform.files;
  // Windows Vista on: $R... (the item) beside $I... (its record) in a folder
  // per user; XP's NTFS: D<drive><n>.ext in RECYCLER\<user>; FAT: RECYCLED.
  for (char letter = 'C'; letter <= 'Z'; ++letter) {
    const std::string root = std::string(1, letter) + ":\\";
    for (const char* bin : {"$Recycle.Bin", "RECYCLER", "RECYCLED"}) {
      const std::string top = root + bin;
      const std::uint32_t a = files.Attributes(top);
      if (a == kInvalidAttributes || !(a & kAttrDirectory) || (a & kAttrReparsePoint)) continue;
      std::vector<std::string> users{top + "\\"};
      for (const std::string& user : SubFolders(ctx, top, "*")) users.push_back(user);
      for (const std::string& folder : users)
        for (const FileEntry& e : files.Find(folder + "*")) {
          const bool item = StartsWithNoCase(e.name, "$R") ||
                            (e.name.size() > 2 && (e.name[0] == 'D' || e.name[0] == 'd') &&
                             e.name[1] != '$' && !EqualsNoCase(e.name, "desktop.ini"));
          if (IsDots(e.name) || !item || (e.attributes & kAttrReparsePoint)) continue;
          if (e.attributes & kAttrDirectory)
            EraseFilesInTree(ctx, folder + e.name, "*");
          else
            SecureEraseFile(ctx, folder + e.name);
        }
    }
  }
}

std::string RandomFreeName(Files& files, const std::string& folder, std::size_t length) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  static std::mt19937_64 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name(length, 'a');
    for (char& c : name) c = kLetters[pick(random)];
    if (!Exists(files, folder + name)) return name;
  }
  return {};
}

ShredPlan PlanShred(Context& ctx, const std::vector<std::string>& paths) {
  Files& files = ctx.platform.files;
  ShredPlan plan;
  for (const std::string& chosen : paths) {
    const std::string spelt = WithBackslashes(Trim(chosen));
    if (RootLength(spelt) == 0 || HasWildcards(spelt)) {
      ctx.Left("refused: unsafe path", chosen);
      continue;
    }
    const std::string path = WithoutTrailingBackslash(spelt);
    if (IsDriveRoot(path) || IsDriveRoot(files.CanonicalPath(path))) {
      ctx.Left("refused: drive root", path);
      continue;
    }
    const std::string canonical = files.CanonicalPath(path);
    const std::uint32_t attributes = files.Attributes(canonical.empty() ? path : canonical);
    if (attributes == kInvalidAttributes) {
      ctx.Left("not found", path);
    } else if ((attributes & kAttrReparsePoint) || files.IsLink(path)) {
      plan.items.push_back({ShredKind::Link, path, 0, {}});
    } else if (!(attributes & kAttrDirectory)) {
      const std::uint64_t size = files.Size(path).value_or(0);
      plan.items.push_back({ShredKind::File, path, size, {}});
      ++plan.files;
      plan.bytes += size;
    } else if (ErasableFolder(ctx, path).empty()) {
      LeftIfRefused(ctx, path);
    } else {
      PlanFolder(ctx, path, plan);
    }
  }
  // Files and links first, then the folders in their order.
  std::stable_partition(plan.items.begin(), plan.items.end(),
                        [](const ShredItem& i) { return i.kind != ShredKind::Folder; });
  return plan;
}

void Shred(Context& ctx, Drives& drives, const ShredPlan& plan) {
  for (const ShredItem& item : plan.items) {
    switch (item.kind) {
      case ShredKind::File: ShredFile(ctx, drives, item); break;
      case ShredKind::Link: RemoveLinkItself(ctx, drives, item.path); break;
      case ShredKind::Folder: RemoveShreddedFolder(ctx, item.path); break;
    }
    ctx.DoEvents();
  }
}

}  // namespace nimbrel
