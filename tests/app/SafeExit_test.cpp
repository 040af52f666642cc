// Leaving the program while erased files are still being flushed and closed in
// the background: every way out of the main window reaches the loop's Quit
// with each of those files closed and deleted, none cut off by the process end.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/FrmMain.h"
#include "erasers/modFiles.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

TEST(SafeExitTest, EveryWayOutFinishesTheErasedFilesFirst) {
  TestWorld w;
  w.files.deferCloses = true;
  w.loop.files = &w.files;  // as the program's loop is given its files
  FrmMain main(w.ctx);
  const std::pair<const char*, std::function<void()>> exits[] = {
      {"the Exit command", [&] { main.Label10.UserClick(); }},
      {"the close glyph", [&] { main.Image1.UserClick(); }},
      {"the tray menu's Exit", [&] { main.mnuExit.UserClick(); }},
      {"closing from outside", [&] { main.UserClose(); }},
  };
  for (const auto& [way, leave] : exits) {
    SCOPED_TRACE(way);
    w.files.AddFile("C:\\Temp\\secret.txt", "secret");
    SecureEraseFile(w.ctx, "C:\\Temp\\secret.txt");
    ASSERT_EQ(w.files.QueuedCloses(), 1u);  // still with the closing workers
    bool reached = false;
    w.loop.onQuit = [&] {
      reached = true;
      EXPECT_EQ(w.files.QueuedCloses(), 0u);
      EXPECT_FALSE(w.files.Exists("C:\\Temp\\secret.txt"));
      const std::vector<std::string> last(w.files.journal.end() - 3, w.files.journal.end());
      EXPECT_EQ(last, (std::vector<std::string>{"flush C:\\Temp\\secret.txt",
                                                "close C:\\Temp\\secret.txt",
                                                "delete C:\\Temp\\secret.txt"}));
    };
    leave();
    EXPECT_TRUE(reached);
  }
}

}  // namespace
}  // namespace nimbrel
