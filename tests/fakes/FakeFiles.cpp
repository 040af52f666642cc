#include "fakes/FakeFiles.h"

#include <algorithm>

#include "platform/Text.h"

namespace nimbrel {

namespace {
std::string Parent(const std::string& path) {
  const auto cut = path.rfind('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}
std::string NameOf(const std::string& path) {
  const auto cut = path.rfind('\\');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}
std::string Strip(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}
}  // namespace

std::string FakeFiles::Key(const std::string& path) { return ToUpper(Strip(path)); }

FakeFiles::Entry* FakeFiles::Node(const std::string& path) {
  const auto it = entries_.find(Key(path));
  return it == entries_.end() ? nullptr : &it->second;
}

const FakeFiles::Entry* FakeFiles::Node(const std::string& path) const {
  const auto it = entries_.find(Key(path));
  return it == entries_.end() ? nullptr : &it->second;
}

bool FakeFiles::HasChildren(const std::string& key) const {
  for (const auto& [k, e] : entries_)
    if (ToUpper(Parent(e.path)) == key) return true;
  return false;
}

void FakeFiles::AddParents(const std::string& path) {
  for (std::string p = Parent(Strip(path)); p.size() > 2; p = Parent(p))
    if (!Node(p)) entries_[Key(p)] = Entry{p, kAttrDirectory};
}

void FakeFiles::AddFolder(const std::string& path, std::uint32_t attributes) {
  AddParents(path);
  entries_[Key(path)] = Entry{Strip(path), attributes | kAttrDirectory};
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

std::string FakeFiles::Data(const std::string& path) const {
  const Entry* e = Node(path);
  return e ? *e->data : std::string();
}

std::vector<FileEntry> FakeFiles::Find(const std::string& pattern) {
  std::vector<FileEntry> out;
  const std::string folder = Parent(pattern), spec = NameOf(pattern);
  const Entry* dir = Node(folder);
  if (folder.size() > 2 && (!dir || !(dir->attributes & kAttrDirectory))) return out;
  if (WildcardMatch(spec, ".")) out.push_back({".", kAttrDirectory, 0});
  if (WildcardMatch(spec, "..")) out.push_back({"..", kAttrDirectory, 0});
  const std::string folderKey = Key(folder);
  for (const auto& [k, e] : entries_)
    if (ToUpper(Parent(e.path)) == folderKey && WildcardMatch(spec, NameOf(e.path)))
      out.push_back({NameOf(e.path), e.attributes,
                     (e.attributes & kAttrDirectory) ? 0 : e.data->size()});
  return out;
}

std::uint32_t FakeFiles::Attributes(const std::string& path) {
  const Entry* e = Node(path);
  return e ? e->attributes : kInvalidAttributes;
}

bool FakeFiles::SetAttributes(const std::string& path, std::uint32_t attributes) {
  Entry* e = Node(path);
  if (!e) return false;
  e->attributes = (e->attributes & (kAttrDirectory | kAttrReparsePoint)) |
                  (attributes & ~(kAttrDirectory | kAttrReparsePoint));
  return true;
}

std::uint32_t FakeFiles::LinkCount(const std::string& path) {
  const Entry* e = Node(path);
  return e ? static_cast<std::uint32_t>(e->data.use_count()) : 0;
}

std::optional<std::uint64_t> FakeFiles::Size(const std::string& path) {
  const Entry* e = Node(path);
  if (!e || (e->attributes & kAttrDirectory)) return std::nullopt;
  return e->data->size();
}

FileHandle FakeFiles::OpenForOverwrite(const std::string& path) {
  const Entry* e = Node(path);
  if (!e || (e->attributes & (kAttrDirectory | kAttrReadOnly))) return 0;
  open_[next_] = {Key(path), 0};
  return next_++;
}

bool FakeFiles::Write(FileHandle file, const void* data, std::size_t size) {
  const auto it = open_.find(file);
  if (it == open_.end()) return false;
  if (written_ + size > failWritesAfter_) return false;
  written_ += size;
  ++writes;
  std::string& d = *entries_.at(it->second.key).data;
  if (d.size() < it->second.pos + size) d.resize(it->second.pos + size);
  std::copy_n(static_cast<const char*>(data), size, d.begin() + static_cast<long>(it->second.pos));
  it->second.pos += size;
  return true;
}

bool FakeFiles::Flush(FileHandle file) {
  if (!open_.count(file)) return false;
  ++flushes;
  return true;
}

void FakeFiles::Close(FileHandle file) { open_.erase(file); }

bool FakeFiles::Delete(const std::string& path) {
  const Entry* e = Node(path);
  if (!e || (e->attributes & kAttrDirectory) || (e->attributes & kAttrReadOnly) || e->locked)
    return false;
  deleted.push_back(e->path);
  entries_.erase(Key(path));
  return true;
}

bool FakeFiles::CreateFolder(const std::string& path) {
  if (Node(path) || !Node(Parent(Strip(path)))) return false;
  entries_[Key(path)] = Entry{Strip(path), kAttrDirectory};
  return true;
}

bool FakeFiles::RemoveFolder(const std::string& path) {
  const Entry* e = Node(path);
  if (!e || !(e->attributes & kAttrDirectory) || e->locked || HasChildren(Key(path))) return false;
  deleted.push_back(e->path);
  entries_.erase(Key(path));
  return true;
}

bool FakeFiles::Replace(const std::string& from, const std::string& to) {
  Entry* src = Node(from);
  const Entry* dst = Node(to);
  if (!src || (dst && (dst->locked || (dst->attributes & kAttrReadOnly)))) return false;
  Entry moved = *src;
  moved.path = to;
  entries_.erase(Key(from));
  entries_[Key(to)] = moved;
  return true;
}

bool FakeFiles::Append(const std::string& path, const std::string& bytes) {
  Entry* e = Node(path);
  if (!e) {
    if (!Node(Parent(path))) return false;
    AddFile(path);
    e = Node(path);
  }
  if (e->attributes & (kAttrDirectory | kAttrReadOnly)) return false;
  if (written_ + bytes.size() > failWritesAfter_) return false;
  written_ += bytes.size();
  *e->data += bytes;
  return true;
}

std::optional<std::string> FakeFiles::ReadAll(const std::string& path) {
  const Entry* e = Node(path);
  if (!e || (e->attributes & kAttrDirectory)) return std::nullopt;
  return *e->data;
}

bool FakeFiles::WriteAll(const std::string& path, const std::string& bytes) {
  if (!Node(Parent(path))) return false;
  Entry* e = Node(path);
  if (e && (e->attributes & (kAttrDirectory | kAttrReadOnly))) return false;
  if (written_ + bytes.size() > failWritesAfter_) return false;
  written_ += bytes.size();
  if (!e) {
    AddFile(path, bytes);
  } else {
    e->data = std::make_shared<std::string>(bytes);
  }
  return true;
}

}  // namespace nimbrel
