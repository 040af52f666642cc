#include "erasers/FolderWalk.h"

#include <algorithm>

#include "erasers/ProtectedFolders.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

const char* ReasonOf(FileFailure failure) {
  switch (failure) {
    case FileFailure::InUse: return "in use";
    case FileFailure::AccessDenied: return "access denied";
    case FileFailure::None:
    case FileFailure::Other: break;
  }
  return "error";
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

void LeftNotEntered(Context& ctx, const std::string& folder) {
  Files& files = ctx.platform.files;
  const std::uint32_t attributes = files.Attributes(folder);
  if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory)) return;
  if (!(attributes & kAttrReparsePoint) && files.Find(folder + "\\*").empty() &&
      files.LastFailure() != FileFailure::None)
    return ctx.Left(ReasonOf(files.LastFailure()), folder);
  ctx.Left("refused: link", folder);
}

void LeftIfUnlisted(Context& ctx, const std::vector<FileEntry>& listing, const std::string& folder) {
  if (!listing.empty()) return;
  const FileFailure failure = ctx.platform.files.LastFailure();
  if (failure != FileFailure::None) ctx.Left(ReasonOf(failure), folder);
}

bool MayEnter(Files& files, const std::string& folder, const std::string& base) {
  const std::uint32_t attributes = files.Attributes(folder);
  if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory) ||
      (attributes & kAttrReparsePoint) || files.IsLink(folder))
    return false;
  return IsAtOrAbove(base, CanonicalUpper(files, folder));
}

bool Inside(Files& files, const std::string& path, FileHandle handle, const std::string& base) {
  if (handle) return files.IsUnder(handle, base);
  return MayEnter(files, WithoutTrailingBackslash(ParentOf(path)), base);
}

void LeftIfThere(Context& ctx, const std::string& path, FileFailure failure) {
  if (ctx.platform.files.Attributes(path) != kInvalidAttributes) ctx.Left(ReasonOf(failure), path);
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

std::vector<std::string> SubFolders(Context& ctx, const std::string& folder,
                                    const std::string& pattern) {
  std::vector<std::string> out;
  if (ErasableFolder(ctx, folder).empty()) return out;
  Files& files = ctx.platform.files;
  const std::string base = EnsureTrailingBackslash(folder);
  for (const FileEntry& entry : files.Find(base + pattern)) {
    if (entry.name == "." || entry.name == ".." || !(entry.attributes & kAttrDirectory) ||
        (entry.attributes & kAttrReparsePoint) || files.IsLink(base + entry.name))
      continue;
    out.push_back(base + entry.name + "\\");
  }
  return out;
}

}  // namespace nimbrel
