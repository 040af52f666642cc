#include "erasers/DefinitionActions.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

// Both texts' variables are read from one table, but each text knows only its
// own names: the community file's anywhere in any letter case, the built-in
// macros spelt exactly at the start, the rest of such a path as written.
TEST(PathVariables, EachSyntaxReadsOnlyItsOwnNames) {
  TestWorld w;
  w.system.env["WINDIR"] = "C:\\WINDOWS";
  w.system.env["APPDATA"] = "C:\\Users\\u\\AppData\\Roaming";
  const PathVariables vars(w.ctx);
  constexpr auto kAnywhere = VariableSyntax::Anywhere, kMacro = VariableSyntax::LeadingMacro;
  const struct {
    const char* text;
    VariableSyntax syntax;
    std::string paths;  // ";" after each; "refused: WHY" when refused
  } cases[] = {
      {"%WinDir%\\x", kAnywhere, "C:\\WINDOWS\\x;"},
      {"%appdata%\\a\\%WINDIR%", kAnywhere, "C:\\Users\\u\\AppData\\Roaming\\a\\C:\\WINDOWS;"},
      {"%WindowsDirectory%\\x", kAnywhere, "refused: unknown variable %WindowsDirectory%"},
      {"%AppData%\\x%", kAnywhere, "refused: unpaired %"},
      {"%WindowsDirectory%\\x", kMacro, "C:\\WINDOWS\\x;"},
      {"%BootDirectory%", kMacro, "C:;"},
      {"%windowsdirectory%\\x", kMacro, "%windowsdirectory%\\x;"},
      {"%WinDir%\\x", kMacro, "%WinDir%\\x;"},
      {"C:\\Logs\\%WindowsDirectory%", kMacro, "C:\\Logs\\%WindowsDirectory%;"},
      {"%WindowsDirectory%\\%AppData%", kMacro, "C:\\WINDOWS\\%AppData%;"},
  };
  for (const auto& c : cases) {
    const ExpandedPaths got = vars.Expand(c.text, c.syntax);
    std::string paths = got.refused.empty() ? "" : "refused: " + got.refused;
    for (const std::string& p : got.paths) paths += p + ";";
    EXPECT_EQ(paths, c.paths) << c.text;
  }
}

}  // namespace
}  // namespace nimbrel
