#include "erasers/modIECache.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>

#include "erasers/modProtectedStorage.h"

namespace nimbrel {

bool UrlCacheEnumeration::Allocate(std::uint32_t size) {
  buffer_.reset();
  size_ = 0;
  if (size < sizeof(UrlCacheEntryInfo)) return false;
  buffer_.reset(new (std::nothrow) std::byte[size]());
  if (!buffer_) return false;
  size_ = size;
  std::memcpy(buffer_.get(), &size, sizeof size);
  return true;
}

void UrlCacheEnumeration::CopyRecord() {
  record_ = UrlCacheEntryInfo{};
  if (buffer_) std::memcpy(&record_, buffer_.get(), sizeof record_);
}

std::string UrlCacheEnumeration::Text(const char* text) const {
  if (!text || !buffer_) return {};
  const auto* begin = reinterpret_cast<const char*>(buffer_.get());
  const auto* end = begin + size_;
  // A pointer outside the buffer designates nothing of this entry.
  if (std::less<const char*>()(text, begin) || !std::less<const char*>()(text, end)) return {};
  return std::string(text, std::find(text, end, '\0'));
}

bool UrlCacheEnumeration::UrlCacheFirst() {
  UrlCacheClose();
  std::uint32_t size = 0;
  cache_.FindFirst(nullptr, size);
  if (!Allocate(size)) return false;
  find_ = cache_.FindFirst(buffer_.get(), size);
  CopyRecord();
  return find_ != 0;
}

bool UrlCacheEnumeration::UrlCacheNext() {
  if (!find_) return false;
  std::uint32_t size = 0;
  cache_.FindNext(find_, nullptr, size);
  if (!Allocate(size)) return false;
  const bool fetched = cache_.FindNext(find_, buffer_.get(), size);
  CopyRecord();
  return fetched;
}

void UrlCacheEnumeration::UrlCacheClose() {
  if (find_) cache_.FindClose(find_);
  find_ = 0;
}

bool UrlCacheDeleteEntry(Context& ctx, const std::string& url) {
  return ctx.platform.urlCache.DeleteEntry(url);
}

std::vector<CacheListItem> FillCacheList(Context& ctx) {
  std::vector<CacheListItem> lvCache;
  UrlCacheEnumeration cache(ctx.platform.urlCache);
  const auto add = [&] {
    const std::string url = cache.UrlCacheSourceUrl();
    const std::string local = cache.UrlCacheLocalFile();
    lvCache.push_back({local.empty() ? url : local, url});
  };
  if (cache.UrlCacheFirst()) {
    add();
    while (cache.UrlCacheNext()) {
      if (cache.UrlCacheEntryType() & kNormalCacheEntry) add();
      ctx.DoEvents();
    }
  }
  cache.UrlCacheClose();
  return lvCache;
}

void FlushIECache(Context& ctx) {
  ClearProtectedStorage(ctx);
  for (const CacheListItem& item : FillCacheList(ctx)) {
    ctx.AddProgressLine("  " + item.sourceUrl);
    UrlCacheDeleteEntry(ctx, item.sourceUrl);
    ctx.DoEvents();
  }
}

}  // namespace nimbrel
