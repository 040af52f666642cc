#include "erasers/EraseDATFiles.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"
#include "platform/Text.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;

class EraseDATFilesTest : public ::testing::Test {
 protected:
  EraseDATFilesTest() {
    w.ctx.SetReport(&w.report);
    w.files.AddFolder("C:\\WINDOWS\\system32");
    w.ctx.CacheFolder = kProfile + "\\Local Settings\\Temporary Internet Files";
    w.ctx.HistoryFolder = kHistory;
    w.ctx.CookiesFolder = kProfile + "\\Cookies";
  }
  // index.dat in the History folder's root and in two day folders, under the
  // hidden system folder that holds them on Windows.
  void PlantHistory() {
    w.files.AddFolder(kHistory + "\\History.IE5", kAttrHidden | kAttrSystem);
    w.files.AddFile(kHistory + "\\index.dat");
    w.files.AddFile(kHistory + "\\History.IE5\\MSHist012024010120240108\\index.dat");
    w.files.AddFile(kHistory + "\\History.IE5\\MSHist012024010820240115\\index.dat");
    w.files.AddFile(kHistory + "\\History.IE5\\MSHist012024010820240115\\desktop.ini");
    w.files.AddFile(kHistory + "\\History.IE5\\hidden\\index.dat", "", kAttrHidden);
    w.files.AddFile(kHistory + "\\History.IE5\\system\\index.dat", "", kAttrSystem);
  }
  std::string Batch() const { return w.files.Data("C:\\WINDOWS\\DelIndex.BAT"); }
  std::string Autoexec() const { return w.files.Data("C:\\Autoexec.bat"); }

  const std::string kProfile = "C:\\Documents and Settings\\user";
  const std::string kHistory = kProfile + "\\Local Settings\\History";
  const std::string kDay1 = kHistory + "\\History.IE5\\MSHist012024010120240108\\index.dat";
  const std::string kDay2 = kHistory + "\\History.IE5\\MSHist012024010820240115\\index.dat";
  const std::string kOnce = "@ECHO OFF\r\nDEL \"" + kDay1 + "\"\r\nDEL \"" + kDay2 +
                            "\"\r\nDEL \"" + kHistory + "\\index.dat\"\r\n";
  const std::string kAutoexecLines = "@ECHO OFF\r\nC:\\WINDOWS\\DelIndex.BAT\r\n";
  TestWorld w;
};

TEST_F(EraseDATFilesTest, BatchNamesTheVisibleIndexDatFilesDayFoldersFirst) {
  PlantHistory();
  CreateIndexDatBatch(w.ctx, kHistory);
  EXPECT_EQ(Batch(), kOnce);
  // A missing Autoexec.bat is created with the two lines.
  EXPECT_EQ(Autoexec(), kAutoexecLines);
  // Each file the batch names is also registered for deletion at the next start.
  EXPECT_EQ(w.files.rebootDeletes, (Lines{kDay1, kDay2, kHistory + "\\index.dat"}));
  EXPECT_TRUE(w.files.Exists(kDay1));
}

TEST_F(EraseDATFilesTest, EachPathIsWrittenOnceHoweverManyRunsAndAutoexecKeepsOnePair) {
  PlantHistory();
  w.files.AddFile("C:\\Autoexec.bat", "SET BLASTER=A220\r\n");
  CreateIndexDatBatch(w.ctx, kHistory + "\\");
  CreateIndexDatBatch(w.ctx, kHistory);
  EXPECT_EQ(Batch(), kOnce);
  EXPECT_EQ(Autoexec(), "SET BLASTER=A220\r\n" + kAutoexecLines);
  // A new day folder adds its line; the lines there already (any letter
  // case, a last one without its line end) are not written again.
  const std::string day3 = kHistory + "\\History.IE5\\MSHist012024011520240122\\index.dat";
  w.files.AddFile(day3);
  w.files.WriteAll("C:\\WINDOWS\\DelIndex.BAT", ToLower(kOnce.substr(0, kOnce.size() - 2)));
  CreateIndexDatBatch(w.ctx, kHistory);
  EXPECT_EQ(Batch(), ToLower(kOnce) + "DEL \"" + day3 + "\"\r\n");
}

TEST_F(EraseDATFilesTest, OnlyFilesNamedIndexDatAreNamedOrRegistered) {
  const std::string day = kHistory + "\\History.IE5\\MSHist012024010120240108\\";
  for (const char* name : {"index.dat.bak", "myindex.dat", "notes_index.dat.txt", "INDEX.DAT.old",
                           "index.dat.doc", "index.dat ~"})
    w.files.AddFile(day + name, "kept");
  w.files.AddFile(day + "INDEX.DAT", "index");
  CreateIndexDatBatch(w.ctx, kHistory);
  EXPECT_EQ(Batch(), "@ECHO OFF\r\nDEL \"" + day + "INDEX.DAT\"\r\n");
  EXPECT_EQ(w.files.rebootDeletes, (Lines{day + "INDEX.DAT"}));
}

TEST_F(EraseDATFilesTest, NothingIsNamedOrDeletedThroughALinkedFolder) {
  // Documents, reached through a link as the History, Cache or Cookies
  // folder or as a folder below one, holds an index.dat of its own.
  const std::string docs = kProfile + "\\My Documents";
  for (const char* folder : {"", "\\Content.IE5", "\\history.ie5", "\\Sub", "\\Sub\\Content.IE5",
                             "\\Sub\\history.ie5"})
    w.files.AddFile(docs + folder + "\\index.dat", "mine");
  w.files.AddFolderLink("C:\\Linked", docs);
  w.files.AddFolderLink(kProfile + "\\Cookies", docs);
  w.files.AddFolderLink(kProfile + "\\Cache\\Content.IE5", docs + "\\Content.IE5");
  const struct {
    const char* what;
    std::string folder;
  } table[] = {
      {"the folder is a link", kProfile + "\\Cookies"},
      {"the folder lies below a link", "C:\\Linked\\Sub"},
      {"the folder's Content.IE5 is a link", kProfile + "\\Cache"},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.what);
    w.ctx.CacheFolder = w.ctx.HistoryFolder = w.ctx.CookiesFolder = row.folder;
    DeleteIndexDatFiles(w.ctx);
    CreateIndexDatBatch(w.ctx, row.folder);
    EXPECT_TRUE(w.files.deleted.empty());
    EXPECT_TRUE(w.files.rebootDeletes.empty());
    EXPECT_EQ(Batch().find("DEL"), std::string::npos);
  }
  EXPECT_EQ(w.files.Data(docs + "\\index.dat"), "mine");
}

// Neither file is written through a link: the lines would land in its target.
TEST_F(EraseDATFilesTest, NeitherFileIsWrittenThroughALink) {
  const char* const links[] = {"C:\\WINDOWS\\DelIndex.BAT", "C:\\Autoexec.bat"};
  for (const char* link : links) {
    SCOPED_TRACE(link);
    TestWorld world;
    world.files.AddFolder("C:\\WINDOWS\\system32");
    world.files.AddFile(kHistory + "\\index.dat");
    world.files.AddFile("C:\\Docs\\letter.doc", "Dear reader");
    world.files.AddFileLink(link, "C:\\Docs\\letter.doc");
    CreateIndexDatBatch(world.ctx, kHistory);
    EXPECT_EQ(world.files.Data("C:\\Docs\\letter.doc"), "Dear reader");
  }
}

TEST_F(EraseDATFilesTest, AutoexecNamingTheBatchIsLeftUnchanged) {
  w.files.AddFile(kHistory + "\\index.dat");
  for (const std::string text :
       {"@ECHO OFF\r\nC:\\WINDOWS\\DelIndex.BAT\r\n", "CALL c:\\windows\\delindex.bat",
        "SET A=1, \"C:\\WINDOWS\\DelIndex.BAT\"\r\nSET B=2\r\n"}) {
    w.files.WriteAll("C:\\Autoexec.bat", text);
    CreateIndexDatBatch(w.ctx, kHistory);
    EXPECT_EQ(Autoexec(), text);
  }
}

TEST_F(EraseDATFilesTest, AutoexecFieldsSplitAtCommasAndLineEnds) {
  // The path split by a comma, or by a line end, names no batch.
  for (const std::string text :
       {"C:\\WINDOWS\\Del,Index.BAT\r\n", "C:\\WINDOWS\\\r\nDelIndex.BAT\r\n"}) {
    w.files.WriteAll("C:\\Autoexec.bat", text);
    AddToAutoexec(w.ctx, "C:\\WINDOWS\\DelIndex.BAT");
    EXPECT_EQ(Autoexec(), text + kAutoexecLines);
  }
  // A last line without its line end gets one before the added lines.
  w.files.WriteAll("C:\\Autoexec.bat", "PATH C:\\DOS");
  AddToAutoexec(w.ctx, "C:\\WINDOWS\\DelIndex.BAT");
  EXPECT_EQ(Autoexec(), "PATH C:\\DOS\r\n" + kAutoexecLines);
}

TEST_F(EraseDATFilesTest, NoBatchForAnUnsafeHistoryFolderOrWithoutAWindowsFolder) {
  w.files.AddFile("C:\\index.dat");
  w.files.AddFile("C:\\WINDOWS\\index.dat");
  for (const std::string& folder : Lines{"", "History", "C:\\", "C:", "C:\\WINDOWS", kProfile})
    CreateIndexDatBatch(w.ctx, folder);
  w.files.AddFile(kHistory + "\\index.dat");
  w.system.systemDirectory = "";
  CreateIndexDatBatch(w.ctx, kHistory);
  w.system.systemDirectory = "C:\\system32";  // its folder would be the drive root
  CreateIndexDatBatch(w.ctx, kHistory);
  EXPECT_FALSE(w.files.Exists("C:\\WINDOWS\\DelIndex.BAT"));
  EXPECT_FALSE(w.files.Exists("C:\\DelIndex.BAT"));
  EXPECT_FALSE(w.files.Exists("C:\\Autoexec.bat"));
  EXPECT_TRUE(w.files.rebootDeletes.empty());
}

TEST_F(EraseDATFilesTest, BatchWalkNeverFollowsAFolderLink) {
  w.files.AddFile("C:\\Elsewhere\\index.dat");
  w.files.AddFolderLink(kHistory + "\\link", "C:\\Elsewhere");
  CreateIndexDatBatch(w.ctx, kHistory);
  EXPECT_EQ(Batch(), "@ECHO OFF\r\n");
  EXPECT_TRUE(w.files.rebootDeletes.empty());
}

TEST_F(EraseDATFilesTest, TheThreeKnownFilesGoAtOnceOrAtTheNextStart) {
  const std::string cache = w.ctx.CacheFolder + "\\Content.IE5\\index.dat";
  const std::string history = kHistory + "\\History.IE5\\index.dat";
  const std::string cookies = w.ctx.CookiesFolder + "\\index.dat";
  w.files.AddFile(cache);
  w.files.AddFile(history);
  w.files.AddFile(cookies);
  w.files.Lock(history);
  w.files.Lock(cookies);
  DeleteIndexDatFiles(w.ctx);
  EXPECT_FALSE(w.files.Exists(cache));
  EXPECT_EQ(w.files.rebootDeletes, (Lines{history, cookies}));
  // Plain deletes: not overwritten, not counted; those left till the next start are told.
  EXPECT_EQ(w.files.writes, 0);
  EXPECT_EQ(w.ctx.FilesDeleted, 0);
  EXPECT_EQ(w.report.calls, (Lines{"line   left (in use): " + kHistory + "\\history.ie5\\index.dat",
                                   "line   left (in use): " + cookies}));
}

TEST_F(EraseDATFilesTest, RefusedRegistrationChangesNothingElse) {
  PlantHistory();
  w.files.AddFile(w.ctx.CookiesFolder + "\\index.dat");
  w.files.Lock(w.ctx.CookiesFolder + "\\index.dat");
  w.files.refuseRebootDeletes = true;
  DeleteIndexDatFiles(w.ctx);
  CreateIndexDatBatch(w.ctx, kHistory);
  EXPECT_TRUE(w.files.Exists(w.ctx.CookiesFolder + "\\index.dat"));
  EXPECT_EQ(Batch(), kOnce);
  EXPECT_EQ(Autoexec(), kAutoexecLines);
}

TEST_F(EraseDATFilesTest, KnownFilesAreLeftInUnsafeFoldersAndAsLinks) {
  w.files.AddFile("C:\\Content.IE5\\index.dat");
  w.files.AddFile("C:\\index.dat");
  w.files.AddFile("C:\\Outside\\index.dat", "precious");
  w.files.AddFileLink(w.ctx.CookiesFolder + "\\index.dat", "C:\\Outside\\index.dat");
  w.ctx.CacheFolder = "";
  w.ctx.HistoryFolder = "C:\\";
  DeleteIndexDatFiles(w.ctx);
  EXPECT_TRUE(w.files.deleted.empty());
  EXPECT_TRUE(w.files.rebootDeletes.empty());
  EXPECT_EQ(w.files.Data("C:\\Outside\\index.dat"), "precious");
}

}  // namespace
}  // namespace nimbrel
