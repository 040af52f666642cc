#include "preview/PreviewFiles.h"

#include <algorithm>
#include <cstring>

#include "platform/Path.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

constexpr std::uint32_t kKindBits = kAttrDirectory | kAttrReparsePoint;

// The folder of a path, which may be spelt with "/" as the system reads it.
std::string ParentOfSpelt(const std::string& path) { return ParentOf(WithBackslashes(path)); }

// The prefix every key below the folder key starts with.
std::string Below(const std::string& folderKey) { return EnsureTrailingBackslash(folderKey); }

}  // namespace

PreviewFiles::Node PreviewFiles::Gone(const std::string& path, bool folder) {
  Node node;
  node.path = path;
  node.present = false;
  node.folder = folder;
  return node;
}

PreviewFiles::Node PreviewFiles::Made(const std::string& path, bool folder) {
  Node node;
  node.path = path;
  node.folder = folder;
  node.ownData = true;
  node.attributesSet = true;
  node.attributes = folder ? kAttrDirectory : kAttrArchive;
  return node;
}

PreviewFiles::Node* PreviewFiles::NodeOf(const std::string& path) {
  const auto it = nodes_.find(PathKey(path));
  return it == nodes_.end() ? nullptr : &it->second;
}

bool PreviewFiles::GoneInPreview(const std::string& path) const {
  if (mode_ != PreviewMode::Preview) return false;
  const std::string key = PathKey(path);
  // The path itself, or a folder above it, deleted in the preview.
  for (std::size_t end = key.find('\\'); ; end = key.find('\\', end + 1)) {
    const auto it = nodes_.find(key.substr(0, end));
    if (it != nodes_.end() && !it->second.present) return true;
    if (end == std::string::npos) return false;
  }
}

bool PreviewFiles::Touched(const std::string& folderKey) const {
  const std::string prefix = Below(folderKey);
  const auto it = nodes_.lower_bound(prefix);
  return it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

bool PreviewFiles::FolderExists(const std::string& path) {
  // A drive's root ("C:" as the folder part of "C:\\Autoexec.bat") always is.
  if (path.size() <= 3 && path.size() >= 2 && path[1] == ':') return true;
  const std::uint32_t attributes = Attributes(path);
  return attributes != kInvalidAttributes && (attributes & kAttrDirectory);
}

std::vector<FileEntry> PreviewFiles::Find(const std::string& pattern) {
  const std::string spelt = WithBackslashes(pattern);
  if (!Preview() || spelt.find('\\') == std::string::npos) return inner_.Find(pattern);
  const std::string folder = ParentOf(spelt), mask = FileNameOf(spelt);
  const std::string folderKey = PathKey(folder);
  if (GoneInPreview(folder)) return {};
  std::vector<FileEntry> found = inner_.Find(pattern);
  if (!Touched(folderKey)) return found;

  std::vector<FileEntry> out;
  std::set<std::string> listed;
  for (FileEntry& entry : found) {
    if (IsDots(entry.name)) {
      out.push_back(entry);
      continue;
    }
    const std::string key = Below(folderKey) + ToUpper(entry.name);
    listed.insert(key);
    const auto it = nodes_.find(key);
    if (it == nodes_.end()) {
      out.push_back(entry);
      continue;
    }
    const Node& node = it->second;
    if (!node.present) continue;
    if (node.attributesSet) entry.attributes = node.attributes;
    if (!node.folder) entry.size = node.ownData ? node.data.size() : entry.size + node.data.size();
    out.push_back(entry);
  }
  // What exists only in memory: files and folders the preview made.
  const std::string prefix = Below(folderKey);
  const bool madeHere = [&] {
    const Node* self = NodeOf(folder);
    return self && self->present && self->ownData;
  }();
  if (madeHere && out.empty())
    for (const char* dots : {".", ".."})
      if (WildcardMatch(mask, dots)) out.push_back({dots, kAttrDirectory, 0});
  for (auto it = nodes_.lower_bound(prefix);
       it != nodes_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it) {
    const Node& node = it->second;
    const std::string name = FileNameOf(WithBackslashes(node.path));
    if (it->first.find('\\', prefix.size()) != std::string::npos || !node.present ||
        listed.count(it->first) || !WildcardMatch(mask, name))
      continue;
    out.push_back({name, node.attributes, node.folder ? 0 : node.data.size()});
  }
  return out;
}

std::uint32_t PreviewFiles::Attributes(const std::string& path) {
  if (GoneInPreview(path)) return kInvalidAttributes;
  if (Preview())
    if (const Node* node = NodeOf(path); node && node->attributesSet) return node->attributes;
  return inner_.Attributes(path);
}

bool PreviewFiles::SetAttributes(const std::string& path, std::uint32_t attributes) {
  const std::uint32_t before = Attributes(path);
  if (before == kInvalidAttributes) return false;
  if (!Preview()) {
    if (!inner_.SetAttributes(path, attributes)) return false;
    if (inner_.Attributes(path) != before) journal_.Modified(path);
    return true;
  }
  // As the system sets them: the kind stays, "normal" alone means none.
  std::uint32_t after = (before & kKindBits) | (attributes & ~(kKindBits | kAttrNormal));
  if (after == 0) after = kAttrNormal;
  if (after == before) return true;
  Node* node = NodeOf(path);
  if (!node) {
    node = &nodes_[PathKey(path)];
    node->path = path;
  }
  node->folder = (after & kAttrDirectory) != 0;
  node->attributesSet = true;
  node->attributes = after;
  journal_.Modified(path);
  return true;
}

bool PreviewFiles::IsLink(const std::string& path) {
  if (GoneInPreview(path)) return false;
  if (Preview())
    if (const Node* node = NodeOf(path); node && node->ownData) return false;
  return inner_.IsLink(path);
}

bool PreviewFiles::HeldOpen(const std::string& path) {
  return !GoneInPreview(path) && inner_.HeldOpen(path);
}

std::uint32_t PreviewFiles::LinkCount(const std::string& path) {
  if (GoneInPreview(path)) return 0;
  if (Preview())
    if (const Node* node = NodeOf(path); node && node->ownData) return 1;
  return inner_.LinkCount(path);
}

std::optional<std::uint64_t> PreviewFiles::Size(const std::string& path) {
  if (GoneInPreview(path)) return std::nullopt;
  const Node* node = Preview() ? NodeOf(path) : nullptr;
  if (!node) return inner_.Size(path);
  if (node->folder) return std::nullopt;
  if (node->ownData) return node->data.size();
  const auto real = inner_.Size(path);
  if (!real) return std::nullopt;
  return *real + node->data.size();
}

PreviewFiles::Open* PreviewFiles::OpenOf(FileHandle file) {
  const auto it = open_.find(file);
  return it == open_.end() ? nullptr : &it->second;
}

ErasableFile PreviewFiles::OpenForErase(const std::string& path) {
  Open open;
  open.path = path;
  std::uint32_t links = 1;
  const Node* node = Preview() ? NodeOf(path) : nullptr;
  if (GoneInPreview(path)) return {};
  if (node && (node->ownData || node->attributesSet)) {
    // As the preview has it: made in memory, or with attributes it changed.
    const std::uint32_t attributes = Attributes(path);
    if (attributes == kInvalidAttributes || (attributes & (kAttrDirectory | kAttrReadOnly)))
      return {};
    open.size = Size(path).value_or(0);
    if (!node->ownData) {
      const ErasableFile real = inner_.OpenForErase(path);
      if (real.link) return real;
      // Refused, the real file is read-only still: the run would have changed that first.
      open.inner = real.handle;
      if (real.handle) links = real.links;
    }
  } else {
    const ErasableFile real = inner_.OpenForErase(path);
    if (!real.handle) return real;
    open.inner = real.handle;
    open.size = (Preview() ? Size(path) : inner_.Size(path)).value_or(0);
    links = real.links;
  }
  open_[next_] = open;
  return {next_++, false, links};
}

bool PreviewFiles::IsUnder(FileHandle file, const std::string& folder) {
  const Open* open = OpenOf(file);
  if (!open) return false;
  if (open->inner) return inner_.IsUnder(open->inner, folder);
  const std::string prefix = Below(PathKey(folder));
  return PathKey(open->path).compare(0, prefix.size(), prefix) == 0;
}

bool PreviewFiles::Write(FileHandle file, const void* data, std::size_t size) {
  Open* open = OpenOf(file);
  if (!open) return false;
  if (!Preview()) {
    if (!inner_.Write(open->inner, data, size)) return false;
    open->written = true;
    return true;
  }
  // The real file keeps its bytes; one made in memory gets them.
  if (Node* node = NodeOf(open->path); node && node->ownData) {
    if (node->data.size() < open->position + size) node->data.resize(open->position + size);
    std::memcpy(node->data.data() + open->position, data, size);
  }
  open->position += size;
  open->written = true;
  return true;
}

bool PreviewFiles::Seek(FileHandle file, std::uint64_t position) {
  Open* open = OpenOf(file);
  if (!open) return false;
  if (!Preview()) return inner_.Seek(open->inner, position);
  open->position = static_cast<std::size_t>(position);
  return true;
}

bool PreviewFiles::Flush(FileHandle file) {
  const Open* open = OpenOf(file);
  if (!open) return false;
  return Preview() || inner_.Flush(open->inner);
}

void PreviewFiles::OverwriteAndClose(FileHandle file, std::vector<ErasePass> passes) {
  // Pass by pass through this wrapper's own calls, so what is recorded (and in
  // pass-through done) is what writes made one by one would give.
  for (const ErasePass& pass : passes) {
    WritePass(pass, [&](std::uint64_t position, const char* bytes, std::size_t size) {
      return Seek(file, position) && Write(file, bytes, size);
    });
    Flush(file);
  }
  Close(file);
}

bool PreviewFiles::DeleteOnClose(FileHandle file) {
  Open* open = OpenOf(file);
  if (!open) return false;
  // The real file was opened with the right to delete, so the run can mark it.
  const bool marked = Preview() || inner_.DeleteOnClose(open->inner);
  if (marked) open->deleteOnClose = true;
  return marked;
}

void PreviewFiles::Close(FileHandle file) {
  const auto it = open_.find(file);
  if (it == open_.end()) return;
  const Open open = it->second;
  open_.erase(it);
  // A preview's handle was opened to learn what the run could do; closed
  // unmarked and unwritten, it leaves the file as it was.
  if (open.inner) inner_.Close(open.inner);
  if (open.written) journal_.Modified(open.path);
  if (!open.deleteOnClose) return;
  journal_.Deleted(open.path, open.size, false);
  known_.erase(PathKey(open.path));
  if (Preview()) nodes_[PathKey(open.path)] = Gone(open.path, false);
}

bool PreviewFiles::Deletable(const std::string& path) {
  const ErasableFile real = inner_.OpenForErase(path);
  if (real.handle) {
    inner_.Close(real.handle);
    return true;
  }
  // Refused for the read-only attribute the preview has taken off.
  const std::uint32_t attributes = inner_.Attributes(path);
  return !real.link && attributes != kInvalidAttributes && (attributes & kAttrReadOnly);
}

bool PreviewFiles::DeleteAtReboot(const std::string& path) {
  if (!Preview() && !inner_.DeleteAtReboot(path)) return false;
  journal_.Record(ChangeKind::AtReboot, path);
  return true;
}

bool PreviewFiles::Delete(const std::string& path) {
  if (!Preview()) {
    const auto size = inner_.Size(path);
    if (!inner_.Delete(path)) return false;
    journal_.Deleted(path, size.value_or(0), false);
    known_.erase(PathKey(path));
    return true;
  }
  const std::uint32_t attributes = Attributes(path);
  if (attributes == kInvalidAttributes || (attributes & (kAttrDirectory | kAttrReadOnly)))
    return false;
  const Node* node = NodeOf(path);
  if (!(node && node->ownData) && !Deletable(path)) return false;
  journal_.Deleted(path, Size(path).value_or(0), false);
  nodes_[PathKey(path)] = Gone(path, false);
  return true;
}

bool PreviewFiles::CreateFolder(const std::string& path) {
  if (!Preview()) {
    if (!inner_.CreateFolder(path)) return false;
    journal_.Created(path, true);
    return true;
  }
  if (Exists(path) || !FolderExists(ParentOfSpelt(path))) return false;
  nodes_[PathKey(path)] = Made(path, true);
  journal_.Created(path, true);
  return true;
}

bool PreviewFiles::RemoveFolder(const std::string& path) {
  if (!Preview()) {
    if (!inner_.RemoveFolder(path)) return false;
    journal_.Deleted(path, 0, true);
    return true;
  }
  const std::uint32_t attributes = Attributes(path);
  if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory) ||
      (attributes & kAttrReadOnly))
    return false;
  for (const FileEntry& entry : Find(EnsureTrailingBackslash(WithoutTrailingBackslash(path)) + "*"))
    if (!IsDots(entry.name)) return false;
  journal_.Deleted(path, 0, true);
  nodes_[PathKey(path)] = Gone(path, true);
  return true;
}

PreviewFiles::Node& PreviewFiles::Written(const std::string& path) {
  const bool exists = Exists(path);
  Node& node = nodes_[PathKey(path)];
  if (!exists) {
    node = Made(path, false);
  } else if (node.path.empty()) {
    node.path = path;  // the real file, appended to in memory
  }
  return node;
}

void PreviewFiles::NoteWrite(const std::string& path, bool existed) {
  if (existed)
    journal_.Modified(path);
  else
    journal_.Created(path, false);
}

bool PreviewFiles::NoteWritten(const std::string& path, bool existed) {
  if (Preview() && !existed) {
    if (!FolderExists(ParentOfSpelt(path))) return false;
    Written(path);
  }
  NoteWrite(path, existed);
  return true;
}

bool PreviewFiles::Replace(const std::string& from, const std::string& to) {
  if (!Preview()) {
    const bool existed = nimbrel::Exists(inner_, to);
    const auto size = inner_.Size(from);
    if (!inner_.Replace(from, to)) return false;
    journal_.Deleted(from, size.value_or(0), false);
    NoteWrite(to, existed);
    return true;
  }
  const std::uint32_t target = Attributes(to);
  const std::optional<std::string> data = ReadAll(from);
  if (!data || (target != kInvalidAttributes && (target & (kAttrDirectory | kAttrReadOnly))))
    return false;
  const std::uint64_t size = data->size();
  Node& moved = Written(to);
  moved.ownData = true;
  moved.data = *data;
  journal_.Deleted(from, size, false);
  nodes_[PathKey(from)] = Gone(from, false);
  NoteWrite(to, target != kInvalidAttributes);
  return true;
}

bool PreviewFiles::MayWrite(const std::string& path, bool& existed) {
  const std::uint32_t attributes = Attributes(path);
  existed = attributes != kInvalidAttributes;
  return existed ? !(attributes & (kAttrDirectory | kAttrReadOnly))
                 : FolderExists(ParentOfSpelt(path));
}

bool PreviewFiles::PassWrite(const std::string& path, const std::function<bool()>& write) {
  const std::string key = PathKey(path);
  const bool existed = known_.count(key) || nimbrel::Exists(inner_, path);
  if (!write()) return false;
  known_.insert(key);
  NoteWrite(path, existed);
  return true;
}

bool PreviewFiles::Append(const std::string& path, const std::string& bytes) {
  if (!Preview()) return PassWrite(path, [&] { return inner_.Append(path, bytes); });
  bool existed = false;
  if (!MayWrite(path, existed)) return false;
  Written(path).data += bytes;
  NoteWrite(path, existed);
  return true;
}

std::optional<std::string> PreviewFiles::ReadAll(const std::string& path) {
  if (GoneInPreview(path)) return std::nullopt;
  const Node* node = Preview() ? NodeOf(path) : nullptr;
  if (!node || (!node->ownData && node->data.empty())) return inner_.ReadAll(path);
  if (node->folder) return std::nullopt;
  if (node->ownData) return node->data;
  std::optional<std::string> real = inner_.ReadAll(path);
  if (real) *real += node->data;
  return real;
}

bool PreviewFiles::WriteAll(const std::string& path, const std::string& bytes) {
  if (!Preview()) return PassWrite(path, [&] { return inner_.WriteAll(path, bytes); });
  bool existed = false;
  if (!MayWrite(path, existed)) return false;
  Node& node = Written(path);
  node.ownData = true;
  node.data = bytes;
  NoteWrite(path, existed);
  return true;
}

std::string PreviewProfile::ReadString(const std::string& section, const std::string& key,
                                       const std::string& file) {
  if (mode_ == PreviewMode::Preview) {
    const auto it = written_.find(PathKey(file) + "\n" + ToUpper(section) + "\n" + ToUpper(key));
    if (it != written_.end()) return it->second;
    if (files_.GoneInPreview(file)) return "";
  }
  return inner_.ReadString(section, key, file);
}

bool PreviewProfile::WriteString(const std::string& section, const std::string& key,
                                 const std::string& value, const std::string& file) {
  const bool existed = nimbrel::Exists(files_, file);
  if (mode_ == PreviewMode::PassThrough) {
    if (!inner_.WriteString(section, key, value, file)) return false;
    return files_.NoteWritten(file, existed);
  }
  if (!files_.NoteWritten(file, existed)) return false;
  written_[PathKey(file) + "\n" + ToUpper(section) + "\n" + ToUpper(key)] = value;
  return true;
}

}  // namespace nimbrel
