#include "app/clsMakeTrayIcon.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

TEST(TrayIconTest, TheTipIsTheCaptionCutToFitTheShellsRecord) {
  TestWorld w;
  Form window(w.loop, "window", 0, 0);
  window.SetCaption(std::string(63, 'a') + "bcd");
  clsMakeTrayIcon tray(w.shell);
  tray.ShowIcon(window);
  EXPECT_TRUE(tray.bRunningInTray);
  EXPECT_EQ(w.shell.iconRequests, (std::vector<std::string>{"add " + std::string(63, 'a')}));
  tray.RemoveIcon(window);
  tray.RemoveIcon(window);  // none left: nothing happens
  EXPECT_FALSE(tray.bRunningInTray);
  EXPECT_TRUE(w.shell.icons.empty());
}

}  // namespace
}  // namespace nimbrel
