// The start-with-Windows value: a string value under the Run key named after
// the executable, holding the executable's path. It goes under
// HKEY_LOCAL_MACHINE; when the user may not write there, under the same key of
// HKEY_CURRENT_USER instead.
#pragma once

#include <string>

#include "core/Context.h"

namespace nimbrel {

inline constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kStartupKey = "chkStartup";

// The value's data: program folder + "\" + base name + ".exe", in double
// quotes when it holds a blank (Windows would otherwise try "C:\Program.exe").
std::string StartupCommand(Context& ctx);
// Writes the value under HKEY_LOCAL_MACHINE, or under HKEY_CURRENT_USER when
// that is refused; a copy left under the other root goes.
void WriteStartupEntry(Context& ctx);
// Removes the value from both roots.
void RemoveStartupEntry(Context& ctx);
// Brings the value in line with the setting chkStartup (missing counts as 0):
// written when it is 1, removed otherwise.
void ApplyStartupSetting(Context& ctx);

}  // namespace nimbrel
