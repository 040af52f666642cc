#include "dialogs/WindowChrome.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

TEST(WindowChromeTest, DraggingKeepsTheGrabbedPointUnderThePointer) {
  TestWorld w;
  Form window(w.loop, "window", 5700, 3000);
  Label title(window, "title", "Title", 0, 0, 5700, 400);
  Image strip(window, "strip", Picture::TitleBar, false, 0, 0, 5700, 400);
  AttachDragHandles(w.ctx, window, {&title, &strip});
  window.MoveTo(3000, 1500);
  title.UserMouseMove({1, 0, 500, 100});  // not dragging: nothing moves
  EXPECT_EQ(window.Left(), 3000);
  title.UserMouseDown({1, 0, 600, 120});
  title.UserMouseMove({1, 0, 750, 90});
  EXPECT_EQ(window.Left(), 3150);
  EXPECT_EQ(window.Top(), 1470);
  // Released, another handle moves nothing either.
  title.UserMouseUp({1, 0, 750, 90});
  strip.UserMouseMove({1, 0, 900, 900});
  EXPECT_EQ(window.Left(), 3150);
  EXPECT_EQ(window.Width(), 5700);  // size unchanged
}

}  // namespace
}  // namespace nimbrel
