// The two catalogues against the texts the user sees and the program stores,
// written out here letter for letter, and the built-in categories' steps.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

#include "cleaning/ApplicationCatalogue.h"
#include "cleaning/Catalogue.h"
#include "cleaning/Winapp2Erase.h"
#include "cleaning/TrackCategories.h"
#include "erasers/modDefinitions.h"
#include "fakes/TestWorld.h"
#include "platform/Text.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;

TEST(TrackCategoryCatalogue, RowsKeysCaptionsAndGroupsInTheirFixedOrder) {
  const char* ie = "Internet Explorer";
  const char* opera = "Opera Settings";
  const char* netscape = "Netscape Settings";
  const char* windows = "Windows";
  const char* expected[25][4] = {
      {"Location Bar History", "chkLocationBarHistory", "Location Bar History", ie},
      {"Cookies", "chkCookies", "Cookies", ie},
      {"Temporary Internet files", "chkTemporaryInternetfiles",
       "Temporary Internet Files ( Cache )", ie},
      {"Internet History", "chkInternetHistory",
       "Internet History ( Need IE browsers Close First )", ie},
      {"Index", "chkIndex", "Index.dat", ie},
      {"Opera Cookies", "ChkOperaCookies", "Cookies", opera},
      {"Opera Location Bar History", "ChkOperaLocationBarHistory", "Loation Bar History", opera},
      {"Opera Cache", "ChkOperaCache", "Cache and History", opera},
      {"Netscape Cache", "ChkNetscapeCache", "Cache", netscape},
      {"Netscape Location Bar History", "ChkNetscapeLocationBarHistory", "Location Bar History",
       netscape},
      {"Netscape Cookies", "ChkNetscapeCookies", "Cookies", netscape},
      {"Netscape History File", "ChkNetscapeHistoryFile", "History File", netscape},
      {"Windows Recent History", "chkWindowsRecentHistory", "Recent Documents History", windows},
      {"Windows Search History", "chkWindowsSearchHistory", "Start Menu Search History", windows},
      {"Windows Run History", "chkWindowsRunHistory", "Start Menu Run History", windows},
      {"Windows Temp Files", "chkWindowsTemp", "Windows Temp", windows},
      {"Windows Recycle Bin", "chkWindowsRecycleBin", "Recycle Bin", windows},
      {"Windows Clipboard", "chkWindowsClipboard", "Clipboard", windows},
      {"Windows Jump Lists", "chkWindowsJumpLists", "Jump Lists ( Pinned Kept )", windows},
      {"Windows Explorer History", "chkWindowsExplorerHistory", "Explorer Search and Address Lists",
       windows},
      {"Windows Program Usage", "chkWindowsProgramUsage", "Program Usage Lists", windows},
      {"Windows Thumbnail Cache", "chkWindowsThumbnailCache", "Thumbnail Cache", windows},
      {"Windows Error Reports", "chkWindowsErrorReports", "Error Reports and Crash Dumps", windows},
      {"Windows Folder Views", "chkWindowsFolderViews", "Folder Views ( Size, View, Sort )",
       windows},
      {"Windows DNS Cache", "chkWindowsDnsCache", "DNS Cache", windows},
  };
  for (std::size_t i = 0; i < 25; ++i) {
    const TrackCategory& c = i < 18 ? kTrackCategories[i] : kWindowsTodayCategories[i - 18];
    EXPECT_EQ(c.position, static_cast<int>(i) + 1);
    EXPECT_STREQ(c.label, expected[i][0]);
    EXPECT_STREQ(c.key, expected[i][1]);
    EXPECT_STREQ(c.caption, expected[i][2]);
    EXPECT_STREQ(c.group, expected[i][3]);
  }
}

TEST(ApplicationCatalogue, LabelsInListOrderAndTheSectionsTheyRun) {
  const Lines labels = {
      "ACDSee4", "ACDSee5", "ACDSee32", "ACDSee6", "Acrobat4", "Acrobat5", "Acrobat6",
      "Ad Adware 6", "Agent NewsReader", "AOL Instant Messenger", "AOL6", "AOL7", "BearShare",
      "Cute FTP", "DivX Player", "Download Accelerator", "Gator", "Get Right", "Google Toolbar",
      "ICQ 2000B", "ICQ 2002A", "ICQ 2003A", "ICQ 2003B", "iMesh", "Kazaa Media Desktop",
      "Kazaa Lite", "LView Pro", "Mass Downloader", "Macromedia Dreamweaver 4.0",
      "Macromedia DreamweaverMX 2004", "Media Jukebox", "Morpheus", "Microsoft Imaging",
      "Microsoft Netmeeting", "Microsoft Paint", "Microsoft Photo Editor", "MIRC",
      "MusicMatch Jukebox", "Napster", "Net Vampire 3.x", "Paint Shop Pro 7.0-8.0",
      "Photo Impact 7", "Photo Impact 8", "PicoZip", "PowerDVD", "Powerzip 6.0", "Real Player 8",
      "Real Player 10", "Save Now", "Sonique", "SWiSH", "Trillain", "Ulead GIF Animator",
      "Windows Media Player", "WinAce 2.0", "WinRar 3.x", "WinRar 2.x", "Winzip", "Wordpad",
      "Xing MP3 Player", "Yahoo Messenger", "Zone Alram Logs"};
  Lines actual;
  for (const Application& app : kApplications) actual.push_back(app.label);
  EXPECT_EQ(actual, labels);

  // Where the section is named differently from the label.
  const std::map<std::string, Lines> sections = {
      {"ACDSee4", {"ACDSee 4.0"}},
      {"ACDSee5", {"ACDSee 5.0"}},
      {"ACDSee32", {"ACDSee 32"}},
      {"ACDSee6", {"ACDSee 6.0"}},
      {"Acrobat4", {"Acrobat Reader 4.0"}},
      {"Acrobat5", {"Acrobat Reader 5.0"}},
      {"Acrobat6", {"Acrobat Reader 6.0"}},
      {"Ad Adware 6", {"Ad-Aware 6"}},
      {"AOL6", {"AOL 6.0"}},
      {"AOL7", {"AOL 7.0"}},
      {"Get Right", {"GetRight"}},
      {"Google Toolbar", {"Google Tool Bar"}},
      {"ICQ 2000B", {"ICQ2000B"}},
      {"ICQ 2002A", {"ICQ2002A"}},
      {"ICQ 2003A", {"ICQ2003A"}},
      {"ICQ 2003B", {"ICQ2003B"}},
      {"Kazaa Media Desktop", {"KazaaMedia Desktop"}},
      {"Kazaa Lite", {"KazaaLite"}},
      {"Mass Downloader", {"MassDownloader"}},
      {"Macromedia DreamweaverMX 2004", {"Macromedia Dreamweaver MX 2004"}},
      {"Microsoft Netmeeting", {"Microsoft NetMeeting"}},
      {"Photo Impact 7", {"PhotoImpact 7.0"}},
      {"Photo Impact 8", {"PhotoImpact 8.0"}},
      {"Real Player 8", {"Real Player Real One Player", "Real Player 8"}},
      {"Trillain", {"Trillian"}},
      {"Yahoo Messenger", {"Yahoo! Messenger"}},
      {"Zone Alram Logs", {"Zone Alarm Logs"}},
  };
  for (const Application& app : kApplications) {
    Lines run;
    for (const char* section : app.sections)
      if (section) run.push_back(section);
    const auto named = sections.find(app.label);
    EXPECT_EQ(run, named != sections.end() ? named->second : Lines{app.label}) << app.label;
    // Only the two RealOne entries have steps of their own.
    const std::string label = app.label;
    EXPECT_EQ(app.realOneHistory, label == "Real Player 8" || label == "Real Player 10") << label;
  }
}

TEST(Catalogues, EveryKeyAndRowIsDistinctAsTheRegistryAndTheRunSeeThem) {
  std::set<std::string> keys, rows;
  for (const Track& t : BuiltInTracks()) {
    EXPECT_TRUE(keys.insert(ToUpper(t.key)).second) << t.key;
    EXPECT_TRUE(rows.insert(ToUpper(t.label)).second) << t.label;
  }
  EXPECT_EQ(BuiltInTracks().size(), 18u + 7u + BrowserTracks().size() + 62u);
}

TEST(Catalogues, ARowFindsItsTrackByItsWholeLabel) {
  TestWorld w;
  w.files.AddFolder("C:\\Program Files\\Nimbrel");
  w.files.AddFile("C:\\Program Files\\Nimbrel\\Winapp2.ini",
                  "[Cookies *]\r\nFileKey1=%TEMP%|x.tmp\r\n");
  const struct {
    const char* row;
    std::optional<TrackKind> kind;
    const char* key;
  } cases[] = {
      {"Cookies", TrackKind::Category, "chkCookies"},
      {"  opera cookies ", TrackKind::Category, "ChkOperaCookies"},
      {"Chrome Cache", TrackKind::Browser, "chkChromeCache"},
      {"Winzip", TrackKind::Application, "Winzip"},
      {"Cookies *", TrackKind::Community, "Cookies"},  // its tick in section Winapp2
      {"Cookie", std::nullopt, ""},
      {"Opera", std::nullopt, ""},
      {"Winzip *", std::nullopt, ""},
  };
  const Winapp2Run community(w.ctx);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    const std::optional<Track> track = FindTrack(community, c.row);
    ASSERT_EQ(track.has_value(), c.kind.has_value());
    if (!track) continue;
    EXPECT_EQ(track->kind, *c.kind);
    EXPECT_EQ(track->key, c.key);
  }
}

class CategoryStepsTest : public ::testing::Test {
 protected:
  CategoryStepsTest() { w.ctx.SetReport(&w.report); }
  void Erase(int position) {
    const TrackCategory& cat = kTrackCategories[static_cast<std::size_t>(position - 1)];
    ASSERT_NE(cat.erase, nullptr);
    cat.erase(w.ctx);
  }
  TestWorld w;
};

TEST_F(CategoryStepsTest, TempFilesWalkTheTempFolderOnlyAndNothingWhenUnset) {
  w.files.AddFile("C:\\Temp\\x.tmp", "x");
  w.files.AddFile("C:\\Elsewhere\\y.tmp", "y");
  Erase(16);
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\x.tmp"));
  EXPECT_EQ(w.report.lines, (Lines{"  C:\\Temp\\x.tmp"}));
  w.system.env.erase("TEMP");
  w.files.AddFile("C:\\Temp\\z.tmp", "z");
  Erase(16);
  EXPECT_TRUE(w.files.Exists("C:\\Temp\\z.tmp"));
  EXPECT_TRUE(w.files.Exists("C:\\Elsewhere\\y.tmp"));
}

TEST_F(CategoryStepsTest, RecycleBinAndClipboardAreEmptiedWithTheReportsWindowAsOwner) {
  w.report.owner = 4242;
  Erase(17);
  EXPECT_EQ(w.shell.recycleBinEmptied, 1);
  EXPECT_EQ(w.shell.recycleBinOwner, 4242u);
  Erase(18);
  EXPECT_EQ(w.desktop.clipboardEmptied, 1);
  EXPECT_EQ(w.desktop.clipboardOwner, 4242u);
}

class EraseApplicationTest : public ::testing::Test {
 protected:
  EraseApplicationTest() {
    w.files.AddFolder("C:\\Temp");
    w.ctx.SetReport(&w.report);
  }
  static const Application& App(const std::string& label) {
    for (const Application& app : kApplications)
      if (app.label == label) return app;
    throw std::invalid_argument(label);
  }
  void PlantRealOneHistory() {
    w.files.AddFile(kRealOne + "\\History\\clip.rpl", "history");
    w.files.AddFile(kRealOne + "\\History\\old\\older.rpl", "history");
    w.files.AddFile(kRealOne + "\\realplayer.ste", "state");
    w.files.AddFile(kRealOne + "\\prefs.txt", "kept");
  }
  const std::string kPrefs = "Software\\RealNetworks\\RealPlayer\\6.0\\Preferences\\";
  const std::string kRealOne =
      "C:\\Documents and Settings\\user\\Application Data\\Real\\RealOne Player";
  TestWorld w;
};

TEST_F(EraseApplicationTest, RealPlayer8RunsBothSectionsThenTheRealOneHistory) {
  // Clip 12 is named only in the RealOne section, the save folder only in the second.
  w.registry.PutString(RegRoot::CurrentUser, kPrefs + "MostRecentClips12", "", "a.rm");
  w.registry.PutString(RegRoot::CurrentUser, kPrefs + "SaveDir", "", "C:\\Clips");
  w.registry.PutString(RegRoot::CurrentUser, kPrefs + "Volume", "", "kept");
  PlantRealOneHistory();
  EraseApplication(w.ctx, App("Real Player 8"));
  EXPECT_FALSE(w.registry.HasKey(RegRoot::CurrentUser, kPrefs + "MostRecentClips12"));
  EXPECT_FALSE(w.registry.HasKey(RegRoot::CurrentUser, kPrefs + "SaveDir"));
  EXPECT_TRUE(w.registry.HasKey(RegRoot::CurrentUser, kPrefs + "Volume"));
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 28 + 41);
  EXPECT_FALSE(w.files.Exists(kRealOne + "\\History\\clip.rpl"));
  EXPECT_FALSE(w.files.Exists(kRealOne + "\\History\\old\\older.rpl"));
  EXPECT_TRUE(w.files.Exists(kRealOne + "\\History\\old"));  // the tree's folders stay
  EXPECT_FALSE(w.files.Exists(kRealOne + "\\realplayer.ste"));
  EXPECT_EQ(w.files.Data(kRealOne + "\\prefs.txt"), "kept");
  // The tree walk lists the sub-folder as well, as a match of "*.*".
  EXPECT_EQ(w.report.lines, (Lines{"  " + kRealOne + "\\History\\clip.rpl",
                                   "  " + kRealOne + "\\History\\old",
                                   "  " + kRealOne + "\\History\\old\\older.rpl",
                                   "  " + kRealOne + "\\realplayer.ste"}));
  // Two history files, the state file and the definitions file.
  EXPECT_EQ(w.ctx.FilesDeleted, 4);
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\WFView"));
}

TEST_F(EraseApplicationTest, RealOneHistoryIsLeftAloneWithoutAProfileFolder) {
  w.system.env.erase("USERPROFILE");
  PlantRealOneHistory();
  w.files.AddFile("C:\\Application Data\\Real\\RealOne Player\\realplayer.ste", "kept");
  EraseApplication(w.ctx, App("Real Player 10"));
  EXPECT_TRUE(w.files.Exists(kRealOne + "\\History\\clip.rpl"));
  EXPECT_TRUE(w.files.Exists("C:\\Application Data\\Real\\RealOne Player\\realplayer.ste"));
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 41);
  EXPECT_EQ(w.ctx.FilesDeleted, 1);  // the definitions file only
}

TEST_F(EraseApplicationTest, OtherApplicationsRunOnlyTheirOwnSection) {
  PlantRealOneHistory();
  w.registry.PutString(RegRoot::CurrentUser, "Software\\WinRAR\\ArcHistory", "0", "a.rar");
  w.registry.PutString(RegRoot::CurrentUser, "Software\\WinRAR\\DialogEditHistory\\ArcName",
                       "0", "b.rar");
  EraseApplication(w.ctx, App("WinRar 2.x"));
  EXPECT_FALSE(w.registry.HasKey(RegRoot::CurrentUser, "Software\\WinRAR\\ArcHistory"));
  EXPECT_TRUE(
      w.registry.HasKey(RegRoot::CurrentUser, "Software\\WinRAR\\DialogEditHistory\\ArcName"));
  EXPECT_TRUE(w.files.Exists(kRealOne + "\\realplayer.ste"));
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 1);
}

// A definitions file already in the temporary folder, another's or one that
// cannot be replaced: its lines are never executed and its data never
// written. The application runs only once a file of its own could be made.
TEST_F(EraseApplicationTest, AnExistingDefinitionsFileIsNeverReadNorWrittenThrough) {
  const std::string file = "C:\\Temp\\WFView", letter = "C:\\Docs\\letter.doc";
  const std::string key = "Software\\WinRAR\\DialogEditHistory\\ArcName";
  const std::string planted = ScrambleLine("[WinRar 3.x]") + "\r\n" +
                              ScrambleLine("deletefiles=C:\\Docs\\*.*") + "\r\n";
  struct Case {
    const char* name;
    void (*plant)(FakeFiles& files, const std::string& file, const std::string& data);
    bool runs;  // the application's own section ran
  };
  const Case cases[] = {
      {"read-only", [](FakeFiles& f, const std::string& p, const std::string& d) {
         f.AddFile(p, d, kAttrReadOnly);
       }, false},
      {"held open", [](FakeFiles& f, const std::string& p, const std::string& d) {
         f.AddFile(p, d);
         f.Lock(p);
       }, false},
      {"a hard link to a document", [](FakeFiles& f, const std::string& p, const std::string&) {
         f.AddHardLink("C:\\Docs\\letter.doc", p);
       }, true},
      {"a link to a document", [](FakeFiles& f, const std::string& p, const std::string&) {
         f.AddFileLink(p, "C:\\Docs\\letter.doc");
       }, false},
      {"an ordinary file", [](FakeFiles& f, const std::string& p, const std::string& d) {
         f.AddFile(p, d);
       }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestWorld world;
    world.files.AddFile(letter, "Dear reader");
    world.registry.PutString(RegRoot::CurrentUser, key, "0", "b.rar");
    c.plant(world.files, file, planted);
    EraseApplication(world.ctx, App("WinRar 3.x"));
    EXPECT_EQ(world.files.Data(letter), "Dear reader");
    EXPECT_EQ(world.registry.HasKey(RegRoot::CurrentUser, key), !c.runs);
    EXPECT_EQ(world.files.Exists(file), !c.runs);
  }
}

}  // namespace
}  // namespace nimbrel
