#include "settings/KeepLists.h"

#include <algorithm>
#include <cmath>

#include "erasers/modFiles.h"
#include "erasers/modRegistry.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

constexpr const char* kSection = "Cookies";
constexpr const char* kTypedUrls = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
// The shortest line a key can take: "Cookie_KeepN=" and the line end.
constexpr std::uint64_t kMinKeyLine = 14;

std::string InProgramFolder(Context& ctx, const char* name) {
  return ctx.platform.system.ProgramFolder() + "\\" + name;
}

bool Exists(Files& files, const std::string& path) {
  return files.Attributes(path) != kInvalidAttributes;
}

// Clears the way for a new file beside the old one; false when a stale one stays.
bool ClearStale(Files& files, const std::string& path) {
  return !Exists(files, path) || files.Delete(path);
}

// The number of entries Counter asks for, bounded by the file's size.
std::uint64_t EntryCount(Context& ctx, const std::string& file) {
  const std::string counter = Trim(ReadIniString(ctx, kSection, "Counter", file));
  if (counter.empty()) return 0;
  const auto n = AsNumber(counter);
  if (!n || *n < 1 || *n != std::floor(*n)) return 0;
  const std::uint64_t room = ctx.platform.files.Size(file).value_or(0) / kMinKeyLine;
  return *n >= static_cast<double>(room) ? room : static_cast<std::uint64_t>(*n);
}

}  // namespace

std::string CookieKeepListPath(Context& ctx) { return InProgramFolder(ctx, "Cookies.ini"); }

std::string TypedAddressKeepListPath(Context& ctx) { return InProgramFolder(ctx, "Backup.dat"); }

std::string ReadIniString(Context& ctx, const std::string& section, const std::string& key,
                          const std::string& file) {
  return ctx.platform.profile.ReadString(section, key, file);
}

bool WriteIniString(Context& ctx, const std::string& section, const std::string& key,
                    const std::string& value, const std::string& file) {
  return ctx.platform.profile.WriteString(section, key, value, file);
}

bool ListContains(const ListBox& list, const std::string& text) {
  const std::string wanted = Trim(text);
  for (int i = 0; i < list.ListCount(); ++i)
    if (EqualsNoCase(Trim(list.List(i)), wanted)) return true;
  return false;
}

std::vector<std::string> ListCurrentCookies(Context& ctx) {
  std::vector<std::string> names;
  std::string folder = ctx.CookiesFolder;
  // An unset folder would list the current drive's root.
  if (Trim(folder).empty()) return names;
  if (folder.back() != '\\') folder += '\\';
  for (const FileEntry& e : ctx.platform.files.Find(folder + "*.*")) {
    if (e.name == "." || e.name == ".." || (e.attributes & kAttrDirectory)) continue;
    if (!EqualsNoCase(Trim(e.name), "index.dat")) names.push_back(e.name);
    ctx.platform.loop.DoEvents();
  }
  return names;
}

std::vector<std::string> ListCurrentTypedAddresses(Context& ctx) {
  std::vector<std::string> addresses;
  for (int n = 1;; ++n) {
    const std::string url =
        ReadRegString(ctx, RegRoot::CurrentUser, kTypedUrls, "url" + std::to_string(n));
    if (url.empty()) break;
    if (!Trim(url).empty()) addresses.push_back(url);
    ctx.platform.loop.DoEvents();
  }
  return addresses;
}

std::vector<std::string> ReadCookieKeepList(Context& ctx) {
  const std::string file = CookieKeepListPath(ctx);
  std::vector<std::string> entries;
  const std::uint64_t count = EntryCount(ctx, file);
  for (std::uint64_t k = 1; k <= count; ++k) {
    entries.push_back(ReadIniString(ctx, kSection, "Cookie_Keep" + std::to_string(k), file));
    ctx.platform.loop.DoEvents();
  }
  return entries;
}

std::vector<std::string> ReadTypedAddressKeepList(Context& ctx) {
  std::vector<std::string> lines;
  const auto text = ctx.platform.files.ReadAll(TypedAddressKeepListPath(ctx));
  if (!text) return lines;
  // A line ends at CR LF, CR or LF; the last one needs no line end.
  std::size_t start = 0;
  while (start < text->size()) {
    const std::size_t end = std::min(text->find_first_of("\r\n", start), text->size());
    lines.push_back(text->substr(start, end - start));
    start = end;
    if (start < text->size() && (*text)[start] == '\r') ++start;
    if (start < text->size() && (*text)[start] == '\n') ++start;
    ctx.platform.loop.DoEvents();
  }
  return lines;
}

void SaveCookieKeepList(Context& ctx, const std::vector<std::string>& entries) {
  Files& files = ctx.platform.files;
  const std::string file = CookieKeepListPath(ctx), fresh = file + ".new";
  if (!ClearStale(files, fresh)) return;
  bool complete = true;
  std::size_t n = 0;
  for (const std::string& entry : entries) {
    ++n;
    complete = WriteIniString(ctx, kSection, "Cookie_Keep" + std::to_string(n), entry, fresh);
    ctx.platform.loop.DoEvents();
    if (!complete) break;
  }
  if (complete) complete = WriteIniString(ctx, kSection, "Counter", std::to_string(n), fresh);
  if (!complete) {
    files.Delete(fresh);
    return;
  }
  EraseFile(ctx, file);
  files.Replace(fresh, file);
}

void SaveTypedAddressKeepList(Context& ctx, const std::vector<std::string>& entries) {
  Files& files = ctx.platform.files;
  const std::string file = TypedAddressKeepListPath(ctx), fresh = file + ".new";
  if (entries.empty()) {
    if (Exists(files, file)) files.Delete(file);
    return;
  }
  if (!ClearStale(files, fresh)) return;
  for (const std::string& entry : entries) {
    const bool written = files.Append(fresh, entry + "\r\n");
    ctx.platform.loop.DoEvents();
    if (!written) {
      files.Delete(fresh);
      return;
    }
  }
  files.Replace(fresh, file);
}

}  // namespace nimbrel
