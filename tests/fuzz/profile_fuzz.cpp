// The reader behind Cookies.ini on any file: what it gives is what the
// profile functions can give (at most 254 characters a value, no line
// breaks), saving that list and reading it back gives each entry as the
// profile functions read back what was written, and the save leaves only
// Cookies.ini behind.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dialogs/FrmKeepList.h"
#include "fuzz/FuzzWorld.h"
#include "settings/KeepLists.h"
#include "settings/ProfileText.h"

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const ProfileKey& key : ReadProfileSection(text, "Cookies"))
    FuzzCheck(key.value.size() <= kProfileValueMax &&
                  key.value.find_first_of(std::string("\n\0", 2)) == std::string::npos &&
                  key.name.find_first_of(std::string("\n\0", 2)) == std::string::npos,
              "a key holds a line break or NUL, or a value is too long");

  const std::vector<std::string> entries = CookieKeepListOf(text);
  FuzzCheck(entries.size() <= size / 14, "more entries than the file has lines for");
  std::vector<std::string> readBack;
  for (const std::string& entry : entries) readBack.push_back(ProfileValue(entry));

  FuzzWorld world;
  const Platform& p = world.ctx().platform;
  DataFolder& folder = world.ctx().dataFolder;
  const std::string ini = p.system.ProgramFolder() + "\\Cookies.ini";
  world.w.files.AddFile(ini, text);
  FuzzCheck(ReadCookieKeepList(p, folder) == entries, "the file reads otherwise than its text");
  SaveCookieKeepList(world.ctx(), entries);
  FuzzCheck(world.w.files.Data(ini) == CookieKeepListText(entries),
            "the saved file is not the list's text");
  FuzzCheck(ReadCookieKeepList(p, folder) == readBack, "the saved list reads back otherwise");
  const auto left = world.w.files.Find(p.system.ProgramFolder() + "\\*");
  FuzzCheck(left.size() == 3, "the save left a file beside Cookies.ini");
  world.Check();
  return 0;
}
