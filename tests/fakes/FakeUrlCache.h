// A URL cache in memory that fills entry buffers as WinINet does: the fixed
// part first, then the texts it points at. A buffer too small for the entry,
// or whose size field does not say its size, fails and tells the size needed.
#pragma once

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/UrlCache.h"

namespace nimbrel {

class FakeUrlCache final : public UrlCache {
 public:
  struct Entry {
    std::string url;
    std::string localFile;  // empty: the entry has no file
    std::uint32_t type = kNormalCacheEntry;
  };
  std::vector<Entry> entries;  // in enumeration order
  std::set<std::string> refuseDelete;
  std::vector<std::string> deleted;    // every URL asked to be deleted, in order
  std::vector<std::uint32_t> buffers;  // the size of every buffer handed in
  int probes = 0;
  std::set<FindHandle> open;

  void Add(const std::string& url, const std::string& localFile = "",
           std::uint32_t type = kNormalCacheEntry) {
    entries.push_back({url, localFile, type});
  }

  FindHandle FindFirst(void* entry, std::uint32_t& size) override {
    const FindHandle find = next_++;
    positions_[find] = 0;
    if (!Fill(find, entry, size)) {
      positions_.erase(find);
      return 0;
    }
    open.insert(find);
    return find;
  }
  bool FindNext(FindHandle find, void* entry, std::uint32_t& size) override {
    return open.count(find) && Fill(find, entry, size);
  }
  void FindClose(FindHandle find) override {
    open.erase(find);
    positions_.erase(find);
  }
  bool DeleteEntry(const std::string& url) override {
    deleted.push_back(url);
    if (refuseDelete.count(url)) return false;
    for (auto it = entries.begin(); it != entries.end(); ++it)
      if (it->url == url) {
        entries.erase(it);
        return true;
      }
    return false;
  }

 private:
  static std::uint32_t Needed(const Entry& e) {
    const std::size_t texts = e.url.size() + 1 + (e.localFile.empty() ? 0 : e.localFile.size() + 1);
    return static_cast<std::uint32_t>(sizeof(UrlCacheEntryInfo) + texts);
  }
  // Writes the entry at the enumeration's position and moves on, or fails
  // telling the size it needs.
  bool Fill(FindHandle find, void* buffer, std::uint32_t& size) {
    std::size_t& at = positions_[find];
    if (!buffer) ++probes;
    if (at >= entries.size()) {
      size = 0;
      return false;
    }
    const Entry& e = entries[at];
    const std::uint32_t needed = Needed(e);
    std::uint32_t declared = 0;
    if (buffer) {
      buffers.push_back(size);
      std::memcpy(&declared, buffer, sizeof declared);
    }
    if (!buffer || size < needed || declared != size) {
      size = needed;
      return false;
    }
    char* base = static_cast<char*>(buffer);
    UrlCacheEntryInfo info{};
    info.structSize = sizeof info;
    info.cacheEntryType = e.type;
    char* text = base + sizeof info;
    info.sourceUrlName = text;
    std::memcpy(text, e.url.c_str(), e.url.size() + 1);
    if (!e.localFile.empty()) {
      text += e.url.size() + 1;
      info.localFileName = text;
      std::memcpy(text, e.localFile.c_str(), e.localFile.size() + 1);
    }
    std::memcpy(base, &info, sizeof info);
    size = needed;
    ++at;
    return true;
  }

  std::map<FindHandle, std::size_t> positions_;
  FindHandle next_ = 1;
};

}  // namespace nimbrel
