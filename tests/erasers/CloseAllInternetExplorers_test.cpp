#include "erasers/CloseAllInternetExplorers.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

TEST(CloseAllInternetExplorersTest, ClosesEveryBrowserFrameWhateverItsCaseOrBlanks) {
  TestWorld w;
  w.desktop.windows = {{1, "IEFrame"},  {2, "ieframe"},      {3, " IEFRAME "}, {4, "IEFrame2"},
                       {5, "Notepad"},  {6, "CabinetWClass"}, {7, ""}};
  CloseAllInternetExplorers(w.ctx);
  EXPECT_EQ(w.desktop.closed, (std::vector<WindowHandle>{1, 2, 3}));
}

TEST(CloseAllInternetExplorersTest, NoBrowserOpenTouchesNothing) {
  TestWorld w;
  w.desktop.windows = {{5, "Notepad"}};
  CloseAllInternetExplorers(w.ctx);
  EXPECT_TRUE(w.desktop.closed.empty());
}

}  // namespace
}  // namespace nimbrel
