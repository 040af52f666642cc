#include "dialogs/FrmMessage.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(m.strip.title.Caption(), "Information");
    EXPECT_EQ(m.lblMesage.Caption(), "line one\r\nline two");
    // Its help image opens the support page, as every window's does.
    m.strip.Image8.UserClick();
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

}  // namespace
}  // namespace nimbrel
