#include "erasers/modCookies.h"

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

// Whether entry k of the keep list (1 to `count`) names the cookie, read
// afresh from the file for each entry.
bool IsKept(Context& ctx, const std::string& ini, std::uint64_t count, const std::string& name) {
  for (std::uint64_t k = 1; k <= count; ++k) {
    if (ReadIniString(ctx.platform, "Cookies", "Cookie_Keep" + std::to_string(k), ini) == name)
      return true;
    ctx.DoEvents();
  }
  return false;
}

}  // namespace

void DeleteIECookies(Context& ctx) {
  if (ErasableFolder(ctx, ctx.CookiesFolder).empty()) return;
  Files& files = ctx.platform.files;
  const std::string folder = EnsureTrailingBackslash(ctx.CookiesFolder);
  const std::string ini = CookieKeepListPath(ctx.platform);
  const std::uint32_t iniAttributes = files.Attributes(ini);
  const bool keepList = iniAttributes != kInvalidAttributes && !(iniAttributes & kAttrDirectory);
  const std::uint64_t count = keepList ? CookieKeepListCount(ctx.platform, ini) : 0;

  for (const FileEntry& entry : ListFiles(files, folder)) {
    if (entry.name == "index.dat") continue;
    ctx.AddProgressLine("  " + entry.name);
    if (IsKept(ctx, ini, count, entry.name)) continue;
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
