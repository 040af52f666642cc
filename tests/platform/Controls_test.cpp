#include "platform/Controls.h"

#include <gtest/gtest.h>

#include "fakes/FakeEventLoop.h"

namespace nimbrel {
namespace {

struct TestForm : Form {
  explicit TestForm(EventLoop& loop)
      : Form(loop, "TestForm", 3000, 3000),
        panel(*this, "panel", 0, 0, 3000, 3000),
        check(*this, "check", "Check", 0, 0, 100, 100, &panel),
        optA(*this, "optA", "A", 0, 0, 100, 100, &panel),
        optB(*this, "optB", "B", 0, 0, 100, 100, &panel),
        optC(*this, "optC", "C", 0, 0, 100, 100),
        list(*this, "list", 0, 0, 100, 100),
        lines(*this, "lines", 0, 0, 100, 100),
        text(*this, "text", 0, 0, 100, 100),
        bar(*this, "bar", 0, 0, 100, 100),
        button(*this, "button", "OK", 0, 0, 100, 100, &panel) {}
  PictureBox panel;
  CheckBox check;
  OptionButton optA, optB, optC;
  ListView list;
  ListBox lines;
  TextBox text;
  ProgressBar bar;
  PictureButton button;
};

class ControlsTest : public ::testing::Test {
 protected:
  FakeEventLoop loop;
  TestForm form{loop};
};

TEST_F(ControlsTest, CheckBoxRaisesChangeWhenCodeChangesItsValue) {
  int changes = 0;
  form.check.Change = [&] { ++changes; };
  form.check.SetValue(1);
  form.check.SetValue(1);  // no change, no event
  form.check.SetValue(0);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(form.check.Value(), 0);
}

TEST_F(ControlsTest, ListViewRaisesItemCheckOnlyForTheUser) {
  int checks = 0;
  form.list.ItemCheck = [&](int) { ++checks; };
  form.list.Add("a");
  form.list.Add("b");
  form.list.SetChecked(0, true);
  EXPECT_EQ(checks, 0);
  EXPECT_TRUE(form.list.Item(0).checked);
  form.list.UserCheck(1, true);
  EXPECT_EQ(checks, 1);
  EXPECT_TRUE(form.list.Item(1).checked);
}

TEST_F(ControlsTest, ListViewPrefixSearchIsCaseInsensitive) {
  form.list.Add("Cookies");
  form.list.Add("WinRar 3.x");
  EXPECT_EQ(form.list.FindItemPrefix("winrar"), 1);
  EXPECT_EQ(form.list.FindItemPrefix("COOK"), 0);
  EXPECT_EQ(form.list.FindItemPrefix("Opera"), -1);
  form.list.SetSubItem(1, 1, "Done");
  EXPECT_EQ(form.list.SubItem(1, 1), "Done");
  EXPECT_EQ(form.list.SubItem(0, 1), "");
}

// What a view was told, in order.
struct RecordingView : ControlView {
  void Update(Aspect aspect, int) override { aspects.push_back(aspect); }
  std::vector<Aspect> aspects;
};

TEST_F(ControlsTest, ListBoxRemovesItsSelectedLinesInOnePassKeepingTheListIndexsLine) {
  ListBox& lines = form.lines;
  for (const char* text : {"a", "b", "c", "d", "e"}) lines.AddItem(text);
  lines.SetListIndex(3);  // "d" alone
  lines.SetSelected(0, true);
  lines.SetSelected(2, true);
  lines.SetSelected(3, false);
  RecordingView view;
  lines.Attach(&view, 1);
  lines.RemoveSelected();
  EXPECT_EQ(lines.Lines(), (std::vector<std::string>{"b", "d", "e"}));
  EXPECT_EQ(lines.ListIndex(), 1);
  EXPECT_EQ(view.aspects, std::vector<Aspect>{Aspect::Items});

  lines.RemoveSelected();  // nothing selected: nothing to show
  EXPECT_EQ(view.aspects.size(), 1u);

  lines.SetSelected(1, true);  // the ListIndex's line itself
  lines.RemoveSelected();
  EXPECT_EQ(lines.Lines(), (std::vector<std::string>{"b", "e"}));
  EXPECT_EQ(lines.ListIndex(), -1);
  lines.Attach(nullptr, 0);
}

TEST_F(ControlsTest, OptionButtonsExcludeEachOtherWithinTheirContainer) {
  form.optA.SetValue(true);
  form.optC.SetValue(true);  // another container
  form.optB.SetValue(true);
  EXPECT_FALSE(form.optA.Value());
  EXPECT_TRUE(form.optB.Value());
  EXPECT_TRUE(form.optC.Value());
}

TEST_F(ControlsTest, DisabledContainerTakesNoUserInput) {
  int clicks = 0;
  form.button.Click = [&] { ++clicks; };
  form.panel.SetEnabled(false);
  form.button.UserClick();
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(form.button.Usable());
  form.panel.SetEnabled(true);
  form.button.UserClick();
  EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, HiddenContainerHidesWhatItHolds) {
  form.panel.SetVisible(false);
  EXPECT_TRUE(form.check.Visible());
  EXPECT_FALSE(form.check.Shown());
}

TEST_F(ControlsTest, TextBoxRaisesChangeAndProgressBarStaysInRange) {
  int changes = 0;
  form.text.Change = [&] { ++changes; };
  form.text.SetText("x");
  form.text.SetText("x");
  EXPECT_EQ(changes, 1);
  form.bar.SetMax(5);
  form.bar.SetValue(9);
  EXPECT_EQ(form.bar.Value(), 5);
  form.bar.SetMax(0);  // refused: Max must stay above Min
  EXPECT_EQ(form.bar.Max(), 5);
}

TEST_F(ControlsTest, FormFindsControlsByNameAndLoadsOnce) {
  EXPECT_EQ(form.Find("optB"), &form.optB);
  EXPECT_EQ(form.Find("nothing"), nullptr);
  form.Show();
  form.Show();
  EXPECT_TRUE(form.Loaded());
  EXPECT_EQ(loop.shown.size(), 2u);
}

}  // namespace
}  // namespace nimbrel
