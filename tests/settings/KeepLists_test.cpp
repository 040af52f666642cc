#include "settings/KeepLists.h"

#include <gtest/gtest.h>

#include "dialogs/FrmKeepList.h"
#include "erasers/modRegistry.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

constexpr const char* kProgram = "C:\\Program Files\\Nimbrel";
constexpr const char* kIni = "C:\\Program Files\\Nimbrel\\Cookies.ini";
constexpr const char* kBackup = "C:\\Program Files\\Nimbrel\\Backup.dat";
constexpr const char* kTyped = "Software\\Microsoft\\Internet Explorer\\TypedURLs";

using Lines = std::vector<std::string>;

class KeepListsTest : public ::testing::Test {
 protected:
  KeepListsTest() {
    w.files.AddFolder(kProgram);
    w.ctx.CookiesFolder = "C:\\Cookies";
    w.files.AddFolder("C:\\Cookies");
  }
  void Typed(int n, const std::string& url) {
    w.registry.PutString(RegRoot::CurrentUser, kTyped, "url" + std::to_string(n), url);
  }
  // Opens a keep list and lets `user` act in the dialog.
  void Open(bool cookies, std::function<void(FrmKeepList&)> user) {
    w.loop.onModal = [user](Form& f) { user(static_cast<FrmKeepList&>(f)); };
    cookies ? OpenCookieKeepList(w.ctx) : OpenTypedAddressKeepList(w.ctx);
  }
  Lines KeptCookies() { return ReadCookieKeepList(w.ctx.platform, w.ctx.dataFolder); }
  Lines KeptAddresses() { return ReadTypedAddressKeepList(w.ctx.platform, w.ctx.dataFolder); }
  void SaveAddresses(const Lines& lines) {
    SaveTypedAddressKeepList(w.ctx.platform, w.ctx.dataFolder, lines);
  }
  static void SelectOnly(ListBox& list, std::initializer_list<int> rows) {
    for (int i = 0; i < list.ListCount(); ++i) list.SetSelected(i, false);
    for (int i : rows) list.SetSelected(i, true);
  }
  TestWorld w;
};

TEST_F(KeepListsTest, CurrentCookiesAreTheFolderFilesButIndexDat) {
  w.files.AddFile("C:\\Cookies\\ann@site[1].txt", "x");
  w.files.AddFile("C:\\Cookies\\hidden.txt", "x", kAttrHidden);
  w.files.AddFile("C:\\Cookies\\system.txt", "x", kAttrSystem | kAttrHidden);
  w.files.AddFile("C:\\Cookies\\INDEX.DAT", "x");
  w.files.AddFolder("C:\\Cookies\\sub");
  EXPECT_EQ(ListCurrentCookies(w.ctx), (Lines{"ann@site[1].txt", "hidden.txt", "system.txt"}));

  // An unset folder lists nothing rather than the root of the drive.
  w.files.AddFile("C:\\boot.ini");
  w.ctx.CookiesFolder = "";
  EXPECT_TRUE(ListCurrentCookies(w.ctx).empty());
}

TEST_F(KeepListsTest, TypedAddressesSkipBlankValuesAndEndAtTheFirstMissing) {
  Typed(1, "http://a.example/");
  Typed(2, "   ");
  Typed(3, "http://b.example/");
  Typed(5, "http://after-gap.example/");
  EXPECT_EQ(ListCurrentTypedAddresses(w.ctx), (Lines{"http://a.example/", "http://b.example/"}));
  Typed(1, "");
  EXPECT_TRUE(ListCurrentTypedAddresses(w.ctx).empty());
}

TEST(KeptItems, EachKindOfEntryKeepsWhatItNamesAndNothingElse) {
  const Lines list = {"ann@site.txt", "  HTTP://Kept.Example/ ", "site:.Example.com"};
  const std::vector<std::string> sites = KeptSites(list);
  const struct {
    const char* item;
    bool cookieFile, typedAddress, site;
  } cases[] = {
      {"ann@site.txt", true, true, false},
      {"ANN@site.txt", false, true, false},  // a file name as the folder lists it
      {"http://kept.example/", false, true, false},
      {"http://kept.example/page", false, false, false},
      {"example.com", false, false, true},
      {".mail.example.com.", false, false, true},
      {"ample.com", false, false, false},
      {"example.com.evil.net", false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.item);
    EXPECT_EQ(CookieFileKept(list, c.item), c.cookieFile);
    EXPECT_EQ(TypedAddressKept(list, c.item), c.typedAddress);
    EXPECT_EQ(SiteKept(c.item, sites), c.site);
  }
}

TEST_F(KeepListsTest, ListContainsIgnoresCaseAndSurroundingBlanks) {
  Form f(w.loop, "F", 100, 100);
  ListBox list(f, "l", 0, 0, 10, 10);
  list.AddItem("  Ann@Site.txt ");
  EXPECT_TRUE(ListContains(list, "ann@site.TXT"));
  EXPECT_FALSE(ListContains(list, "ann@site.txt2"));
}

TEST_F(KeepListsTest, CookieListFileHoldsNumberedEntriesThenCounter) {
  SaveCookieKeepList(w.ctx, {"a.txt", "b.txt"});
  EXPECT_EQ(w.files.Data(kIni),
            "[Cookies]\r\nCookie_Keep1=a.txt\r\nCookie_Keep2=b.txt\r\nCounter=2\r\n");
  EXPECT_EQ(KeptCookies(), (Lines{"a.txt", "b.txt"}));

  // Saving again erases the old file (a counted erase) and leaves no extra entries.
  const int before = w.ctx.FilesDeleted;
  SaveCookieKeepList(w.ctx, {"c.txt"});
  EXPECT_EQ(w.ctx.FilesDeleted, before + 1);
  EXPECT_EQ(w.files.Data(kIni), "[Cookies]\r\nCookie_Keep1=c.txt\r\nCounter=1\r\n");
  EXPECT_FALSE(w.files.Exists(std::string(kIni) + ".new"));

  SaveCookieKeepList(w.ctx, {});
  EXPECT_EQ(w.files.Data(kIni), "[Cookies]\r\nCounter=0\r\n");
  EXPECT_TRUE(KeptCookies().empty());
}

TEST_F(KeepListsTest, CookieSaveThatCannotSwapKeepsACookiesIniWithOneWholeList) {
  const std::string oldIni = "[Cookies]\r\nCookie_Keep1=keep.txt\r\nCounter=1\r\n";
  const std::string fresh = std::string(kIni) + ".new", old = std::string(kIni) + ".old";
  // The old file cannot be moved aside (in use elsewhere): nothing changes.
  w.files.AddFile(kIni, oldIni);
  w.files.Lock(kIni);
  SaveCookieKeepList(w.ctx, {"a.txt"});
  EXPECT_EQ(w.files.Data(kIni), oldIni);
  EXPECT_FALSE(w.files.Exists(fresh));
  EXPECT_FALSE(w.files.Exists(old));
  EXPECT_EQ(w.ctx.FilesDeleted, 0);

  // The new file cannot be moved in (held by a scanner as it is written): the
  // old one goes back in place.
  TestWorld v;
  v.files.AddFolder(kProgram);
  v.files.AddFile(kIni, oldIni);
  v.files.onWrite = [&v, &fresh](const std::string& path) {
    if (path == fresh) v.files.Lock(fresh);
  };
  SaveCookieKeepList(v.ctx, {"a.txt"});
  EXPECT_EQ(v.files.Data(kIni), oldIni);
  EXPECT_FALSE(v.files.Exists(old));
  EXPECT_EQ(v.ctx.FilesDeleted, 0);

  // Once the swap worked, the old list is erased under its aside name, counted.
  TestWorld u;
  u.files.AddFolder(kProgram);
  u.files.AddFile(kIni, oldIni);
  u.files.AddFile(old, "stale");
  SaveCookieKeepList(u.ctx, {"a.txt"});
  EXPECT_EQ(u.files.Data(kIni), "[Cookies]\r\nCookie_Keep1=a.txt\r\nCounter=1\r\n");
  EXPECT_FALSE(u.files.Exists(old));
  EXPECT_EQ(u.ctx.FilesDeleted, 1);
}

TEST_F(KeepListsTest, StaleNewFileDoesNotLeakIntoTheSavedList) {
  w.files.AddFile(std::string(kIni) + ".new", "[Cookies]\r\nCookie_Keep7=old.txt\r\n");
  SaveCookieKeepList(w.ctx, {"a.txt"});
  EXPECT_EQ(w.files.Data(kIni), "[Cookies]\r\nCookie_Keep1=a.txt\r\nCounter=1\r\n");
}

TEST_F(KeepListsTest, FailedSavesLeaveTheOldListsAsTheyWere) {
  const std::string oldIni = "[Cookies]\r\nCookie_Keep1=keep.txt\r\nCounter=1\r\n";
  w.files.AddFile(kIni, oldIni);
  w.files.AddFile(kBackup, "http://keep.example/\r\n");
  w.files.FailWritesAfter(60);
  SaveCookieKeepList(w.ctx, {"a.txt", "b.txt", "c.txt", "d.txt"});
  SaveAddresses({"http://one.example/", "http://two.example/", "http://three.example/"});
  EXPECT_EQ(w.files.Data(kIni), oldIni);
  EXPECT_EQ(w.files.Data(kBackup), "http://keep.example/\r\n");
  EXPECT_EQ(w.ctx.FilesDeleted, 0);
  EXPECT_FALSE(w.files.Exists(std::string(kIni) + ".new"));
  EXPECT_FALSE(w.files.Exists(std::string(kBackup) + ".new"));
}

TEST_F(KeepListsTest, TypedListIsOneLinePerAddressAndNoFileWhenEmpty) {
  SaveAddresses({"http://a.example/", "", "http://b.example/"});
  EXPECT_EQ(w.files.Data(kBackup), "http://a.example/\r\n\r\nhttp://b.example/\r\n");
  EXPECT_EQ(KeptAddresses(), (Lines{"http://a.example/", "", "http://b.example/"}));
  SaveAddresses({});
  EXPECT_FALSE(w.files.Exists(kBackup));
  EXPECT_EQ(w.ctx.FilesDeleted, 0);  // a plain delete, not counted
  EXPECT_TRUE(KeptAddresses().empty());
}

TEST_F(KeepListsTest, LongEntriesComeBackCutFromCookiesIniButWholeFromBackupDat) {
  const std::string longName(300, 'n');
  SaveCookieKeepList(w.ctx, {longName});
  SaveAddresses({longName});
  EXPECT_EQ(KeptCookies(), (Lines{longName.substr(0, 254)}));
  EXPECT_EQ(KeptAddresses(), (Lines{longName}));
}

TEST_F(KeepListsTest, CounterGivesThatManyEntriesMissingOnesEmpty) {
  w.files.AddFile(kIni, "[Cookies]\r\nCookie_Keep1=a.txt\r\nCookie_Keep3=c.txt\r\nCounter= 3 \r\n");
  EXPECT_EQ(KeptCookies(), (Lines{"a.txt", "", "c.txt"}));
  for (const char* counter : {"", "  ", "2.5", "abc", "-2", "0"}) {
    w.files.AddFile(kIni, std::string("[Cookies]\r\nCookie_Keep1=a.txt\r\nCounter=") + counter);
    EXPECT_TRUE(KeptCookies().empty()) << counter;
  }
}

TEST_F(KeepListsTest, DamagedCounterMakesUpNoEntriesPastTheLastKeyItHolds) {
  // A key that exists, even empty, is an entry; none are made up after the last.
  w.files.AddFile(kIni, "[Cookies]\r\nCookie_Keep1=a.txt\r\nCookie_Keep3=\r\nCounter=4000000000\r\n");
  EXPECT_EQ(KeptCookies(), (Lines{"a.txt", "", ""}));
  w.files.AddFile(kIni, "[Cookies]\r\nCookie_Keep1=a.txt\r\nCounter=4000000000\r\n");
  EXPECT_EQ(KeptCookies(), (Lines{"a.txt"}));
  // Counter still ends the list; keys past it, or spelt otherwise, are no entries.
  w.files.AddFile(kIni,
                  "[Cookies]\r\nCookie_Keep1=a\r\nCookie_Keep5=e\r\nCookie_Keep02=b\r\n"
                  "Cookie_Keep99999999999999999999=z\r\nCounter=2\r\n");
  EXPECT_EQ(KeptCookies(), (Lines{"a", ""}));
}

TEST_F(KeepListsTest, BigKeepListsAreReadAndWrittenInOnePass) {
  std::vector<std::string> many;
  for (int i = 0; i < 20000; ++i) many.push_back("user@site" + std::to_string(i) + "[1].txt");
  w.DecideDataFolder();
  int writes = 0;
  w.files.onWrite = [&writes](const std::string&) { ++writes; };
  SaveCookieKeepList(w.ctx, many);
  SaveAddresses(many);
  EXPECT_EQ(writes, 2);
  EXPECT_EQ(w.profile.writes, 0);

  const int reads = w.files.reads;
  EXPECT_EQ(KeptCookies(), many);
  EXPECT_EQ(KeptAddresses(), many);
  EXPECT_EQ(w.files.reads - reads, 2);
  EXPECT_EQ(w.profile.reads, 0);
}

// ---- The dialog ------------------------------------------------------------

TEST_F(KeepListsTest, CookieDialogListsFilesAndStoredListAndSavesOnOk) {
  w.files.AddFile("C:\\Cookies\\ann@a[1].txt");
  w.files.AddFile("C:\\Cookies\\ann@b[1].txt");
  w.files.AddFile("C:\\Cookies\\index.dat");
  w.files.AddFile(kIni, "[Cookies]\r\nCookie_Keep1=ANN@A[1].TXT \r\nCounter=1\r\n");
  Open(true, [](FrmKeepList& d) {
    EXPECT_EQ(d.strip.title.Caption(), "Keep List ...");
    EXPECT_EQ(d.lstCurrentList.Lines(), (Lines{"ann@a[1].txt", "ann@b[1].txt"}));
    EXPECT_EQ(d.lstKeepList.Lines(), (Lines{"ANN@A[1].TXT"}));
    d.CmdSelectAll.UserClick();
    EXPECT_TRUE(d.lstCurrentList.Selected(0) && d.lstCurrentList.Selected(1));
    d.Label3.UserClick();  // ann@a is kept already, in other letter case
    EXPECT_EQ(d.lstKeepList.Lines(), (Lines{"ANN@A[1].TXT", "ann@b[1].txt"}));
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(w.loop.modalShown, (Lines{"FrmKeepList"}));
  EXPECT_EQ(w.ctx.keepListMode, KeepListMode::Cookies);
  EXPECT_EQ(KeptCookies(), (Lines{"ANN@A[1].TXT", "ann@b[1].txt"}));
}

TEST_F(KeepListsTest, CounterWithAGapIsWrittenBackWithTheEmptyEntry) {
  w.files.AddFile(kIni, "[Cookies]\r\nCookie_Keep1=a.txt\r\nCookie_Keep3=c.txt\r\nCounter=3\r\n");
  Open(true, [](FrmKeepList& d) { d.cmdOK.UserClick(); });
  EXPECT_EQ(
      w.files.Data(kIni),
      "[Cookies]\r\nCookie_Keep1=a.txt\r\nCookie_Keep2=\r\nCookie_Keep3=c.txt\r\nCounter=3\r\n");
}

TEST_F(KeepListsTest, DeleteRemovesEverySelectedEntry) {
  w.files.AddFile(kBackup, "one\r\ntwo\r\nthree\r\nfour\r\nfive\r\nsix\r\n");
  Open(false, [](FrmKeepList& d) {
    SelectOnly(d.lstKeepList, {0, 2, 5});
    d.CmdKeepListDelete.UserClick();
    EXPECT_EQ(d.lstKeepList.Lines(), (Lines{"two", "four", "five"}));
    d.CmdKeepListSelectAll.UserClick();
    d.CmdKeepListDelete.UserClick();
    EXPECT_EQ(d.lstKeepList.ListCount(), 0);
    d.cmdOK.UserClick();
  });
  EXPECT_FALSE(w.files.Exists(kBackup));
}

TEST_F(KeepListsTest, TypedAddressDialogAddsSkipsBlanksAndDuplicatesAndRefreshes) {
  Typed(1, "http://a.example/");
  Typed(2, "http://b.example/");
  w.files.AddFile(kBackup, "  HTTP://A.EXAMPLE/\r\n");
  Open(false, [this](FrmKeepList& d) {
    EXPECT_EQ(d.lstCurrentList.Lines(), (Lines{"http://a.example/", "http://b.example/"}));
    SelectOnly(d.lstCurrentList, {0, 1});
    d.Picture1.UserClick();
    EXPECT_EQ(d.lstKeepList.Lines(), (Lines{"  HTTP://A.EXAMPLE/", "http://b.example/"}));
    Typed(3, "http://c.example/");
    d.CmdRefresh.UserClick();
    EXPECT_EQ(d.lstCurrentList.ListCount(), 3);
    EXPECT_EQ(d.lstKeepList.ListCount(), 2);  // Refresh leaves the keep list alone
    d.cmdOK.UserClick();
  });
  EXPECT_EQ(w.ctx.keepListMode, KeepListMode::TypedAddresses);
  EXPECT_EQ(w.files.Data(kBackup), "  HTTP://A.EXAMPLE/\r\nhttp://b.example/\r\n");
}

TEST_F(KeepListsTest, CancelAndCloseImageWriteNothing) {
  w.files.AddFile("C:\\Cookies\\x.txt");
  Typed(1, "http://a.example/");
  w.files.AddFile(kIni, "[Cookies]\r\nCounter=0\r\n");
  for (const char* closer : {"Command6", "Image1"}) {
    for (bool cookies : {true, false}) {
      Open(cookies, [closer](FrmKeepList& d) {
        d.CmdSelectAll.UserClick();
        d.Label3.UserClick();
        d.Find(closer)->UserClick();
        EXPECT_FALSE(d.Visible());
      });
    }
  }
  EXPECT_EQ(w.files.Data(kIni), "[Cookies]\r\nCounter=0\r\n");
  EXPECT_FALSE(w.files.Exists(kBackup));
}

}  // namespace
}  // namespace nimbrel
