#include "erasers/JumpLists.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "erasers/modFiles.h"
#include "erasers/modOSVersion.h"
#include "platform/Shell.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

std::uint32_t U32(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
std::uint16_t U16(std::string_view b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                    static_cast<unsigned char>(b[at + 1]) << 8);
}

constexpr std::string_view kSignature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kLastSector = 0xFFFFFFFA;  // numbers above name no sector
constexpr std::size_t kHeaderFatEntries = 109;
constexpr std::size_t kDirEntry = 128;
constexpr std::uint64_t kNoLimit = std::numeric_limits<std::uint64_t>::max();

struct StreamRead {
  enum { Missing, Found, Damaged } state;
  std::string data = {};
};

// A read-only view of an OLE compound file: its allocation tables and its
// streams, each followed link by link with every number checked, so a
// damaged file ends in "unreadable" and never in a read outside it.
class CompoundFile {
 public:
  explicit CompoundFile(std::string_view bytes) : bytes_(bytes) { ok_ = Load(); }
  bool Readable() const { return ok_; }
  // The first stream of that name (ASCII, letter case aside).
  StreamRead Stream(std::string_view name) const;

 private:
  // The units of a chain of `table` starting at `first`, each `unit` bytes
  // at `base + n * unit` of `area`, up to `limit` bytes; none for a chain that
  // leaves the table or the area, loops, or ends short of `limit`.
  static std::optional<std::string> Follow(const std::vector<std::uint32_t>& table,
                                           std::uint32_t first, std::string_view area,
                                           std::size_t base, std::size_t unit,
                                           std::uint64_t limit);
  static std::vector<std::uint32_t> Numbers(std::string_view data);
  bool Load();

  std::string_view bytes_;
  bool ok_ = false;
  std::size_t sector_ = 512;
  std::uint32_t cutoff_ = 4096;
  std::vector<std::uint32_t> fat_, miniFat_;
  std::string directory_, miniStream_;
};

std::optional<std::string> CompoundFile::Follow(const std::vector<std::uint32_t>& table,
                                                std::uint32_t first, std::string_view area,
                                                std::size_t base, std::size_t unit,
                                                std::uint64_t limit) {
  std::string out;
  std::size_t steps = 0;
  for (std::uint32_t at = first; at != kEndOfChain && out.size() < limit; at = table[at]) {
    if (at >= table.size() || ++steps > table.size()) return std::nullopt;
    const std::size_t offset = base + static_cast<std::size_t>(at) * unit;
    if (offset > area.size() || area.size() - offset < unit) return std::nullopt;
    out.append(area.substr(offset, unit));
  }
  if (limit == kNoLimit) return out;
  if (out.size() < limit) return std::nullopt;
  out.resize(static_cast<std::size_t>(limit));
  return out;
}

std::vector<std::uint32_t> CompoundFile::Numbers(std::string_view data) {
  std::vector<std::uint32_t> out;
  for (std::size_t at = 0; at + 4 <= data.size(); at += 4) out.push_back(U32(data, at));
  return out;
}

bool CompoundFile::Load() {
  if (bytes_.size() < 512 || !bytes_.starts_with(kSignature)) return false;
  const std::uint16_t shift = U16(bytes_, 0x1E);
  if ((shift != 9 && shift != 12) || U16(bytes_, 0x20) != 6) return false;
  sector_ = std::size_t{1} << shift;
  cutoff_ = U32(bytes_, 0x38);
  // The allocation table's sectors: the first 109 named in the header, the
  // others in the chain of extension sectors, each ending in the next's number.
  std::vector<std::uint32_t> fatSectors;
  const std::uint32_t fatCount = U32(bytes_, 0x2C);
  for (std::size_t i = 0; i < kHeaderFatEntries && fatSectors.size() < fatCount; ++i)
    fatSectors.push_back(U32(bytes_, 0x4C + 4 * i));
  std::uint32_t difat = U32(bytes_, 0x44);
  for (std::uint32_t n = U32(bytes_, 0x48); n > 0 && difat <= kLastSector; --n) {
    const std::size_t offset = (static_cast<std::size_t>(difat) + 1) * sector_;
    if (offset > bytes_.size() || bytes_.size() - offset < sector_) return false;
    const std::vector<std::uint32_t> listed = Numbers(bytes_.substr(offset, sector_));
    for (std::size_t i = 0; i + 1 < listed.size() && fatSectors.size() < fatCount; ++i)
      fatSectors.push_back(listed[i]);
    difat = listed.back();
  }
  if (fatSectors.size() != fatCount) return false;
  for (const std::uint32_t s : fatSectors) {
    const std::size_t offset = (static_cast<std::size_t>(s) + 1) * sector_;
    if (s > kLastSector || offset > bytes_.size() || bytes_.size() - offset < sector_)
      return false;
    const std::vector<std::uint32_t> part = Numbers(bytes_.substr(offset, sector_));
    fat_.insert(fat_.end(), part.begin(), part.end());
  }
  auto dir = Follow(fat_, U32(bytes_, 0x30), bytes_, sector_, sector_, kNoLimit);
  if (!dir || dir->size() < kDirEntry) return false;
  directory_ = std::move(*dir);
  // The root entry holds the small streams' area; the small allocation table
  // says how its 64-byte units chain.
  const std::uint32_t rootStart = U32(directory_, 116);
  const std::uint64_t rootSize = U32(directory_, 120);
  if (rootStart != kEndOfChain) {
    auto mini = Follow(fat_, rootStart, bytes_, sector_, sector_, rootSize);
    if (!mini) return false;
    miniStream_ = std::move(*mini);
  }
  if (U32(bytes_, 0x40) > 0) {
    auto table = Follow(fat_, U32(bytes_, 0x3C), bytes_, sector_, sector_, kNoLimit);
    if (!table) return false;
    miniFat_ = Numbers(*table);
  }
  return true;
}

StreamRead CompoundFile::Stream(std::string_view name) const {
  constexpr std::uint8_t kStream = 2;
  for (std::size_t at = 0; at + kDirEntry <= directory_.size(); at += kDirEntry) {
    const std::string_view entry = std::string_view(directory_).substr(at, kDirEntry);
    if (static_cast<std::uint8_t>(entry[66]) != kStream) continue;
    // The name: UTF-16, its length in bytes with the closing zero.
    std::string ascii;
    for (std::size_t i = 0; i + 2 < std::min<std::size_t>(U16(entry, 64), 64); i += 2)
      ascii.push_back(U16(entry, i) < 128 ? static_cast<char>(U16(entry, i)) : '?');
    if (!EqualsNoCase(ascii, name)) continue;
    // Only the low half of the size counts in files of 512-byte sectors.
    const std::uint64_t size = U32(entry, 120);
    if (size > bytes_.size()) return {StreamRead::Damaged};
    auto data = size < cutoff_ ? Follow(miniFat_, U32(entry, 116), miniStream_, 0, 64, size)
                               : Follow(fat_, U32(entry, 116), bytes_, sector_, sector_, size);
    if (!data) return {StreamRead::Damaged};
    return {StreamRead::Found, std::move(*data)};
  }
  return {StreamRead::Missing};
}

}  // namespace

std::optional<std::uint32_t> PinnedJumpListItems(std::string_view file) {
  const CompoundFile compound(file);
  if (!compound.Readable()) return std::nullopt;
  const StreamRead read = compound.Stream("DestList");
  if (read.state == StreamRead::Missing) return 0;
  if (read.state == StreamRead::Damaged) return std::nullopt;
  const std::string* list = &read.data;
  // The header: version, entries, pinned entries, then 20 bytes of counters.
  constexpr std::size_t kHeader = 32;
  if (list->size() < kHeader) return std::nullopt;
  const std::uint32_t version = U32(*list, 0), entries = U32(*list, 4);
  std::uint32_t pinned = U32(*list, 8);
  // Each entry carries its own pin state too (-1: not pinned), at the same
  // place in every version; Windows 7's entries (version 1) are shorter.
  const std::size_t fixed = version == 1 ? 114 : 130, trailer = version == 1 ? 0 : 4;
  std::size_t at = kHeader;
  for (std::uint32_t i = 0; i < entries; ++i) {
    if (list->size() - at < fixed) return std::nullopt;
    if (U32(*list, at + 108) != 0xFFFFFFFF && pinned == 0) pinned = 1;
    const std::size_t path = 2 * static_cast<std::size_t>(U16(*list, at + fixed - 2));
    if (list->size() - at - fixed < path + trailer) return std::nullopt;
    at += fixed + path + trailer;
  }
  return pinned;
}

void EraseJumpLists(Context& ctx) {
  // Windows 7 is 6.1: Vista keeps no jump lists.
  if (!WindowsAtLeast(ctx, 6, 1)) return;
  const std::string recent = ctx.platform.shell.SpecialFolder(kCsidlRecent);
  if (recent.empty()) return;
  Files& files = ctx.platform.files;
  // Windows' lists stay well below this; a larger file is not read whole.
  constexpr std::uint64_t kLargestList = 64 << 20;
  const SpareFile pinned = [&](const std::string& path) {
    const std::optional<std::string> bytes = files.Size(path).value_or(0) <= kLargestList
                                                 ? files.ReadAll(path)
                                                 : std::nullopt;
    const std::optional<std::uint32_t> pins =
        bytes ? PinnedJumpListItems(*bytes) : std::optional<std::uint32_t>();
    if (pins && *pins == 0) return false;
    ctx.AddProgressLine((pins ? "  kept (pinned items): " : "  kept (unreadable): ") + path);
    return true;
  };
  EraseFilesInTree(ctx, recent + "\\AutomaticDestinations", "*.automaticDestinations-ms", {},
                   pinned);
  // A program's custom list holds the tasks and categories it offers; what
  // the user pins of it is kept in its automatic list.
  EraseFilesInTree(ctx, recent + "\\CustomDestinations", "*.customDestinations-ms");
}

}  // namespace nimbrel
