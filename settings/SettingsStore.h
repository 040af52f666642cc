// The per-user settings store: named text values under
// HKEY_CURRENT_USER\Software\NimbrelSoft\Nimbrel\<section>, one REG_SZ each.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Registry.h"

namespace nimbrel {

inline constexpr const char* kSettingsRoot = "Software\\NimbrelSoft\\Nimbrel";
inline constexpr const char* kOptions = "Options";
inline constexpr const char* kSettings = "Settings";

// The keys are named where they are used: the categories' in the category
// catalogue, the applications' in the application catalogue, the options'
// by the dialog and the services that read them.

// Every read asks the registry afresh; nothing is cached but the open key of
// each section, since the timers read a hundred times a second and opening a
// key costs several times what reading one value does.
class SettingsStore {
 public:
  explicit SettingsStore(Registry& registry) : registry_(registry) {}
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;
  // The stored text, or `defaultText` when the key is absent (or not text).
  std::string ReadSetting(const std::string& section, const std::string& key,
                          const std::string& defaultText);
  // Several values of one section, each as ReadSetting gives it, in the order
  // asked. A missing section is looked for once, not once per value: a timer
  // tick reading its settings then costs one registry call.
  std::vector<std::string> ReadSettings(
      const std::string& section,
      std::initializer_list<std::pair<const char*, const char*>> keysAndDefaults);
  // Creates or overwrites the value; a failing write is ignored.
  void WriteSetting(const std::string& section, const std::string& key, const std::string& text);

 private:
  // The section's key, opened on first use; 0 while it does not exist.
  RegKey SectionKey(const std::string& section);
  void Forget(const std::string& section);
  // ReadSetting; `sectionThere` turns false when the section does not exist.
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& defaultText, bool& sectionThere);

  Registry& registry_;
  std::map<std::string, RegKey> open_;
};

}  // namespace nimbrel
