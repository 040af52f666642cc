#include "settings/SettingsStore.h"

namespace nimbrel {

namespace {
std::string SectionPath(const std::string& section) {
  return std::string(kSettingsRoot) + "\\" + section;
}
}  // namespace

SettingsStore::~SettingsStore() {
  for (const auto& [section, key] : open_) registry_.CloseKey(key);
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

std::string SettingsStore::Read(const std::string& section, const std::string& key,
                                const std::string& defaultText, bool& sectionThere) {
  std::uint32_t type = 0;
  std::string data;
  bool found = false;
  for (int attempt = 0; attempt < 2 && !found; ++attempt) {
    const RegKey k = SectionKey(section);
    sectionThere = k != 0;
    if (!k) return defaultText;
    found = registry_.QueryValue(k, key, type, data);
    // A key deleted since it was opened answers nothing, even when made anew
    // since: then the section is opened once more.
    RegKeyInfo info;
    if (found || registry_.QueryInfo(k, info)) break;
    Forget(section);
  }
  if (!found || type != kRegSz) return defaultText;
  if (const auto nul = data.find('\0'); nul != std::string::npos) data.resize(nul);
  return data;
}

void SettingsStore::WriteSetting(const std::string& section, const std::string& key,
                                 const std::string& text) {
  const RegKey k = registry_.CreateKey(RegRoot::CurrentUser, SectionPath(section));
  if (!k) return;
  registry_.SetValue(k, key, kRegSz, text + '\0');
  registry_.CloseKey(k);
}

}  // namespace nimbrel
