// The Windows registry, as the ANSI advapi32 functions see it (NT semantics:
// a key that still has sub-keys cannot be deleted).
#pragma once

#include <cstdint>
#include <string>

namespace nimbrel {

enum class RegRoot { CurrentUser, LocalMachine, Users };

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

constexpr long kRegSuccess = 0;
constexpr long kRegNoMoreItems = 259;

using RegKey = std::uintptr_t;  // 0 is no key

// Query, set, create sub-key, enumerate, notify and create link: what a key
// must grant before its content can be listed for deletion.
constexpr std::uint32_t kKeyAllAccessOfOldWindows = 0x3F;

struct RegKeyInfo {
  std::uint32_t subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueNameLen = 0;
};

// "HKEY_CURRENT_USER\path", as a run names a key.
inline std::string RegistryKeyName(RegRoot root, const std::string& path) {
  const char* rootName = root == RegRoot::CurrentUser    ? "HKEY_CURRENT_USER"
                         : root == RegRoot::LocalMachine ? "HKEY_LOCAL_MACHINE"
                                                         : "HKEY_USERS";
  return path.empty() ? std::string(rootName) : std::string(rootName) + "\\" + path;
}

// "HKEY_CURRENT_USER\path\name"; the default value is "(Default)".
inline std::string RegistryValueName(RegRoot root, const std::string& path,
                                     const std::string& name) {
  return RegistryKeyName(root, path) + "\\" + (name.empty() ? "(Default)" : name);
}

class Registry {
 public:
  virtual ~Registry() = default;
  // RegOpenKeyA: an existing key only.
  virtual RegKey OpenKey(RegRoot root, const std::string& path) = 0;
  // RegOpenKeyExA: an existing key that grants `access`.
  virtual RegKey OpenKeyEx(RegRoot root, const std::string& path, std::uint32_t access) = 0;
  // RegCreateKeyA: opens the key, creating it and its parents when missing.
  virtual RegKey CreateKey(RegRoot root, const std::string& path) = 0;
  virtual void CloseKey(RegKey key) = 0;
  // RegQueryValueExA: the type and the stored bytes exactly as they are.
  virtual bool QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                          std::string& data) = 0;
  // RegSetValueExA with the given bytes.
  virtual bool SetValue(RegKey key, const std::string& name, std::uint32_t type,
                        const std::string& data) = 0;
  virtual bool DeleteValue(RegKey key, const std::string& name) = 0;
  virtual bool DeleteKey(RegRoot root, const std::string& path) = 0;
  virtual bool QueryInfo(RegKey key, RegKeyInfo& info) = 0;
  // RegEnumKeyA / RegEnumValueA: kRegSuccess, or kRegNoMoreItems past the end.
  virtual long EnumKey(RegKey key, std::uint32_t index, std::string& name) = 0;
  virtual long EnumValue(RegKey key, std::uint32_t index, std::string& name) = 0;
  // Whether anything in the key or below it (a value, a sub-key made or
  // deleted) may have changed, by any program, since the last call for this
  // handle; answered without waiting and without reading the key
  // (RegNotifyChangeKeyValue over the sub-tree). The first call for a handle
  // starts watching and answers true; so does every call on a key that cannot
  // be watched. The deletion of the key itself is not told (the system does
  // not tell it): watch a key above. Closing the handle ends the watch.
  virtual bool KeyChanged(RegKey key) = 0;
};

}  // namespace nimbrel
