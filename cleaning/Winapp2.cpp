#include "cleaning/Winapp2.h"

#include <optional>
#include <unordered_set>

#include "platform/Text.h"

namespace nimbrel {

namespace {

// A registry value name has at most this many characters; a longer name is
// no entry a tick could be stored for.
constexpr std::size_t kMaxNameLength = 255;

std::vector<std::string> Split(std::string_view text, char at) {
  std::vector<std::string> parts;
  for (;;) {
    const auto end = text.find(at);
    parts.push_back(Trim(text.substr(0, end)));
    if (end == std::string_view::npos) return parts;
    text.remove_prefix(end + 1);
  }
}

bool HasControlCharacters(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return true;
  return false;
}

std::string WithoutTrailingBackslashes(std::string text) {
  while (!text.empty() && text.back() == '\\') text.pop_back();
  return text;
}

// "a;b;;c": the non-empty names; none when one holds a folder part.
std::vector<std::string> Names(std::string_view list) {
  std::vector<std::string> names;
  for (std::string& n : Split(list, ';')) {
    if (n.find_first_of("\\/") != std::string::npos) return {};
    if (!n.empty()) names.push_back(std::move(n));
  }
  return names;
}

std::optional<FilesAction> FileKeyOf(std::string_view value) {
  const std::vector<std::string> parts = Split(value, '|');
  if (parts.size() < 2 || parts[0].empty()) return std::nullopt;
  FilesAction key;
  key.line = value;
  key.folder = WithoutTrailingBackslashes(parts[0]);
  // "sub\pattern", alone: the pattern in a sub-folder.
  if (const std::string& p = parts[1]; p.find(';') == std::string::npos && p.find('\\') != p.npos) {
    // Appended piece by piece: GCC 12 warns wrongly about "\\" + std::string.
    key.folder += '\\';
    key.folder += WithoutTrailingBackslashes(p.substr(0, p.rfind('\\')));
    key.patterns = Names(p.substr(p.rfind('\\') + 1));
  } else {
    key.patterns = Names(p);
  }
  if (key.folder.empty() || key.patterns.empty()) return std::nullopt;
  for (std::size_t i = 2; i < parts.size(); ++i) {
    if (EqualsNoCase(parts[i], "RECURSE"))
      key.recurse = true;
    else if (EqualsNoCase(parts[i], "REMOVESELF"))
      key.removeEmptied = true;
    else
      return std::nullopt;
  }
  return key;
}

std::optional<KeyAction> RegKeyOf(std::string_view value) {
  const auto bar = value.find('|');
  KeyAction key{std::string(value), WithoutTrailingBackslashes(Trim(value.substr(0, bar))), {}};
  if (key.key.empty()) return std::nullopt;
  if (bar != std::string_view::npos) {
    key.value = Trim(value.substr(bar + 1));
    if (key.value->empty() || key.value->find('|') != std::string::npos) return std::nullopt;
  }
  return key;
}

std::optional<Exclusion> ExcludeOf(std::string_view value) {
  const std::vector<std::string> parts = Split(value, '|');
  if (parts.size() < 2 || parts.size() > 3 || parts[1].empty()) return std::nullopt;
  Exclusion ex{ExclusionKind::File, WithoutTrailingBackslashes(parts[1]), {}};
  if (ex.where.empty()) return std::nullopt;
  const std::string last = parts.size() == 3 ? parts[2] : std::string();
  if (EqualsNoCase(parts[0], "FILE")) {
    ex.names = Names(last);
    if (ex.names.empty()) return std::nullopt;
  } else if (EqualsNoCase(parts[0], "PATH")) {
    ex.kind = ExclusionKind::Path;
    ex.names = last.empty() ? std::vector<std::string>{"*"} : Names(last);
    if (ex.names.empty()) return std::nullopt;
  } else if (EqualsNoCase(parts[0], "REG")) {
    ex.kind = ExclusionKind::Reg;
    if (!last.empty()) ex.names = {last};
  } else {
    return std::nullopt;
  }
  return ex;
}

bool IsHeaderNameSound(std::string_view name) {
  return name.size() > 2 && name.size() <= kMaxNameLength && name.ends_with(" *") &&
         !Trim(name.substr(0, name.size() - 2)).empty();
}

// Reads one "Key=value" line into the entry; false when it is malformed.
bool ReadKey(Winapp2Entry& e, Winapp2Counts& counts, std::string_view key,
             std::string_view value) {
  // Numbered keys (FileKey1, Detect2 ...) are told apart by their name alone.
  const auto digits = key.find_last_not_of("0123456789");
  const std::string_view base = key.substr(0, digits == std::string_view::npos ? 0 : digits + 1);
  const bool numbered = base.size() < key.size();
  const std::string text = Trim(value);
  if (text.empty()) return false;
  const auto once = [&](std::string& field, int& count) {
    if (numbered) return false;
    if (field.empty()) field = text;
    ++count;
    return true;
  };
  if (EqualsNoCase(base, "FileKey")) {
    auto k = FileKeyOf(text);
    if (!k) return false;
    e.fileKeys.push_back(std::move(*k));
    ++counts.fileKey;
  } else if (EqualsNoCase(base, "RegKey")) {
    auto k = RegKeyOf(text);
    if (!k) return false;
    e.regKeys.push_back(std::move(*k));
    ++counts.regKey;
  } else if (EqualsNoCase(base, "ExcludeKey")) {
    auto k = ExcludeOf(text);
    if (!k) return false;
    e.excludes.push_back(std::move(*k));
    ++counts.excludeKey;
  } else if (EqualsNoCase(base, "Detect")) {
    e.detects.push_back(WithoutTrailingBackslashes(text));
    ++counts.detect;
  } else if (EqualsNoCase(base, "DetectFile")) {
    e.detectFiles.push_back(WithoutTrailingBackslashes(text));
    ++counts.detectFile;
  } else if (EqualsNoCase(base, "LangSecRef")) {
    return once(e.langSecRef, counts.langSecRef);
  } else if (EqualsNoCase(base, "Section")) {
    return once(e.section, counts.section);
  } else if (EqualsNoCase(base, "Warning")) {
    return once(e.warning, counts.warning);
  } else if (EqualsNoCase(base, "DetectOS")) {
    return once(e.detectOS, counts.detectOS);
  } else if (EqualsNoCase(base, "SpecialDetect")) {
    return once(e.specialDetect, counts.specialDetect);
  } else if (EqualsNoCase(base, "Default")) {
    ++counts.defaults;  // every entry starts unticked, whatever it says
  } else {
    return false;
  }
  return true;
}

}  // namespace

std::string Winapp2TickKey(std::string_view name) {
  return Trim(name.ends_with(" *") ? name.substr(0, name.size() - 2) : name);
}

Winapp2File ParseWinapp2(std::string_view text) {
  Winapp2File file;
  Winapp2Counts& counts = file.counts;
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::unordered_set<std::string> names;  // upper-case: ticks are stored by name
  Winapp2Entry* entry = nullptr;
  bool skipping = false;  // inside a malformed or repeated section
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    // Trimmed by hand: a long line is not copied just to be looked at.
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::string_view name = line.size() > 1 && line.back() == ']'
                                        ? line.substr(1, line.size() - 2)
                                        : std::string_view();
      skipping = !IsHeaderNameSound(name) || HasControlCharacters(name) ||
                 !names.insert(ToUpper(name)).second;
      if (skipping) {
        ++counts.skippedSections;
        entry = nullptr;
        continue;
      }
      entry = &file.entries.emplace_back();
      entry->name = name;
      continue;
    }
    if (skipping) continue;
    const auto eq = line.find('=');
    if (!entry || eq == std::string_view::npos || HasControlCharacters(line) ||
        !ReadKey(*entry, counts, Trim(line.substr(0, eq)), line.substr(eq + 1)))
      ++counts.skippedLines;
  }
  return file;
}

}  // namespace nimbrel
