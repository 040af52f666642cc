#include "erasers/modCookies.h"

#include <optional>
#include <vector>

#include "erasers/modFiles.h"
#include "settings/KeepLists.h"

namespace nimbrel {

namespace {

// Deletes a cookie the walk found, not overwritten, through a handle that
// still lies in the Cookies folder (or, when it cannot be opened so, by name
// while its folder is still itself); one that resists is tried once more
// with its attributes cleared. A link is left: deleting it could delete its
// target.
WalkOn DeleteCookie(Context& ctx, const WalkedFile& cookie) {
  Files& files = ctx.platform.files;
  if (cookie.entry.attributes & kAttrReparsePoint) {
    ctx.Left("refused: link", cookie.path);
    return WalkOn::Next;
  }
  for (int attempt = 0; attempt < 2; ++attempt) {
    const ErasableFile file = files.OpenForErase(cookie.path);
    if (file.link) {
      ctx.Left("refused: link", cookie.path);
      return WalkOn::Next;
    }
    if (!StillInWalk(ctx, cookie, file.handle)) {
      if (file.handle) files.Close(file.handle);
      return WalkOn::LeaveFolder;
    }
    bool deleted;
    if (file.handle) {
      deleted = files.DeleteOnClose(file.handle);
      files.Close(file.handle);
    } else {
      deleted = files.Delete(cookie.path);
    }
    if (deleted) return WalkOn::Next;
    if (attempt == 0) files.SetAttributes(cookie.path, kAttrNormal);
  }
  LeftIfThere(ctx, cookie.path, files.LastFailure());
  return WalkOn::Next;
}

}  // namespace

void DeleteIECookies(Context& ctx) {
  // The keep list is read once, in one pass, as the keep-list dialog reads it.
  std::optional<std::vector<std::string>> kept;
  WalkPlan plan{"*", false};
  plan.tellLeft = true;
  WalkFolder(ctx, ctx.CookiesFolder, plan, [&](const WalkedFile& found) {
    const std::string& name = found.entry.name;
    if ((found.entry.attributes & kAttrDirectory) || name == "index.dat") return WalkOn::Next;
    ctx.AddProgressLine("  " + name);
    if (!kept) kept = ReadCookieKeepList(ctx.platform, ctx.dataFolder);
    if (CookieFileKept(*kept, name)) return WalkOn::Next;
    return DeleteCookie(ctx, found);
  });
}

}  // namespace nimbrel
