#include "erasers/modOperaCache.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

constexpr std::uint32_t k9x = 1, kNt = 2;

TEST(BrowserFolders, FollowTheVersionFamilyAndAreEmptyForAnUnknownVersion) {
  const std::string profile = "C:\\Documents and Settings\\ann";
  const struct {
    OsVersion version;
    std::string base;  // what the folders start with; none for an unknown version
  } table[] = {
      {{5, 0, kNt}, profile}, {{4, 0, kNt}, profile}, {{4, 0, k9x}, "C:\\WIN98"},
      {{5, 2, kNt}, ""},
  };
  TestWorld w;
  w.system.env["USERPROFILE"] = profile;
  w.system.env["WINDIR"] = "C:\\WIN98";
  for (const auto& row : table) {
    SCOPED_TRACE(row.base);
    w.system.version = row.version;
    const auto below = [&row](const char* tail) { return row.base.empty() ? "" : row.base + tail; };
    EXPECT_EQ(OperaFolder(w.ctx), below("\\Application Data\\Opera\\Opera\\"));
    EXPECT_EQ(OperaRootFolder(w.ctx), below("\\Application Data\\Opera\\"));
    EXPECT_EQ(MozillaProfilesFolder(w.ctx), below("\\Application Data\\Mozilla\\Profiles\\"));
  }
}

TEST(BrowserFolders, UnsetProfileVariableLeavesTheTailAlone) {
  TestWorld w;
  w.system.version = {4, 0, kNt};
  w.system.env.erase("USERPROFILE");
  EXPECT_EQ(OperaFolder(w.ctx), "\\Application Data\\Opera\\Opera\\");
}

}  // namespace
}  // namespace nimbrel
