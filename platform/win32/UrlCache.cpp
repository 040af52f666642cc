// Win32 implementation of platform/UrlCache.h.
#include <windows.h>
// After windows.h, which it needs.
#include <wininet.h>

#include <cstddef>

#include "platform/win32/Win32Platform.h"

namespace nimbrel {

namespace {

// The entry buffer is read through UrlCacheEntryInfo: the two layouts must agree.
using Info = INTERNET_CACHE_ENTRY_INFOA;
static_assert(sizeof(UrlCacheEntryInfo) == sizeof(Info));
static_assert(offsetof(UrlCacheEntryInfo, sourceUrlName) == offsetof(Info, lpszSourceUrlName));
static_assert(offsetof(UrlCacheEntryInfo, localFileName) == offsetof(Info, lpszLocalFileName));
static_assert(offsetof(UrlCacheEntryInfo, cacheEntryType) == offsetof(Info, CacheEntryType));
static_assert(offsetof(UrlCacheEntryInfo, lastSyncTime) == offsetof(Info, LastSyncTime));
static_assert(offsetof(UrlCacheEntryInfo, headerInfo) == offsetof(Info, lpHeaderInfo));
static_assert(offsetof(UrlCacheEntryInfo, fileExtension) == offsetof(Info, lpszFileExtension));
static_assert(offsetof(UrlCacheEntryInfo, exemptDelta) == offsetof(Info, dwExemptDelta));

}  // namespace

UrlCache::FindHandle Win32UrlCache::FindFirst(void* entry, std::uint32_t& size) {
  DWORD n = size;
  HANDLE find = FindFirstUrlCacheEntryA(nullptr, static_cast<Info*>(entry), &n);
  size = n;
  return reinterpret_cast<FindHandle>(find);
}

bool Win32UrlCache::FindNext(FindHandle find, void* entry, std::uint32_t& size) {
  DWORD n = size;
  const bool ok =
      FindNextUrlCacheEntryA(reinterpret_cast<HANDLE>(find), static_cast<Info*>(entry), &n) != 0;
  size = n;
  return ok;
}

void Win32UrlCache::FindClose(FindHandle find) {
  if (find) FindCloseUrlCache(reinterpret_cast<HANDLE>(find));
}

bool Win32UrlCache::DeleteEntry(const std::string& url) {
  return DeleteUrlCacheEntryA(url.c_str()) != 0;
}

}  // namespace nimbrel
