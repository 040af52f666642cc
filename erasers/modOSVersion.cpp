#include "erasers/modOSVersion.h"

namespace nimbrel {

namespace {
constexpr std::uint32_t kPlatformNt = 2;
}

std::string OSVersionTag(Context& ctx) {
  const OsVersion v = ctx.platform.system.Version();
  if (v.major == 4) {
    if (v.platformId == kPlatformNt) return "NT";
    return v.minor == 0 ? "95" : "98";
  }
  if (v.major == 5) {
    if (v.minor == 0) return "2K";
    if (v.minor == 1) return "XP";
  }
  return "";
}

}  // namespace nimbrel
