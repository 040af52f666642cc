#include "erasers/modOSVersion.h"

namespace nimbrel {

namespace {
constexpr std::uint32_t kPlatformNt = 2;
}

WindowsVersion OSVersionTag(Context& ctx) {
  const OsVersion v = ctx.platform.system.Version();
  if (v.major == 4) {
    if (v.platformId == kPlatformNt) return WindowsVersion::NT4;
    return v.minor == 0 ? WindowsVersion::Windows95 : WindowsVersion::Windows98;
  }
  if (v.major == 5) {
    if (v.minor == 0) return WindowsVersion::Windows2000;
    if (v.minor == 1) return WindowsVersion::XP;
  }
  return WindowsVersion::Unknown;
}

bool IsNtFamily(WindowsVersion version) {
  return version == WindowsVersion::NT4 || version == WindowsVersion::Windows2000 ||
         version == WindowsVersion::XP;
}

bool IsWindows9x(WindowsVersion version) {
  return version == WindowsVersion::Windows95 || version == WindowsVersion::Windows98;
}

bool WindowsAtLeast(Context& ctx, std::uint32_t major, std::uint32_t minor) {
  const OsVersion v = ctx.platform.system.Version();
  return v.platformId == kPlatformNt && (v.major > major || (v.major == major && v.minor >= minor));
}

}  // namespace nimbrel
