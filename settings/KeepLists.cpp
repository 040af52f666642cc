#include "settings/KeepLists.h"

#include <algorithm>
#include <cmath>

#include "platform/Text.h"

namespace nimbrel {

namespace {

constexpr const char* kSection = "Cookies";
// The shortest line a key can take: "Cookie_KeepN=" and the line end.
constexpr std::uint64_t kMinKeyLine = 14;

std::string InProgramFolder(const Platform& p, const char* name) {
  return p.system.ProgramFolder() + "\\" + name;
}

bool Exists(Files& files, const std::string& path) {
  return files.Attributes(path) != kInvalidAttributes;
}

// The number of entries Counter asks for, bounded by the file's size.
std::uint64_t EntryCount(const Platform& p, const std::string& file) {
  const std::string counter = Trim(ReadIniString(p, kSection, "Counter", file));
  if (counter.empty()) return 0;
  const auto n = AsNumber(counter);
  if (!n || *n < 1 || *n != std::floor(*n)) return 0;
  const std::uint64_t room = p.files.Size(file).value_or(0) / kMinKeyLine;
  return *n >= static_cast<double>(room) ? room : static_cast<std::uint64_t>(*n);
}

}  // namespace

std::string CookieKeepListPath(const Platform& p) { return InProgramFolder(p, "Cookies.ini"); }

std::string TypedAddressKeepListPath(const Platform& p) { return InProgramFolder(p, "Backup.dat"); }

std::uint64_t CookieKeepListCount(const Platform& p, const std::string& file) {
  return EntryCount(p, file);
}

std::string ReadIniString(const Platform& p, const std::string& section, const std::string& key,
                          const std::string& file) {
  return p.profile.ReadString(section, key, file);
}

bool WriteIniString(const Platform& p, const std::string& section, const std::string& key,
                    const std::string& value, const std::string& file) {
  return p.profile.WriteString(section, key, value, file);
}

bool ClearStaleFile(const Platform& p, const std::string& path) {
  return !Exists(p.files, path) || p.files.Delete(path);
}

std::vector<std::string> ReadCookieKeepList(const Platform& p) {
  const std::string file = CookieKeepListPath(p);
  std::vector<std::string> entries;
  const std::uint64_t count = EntryCount(p, file);
  for (std::uint64_t k = 1; k <= count; ++k) {
    entries.push_back(ReadIniString(p, kSection, "Cookie_Keep" + std::to_string(k), file));
    p.loop.DoEvents();
  }
  return entries;
}

std::vector<std::string> ReadTypedAddressKeepList(const Platform& p) {
  std::vector<std::string> lines;
  const auto text = p.files.ReadAll(TypedAddressKeepListPath(p));
  if (!text) return lines;
  // A line ends at CR LF, CR or LF; the last one needs no line end.
  std::size_t start = 0;
  while (start < text->size()) {
    const std::size_t end = std::min(text->find_first_of("\r\n", start), text->size());
    lines.push_back(text->substr(start, end - start));
    start = end;
    if (start < text->size() && (*text)[start] == '\r') ++start;
    if (start < text->size() && (*text)[start] == '\n') ++start;
    p.loop.DoEvents();
  }
  return lines;
}

bool WriteCookieKeepListFile(const Platform& p, const std::vector<std::string>& entries,
                             const std::string& file) {
  bool complete = true;
  std::size_t n = 0;
  for (const std::string& entry : entries) {
    ++n;
    complete = WriteIniString(p, kSection, "Cookie_Keep" + std::to_string(n), entry, file);
    p.loop.DoEvents();
    if (!complete) break;
  }
  if (complete) complete = WriteIniString(p, kSection, "Counter", std::to_string(n), file);
  if (!complete) p.files.Delete(file);
  return complete;
}

void SaveTypedAddressKeepList(const Platform& p, const std::vector<std::string>& entries) {
  Files& files = p.files;
  const std::string file = TypedAddressKeepListPath(p), fresh = file + ".new";
  if (entries.empty()) {
    if (Exists(files, file)) files.Delete(file);
    return;
  }
  if (!ClearStaleFile(p, fresh)) return;
  for (const std::string& entry : entries) {
    const bool written = files.Append(fresh, entry + "\r\n");
    p.loop.DoEvents();
    if (!written) {
      files.Delete(fresh);
      return;
    }
  }
  files.Replace(fresh, file);
}

}  // namespace nimbrel
