// The Windows wildcard matcher against a plain dynamic-programming matcher of
// the same rules, and a tree walk with any pattern over the fuzz world's
// temporary folder, whose links lead outside.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "erasers/modFiles.h"
#include "fuzz/FuzzWorld.h"

using namespace nimbrel;

namespace {

// '*' any run of characters, '?' one character, letters without regard to case.
bool Matches(std::string_view p, std::string_view n) {
  std::vector<std::vector<char>> m(p.size() + 1, std::vector<char>(n.size() + 1, 0));
  m[p.size()][n.size()] = 1;
  for (std::size_t i = p.size(); i-- > 0;)
    for (std::size_t j = n.size() + 1; j-- > 0;) {
      if (p[i] == '*')
        m[i][j] = m[i + 1][j] || (j < n.size() && m[i][j + 1]);
      else
        m[i][j] = j < n.size() && (p[i] == '?' || EqualsNoCase(p.substr(i, 1), n.substr(j, 1))) &&
                  m[i + 1][j + 1];
    }
  return m[0][0];
}

// As FindFirstFile matches: "x.*" also matches "x", "x." a name without a dot.
bool Reference(std::string_view p, std::string_view n) {
  if (Matches(p, n)) return true;
  if (p.ends_with(".*") && Matches(p.substr(0, p.size() - 2), n)) return true;
  return p.ends_with('.') && n.find('.') == std::string_view::npos &&
         Matches(p.substr(0, p.size() - 1), n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string pattern = in.ConsumeRandomLengthString(40);
  const std::string name = in.ConsumeRandomLengthString(80);
  FuzzCheck(WildcardMatch(pattern, name) == Reference(pattern, name),
            "WildcardMatch differs from the reference");

  FuzzWorld world;
  EraseFilesInTree(world.ctx(), FuzzWorld::kTemp, pattern);
  world.Check();
  return 0;
}
