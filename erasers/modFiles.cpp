#include "erasers/modFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/Text.h"

namespace nimbrel {

namespace {

// The pattern goes out in writes of this many blocks (1 MiB): writing block by
// block is many times slower, and the bytes on disk are the same.
constexpr std::uint64_t kBlocksPerWrite = 512;

const std::string& Pattern(char fill) {
  static const std::string a(kBlocksPerWrite * kOverwriteBlockSize, kBlockA);
  static const std::string b(kBlocksPerWrite * kOverwriteBlockSize, kBlockB);
  return fill == kBlockA ? a : b;
}

bool IsDots(const std::string& name) { return name == "." || name == ".."; }

bool HasWildcards(std::string_view text) { return text.find_first_of("*?") != text.npos; }

// The folder part of a path, with its trailing backslash ("" when none).
std::string FolderPartOf(const std::string& path) {
  const auto cut = path.rfind('\\');
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// Length of the drive or share root ("C:\", "\\server\share\"); 0 when the
// path is not absolute.
std::size_t RootLength(std::string_view p) {
  if (p.size() >= 3 && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')) &&
      p[1] == ':' && p[2] == '\\')
    return 3;
  if (p.size() < 3 || p[0] != '\\' || p[1] != '\\' || p[2] == '?' || p[2] == '.') return 0;
  const auto serverEnd = p.find('\\', 2);
  if (serverEnd == p.npos || serverEnd == 2) return 0;
  const auto shareEnd = p.find('\\', serverEnd + 1);
  if (shareEnd == serverEnd + 1) return 0;
  return shareEnd == p.npos ? p.size() : shareEnd + 1;
}

std::string WithBackslashes(std::string_view path) {
  std::string p(path);
  std::replace(p.begin(), p.end(), '/', '\\');
  return p;
}

// An absolute file path; with wildcards in its name only inside a safe folder.
bool IsErasableFilePath(const std::string& path) {
  const std::string p = WithBackslashes(path);
  const std::size_t root = RootLength(p);
  if (root == 0 || p.size() <= root || p.back() == '\\') return false;
  return !HasWildcards(FileNameOf(p)) || IsSafeBaseFolder(FolderPartOf(p));
}

// The existence test: an ordinary or hidden file, not a folder or system file.
bool IsPlainOrHiddenFile(std::uint32_t attributes) {
  return !(attributes & (kAttrDirectory | kAttrSystem));
}

// A file that an ordinary find (no hidden or system files) reports.
bool IsOrdinaryFile(std::uint32_t attributes) {
  return !(attributes & (kAttrDirectory | kAttrHidden | kAttrSystem));
}

bool IsLinkEntry(Files& files, const std::string& path, std::uint32_t attributes) {
  return (attributes & kAttrReparsePoint) || files.IsLink(path);
}

void CountErased(Context& ctx) {
  ++ctx.FilesDeleted;
  ctx.ShowFilesCount();
}

void AddSizeToLabel(Context& ctx, std::uint64_t size) {
  Label* label = ctx.display.lblSize;
  if (!label) return;
  // 64-bit sums: a file of 2 GiB or more must not wrap the total.
  const double shown = AsNumber(label->Caption()).value_or(0.0);
  const double total = (std::isfinite(shown) && shown > 0 ? std::floor(shown) : 0.0) +
                       static_cast<double>(size);
  label->SetCaption(std::to_string(static_cast<std::uint64_t>(std::min(total, 1.8e19))));
}

// The extra passes asked for; a text that is no number asks for none.
double ExtraPasses(Context& ctx) {
  const auto n = AsNumber(ctx.settings.ReadSetting(kOptions, "cmboverwriteTracksFiles", "0"));
  return std::min(n.value_or(0.0), static_cast<double>(kMaxExtraPasses));
}

// One pass: every 2048-byte stretch, plus one past the end, gets block A and
// then block B at the same place; the pass is flushed to the medium.
// `known` is the length when the caller has it (from a folder listing).
void OverwritePass(Context& ctx, const std::string& path,
                   std::optional<std::uint64_t> known = std::nullopt) {
  Files& files = ctx.platform.files;
  const std::uint64_t length = known ? *known : files.Size(path).value_or(0);
  const FileHandle file = files.OpenForOverwrite(path);
  if (!file) return;
  std::uint64_t blocks = length / kOverwriteBlockSize + 1;
  std::uint64_t position = 0;
  bool ok = true;
  while (ok && blocks > 0) {
    const std::uint64_t n = std::min(blocks, kBlocksPerWrite);
    const auto bytes = static_cast<std::size_t>(n * kOverwriteBlockSize);
    ok = files.Write(file, Pattern(kBlockA).data(), bytes) && files.Seek(file, position) &&
         files.Write(file, Pattern(kBlockB).data(), bytes);
    position += bytes;
    blocks -= n;
    ctx.platform.loop.DoEvents();
  }
  files.Flush(file);
  files.Close(file);
}

// The general delete: every ordinary file matching the path (wildcards
// allowed) is deleted; links are left alone.
void DeleteMatching(Context& ctx, const std::string& path) {
  if (!IsErasableFilePath(path)) return;
  Files& files = ctx.platform.files;
  const std::string folder = FolderPartOf(WithBackslashes(path));
  for (const FileEntry& entry : files.Find(path)) {
    if (IsDots(entry.name) || !IsOrdinaryFile(entry.attributes)) continue;
    const std::string full = folder + entry.name;
    if (!IsLinkEntry(files, full, entry.attributes)) files.Delete(full);
  }
}

// Clears the read-only attribute so that the item can be removed.
void MakeWritable(Files& files, const std::string& path, std::uint32_t attributes) {
  if (!(attributes & kAttrReadOnly)) return;
  const std::uint32_t kept = attributes & (kAttrHidden | kAttrSystem | kAttrArchive);
  files.SetAttributes(path, kept ? kept : kAttrNormal);
}

// Removes the folder's content and then the folder; links inside stay (and
// with them the folders that hold them).
void RemoveTree(Context& ctx, const std::string& folder, std::uint32_t attributes) {
  Files& files = ctx.platform.files;
  MakeWritable(files, folder, attributes);
  for (const FileEntry& entry : files.Find(folder + "\\*")) {
    if (IsDots(entry.name)) continue;
    const std::string full = folder + "\\" + entry.name;
    if (entry.attributes & kAttrReparsePoint) {
      // Left alone: removing a link can remove its target instead.
    } else if (entry.attributes & kAttrDirectory) {
      RemoveTree(ctx, full, entry.attributes);
    } else if (!files.IsLink(full)) {
      MakeWritable(files, full, entry.attributes);
      files.Delete(full);
    }
    ctx.platform.loop.DoEvents();
  }
  files.RemoveFolder(folder);
}

// The pass loop: passes follow the settings, re-read after each; `length` is
// the file's length before the first pass when the caller knows it.
void RunPasses(Context& ctx, const std::string& path, bool overwrite,
               std::optional<std::uint64_t> length = std::nullopt) {
  for (int pass = 1;; ++pass) {
    if (overwrite) OverwritePass(ctx, path, pass == 1 ? length : std::nullopt);
    if (!ctx.OptionSelected("chkenablesecureerasing")) break;
    if (ExtraPasses(ctx) < pass) break;
  }
}

// SecureEraseFile for a file the tree walk listed: the listing's attributes and
// size stand for a new look-up (each costs a server round trip under Wine).
// True when the file is gone; false when the walk is to check the path again.
bool EraseListedFile(Context& ctx, const std::string& path, const FileEntry& entry) {
  Files& files = ctx.platform.files;
  if (!IsErasableFilePath(path) || !IsPlainOrHiddenFile(entry.attributes) ||
      IsLinkEntry(files, path, entry.attributes))
    return false;
  CountErased(ctx);
  AddSizeToLabel(ctx, entry.size);
  RunPasses(ctx, path, files.LinkCount(path) == 1, entry.size);
  // Once the file is gone, the general delete would find nothing more.
  if (files.Delete(path)) return true;
  DeleteMatching(ctx, path);
  return false;
}

bool IsKeptInTree(const std::string& path) {
  const std::string p = Trim(path);
  return FindNoCase(p, "index.dat") != std::string::npos ||
         FindNoCase(p, "SKINS") != std::string::npos;
}

// `folder` ends in "\" and has passed the safety checks.
void WalkTree(Context& ctx, const std::string& folder, const std::string& pattern) {
  Files& files = ctx.platform.files;
  std::vector<std::string> subFolders;
  for (const FileEntry& entry : files.Find(folder + "*")) {
    if (IsDots(entry.name)) continue;
    // A linked folder is never entered: it leads out of the tree.
    if ((entry.attributes & kAttrDirectory) && !(entry.attributes & kAttrReparsePoint))
      subFolders.push_back(entry.name);
    ctx.platform.loop.DoEvents();
  }
  for (const FileEntry& entry : files.Find(folder + pattern)) {
    if (IsDots(entry.name)) continue;
    const std::string full = folder + entry.name;
    ctx.AddProgressLine("  " + full);
    if (!IsKeptInTree(full) && !(entry.attributes & kAttrReparsePoint)) {
      if (!EraseListedFile(ctx, full, entry)) {
        const std::uint32_t left = files.Attributes(full);
        if (left != kInvalidAttributes && IsOrdinaryFile(left)) EraseFile(ctx, full);
      }
    }
    ctx.platform.loop.DoEvents();
  }
  for (const std::string& sub : subFolders) {
    WalkTree(ctx, folder + sub + "\\", pattern);
    ctx.platform.loop.DoEvents();
  }
}

}  // namespace

bool IsSafeBaseFolder(std::string_view folder) {
  const std::string p = WithBackslashes(folder);
  const std::size_t root = RootLength(p);
  if (root == 0) return false;
  int parts = 0;
  std::size_t start = root;
  while (start <= p.size()) {
    const std::size_t end = std::min(p.find('\\', start), p.size());
    std::string_view part(p.data() + start, end - start);
    if (!part.empty()) {
      if (part.find_first_of("*?:<>|\"") != part.npos) return false;
      // Windows drops trailing dots and blanks: ".", ".." and ". " name no folder.
      const auto kept = part.find_last_not_of(". ");
      if (kept == part.npos) return false;
      ++parts;
    }
    start = end + 1;
  }
  return parts > 0;
}

void SecureEraseFile(Context& ctx, const std::string& path) {
  if (!IsErasableFilePath(path)) return;
  Files& files = ctx.platform.files;
  std::uint32_t attributes = kInvalidAttributes;
  for (const FileEntry& entry : files.Find(path))
    if (!IsDots(entry.name) && IsPlainOrHiddenFile(entry.attributes)) {
      attributes = entry.attributes;
      break;
    }
  if (attributes == kInvalidAttributes) return;
  const bool pattern = HasWildcards(FileNameOf(path));
  // A link is left alone: writing or deleting through it would reach its target.
  if (!pattern && IsLinkEntry(files, path, attributes)) return;

  CountErased(ctx);
  AddToErasedSize(ctx, path);
  // Data shared with another name (a hard link) is not overwritten.
  RunPasses(ctx, path, !pattern && files.LinkCount(path) == 1);
  // Without wildcards, the general delete finds nothing once the first delete worked.
  if (!files.Delete(path) || pattern) DeleteMatching(ctx, path);
}

void EraseFile(Context& ctx, const std::string& path) {
  SecureEraseFile(ctx, path);
  DeleteMatching(ctx, path);
}

bool EraseFolder(Context& ctx, const std::string& path) {
  CountErased(ctx);
  AddToErasedSize(ctx, path);
  std::string folder = path;
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  if (!IsSafeBaseFolder(folder)) return false;
  Files& files = ctx.platform.files;
  const std::uint32_t attributes = files.Attributes(folder);
  if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory) ||
      (attributes & kAttrReparsePoint))
    return false;
  RemoveTree(ctx, folder, attributes);
  return files.Attributes(folder) == kInvalidAttributes;
}

void EraseFilesInTree(Context& ctx, const std::string& folder, const std::string& pattern) {
  const std::string base = EnsureTrailingBackslash(folder);
  if (!IsSafeBaseFolder(base) || pattern.empty() ||
      pattern.find_first_of("\\/") != std::string::npos)
    return;
  const std::uint32_t attributes = ctx.platform.files.Attributes(base);
  if (attributes == kInvalidAttributes || !(attributes & kAttrDirectory) ||
      (attributes & kAttrReparsePoint))
    return;
  WalkTree(ctx, base, pattern);
}

void AddToErasedSize(Context& ctx, const std::string& path) {
  if (!ctx.display.lblSize) return;
  Files& files = ctx.platform.files;
  std::uint64_t size = 0;
  if (!HasWildcards(path)) {
    const std::uint32_t attributes = files.Attributes(path);
    if (attributes != kInvalidAttributes && !(attributes & kAttrDirectory))
      size = files.Size(path).value_or(0);
  }
  AddSizeToLabel(ctx, size);
}

std::string FileNameOf(const std::string& path) {
  const auto cut = path.rfind('\\');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string EnsureTrailingBackslash(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path : path + "\\";
}

void EmptyRecycleBin(Context& ctx) {
  ctx.platform.shell.EmptyRecycleBin(ctx.display.window ? ctx.display.window->Handle() : 0);
}

}  // namespace nimbrel
