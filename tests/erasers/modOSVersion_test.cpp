#include "erasers/modOSVersion.h"

#include <gtest/gtest.h>

#include "erasers/modOperaCache.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

constexpr std::uint32_t k9x = 1, kNt = 2;

TEST(OSVersionTag, ReducesTheVersionRecordToItsTag) {
  const struct {
    OsVersion version;
    const char* tag;
  } table[] = {
      {{4, 0, k9x}, "95"}, {{4, 10, k9x}, "98"}, {{4, 90, k9x}, "98"},
      {{4, 0, kNt}, "NT"}, {{5, 0, kNt}, "2K"},  {{5, 1, kNt}, "XP"},
      {{5, 2, kNt}, ""},   {{6, 1, kNt}, ""},    {{3, 51, kNt}, ""},
  };
  TestWorld w;
  for (const auto& row : table) {
    w.system.version = row.version;
    EXPECT_EQ(OSVersionTag(w.ctx), row.tag)
        << row.version.major << "." << row.version.minor << " platform " << row.version.platformId;
  }
}

TEST(OSVersionTag, ProbesAfreshOnEveryCall) {
  TestWorld w;
  w.system.version = {5, 1, kNt};
  EXPECT_EQ(OSVersionTag(w.ctx), "XP");
  w.system.version = {4, 10, k9x};
  EXPECT_EQ(OSVersionTag(w.ctx), "98");
  EXPECT_EQ(w.system.versionCalls, 2);
}

TEST(BrowserFolders, FollowTheVersionFamily) {
  TestWorld w;
  w.system.env["USERPROFILE"] = "C:\\Documents and Settings\\ann";
  w.system.env["WINDIR"] = "C:\\WIN98";
  w.system.version = {5, 0, kNt};
  EXPECT_EQ(OperaFolder(w.ctx),
            "C:\\Documents and Settings\\ann\\Application Data\\Opera\\Opera\\");
  EXPECT_EQ(MozillaProfilesFolder(w.ctx),
            "C:\\Documents and Settings\\ann\\Application Data\\Mozilla\\Profiles\\");
  w.system.version = {4, 0, k9x};
  EXPECT_EQ(OperaFolder(w.ctx), "C:\\WIN98\\Application Data\\Opera\\Opera\\");
  EXPECT_EQ(MozillaProfilesFolder(w.ctx), "C:\\WIN98\\Application Data\\Mozilla\\Profiles\\");
}

TEST(BrowserFolders, EmptyForAnUnknownVersion) {
  TestWorld w;
  w.system.version = {5, 2, kNt};
  EXPECT_EQ(OperaFolder(w.ctx), "");
  EXPECT_EQ(MozillaProfilesFolder(w.ctx), "");
}

TEST(BrowserFolders, UnsetProfileVariableLeavesTheTailAlone) {
  TestWorld w;
  w.system.version = {4, 0, kNt};
  w.system.env.erase("USERPROFILE");
  EXPECT_EQ(OperaFolder(w.ctx), "\\Application Data\\Opera\\Opera\\");
}

}  // namespace
}  // namespace nimbrel
