#include "app/StartupEntry.h"

#include <gtest/gtest.h>

#include "app/FrmMain.h"
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

// The setting as stored: only 1 means on; a missing one means off.
const struct {
  const char* setting;  // nullptr: never stored
  bool on;
} kSettings[] = {{"1", true}, {nullptr, false}, {"0", false}, {"yes", false}, {"True", false}};

TEST_F(StartupEntryTest, TheSettingDecides) {
  for (const auto& row : kSettings) {
    SCOPED_TRACE(row.setting ? row.setting : "<never stored>");
    TestWorld fresh;
    fresh.registry.PutString(HKLM, kRunKey, "Nimbrel", "x");
    if (row.setting) fresh.SetOption(kStartupKey, row.setting);
    ApplyStartupSetting(fresh.ctx);
    const auto* v = fresh.registry.Get(HKLM, kRunKey, "Nimbrel");
    EXPECT_EQ(v ? v->data.substr(0, v->data.find('\0')) : "<absent>",
              row.on ? "\"C:\\Program Files\\Nimbrel\\Nimbrel.exe\"" : "<absent>");
    EXPECT_EQ(fresh.ctx.RegistryItemsRemoved, 0);
  }
}

// The main window brings the value in line as it loads, counting nothing.
TEST(StartWithWindowsTest, LoadingTheMainWindowAppliesTheSetting) {
  for (const auto& row : kSettings) {
    SCOPED_TRACE(row.setting ? row.setting : "<never stored>");
    TestWorld fresh;
    fresh.system.programFolder = "C:\\Tools";
    fresh.registry.PutString(HKLM, kRunKey, "Nimbrel", "C:\\old\\Nimbrel.exe");
    fresh.registry.PutString(HKLM, kRunKey, "Other", "C:\\other.exe");
    if (row.setting) fresh.SetOption(kStartupKey, row.setting);
    FrmMain main(fresh.ctx);
    main.Load();
    const auto* v = fresh.registry.Get(HKLM, kRunKey, "Nimbrel");
    EXPECT_EQ(v ? v->data.substr(0, v->data.find('\0')) : "<absent>",
              row.on ? "C:\\Tools\\Nimbrel.exe" : "<absent>");
    EXPECT_NE(fresh.registry.Get(HKLM, kRunKey, "Other"), nullptr);
    EXPECT_EQ(main.lblScannedRegKeys.Caption(), "0");
  }
}

}  // namespace
}  // namespace nimbrel
