// The steps of the history categories: the typed addresses, the recent
// documents with their folders, the search and Run histories.
#include <gtest/gtest.h>

#include "cleaning/TrackCategories.h"
#include "erasers/modMRU.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;
constexpr RegRoot HKCU = RegRoot::CurrentUser;
constexpr int kLocationBar = 1, kRecent = 13, kSearch = 14, kRun = 15;

class HistoryCategoriesTest : public ::testing::Test {
 protected:
  HistoryCategoriesTest() { w.ctx.SetReport(&w.report); }
  void Erase(int position) {
    kTrackCategories[static_cast<std::size_t>(position - 1)].erase(w.ctx);
  }
  const std::string kXpProfile = "C:\\Documents and Settings\\user";
  TestWorld w;
};

TEST_F(HistoryCategoriesTest, RecentOnXPWalksMyRecentDocumentsAndTheShellsRecentFolder) {
  w.shell.specialFolders[kCsidlRecent] = kXpProfile + "\\Recent";
  w.files.AddFile(kXpProfile + "\\Recent\\report.doc.lnk", "link");
  w.files.AddFile(kXpProfile + "\\My Recent Documents\\old.lnk", "link");
  w.files.AddFile(kXpProfile + "\\Desktop\\keep.txt", "mine");
  w.registry.Put(HKCU, kRecentDocsKey + std::string("\\.doc"), "0", kRegBinary, "report.doc");
  Erase(kRecent);
  EXPECT_FALSE(w.registry.HasKey(HKCU, kRecentDocsKey));
  EXPECT_FALSE(w.files.Exists(kXpProfile + "\\Recent\\report.doc.lnk"));
  EXPECT_FALSE(w.files.Exists(kXpProfile + "\\My Recent Documents\\old.lnk"));
  EXPECT_TRUE(w.files.Exists(kXpProfile + "\\Desktop\\keep.txt"));
  EXPECT_EQ(w.report.lines, (Lines{"  " + kXpProfile + "\\My Recent Documents\\old.lnk",
                                   "  " + kXpProfile + "\\Recent\\report.doc.lnk"}));
}

TEST_F(HistoryCategoriesTest, RecentFromVistaOnErasesTheMRUListExFormAndKeepsTheJumpLists) {
  // The profile's "Recent" is a junction to the shell's recent folder, which
  // also holds the jump lists.
  const std::string kVistaRecent = "C:\\Users\\ann\\AppData\\Roaming\\Microsoft\\Windows\\Recent";
  const std::string kPins = kVistaRecent + "\\AutomaticDestinations\\f01b4d95cf55d32a.automaticDestinations-ms";
  const std::string kTasks = kVistaRecent + "\\CustomDestinations\\5d696d521de238c3.customDestinations-ms";
  const std::string kExplorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
  for (const OsVersion version : {OsVersion{6, 1, 2}, OsVersion{10, 0, 2}}) {
    SCOPED_TRACE(version.major);
    TestWorld v;
    v.ctx.SetReport(&v.report);
    v.system.version = version;
    v.system.env["USERPROFILE"] = "C:\\Users\\ann";
    v.files.AddFile(kVistaRecent + "\\a.lnk", "link");
    v.files.AddFile(kVistaRecent + "\\b.lnk", "link");
    v.files.AddFile(kPins, "4 pinned folders");
    v.files.AddFile(kTasks, "tasks");
    v.files.AddFolderLink("C:\\Users\\ann\\Recent", kVistaRecent);
    v.shell.specialFolders[kCsidlRecent] = kVistaRecent;
    const std::string order("\x01\0\0\0\0\0\0\0\x02\0\0\0\xff\xff\xff\xff", 16);
    v.registry.Put(HKCU, kRecentDocsKey, "MRUListEx", kRegBinary, order);
    for (const char* n : {"0", "1", "2"}) v.registry.Put(HKCU, kRecentDocsKey, n, kRegBinary, "doc");
    const std::string docx = kRecentDocsKey + std::string("\\.docx");
    v.registry.Put(HKCU, docx, "MRUListEx", kRegBinary, order.substr(8));
    for (const char* n : {"0", "1"}) v.registry.Put(HKCU, docx, n, kRegBinary, "thesis.docx");
    v.registry.PutString(HKCU, kExplorer, "ShellState", "kept");
    v.registry.PutString(HKCU, kExplorer + "\\Advanced", "Hidden", "kept");
    kTrackCategories[kRecent - 1].erase(v.ctx);
    EXPECT_FALSE(v.files.Exists(kVistaRecent + "\\a.lnk"));
    EXPECT_FALSE(v.files.Exists(kVistaRecent + "\\b.lnk"));
    EXPECT_EQ(v.files.Data(kPins), "4 pinned folders");
    EXPECT_EQ(v.files.Data(kTasks), "tasks");
    EXPECT_TRUE(v.files.IsLink("C:\\Users\\ann\\Recent"));
    EXPECT_EQ(v.report.lines, (Lines{"  " + kVistaRecent + "\\a.lnk",
                                     "  " + kVistaRecent + "\\b.lnk"}));
    EXPECT_FALSE(v.registry.HasKey(HKCU, kRecentDocsKey));
    EXPECT_NE(v.registry.Get(HKCU, kExplorer, "ShellState"), nullptr);
    EXPECT_NE(v.registry.Get(HKCU, kExplorer + "\\Advanced", "Hidden"), nullptr);
  }
}

TEST_F(HistoryCategoriesTest, RecentIsWalkedOnceWhenTheShellNamesTheSameFolder) {
  w.system.version = {5, 0, 2};  // Windows 2000: both are the profile's "Recent"
  w.shell.specialFolders[kCsidlRecent] = "c:\\DOCUMENTS AND SETTINGS\\user\\recent\\";
  w.files.AddFile(kXpProfile + "\\Recent\\locked.lnk", "link", kAttrReadOnly);
  Erase(kRecent);
  EXPECT_TRUE(w.files.Exists(kXpProfile + "\\Recent\\locked.lnk"));
  EXPECT_EQ(w.report.lines, (Lines{"  " + kXpProfile + "\\Recent\\locked.lnk",
                                   "  left (access denied): " + kXpProfile + "\\Recent\\locked.lnk"}));
}

TEST_F(HistoryCategoriesTest, RecentWithoutAProfileWalksNothingOnTheCurrentDrive) {
  // An unset USERPROFILE would make the folder "\Recent" on the current drive.
  w.system.env.erase("USERPROFILE");
  w.system.version = {5, 0, 2};
  w.files.AddFile("C:\\Recent\\keep.lnk", "not the user's");
  Erase(kRecent);
  EXPECT_TRUE(w.files.Exists("C:\\Recent\\keep.lnk"));
  EXPECT_TRUE(w.report.lines.empty());
}

TEST_F(HistoryCategoriesTest, LocationBarSearchAndRunEraseTheirLists) {
  w.registry.PutString(HKCU, kTypedURLsKey, "url1", "http://one.example/");
  w.registry.PutString(HKCU, kDocFindSpecMRUKey, "MRUList", "a");
  w.registry.PutString(HKCU, kDocFindSpecMRUKey, "a", "secret*.doc");
  w.registry.PutString(HKCU, kRunMRUKey, "MRUList", "a");
  w.registry.PutString(HKCU, kRunMRUKey, "a", "regedit\\1");
  Erase(kLocationBar);
  EXPECT_EQ(w.registry.Get(HKCU, kTypedURLsKey, "url1"), nullptr);
  Erase(kSearch);
  EXPECT_EQ(w.registry.Get(HKCU, kDocFindSpecMRUKey, "a"), nullptr);
  EXPECT_NE(w.registry.Get(HKCU, kRunMRUKey, "a"), nullptr);
  Erase(kRun);
  EXPECT_EQ(w.registry.Get(HKCU, kRunMRUKey, "a"), nullptr);
  EXPECT_EQ(w.report.lines, (Lines{"  http://one.example/", "  a", "  a"}));
}

}  // namespace
}  // namespace nimbrel

namespace nimbrel {
namespace {

TEST(WindowsTodayCategoriesTest, ClipboardClearsAKeptHistoryAndTheDnsCacheIsFlushedOrSaidLeft) {
  for (const bool on : {false, true}) {
    TestWorld w;
    w.ctx.SetReport(&w.report);
    w.desktop.hasClipboardHistory = on;
    w.shell.dnsFlushFails = on;
    kTrackCategories[17].erase(w.ctx);
    kWindowsTodayCategories[6].erase(w.ctx);
    EXPECT_EQ(w.desktop.clipboardEmptied, 1);
    EXPECT_EQ(w.desktop.clipboardHistoryCleared, on ? 1 : 0);
    EXPECT_EQ(w.report.lines, Lines{on ? "  left (error): the DNS resolver cache"
                                       : "  the DNS resolver cache"});
  }
}

}  // namespace
}  // namespace nimbrel
