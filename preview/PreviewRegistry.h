// The registry of a recorded run (PreviewPlatform.h). In preview mode deleted
// keys and values, written values and created keys are kept in memory over
// the real registry, and opening, querying and enumerating answer from both.
// Whether a change would succeed is told from the real key: a key with
// sub-keys is not deleted (NT), and a key the user may not change (it does not
// open with the right to set values, or to delete) is left as it is.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "preview/ChangeJournal.h"

namespace nimbrel {

class PreviewRegistry final : public Registry {
 public:
  PreviewRegistry(Registry& inner, PreviewMode mode, ChangeJournal& journal)
      : inner_(inner), mode_(mode), journal_(journal) {}
  ~PreviewRegistry() override;
  PreviewRegistry(const PreviewRegistry&) = delete;
  PreviewRegistry& operator=(const PreviewRegistry&) = delete;

  RegKey OpenKey(RegRoot root, const std::string& path) override;
  RegKey OpenKeyEx(RegRoot root, const std::string& path, std::uint32_t access) override;
  RegKey CreateKey(RegRoot root, const std::string& path) override;
  void CloseKey(RegKey key) override;
  bool QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                  std::string& data) override;
  bool SetValue(RegKey key, const std::string& name, std::uint32_t type,
                const std::string& data) override;
  bool DeleteValue(RegKey key, const std::string& name) override;
  bool DeleteKey(RegRoot root, const std::string& path) override;
  bool QueryInfo(RegKey key, RegKeyInfo& info) override;
  long EnumKey(RegKey key, std::uint32_t index, std::string& name) override;
  long EnumValue(RegKey key, std::uint32_t index, std::string& name) override;
  // Always: what the preview keeps in memory changes unwatched.
  bool KeyChanged(RegKey) override { return true; }

 private:
  struct Handle {
    RegRoot root;
    std::string path;
    RegKey inner = 0;  // 0 for a key that exists only in memory
  };
  struct Value {
    std::uint32_t type;
    std::string data;
  };
  // A key as the preview has changed it.
  struct KeyState {
    std::string name;      // its last path part, as named
    bool present = true;   // false: deleted
    bool created = false;  // made in memory
    std::map<std::string, std::optional<Value>> values;  // upper-cased name -> value (none: deleted)
    std::map<std::string, std::string> names;            // upper-cased name -> as named
  };

  bool Preview() const { return mode_ == PreviewMode::Preview; }
  static std::string Id(RegRoot root, const std::string& path);
  RegKey Wrap(RegRoot root, const std::string& path, RegKey inner);
  // The key, or a key above it, deleted in the preview.
  bool Deleted(const std::string& id) const;
  // Whether the key exists as the preview has it.
  bool Exists(RegRoot root, const std::string& path);
  // Whether anything at or below the key was changed in memory.
  bool Touched(const std::string& id) const;
  // Whether the real key opens with `access` (the right to change it so).
  bool Grants(RegRoot root, const std::string& path, std::uint32_t access);
  // EnumKey (`subKeys`) or EnumValue, as the preview has the key.
  long Enumerate(RegKey key, std::uint32_t index, std::string& name, bool subKeys);
  std::vector<std::string> SubKeys(const Handle& h);
  std::vector<std::string> Values(const Handle& h);
  Handle* HandleOf(RegKey key);

  Registry& inner_;
  PreviewMode mode_;
  ChangeJournal& journal_;
  std::map<std::string, KeyState> keys_;  // Id -> state
  std::map<RegKey, Handle> handles_;
  RegKey next_ = 1;
};

}  // namespace nimbrel
