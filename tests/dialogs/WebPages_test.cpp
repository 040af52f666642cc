#include "dialogs/WebPages.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

TEST(WebPagesTest, TheAssociatedProgramCutAfterItsExeOpensTheTrimmedAddress) {
  const struct {
    const char* association;  // "" for none
    const char* program;      // what is started, "" for nothing
  } table[] = {
      {"c:\\windows\\system32\\winebrowser.exe -nohome %1",
       "C:\\WINDOWS\\SYSTEM32\\WINEBROWSER.EXE"},
      {" C:\\Browser\\browse.EXE", "C:\\BROWSER\\BROWSE.EXE"},
      {"", ""},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.association);
    TestWorld w;
    w.files.AddFolder("C:\\Temp");
    w.shell.associatedProgram = row.association;
    OpenUrlInBrowser(w.ctx, 77, "  http://x.example/  ", "htm");
    // Asked through a throwaway file of the type, which never stays.
    EXPECT_EQ(w.shell.findExecutableCalls, (std::vector<std::string>{"C:\\Temp\\temphtm.htm"}));
    EXPECT_FALSE(w.files.Exists("C:\\Temp\\temphtm.htm"));
    if (!*row.program) {
      EXPECT_TRUE(w.shell.executions.empty());
      continue;
    }
    ASSERT_EQ(w.shell.executions.size(), 1u);
    const auto& e = w.shell.executions[0];
    EXPECT_EQ(e.owner, 77u);
    EXPECT_EQ(e.verb, "open");
    EXPECT_EQ(e.file, row.program);
    EXPECT_EQ(e.parameters, "\"http://x.example/\"");
    EXPECT_EQ(e.show, kSwShowMaximized);
  }
}

TEST(WebPagesTest, WithoutATemporaryFolderNothingIsAsked) {
  TestWorld w;
  w.shell.associatedProgram = "C:\\browser.exe";
  w.system.tempPath = "";
  OpenUrlInBrowser(w.ctx, 0, "http://x.example/", "htm");
  EXPECT_TRUE(w.shell.findExecutableCalls.empty());
  EXPECT_TRUE(w.shell.executions.empty());
}

}  // namespace
}  // namespace nimbrel
