#include "settings/KeepLists.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "platform/Path.h"
#include "platform/Text.h"
#include "settings/ProfileText.h"

namespace nimbrel {

namespace {

constexpr const char* kSection = "Cookies";
constexpr std::string_view kKeyPrefix = "Cookie_Keep";
// The shortest line a key can take: "Cookie_KeepN=" and the line end.
constexpr std::uint64_t kMinKeyLine = 14;

// k for a key named "Cookie_Keep" + k (k decimal, no leading zero), as a
// look-up of that key by name would find it; 0 for any other key.
std::uint64_t KeepIndex(std::string_view name) {
  if (name.size() <= kKeyPrefix.size() || name.size() > kKeyPrefix.size() + 18 ||
      !StartsWithNoCase(name, kKeyPrefix) || name[kKeyPrefix.size()] == '0')
    return 0;
  std::uint64_t k = 0;
  for (char c : name.substr(kKeyPrefix.size())) {
    if (c < '0' || c > '9') return 0;
    k = k * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return k;
}

// The entries a Counter value asks for, a whole number from 1 up, at most
// `room`; 0 for anything else.
std::uint64_t CounterEntries(std::string_view counter, std::uint64_t room) {
  const auto n = AsNumber(counter);
  if (!n || *n < 1 || *n != std::floor(*n)) return 0;
  return *n >= static_cast<double>(room) ? room : static_cast<std::uint64_t>(*n);
}

// The list a keep-list file holds, read in one piece; none when it is missing.
std::vector<std::string> ReadListFile(const Platform& p, const std::string& path,
                                      std::vector<std::string> (*parse)(std::string_view)) {
  const auto text = p.files.ReadAll(path);
  std::vector<std::string> list;
  if (text) list = parse(*text);
  p.loop.DoEvents();
  return list;
}

}  // namespace

bool ClearStaleFile(const Platform& p, const std::string& path) {
  return !Exists(p.files, path) || (IsOwnFile(p.files, path) && p.files.Delete(path));
}

std::vector<std::string> CookieKeepListOf(std::string_view text) {
  // The first key of each name counts, as a look-up by name finds it.
  std::optional<std::string> counter;
  std::unordered_map<std::uint64_t, std::string> kept;
  std::uint64_t last = 0;
  for (ProfileKey& key : ReadProfileSection(text, kSection)) {
    if (!counter && EqualsNoCase(key.name, "Counter")) counter = key.value;
    const std::uint64_t k = KeepIndex(key.name);
    if (k > 0 && kept.emplace(k, std::move(key.value)).second) last = std::max(last, k);
  }
  // Counter entries, missing ones empty; but none past the last key the file
  // holds (a damaged Counter would make up blank entries by the million) nor
  // more than the file has lines for.
  const std::uint64_t count =
      CounterEntries(counter.value_or(""), std::min(last, text.size() / kMinKeyLine));
  std::vector<std::string> entries;
  entries.reserve(static_cast<std::size_t>(count));
  for (std::uint64_t k = 1; k <= count; ++k) {
    const auto entry = kept.find(k);
    entries.push_back(entry == kept.end() ? std::string() : std::move(entry->second));
  }
  return entries;
}

std::vector<std::string> ReadCookieKeepList(const Platform& p, DataFolder& data) {
  return ReadListFile(p, data.PathToRead(p, kCookieKeepListFile), CookieKeepListOf);
}

std::vector<std::string> TypedAddressKeepListOf(std::string_view text) {
  std::vector<std::string> lines;
  // A line ends at CR LF, CR or LF; the last one needs no line end.
  while (!text.empty()) {
    const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(end);
    if (text.starts_with('\r')) text.remove_prefix(1);
    if (text.starts_with('\n')) text.remove_prefix(1);
  }
  return lines;
}

std::vector<std::string> ReadTypedAddressKeepList(const Platform& p, DataFolder& data) {
  return ReadListFile(p, data.PathToRead(p, kTypedAddressKeepListFile), TypedAddressKeepListOf);
}

std::string CookieKeepListText(const std::vector<std::string>& entries) {
  std::vector<ProfileKey> keys;
  keys.reserve(entries.size() + 1);
  for (const std::string& entry : entries)
    keys.push_back({std::string(kKeyPrefix) + std::to_string(keys.size() + 1), entry});
  keys.push_back({"Counter", std::to_string(entries.size())});
  return ProfileSectionText(kSection, keys);
}

bool WriteCookieKeepListFile(const Platform& p, const std::vector<std::string>& entries,
                             const std::string& file) {
  const bool complete = p.files.WriteAll(file, CookieKeepListText(entries));
  if (!complete && IsOwnFile(p.files, file)) p.files.Delete(file);
  return complete;
}

void SaveTypedAddressKeepList(const Platform& p, DataFolder& data,
                              const std::vector<std::string>& entries) {
  Files& files = p.files;
  const std::string file = data.PathToSave(p, kTypedAddressKeepListFile), fresh = file + ".new";
  // A list file that is a link or another name of a file is left as it is.
  if (!IsOwnFile(files, file)) return;
  if (entries.empty()) {
    if (Exists(files, file)) files.Delete(file);
    return;
  }
  if (!ClearStaleFile(p, fresh)) return;
  std::string text;
  for (const std::string& entry : entries) text.append(entry).append("\r\n");
  if (!files.WriteAll(fresh, text)) {
    files.Delete(fresh);
    return;
  }
  files.Replace(fresh, file);
}

bool CookieFileKept(const std::vector<std::string>& keepList, std::string_view name) {
  return std::find(keepList.begin(), keepList.end(), name) != keepList.end();
}

bool TypedAddressKept(const std::vector<std::string>& keepList, std::string_view address) {
  const std::string wanted = ToUpper(Trim(address));
  return std::any_of(keepList.begin(), keepList.end(),
                     [&](const std::string& line) { return ToUpper(Trim(line)) == wanted; });
}

std::string SiteOf(std::string_view host) {
  std::string site = ToLower(Trim(host));
  site.erase(0, site.find_first_not_of('.'));
  site.erase(site.find_last_not_of('.') + 1);
  return site;
}

std::vector<std::string> KeptSites(const std::vector<std::string>& keepList) {
  std::vector<std::string> sites;
  for (const std::string& entry : keepList) {
    const std::string trimmed = Trim(entry);
    if (!StartsWithNoCase(trimmed, kKeptSitePrefix)) continue;
    std::string site = SiteOf(std::string_view(trimmed).substr(kKeptSitePrefix.size()));
    if (!site.empty()) sites.push_back(std::move(site));
  }
  return sites;
}

bool SiteKept(std::string_view host, const std::vector<std::string>& sites) {
  const std::string h = SiteOf(host);
  for (const std::string& site : sites)
    if (h == site || (h.size() > site.size() && h.ends_with(site) &&
                      h[h.size() - site.size() - 1] == '.'))
      return true;
  return false;
}

}  // namespace nimbrel
