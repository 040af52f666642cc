#include "app/FrmMain.h"

#include <gtest/gtest.h>

#include "app/MainWindowTest.h"
#include "dialogs/FrmMessage.h"

namespace nimbrel {
namespace {

class FrmMainTest : public MainWindowTest {
 protected:
  using Texts = std::vector<std::string>;
};

TEST_F(FrmMainTest, HasTheFixedSizeAndTitle) {
  EXPECT_EQ(main.Width(), 11775);
  EXPECT_EQ(main.Height(), 7695);
  EXPECT_EQ(main.strip.title.Caption(), "Nimbrel v3.0");
  std::vector<std::string> entries;
  for (const MenuItem* m : main.mnuMain.Children()) entries.push_back(m->Caption());
  EXPECT_EQ(entries, (std::vector<std::string>{"Visit Nimbrel WebSite", "Help", "-", "Restore",
                                               "Start Erasing", "-", "Options", "Erase Settings",
                                               "Wipe Free Space", "-", "Exit"}));
}

TEST_F(FrmMainTest, HoverSwapsAButtonsImagesAndTheBackgroundResetsThem) {
  main.Load();
  EXPECT_TRUE(main.ImgStartErasingNormal.Visible());
  EXPECT_FALSE(main.ImgStartErasingMouseMove.Visible());
  main.ImgStartErasingNormal.UserMouseMove({});
  EXPECT_FALSE(main.ImgStartErasingNormal.Visible());
  EXPECT_TRUE(main.ImgStartErasingMouseMove.Visible());
  main.Label10.UserMouseMove({});
  EXPECT_TRUE(main.ImgExitMouseMove.Visible());
  main.Picture1.UserMouseMove({});
  EXPECT_TRUE(main.ImgStartErasingNormal.Visible());
  EXPECT_FALSE(main.ImgStartErasingMouseMove.Visible());
  EXPECT_FALSE(main.ImgExitMouseMove.Visible());
}

TEST_F(FrmMainTest, StartErasingFromImageOrLabelRunsAndResetsTheLook) {
  main.ImgStartErasingNormal.UserMouseMove({});
  main.ImgStartErasingMouseMove.UserClick();
  EXPECT_TRUE(main.ImgStartErasingNormal.Visible());
  main.Label2.UserClick();
  EXPECT_EQ(shown, (std::vector<std::string>{"FrmMessage", "FrmMessage"}));
}

TEST_F(FrmMainTest, ExitPathsEndTheProcess) {
  main.Label10.UserClick();
  EXPECT_TRUE(w.loop.quit);
  w.loop.quit = false;
  main.Image1.UserClick();
  EXPECT_TRUE(w.loop.quit);
  w.loop.quit = false;
  w.loop.doEvents = 0;
  main.mnuExit.UserClick();
  EXPECT_TRUE(w.loop.quit);
  EXPECT_EQ(w.loop.doEvents, 999);
  w.loop.quit = false;
  main.UserClose();  // Alt+F4 must not leave a process without a window
  EXPECT_TRUE(w.loop.quit);
}

TEST_F(FrmMainTest, LoadBuildsTheListShowsTheWindowAndColoursTheBar) {
  w.SetOption("chkCookies", "1");
  main.Load();
  EXPECT_EQ(main.lvwToBeErased.Count(), 1);
  EXPECT_TRUE(main.Visible());
  EXPECT_TRUE(main.tmrHotKeys.Enabled());
  EXPECT_TRUE(main.PgbTemp.BarColours());
}

TEST_F(FrmMainTest, PreviewSitsRightBelowStartErasingInTheSameStyle) {
  EXPECT_EQ(main.lblPreview.Caption(), "Preview");
  EXPECT_EQ(main.ImgPreviewNormal.Left(), main.ImgStartErasingNormal.Left());
  EXPECT_GT(main.ImgPreviewNormal.Top(), main.ImgStartErasingNormal.Top());
  EXPECT_LT(main.ImgPreviewNormal.Top(), main.ImgEraseSettingNormal.Top());
  EXPECT_EQ(main.ImgPreviewMouseMove.Top(), main.ImgPreviewNormal.Top());
  EXPECT_EQ(main.lblPreview.Style(), main.Label2.Style());
  // The column still ends above the status strip.
  EXPECT_LE(main.ImgExitnormal.Top() + main.ImgExitnormal.Height(), main.lblstatus.Top());
  main.Load();
  main.lblPreview.UserMouseMove({});
  EXPECT_FALSE(main.ImgPreviewNormal.Visible());
  EXPECT_TRUE(main.ImgPreviewMouseMove.Visible());
  main.Picture1.UserMouseMove({});
  EXPECT_TRUE(main.ImgPreviewNormal.Visible());
  EXPECT_FALSE(main.ImgPreviewMouseMove.Visible());
}

TEST_F(FrmMainTest, AnotherStartOfTheProgramBringsTheWindowForward) {
  main.Load();
  main.Image2.UserClick();
  EXPECT_EQ(main.State(), WindowState::Minimized);
  main.UserComeForward();
  EXPECT_EQ(main.State(), WindowState::Normal);
  EXPECT_TRUE(main.Visible());
}

TEST_F(FrmMainTest, AboutOpensModallyAndHelpOpensTheSupportPage) {
  main.Label9.UserClick();
  EXPECT_EQ(shown, (std::vector<std::string>{"FrmAbout"}));
  w.shell.associatedProgram = "C:\\browser.exe";
  main.strip.Image8.UserClick();
  ASSERT_EQ(w.shell.executions.size(), 1u);
  EXPECT_EQ(w.shell.executions[0].parameters,
            "\"http://www.nimbrel-eraser.example/support/index.html\"");
}

TEST_F(FrmMainTest, HelpAndVisitOpenTheirPagesAndNeverLeaveTheProbeFile) {
  const std::string probe = "C:\\Temp\\temphtm.htm";
  main.mnuHelp.UserClick();  // no browser associated
  EXPECT_TRUE(w.shell.executions.empty());
  EXPECT_EQ(w.shell.findExecutableCalls, (Texts{probe}));
  EXPECT_FALSE(w.files.Exists(probe));

  w.shell.associatedProgram = "c:\\browser\\browse.exe -nohome";
  main.mnuVisit.UserClick();
  ASSERT_EQ(w.shell.executions.size(), 1u);
  EXPECT_EQ(w.shell.executions[0].file, "C:\\BROWSER\\BROWSE.EXE");
  EXPECT_EQ(w.shell.executions[0].parameters, "\"http://www.nimbrel-eraser.example/\"");
  EXPECT_EQ(w.shell.executions[0].show, kSwShowMaximized);
  EXPECT_FALSE(w.files.Exists(probe));
}

// ---- Minimising to the tray and coming back ----

TEST_F(FrmMainTest, MinimisingHidesTheWindowBehindOneTrayIconTitledAfterTheProgram) {
  main.Load();
  main.Image2.UserClick();
  EXPECT_EQ(main.State(), WindowState::Minimized);
  EXPECT_FALSE(main.Visible());
  EXPECT_EQ(main.Caption(), "Nimbrel");
  EXPECT_EQ(w.shell.icons, (std::map<std::uintptr_t, std::string>{{main.Handle(), "Nimbrel"}}));
  // The shell tells of the minimised window once more: still one icon, the
  // old one removed before the new one is added.
  main.SetStateFromWindow(WindowState::Minimized);
  EXPECT_EQ(w.shell.icons.size(), 1u);
  EXPECT_EQ(w.shell.iconRequests, (Texts{"delete", "add Nimbrel", "delete", "add Nimbrel"}));
}

TEST_F(FrmMainTest, RestoredTheWindowIsShownAtItsSizeWithoutTheIcon) {
  main.Load();
  main.Image2.UserClick();
  main.Resize(Px(100), Px(100));
  main.mnuRestore.UserClick();
  EXPECT_EQ(main.State(), WindowState::Normal);
  EXPECT_TRUE(main.Visible());
  EXPECT_EQ(main.Caption(), "");
  EXPECT_EQ(main.Width(), 11775);
  EXPECT_EQ(main.Height(), 7695);
  EXPECT_TRUE(w.shell.icons.empty());
  // Minimised again: again exactly one icon; restored by the system this time.
  main.Image2.UserClick();
  EXPECT_EQ(w.shell.icons.size(), 1u);
  main.Resize(Px(100), Px(100));
  main.SetStateFromWindow(WindowState::Normal);
  EXPECT_EQ(main.Caption(), "");
  EXPECT_EQ(main.Width(), 11775);
  EXPECT_TRUE(w.shell.icons.empty());
}

TEST_F(FrmMainTest, StealthModeHidesTheMinimisedWindowWithoutAnIcon) {
  w.SetOption("ChkRunInSteathmode", "1");
  main.Load();
  main.Image2.UserClick();
  EXPECT_FALSE(main.Visible());
  EXPECT_EQ(main.Caption(), "Nimbrel");
  EXPECT_TRUE(w.shell.icons.empty());
  EXPECT_TRUE(w.shell.iconRequests.empty());
}

TEST_F(FrmMainTest, OnlyAButtonReleasedOverTheIconOpensTheTrayMenu) {
  main.Load();
  main.Image2.UserClick();
  // Mouse messages of the icon, as x = message * 15: move, left down, left
  // double click, right down, right double click, middle up.
  for (int x : {7680, 7695, 7725, 7740, 7770, 7785, 0}) {
    MouseEvent e;
    e.x = x;
    main.UserMouseMove(e);
  }
  EXPECT_TRUE(w.loop.popups.empty());
  for (int x : {7755, 7710}) {
    MouseEvent e;
    e.x = x;
    main.UserMouseMove(e);
  }
  EXPECT_EQ(w.loop.popups, (Texts{"mnuMain", "mnuMain"}));
}

TEST_F(FrmMainTest, ARestartedTaskbarGetsTheIconBackOnlyWhileInTheTray) {
  main.Load();
  main.TaskbarCreated();
  EXPECT_TRUE(w.shell.icons.empty());  // shown: no icon to bring back

  main.Image2.UserClick();
  w.shell.icons.clear();  // the shell restarted and lost it
  main.TaskbarCreated();
  EXPECT_EQ(w.shell.icons, (std::map<std::uintptr_t, std::string>{{main.Handle(), "Nimbrel"}}));

  main.mnuRestore.UserClick();
  main.TaskbarCreated();
  EXPECT_TRUE(w.shell.icons.empty());
}

TEST_F(FrmMainTest, StartErasingFromTheTrayLeavesTheWindowHidden) {
  main.Load();
  main.Image2.UserClick();
  main.mnuStartErasing.UserClick();
  EXPECT_EQ(shown, (Texts{"FrmMessage"}));
  EXPECT_FALSE(main.Visible());
  EXPECT_EQ(w.shell.icons.size(), 1u);
}

TEST_F(FrmMainTest, ExitFromTheTrayRemovesTheIconBeforeLettingMessagesThrough) {
  main.Load();
  main.Image2.UserClick();
  bool goneBeforeFirstYield = false;
  w.loop.doEvents = 0;
  w.loop.onDoEvents = [&](int n) {
    if (n == 1) goneBeforeFirstYield = w.shell.icons.empty();
  };
  w.loop.onQuit = [&] { EXPECT_TRUE(w.shell.icons.empty()); };
  main.mnuExit.UserClick();
  EXPECT_TRUE(goneBeforeFirstYield);
  EXPECT_EQ(w.loop.doEvents, 999);
  EXPECT_TRUE(w.loop.quit);
}

}  // namespace
}  // namespace nimbrel
