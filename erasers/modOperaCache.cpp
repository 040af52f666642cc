#include "erasers/modOperaCache.h"

#include "erasers/modFiles.h"
#include "erasers/modOSVersion.h"
#include "erasers/modRegistry.h"

namespace nimbrel {

namespace {

// The base folder for the Windows version followed by `tail`; empty for an
// unknown version.
std::string Below(Context& ctx, const char* tail) {
  const WindowsVersion version = OSVersionTag(ctx);
  const char* variable = nullptr;
  if (IsNtFamily(version))
    variable = "USERPROFILE";
  else if (IsWindows9x(version))
    variable = "WINDIR";
  if (!variable) return "";
  return ctx.platform.system.Environment(variable) + tail;
}

}  // namespace

std::string OperaFolder(Context& ctx) { return Below(ctx, "\\Application Data\\Opera\\Opera\\"); }

std::string MozillaProfilesFolder(Context& ctx) {
  return Below(ctx, "\\Application Data\\Mozilla\\Profiles\\");
}

std::string OperaRootFolder(Context& ctx) {
  const std::string opera = OperaFolder(ctx);
  const std::size_t last = sizeof("Opera\\") - 1;
  return opera.size() < last ? std::string() : opera.substr(0, opera.size() - last);
}

std::string OperaRememberedFolder(Context& ctx, int n) {
  const std::string name = n == 0 ? "Last Directory" : "Last Directory" + std::to_string(n);
  const std::string folder =
      ReadRegString(ctx, RegRoot::CurrentUser, "Software\\Opera Software", name);
  return folder.empty() ? folder : EnsureTrailingBackslash(folder);
}

}  // namespace nimbrel
