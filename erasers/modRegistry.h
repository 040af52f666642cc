// Reading, writing and deleting registry data of the system and of other
// programs. The two deletes count every request in RegistryItemsRemoved, told
// to the run's report; a key or value they could not delete, and that is still
// there, is told as left (Context::Left), but for a key that has sub-keys,
// which NT never deletes.
#pragma once

#include <string>
#include <vector>

#include "core/Context.h"

namespace nimbrel {

// A REG_SZ value's text up to its first NUL (all of it when it has none);
// empty for any other type, a missing value or a missing key.
std::string ReadRegString(Context& ctx, RegRoot root, const std::string& path,
                          const std::string& name);
// A decimal number (blanks around allowed) that fits 32 bits is stored as
// REG_DWORD, rounded to the nearest integer; anything else as a trimmed
// REG_SZ. The key must exist: it is never created here.
void WriteRegValue(Context& ctx, RegRoot root, const std::string& path, const std::string& name,
                   const std::string& value);
// Why no delete may aim at the key, however its path is spelt (letter case,
// extra backslashes, either registry view, any control set): "top of a hive"
// for a root or a hive's top (HKCU\Software, HKLM\SOFTWARE, HKU\<user>,
// HKU\<user>\Software); "protected key" for a key Windows or the program
// runs on (COM's classes, the file types, the policies, Windows' and Windows
// NT's CurrentVersion, Explorer, the services and drivers, the environment,
// the Control Panel, the program's own settings) or any key above one. The
// keys below a protected key may be deleted. Empty when the key may go.
std::string RegKeyRefusal(RegRoot root, const std::string& path);
bool IsProtectedRegKey(RegRoot root, const std::string& path);
// A protected key (IsProtectedRegKey) is neither deleted nor counted.
void DeleteRegKey(Context& ctx, RegRoot root, const std::string& path);
// Deletes the key with everything below it, deepest first, each key with one
// DeleteRegKey (so each counted, and each through its guard).
void DeleteRegTree(Context& ctx, RegRoot root, const std::string& path);
// An empty name removes the key's default value.
void DeleteRegValue(Context& ctx, RegRoot root, const std::string& path, const std::string& name);
// The names of the direct sub-keys (values); `count` is left unchanged when
// the key cannot be opened.
void EnumRegSubKeys(Context& ctx, RegRoot root, const std::string& path,
                    std::vector<std::string>& names, int& count);
void EnumRegValues(Context& ctx, RegRoot root, const std::string& path,
                   std::vector<std::string>& names, int& count);
// Deletes every direct sub-key with one DeleteRegKey each (children that have
// children of their own stay, as the platform refuses them).
void DeleteRegSubKeys(Context& ctx, RegRoot root, const std::string& path);
// Deletes every direct sub-key with everything below it (DeleteRegTree).
void DeleteRegSubTrees(Context& ctx, RegRoot root, const std::string& path);
void DeleteRegValues(Context& ctx, RegRoot root, const std::string& path);

}  // namespace nimbrel
