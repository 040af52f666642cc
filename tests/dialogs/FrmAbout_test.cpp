#include "dialogs/FrmAbout.h"

#include <gtest/gtest.h>

#include "dialogs/WebPages.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

TEST(FrmAboutTest, ShowsNameVersionAndSiteAndClosesByEitherButton) {
  TestWorld w;
  FrmAbout about(w.ctx);
  EXPECT_EQ(about.Label1.Caption(), "Nimbrel");
  EXPECT_EQ(about.Label2.Caption(), "Nimbrel");
  EXPECT_EQ(about.Label5.Caption(), "3.0.0");
  EXPECT_EQ(about.strip.title.Caption(), "About ...");
  EXPECT_EQ(about.Label6.Caption(), kHomePage);
  w.shell.associatedProgram = "C:\\browser.exe";
  about.Label6.UserClick();
  ASSERT_EQ(w.shell.executions.size(), 1u);
  EXPECT_EQ(w.shell.executions[0].parameters, std::string("\"") + kHomePage + "\"");
  Control* closers[] = {&about.Command6, &*about.strip.close};
  for (Control* closer : closers) {
    about.Show();
    closer->UserClick();
    EXPECT_FALSE(about.Visible()) << closer->Name();
  }
}

}  // namespace
}  // namespace nimbrel
