// The per-user settings store: named text values under
// HKEY_CURRENT_USER\Software\NimbrelSoft\Nimbrel\<section>, one REG_SZ each.
#pragma once

#include <string>

#include "platform/Registry.h"

namespace nimbrel {

inline constexpr const char* kSettingsRoot = "Software\\NimbrelSoft\\Nimbrel";
inline constexpr const char* kOptions = "Options";
inline constexpr const char* kSettings = "Settings";

// The keys are named where they are used: the categories' in the category
// catalogue, the applications' in the application catalogue, the options'
// by the dialog and the services that read them.

class SettingsStore {
 public:
  explicit SettingsStore(Registry& registry) : registry_(registry) {}
  // The stored text, or `defaultText` when the key is absent (or not text).
  std::string ReadSetting(const std::string& section, const std::string& key,
                          const std::string& defaultText);
  // Creates or overwrites the value; a failing write is ignored.
  void WriteSetting(const std::string& section, const std::string& key, const std::string& text);

 private:
  Registry& registry_;
};

}  // namespace nimbrel
