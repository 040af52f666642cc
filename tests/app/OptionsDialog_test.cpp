// The options dialog as the main window opens it.
#include <gtest/gtest.h>

#include "app/MainWindowTest.h"

namespace nimbrel {
namespace {

class OptionsDialogTest : public MainWindowTest {
 protected:
  OptionsDialogTest() {
    onModal = [this](Form& f) {
      if (onOptions && f.Name() == "FrmOptions") onOptions(static_cast<FrmOptions&>(f));
    };
  }
  std::function<void(FrmOptions&)> onOptions;
};

TEST_F(OptionsDialogTest, TheCommandAndTheMenuOpenItAndThenApplyTheSwitch) {
  main.Load();
  main.ImgOptionsNormal.UserMouseMove({});
  w.settings.WriteSetting(kSettings, "chkSchedule", "2");  // not 0: on
  main.ImgOptionsMouseMove.UserClick();
  EXPECT_TRUE(main.ImgOptionsNormal.Visible());
  EXPECT_TRUE(main.TmrScheduler.Enabled());
  w.settings.WriteSetting(kSettings, "chkSchedule", "0");
  main.mnuOptions.UserClick();
  EXPECT_FALSE(main.TmrScheduler.Enabled());
  w.settings.WriteSetting(kSettings, "chkSchedule", "1");
  main.Label8.UserClick();
  EXPECT_TRUE(main.TmrScheduler.Enabled());
  EXPECT_EQ(shown, (std::vector<std::string>{"FrmOptions", "FrmOptions", "FrmOptions"}));
  EXPECT_EQ(main.Options().Current(), nullptr);  // unloaded when closed
}

TEST_F(OptionsDialogTest, TheFirstOpeningShowsWhatStartUpReadAndTheNextReadsAfresh) {
  w.settings.WriteSetting(kSettings, "Day", "5");
  main.Load();
  ASSERT_NE(main.Options().Current(), nullptr);
  EXPECT_EQ(main.Options().Current()->cmbDays.Text(), "Saturday");
  EXPECT_FALSE(main.Options().Current()->Visible());
  w.SetOption("txtHomepage", "http://recorded.example/");
  std::vector<std::string> pages;
  onOptions = [&](FrmOptions& f) { pages.push_back(f.txtHomepage.Text()); };
  main.mnuOptions.UserClick();
  main.mnuOptions.UserClick();
  EXPECT_EQ(pages, (std::vector<std::string>{"", "http://recorded.example/"}));
}

TEST_F(OptionsDialogTest, OpeningItAgainWhileItIsOpenLeavesTheOpenOne) {
  main.Load();
  onOptions = [&](FrmOptions& f) {
    main.mnuOptions.UserClick();  // reached through the tray menu
    EXPECT_EQ(main.Options().Current(), &f);
    f.chkSchedule.SetValue(1);
    f.cmdOK.UserClick();
  };
  main.Label8.UserClick();
  EXPECT_EQ(shown, (std::vector<std::string>{"FrmOptions"}));
  EXPECT_EQ(w.settings.ReadSetting(kSettings, "chkSchedule", ""), "1");
}

TEST_F(OptionsDialogTest, TheTimersAreWiredToTheirServices) {
  w.settings.WriteSetting(kSettings, "chkSchedule", "1");
  main.Load();
  EXPECT_EQ(main.tmrCheckSettings.Interval(), 30000);
  w.registry.PutString(RegRoot::CurrentUser, "Software\\Microsoft\\Internet Explorer\\Main",
                       "Start Page", "http://start.example/");
  main.tmrCheckSettings.Fire();
  EXPECT_EQ(w.Option("txtHomepage"), "http://start.example/");
  w.settings.WriteSetting(kSettings, "Time", FormatHms(w.system.now));
  main.TmrScheduler.Fire();
  EXPECT_EQ(shown, (std::vector<std::string>{"FrmMessage"}));
}

}  // namespace
}  // namespace nimbrel
