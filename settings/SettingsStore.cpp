#include "settings/SettingsStore.h"

namespace nimbrel {

namespace {
std::string SectionPath(const std::string& section) {
  return std::string(kSettingsRoot) + "\\" + section;
}
}  // namespace

std::string SettingsStore::ReadSetting(const std::string& section, const std::string& key,
                                       const std::string& defaultText) {
  const RegKey k = registry_.OpenKey(RegRoot::CurrentUser, SectionPath(section));
  if (!k) return defaultText;
  std::uint32_t type = 0;
  std::string data;
  const bool found = registry_.QueryValue(k, key, type, data);
  registry_.CloseKey(k);
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
