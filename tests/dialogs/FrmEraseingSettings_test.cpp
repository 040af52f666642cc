#include "dialogs/FrmEraseingSettings.h"

#include <gtest/gtest.h>

#include "cleaning/ApplicationCatalogue.h"
#include "dialogs/FrmKeepList.h"
#include "dialogs/FrmMessage.h"
#include "erasers/modOperaCache.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

class EraseSettingsTest : public ::testing::Test {
 protected:
  std::string App(int i) { return w.Option(kApplications[static_cast<std::size_t>(i)].label); }
  int AppKeysWritten() {
    int n = 0;
    for (const Application& app : kApplications) n += w.Option(app.label) != "<absent>";
    return n;
  }
  TestWorld w;
  FrmEraseingSettings dlg{w.ctx};
};

TEST_F(EraseSettingsTest, BoxesAreNamedCaptionedAndGroupedAsTheUserSeesThem) {
  // Each box as the category catalogue names, captions and groups it.
  const auto boxes = dlg.CategoryBoxes();
  for (std::size_t i = 0; i < 18; ++i) {
    const TrackCategory& c = kTrackCategories[i];
    EXPECT_EQ(boxes[i]->Name(), c.key);
    EXPECT_EQ(boxes[i]->Caption(), c.caption) << c.key;
    ASSERT_NE(boxes[i]->Container(), nullptr);
    EXPECT_EQ(boxes[i]->Container()->Caption(), c.group) << c.key;
    EXPECT_EQ(boxes[i]->Value(), 0);  // unchecked until loaded
  }
  EXPECT_EQ(dlg.Find("lblKeepHint"), nullptr);
  EXPECT_EQ(dlg.strip.title.Caption(), "Erasing Settings ...");
  EXPECT_EQ(dlg.cmdWindowsSelectNon.Caption(), "Select All");
  EXPECT_EQ(dlg.cmdWindowsSelectAll.Caption(), "Select Non");
}

TEST_F(EraseSettingsTest, TodaysWindowsBoxesSitBesideTheWindowsOnesAndFolderViewsAsksFirst) {
  std::vector<std::string> asked;
  bool yes = false;
  w.loop.onModal = [&](Form& f) {
    auto& m = static_cast<FrmMessage&>(f);
    asked.push_back(m.lblMesage.Caption());
    (yes ? m.cmdYes : m.cmdNo).UserClick();
  };
  dlg.Load();
  ASSERT_EQ(dlg.WindowsTodayBoxes.size(), kWindowsTodayCategories.size());
  for (std::size_t i = 0; i < kWindowsTodayCategories.size(); ++i) {
    const CheckBox& box = *dlg.WindowsTodayBoxes[i];
    EXPECT_EQ(box.Name(), kWindowsTodayCategories[i].key);
    EXPECT_EQ(box.Caption(), kWindowsTodayCategories[i].caption);
    EXPECT_EQ(box.Container(), &dlg.fraWindowsTracks);
    EXPECT_EQ(box.Value(), kWindowsTodayCategories[i].tickedWhenFresh ? 1 : 0);
  }
  dlg.ShowPage(FrmEraseingSettings::Page::Windows);
  auto& views = *dynamic_cast<CheckBox*>(dlg.Find(kFolderViewsKey));
  views.SetValue(1);  // as a click ticks it; No: it stays unticked
  EXPECT_EQ(views.Value(), 0);
  EXPECT_EQ(w.Option(kFolderViewsKey), "0");
  yes = true;
  dlg.cmdWindowsSelectAll.UserClick();  // "Select Non" asks nothing
  dlg.cmdWindowsSelectNon.UserClick();  // "Select All" asks, and Yes ticks it
  for (const auto& box : dlg.WindowsTodayBoxes) EXPECT_EQ(w.Option(box->Name()), "1");
  EXPECT_EQ(w.Option("chkWindowsClipboard"), "1");
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_NE(asked[0].find("forget their size, view and sort order"), std::string::npos);
}

TEST_F(EraseSettingsTest, FreshLoadWritesEveryCategoryAndNoApplication) {
  dlg.Load();
  for (CheckBox* box : dlg.CategoryBoxes()) EXPECT_EQ(w.Option(box->Name()), "1") << box->Name();
  for (CheckBox* box : dlg.CategoryBoxes()) EXPECT_EQ(box->Value(), 1);
  EXPECT_EQ(AppKeysWritten(), 0);
  const ListView& list = dlg.lvwThirdpartyControls;
  EXPECT_TRUE(list.Checkboxes);
  ASSERT_EQ(list.Count(), 62);
  for (int i = 0; i < 62; ++i) {
    EXPECT_EQ(list.Item(i).text, kApplications[static_cast<std::size_t>(i)].label);
    EXPECT_TRUE(list.Item(i).checked);
    EXPECT_EQ(list.Item(i).smallIcon, RowMark::ApplicationItem);
  }
  EXPECT_TRUE(dlg.FrameBrowser.Visible());
  EXPECT_FALSE(dlg.FrameWindows.Visible());
  EXPECT_FALSE(dlg.FrameApplication.Visible());
}

TEST_F(EraseSettingsTest, StoredChoicesLoadWithoutBeingRewritten) {
  w.SetOption("chkCookies", "00");  // a zero: unchecked, and left as it is
  w.SetOption("chkWindowsTemp", "0");
  w.SetOption("Winzip", "False");
  w.SetOption("MIRC", "junk");
  dlg.Load();
  EXPECT_EQ(dlg.chkCookies.Value(), 0);
  EXPECT_EQ(w.Option("chkCookies"), "00");
  EXPECT_EQ(dlg.chkWindowsTemp.Value(), 0);
  EXPECT_EQ(dlg.chkIndex.Value(), 1);
  const ListView& list = dlg.lvwThirdpartyControls;
  EXPECT_FALSE(list.Item(list.FindItemPrefix("Winzip")).checked);
  EXPECT_FALSE(list.Item(list.FindItemPrefix("MIRC")).checked);
  EXPECT_TRUE(list.Item(list.FindItemPrefix("Wordpad")).checked);
  EXPECT_EQ(w.Option("Winzip"), "False");
  EXPECT_EQ(AppKeysWritten(), 2);
}

// The community file's detected entries follow the catalogue under a heading
// of their own; without the file the list has no headings.
TEST_F(EraseSettingsTest, CommunityEntriesFollowInAGroupOfTheirOwn) {
  const std::string file = w.system.programFolder + "\\Winapp2.ini";
  w.files.AddFile(file, "[Alpha *]\r\nFileKey1=%AppData%\\A|*.log\r\n[Beta *]\r\n");
  dlg.Load();
  const ListView& list = dlg.lvwThirdpartyControls;
  ASSERT_EQ(list.Count(), 64);
  EXPECT_EQ(list.Groups(), (std::vector<std::string>{"Applications", "Winapp2.ini"}));
  for (int i = 0; i < 64; ++i) EXPECT_EQ(list.Item(i).group, i < 62 ? 0 : 1) << i;
  EXPECT_EQ(list.Item(62).text, "Alpha *");
  dlg.Close();
  w.files.Delete(file);
  dlg.Load();
  EXPECT_EQ(dlg.lvwThirdpartyControls.Count(), 62);
  EXPECT_TRUE(dlg.lvwThirdpartyControls.Groups().empty());
}

TEST_F(EraseSettingsTest, ValuesOfAnotherTypeShowAsTheRunTakesThemAndAreNeverWrittenOver) {
  // As a policy or a .reg file stores them.
  const struct {
    const char* key;
    std::uint32_t type;
    std::string data;
    int shown;
  } cases[] = {
      {"chkWindowsRecycleBin", kRegDword, std::string("\0\0\0\0", 4), 0},
      {"chkWindowsClipboard", kRegDword, std::string("\1\0\0\0", 4), 1},
      {"chkWindowsTemp", kRegDword, std::string("\2\0\0\0", 4), 0},
      {"chkCookies", kRegBinary, std::string("\1", 1), 0},
  };
  const std::string options = std::string(kSettingsRoot) + "\\Options";
  for (const auto& c : cases) w.registry.Put(RegRoot::CurrentUser, options, c.key, c.type, c.data);
  for (int load = 0; load < 2; ++load) {
    dlg.Load();
    for (const auto& c : cases) {
      SCOPED_TRACE(c.key);
      EXPECT_EQ(dynamic_cast<CheckBox*>(dlg.Find(c.key))->Value(), c.shown);
      EXPECT_EQ(w.ctx.OptionSelected(c.key), c.shown == 1);
      const auto* v = w.registry.Get(RegRoot::CurrentUser, options, c.key);
      ASSERT_NE(v, nullptr);
      EXPECT_EQ(v->type, c.type);
      EXPECT_EQ(v->data, c.data);
    }
  }
  // Only the absent keys were written, once each; this profile held an older
  // version's choices, so the kinds of trace added since start unticked.
  EXPECT_EQ(w.registry.setLog.size(), 18u - std::size(cases) + kWindowsTodayCategories.size());
  for (const TrackCategory& c : kWindowsTodayCategories) EXPECT_EQ(w.Option(c.key), "0") << c.key;
}

TEST_F(EraseSettingsTest, ReloadStartsAfreshWithoutDuplicates) {
  dlg.Load();
  dlg.Close();
  w.SetOption("chkCookies", "0");
  dlg.Load();
  EXPECT_EQ(dlg.lvwThirdpartyControls.Count(), 62);
  EXPECT_EQ(dlg.chkCookies.Value(), 0);
  EXPECT_EQ(w.Option("chkCookies"), "0");
}

TEST_F(EraseSettingsTest, ABoxWritesItsKeyOnEveryChange) {
  dlg.Load();
  dlg.chkCookies.SetValue(0);
  EXPECT_EQ(w.Option("chkCookies"), "0");
  dlg.chkCookies.SetValue(1);
  EXPECT_EQ(w.Option("chkCookies"), "1");
}

TEST_F(EraseSettingsTest, InternetExplorerSelectButtonsWriteAllFiveKeys) {
  dlg.Load();
  dlg.chkIndex.SetValue(0);
  w.SetOption("chkIndex", "stale");  // the box did not change, yet its key is written
  w.SetOption("ChkOperaCookies", "stale");
  dlg.CmdSelectNon.UserClick();
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(w.Option(dlg.CategoryBoxes()[static_cast<std::size_t>(i)]->Name()), "0");
    EXPECT_EQ(dlg.CategoryBoxes()[static_cast<std::size_t>(i)]->Value(), 0);
  }
  EXPECT_EQ(w.Option("ChkOperaCookies"), "stale");
  EXPECT_EQ(dlg.ChkOperaCookies.Value(), 1);
  EXPECT_EQ(dlg.ChkNetscapeCookies.Value(), 1);
  dlg.cmdSelectAll.UserClick();
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(w.Option(dlg.CategoryBoxes()[static_cast<std::size_t>(i)]->Name()), "1");
}

TEST_F(EraseSettingsTest, WindowsButtonsDoWhatTheirWordsSay) {
  dlg.Load();
  dlg.cmdWindowsSelectAll.UserClick();  // shows Select Non
  for (std::size_t i = 12; i < 18; ++i) {
    EXPECT_EQ(dlg.CategoryBoxes()[i]->Value(), 0);
    EXPECT_EQ(w.Option(dlg.CategoryBoxes()[i]->Name()), "0");
  }
  EXPECT_EQ(dlg.chkCookies.Value(), 1);
  dlg.cmdWindowsSelectNon.UserClick();  // shows Select All
  for (std::size_t i = 12; i < 18; ++i) EXPECT_EQ(w.Option(dlg.CategoryBoxes()[i]->Name()), "1");
}

TEST_F(EraseSettingsTest, OneApplicationCheckWritesAllSixtyTwoKeys) {
  dlg.Load();
  dlg.lvwThirdpartyControls.UserCheck(55, false);
  EXPECT_EQ(App(55), "False");
  for (int i = 0; i < 62; ++i) {
    if (i == 55) continue;
    EXPECT_EQ(App(i), "True") << i;
  }

  w.SetOption("Acrobat4", "stale");
  dlg.lvwThirdpartyControls.UserClickItem(3);  // a click writes them all too
  EXPECT_EQ(App(4), "True");
  EXPECT_EQ(App(55), "False");
}

TEST_F(EraseSettingsTest, ApplicationSelectButtonsCheckAndWriteEveryItem) {
  dlg.Load();
  dlg.CmdUnSelectThirdParty.UserClick();
  for (int i = 0; i < 62; ++i) {
    EXPECT_FALSE(dlg.lvwThirdpartyControls.Item(i).checked);
    EXPECT_EQ(App(i), "False");
  }
  dlg.cmdThirdPartySelectAll.UserClick();
  for (int i = 0; i < 62; ++i) EXPECT_EQ(App(i), "True");
}

TEST_F(EraseSettingsTest, FolderBoxesShowDetectedOrStoredFoldersAndAreNeverWritten) {
  w.system.version = {5, 1, 2};
  dlg.Load();
  EXPECT_EQ(dlg.txtOpera.Text(), OperaFolder(w.ctx));
  EXPECT_EQ(dlg.txtSearchNetscapeCasche.Text(), MozillaProfilesFolder(w.ctx));
  w.SetOption("txtOpera", "D:\\Opera\\");
  w.system.version = {4, 10, 1};
  dlg.cmdAutoScanOperaCache.UserClick();
  dlg.cmdAutoScanNescapeCache.UserClick();
  EXPECT_EQ(dlg.txtOpera.Text(), "D:\\Opera\\");
  EXPECT_EQ(dlg.txtSearchNetscapeCasche.Text(),
            "C:\\WINDOWS\\Application Data\\Mozilla\\Profiles\\");
  EXPECT_EQ(w.Option("txtSearchNetscapeCasche"), "<absent>");
}

TEST_F(EraseSettingsTest, TabsShowOnePageEach) {
  dlg.Load();
  dlg.Label3.UserClick();
  EXPECT_TRUE(dlg.FrameWindows.Visible());
  EXPECT_FALSE(dlg.FrameBrowser.Visible());
  EXPECT_FALSE(dlg.chkCookies.Shown());
  EXPECT_TRUE(dlg.chkWindowsTemp.Shown());
  dlg.Image2.UserClick();
  EXPECT_TRUE(dlg.lvwThirdpartyControls.Shown());
  EXPECT_FALSE(dlg.FrameWindows.Visible());
  dlg.lblTodaysBrowsers.UserClick();
  EXPECT_TRUE(dlg.Find("chkFirefoxSessions")->Shown());
  EXPECT_FALSE(dlg.lvwThirdpartyControls.Shown());
  dlg.Image1.UserClick();
  EXPECT_TRUE(dlg.FrameBrowser.Visible());
  EXPECT_FALSE(dlg.FrameApplication.Visible());
  EXPECT_FALSE(dlg.FrameTodaysBrowsers.Visible());
}

TEST_F(EraseSettingsTest, TodaysBrowsersPageOffersTheInstalledBrowsersAlone) {
  w.shell.specialFolders[kCsidlLocalAppData] = "C:\\Local";
  w.shell.specialFolders[kCsidlAppData] = "C:\\Roaming";
  w.files.AddFolder("C:\\Local\\Google\\Chrome\\User Data");
  w.files.AddFolder("C:\\Roaming\\Mozilla\\Firefox");
  w.SetOption("chkFirefoxCache", "0");  // the user's choice stays
  w.SetOption("chkEdgeSessions", "1");  // kept, unwritten, while Edge is not there
  dlg.Load();
  // Per browser its label, then History, Cookies, Cache, Sessions, Site Data.
  const struct {
    const char* label;
    bool found;
    const char* values;  // the five boxes
  } rows[] = {{"Chrome", true, "10100"},  {"Edge (not found)", false, "00010"},
              {"Brave (not found)", false, "00000"}, {"Vivaldi (not found)", false, "00000"},
              {"Opera (not found)", false, "00000"}, {"Firefox", true, "10000"}};
  ASSERT_EQ(dlg.BrowserBoxes.size(), 30u);
  for (std::size_t b = 0; b < 6; ++b) {
    EXPECT_EQ(dlg.BrowserLabels[b]->Caption(), rows[b].label);
    EXPECT_EQ(dlg.BrowserLabels[b]->Enabled(), rows[b].found) << rows[b].label;
    for (std::size_t c = 0; c < kBrowserCategories.size(); ++c) {
      const CheckBox& box = *dlg.BrowserBoxes[b * kBrowserCategories.size() + c];
      const BrowserTrack& track = BrowserTracks()[b * kBrowserCategories.size() + c];
      EXPECT_EQ(box.Name(), track.key);
      EXPECT_EQ(box.Caption(), CategoryName(track.category));
      EXPECT_EQ(box.Enabled(), rows[b].found) << track.key;
      EXPECT_EQ(box.Value(), rows[b].values[c] - '0') << track.key;
    }
  }
  // A fresh profile: History and Cache written ticked for a browser found, nothing else.
  EXPECT_EQ(w.Option("chkChromeHistory"), "1");
  EXPECT_EQ(w.Option("chkChromeCache"), "1");
  EXPECT_EQ(w.Option("chkChromeCookies"), "<absent>");
  EXPECT_EQ(w.Option("chkChromeSessions"), "<absent>");
  EXPECT_EQ(w.Option("chkChromeSiteData"), "<absent>");  // unticked, as Cookies are
  EXPECT_EQ(w.Option("chkFirefoxSiteData"), "<absent>");
  EXPECT_EQ(w.Option("chkFirefoxCache"), "0");
  EXPECT_EQ(w.Option("chkEdgeHistory"), "<absent>");

  dlg.cmdBrowsersSelectAll.UserClick();
  for (const char* key : {"chkChromeCookies", "chkChromeSessions", "chkChromeSiteData",
                          "chkFirefoxCache", "chkFirefoxSessions", "chkFirefoxSiteData"})
    EXPECT_EQ(w.Option(key), "1") << key;
  EXPECT_EQ(w.Option("chkEdgeHistory"), "<absent>");
  dlg.cmdBrowsersSelectNon.UserClick();
  EXPECT_EQ(w.Option("chkChromeHistory"), "0");
  EXPECT_EQ(w.Option("chkEdgeSessions"), "1");
}

TEST_F(EraseSettingsTest, EveryCloseButtonClosesAndKeepsTheChanges) {
  for (const char* closer : {"Command1", "Command1_1", "cmdexit", "cmdBrowsersExit", "Image6"}) {
    FrmEraseingSettings d(w.ctx);
    w.loop.onModal = [closer](Form& f) {
      auto& s = static_cast<FrmEraseingSettings&>(f);
      s.chkCookies.SetValue(0);
      s.Find(closer)->UserClick();
      EXPECT_FALSE(s.Loaded()) << closer;
    };
    w.SetOption("chkCookies", "1");
    d.ShowModal();
    EXPECT_EQ(w.Option("chkCookies"), "0") << closer;
  }
}

TEST_F(EraseSettingsTest, KeepListButtonsOpenTheDialogInTheirMode) {
  std::vector<KeepListMode> modes;
  w.loop.onModal = [&](Form& f) {
    modes.push_back(w.ctx.keepListMode);
    static_cast<FrmKeepList&>(f).Command6.UserClick();
  };
  dlg.Load();
  dlg.CmdKeepListOfCookies.UserClick();
  dlg.CmdKeepListOfLocationBar.UserClick();
  EXPECT_EQ(modes,
            (std::vector<KeepListMode>{KeepListMode::Cookies, KeepListMode::TypedAddresses}));
  EXPECT_EQ(w.loop.modalShown, (std::vector<std::string>{"FrmKeepList", "FrmKeepList"}));
}

}  // namespace
}  // namespace nimbrel
