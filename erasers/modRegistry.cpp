#include "erasers/modRegistry.h"

#include <algorithm>

#include "platform/Path.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

enum class Listing { SubKeys, Values };

void Enumerate(Context& ctx, RegRoot root, const std::string& path, Listing what,
               std::vector<std::string>& names, int& count) {
  Registry& reg = ctx.platform.registry;
  // Opened for change as well: a key the user may read but not change is
  // not listed, since nothing in it could be deleted.
  const RegKey key = reg.OpenKeyEx(root, path, kKeyAllAccessOfOldWindows);
  if (!key) return;
  RegKeyInfo info;
  if (reg.QueryInfo(key, info)) {
    const std::uint32_t n = what == Listing::SubKeys ? info.subKeys : info.values;
    if (n > 0) {
      names.assign(n, std::string());
      std::string name;
      for (std::uint32_t i = 0;; ++i) {
        const long rc = what == Listing::SubKeys ? reg.EnumKey(key, i, name)
                                                 : reg.EnumValue(key, i, name);
        if (rc != kRegSuccess) break;
        if (i < n) names[i] = name;
        ctx.DoEvents();
      }
    }
    count = static_cast<int>(n);
  }
  reg.CloseKey(key);
}

// Deeper than the registry lets keys nest (512 levels): a walk that gets
// there goes round a loop of links, and stops.
constexpr int kDeepestKey = 512;

void DeleteTree(Context& ctx, RegRoot root, const std::string& path, int depth) {
  if (depth < kDeepestKey) {
    std::vector<std::string> names;
    int count = 0;
    EnumRegSubKeys(ctx, root, path, names, count);
    for (const std::string& name : names)
      // A name the enumeration did not deliver would aim at the key itself.
      if (!name.empty()) DeleteTree(ctx, root, path + "\\" + name, depth + 1);
  }
  DeleteRegKey(ctx, root, path);
  ctx.DoEvents();
}

void DeleteSubKeys(Context& ctx, RegRoot root, const std::string& path, bool trees) {
  std::vector<std::string> names;
  int count = 0;
  EnumRegSubKeys(ctx, root, path, names, count);
  for (int i = 0; i < count && i < static_cast<int>(names.size()); ++i) {
    // A name the enumeration did not deliver would aim at the key itself.
    if (names[static_cast<std::size_t>(i)].empty()) continue;
    const std::string child = path + "\\" + names[static_cast<std::size_t>(i)];
    if (trees) {
      DeleteRegTree(ctx, root, child);
    } else {
      DeleteRegKey(ctx, root, child);
      ctx.DoEvents();
    }
  }
}

// A key the platform would not delete, told as left when it is still there
// without sub-keys: one with sub-keys stays by the rule every delete follows.
void LeftIfKeyThere(Context& ctx, RegRoot root, const std::string& path) {
  Registry& reg = ctx.platform.registry;
  const RegKey key = reg.OpenKey(root, path);
  if (!key) return;
  RegKeyInfo info;
  const bool leaf = reg.QueryInfo(key, info) && info.subKeys == 0;
  reg.CloseKey(key);
  if (leaf) ctx.Left("access denied", RegistryKeyName(root, path));
}

// Keys that Windows, every program or Nimbrel itself runs on, upper-case and
// in parts: each is kept whole, and so is every key above it; the keys below
// it are erasable. (The environment and the Control Panel are tops of their
// hives.) A part may hold wildcards; "[*]" is the key named "*" (every file's
// verbs).
const std::vector<std::vector<std::string>>& ProtectedKeys() {
  static const std::vector<std::vector<std::string>> keys = [] {
    std::vector<std::vector<std::string>> out;
    for (const char* key :
         {"SOFTWARE\\CLASSES\\CLSID", "SOFTWARE\\CLASSES\\INTERFACE", "SOFTWARE\\CLASSES\\TYPELIB",
          "SOFTWARE\\CLASSES\\APPID", "SOFTWARE\\CLASSES\\.*", "SOFTWARE\\CLASSES\\[*]",
          "SOFTWARE\\CLASSES\\DIRECTORY", "SOFTWARE\\CLASSES\\FOLDER", "SOFTWARE\\CLASSES\\DRIVE",
          "SOFTWARE\\CLASSES\\ALLFILESYSTEMOBJECTS", "SOFTWARE\\CLASSES\\*FILE",
          "SOFTWARE\\CLASSES\\SYSTEMFILEASSOCIATIONS", "SOFTWARE\\POLICIES",
          "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\POLICIES",
          "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\EXPLORER",
          "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION", "SOFTWARE\\NIMBRELSOFT\\NIMBREL\\*",
          "SYSTEM\\CURRENTCONTROLSET\\SERVICES", "SYSTEM\\CURRENTCONTROLSET\\CONTROL",
          "SYSTEM\\CURRENTCONTROLSET\\ENUM", "SYSTEM\\CURRENTCONTROLSET\\HARDWARE PROFILES"})
      out.push_back(PartsOf(key));
    return out;
  }();
  return keys;
}

}  // namespace

std::string RegKeyRefusal(RegRoot root, const std::string& path) {
  std::vector<std::string> parts = PartsOf(ToUpper(path));
  // Under HKEY_USERS each user's hive is a key of its own, and its classes
  // (HKU\<user>_Classes) are the user's Software\Classes.
  if (root == RegRoot::Users) {
    if (parts.size() <= 1) return "top of a hive";
    const bool classes = parts[0].ends_with("_CLASSES");
    parts.erase(parts.begin());
    if (classes) parts.insert(parts.begin(), {"SOFTWARE", "CLASSES"});
  }
  if (parts.size() <= 1) return "top of a hive";
  // Both registry views, and every control set, are one for these rules.
  const auto unview = [&](std::size_t at) {
    if (parts.size() > at && parts[at] == "WOW6432NODE") parts.erase(parts.begin() + at);
  };
  if (parts[0] == "SOFTWARE") unview(1);
  if (parts.size() > 1 && parts[0] == "SOFTWARE" && parts[1] == "CLASSES") unview(2);
  if (parts.size() <= 1) return "top of a hive";
  if (parts[0] == "SYSTEM" && parts[1].starts_with("CONTROLSET")) parts[1] = "CURRENTCONTROLSET";
  for (const std::vector<std::string>& guard : ProtectedKeys()) {
    if (parts.size() > guard.size()) continue;
    std::size_t i = 0;
    while (i < parts.size() &&
           (guard[i] == "[*]" ? parts[i] == "*" : WildcardMatch(guard[i], parts[i])))
      ++i;
    if (i == parts.size()) return "protected key";
  }
  return {};
}

bool IsProtectedRegKey(RegRoot root, const std::string& path) {
  return !RegKeyRefusal(root, path).empty();
}

std::string ReadRegString(Context& ctx, RegRoot root, const std::string& path,
                          const std::string& name) {
  Registry& reg = ctx.platform.registry;
  const RegKey key = reg.OpenKey(root, path);
  if (!key) return {};
  std::uint32_t type = 0;
  std::string data;
  std::string result;
  if (reg.QueryValue(key, name, type, data) && type == kRegSz) {
    const auto nul = data.find('\0');
    result = nul == std::string::npos ? data : data.substr(0, nul);
  }
  reg.CloseKey(key);
  return result;
}

void WriteRegValue(Context& ctx, RegRoot root, const std::string& path, const std::string& name,
                   const std::string& value) {
  Registry& reg = ctx.platform.registry;
  const RegKey key = reg.OpenKey(root, path);
  if (!key) return;
  // A number outside 32 bits cannot be a REG_DWORD; it stays text.
  if (const auto number = AsInt32(value)) {
    const auto u = static_cast<std::uint32_t>(*number);
    const char bytes[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                           static_cast<char>((u >> 16) & 0xFF), static_cast<char>(u >> 24)};
    reg.SetValue(key, name, kRegDword, std::string(bytes, 4));
  } else {
    reg.SetValue(key, name, kRegSz, Trim(value) + '\0');
  }
  reg.CloseKey(key);
}

void DeleteRegKey(Context& ctx, RegRoot root, const std::string& path) {
  if (IsProtectedRegKey(root, path)) return;
  if (!ctx.platform.registry.DeleteKey(root, path)) LeftIfKeyThere(ctx, root, path);
  ctx.CountRegistryItem();
}

void DeleteRegTree(Context& ctx, RegRoot root, const std::string& path) {
  if (IsProtectedRegKey(root, path)) return;
  DeleteTree(ctx, root, path, 0);
}

void DeleteRegValue(Context& ctx, RegRoot root, const std::string& path, const std::string& name) {
  Registry& reg = ctx.platform.registry;
  if (const RegKey key = reg.OpenKey(root, path)) {
    std::uint32_t type = 0;
    std::string data;
    if (!reg.DeleteValue(key, name) && reg.QueryValue(key, name, type, data))
      ctx.Left("access denied", RegistryValueName(root, path, name));
    reg.CloseKey(key);
  }
  ctx.CountRegistryItem();
}

void EnumRegSubKeys(Context& ctx, RegRoot root, const std::string& path,
                    std::vector<std::string>& names, int& count) {
  Enumerate(ctx, root, path, Listing::SubKeys, names, count);
}

void EnumRegValues(Context& ctx, RegRoot root, const std::string& path,
                   std::vector<std::string>& names, int& count) {
  Enumerate(ctx, root, path, Listing::Values, names, count);
}

void DeleteRegSubKeys(Context& ctx, RegRoot root, const std::string& path) {
  DeleteSubKeys(ctx, root, path, false);
}

void DeleteRegSubTrees(Context& ctx, RegRoot root, const std::string& path) {
  DeleteSubKeys(ctx, root, path, true);
}

void DeleteRegValues(Context& ctx, RegRoot root, const std::string& path) {
  std::vector<std::string> names;
  int count = 0;
  EnumRegValues(ctx, root, path, names, count);
  for (int i = 0; i < count && i < static_cast<int>(names.size()); ++i) {
    DeleteRegValue(ctx, root, path, names[static_cast<std::size_t>(i)]);
    ctx.DoEvents();
  }
}

}  // namespace nimbrel
