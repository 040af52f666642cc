#include "dialogs/WindowChrome.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(WindowChromeTest, TitleStripLeadsTheWindowsControlsByName) {
  struct Case {
    TitleStrip::Layout layout;
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {{.caption = "About ...", .closeName = "Image6"},
       {"ImgFormMove", "Image7", "Label4", "Image8", "Image6", "after"}},
      {{.titleName = "Label18", .caption = "Options", .helpLeft = 88},
       {"ImgFormMove", "Image7", "Label18", "Image8", "after"}},
  };
  for (const Case& c : cases) {
    TestWorld w;
    Form window(w.loop, "window", Px(400), Px(200));
    TitleStrip strip(w.ctx, window, c.layout);
    Label after(window, "after", "", 0, Px(40), Px(10), Px(10));
    std::vector<std::string> names;
    for (const Control* control : window.Controls()) names.push_back(control->Name());
    EXPECT_EQ(names, c.names);
    EXPECT_EQ(strip.ImgFormMove.Width(), Px(400));
    EXPECT_EQ(strip.Image8.Left(), Px(400 - c.layout.helpLeft));
    EXPECT_EQ(strip.title.Caption(), c.layout.caption);
    EXPECT_EQ(strip.title.Style(), TextStyle::Title);
    if (strip.close) {
      EXPECT_EQ(strip.close->Left(), Px(400 - 32));
    }
  }
}

}  // namespace
}  // namespace nimbrel
