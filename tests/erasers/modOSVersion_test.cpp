#include "erasers/modOSVersion.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

constexpr std::uint32_t k9x = 1, kNt = 2;
using V = WindowsVersion;

TEST(OSVersionTag, ReducesTheVersionRecordToTheVersionAndItsFamily) {
  const struct {
    OsVersion version;
    WindowsVersion tag;
    bool nt, nine;
  } table[] = {
      {{4, 0, k9x}, V::Windows95, false, true}, {{4, 10, k9x}, V::Windows98, false, true},
      {{4, 90, k9x}, V::Windows98, false, true}, {{4, 0, kNt}, V::NT4, true, false},
      {{5, 0, kNt}, V::Windows2000, true, false}, {{5, 1, kNt}, V::XP, true, false},
      {{5, 2, kNt}, V::Unknown, false, false},   {{6, 1, kNt}, V::Unknown, false, false},
      {{3, 51, kNt}, V::Unknown, false, false},
  };
  TestWorld w;
  for (const auto& row : table) {
    SCOPED_TRACE(std::to_string(row.version.major) + "." + std::to_string(row.version.minor) +
                 " platform " + std::to_string(row.version.platformId));
    w.system.version = row.version;
    const WindowsVersion tag = OSVersionTag(w.ctx);
    EXPECT_EQ(tag, row.tag);
    EXPECT_EQ(IsNtFamily(tag), row.nt);
    EXPECT_EQ(IsWindows9x(tag), row.nine);
  }
}

TEST(OSVersionTag, ProbesAfreshOnEveryCall) {
  TestWorld w;
  w.system.version = {5, 1, kNt};
  EXPECT_EQ(OSVersionTag(w.ctx), V::XP);
  w.system.version = {4, 10, k9x};
  EXPECT_EQ(OSVersionTag(w.ctx), V::Windows98);
  EXPECT_EQ(w.system.versionCalls, 2);
}

}  // namespace
}  // namespace nimbrel
