#include "dialogs/FrmMessage.h"

#include <gtest/gtest.h>

#include "dialogs/FrmAbout.h"
#include "dialogs/WindowChrome.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

class MessageTest : public ::testing::Test {
 protected:
  TestWorld w;
};

TEST_F(MessageTest, OnlyYesAnswersTrue) {
  const auto answerWith = [this](const char* button) {
    w.loop.onModal = [button](Form& f) {
      static_cast<PictureButton*>(f.Find(button))->UserClick();
    };
    return AskQuestion(w.ctx, "Home Page Changed", "Keep?");
  };
  EXPECT_TRUE(answerWith("cmdYes"));
  EXPECT_FALSE(answerWith("cmdNo"));
  w.ctx.MessageAnswer = true;
  w.loop.onModal = [](Form& f) { static_cast<FrmMessage&>(f).cmdOK.UserClick(); };
  ShowInformation(w.ctx, "Information", "Done");
  EXPECT_FALSE(w.ctx.MessageAnswer);
}

TEST_F(MessageTest, InformationShowsOnlyOkAndTheCallersTexts) {
  bool checked = false;
  w.loop.onModal = [&](Form& f) {
    auto& m = static_cast<FrmMessage&>(f);
    EXPECT_TRUE(m.cmdOK.Visible());
    EXPECT_FALSE(m.cmdYes.Visible());
    EXPECT_FALSE(m.cmdNo.Visible());
    EXPECT_EQ(m.Label4.Caption(), "Information");
    EXPECT_EQ(m.lblMesage.Caption(), "line one\r\nline two");
    // Its help image opens the support page, as every window's does.
    m.Image8.UserClick();
    checked = true;
    m.cmdOK.UserClick();
  };
  w.shell.associatedProgram = "C:\\browser.exe";
  ShowInformation(w.ctx, "Information", "line one\r\nline two");
  EXPECT_TRUE(checked);
  ASSERT_EQ(w.shell.executions.size(), 1u);
  EXPECT_EQ(w.shell.executions[0].parameters,
            "\"http://www.nimbrel-eraser.example/support/index.html\"");
  EXPECT_EQ(w.loop.modalShown, (std::vector<std::string>{"FrmMessage"}));
}

TEST_F(MessageTest, DraggingKeepsTheGrabbedPointUnderThePointer) {
  FrmMessage m(w.ctx);
  m.MoveTo(3000, 1500);
  m.Label4.UserMouseMove({1, 0, 500, 100});  // not dragging: nothing moves
  EXPECT_EQ(m.Left(), 3000);
  m.Label4.UserMouseDown({1, 0, 600, 120});
  m.Label4.UserMouseMove({1, 0, 750, 90});
  EXPECT_EQ(m.Left(), 3150);
  EXPECT_EQ(m.Top(), 1470);
  m.Label4.UserMouseUp({1, 0, 750, 90});
  m.ImgFormMove.UserMouseMove({1, 0, 900, 900});
  EXPECT_EQ(m.Left(), 3150);
  EXPECT_EQ(m.Width(), 380 * 15);  // size unchanged
}

TEST_F(MessageTest, AboutBoxShowsVersionAndClosesByEitherButton) {
  FrmAbout about(w.ctx);
  EXPECT_EQ(about.Label1.Caption(), "Nimbrel");
  EXPECT_EQ(about.Label2.Caption(), "Nimbrel");
  EXPECT_EQ(about.Label5.Caption(), "3.0.0");
  EXPECT_EQ(about.Label4.Caption(), "About ...");
  about.Show();
  about.Command6.UserClick();
  EXPECT_FALSE(about.Visible());
  about.Show();
  about.Image6.UserClick();
  EXPECT_FALSE(about.Visible());
}

TEST_F(MessageTest, BrowserOpensTheProgramCutAfterItsExe) {
  w.shell.associatedProgram = "c:\\windows\\system32\\winebrowser.exe -nohome %1";
  OpenUrlInBrowser(w.ctx, 77, "  http://x.example/  ", "htm");
  ASSERT_EQ(w.shell.findExecutableCalls, (std::vector<std::string>{"C:\\Temp\\temphtm.htm"}));
  ASSERT_EQ(w.shell.executions.size(), 1u);
  const auto& e = w.shell.executions[0];
  EXPECT_EQ(e.owner, 77u);
  EXPECT_EQ(e.verb, "open");
  EXPECT_EQ(e.file, "C:\\WINDOWS\\SYSTEM32\\WINEBROWSER.EXE");
  EXPECT_EQ(e.parameters, "\"http://x.example/\"");
  EXPECT_EQ(e.show, kSwShowMaximized);
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\temphtm.htm"));
}

TEST_F(MessageTest, NoBrowserDoesNothingButStillRemovesTheProbe) {
  w.files.AddFolder("C:\\Temp");
  OpenUrlInBrowser(w.ctx, 0, "http://x.example/", "htm");
  EXPECT_TRUE(w.shell.executions.empty());
  EXPECT_EQ(w.shell.findExecutableCalls.size(), 1u);
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\temphtm.htm"));
  w.system.tempPath = "";
  OpenUrlInBrowser(w.ctx, 0, "http://x.example/", "htm");
  EXPECT_EQ(w.shell.findExecutableCalls.size(), 1u);
}

}  // namespace
}  // namespace nimbrel
