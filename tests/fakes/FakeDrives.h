// Drives over the in-memory file system: each has a capacity, which the
// files on it fill (its free room is what they leave), and a file table of so
// many entries; a drive can go away while a wipe works.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "fakes/FakeFiles.h"
#include "platform/Drives.h"
#include "platform/Path.h"

namespace nimbrel {

class FakeDrives final : public Drives {
 public:
  struct Drive {
    std::uint64_t capacity = 4ull << 20;
    std::size_t entries = 200;  // files and folders the file table holds
    bool fixed = true, readOnly = false, gone = false;
    std::optional<bool> solidState;
    // Goes away once so many bytes were written to it.
    std::uint64_t goneAfter = ~0ull;
  };

  explicit FakeDrives(FakeFiles& files) : files_(files) {}
  std::map<std::string, Drive> drives;  // by root, "C:\"
  std::uint64_t written = 0;

  std::vector<std::string> FixedDrives() override {
    std::vector<std::string> out;
    for (const auto& [root, d] : drives)
      if (d.fixed && !d.gone) out.push_back(root);
    return out;
  }
  std::optional<DriveSpace> Space(const std::string& root) override {
    const Drive* d = Find(root);
    if (!d || d->gone) return std::nullopt;
    return DriveSpace{d->capacity - std::min(d->capacity, Used(root).bytes), d->capacity};
  }
  DriveKind Kind(const std::string& root) override {
    const Drive* d = Find(root);
    return d ? DriveKind{"NTFS", d->readOnly, d->solidState} : DriveKind{};
  }
  FileHandle CreateNew(const std::string& path) override {
    Drive* d = Find(RootOf(path));
    if (!d || d->gone || files_.Exists(path) || !files_.Exists(ParentOf(path)) || TableFull(path))
      return 0;
    files_.AddFile(path);
    const FileHandle h = files_.OpenForErase(path).handle;
    if (h) open_[h] = path;
    return h;
  }
  bool CreateFolder(const std::string& path) override {
    Drive* d = Find(RootOf(path));
    if (!d || d->gone || TableFull(path)) return false;
    return files_.CreateFolder(path);
  }
  std::size_t WriteAt(FileHandle file, std::uint64_t position, const char* bytes,
                      std::size_t size) override {
    const auto it = open_.find(file);
    if (it == open_.end()) return 0;
    const std::string root = RootOf(it->second);
    Drive& d = drives[root];
    if (d.gone) return 0;
    const std::uint64_t length = files_.Size(it->second).value_or(0);
    const std::uint64_t grows = position + size > length ? position + size - length : 0;
    const std::uint64_t room = Space(root)->freeBytes;
    std::size_t n = size;
    if (grows > room) n = static_cast<std::size_t>(length + room > position ? length + room - position : 0);
    if (n == 0 || !files_.Seek(file, position) || !files_.Write(file, bytes, n)) return 0;
    written += n;
    if (written >= d.goneAfter) GoAway(root);
    return n;
  }
  bool Flush(FileHandle file) override { return files_.Flush(file); }
  void Close(FileHandle file) override {
    if (open_.erase(file)) files_.Close(file);
  }
  bool RemoveLink(const std::string& path) override { return files_.RemoveLinkEntry(path); }

  // The drive is gone: nothing on it can be written, made or removed.
  void GoAway(const std::string& root) {
    drives[root].gone = true;
    for (const std::string& path : Below(root)) files_.Deny(path);
  }
  void ComeBack(const std::string& root) {
    drives[root].gone = false;
    drives[root].goneAfter = ~0ull;
    Allow(root);
  }

 private:
  struct Usage {
    std::uint64_t bytes = 0;
    std::size_t entries = 0;
  };
  Drive* Find(const std::string& root) {
    const auto it = drives.find(root);
    return it == drives.end() ? nullptr : &it->second;
  }
  static std::string RootOf(const std::string& path) { return path.substr(0, 3); }
  // Allows each folder before listing it: a denied folder lists nothing.
  void Allow(const std::string& folder) {
    const std::string at = EnsureTrailingBackslash(folder);
    for (const FileEntry& e : files_.Find(at + "*")) {
      if (IsDots(e.name) || e.name.empty()) continue;
      files_.Allow(at + e.name);
      if ((e.attributes & kAttrDirectory) && !(e.attributes & kAttrReparsePoint)) Allow(at + e.name);
    }
  }
  std::vector<std::string> Below(const std::string& folder) {
    std::vector<std::string> out;
    const std::string at = EnsureTrailingBackslash(folder);
    for (const FileEntry& e : files_.Find(at + "*")) {
      if (IsDots(e.name) || e.name.empty()) continue;
      out.push_back(at + e.name);
      if ((e.attributes & kAttrDirectory) && !(e.attributes & kAttrReparsePoint))
        for (std::string& below : Below(at + e.name)) out.push_back(std::move(below));
    }
    return out;
  }
  Usage Used(const std::string& root) {
    Usage u;
    for (const std::string& path : Below(root)) {
      ++u.entries;
      if (!(files_.Attributes(path) & kAttrDirectory)) u.bytes += files_.Size(path).value_or(0);
    }
    return u;
  }
  bool TableFull(const std::string& path) {
    const std::string root = RootOf(path);
    return Used(root).entries >= drives[root].entries;
  }

  FakeFiles& files_;
  std::map<FileHandle, std::string> open_;
};

}  // namespace nimbrel
