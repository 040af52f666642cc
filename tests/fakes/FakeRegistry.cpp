#include "fakes/FakeRegistry.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/Path.h"
#include "platform/Text.h"

namespace nimbrel {

std::string FakeRegistry::Id(RegRoot root, const std::string& path) {
  const char* r = root == RegRoot::CurrentUser ? "HKCU" : root == RegRoot::LocalMachine ? "HKLM" : "HKU";
  return ToUpper(path.empty() ? std::string(r) : std::string(r) + "\\" + path);
}


std::vector<std::string> FakeRegistry::ChildrenOf(const std::string& id) const {
  std::vector<std::string> out;
  for (const auto& [k, v] : keys_)
    if (ParentOf(k) == id) out.push_back(k);
  return out;
}

void FakeRegistry::Touch(const std::string& id) {
  for (auto& [handle, changed] : watched_)
    if (const auto h = handles_.find(handle);
        h != handles_.end() && (h->second == id || id.rfind(h->second + "\\", 0) == 0))
      changed = true;
}

void FakeRegistry::AddKey(RegRoot root, const std::string& path) {
  std::string id = Id(root, path);
  std::string shown = path;
  while (!id.empty() && !keys_.count(id)) {
    keys_[id].name = FileNameOf(shown);
    Touch(ParentOf(id));
    id = ParentOf(id);
    shown = ParentOf(shown);
  }
}

void FakeRegistry::Put(RegRoot root, const std::string& path, const std::string& name,
                       std::uint32_t type, const std::string& data) {
  AddKey(root, path);
  Key& k = keys_[Id(root, path)];
  k.values[ToUpper(name)] = {type, data};
  k.valueNames[ToUpper(name)] = name;
  Touch(Id(root, path));
}

std::string FakeRegistry::Dump(RegRoot root, const std::string& path) const {
  const std::string id = Id(root, path), below = id + "\\";
  std::string out;
  for (const auto& [k, key] : keys_) {
    if (k != id && k.rfind(below, 0) != 0) continue;
    out += k + "\n";
    for (const auto& [name, value] : key.values)
      out += "  " + name + " " + std::to_string(value.type) + " " + value.data + "\n";
  }
  return out;
}

bool FakeRegistry::HasKey(RegRoot root, const std::string& path) const {
  return keys_.count(Id(root, path)) > 0;
}

const FakeRegistry::Value* FakeRegistry::Get(RegRoot root, const std::string& path,
                                             const std::string& name) const {
  const auto k = keys_.find(Id(root, path));
  if (k == keys_.end()) return nullptr;
  const auto v = k->second.values.find(ToUpper(name));
  return v == k->second.values.end() ? nullptr : &v->second;
}

RegKey FakeRegistry::OpenKey(RegRoot root, const std::string& path) {
  ++lookups;
  const std::string id = Id(root, path);
  // The roots themselves always exist.
  if (!keys_.count(id) && id.find('\\') != std::string::npos) return 0;
  handles_[next_] = id;
  ++openKeys;
  return next_++;
}

RegKey FakeRegistry::OpenKeyEx(RegRoot root, const std::string& path, std::uint32_t access) {
  // Reading (query, enumerate, notify) is always granted; anything more is
  // refused on a read-only key.
  constexpr std::uint32_t kReadAccess = 0x1 | 0x8 | 0x10;
  if ((access & ~kReadAccess) && readOnlyKeys.count(Id(root, path))) return 0;
  return OpenKey(root, path);
}

RegKey FakeRegistry::CreateKey(RegRoot root, const std::string& path) {
  if (!keys_.count(Id(root, path))) journal.push_back("create " + Id(root, path));
  AddKey(root, path);
  return OpenKey(root, path);
}

std::map<std::string, std::string> FakeRegistry::Snapshot() const {
  std::map<std::string, std::string> out;
  for (const auto& [id, key] : keys_) {
    out[id] = "key " + key.name;
    for (const auto& [name, value] : key.values)
      out[id + "\\\\" + name] = std::to_string(value.type) + " " + value.data;
  }
  return out;
}

void FakeRegistry::CloseKey(RegKey key) {
  deadHandles_.erase(key);
  watched_.erase(key);
  if (handles_.erase(key)) --openKeys;
}

const std::string* FakeRegistry::PathOf(RegKey key) const {
  const auto h = handles_.find(key);
  if (h == handles_.end() || deadHandles_.count(key)) return nullptr;
  const bool root = h->second.find('\\') == std::string::npos;
  return root || keys_.count(h->second) ? &h->second : nullptr;
}

FakeRegistry::Key* FakeRegistry::Lookup(RegKey key) {
  const std::string* path = PathOf(key);
  if (!path) return nullptr;
  const auto k = keys_.find(*path);
  return k == keys_.end() ? nullptr : &k->second;
}

bool FakeRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                              std::string& data) {
  ++queries;
  Key* k = Lookup(key);
  if (!k) return false;
  const auto v = k->values.find(ToUpper(name));
  if (v == k->values.end()) return false;
  type = v->second.type;
  data = v->second.data;
  return true;
}

FakeRegistry::Key* FakeRegistry::Writable(RegKey key) {
  const std::string* path = PathOf(key);
  if (!path || readOnlyKeys.count(*path)) return nullptr;
  return Lookup(key);
}

bool FakeRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                            const std::string& data) {
  Key* k = Writable(key);
  if (!k) return false;
  setLog.push_back(handles_[key] + "\\" + ToUpper(name));
  journal.push_back("set " + handles_[key] + "\\" + ToUpper(name));
  k->values[ToUpper(name)] = {type, data};
  k->valueNames.emplace(ToUpper(name), name);
  Touch(handles_[key]);
  return true;
}

bool FakeRegistry::DeleteValue(RegKey key, const std::string& name) {
  Key* k = Writable(key);
  if (!k || !k->values.count(ToUpper(name))) return false;
  journal.push_back("delete " + handles_[key] + "\\" + ToUpper(name));
  k->valueNames.erase(ToUpper(name));
  Touch(handles_[key]);
  return k->values.erase(ToUpper(name)) > 0;
}

bool FakeRegistry::DeleteKey(RegRoot root, const std::string& path) {
  const std::string id = Id(root, path);
  if (!keys_.count(id) || !ChildrenOf(id).empty() || readOnlyKeys.count(id)) return false;
  journal.push_back("delete key " + id);
  keys_.erase(id);
  Touch(ParentOf(id));
  for (const auto& [handle, path] : handles_)
    if (path == id) deadHandles_.insert(handle);
  return true;
}

bool FakeRegistry::QueryInfo(RegKey key, RegKeyInfo& info) {
  const std::string* path = PathOf(key);
  if (!path) return false;
  info = {};
  for (const std::string& child : ChildrenOf(*path)) {
    ++info.subKeys;
    info.maxSubKeyLen = std::max<std::uint32_t>(info.maxSubKeyLen,
                                                static_cast<std::uint32_t>(keys_[child].name.size()));
  }
  if (Key* k = Lookup(key))
    for (const auto& [upper, shown] : k->valueNames) {
      ++info.values;
      info.maxValueNameLen =
          std::max<std::uint32_t>(info.maxValueNameLen, static_cast<std::uint32_t>(shown.size()));
    }
  return true;
}

long FakeRegistry::EnumKey(RegKey key, std::uint32_t index, std::string& name) {
  const std::string* path = PathOf(key);
  if (!path) return 6;  // invalid handle, or its key deleted
  const auto children = ChildrenOf(*path);
  if (index >= children.size()) return kRegNoMoreItems;
  name = keys_[children[index]].name;
  return kRegSuccess;
}

long FakeRegistry::EnumValue(RegKey key, std::uint32_t index, std::string& name) {
  Key* k = Lookup(key);
  if (!k) return 6;
  if (index >= k->valueNames.size()) return kRegNoMoreItems;
  auto it = k->valueNames.begin();
  std::advance(it, index);
  name = it->second;
  return kRegSuccess;
}

bool FakeRegistry::KeyChanged(RegKey key) {
  const auto [watch, started] = watched_.try_emplace(key, false);
  return started || std::exchange(watch->second, false);
}

}  // namespace nimbrel
