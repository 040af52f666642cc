#include "erasers/modOperaCache.h"

#include "erasers/modOSVersion.h"

namespace nimbrel {

namespace {

// The base folder for the version tag followed by `tail`; empty for an
// unknown version.
std::string Below(Context& ctx, const char* tail) {
  const std::string tag = OSVersionTag(ctx);
  const char* variable = nullptr;
  if (tag == "2K" || tag == "XP" || tag == "NT")
    variable = "USERPROFILE";
  else if (tag == "98" || tag == "95")
    variable = "WINDIR";
  if (!variable) return "";
  return ctx.platform.system.Environment(variable) + tail;
}

}  // namespace

std::string OperaFolder(Context& ctx) { return Below(ctx, "\\Application Data\\Opera\\Opera\\"); }

std::string MozillaProfilesFolder(Context& ctx) {
  return Below(ctx, "\\Application Data\\Mozilla\\Profiles\\");
}

}  // namespace nimbrel
