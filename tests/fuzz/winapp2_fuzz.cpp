// The community file's reader on any text, and its erasing over the fuzz
// world: the entries read are sound (named "... *", each name once), reading
// is the same with CR LF or LF line ends, and erasing every entry that names
// nothing outside leaves the world unharmed outside its targets.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "cleaning/Winapp2.h"
#include "cleaning/Winapp2Erase.h"
#include "fuzz/FuzzWorld.h"

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const Winapp2File file = ParseWinapp2(input);
  // The same lines with LF ends read the same (a CR elsewhere is part of its line).
  std::string lf;
  bool crlfOnly = true;
  for (std::size_t i = 0; i < input.size(); ++i) {
    if (input[i] != '\r') lf += input[i];
    else crlfOnly = crlfOnly && i + 1 < input.size() && input[i + 1] == '\n';
  }
  if (crlfOnly) {
    const Winapp2File again = ParseWinapp2(lf);
    FuzzCheck(again.entries.size() == file.entries.size(), "line ends changed the entries");
    for (std::size_t i = 0; i < again.entries.size(); ++i)
      FuzzCheck(again.entries[i].name == file.entries[i].name, "line ends changed a name");
  }
  for (std::size_t i = 0; i < file.entries.size(); ++i) {
    const std::string& name = file.entries[i].name;
    FuzzCheck(name.ends_with(" *") && !Winapp2TickKey(name).empty(), "an entry without a name");
    for (std::size_t j = 0; j < i; ++j)
      FuzzCheck(!EqualsNoCase(file.entries[j].name, name), "an entry read twice");
  }
  // Lines naming the outside data by name would erase it as asked: only the rest run.
  const Winapp2File safe = ParseWinapp2(FuzzWorld::NamesOutside(input) ? "" : input);
  FuzzWorld world;
  for (const Winapp2Entry& entry : safe.entries) EraseWinapp2Entry(world.ctx(), PathVariables(world.ctx()), entry);
  world.Check();
  return 0;
}
