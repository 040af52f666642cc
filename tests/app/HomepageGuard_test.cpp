#include "app/HomepageGuard.h"

#include <gtest/gtest.h>

#include "dialogs/FrmMessage.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;
const std::string kIeMain = "Software\\Microsoft\\Internet Explorer\\Main";

class HomepageGuardTest : public ::testing::Test {
 protected:
  HomepageGuardTest() {
    w.loop.onModal = [this](Form& f) {
      auto& m = static_cast<FrmMessage&>(f);
      titles.push_back(m.strip.title.Caption());
      texts.push_back(m.lblMesage.Caption());
      EXPECT_TRUE(m.cmdYes.Visible());
      EXPECT_TRUE(m.cmdNo.Visible());
      EXPECT_FALSE(m.cmdOK.Visible());
      EXPECT_FALSE(timer.Enabled());  // no second question meanwhile
      if (answer == "cmdYes") m.cmdYes.UserClick();
      if (answer == "cmdNo") m.cmdNo.UserClick();
      // Anything else: the dialog is closed without an answer.
    };
  }
  void LivePage(const std::string& page) { w.registry.PutString(HKCU, kIeMain, "Start Page", page); }
  std::string StoredLivePage() {
    const auto* v = w.registry.Get(HKCU, kIeMain, "Start Page");
    return v ? v->data : "<absent>";
  }
  void Tick() {
    guard.Tick();
    EXPECT_TRUE(timer.Enabled());
  }

  TestWorld w;
  Form host{w.loop, "FrmMain", 0, 0};
  Timer timer{host, "tmrCheckSettings", 30000};
  HomepageGuard guard{w.ctx, HomepageGuardControls{timer}};
  std::string answer = "cmdNo";
  std::vector<std::string> titles, texts;
};

TEST_F(HomepageGuardTest, AnEmptyStoreRemembersTheLivePageSilently) {
  LivePage("http://start.example/");
  Tick();
  EXPECT_EQ(w.Option("txtHomepage"), "http://start.example/");
  EXPECT_TRUE(titles.empty());
  // From then on an unchanged page asks nothing.
  Tick();
  EXPECT_TRUE(titles.empty());
}

TEST_F(HomepageGuardTest, NilInAnyCaseIsReplacedSilently) {
  LivePage("http://start.example/");
  w.SetOption("txtHomepage", "  nil ");
  Tick();
  EXPECT_EQ(w.Option("txtHomepage"), "http://start.example/");
  EXPECT_TRUE(titles.empty());
}

TEST_F(HomepageGuardTest, ADifferenceOnlyInCaseAndBlanksAsksNothing) {
  LivePage("  HTTP://Start.Example/\t");
  w.SetOption("txtHomepage", "http://start.example/ ");
  Tick();
  EXPECT_TRUE(titles.empty());
  EXPECT_EQ(StoredLivePage(), std::string("  HTTP://Start.Example/\t") + '\0');
}

TEST_F(HomepageGuardTest, YesKeepsTheNewPage) {
  LivePage(" http://new.example/");
  w.SetOption("txtHomepage", "http://old.example/ ");
  answer = "cmdYes";
  Tick();
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(titles[0], "Home Page Changed");
  // The pages as read, blanks and all.
  EXPECT_EQ(texts[0],
            " Internet Explorer homepage has been changed. The Old Url was http://old.example/ "
            ". It has been changed to  http://new.example/\r\n\r\n.Click on YES to keep new URL.");
  EXPECT_EQ(w.Option("txtHomepage"), " http://new.example/");
  EXPECT_EQ(StoredLivePage(), std::string(" http://new.example/") + '\0');
  Tick();
  EXPECT_EQ(titles.size(), 1u);
}

TEST_F(HomepageGuardTest, NoOrAnyOtherCloseRestoresTheStoredTextExactly) {
  for (const char* way : {"cmdNo", "closed"}) {
    answer = way;
    LivePage("http://hijack.example/");
    w.SetOption("txtHomepage", "  http://Mine.example/  ");
    Tick();
    const auto* v = w.registry.Get(HKCU, kIeMain, "Start Page");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->type, kRegSz) << way;
    EXPECT_EQ(v->data, std::string("  http://Mine.example/  ") + '\0') << way;
    EXPECT_EQ(w.Option("txtHomepage"), "  http://Mine.example/  ") << way;
  }
  EXPECT_EQ(titles.size(), 2u);
  // A remembered page that looks like a number is still written as text.
  w.SetOption("txtHomepage", "12345");
  Tick();
  EXPECT_EQ(w.registry.Get(HKCU, kIeMain, "Start Page")->type, kRegSz);
}

TEST_F(HomepageGuardTest, OnlyASwitchOfOneTurnsItOff) {
  LivePage("http://hijack.example/");
  w.SetOption("txtHomepage", "http://mine.example/");
  w.SetOption("chkPreverntHomepage", "0");
  Tick();
  EXPECT_TRUE(titles.empty());
  EXPECT_EQ(StoredLivePage(), std::string("http://hijack.example/") + '\0');
  w.SetOption("chkPreverntHomepage", "1");
  Tick();
  EXPECT_EQ(titles.size(), 1u);
}

TEST_F(HomepageGuardTest, NoStartPageKeyIsNeverCreated) {
  w.SetOption("txtHomepage", "http://mine.example/");
  Tick();  // the live page reads as "" and differs
  EXPECT_EQ(titles.size(), 1u);
  EXPECT_FALSE(w.registry.HasKey(HKCU, kIeMain));
}

}  // namespace
}  // namespace nimbrel
