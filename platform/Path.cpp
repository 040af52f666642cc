#include "platform/Path.h"

#include <algorithm>

#include "platform/Text.h"

namespace nimbrel {

std::string FileNameOf(std::string_view path) {
  const auto cut = path.rfind('\\');
  return std::string(cut == path.npos ? path : path.substr(cut + 1));
}

std::string ParentOf(std::string_view path) {
  const auto cut = path.rfind('\\');
  return cut == path.npos ? std::string() : std::string(path.substr(0, cut));
}

std::vector<std::string> PartsOf(std::string_view path) {
  std::vector<std::string> parts;
  for (std::size_t at = 0; at <= path.size();) {
    const std::size_t end = std::min(path.find('\\', at), path.size());
    if (end > at) parts.emplace_back(path.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

std::string FolderPartOf(std::string_view path) {
  const auto cut = path.rfind('\\');
  return cut == path.npos ? std::string() : std::string(path.substr(0, cut + 1));
}

std::string EnsureTrailingBackslash(std::string_view path) {
  std::string out(path);
  if (out.empty() || out.back() != '\\') out += '\\';
  return out;
}

std::string WithoutTrailingBackslash(std::string_view path) {
  const bool driveRoot = path.size() >= 3 && path[1] == ':' &&
                         path.find_first_not_of('\\', 2) == path.npos;
  if (driveRoot) return std::string(path.substr(0, 3));
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

std::string WithBackslashes(std::string_view path) {
  std::string p(path);
  std::replace(p.begin(), p.end(), '/', '\\');
  return p;
}

bool IsDots(std::string_view name) { return name == "." || name == ".."; }

bool HasWildcards(std::string_view text) { return text.find_first_of("*?") != text.npos; }

bool IsAtOrAbove(const std::string& ancestor, const std::string& path) {
  if (ancestor.empty() || path.size() < ancestor.size()) return false;
  if (path.compare(0, ancestor.size(), ancestor) != 0) return false;
  return path.size() == ancestor.size() || ancestor.back() == '\\' ||
         path[ancestor.size()] == '\\';
}

void AddFolderOnce(std::vector<std::string>& list, std::string folder) {
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  if (folder.empty()) return;
  for (const std::string& known : list)
    if (EqualsNoCase(known, folder)) return;
  list.push_back(std::move(folder));
}

bool Exists(Files& files, const std::string& path) {
  return files.Attributes(path) != kInvalidAttributes;
}

bool IsFile(Files& files, const std::string& path) {
  const std::uint32_t attributes = files.Attributes(path);
  return attributes != kInvalidAttributes && !(attributes & kAttrDirectory);
}

bool IsOwnFile(Files& files, const std::string& path) {
  const std::uint32_t attributes = files.Attributes(path);
  return attributes == kInvalidAttributes ||
         (!(attributes & kAttrDirectory) && !files.IsLink(path) && files.LinkCount(path) == 1);
}

}  // namespace nimbrel
