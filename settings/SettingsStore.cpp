#include "settings/SettingsStore.h"

#include <utility>

namespace nimbrel {

namespace {
std::string SectionPath(const std::string& section) {
  return std::string(kSettingsRoot) + "\\" + section;
}
}  // namespace

SettingsStore::~SettingsStore() {
  for (const auto& [section, key] : open_) registry_.CloseKey(key);
  if (watched_) registry_.CloseKey(watched_);
}

RegKey SettingsStore::SectionKey(const std::string& section) {
  if (const auto it = open_.find(section); it != open_.end()) return it->second;
  const RegKey key = registry_.OpenKey(RegRoot::CurrentUser, SectionPath(section));
  if (key) open_[section] = key;
  return key;
}

void SettingsStore::Forget(const std::string& section) {
  if (const auto it = open_.find(section); it != open_.end()) {
    registry_.CloseKey(it->second);
    open_.erase(it);
  }
}

std::string SettingsStore::ReadSetting(const std::string& section, const std::string& key,
                                       const std::string& defaultText) {
  bool sectionThere = true;
  return Read(section, key, defaultText, sectionThere);
}

std::vector<std::string> SettingsStore::ReadSettings(
    const std::string& section,
    std::initializer_list<std::pair<const char*, const char*>> keysAndDefaults) {
  std::vector<std::string> texts;
  bool sectionThere = true;
  for (const auto& [key, defaultText] : keysAndDefaults)
    texts.push_back(sectionThere ? Read(section, key, defaultText, sectionThere) : defaultText);
  return texts;
}

bool SettingsStore::Query(const std::string& section, const std::string& key, std::uint32_t& type,
                          std::string& data, bool& sectionThere) {
  bool found = false;
  for (int attempt = 0; attempt < 2 && !found; ++attempt) {
    const RegKey k = SectionKey(section);
    sectionThere = k != 0;
    if (!k) return false;
    found = registry_.QueryValue(k, key, type, data);
    // A key deleted since it was opened answers nothing, even when made anew
    // since: then the section is opened once more.
    RegKeyInfo info;
    if (found || registry_.QueryInfo(k, info)) break;
    Forget(section);
  }
  return found;
}

std::string SettingsStore::Read(const std::string& section, const std::string& key,
                                const std::string& defaultText, bool& sectionThere) {
  std::uint32_t type = 0;
  std::string data;
  if (!Query(section, key, type, data, sectionThere)) return defaultText;
  // A number stored by a policy or a .reg file reads as the text the program
  // would have stored for it: a check state "0" or "1", a count.
  if (type == kRegDword && data.size() == 4) {
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i) n = n << 8 | static_cast<unsigned char>(data[static_cast<std::size_t>(i)]);
    return std::to_string(n);
  }
  if (type != kRegSz) return defaultText;
  if (const auto nul = data.find('\0'); nul != std::string::npos) data.resize(nul);
  return data;
}

bool SettingsStore::HasSetting(const std::string& section, const std::string& key) {
  std::uint32_t type = 0;
  std::string data;
  bool sectionThere = true;
  return Query(section, key, type, data, sectionThere);
}

bool SettingsStore::SectionChanged(const std::string& section) {
  // The key above the program's own, since the deletion of a watched key
  // itself is never told.
  if (!watched_) {
    const std::string root = kSettingsRoot;
    watched_ = registry_.OpenKey(RegRoot::CurrentUser, root.substr(0, root.rfind('\\')));
  }
  if (!watched_ || registry_.KeyChanged(watched_))
    for (auto& [name, stale] : stale_) stale = true;
  return std::exchange(stale_.try_emplace(section, true).first->second, false);
}

void SettingsStore::WriteSetting(const std::string& section, const std::string& key,
                                 const std::string& text) {
  if (const auto it = stale_.find(section); it != stale_.end()) it->second = true;
  const RegKey k = registry_.CreateKey(RegRoot::CurrentUser, SectionPath(section));
  if (!k) return;
  registry_.SetValue(k, key, kRegSz, text + '\0');
  registry_.CloseKey(k);
}

}  // namespace nimbrel
