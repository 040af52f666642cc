// The definitions interpreter on any section text: every line that names
// nothing outside runs against the fuzz world, which must end unharmed
// outside its targets; the definitions file must be gone afterwards.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "erasers/modDefinitions.h"
#include "fuzz/FuzzWorld.h"

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  // Lines naming the outside data or its links by name would erase them as
  // asked; only the rest run.
  std::string section = "[Fuzz]\r\n";
  while (!input.empty()) {
    const std::size_t end = input.find("\r\n");
    const std::string_view line = input.substr(0, end);
    if (!FuzzWorld::NamesOutside(line)) section.append(line).append("\r\n");
    input.remove_prefix(end == std::string_view::npos ? input.size() : end + 2);
  }
  FuzzWorld world;
  const std::string_view texts[] = {section};
  RunDefinitionSection(world.ctx(), texts, "Fuzz");
  DeleteThirdPartyFileCreated(world.ctx());
  world.Check();
  FuzzCheck(!world.w.files.Exists(DefinitionsFilePath(world.ctx())), "the definitions file stayed");
  return 0;
}
