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
// key costs several times what reading one value does. A reader that keeps
// what it read asks SectionChanged before reading again.
class SettingsStore {
 public:
  explicit SettingsStore(Registry& registry) : registry_(registry) {}
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;
  // The stored text, or `defaultText` when the key is absent. A REG_DWORD
  // reads as its decimal text ("0", "1"); a value of any other type but text
  // reads as `defaultText`.
  std::string ReadSetting(const std::string& section, const std::string& key,
                          const std::string& defaultText);
  // Several values of one section, each as ReadSetting gives it, in the order
  // asked. A missing section is looked for once, not once per value: a timer
  // tick reading its settings then costs one registry call.
  std::vector<std::string> ReadSettings(
      const std::string& section,
      std::initializer_list<std::pair<const char*, const char*>> keysAndDefaults);
  // Whether the key holds a value, of whatever type.
  bool HasSetting(const std::string& section, const std::string& key);
  // Whether the section's values may have changed since this was last asked
  // for it: true the first time, after a write to it through this store, and
  // once any program changed anything under the maker's key (the registry
  // tells without a read: the section made or deleted, the program's key
  // deleted too). Meant for one reader per section.
  bool SectionChanged(const std::string& section);
  // Creates or overwrites the value; a failing write is ignored.
  void WriteSetting(const std::string& section, const std::string& key, const std::string& text);

 private:
  // The section's key, opened on first use; 0 while it does not exist.
  RegKey SectionKey(const std::string& section);
  void Forget(const std::string& section);
  // The value as stored; `sectionThere` turns false when the section does not exist.
  bool Query(const std::string& section, const std::string& key, std::uint32_t& type,
             std::string& data, bool& sectionThere);
  // ReadSetting; `sectionThere` as Query sets it.
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& defaultText, bool& sectionThere);

  Registry& registry_;
  std::map<std::string, RegKey> open_;
  // The sections SectionChanged was asked about, each with whether it may
  // have changed since.
  std::map<std::string, bool> stale_;
  RegKey watched_ = 0;  // the maker's key, above the settings root, once open
};

}  // namespace nimbrel
