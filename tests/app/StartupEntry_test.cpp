#include "app/StartupEntry.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

constexpr RegRoot HKLM = RegRoot::LocalMachine;
constexpr RegRoot HKCU = RegRoot::CurrentUser;

class StartupEntryTest : public ::testing::Test {
 protected:
  StartupEntryTest() {
    w.registry.PutString(HKLM, kRunKey, "Other", "C:\\other.exe");
    w.registry.PutString(HKCU, kRunKey, "", "default value");
  }
  std::string Entry(RegRoot root, const std::string& name = "Nimbrel") {
    const auto* v = w.registry.Get(root, kRunKey, name);
    if (!v) return "<absent>";
    EXPECT_EQ(v->type, kRegSz);
    return v->data.substr(0, v->data.find('\0'));
  }
  TestWorld w;
};

TEST_F(StartupEntryTest, ThePathIsQuotedOnlyWhenItHoldsABlank) {
  WriteStartupEntry(w.ctx);
  EXPECT_EQ(Entry(HKLM), "\"C:\\Program Files\\Nimbrel\\Nimbrel.exe\"");
  EXPECT_EQ(Entry(HKCU), "<absent>");
  w.system.programFolder = "C:\\Tools";
  w.system.exeBaseName = "Eraser";
  WriteStartupEntry(w.ctx);
  EXPECT_EQ(Entry(HKLM, "Eraser"), "C:\\Tools\\Eraser.exe");
  EXPECT_EQ(Entry(HKLM, "Other"), "C:\\other.exe");
}

TEST_F(StartupEntryTest, WhenTheMachineKeyRefusesTheUsersRunKeyGetsIt) {
  w.registry.MarkReadOnly(HKLM, kRunKey);
  WriteStartupEntry(w.ctx);
  EXPECT_EQ(Entry(HKLM), "<absent>");
  EXPECT_EQ(Entry(HKCU), "\"C:\\Program Files\\Nimbrel\\Nimbrel.exe\"");
  // Without a Run key of its own, the user's is created.
  w.registry.DeleteKey(HKCU, kRunKey);
  WriteStartupEntry(w.ctx);
  EXPECT_EQ(Entry(HKCU), "\"C:\\Program Files\\Nimbrel\\Nimbrel.exe\"");
  EXPECT_EQ(w.registry.openKeys, 0);
}

TEST_F(StartupEntryTest, AMachineWriteTakesAwayTheUsersCopy) {
  w.registry.PutString(HKCU, kRunKey, "Nimbrel", "C:\\old\\Nimbrel.exe");
  WriteStartupEntry(w.ctx);
  EXPECT_EQ(Entry(HKLM), "\"C:\\Program Files\\Nimbrel\\Nimbrel.exe\"");
  EXPECT_EQ(Entry(HKCU), "<absent>");
}

TEST_F(StartupEntryTest, RemovalTakesItFromBothAndLeavesTheRest) {
  w.registry.PutString(HKLM, kRunKey, "Nimbrel", "x");
  w.registry.PutString(HKCU, kRunKey, "Nimbrel", "x");
  RemoveStartupEntry(w.ctx);
  EXPECT_EQ(Entry(HKLM), "<absent>");
  EXPECT_EQ(Entry(HKCU), "<absent>");
  EXPECT_EQ(Entry(HKLM, "Other"), "C:\\other.exe");
  EXPECT_EQ(Entry(HKCU, ""), "default value");
  // Not counted among what a run erased.
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 0);
}

TEST_F(StartupEntryTest, WithoutABaseNameNothingIsWrittenOrRemoved) {
  w.system.exeBaseName = "";
  WriteStartupEntry(w.ctx);
  RemoveStartupEntry(w.ctx);
  EXPECT_EQ(Entry(HKCU, ""), "default value");
  EXPECT_EQ(Entry(HKLM, ""), "<absent>");
}

TEST_F(StartupEntryTest, TheSettingDecidesAndAMissingOneMeansOff) {
  w.registry.PutString(HKLM, kRunKey, "Nimbrel", "x");
  ApplyStartupSetting(w.ctx);
  EXPECT_EQ(Entry(HKLM), "<absent>");
  w.SetOption("chkStartup", "1");
  ApplyStartupSetting(w.ctx);
  EXPECT_EQ(Entry(HKLM), "\"C:\\Program Files\\Nimbrel\\Nimbrel.exe\"");
  w.SetOption("chkStartup", "True");
  ApplyStartupSetting(w.ctx);
  EXPECT_EQ(Entry(HKLM), "<absent>");
}

}  // namespace
}  // namespace nimbrel
