#include "settings/ProfileText.h"

#include "platform/Text.h"

namespace nimbrel {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == 0x1A;
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The text up to its first NUL, as a C string sees it.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

std::string ProfileValue(std::string_view stored) {
  std::string_view value = TrimBlanks(UpToNul(stored));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value.substr(0, kProfileValueMax));
}

std::vector<ProfileKey> ReadProfileSection(std::string_view text, std::string_view section) {
  if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
  const std::string_view wanted = TrimBlanks(section);
  std::vector<ProfileKey> keys;
  bool inside = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = TrimBlanks(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.empty()) continue;
    const std::size_t close = line.rfind(']');
    if (line.front() == '[' && close != std::string_view::npos) {
      // Only the first section of the name is read.
      if (inside) break;
      inside = EqualsNoCase(UpToNul(line.substr(1, close - 1)), wanted);
      continue;
    }
    if (!inside) continue;
    const std::size_t equals = line.find('=');
    ProfileKey key{std::string(UpToNul(TrimBlanks(line.substr(0, equals)))), std::string()};
    if (equals != std::string_view::npos) key.value = ProfileValue(line.substr(equals + 1));
    keys.push_back(std::move(key));
  }
  return keys;
}

std::string ProfileSectionText(std::string_view section, const std::vector<ProfileKey>& keys) {
  std::size_t size = section.size() + 4;
  for (const ProfileKey& key : keys) size += key.name.size() + key.value.size() + 3;
  std::string out;
  out.reserve(size);
  out.append("[").append(section).append("]\r\n");
  for (const ProfileKey& key : keys) out.append(key.name).append("=").append(key.value).append("\r\n");
  return out;
}

}  // namespace nimbrel
