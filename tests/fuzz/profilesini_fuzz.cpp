// Firefox's profiles.ini on any text: every profile read is a usable path
// (relative ones with no drive, root or "." and ".." parts, absolute ones
// below a drive or share root), and erasing Firefox's cache and sessions with
// that file in place changes nothing outside the target and removes no
// protected folder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "erasers/BrowserProfiles.h"
#include "erasers/TodaysBrowsers.h"
#include "erasers/modFiles.h"
#include "fuzz/FuzzWorld.h"

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const FirefoxProfileEntry& entry : ParseProfilesIni(text)) {
    if (entry.relative)
      FuzzCheck(!entry.path.empty() && entry.path.front() != '\\' &&
                    entry.path.find(':') == std::string::npos &&
                    IsSafeBaseFolder("C:\\" + entry.path),
                "a relative profile leads out of Firefox's folder");
    else
      FuzzCheck(IsSafeBaseFolder(entry.path), "an absolute profile is no usable folder");
  }

  FuzzWorld world;
  const std::string roaming = world.w.system.env["USERPROFILE"] + "\\Application Data";
  world.w.shell.specialFolders[kCsidlAppData] = roaming;
  world.w.shell.specialFolders[kCsidlLocalAppData] = FuzzWorld::kTemp;
  world.w.files.AddFile(roaming + "\\Mozilla\\Firefox\\profiles.ini", text);
  world.w.files.AddFile(roaming + "\\Mozilla\\Firefox\\Profiles\\a.default\\prefs.js", "prefs");
  world.w.files.AddFile(roaming + "\\Mozilla\\Firefox\\Profiles\\a.default\\sessionstore.js", "s");
  EraseBrowserCategory(world.ctx(), TodaysBrowser::Firefox, BrowserCategory::Cache);
  EraseBrowserCategory(world.ctx(), TodaysBrowser::Firefox, BrowserCategory::Sessions);
  FuzzCheck(world.w.files.Data(roaming + "\\Mozilla\\Firefox\\Profiles\\a.default\\prefs.js") ==
                "prefs",
            "a profile's prefs.js changed");
  world.Check();
  return 0;
}
