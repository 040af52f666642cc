#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include "fakes/FakeRegistry.h"

namespace nimbrel {
namespace {

TEST(SettingsStore, AbsentKeyReadsAsTheReadersDefault) {
  FakeRegistry reg;
  SettingsStore store(reg);
  EXPECT_EQ(store.ReadSetting(kOptions, "chkCookies", "0"), "0");
  EXPECT_EQ(store.ReadSetting(kOptions, "chkCookies", "1"), "1");
  EXPECT_EQ(reg.KeyCount(), 0u);  // reading creates nothing
}

TEST(SettingsStore, WritesOneStringPerKeyUnderItsSection) {
  FakeRegistry reg;
  SettingsStore store(reg);
  store.WriteSetting(kOptions, "chkCookies", "1");
  store.WriteSetting(kSettings, "Day", "7");
  store.WriteSetting(kOptions, "Paint Shop Pro 7.0-8.0", "False");
  const auto* v = reg.Get(RegRoot::CurrentUser, "Software\\NimbrelSoft\\Nimbrel\\Options", "chkCookies");
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->type, kRegSz);
  EXPECT_EQ(v->data, std::string("1\0", 2));
  EXPECT_EQ(store.ReadSetting(kSettings, "Day", "x"), "7");
  EXPECT_EQ(store.ReadSetting(kOptions, "Day", "absent"), "absent");  // other section
  EXPECT_EQ(store.ReadSetting(kOptions, "paint shop pro 7.0-8.0", ""), "False");
  store.WriteSetting(kOptions, "chkCookies", "0");
  EXPECT_EQ(store.ReadSetting(kOptions, "chkCookies", "1"), "0");
}

TEST(SettingsStore, EveryReadAsksTheRegistryThroughTheSectionsOpenKey) {
  FakeRegistry reg;
  const std::string options = std::string(kSettingsRoot) + "\\Options";
  {
    SettingsStore store(reg);
    store.WriteSetting(kOptions, "txtHomepage", "one");
    store.WriteSetting(kSettings, "Day", "7");
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(store.ReadSetting(kOptions, "txtHomepage", ""), "one");
      EXPECT_EQ(store.ReadSetting(kSettings, "Day", ""), "7");
      EXPECT_EQ(store.ReadSetting(kSettings, "Time", "Null"), "Null");
    }
    EXPECT_EQ(reg.openKeys, 2);  // one per section, kept open
    // Changed from outside: the next read sees it.
    reg.PutString(RegRoot::CurrentUser, options, "txtHomepage", "two");
    EXPECT_EQ(store.ReadSetting(kOptions, "txtHomepage", ""), "two");
    // The section deleted and made anew from outside: read through a fresh key.
    const RegKey outside = reg.OpenKey(RegRoot::CurrentUser, options);
    reg.DeleteValue(outside, "txtHomepage");
    reg.CloseKey(outside);
    EXPECT_EQ(store.ReadSetting(kOptions, "txtHomepage", "gone"), "gone");
    EXPECT_TRUE(reg.DeleteKey(RegRoot::CurrentUser, options));
    EXPECT_EQ(store.ReadSetting(kOptions, "txtHomepage", "gone"), "gone");
    reg.PutString(RegRoot::CurrentUser, options, "txtHomepage", "three");
    EXPECT_EQ(store.ReadSetting(kOptions, "txtHomepage", ""), "three");
  }
  EXPECT_EQ(reg.openKeys, 0);  // closed with the store
}

TEST(SettingsStore, SeveralValuesOfASectionAreReadWithOneLookupWhenItIsMissing) {
  FakeRegistry reg;
  SettingsStore store(reg);
  using Texts = std::vector<std::string>;
  EXPECT_EQ(store.ReadSettings(kSettings, {{"Day", "7"}, {"Time", "Null"}}), (Texts{"7", "Null"}));
  EXPECT_EQ(reg.lookups, 1);
  // Made from outside: the next reads see it, a missing value still gets its default.
  reg.PutString(RegRoot::CurrentUser, std::string(kSettingsRoot) + "\\Settings", "Time", "22:15:00");
  EXPECT_EQ(store.ReadSettings(kSettings, {{"Day", "7"}, {"Time", "Null"}}),
            (Texts{"7", "22:15:00"}));
  reg.PutString(RegRoot::CurrentUser, std::string(kSettingsRoot) + "\\Settings", "Day", "2");
  EXPECT_EQ(store.ReadSettings(kSettings, {{"Day", "7"}, {"Time", "Null"}}),
            (Texts{"2", "22:15:00"}));
}

TEST(SettingsStore, ANumberReadsAsItsDecimalTextAndOtherTypesAsTheDefault) {
  const struct {
    std::uint32_t type;
    std::string data;
    const char* read;
  } cases[] = {
      {kRegDword, std::string("\0\0\0\0", 4), "0"},
      {kRegDword, std::string("\1\0\0\0", 4), "1"},
      {kRegDword, std::string("\x0A\x01\0\0", 4), "266"},
      {kRegDword, std::string("\xFF\xFF\xFF\xFF", 4), "4294967295"},
      {kRegDword, std::string("\1\0", 2), "default"},  // no number of four bytes
      {kRegBinary, std::string("1\0", 2), "default"},
      {kRegExpandSz, std::string("1\0", 2), "default"},
  };
  for (const auto& c : cases) {
    FakeRegistry reg;
    reg.Put(RegRoot::CurrentUser, "Software\\NimbrelSoft\\Nimbrel\\Options", "chkCookies", c.type,
            c.data);
    SettingsStore store(reg);
    EXPECT_EQ(store.ReadSetting(kOptions, "chkCookies", "default"), c.read) << c.read;
    EXPECT_TRUE(store.HasSetting(kOptions, "chkCookies"));
    EXPECT_FALSE(store.HasSetting(kOptions, "chkIndex"));
    EXPECT_FALSE(store.HasSetting(kSettings, "chkCookies"));
  }
}

}  // namespace
}  // namespace nimbrel
