#include "fakes/FakeFiles.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "platform/Path.h"
#include "platform/Text.h"

namespace nimbrel {

FakeFiles& FakeFiles::operator=(const FakeFiles& other) {
  if (this == &other) return *this;
  onFind = other.onFind;
  onCanonicalPath = other.onCanonicalPath;
  onWrite = other.onWrite;
  deferCloses = other.deferCloses;
  diskFull = other.diskFull;
  flushes = other.flushes;
  writes = other.writes;
  reads = other.reads;
  deleted = other.deleted;
  dataWhenDeleted = other.dataWhenDeleted;
  journal = other.journal;
  entries_ = other.entries_;
  std::map<const std::string*, std::shared_ptr<std::string>> copies;
  for (auto& [key, e] : entries_) {
    auto& copy = copies[e.data.get()];
    if (!copy) copy = std::make_shared<std::string>(*e.data);
    e.data = copy;
  }
  open_ = other.open_;
  queued_ = other.queued_;
  folderLinks_ = other.folderLinks_;
  shortNames_ = other.shortNames_;
  deniedFolders_ = other.deniedFolders_;
  next_ = other.next_;
  failWritesAfter_ = other.failWritesAfter_;
  written_ = other.written_;
  failure_ = other.failure_;
  return *this;
}

bool FakeFiles::Fail(const Entry* e) {
  if (!e)
    failure_ = FileFailure::None;
  else if (e->locked)
    failure_ = FileFailure::InUse;
  else if (e->denied || e->deletePending || (e->attributes & kAttrReadOnly))
    failure_ = FileFailure::AccessDenied;
  else
    failure_ = FileFailure::Other;
  return false;
}

std::string FakeFiles::Key(const std::string& path) { return ToUpper(WithoutTrailingBackslash(path)); }

bool FakeFiles::Denied(const std::string& path) const {
  return deniedFolders_.count(Key(ParentOf(WithoutTrailingBackslash(path)))) > 0;
}

std::string FakeFiles::Resolve(std::string key) const {
  // Short names and folder links above the path, as the system follows them.
  const auto below = [&key](const std::string& prefix) {
    return key.size() > prefix.size() && key.compare(0, prefix.size(), prefix) == 0 &&
           key[prefix.size()] == '\\';
  };
  for (int hops = 0; hops < 16; ++hops) {
    bool moved = false;
    for (const auto* map : {&shortNames_, &folderLinks_})
      for (const auto& [from, to] : *map)
        if (!moved && (below(from) || (map == &shortNames_ && key == from))) {
          key = to + key.substr(from.size());
          moved = true;
        }
    if (!moved) break;
  }
  return key;
}

std::string FakeFiles::Lookup(const std::string& path) const {
  std::string key = Resolve(Key(path));
  // As under Wine, "link\" names the followed link's target, not the link.
  if (path.size() > 3 && path.back() == '\\')
    if (const auto link = folderLinks_.find(key); link != folderLinks_.end())
      key = Resolve(link->second);
  return key;
}

FakeFiles::Entry* FakeFiles::Node(const std::string& path) {
  const auto it = entries_.find(Lookup(path));
  return it == entries_.end() ? nullptr : &it->second;
}

const FakeFiles::Entry* FakeFiles::Node(const std::string& path) const {
  const auto it = entries_.find(Lookup(path));
  return it == entries_.end() ? nullptr : &it->second;
}

FakeFiles::Entry* FakeFiles::Follow(Entry* e) {
  if (!e || e->linkTarget.empty() || (e->attributes & kAttrDirectory)) return e;
  const auto it = entries_.find(e->linkTarget);
  return it == entries_.end() ? nullptr : &it->second;
}

const FakeFiles::Entry* FakeFiles::Follow(const Entry* e) const {
  if (!e || e->linkTarget.empty() || (e->attributes & kAttrDirectory)) return e;
  const auto it = entries_.find(e->linkTarget);
  return it == entries_.end() ? nullptr : &it->second;
}

// Keys sort a folder's entries together, right after the folder's key and
// a backslash; `key` itself is an upper-case key.
template <class F>
void FakeFiles::ForEachChild(const std::string& key, F&& visit, std::string_view start) const {
  const std::string below = key + "\\", from = below + std::string(start);
  auto it = entries_.lower_bound(from);
  while (it != entries_.end() && it->first.compare(0, from.size(), from) == 0) {
    const auto deeper = it->first.find('\\', below.size());
    if (deeper == std::string::npos) {
      visit(it->second);
      ++it;
    } else {
      // A grandchild: skip everything below that child at once (its keys all
      // start "CHILD\\", and ']' is the character after '\\').
      it = entries_.lower_bound(it->first.substr(0, deeper) + ']');
    }
  }
}

bool FakeFiles::HasChildren(const std::string& key) const {
  bool any = false;
  ForEachChild(key, [&any](const Entry&) { any = true; });
  return any;
}

bool FakeFiles::FolderExists(const std::string& path) const {
  // A drive root ("C:") always exists.
  return (path.size() == 2 && path[1] == ':') || Node(path) != nullptr;
}

void FakeFiles::AddParents(const std::string& path) {
  for (std::string p = ParentOf(WithoutTrailingBackslash(path)); p.size() > 2; p = ParentOf(p))
    if (!Node(p)) entries_[Key(p)] = Entry{p, kAttrDirectory};
}

void FakeFiles::AddFolder(const std::string& path, std::uint32_t attributes) {
  AddParents(path);
  entries_[Key(path)] = Entry{WithoutTrailingBackslash(path), attributes | kAttrDirectory};
}

void FakeFiles::AddFile(const std::string& path, const std::string& data,
                        std::uint32_t attributes) {
  AddParents(path);
  Entry e{path, attributes};
  *e.data = data;
  entries_[Key(path)] = e;
}

void FakeFiles::AddHardLink(const std::string& existing, const std::string& link) {
  AddParents(link);
  Entry e = *Node(existing);
  e.path = link;
  entries_[Key(link)] = e;
}

void FakeFiles::AddFolderLink(const std::string& path) {
  AddFolder(path, kAttrDirectory | kAttrReparsePoint);
}

void FakeFiles::AddFolderLink(const std::string& path, const std::string& target) {
  AddFolderLink(path);
  Node(path)->linkTarget = Key(target);
  folderLinks_[Key(path)] = Key(target);
}

void FakeFiles::AddFileLink(const std::string& path, const std::string& target) {
  AddParents(path);
  Entry e{path, kAttrArchive};
  e.linkTarget = Key(target);
  entries_[Key(path)] = e;
}

void FakeFiles::SwapForFolderLink(const std::string& path, const std::string& target) {
  const std::string key = Key(path);
  for (auto it = entries_.begin(); it != entries_.end();)
    it = it->first == key || it->first.rfind(key + "\\", 0) == 0 ? entries_.erase(it) : ++it;
  AddFolderLink(path, target);
}

bool FakeFiles::RemoveLinkEntry(const std::string& path) {
  const auto it = entries_.find(Key(path));
  if (it == entries_.end() ||
      (it->second.linkTarget.empty() && !(it->second.attributes & kAttrReparsePoint)))
    return false;
  folderLinks_.erase(it->first);
  entries_.erase(it);
  return true;
}

std::string FakeFiles::Dump(const std::string& folder) const {
  const std::string key = Key(folder), below = key + "\\";
  std::string out;
  for (const auto& [k, e] : entries_)
    if (k == key || k.rfind(below, 0) == 0)
      out += e.path + " " + std::to_string(e.attributes) + " " + e.linkTarget + " " + *e.data + "\n";
  return out;
}

std::string FakeFiles::Data(const std::string& path) const {
  const Entry* e = Follow(Node(path));
  return e ? *e->data : std::string();
}

std::map<std::string, std::string> FakeFiles::Snapshot() const {
  std::map<std::string, std::string> out;
  for (const auto& [key, e] : entries_)
    out[key] = std::to_string(e.attributes) + (e.locked ? " locked " : " ") +
               (e.deletePending ? "deleted " : "") + e.linkTarget + " " + *e.data;
  return out;
}

std::vector<FileEntry> FakeFiles::Find(const std::string& pattern) {
  Settle();
  if (onFind) onFind(pattern);
  std::vector<FileEntry> out;
  const std::string folder = ParentOf(pattern), mask = FileNameOf(pattern);
  const Entry* dir = Node(folder);
  failure_ = FileFailure::None;
  if (folder.size() > 2 && (!dir || !(dir->attributes & kAttrDirectory))) return out;
  if (dir && dir->denied) {
    Fail(dir);
    return out;
  }
  if (WildcardMatch(mask, ".")) out.push_back({".", kAttrDirectory, 0});
  if (WildcardMatch(mask, "..")) out.push_back({"..", kAttrDirectory, 0});
  std::string folderKey = Resolve(Key(folder));
  if (dir && !dir->linkTarget.empty()) folderKey = dir->linkTarget;
  // Only names that start as the mask does, up to its first wildcard, can match.
  const std::string start = ToUpper(mask.substr(0, mask.find_first_of("*?")));
  ForEachChild(folderKey, [&](const Entry& e) {
    if (!WildcardMatch(mask, FileNameOf(e.path))) return;
    const Entry* shown = Follow(&e);
    if (!shown) shown = &e;
    out.push_back({FileNameOf(e.path), shown->attributes,
                   (shown->attributes & kAttrDirectory) ? 0 : shown->data->size()});
  });
  return out;
}

std::uint32_t FakeFiles::Attributes(const std::string& path) {
  Settle();
  const Entry* e = Follow(Node(path));
  return e ? e->attributes : kInvalidAttributes;
}

bool FakeFiles::SetAttributes(const std::string& path, std::uint32_t attributes) {
  Settle();
  Entry* e = Follow(Node(path));
  if (!e) return false;
  e->attributes = (e->attributes & (kAttrDirectory | kAttrReparsePoint)) |
                  (attributes & ~(kAttrDirectory | kAttrReparsePoint));
  return true;
}

bool FakeFiles::LinkAt(const std::string& path) const {
  const Entry* e = Node(path);
  return e && (!e->linkTarget.empty() || (e->attributes & kAttrReparsePoint));
}

bool FakeFiles::IsLink(const std::string& path) {
  Settle();
  return LinkAt(path);
}

bool FakeFiles::HeldOpen(const std::string& path) {
  Settle();
  const Entry* e = Node(path);
  return e && e->locked;
}

std::uint32_t FakeFiles::LinkCount(const std::string& path) {
  Settle();
  const Entry* e = Node(path);
  if (!e || (e->attributes & kAttrDirectory)) return 0;
  return static_cast<std::uint32_t>(e->data.use_count());
}

std::optional<std::uint64_t> FakeFiles::Size(const std::string& path) {
  Settle();
  const Entry* e = Follow(Node(path));
  if (!e || (e->attributes & kAttrDirectory)) return std::nullopt;
  return e->data->size();
}

std::string FakeFiles::CanonicalPath(const std::string& path) {
  if (onCanonicalPath) onCanonicalPath(path);
  std::string p = path;
  std::replace(p.begin(), p.end(), '/', '\\');
  if (p.rfind("\\\\?\\UNC\\", 0) == 0)
    p = "\\\\" + p.substr(8);
  else if (p.rfind("\\\\?\\", 0) == 0 || p.rfind("\\\\.\\", 0) == 0)
    p = p.substr(4);
  std::string root;
  std::size_t start = 0;
  if (p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':') {
    if (p.size() > 2 && p[2] != '\\') return {};  // relative to a drive's current folder
    root = p.substr(0, 2);
    start = 2;
  } else if (p.rfind("\\\\", 0) == 0) {
    const auto server = p.find('\\', 2), share = server == p.npos ? p.npos : p.find('\\', server + 1);
    if (server == p.npos || server == 2) return {};
    root = p.substr(0, share);
    start = share == p.npos ? p.size() : share;
  } else {
    return {};
  }
  std::vector<std::string> parts;
  while (start < p.size()) {
    const std::size_t end = std::min(p.find('\\', start), p.size());
    std::string part = p.substr(start, end - start);
    start = end + 1;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    // Windows drops trailing dots and blanks: "." and "..." name the folder itself.
    while (!part.empty() && (part.back() == '.' || part.back() == ' ')) part.pop_back();
    if (!part.empty()) parts.push_back(part);
  }
  std::string out = ToUpper(root);
  for (const std::string& part : parts) {
    out += '\\';
    out += ToUpper(part);
    if (const auto longName = shortNames_.find(out); longName != shortNames_.end())
      out = longName->second;
  }
  if (out.size() == 2) out += '\\';
  std::string key = Lookup(out);
  if (const auto link = folderLinks_.find(key); link != folderLinks_.end()) key = Resolve(link->second);
  return key;
}

bool FakeFiles::IsUnder(FileHandle file, const std::string& folder) {
  const auto it = open_.find(file);
  if (it == open_.end()) return false;
  const std::string base = Lookup(folder);
  return it->second.key.rfind(EnsureTrailingBackslash(base), 0) == 0;
}

ErasableFile FakeFiles::OpenForErase(const std::string& path) {
  if (LinkAt(path)) return {0, true, 0};
  const Entry* e = Node(path);
  // Opened with the right to delete, which a file in use refuses, as does one
  // already deleted while another program holds it open.
  if (!e || (e->attributes & (kAttrDirectory | kAttrReadOnly)) || e->locked ||
      e->deletePending || e->denied) {
    Fail(e);
    return {};
  }
  failure_ = FileFailure::None;
  open_[next_] = {Key(e->path)};
  return {next_++, false, static_cast<std::uint32_t>(e->data.use_count())};
}

bool FakeFiles::Write(FileHandle file, const void* data, std::size_t size) {
  const auto it = open_.find(file);
  if (it == open_.end()) return false;
  if (written_ + size > failWritesAfter_) return false;
  const Entry& entry = entries_.at(it->second.key);
  std::string& d = *entry.data;
  if (diskFull && it->second.pos + size > d.size()) return false;
  written_ += size;
  ++writes;
  const char* bytes = static_cast<const char*>(data);
  char fill[8] = "mixed";
  // Every byte equals the first when the bytes equal themselves shifted by one.
  if (size > 0 && std::memcmp(bytes, bytes + 1, size - 1) == 0)
    std::snprintf(fill, sizeof fill, "%02X", static_cast<unsigned char>(bytes[0]));
  journal.push_back("write " + entry.path + " " + std::to_string(it->second.pos) + " " +
                    std::to_string(size) + " " + fill);
  if (d.size() < it->second.pos + size) d.resize(it->second.pos + size);
  std::copy_n(bytes, size, d.begin() + static_cast<long>(it->second.pos));
  it->second.pos += size;
  return true;
}

bool FakeFiles::Seek(FileHandle file, std::uint64_t position) {
  const auto it = open_.find(file);
  if (it == open_.end()) return false;
  it->second.pos = static_cast<std::size_t>(position);
  return true;
}

bool FakeFiles::Flush(FileHandle file) {
  if (!open_.count(file)) return false;
  ++flushes;
  journal.push_back("flush " + entries_.at(open_[file].key).path);
  open_[file].deleteHolds = open_[file].deleteOnClose;
  return true;
}

void FakeFiles::Close(FileHandle file) { OverwriteAndClose(file, {}); }

void FakeFiles::OverwriteAndClose(FileHandle file, std::vector<ErasePass> passes) {
  if (!open_.count(file)) return;
  Job job{file, std::move(passes)};
  if (deferCloses) {
    queued_.push_back(std::move(job));
    return;
  }
  while (!Step(job)) {
  }
}

bool FakeFiles::Step(Job& job) {
  if (job.step == job.passes.size()) {
    CloseNow(job.file);
    return true;
  }
  if (job.step > 0) Flush(job.file);
  WritePass(job.passes[job.step], [&](std::uint64_t position, const char* bytes, std::size_t size) {
    return Seek(job.file, position) && Write(job.file, bytes, size);
  });
  ++job.step;
  return false;
}

void FakeFiles::WorkQueue(std::size_t steps) {
  while (!queued_.empty() && steps > 0)
    for (std::size_t i = 0; i < queued_.size() && steps > 0; --steps)
      if (Step(queued_[i])) {
        queued_.erase(queued_.begin() + static_cast<long>(i));
      } else {
        ++i;
      }
}

void FakeFiles::Finish() { WorkQueue(finishSteps); }

void FakeFiles::EndProcess() {
  queued_.clear();
  for (const auto& [file, open] : open_) {
    const auto e = entries_.find(open.key);
    if (e == entries_.end()) continue;
    journal.push_back("abandon " + e->second.path);
    if (!open.deleteHolds) continue;
    deleted.push_back(e->second.path);
    dataWhenDeleted[e->second.path] = *e->second.data;
    journal.push_back("delete " + e->second.path);
    entries_.erase(e);
  }
  open_.clear();
}

void FakeFiles::CloseNow(FileHandle file) {
  const auto it = open_.find(file);
  if (it == open_.end()) return;
  const Open closed = it->second;
  open_.erase(it);
  const auto e = entries_.find(closed.key);
  if (e == entries_.end()) return;
  ++flushes;
  journal.push_back("flush " + e->second.path);
  journal.push_back("close " + e->second.path);
  if (!closed.deleteOnClose) return;
  deleted.push_back(e->second.path);
  dataWhenDeleted[e->second.path] = *e->second.data;
  journal.push_back("delete " + e->second.path);
  entries_.erase(e);
}

bool FakeFiles::DeleteOnClose(FileHandle file) {
  const auto it = open_.find(file);
  if (it == open_.end()) return Fail(nullptr);
  const Entry& e = entries_.at(it->second.key);
  if (e.locked) return Fail(&e);
  failure_ = FileFailure::None;
  it->second.deleteOnClose = true;
  return true;
}

bool FakeFiles::Delete(const std::string& path) {
  Settle();
  // Deleting a file link deletes its target and leaves the link, as under Wine.
  Entry* e = Follow(Node(path));
  if (!e || (e->attributes & kAttrDirectory) || (e->attributes & kAttrReadOnly) || e->locked ||
      e->deletePending || e->denied || Denied(path))
    return Fail(e);
  failure_ = FileFailure::None;
  deleted.push_back(e->path);
  dataWhenDeleted[e->path] = *e->data;
  journal.push_back("delete " + e->path);
  if (e->held)
    e->deletePending = true;
  else
    entries_.erase(Key(e->path));
  return true;
}

void FakeFiles::Release(const std::string& path) {
  Entry* e = Node(path);
  if (!e) return;
  e->held = false;
  if (e->deletePending) entries_.erase(Key(e->path));
}

bool FakeFiles::DeleteAtReboot(const std::string& path) {
  Settle();
  const Entry* e = Node(path);
  if (refuseRebootDeletes || !e || (e->attributes & kAttrDirectory)) return false;
  rebootDeletes.push_back(e->path);
  return true;
}

bool FakeFiles::CreateFolder(const std::string& path) {
  Settle();
  if (Node(path) || !FolderExists(ParentOf(WithoutTrailingBackslash(path))) || Denied(path))
    return false;
  entries_[Key(path)] = Entry{WithoutTrailingBackslash(path), kAttrDirectory};
  return true;
}

bool FakeFiles::RemoveFolder(const std::string& path) {
  Settle();
  const Entry* e = Node(path);
  // Removing a followed folder link removes its target, as under Wine.
  if (e && !e->linkTarget.empty()) {
    const auto target = entries_.find(e->linkTarget);
    e = target == entries_.end() ? nullptr : &target->second;
  }
  if (!e || !(e->attributes & kAttrDirectory) || e->locked || e->denied ||
      HasChildren(Key(e->path)) || Denied(path))
    return Fail(e);
  failure_ = FileFailure::None;
  deleted.push_back(e->path);
  entries_.erase(Key(e->path));
  return true;
}

bool FakeFiles::Replace(const std::string& from, const std::string& to) {
  Settle();
  Entry* src = Node(from);
  const Entry* dst = Node(to);
  if (!src || src->locked || (dst && (dst->locked || (dst->attributes & kAttrReadOnly))) ||
      Denied(from) || Denied(to))
    return false;
  Entry moved = *src;
  moved.path = to;
  entries_.erase(Key(from));
  entries_[Key(to)] = moved;
  return true;
}

bool FakeFiles::Append(const std::string& path, const std::string& bytes) {
  Settle();
  if (Denied(path)) return false;
  // Never through a file link, nor into data another name shares.
  Entry* e = Node(path);
  if (e && (!e->linkTarget.empty() || e->data.use_count() > 1)) return false;
  if (!e) {
    if (!FolderExists(ParentOf(path))) return false;
    AddFile(path);
    e = Node(path);
  }
  if ((e->attributes & (kAttrDirectory | kAttrReadOnly)) || e->exclusive) return false;
  if (written_ + bytes.size() > failWritesAfter_ || (diskFull && !bytes.empty())) return false;
  written_ += bytes.size();
  *e->data += bytes;
  if (onWrite) onWrite(path);
  return true;
}

std::optional<std::string> FakeFiles::ReadAll(const std::string& path) {
  Settle();
  ++reads;
  const Entry* e = Follow(Node(path));
  if (!e || (e->attributes & kAttrDirectory) || e->exclusive) return std::nullopt;
  return *e->data;
}

bool FakeFiles::WriteAll(const std::string& path, const std::string& bytes) {
  Settle();
  if (Denied(path)) return false;
  if (!FolderExists(ParentOf(path))) return false;
  Entry* e = Node(path);
  // Never through a file link, nor into data another name shares.
  if (e && (!e->linkTarget.empty() || e->data.use_count() > 1)) return false;
  if (e && ((e->attributes & (kAttrDirectory | kAttrReadOnly)) || e->exclusive)) return false;
  if (written_ + bytes.size() > failWritesAfter_) return false;
  if (diskFull && bytes.size() > (e ? e->data->size() : 0)) return false;
  written_ += bytes.size();
  if (!e) {
    AddFile(path, bytes);
  } else {
    // Truncated and written in place.
    *e->data = bytes;
  }
  if (onWrite) onWrite(path);
  return true;
}

}  // namespace nimbrel
