#include "erasers/modCookies.h"

#include <algorithm>
#include <vector>

#include "erasers/modFiles.h"
#include "settings/KeepLists.h"

namespace nimbrel {

namespace {

// The names of the folder's files, hidden and system files included.
std::vector<FileEntry> ListFiles(Files& files, const std::string& folder) {
  std::vector<FileEntry> out;
  for (FileEntry& entry : files.Find(folder + "*"))
    if (!(entry.attributes & kAttrDirectory)) out.push_back(std::move(entry));
  return out;
}

}  // namespace

void DeleteIECookies(Context& ctx) {
  if (ErasableFolder(ctx, ctx.CookiesFolder).empty()) return;
  Files& files = ctx.platform.files;
  const std::string folder = EnsureTrailingBackslash(ctx.CookiesFolder);
  // The keep list is read once, in one pass, as the keep-list dialog reads it.
  const std::vector<std::string> kept = ReadCookieKeepList(ctx.platform, ctx.dataFolder);

  for (const FileEntry& entry : ListFiles(files, folder)) {
    if (entry.name == "index.dat") continue;
    ctx.AddProgressLine("  " + entry.name);
    if (std::find(kept.begin(), kept.end(), entry.name) != kept.end()) continue;
    const std::string path = folder + entry.name;
    // Deleting a link could delete its target, outside the Cookies folder.
    if (!(entry.attributes & kAttrReparsePoint) && !files.IsLink(path) && !files.Delete(path)) {
      files.SetAttributes(path, kAttrNormal);
      files.Delete(path);
    }
    ctx.DoEvents();
  }
}

}  // namespace nimbrel
