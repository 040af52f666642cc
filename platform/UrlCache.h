// The WinINet URL cache, as FindFirstUrlCacheEntryA, FindNextUrlCacheEntryA,
// FindCloseUrlCache and DeleteUrlCacheEntryA see it.
#pragma once

#include <cstdint>
#include <string>

namespace nimbrel {

struct UrlCacheFileTime {
  std::uint32_t low, high;
};

// The fixed part of a cache entry, laid out as INTERNET_CACHE_ENTRY_INFOA. An
// entry is fetched into a buffer that starts with this part and also holds the
// texts its pointers designate.
struct UrlCacheEntryInfo {
  std::uint32_t structSize;
  char* sourceUrlName;
  char* localFileName;  // null when the entry has no file
  std::uint32_t cacheEntryType;
  std::uint32_t useCount;
  std::uint32_t hitRate;
  std::uint32_t sizeLow, sizeHigh;
  UrlCacheFileTime lastModifiedTime, expireTime, lastAccessTime, lastSyncTime;
  char* headerInfo;
  std::uint32_t headerInfoSize;
  char* fileExtension;
  std::uint32_t exemptDelta;
};

// Entry type bits.
constexpr std::uint32_t kNormalCacheEntry = 0x1;
constexpr std::uint32_t kCookieCacheEntry = 0x100000;
constexpr std::uint32_t kUrlHistoryCacheEntry = 0x200000;

class UrlCache {
 public:
  using FindHandle = std::uintptr_t;  // 0 is none

  virtual ~UrlCache() = default;
  // FindFirstUrlCacheEntryA without a search pattern. `entry` is a buffer of
  // `size` bytes that starts with a UrlCacheEntryInfo; `size` becomes the
  // bytes the entry needs. A null entry with a size of 0 is the size probe:
  // it fails and tells the size (0 when the cache is empty). The handle of
  // the enumeration, or 0.
  virtual FindHandle FindFirst(void* entry, std::uint32_t& size) = 0;
  // FindNextUrlCacheEntryA, the same way; a call that fails does not advance.
  virtual bool FindNext(FindHandle find, void* entry, std::uint32_t& size) = 0;
  virtual void FindClose(FindHandle find) = 0;
  // DeleteUrlCacheEntryA: the entry and its local file.
  virtual bool DeleteEntry(const std::string& url) = 0;
};

}  // namespace nimbrel
