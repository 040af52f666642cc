#include "app/FrmOptions.h"

#include <gtest/gtest.h>

#include "app/StartupEntry.h"
#include "platform/Text.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;
const std::string kIeMain = "Software\\Microsoft\\Internet Explorer\\Main";

class FrmOptionsTest : public ::testing::Test {
 protected:
  FrmOptionsTest() {
    w.registry.PutString(HKCU, kIeMain, "Start Page", "http://live.example/");
    w.registry.AddKey(RegRoot::LocalMachine, kRunKey);
  }
  std::string Schedule(const std::string& key) {
    return w.settings.ReadSetting(kSettings, key, "<absent>");
  }
  std::vector<bool> PagesShown() {
    return {dlg.Framegeneral.Visible(), dlg.FrameProtectHomepage.Visible(),
            dlg.FrameSchedule.Visible(), dlg.FrameHotkey.Visible()};
  }

  TestWorld w;
  Form host{w.loop, "FrmMain", 0, 0};
  Timer TmrScheduler{host, "TmrScheduler", 10};
  FrmOptions dlg{w.ctx, TmrScheduler};
};

TEST_F(FrmOptionsTest, AnEmptyStoreShowsTheDefaults) {
  dlg.Load();
  EXPECT_EQ(PagesShown(), (std::vector<bool>{true, false, false, false}));
  EXPECT_EQ(dlg.chkStartup.Value(), 1);
  EXPECT_EQ(dlg.ChkRunInSteathmode.Value(), 0);
  EXPECT_EQ(dlg.ChkDontStoreLogFile.Value(), 0);
  EXPECT_EQ(dlg.ChkCloseAllIE.Value(), 0);
  EXPECT_EQ(dlg.ChkCloseBrowsers.Value(), 0);
  EXPECT_EQ(dlg.ChkCloseBrowsers.Caption(), "Close today's browsers before erasing");
  EXPECT_EQ(dlg.chkenablesecureerasing.Value(), 0);
  EXPECT_EQ(dlg.chkPreverntHomepage.Value(), 1);  // the guard is on while it is missing
  EXPECT_EQ(dlg.txtHomepage.Text(), "http://live.example/");
  EXPECT_FALSE(dlg.txtHomepage.Locked());
  EXPECT_EQ(dlg.cmbinvisiblemmode.Text(), "A");
  EXPECT_EQ(dlg.cmbbosskey.Text(), "A");
  EXPECT_EQ(dlg.cmboverwriteTracksFiles.Text(), "0");
  EXPECT_FALSE(dlg.optCloseAllIE.Value());
  EXPECT_FALSE(dlg.optCloseAllIEAndStartErasing.Value());
  EXPECT_EQ(dlg.chkSchedule.Value(), 0);
  EXPECT_EQ(dlg.cmbDays.Text(), "Day");
  EXPECT_FALSE(dlg.dtpScheduleTime.Value().has_value());
  // The lists and the dependent controls.
  EXPECT_EQ(dlg.cmbinvisiblemmode.ListCount(), 26);
  EXPECT_EQ(dlg.cmbbosskey.List(25), "Z");
  EXPECT_EQ(dlg.cmboverwriteTracksFiles.ListCount(), 11);
  EXPECT_EQ(dlg.cmbDays.List(0), "Monday");
  EXPECT_FALSE(dlg.cmbinvisiblemmode.Enabled());
  EXPECT_FALSE(dlg.cmboverwriteTracksFiles.Enabled());
  EXPECT_FALSE(dlg.cmbDays.Enabled());
  EXPECT_FALSE(dlg.dtpScheduleTime.Enabled());
  // Loading writes nothing.
  EXPECT_TRUE(w.registry.setLog.empty());
}

TEST_F(FrmOptionsTest, StoredValuesAndTheirEnablingRules) {
  for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
           {"chkStartup", "0"},
           {"ChkRunInSteathmode", "1"},
           {"cmbinvisiblemmode", "q"},
           {"chkenablesecureerasing", "1"},
           {"cmboverwriteTracksFiles", "7"},
           {"chkPreverntHomepage", "1"},
           {"txtHomepage", " http://kept.example/ "},
           {"cmbbosskey", "K"},
           {"optCloseAllIEAndStartErasing", "True"},
           {"optCloseAllIE", "False"}})
    w.SetOption(key, value);
  w.settings.WriteSetting(kSettings, "chkSchedule", "1");
  w.settings.WriteSetting(kSettings, "Day", "2");
  w.settings.WriteSetting(kSettings, "Time", "22:15:00");
  dlg.Load();
  EXPECT_EQ(dlg.chkStartup.Value(), 0);
  EXPECT_EQ(dlg.cmbinvisiblemmode.Text(), "Q");
  EXPECT_TRUE(dlg.cmbinvisiblemmode.Enabled());
  EXPECT_EQ(dlg.cmboverwriteTracksFiles.Text(), "7");
  EXPECT_TRUE(dlg.cmboverwriteTracksFiles.Enabled());
  EXPECT_EQ(dlg.txtHomepage.Text(), " http://kept.example/ ");
  EXPECT_EQ(dlg.cmbbosskey.Text(), "K");
  EXPECT_TRUE(dlg.optCloseAllIEAndStartErasing.Value());
  EXPECT_FALSE(dlg.optCloseAllIE.Value());
  EXPECT_EQ(dlg.cmbDays.ListIndex(), 2);
  ASSERT_TRUE(dlg.dtpScheduleTime.Value().has_value());
  EXPECT_EQ(FormatHms(*dlg.dtpScheduleTime.Value()), "22:15:00");
  EXPECT_TRUE(dlg.cmbDays.Enabled());
  EXPECT_TRUE(dlg.dtpScheduleTime.Enabled());
  // The guard's box is checked, yet the text box starts editable.
  EXPECT_EQ(dlg.chkPreverntHomepage.Value(), 1);
  EXPECT_FALSE(dlg.txtHomepage.Locked());

  // The rules follow the user's clicks.
  const auto click = [](CheckBox& box) {
    box.SetValue(!box.Value());
    box.UserClick();
  };
  click(dlg.chkPreverntHomepage);
  EXPECT_TRUE(dlg.txtHomepage.Locked());
  click(dlg.chkPreverntHomepage);
  EXPECT_FALSE(dlg.txtHomepage.Locked());
  click(dlg.ChkRunInSteathmode);
  EXPECT_FALSE(dlg.cmbinvisiblemmode.Enabled());
  click(dlg.chkenablesecureerasing);
  EXPECT_FALSE(dlg.cmboverwriteTracksFiles.Enabled());
  click(dlg.chkSchedule);
  EXPECT_FALSE(dlg.cmbDays.Enabled());
  EXPECT_FALSE(dlg.dtpScheduleTime.Enabled());
}

TEST_F(FrmOptionsTest, SavingOnAnyPageStoresEveryPageInOrder) {
  dlg.Load();
  dlg.Label26.UserClick();
  EXPECT_EQ(PagesShown(), (std::vector<bool>{false, false, true, false}));
  dlg.ChkDontStoreLogFile.SetValue(1);
  dlg.ChkCloseBrowsers.SetValue(1);
  dlg.txtHomepage.SetText(" typed ");
  dlg.cmbbosskey.SetListIndex(2);
  dlg.optCloseAllIE.SetValue(true);
  dlg.chkSchedule.SetValue(1);
  dlg.cmbDays.SetListIndex(4);
  dlg.dtpScheduleTime.SetValue(DateTime{2026, 12, 8, 7, 5, 0, 2});
  dlg.Command2.UserClick();  // the Schedule page's save

  const std::string opt = ToUpper(std::string("HKCU\\") + kSettingsRoot + "\\Options\\");
  const std::string set = ToUpper(std::string("HKCU\\") + kSettingsRoot + "\\Settings\\");
  const std::string run = ToUpper(std::string("HKLM\\") + kRunKey + "\\");
  std::vector<std::string> expected;
  for (const char* key :
       {"chkStartup", "ChkRunInSteathmode", "ChkDontStoreLogFile", "ChkCloseAllIE",
        "ChkCloseBrowsers", "cmbinvisiblemmode", "chkenablesecureerasing", "cmboverwriteTracksFiles",
        "chkPreverntHomepage", "txtHomepage", "cmbbosskey", "optCloseAllIEAndStartErasing",
        "optCloseAllIE"})
    expected.push_back(opt + ToUpper(key));
  expected.push_back(run + "NIMBREL");  // chkStartup was shown checked
  for (const char* key : {"chkSchedule", "Day", "Time"}) expected.push_back(set + ToUpper(key));
  EXPECT_EQ(w.registry.setLog, expected);

  EXPECT_EQ(w.Option("chkStartup"), "1");
  EXPECT_EQ(w.Option("ChkDontStoreLogFile"), "1");
  EXPECT_EQ(w.Option("ChkCloseBrowsers"), "1");
  EXPECT_EQ(w.Option("cmbinvisiblemmode"), "A");
  EXPECT_EQ(w.Option("cmboverwriteTracksFiles"), "0");
  EXPECT_EQ(w.Option("txtHomepage"), " typed ");
  EXPECT_EQ(w.Option("cmbbosskey"), "C");
  EXPECT_EQ(w.Option("optCloseAllIE"), "True");
  EXPECT_EQ(w.Option("optCloseAllIEAndStartErasing"), "False");
  EXPECT_EQ(Schedule("chkSchedule"), "1");
  EXPECT_EQ(Schedule("Day"), "4");
  EXPECT_EQ(Schedule("Time"), "07:05:00");
  EXPECT_NE(w.registry.Get(RegRoot::LocalMachine, kRunKey, "Nimbrel"), nullptr);
  EXPECT_TRUE(TmrScheduler.Enabled());
  EXPECT_FALSE(dlg.Visible());
}

TEST_F(FrmOptionsTest, EachPagesSaveButtonSavesAndEachCloseButtonOnlyCloses) {
  for (const char* name : {"Command1", "Command3", "Command5", "Command6", "Image1"}) {
    dlg.Load();
    dlg.Find(name)->UserClick();
    EXPECT_FALSE(dlg.Loaded()) << name;
  }
  EXPECT_TRUE(w.registry.setLog.empty());
  for (const char* name : {"cmdOK", "Command2", "Command4", "Command7"}) {
    w.registry.setLog.clear();
    dlg.Load();
    dlg.Find(name)->UserClick();
    EXPECT_EQ(w.registry.setLog.size(), 17u) << name;
    EXPECT_FALSE(dlg.Loaded()) << name;
  }
}

TEST_F(FrmOptionsTest, TheGuardBoxShowsWhatTheGuardActsOnAndOKLeavesTheGuardAsItWas) {
  const auto guardOn = [this] { return IsOne(w.settings.ReadSetting(kOptions, "chkPreverntHomepage", "1")); };
  for (const char* stored : {"", "0", "1", "01"}) {
    SCOPED_TRACE(stored);
    const std::string options = std::string(kSettingsRoot) + "\\Options";
    if (*stored) {
      w.SetOption("chkPreverntHomepage", stored);
    } else if (const RegKey k = w.registry.OpenKey(HKCU, options)) {
      w.registry.DeleteValue(k, "chkPreverntHomepage");
      w.registry.CloseKey(k);
    }
    const bool before = guardOn();
    dlg.Load();
    EXPECT_EQ(dlg.chkPreverntHomepage.Value() == 1, before);
    dlg.cmdOK.UserClick();
    EXPECT_EQ(guardOn(), before);
  }
}

TEST_F(FrmOptionsTest, NoBossActionNoTimeAndNoSwitchAreStoredAsSuch) {
  TmrScheduler.SetEnabled(true);
  dlg.Load();
  dlg.chkStartup.SetValue(0);
  dlg.cmbDays.SetListIndex(-1);
  dlg.SaveOptions();
  EXPECT_EQ(w.Option("optCloseAllIE"), "False");
  EXPECT_EQ(w.Option("optCloseAllIEAndStartErasing"), "False");
  EXPECT_EQ(Schedule("Time"), "Null");
  EXPECT_EQ(Schedule("Day"), "-1");
  EXPECT_EQ(Schedule("chkSchedule"), "0");
  EXPECT_FALSE(TmrScheduler.Enabled());
  EXPECT_EQ(w.registry.Get(RegRoot::LocalMachine, kRunKey, "Nimbrel"), nullptr);
}

TEST_F(FrmOptionsTest, TheBlankPageButtonActsAtOnceAndASaveWritesTheTextBoxOverIt) {
  dlg.Load();
  dlg.Label25.UserClick();
  EXPECT_EQ(PagesShown(), (std::vector<bool>{false, true, false, false}));
  dlg.cmdaboutblank.UserClick();
  EXPECT_EQ(w.registry.Get(HKCU, kIeMain, "Start Page")->data, std::string("about:blank") + '\0');
  EXPECT_EQ(w.Option("txtHomepage"), "about:blank");
  EXPECT_EQ(dlg.txtHomepage.Text(), "http://live.example/");
  dlg.Command4.UserClick();
  EXPECT_EQ(w.Option("txtHomepage"), "http://live.example/");
  EXPECT_EQ(w.registry.Get(HKCU, kIeMain, "Start Page")->data, std::string("about:blank") + '\0');
}

TEST_F(FrmOptionsTest, ScheduleControlsWithoutADayOrWithoutATime) {
  // A time but no day: "Day" is selected and the picker keeps its value.
  w.settings.WriteSetting(kSettings, "Time", "10:00:00");
  const DateTime before{2026, 1, 1, 3, 4, 5, 4};
  dlg.dtpScheduleTime.SetValue(before);
  dlg.LoadScheduleControls();  // loads the dialog first
  EXPECT_TRUE(dlg.Loaded());
  EXPECT_EQ(dlg.cmbDays.Text(), "Day");
  EXPECT_EQ(dlg.dtpScheduleTime.Value(), before);
  // A day but "Null": the picker goes off.
  w.settings.WriteSetting(kSettings, "Day", "3");
  w.settings.WriteSetting(kSettings, "Time", "Null");
  dlg.LoadScheduleControls();
  EXPECT_EQ(dlg.cmbDays.Text(), "Thursday");
  EXPECT_FALSE(dlg.dtpScheduleTime.Value().has_value());
  // A day out of the list selects nothing.
  w.settings.WriteSetting(kSettings, "Day", "9");
  dlg.LoadScheduleControls();
  EXPECT_EQ(dlg.cmbDays.ListIndex(), -1);
}

TEST_F(FrmOptionsTest, SelectorsShowOnePageAndTheChromeWorks) {
  dlg.Load();
  const std::vector<std::pair<std::string, std::vector<bool>>> selectors{
      {"Image2", {false, true, false, false}}, {"Label27", {false, false, false, true}},
      {"Image5", {false, false, false, true}}, {"Image3", {false, false, true, false}},
      {"Label25", {false, true, false, false}}, {"Image4", {true, false, false, false}}};
  for (const auto& [name, shown] : selectors) {
    dlg.Find(name)->UserClick();
    EXPECT_EQ(PagesShown(), shown) << name;
  }
  EXPECT_EQ(dlg.strip.title.Caption(), "Options");
  dlg.MoveTo(1500, 1500);
  dlg.strip.title.UserMouseDown({1, 0, 300, 150});
  dlg.strip.title.UserMouseMove({1, 0, 450, 90});
  dlg.strip.title.UserMouseUp({1, 0, 450, 90});
  EXPECT_EQ(dlg.Left(), 1650);
  EXPECT_EQ(dlg.Top(), 1440);
  w.shell.associatedProgram = "C:\\browser.exe";
  dlg.strip.Image8.UserClick();
  ASSERT_EQ(w.shell.executions.size(), 1u);
}

}  // namespace
}  // namespace nimbrel
