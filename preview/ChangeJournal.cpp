#include "preview/ChangeJournal.h"

#include <algorithm>

#include "platform/Path.h"
#include "platform/Text.h"

namespace nimbrel {

const char* ChangeKindName(ChangeKind kind) {
  switch (kind) {
    case ChangeKind::File: return "file";
    case ChangeKind::Folder: return "folder";
    case ChangeKind::RegistryKey: return "registry key";
    case ChangeKind::RegistryValue: return "registry value";
    case ChangeKind::RegistryWrite: return "registry write";
    case ChangeKind::RecycleBin: return "recycle bin";
    case ChangeKind::Clipboard: return "clipboard";
    case ChangeKind::ClipboardHistory: return "clipboard history";
    case ChangeKind::DnsCache: return "dns cache";
    case ChangeKind::Window: return "window";
    case ChangeKind::Modified: return "modified";
    case ChangeKind::Created: return "created";
    case ChangeKind::Program: return "program";
    case ChangeKind::UrlCacheEntry: return "url cache entry";
    case ChangeKind::UrlHistory: return "url history";
    case ChangeKind::AtReboot: return "deleted at the next start";
    case ChangeKind::DatabaseRows: return "database rows";
    case ChangeKind::SiteData: return "site data";
    case ChangeKind::Refused: return "refused";
  }
  return "";
}

std::string PathKey(const std::string& path) {
  return WithoutTrailingBackslash(WithBackslashes(ToUpper(path)));
}

ChangeJournal::Entry& ChangeJournal::PathEntry(const std::string& path, bool existedBefore,
                                               bool folder) {
  const auto [it, added] = paths_.emplace(PathKey(path), entries_.size());
  if (added) {
    Entry e;
    e.change = {row_, ChangeKind::Modified, path};
    e.story.existedBefore = existedBefore;
    e.story.folder = folder;
    e.isPath = true;
    entries_.push_back(e);
  }
  Entry& e = entries_[it->second];
  e.change.row = row_;  // the row that gave the item its last state
  return e;
}

void ChangeJournal::Created(const std::string& path, bool folder) {
  PathStory& story = PathEntry(path, false, folder).story;
  story.existsNow = true;
  story.folder = folder;
}

void ChangeJournal::Modified(const std::string& path) {
  PathEntry(path, true, false).story.existsNow = true;
}

void ChangeJournal::Deleted(const std::string& path, std::uint64_t bytes, bool folder) {
  PathStory& story = PathEntry(path, true, folder).story;
  story.folder = folder;  // what a change of attributes did not tell
  // Its size as the run found it, at its first delete.
  if (story.existedBefore && !story.sized) {
    story.bytes = bytes;
    story.sized = true;
  }
  story.existsNow = false;
}

void ChangeJournal::Record(ChangeKind kind, const std::string& item, std::uint64_t bytes) {
  Entry e;
  e.change = {row_, kind, item, bytes};
  entries_.push_back(e);
}

bool ChangeJournal::GoneAtTheEnd(const std::string& path) const {
  const auto it = paths_.find(PathKey(path));
  return it != paths_.end() && !entries_[it->second].story.existsNow;
}

std::vector<Change> ChangeJournal::Changes() const {
  std::vector<Change> out;
  for (const Entry& e : entries_) {
    if (!e.isPath) {
      if (!(e.change.kind == ChangeKind::AtReboot && GoneAtTheEnd(e.change.item)))
        out.push_back(e.change);
      continue;
    }
    const PathStory& s = e.story;
    Change c = e.change;
    if (s.existedBefore && !s.existsNow) {
      c.kind = s.folder ? ChangeKind::Folder : ChangeKind::File;
      c.bytes = s.folder ? 0 : s.bytes;
    } else if (s.existedBefore) {
      c.kind = ChangeKind::Modified;
    } else if (s.existsNow) {
      c.kind = ChangeKind::Created;
    } else {
      continue;  // made and erased by the run itself
    }
    out.push_back(c);
  }
  return out;
}

}  // namespace nimbrel
