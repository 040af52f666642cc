#include "app/FrmMain.h"

#include <gtest/gtest.h>

#include "cleaning/TrackCategories.h"
#include "cleaning/ApplicationCatalogue.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

class FrmMainTest : public ::testing::Test {
 protected:
  FrmMainTest() {
    for (const TrackCategory& c : kTrackCategories) w.SetOption(c.key, "0");
    for (const Application& app : kApplications) w.SetOption(app.label, "False");
    w.loop.onModal = [this](Form& f) {
      modal.push_back(f.Name());
      f.Close();
    };
  }
  TestWorld w;
  FrmMain main{w.ctx};
  std::vector<std::string> modal;
};

TEST_F(FrmMainTest, HasTheFixedSizeAndTitle) {
  EXPECT_EQ(main.Width(), 11775);
  EXPECT_EQ(main.Height(), 7695);
  EXPECT_EQ(main.Label4.Caption(), "Nimbrel v3.0");
  std::vector<std::string> entries;
  for (const MenuItem* m : main.mnuMain.Children()) entries.push_back(m->Caption());
  EXPECT_EQ(entries, (std::vector<std::string>{"Visit Nimbrel WebSite", "Help", "-", "Restore",
                                               "Start Erasing", "-", "Options", "Erase Settings",
                                               "-", "Exit"}));
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
  EXPECT_EQ(modal, (std::vector<std::string>{"FrmMessage", "FrmMessage"}));
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
  ASSERT_EQ(w.desktop.sent.size(), 2u);
  EXPECT_EQ(w.desktop.sent[0].message, 8193u);
  EXPECT_EQ(w.desktop.sent[1].message, 1033u);
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
  EXPECT_EQ(modal, (std::vector<std::string>{"FrmAbout"}));
  w.shell.associatedProgram = "C:\\browser.exe";
  main.Image8.UserClick();
  ASSERT_EQ(w.shell.executions.size(), 1u);
  EXPECT_EQ(w.shell.executions[0].parameters,
            "\"http://www.nimbrel-eraser.example/support/index.html\"");
}

}  // namespace
}  // namespace nimbrel
