// Internet Explorer's URL cache: its entries are listed through WinINet and
// deleted one by one, which removes the index entries together with the
// temporary internet files they stand for.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Context.h"

namespace nimbrel {

// Where the shell names the current user's folders (History, Cache, Cookies ...).
inline constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// One enumeration of the cache. Each entry is fetched twice: a probe for its
// size, then into a buffer allocated for exactly that size, which is kept
// until the next entry is fetched.
class UrlCacheEnumeration {
 public:
  explicit UrlCacheEnumeration(UrlCache& cache) : cache_(cache) {}
  ~UrlCacheEnumeration() { UrlCacheClose(); }
  UrlCacheEnumeration(const UrlCacheEnumeration&) = delete;
  UrlCacheEnumeration& operator=(const UrlCacheEnumeration&) = delete;

  // Starts (again) from the first entry; true when one was fetched.
  bool UrlCacheFirst();
  // True when a further entry was fetched.
  bool UrlCacheNext();
  // The current entry's texts (the local file is empty when it has none).
  std::string UrlCacheSourceUrl() const { return Text(record_.sourceUrlName); }
  std::string UrlCacheLocalFile() const { return Text(record_.localFileName); }
  std::uint32_t UrlCacheEntryType() const { return record_.cacheEntryType; }
  void UrlCacheClose();

 private:
  // Replaces the entry buffer by one of `size` bytes whose size field says
  // so; false (and no buffer) when the size cannot hold an entry or the
  // memory cannot be had.
  bool Allocate(std::uint32_t size);
  // Keeps the fixed part of the entry just fetched.
  void CopyRecord();
  // The text a record pointer designates, read no further than the buffer.
  std::string Text(const char* text) const;

  UrlCache& cache_;
  UrlCache::FindHandle find_ = 0;
  std::unique_ptr<std::byte[]> buffer_;
  std::uint32_t size_ = 0;
  UrlCacheEntryInfo record_{};
};

// DeleteUrlCacheEntryA: true when WinINet deleted the entry.
bool UrlCacheDeleteEntry(Context& ctx, const std::string& url);

// One entry to delete: shown as its local file (its URL when it has none).
struct CacheListItem {
  std::string text;
  std::string sourceUrl;
};

// The entries to delete: the first one whatever its type, then every normal
// cache entry (type bit 0x1), in enumeration order; a yield per entry.
std::vector<CacheListItem> FillCacheList(Context& ctx);

// Clears the protected-storage data, then deletes every listed entry by its
// URL with a progress line each. One pass: an entry that stays is not retried.
void FlushIECache(Context& ctx);

}  // namespace nimbrel
