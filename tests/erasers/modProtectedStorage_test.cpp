#include "erasers/modProtectedStorage.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;
const std::string kKey = kProtectedStorageKey;

TEST(ProtectedStorage, EmptyOrMissingKeyAsksNothingAndCountsNothing) {
  TestWorld w;
  ClearProtectedStorage(w.ctx);
  w.registry.AddKey(HKCU, kKey);
  ClearProtectedStorage(w.ctx);
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 0);
  EXPECT_TRUE(w.registry.HasKey(HKCU, kKey));
}

TEST(ProtectedStorage, LeafSubKeysThenValuesGoTheKeyAndDeeperKeysStay) {
  TestWorld w;
  w.ctx.SetReport(&w.report);
  w.registry.AddKey(HKCU, kKey + "\\S-1-5-21\\Data\\Entry");  // has sub-keys: refused
  w.registry.AddKey(HKCU, kKey + "\\Leaf");
  w.registry.PutString(HKCU, kKey, "a", "1");
  w.registry.PutString(HKCU, kKey, "b", "2");
  ClearProtectedStorage(w.ctx);
  EXPECT_FALSE(w.registry.HasKey(HKCU, kKey + "\\Leaf"));
  EXPECT_TRUE(w.registry.HasKey(HKCU, kKey + "\\S-1-5-21\\Data\\Entry"));
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "a"), nullptr);
  EXPECT_EQ(w.registry.Get(HKCU, kKey, "b"), nullptr);
  EXPECT_TRUE(w.registry.HasKey(HKCU, kKey));
  // Every request counts, the refused one too: two keys, then two values.
  EXPECT_EQ(w.report.calls,
            (std::vector<std::string>{"registry 1", "registry 2", "registry 3", "registry 4"}));
}

}  // namespace
}  // namespace nimbrel
