// In-memory registry with NT semantics: keys are case-insensitive paths,
// values keep their exact bytes, a key with sub-keys refuses deletion.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace nimbrel {

class FakeRegistry final : public Registry {
 public:
  struct Value {
    std::uint32_t type;
    std::string data;
  };

  // Test set-up and inspection.
  void AddKey(RegRoot root, const std::string& path);
  void Put(RegRoot root, const std::string& path, const std::string& name, std::uint32_t type,
           const std::string& data);
  void PutString(RegRoot root, const std::string& path, const std::string& name,
                 const std::string& text) {
    Put(root, path, name, kRegSz, text + '\0');
  }
  bool HasKey(RegRoot root, const std::string& path) const;
  const Value* Get(RegRoot root, const std::string& path, const std::string& name) const;
  std::size_t KeyCount() const { return keys_.size(); }
  // Every key at or below `path` with its values, as one text to compare.
  std::string Dump(RegRoot root, const std::string& path) const;
  int openKeys = 0;  // keys opened and not yet closed
  int lookups = 0;   // OpenKey calls, whether the key was found or not
  // Every value set, as "ROOT\PATH\NAME" upper-cased, in order.
  std::vector<std::string> setLog;
  // Keys the user may read but not change ("ROOT\PATH" upper-cased, see MarkReadOnly):
  // opening them for change, setting or deleting their values and deleting them fail.
  std::set<std::string> readOnlyKeys;
  void MarkReadOnly(RegRoot root, const std::string& path) { readOnlyKeys.insert(Id(root, path)); }
  // Every change made, in order: "create KEY", "set KEY\NAME", "delete KEY\NAME",
  // "delete key KEY" (KEY upper-cased as "HKCU\PATH").
  std::vector<std::string> journal;
  // Every key ("KEY") and value ("KEY\\NAME", upper-cased) with its type and data,
  // for comparing the whole registry before and after.
  std::map<std::string, std::string> Snapshot() const;

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
  // Told for every change made at or below the key (through any handle, or by
  // Put and AddKey, as another program would): values set or deleted, keys
  // made or deleted; not the key's own deletion, as on Windows.
  bool KeyChanged(RegKey key) override;
  int queries = 0;  // QueryValue calls

 private:
  struct Key {
    std::string name;  // last path part, as created
    std::map<std::string, Value> values;  // upper-cased name -> value
    std::map<std::string, std::string> valueNames;  // upper-cased -> as created
  };
  static std::string Id(RegRoot root, const std::string& path);
  std::vector<std::string> ChildrenOf(const std::string& id) const;
  // The path behind a handle, while its key exists: a handle to a deleted key stays
  // dead even when a key of that path is made anew, as on Windows.
  const std::string* PathOf(RegKey key) const;
  Key* Lookup(RegKey key);
  // The key behind a handle, when the user may change it.
  Key* Writable(RegKey key);

  std::map<std::string, Key> keys_;  // upper-cased "root\path" -> key
  // Marks the watches of the key (upper-cased "root\path") and of the keys above it changed.
  void Touch(const std::string& id);
  std::map<RegKey, std::string> handles_;
  std::set<RegKey> deadHandles_;
  std::map<RegKey, bool> watched_;  // handle -> changed since last asked
  RegKey next_ = 1;
};

}  // namespace nimbrel
