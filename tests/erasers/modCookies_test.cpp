#include "erasers/modCookies.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"
#include "settings/KeepLists.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;

class CookiesTest : public ::testing::Test {
 protected:
  CookiesTest() {
    w.ctx.SetReport(&w.report);
    w.ctx.CookiesFolder = kFolder;
    w.files.AddFolder(w.system.programFolder);
    w.DecideDataFolder();
  }
  void Plant(const std::string& name, std::uint32_t attributes = kAttrArchive) {
    w.files.AddFile(kFolder + "\\" + name, "cookie", attributes);
  }
  bool Has(const std::string& name) const { return w.files.Exists(kFolder + "\\" + name); }
  void KeepList(const Lines& entries) {
    ASSERT_TRUE(WriteCookieKeepListFile(w.ctx.platform, entries, kIni));
  }
  const std::string kFolder = "C:\\Documents and Settings\\user\\Cookies";
  const std::string kIni = "C:\\Program Files\\Nimbrel\\Cookies.ini";
  TestWorld w;
};

TEST_F(CookiesTest, WithoutKeepListEveryFileButIndexDatGoesWithALineEach) {
  Plant("a@one[1].txt");
  Plant("h@hidden[1].txt", kAttrHidden);
  Plant("s@system[1].txt", kAttrSystem);
  Plant("index.dat");
  w.files.AddFile(kFolder + "\\sub\\inner.txt", "kept");
  DeleteIECookies(w.ctx);
  EXPECT_EQ(w.report.lines, (Lines{"  a@one[1].txt", "  h@hidden[1].txt", "  s@system[1].txt"}));
  EXPECT_FALSE(Has("a@one[1].txt"));
  EXPECT_FALSE(Has("h@hidden[1].txt"));
  EXPECT_FALSE(Has("s@system[1].txt"));
  EXPECT_TRUE(Has("index.dat"));
  EXPECT_TRUE(Has("sub\\inner.txt"));
  // Deleted by name: not overwritten, not counted.
  EXPECT_EQ(w.files.writes, 0);
  EXPECT_EQ(w.ctx.FilesDeleted, 0);
  EXPECT_EQ(w.ctx.BytesErased, 0u);
}

TEST_F(CookiesTest, IndexDatIsSparedOnlyWhenSpeltExactlySo) {
  Plant("INDEX.DAT");
  DeleteIECookies(w.ctx);
  EXPECT_EQ(w.report.lines, (Lines{"  INDEX.DAT"}));
  EXPECT_FALSE(Has("INDEX.DAT"));
}

TEST_F(CookiesTest, KeepListSparesExactNamesReadingTheFileOncePerRun) {
  Plant("other[1].txt");
  Plant("user@case[1].txt");
  Plant("user@keep[1].txt");
  Plant("user@quoted[1].txt");
  // An entry counts as the profile functions read it back: quotes stripped.
  w.files.AddFile(kIni,
                  "[Cookies]\r\nCookie_Keep1=user@keep[1].txt\r\nCookie_Keep2=USER@CASE[1].TXT\r\n"
                  "Cookie_Keep3=\"user@quoted[1].txt\"\r\nCounter=3\r\n");
  const int reads = w.files.reads, profileReads = w.profile.reads;
  DeleteIECookies(w.ctx);
  EXPECT_FALSE(Has("other[1].txt"));
  EXPECT_FALSE(Has("user@case[1].txt"));  // differs in letter case only
  EXPECT_TRUE(Has("user@keep[1].txt"));
  EXPECT_TRUE(Has("user@quoted[1].txt"));
  // Kept cookies are listed too.
  EXPECT_EQ(w.report.lines, (Lines{"  other[1].txt", "  user@case[1].txt", "  user@keep[1].txt",
                                   "  user@quoted[1].txt"}));
  EXPECT_EQ(w.files.reads - reads, 1);
  EXPECT_EQ(w.profile.reads, profileReads);
}

TEST_F(CookiesTest, CounterZeroKeepsNothing) {
  Plant("user@keep[1].txt");
  KeepList({});
  DeleteIECookies(w.ctx);
  EXPECT_FALSE(Has("user@keep[1].txt"));
}

TEST_F(CookiesTest, DamagedCounterKeepsExactlyTheEntriesTheFileHolds) {
  // A Counter near its bound over a file of debris: a run that looked up
  // every entry Counter asks for would read the file 700,000 times a cookie.
  const std::string debris(10'000'000, 'x');
  w.files.AddFile(kIni,
                  "[Cookies]\r\nCookie_Keep1=a@keep[1].txt\r\nCookie_Keep3=c@keep[1].txt\r\n"
                  "Counter=700000\r\n" + debris + "\r\n");
  for (const char* name : {"a@keep[1].txt", "b@gone[1].txt", "c@keep[1].txt", "d@gone[1].txt"})
    Plant(name);
  const int reads = w.files.reads, profileReads = w.profile.reads;
  DeleteIECookies(w.ctx);
  EXPECT_TRUE(Has("a@keep[1].txt"));
  EXPECT_TRUE(Has("c@keep[1].txt"));
  EXPECT_FALSE(Has("b@gone[1].txt"));
  EXPECT_FALSE(Has("d@gone[1].txt"));
  EXPECT_EQ(w.files.reads - reads, 1);
  EXPECT_EQ(w.profile.reads, profileReads);
}

TEST_F(CookiesTest, CounterNotAWholeNumberOrAKeepListThatIsNoFileKeepsNothing) {
  const std::string ini = kIni;
  for (const std::string counter : {"two", "1.5", "-1", ""}) {
    Plant("user@keep[1].txt");
    w.files.AddFile(ini, "[Cookies]\r\nCookie_Keep1=user@keep[1].txt\r\nCounter=" + counter);
    DeleteIECookies(w.ctx);
    EXPECT_FALSE(Has("user@keep[1].txt")) << counter;
  }
  w.files.Delete(ini);
  w.files.AddFolder(ini);
  Plant("user@keep[1].txt");
  DeleteIECookies(w.ctx);
  EXPECT_FALSE(Has("user@keep[1].txt"));
}

TEST_F(CookiesTest, ReadOnlyCookieGoesOnceItsAttributesAreClearedAndALockedOneStays) {
  Plant("a@locked[1].txt");
  w.files.Lock(kFolder + "\\a@locked[1].txt");
  Plant("b@readonly[1].txt", kAttrReadOnly | kAttrHidden);
  Plant("c@plain[1].txt");
  DeleteIECookies(w.ctx);
  EXPECT_FALSE(Has("b@readonly[1].txt"));
  EXPECT_TRUE(Has("a@locked[1].txt"));
  EXPECT_EQ(w.files.Attributes(kFolder + "\\a@locked[1].txt"), kAttrNormal);
  EXPECT_FALSE(Has("c@plain[1].txt"));
}

TEST_F(CookiesTest, NothingOutsideTheFolderThroughALink) {
  w.files.AddFile("C:\\Outside\\victim.txt", "precious");
  w.files.AddFileLink(kFolder + "\\link@x[1].txt", "C:\\Outside\\victim.txt");
  w.files.AddFile("C:\\Outside\\inner\\deep.txt", "precious");
  w.files.AddFolderLink(kFolder + "\\folder", "C:\\Outside\\inner");
  DeleteIECookies(w.ctx);
  EXPECT_EQ(w.files.Data("C:\\Outside\\victim.txt"), "precious");
  EXPECT_TRUE(w.files.Exists("C:\\Outside\\inner\\deep.txt"));
  EXPECT_TRUE(w.files.deleted.empty());
}

TEST_F(CookiesTest, NothingThroughACookiesFolderThatIsOrLiesBelowALink) {
  const std::string docs = "C:\\Documents and Settings\\user\\My Documents";
  w.files.AddFile(docs + "\\doc.txt", "mine");
  w.files.AddFile(docs + "\\Cookies\\doc.txt", "mine");
  w.files.AddFolderLink("C:\\Linked", docs);
  w.files.AddFolderLink("C:\\Profile\\Cookies", docs);
  for (const std::string folder : {"C:\\Profile\\Cookies", "C:\\Profile\\Cookies\\",
                                   "C:\\Linked\\Cookies", "C:\\LINKED\\cookies\\"}) {
    w.ctx.CookiesFolder = folder;
    DeleteIECookies(w.ctx);
    EXPECT_TRUE(w.files.deleted.empty()) << folder;
  }
  EXPECT_EQ(w.files.Data(docs + "\\doc.txt"), "mine");
  // Each refusal is told, and nothing else is.
  EXPECT_EQ(w.report.lines.size(), 4u);
  for (const std::string& line : w.report.lines)
    EXPECT_TRUE(line.starts_with("  left (refused: link): ")) << line;
}

TEST_F(CookiesTest, ACookieFoundElsewhereThroughItsHandleIsLeftAndSoIsTheFolder) {
  // The folder becomes a link to Documents, which holds files of the same
  // names, once the first cookie is deleted.
  const std::string docs = "C:\\Documents and Settings\\user\\My Documents";
  for (const char* name : {"a@one[1].txt", "b@two[1].txt", "c@three[1].txt"}) {
    Plant(name);
    w.files.AddFile(docs + "\\" + name, "mine");
  }
  w.loop.onDoEvents = [&](int) {
    if (!Has("a@one[1].txt") && !w.files.IsLink(kFolder)) w.files.SwapForFolderLink(kFolder, docs);
  };
  DeleteIECookies(w.ctx);
  for (const char* name : {"a@one[1].txt", "b@two[1].txt", "c@three[1].txt"})
    EXPECT_EQ(w.files.Data(docs + "\\" + name), "mine") << name;
  EXPECT_EQ(w.files.deleted, Lines{kFolder + "\\a@one[1].txt"});
  EXPECT_EQ(w.report.lines, (Lines{"  a@one[1].txt", "  b@two[1].txt"}));
}

TEST_F(CookiesTest, NothingWhenTheFolderIsUnsetRelativeRootOrProtected) {
  w.files.AddFile("C:\\root@cookie[1].txt");
  w.files.AddFile("C:\\WINDOWS\\win.ini");
  w.files.AddFile("C:\\Documents and Settings\\user\\ntuser.dat");
  for (const std::string folder :
       {"", "Cookies", "C:", "C:\\", "\\", "C:\\WINDOWS", "C:\\Documents and Settings\\user\\",
        "C:\\Documents and Settings\\user\\Cookies\\.."}) {
    w.ctx.CookiesFolder = folder;
    DeleteIECookies(w.ctx);
  }
  EXPECT_TRUE(w.files.deleted.empty());
  EXPECT_EQ(w.report.lines,
            (Lines{"  left (refused: drive root): C:\\",
                   "  left (refused: protected folder): C:\\WINDOWS",
                   "  left (refused: protected folder): C:\\Documents and Settings\\user\\",
                   "  left (refused: protected folder): "
                   "C:\\Documents and Settings\\user\\Cookies\\.."}));
}

}  // namespace
}  // namespace nimbrel
