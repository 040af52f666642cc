#include "app/HotKeys.h"

#include <gtest/gtest.h>

#include <set>

#include "app/FrmMain.h"
#include "cleaning/ApplicationCatalogue.h"
#include "cleaning/TrackCategories.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

class HotKeysTest : public ::testing::Test {
 protected:
  HotKeysTest() {
    for (const TrackCategory& c : kTrackCategories) w.SetOption(c.key, "0");
    for (const Application& app : kApplications) w.SetOption(app.label, "False");
    w.desktop.windows = {{1, "IEFrame"}, {2, "Notepad"}, {3, "IEFrame"}};
    w.loop.onModal = [this](Form& f) {
      ++runs;
      hotKeysDuringRun = main.tmrHotKeys.Enabled();
      f.Close();
    };
    main.Load();
  }

  // The keys held down, then one tick of the hot-key timer.
  void Tick(std::set<int> keys) {
    w.desktop.keysDown = std::move(keys);
    main.tmrHotKeys.Fire();
  }

  TestWorld w;
  FrmMain main{w.ctx};
  int runs = 0;
  bool hotKeysDuringRun = true;
  const std::set<int> bossA{kVkControl, kVkShift, 'A'};
  const std::set<int> stealthA{kVkShift, 'A'};
};

TEST_F(HotKeysTest, BossKeyClosesEveryBrowserOncePerPress) {
  w.SetOption("optCloseAllIE", "True");
  for (int i = 0; i < 10; ++i) Tick(bossA);  // held for a second
  EXPECT_EQ(w.desktop.closed, (std::vector<WindowHandle>{1, 3}));
  Tick({kVkControl, kVkShift});  // the letter let go
  Tick(bossA);                   // and pressed again
  EXPECT_EQ(w.desktop.closed, (std::vector<WindowHandle>{1, 3, 1, 3}));
  EXPECT_EQ(runs, 0);
  EXPECT_TRUE(main.tmrHotKeys.Enabled());
}

TEST_F(HotKeysTest, BossKeyWantsAllThreeKeysAndAChosenAction) {
  w.SetOption("optCloseAllIE", "True");
  Tick({kVkShift, 'A'});
  Tick({kVkControl, 'A'});
  Tick({kVkControl, kVkShift, 'B'});
  EXPECT_TRUE(w.desktop.closed.empty());

  w.SetOption("optCloseAllIE", "False");
  w.SetOption("optCloseAllIEAndStartErasing", "no");  // not a Boolean: not chosen
  Tick({});
  Tick(bossA);
  EXPECT_TRUE(w.desktop.closed.empty());
  EXPECT_EQ(runs, 0);

  // Both chosen: closing alone wins.
  w.SetOption("optCloseAllIE", "True");
  w.SetOption("optCloseAllIEAndStartErasing", "True");
  Tick({});
  Tick(bossA);
  EXPECT_EQ(w.desktop.closed.size(), 2u);
  EXPECT_EQ(runs, 0);
}

TEST_F(HotKeysTest, CloseAndEraseRunsWithTheHotKeysStoppedEvenWithNoBrowserOpen) {
  w.SetOption("optCloseAllIEAndStartErasing", "true");
  w.SetOption("cmbbosskey", "Q");
  w.desktop.windows.clear();
  Tick({kVkControl, kVkShift, 'Q'});
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(hotKeysDuringRun);
  EXPECT_TRUE(main.tmrHotKeys.Enabled());
  Tick({kVkControl, kVkShift, 'Q'});  // still held after the run
  EXPECT_EQ(runs, 1);
}

TEST_F(HotKeysTest, StealthKeyHidesAndShowsTheWindowWithoutAnIconOncePerPress) {
  Tick(stealthA);  // stealth mode never stored: off
  w.SetOption("ChkRunInSteathmode", "0");
  Tick({});
  Tick(stealthA);
  EXPECT_TRUE(main.Visible());

  w.SetOption("ChkRunInSteathmode", "1");
  w.SetOption("cmbinvisiblemmode", "H");
  for (int i = 0; i < 10; ++i) Tick({kVkShift, 'H'});
  EXPECT_FALSE(main.Visible());
  EXPECT_EQ(main.State(), WindowState::Minimized);
  EXPECT_EQ(main.Caption(), "Nimbrel");
  EXPECT_TRUE(w.shell.icons.empty());

  Tick({});
  for (int i = 0; i < 10; ++i) Tick({kVkShift, 'H'});
  EXPECT_TRUE(main.Visible());
  EXPECT_EQ(main.State(), WindowState::Normal);
  EXPECT_EQ(main.Caption(), "");
  EXPECT_TRUE(w.shell.icons.empty());
}

TEST_F(HotKeysTest, WithOneLetterForBothCtrlDecidesWhichKeyActs) {
  w.SetOption("optCloseAllIE", "True");
  w.SetOption("ChkRunInSteathmode", "1");
  w.SetOption("cmbbosskey", "K");
  w.SetOption("cmbinvisiblemmode", "K");
  Tick({kVkControl, kVkShift, 'K'});
  EXPECT_EQ(w.desktop.closed.size(), 2u);
  EXPECT_TRUE(main.Visible());
  Tick({});
  Tick({kVkShift, 'K'});
  EXPECT_EQ(w.desktop.closed.size(), 2u);
  EXPECT_FALSE(main.Visible());
}

TEST_F(HotKeysTest, AnEmptyLetterIsNeverPressed) {
  w.SetOption("optCloseAllIE", "True");
  w.SetOption("ChkRunInSteathmode", "1");
  w.SetOption("cmbbosskey", "");
  w.SetOption("cmbinvisiblemmode", "");
  Tick({kVkControl, kVkShift, 0, 'A'});
  Tick({});
  Tick({kVkShift, 0, 'A'});
  EXPECT_TRUE(w.desktop.closed.empty());
  EXPECT_TRUE(main.Visible());
}

TEST_F(HotKeysTest, AnIdleTickReadsNothingYetALetterChangedByAnyProgramCountsAtTheNextTick) {
  w.SetOption("optCloseAllIE", "True");
  Tick({});
  const int queries = w.registry.queries, lookups = w.registry.lookups;
  for (int i = 0; i < 50; ++i) Tick({});
  EXPECT_EQ(w.registry.queries, queries);
  EXPECT_EQ(w.registry.lookups, lookups);
  w.registry.PutString(RegRoot::CurrentUser, std::string(kSettingsRoot) + "\\Options",
                       "cmbbosskey", "Q");
  Tick({kVkControl, kVkShift, 'Q'});
  EXPECT_EQ(w.desktop.closed.size(), 2u);
}

}  // namespace
}  // namespace nimbrel
