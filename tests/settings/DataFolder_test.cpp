#include "settings/DataFolder.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"
#include "settings/KeepLists.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;

const std::string kProgram = "C:\\Program Files\\Nimbrel";
const std::string kAppData = "C:\\Documents and Settings\\user\\Application Data";
const std::string kMine = kAppData + "\\Nimbrel";

class DataFolderTest : public ::testing::Test {
 protected:
  DataFolderTest() {
    w.files.AddFolder(kProgram);
    w.files.AddFolder(kAppData);
  }
  Lines Kept() { return ReadTypedAddressKeepList(w.ctx.platform, w.ctx.dataFolder); }
  void Save(const Lines& lines) {
    SaveTypedAddressKeepList(w.ctx.platform, w.ctx.dataFolder, lines);
  }
  TestWorld w;
};

// Backup.dat through a first read, a save and a read after it, by whether the
// program folder may be written to and what an earlier copy left beside the exe.
TEST_F(DataFolderTest, FilesLiveBesideTheExeOnlyWhenItsFolderMayBeWritten) {
  const struct {
    const char* name;
    bool writable;
    const char* old;  // Backup.dat beside the exe; null: none
    Lines saved;
    std::string savedIn;  // where Backup.dat is after the save; empty: nowhere
  } cases[] = {
      {"portable copy", true, "http://old.example/\r\n", {"http://new.example/"}, kProgram},
      {"installed", false, nullptr, {"http://new.example/"}, kMine},
      {"installed over earlier files", false, "http://old.example/\r\n", {"http://new.example/"},
       kMine},
      {"installed over earlier files, list emptied", false, "http://old.example/\r\n", {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestWorld v;
    v.files.AddFolder(kProgram);
    v.files.AddFolder(kAppData);
    if (c.old) v.files.AddFile(kProgram + "\\Backup.dat", c.old);
    v.files.AddFile(kProgram + "\\Cookies.ini", "[Cookies]\r\nCounter=0\r\n");
    v.files.AddFile(kProgram + "\\Winapp2.ini", "[A *]\r\n");
    if (!c.writable) v.files.DenyWrites(kProgram);
    const Platform& p = v.ctx.platform;
    DataFolder& data = v.ctx.dataFolder;

    EXPECT_EQ(ReadTypedAddressKeepList(p, data), c.old ? Lines{"http://old.example/"} : Lines{});
    SaveTypedAddressKeepList(p, data, c.saved);
    EXPECT_EQ(ReadTypedAddressKeepList(p, data), c.saved);
    EXPECT_EQ(v.files.Exists(kProgram + "\\Backup.dat"), c.old || c.savedIn == kProgram);
    EXPECT_EQ(v.files.Exists(kMine + "\\Backup.dat"), c.savedIn == kMine);
    if (!c.savedIn.empty()) {
      EXPECT_EQ(v.files.Data(c.savedIn + "\\Backup.dat"), "http://new.example/\r\n");
    }
    // The files beside an exe in a folder that may not be written to stay as
    // they were; the first save took copies of the others along.
    EXPECT_EQ(v.files.Exists(kMine), !c.writable);
    if (!c.writable) {
      if (c.old) {
        EXPECT_EQ(v.files.Data(kProgram + "\\Backup.dat"), c.old);
      }
      EXPECT_EQ(v.files.Data(kMine + "\\Cookies.ini"), "[Cookies]\r\nCounter=0\r\n");
      EXPECT_EQ(v.files.Data(kMine + "\\Winapp2.ini"), "[A *]\r\n");
    }
    EXPECT_FALSE(v.files.Exists(kProgram + "\\" + kWriteProbeFile));
  }
}

TEST_F(DataFolderTest, ThePlaceIsDecidedOnceByAProbeBesideTheExe) {
  EXPECT_EQ(w.ctx.dataFolder.SaveFolder(w.ctx.platform), kProgram);
  EXPECT_EQ(w.files.deleted, Lines{kProgram + "\\" + kWriteProbeFile});
  // The folder's rights change while the program runs: it keeps its place.
  w.files.DenyWrites(kProgram);
  Save({"http://a.example/"});
  EXPECT_EQ(w.ctx.dataFolder.SaveFolder(w.ctx.platform), kProgram);
  EXPECT_EQ(w.files.deleted.size(), 1u);

  // No application-data folder known: the program folder, as ever.
  TestWorld v;
  v.files.AddFolder(kProgram);
  v.files.DenyWrites(kProgram);
  v.shell.specialFolders.erase(kCsidlAppData);
  EXPECT_EQ(v.ctx.dataFolder.SaveFolder(v.ctx.platform), kProgram);
}

TEST_F(DataFolderTest, AnEarlierFileThatCannotBeCopiedKeepsThemAllBesideTheExe) {
  w.files.AddFile(kProgram + "\\Backup.dat", "http://old.example/\r\n");
  w.files.AddFile(kProgram + "\\Log.txt", "the log");
  w.files.LockExclusive(kProgram + "\\Log.txt");
  w.files.DenyWrites(kProgram);
  Save({"http://new.example/"});
  EXPECT_FALSE(w.files.Exists(kMine));
  EXPECT_EQ(Kept(), Lines{"http://old.example/"});
}

// The program's own files are never written, made or deleted through a link or
// a second name of a user's file: the probe takes a name nothing has, a link
// or a hard link at a file's name refuses the write, and an application-data
// folder that is a link is not used.
TEST_F(DataFolderTest, TheProgramsOwnFilesNeverReachAUsersFileThroughALink) {
  const std::string thesis = "C:\\Documents and Settings\\user\\My Documents\\thesis.doc";
  const struct {
    const char* name;
    bool writable;  // the program folder
    std::function<void(TestWorld&)> plant;
    std::string savedIn;
  } cases[] = {
      {"the probe's name a file link", true,
       [&](TestWorld& v) { v.files.AddFileLink(kProgram + "\\" + kWriteProbeFile, thesis); }, kProgram},
      {"the probe's name a hard link", true,
       [&](TestWorld& v) { v.files.AddHardLink(thesis, kProgram + "\\" + kWriteProbeFile); }, kProgram},
      {"Backup.dat a file link", true,
       [&](TestWorld& v) { v.files.AddFileLink(kProgram + "\\Backup.dat", thesis); }, ""},
      {"Backup.dat a hard link", true,
       [&](TestWorld& v) { v.files.AddHardLink(thesis, kProgram + "\\Backup.dat"); }, ""},
      {"the application-data folder a link", false,
       [&](TestWorld& v) {
         v.files.AddFolderLink(kMine, "C:\\Documents and Settings\\user\\My Documents");
       },
       ""},
      {"the application-data folder a file", false,
       [&](TestWorld& v) { v.files.AddFile(kMine, "x"); }, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestWorld v;
    v.files.AddFolder(kProgram);
    v.files.AddFolder(kAppData);
    v.files.AddFile(thesis, "the thesis");
    if (!c.writable) v.files.DenyWrites(kProgram);
    c.plant(v);
    SaveTypedAddressKeepList(v.ctx.platform, v.ctx.dataFolder, {"http://kept.example/"});
    EXPECT_EQ(v.files.ReadAll(thesis), "the thesis");
    EXPECT_EQ(v.files.Find("C:\\Documents and Settings\\user\\My Documents\\*").size(), 3u);
    EXPECT_EQ(v.files.Exists(c.savedIn + "\\Backup.dat") && !c.savedIn.empty(), !c.savedIn.empty());
    EXPECT_EQ(v.ctx.dataFolder.TakeRefusal(), c.writable ? "" : kMine);
    EXPECT_EQ(v.ctx.dataFolder.TakeRefusal(), "");
  }
}

}  // namespace
}  // namespace nimbrel
