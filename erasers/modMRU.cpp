#include "erasers/modMRU.h"

#include <cstdint>
#include <limits>

#include "erasers/modRegistry.h"
#include "platform/Text.h"
#include "settings/KeepLists.h"

namespace nimbrel {

namespace {

constexpr RegRoot kHkcu = RegRoot::CurrentUser;

// Deletes each value the key's "MRUList" names, left to right, then
// "MRUList" itself; with `showEntries`, a progress line per entry first.
void EraseMRUList(Context& ctx, const char* key, bool showEntries) {
  for (const char entry : ReadRegString(ctx, kHkcu, key, "MRUList")) {
    const std::string name(1, entry);
    if (showEntries) ctx.AddProgressLine("  " + name);
    DeleteRegValue(ctx, kHkcu, key, name);
    ctx.DoEvents();
  }
  DeleteRegValue(ctx, kHkcu, key, "MRUList");
}

std::string TypedURLName(std::int16_t index) { return "url" + std::to_string(index); }

}  // namespace

void EraseRecentDocsList(Context& ctx) {
  const OsVersion v = ctx.platform.system.Version();
  if (v.major > 5 || (v.major == 5 && v.minor >= 1)) {
    DeleteRegSubKeys(ctx, kHkcu, kRecentDocsKey);
    DeleteRegKey(ctx, kHkcu, kRecentDocsKey);
    DeleteRegValue(ctx, kHkcu, kRecentDocsKey, "MRUListEx");
    return;
  }
  EraseMRUList(ctx, kRecentDocsKey, false);
}

void EraseSearchMRU(Context& ctx) {
  EraseMRUList(ctx, kDocFindSpecMRUKey, true);
  DeleteRegKey(ctx, kHkcu, kFilesNamedMRUKey);
  DeleteRegKey(ctx, kHkcu, kSearchAssistantMRUKey);
}

void EraseRunMRU(Context& ctx) { EraseMRUList(ctx, kRunMRUKey, true); }

void EraseTypedURLs(Context& ctx) {
  std::int16_t index = 1;
  std::string address = ReadRegString(ctx, kHkcu, kTypedURLsKey, TypedURLName(index));
  while (!address.empty()) {
    ctx.AddProgressLine("  " + address);
    if (!IsKeptURL(ctx, address)) DeleteRegValue(ctx, kHkcu, kTypedURLsKey, TypedURLName(index));
    // The index is 16 bits wide: the walk ends at url32767.
    if (index == std::numeric_limits<std::int16_t>::max()) break;
    ++index;
    address = ReadRegString(ctx, kHkcu, kTypedURLsKey, TypedURLName(index));
    ctx.DoEvents();
  }
}

bool IsKeptURL(Context& ctx, const std::string& address) {
  return TypedAddressKept(ReadTypedAddressKeepList(ctx.platform, ctx.dataFolder), address);
}

}  // namespace nimbrel
