#include "cleaning/Winapp2Erase.h"

#include <algorithm>
#include <optional>

#include "erasers/DefinitionActions.h"
#include "platform/Path.h"
#include "platform/Text.h"
#include "settings/DataFolder.h"

namespace nimbrel {

namespace {

// A file larger than this is no cleaning file: it is not read.
constexpr std::size_t kMaxFileBytes = 64u << 20;

// ---- Detection ----

std::optional<double> VersionOf(std::string_view text) {
  const std::string t = Trim(text);
  if (t.empty()) return std::nullopt;
  return AsNumber(t);
}

bool WithinOs(Context& ctx, std::string_view bounds) {
  if (bounds.empty()) return true;
  const OsVersion v = ctx.platform.system.Version();
  // major.minor as a number: 6.1 and 10.0 compare as they should, 6.10 never occurs.
  const double version = v.major + v.minor / (v.minor >= 10 ? 100.0 : 10.0);
  const auto bar = bounds.find('|');
  const auto low = VersionOf(bounds.substr(0, bar));
  const auto high = bar == std::string_view::npos ? std::nullopt : VersionOf(bounds.substr(bar + 1));
  return (!low || version >= *low - 1e-9) && (!high || version <= *high + 1e-9);
}

bool PathExists(Context& ctx, const PathVariables& vars, const std::string& text) {
  for (const std::string& path : vars.Expand(text).paths) {
    if (HasWildcards(path)) {
      if (!ResolveWildcards(ctx, path, true).empty()) return true;
    } else if (ctx.platform.files.Attributes(path) != kInvalidAttributes) {
      return true;
    }
  }
  return false;
}

// The browsers SpecialDetect names, by the folder each keeps its profiles in.
bool SpecialDetected(Context& ctx, const PathVariables& vars, const std::string& name) {
  static const std::pair<const char*, const char*> kBrowsers[] = {
      {"DET_CHROME", "%LocalAppData%\\Google\\Chrome\\User Data"},
      {"DET_MOZILLA", "%AppData%\\Mozilla\\Firefox"},
      {"DET_THUNDERBIRD", "%AppData%\\Thunderbird"},
      {"DET_OPERA", "%AppData%\\Opera Software"}};
  for (const auto& [det, folder] : kBrowsers)
    if (EqualsNoCase(name, det)) return PathExists(ctx, vars, folder);
  return false;
}

Winapp2Catalogue& Cache() {
  static Winapp2Catalogue catalogue;
  return catalogue;
}

}  // namespace

bool Winapp2Detected(Context& ctx, const PathVariables& vars, const Winapp2Entry& entry) {
  if (!WithinOs(ctx, entry.detectOS)) return false;
  if (entry.detects.empty() && entry.detectFiles.empty() && entry.specialDetect.empty())
    return true;
  for (const std::string& key : entry.detects)
    if (NamedKeyExists(ctx, key)) return true;
  for (const std::string& file : entry.detectFiles)
    if (PathExists(ctx, vars, file)) return true;
  return !entry.specialDetect.empty() && SpecialDetected(ctx, vars, entry.specialDetect);
}

void EraseWinapp2Entry(Context& ctx, const PathVariables& vars, const Winapp2Entry& entry) {
  const DefinitionEraser eraser(ctx, vars, entry.excludes);
  for (const FilesAction& key : entry.fileKeys) {
    eraser.Erase(key);
    ctx.DoEvents();
  }
  for (const KeyAction& key : entry.regKeys) {
    eraser.Erase(key);
    ctx.DoEvents();
  }
}

std::string Winapp2Location(Context& ctx) {
  const std::string path = ctx.dataFolder.PathToRead(ctx.platform, kWinapp2File);
  return IsFile(ctx.platform.files, path) ? path : std::string();
}

namespace {

// The file's text as the file and registry functions take it: each line in
// UTF-8 beyond ASCII (the file's usual form, its mark aside) in the ANSI code
// page, or left out when a character has no place there (it could name no
// file or key Windows would find); any other line is ANSI text already.
std::string AnsiText(Context& ctx, std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  std::string out;
  out.reserve(bytes.size());
  while (!bytes.empty()) {
    const std::size_t end = std::min(bytes.find('\n'), bytes.size() - 1) + 1;
    const std::string_view line = bytes.substr(0, end);
    bytes.remove_prefix(end);
    if (!IsUtf8BeyondAscii(line)) {
      out += line;
    } else if (const auto ansi = ctx.platform.system.AnsiOfUtf8(line)) {
      out += *ansi;
    } else if (line.ends_with('\n')) {
      out += '\n';
    }
  }
  return out;
}

}  // namespace

const Winapp2Catalogue& Winapp2Entries(Context& ctx, bool detect) {
  Winapp2Catalogue& c = Cache();
  const std::string path = Winapp2Location(ctx);
  std::string bytes;
  if (!path.empty())
    if (const auto size = ctx.platform.files.Size(path); size && *size <= kMaxFileBytes)
      bytes = ctx.platform.files.ReadAll(path).value_or(std::string());
  const bool changed = path != c.path || bytes != c.bytes;
  if (changed) {
    c.path = path;
    c.bytes = std::move(bytes);
    c.file = ParseWinapp2(AnsiText(ctx, c.bytes));
  }
  if (changed || detect) {
    c.detected.clear();
    const PathVariables vars(ctx);
    for (const Winapp2Entry& e : c.file.entries)
      if (Winapp2Detected(ctx, vars, e)) c.detected.push_back(&e);
  }
  return c;
}

Winapp2Run::Winapp2Run(Context& ctx)
    : ctx_(ctx), file_(Winapp2Entries(ctx, false).file), vars_(ctx) {
  byName_.reserve(file_.entries.size());
  for (const Winapp2Entry& e : file_.entries) byName_.try_emplace(ToUpper(e.name), &e);
}

const Winapp2Entry* Winapp2Run::Find(std::string_view row) const {
  // Built-in rows never end so: only a community row is looked up.
  const std::string name = Trim(row);
  if (!name.ends_with(" *")) return nullptr;
  const auto it = byName_.find(ToUpper(name));
  return it == byName_.end() ? nullptr : it->second;
}

}  // namespace nimbrel
