#include "erasers/modProtectedStorage.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"
#include "platform/Text.h"

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

TEST(ProtectedStorage, EverySubKeyGoesWithEverythingBelowItThenTheValuesAndTheKeyStays) {
  TestWorld w;
  w.ctx.SetReport(&w.report);
  // As Internet Explorer leaves it: many sub-keys, each with children of its own.
  constexpr int kEntries = 200;
  for (int i = 0; i < kEntries; ++i)
    w.registry.PutString(HKCU, kKey + "\\S-1-5-21-" + std::to_string(i) + "\\Data\\Entry", "v", "x");
  w.registry.AddKey(HKCU, kKey + "\\Leaf");
  w.registry.PutString(HKCU, kKey, "a", "1");
  w.registry.PutString(HKCU, kKey, "b", "2");
  w.registry.AddKey(HKCU, "Software\\Microsoft\\Beside");
  ClearProtectedStorage(w.ctx);
  EXPECT_EQ(w.registry.Dump(HKCU, kKey), "HKCU\\" + ToUpper(kKey) + "\n");  // the key, empty
  EXPECT_TRUE(w.registry.HasKey(HKCU, "Software\\Microsoft\\Beside"));
  // Every request counts: three keys per entry, the leaf, then two values.
  const int requests = 3 * kEntries + 1 + 2;
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, requests);
  EXPECT_EQ(w.report.calls.back(), "registry " + std::to_string(requests));
}

}  // namespace
}  // namespace nimbrel
