// The reader behind Backup.dat on any file: lines without line breaks, and
// saving them and reading the file back gives the same lines exactly, with
// nothing but Backup.dat left behind.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzWorld.h"
#include "settings/KeepLists.h"

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = TypedAddressKeepListOf(text);
  std::size_t total = 0;
  for (const std::string& line : lines) {
    FuzzCheck(line.find_first_of("\r\n") == std::string::npos, "a line holds a line break");
    total += line.size();
  }
  FuzzCheck(total <= size && lines.size() <= size, "more lines or bytes than the file holds");

  FuzzWorld world;
  const Platform& p = world.ctx().platform;
  DataFolder& folder = world.ctx().dataFolder;
  world.w.files.AddFile(p.system.ProgramFolder() + "\\Backup.dat", text);
  FuzzCheck(ReadTypedAddressKeepList(p, folder) == lines, "the file reads otherwise than its text");
  SaveTypedAddressKeepList(p, folder, lines);
  FuzzCheck(ReadTypedAddressKeepList(p, folder) == lines, "the saved list reads back otherwise");
  const auto left = world.w.files.Find(p.system.ProgramFolder() + "\\*");
  FuzzCheck(left.size() == (lines.empty() ? 2u : 3u), "the save left a file beside Backup.dat");
  world.Check();
  return 0;
}
