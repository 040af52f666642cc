// The Windows version the program runs on, as far as it tells the erasers
// apart: where the profile and history folders live.
#pragma once

#include <cstdint>

#include "core/Context.h"

namespace nimbrel {

enum class WindowsVersion { Unknown, Windows95, Windows98, NT4, Windows2000, XP };

// Probes the version afresh on every call: 4.0 on the 9x platform is
// Windows95, any other 4.x there Windows98 (4.90 too); 4.x on the NT platform
// NT4; 5.0 Windows2000, 5.1 XP; anything else Unknown.
WindowsVersion OSVersionTag(Context& ctx);

// The NT family (NT 4, 2000, XP) keeps the user's data under the profile.
bool IsNtFamily(WindowsVersion version);
// Windows 95 and 98 keep it under the Windows folder.
bool IsWindows9x(WindowsVersion version);
// Whether this is Windows of the NT family at that version or a later one
// (Vista 6.0, 7 6.1, 10 10.0).
bool WindowsAtLeast(Context& ctx, std::uint32_t major, std::uint32_t minor);

}  // namespace nimbrel
