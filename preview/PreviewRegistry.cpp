#include "preview/PreviewRegistry.h"

#include <algorithm>

#include "platform/Path.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

// The rights a change needs (KEY_SET_VALUE, DELETE).
constexpr std::uint32_t kSetValueAccess = 0x0002;
constexpr std::uint32_t kDeleteAccess = 0x00010000;

// Every name the real key lists, through `enumerate` (RegEnumKeyA or RegEnumValueA).
template <class F>
std::vector<std::string> Listed(F&& enumerate) {
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t i = 0; enumerate(i, name) == kRegSuccess; ++i) names.push_back(name);
  return names;
}

}  // namespace

std::string PreviewRegistry::Id(RegRoot root, const std::string& path) {
  return WithoutTrailingBackslash(ToUpper(RegistryKeyName(root, path)));
}

PreviewRegistry::~PreviewRegistry() {
  for (const auto& [key, h] : handles_)
    if (h.inner) inner_.CloseKey(h.inner);
}

PreviewRegistry::Handle* PreviewRegistry::HandleOf(RegKey key) {
  const auto it = handles_.find(key);
  return it == handles_.end() ? nullptr : &it->second;
}

RegKey PreviewRegistry::Wrap(RegRoot root, const std::string& path, RegKey inner) {
  handles_[next_] = Handle{root, path, inner};
  return next_++;
}

bool PreviewRegistry::Deleted(const std::string& id) const {
  for (std::size_t end = id.find('\\');; end = id.find('\\', end + 1)) {
    const auto it = keys_.find(id.substr(0, end));
    if (it != keys_.end() && !it->second.present) return true;
    if (end == std::string::npos) return false;
  }
}

bool PreviewRegistry::Touched(const std::string& id) const {
  if (keys_.count(id)) return true;
  const auto it = keys_.lower_bound(id + "\\");
  return it != keys_.end() && it->first.compare(0, id.size() + 1, id + "\\") == 0;
}

bool PreviewRegistry::Exists(RegRoot root, const std::string& path) {
  const std::string id = Id(root, path);
  if (Deleted(id)) return false;
  if (const auto it = keys_.find(id); it != keys_.end() && it->second.created) return true;
  const RegKey real = inner_.OpenKey(root, path);
  if (real) inner_.CloseKey(real);
  return real != 0;
}

bool PreviewRegistry::Grants(RegRoot root, const std::string& path, std::uint32_t access) {
  if (const auto it = keys_.find(Id(root, path)); it != keys_.end() && it->second.created)
    return true;
  const RegKey real = inner_.OpenKeyEx(root, path, access);
  if (real) inner_.CloseKey(real);
  return real != 0;
}

RegKey PreviewRegistry::OpenKey(RegRoot root, const std::string& path) {
  if (Preview() && Deleted(Id(root, path))) return 0;
  const RegKey real = inner_.OpenKey(root, path);
  if (!real && !(Preview() && Exists(root, path))) return 0;
  return Wrap(root, path, real);
}

RegKey PreviewRegistry::OpenKeyEx(RegRoot root, const std::string& path, std::uint32_t access) {
  if (Preview() && Deleted(Id(root, path))) return 0;
  const RegKey real = inner_.OpenKeyEx(root, path, access);
  if (!real && !(Preview() && Exists(root, path) && Grants(root, path, access))) return 0;
  return Wrap(root, path, real);
}

RegKey PreviewRegistry::CreateKey(RegRoot root, const std::string& path) {
  const bool existed = Exists(root, path);
  if (!Preview()) {
    const RegKey real = inner_.CreateKey(root, path);
    if (!real) return 0;
    if (!existed) journal_.Record(ChangeKind::RegistryWrite, RegistryKeyName(root, path));
    return Wrap(root, path, real);
  }
  if (!existed) {
    // The key and every missing key above it are made.
    std::string part;
    std::size_t start = 0;
    while (start <= path.size()) {
      const std::size_t end = std::min(path.find('\\', start), path.size());
      part = path.substr(0, end);
      if (!part.empty() && !Exists(root, part)) {
        KeyState& state = keys_[Id(root, part)];
        state = KeyState{};
        state.name = path.substr(start, end - start);
        state.created = true;
      }
      start = end + 1;
    }
    journal_.Record(ChangeKind::RegistryWrite, RegistryKeyName(root, path));
  }
  return Wrap(root, path, inner_.OpenKey(root, path));
}

void PreviewRegistry::CloseKey(RegKey key) {
  const auto it = handles_.find(key);
  if (it == handles_.end()) return;
  if (it->second.inner) inner_.CloseKey(it->second.inner);
  handles_.erase(it);
}

bool PreviewRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                                 std::string& data) {
  const Handle* h = HandleOf(key);
  if (!h) return false;
  if (Preview()) {
    const auto state = keys_.find(Id(h->root, h->path));
    if (state != keys_.end()) {
      const auto value = state->second.values.find(ToUpper(name));
      if (value != state->second.values.end()) {
        if (!value->second) return false;
        type = value->second->type;
        data = value->second->data;
        return true;
      }
    }
  }
  return h->inner && inner_.QueryValue(h->inner, name, type, data);
}

bool PreviewRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                               const std::string& data) {
  const Handle* h = HandleOf(key);
  if (!h) return false;
  if (!Preview()) {
    if (!inner_.SetValue(h->inner, name, type, data)) return false;
  } else {
    if (!Exists(h->root, h->path) || !Grants(h->root, h->path, kSetValueAccess)) return false;
    KeyState& state = keys_[Id(h->root, h->path)];
    state.values[ToUpper(name)] = Value{type, data};
    state.names.emplace(ToUpper(name), name);
  }
  journal_.Record(ChangeKind::RegistryWrite, RegistryValueName(h->root, h->path, name));
  return true;
}

bool PreviewRegistry::DeleteValue(RegKey key, const std::string& name) {
  const Handle* h = HandleOf(key);
  if (!h) return false;
  if (!Preview()) {
    if (!inner_.DeleteValue(h->inner, name)) return false;
  } else {
    std::uint32_t type = 0;
    std::string data;
    if (!QueryValue(key, name, type, data) || !Grants(h->root, h->path, kSetValueAccess))
      return false;
    keys_[Id(h->root, h->path)].values[ToUpper(name)] = std::nullopt;
  }
  journal_.Record(ChangeKind::RegistryValue, RegistryValueName(h->root, h->path, name));
  return true;
}

bool PreviewRegistry::DeleteKey(RegRoot root, const std::string& path) {
  if (!Preview()) {
    if (!inner_.DeleteKey(root, path)) return false;
  } else {
    // NT semantics: a key that still has sub-keys stays.
    if (path.empty() || !Exists(root, path) || !Grants(root, path, kDeleteAccess)) return false;
    const Handle h{root, path, inner_.OpenKey(root, path)};
    const bool hasSubKeys = !SubKeys(h).empty();
    if (h.inner) inner_.CloseKey(h.inner);
    if (hasSubKeys) return false;
    KeyState& state = keys_[Id(root, path)];
    state = KeyState{};
    state.present = false;
  }
  journal_.Record(ChangeKind::RegistryKey, RegistryKeyName(root, path));
  return true;
}

std::vector<std::string> PreviewRegistry::SubKeys(const Handle& h) {
  std::vector<std::string> names;
  if (h.inner)
    names = Listed([&](std::uint32_t i, std::string& n) { return inner_.EnumKey(h.inner, i, n); });
  const std::string id = Id(h.root, h.path);
  std::erase_if(names, [&](const std::string& n) { return Deleted(id + "\\" + ToUpper(n)); });
  // Keys made in memory right below this one.
  const std::string prefix = id + "\\";
  for (auto it = keys_.lower_bound(prefix);
       it != keys_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it)
    if (it->second.created && it->second.present &&
        it->first.find('\\', prefix.size()) == std::string::npos)
      names.push_back(it->second.name);
  return names;
}

std::vector<std::string> PreviewRegistry::Values(const Handle& h) {
  std::vector<std::string> names;
  if (h.inner)
    names =
        Listed([&](std::uint32_t i, std::string& n) { return inner_.EnumValue(h.inner, i, n); });
  const auto state = keys_.find(Id(h.root, h.path));
  if (state == keys_.end()) return names;
  std::erase_if(names, [&](const std::string& n) {
    const auto v = state->second.values.find(ToUpper(n));
    return v != state->second.values.end() && !v->second;
  });
  for (const auto& [upper, value] : state->second.values)
    if (value && std::none_of(names.begin(), names.end(),
                              [&key = upper](const std::string& n) { return ToUpper(n) == key; }))
      names.push_back(state->second.names.at(upper));
  return names;
}

bool PreviewRegistry::QueryInfo(RegKey key, RegKeyInfo& info) {
  const Handle* h = HandleOf(key);
  if (!h) return false;
  if (!Preview() || (h->inner && !Touched(Id(h->root, h->path))))
    return h->inner && inner_.QueryInfo(h->inner, info);
  info = {};
  for (const std::string& n : SubKeys(*h)) {
    ++info.subKeys;
    info.maxSubKeyLen = std::max(info.maxSubKeyLen, static_cast<std::uint32_t>(n.size()));
  }
  for (const std::string& n : Values(*h)) {
    ++info.values;
    info.maxValueNameLen = std::max(info.maxValueNameLen, static_cast<std::uint32_t>(n.size()));
  }
  return true;
}

long PreviewRegistry::Enumerate(RegKey key, std::uint32_t index, std::string& name, bool subKeys) {
  const Handle* h = HandleOf(key);
  if (!h) return 6;  // ERROR_INVALID_HANDLE
  if (!Preview() || (h->inner && !Touched(Id(h->root, h->path)))) {
    if (!h->inner) return kRegNoMoreItems;
    return subKeys ? inner_.EnumKey(h->inner, index, name) : inner_.EnumValue(h->inner, index, name);
  }
  const std::vector<std::string> names = subKeys ? SubKeys(*h) : Values(*h);
  if (index >= names.size()) return kRegNoMoreItems;
  name = names[index];
  return kRegSuccess;
}

long PreviewRegistry::EnumKey(RegKey key, std::uint32_t index, std::string& name) {
  return Enumerate(key, index, name, true);
}

long PreviewRegistry::EnumValue(RegKey key, std::uint32_t index, std::string& name) {
  return Enumerate(key, index, name, false);
}

}  // namespace nimbrel
