// The per-user settings store: named text values under
// HKEY_CURRENT_USER\Software\NimbrelSoft\Nimbrel\<section>, one REG_SZ each.
#pragma once

#include <array>
#include <string>

#include "platform/Registry.h"

namespace nimbrel {

inline constexpr const char* kSettingsRoot = "Software\\NimbrelSoft\\Nimbrel";
inline constexpr const char* kOptions = "Options";
inline constexpr const char* kSettings = "Settings";

// The key catalogue: every key the program reads or writes, spelled as stored.

// The eighteen erase categories, all in section "Options" as check states.
struct CategoryKey {
  const char* key;
  const char* group;    // the erase-settings dialog's group
  const char* caption;  // its check box's caption
};
extern const std::array<CategoryKey, 18> kCategoryKeys;

enum class ValueForm { CheckState, Flag, Count, Letter, Text, Date, Time };
struct OptionKey {
  const char* section;
  const char* key;
  ValueForm form;
};
// Options, schedule and bookkeeping.
extern const std::array<OptionKey, 17> kOptionKeys;

// The application list's keys (section "Options", flags), in list order.
extern const std::array<const char*, 62> kApplicationKeys;

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
