// The shredder overwrites, renames and deletes what the user chose, removes
// links themselves, and refuses drive roots and protected folders as wholes.
#include "erasers/ShredFiles.h"

#include <gtest/gtest.h>

#include "erasers/SecureOverwrite.h"
#include "erasers/modFiles.h"
#include "fakes/FakeDrives.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

const std::string kProfile = "C:\\Documents and Settings\\user";

struct World : TestWorld {
  FakeDrives drives{files};
  World() {
    ctx.SetReport(&report);
    system.env["ProgramFiles"] = "C:\\Program Files";
    shell.specialFolders[kCsidlPersonal] = kProfile + "\\My Documents";
    shell.specialFolders[kCsidlDesktopDirectory] = kProfile + "\\Desktop";
    files.AddFolder("C:\\WINDOWS\\system32");
    files.AddFolder("C:\\Program Files\\Nimbrel");
    files.AddFile(kProfile + "\\My Documents\\letter.doc", "Dear");
    files.AddFile(kProfile + "\\Desktop\\note.txt", "note");
    files.AddFile(kProfile + "\\Application Data\\app.ini", "ini");
  }
  std::vector<std::string> Shredded(const std::vector<std::string>& paths) {
    Shred(ctx, drives, PlanShred(ctx, paths));
    return report.lines;
  }
};

TEST(ShredFilesTest, EachFileIsOverwrittenRenamedThenDeletedAndFoldersGo) {
  World w;
  w.SetOption("chkenablesecureerasing", "1");
  w.SetOption("cmboverwriteTracksFiles", "1");
  const std::string secret = "C:\\Data\\secret-plans.txt";
  w.files.AddFile(secret, std::string(3000, 'S'));
  w.files.AddFile("C:\\Data\\Old\\a.txt", "aaaa");
  w.files.AddFile("C:\\Data\\Old\\Deep\\b.txt", "bbbb", kAttrReadOnly);
  w.files.AddFile("C:\\Elsewhere\\kept.txt", "keep");
  w.files.AddFolderLink("C:\\Data\\Old\\toElsewhere", "C:\\Elsewhere");
  w.files.AddFile("C:\\Data\\Old\\shared.txt", "both");
  w.files.AddHardLink("C:\\Data\\Old\\shared.txt", "C:\\Elsewhere\\shared.txt");

  const ShredPlan plan = PlanShred(w.ctx, {secret, "C:\\Data\\Old\\"});
  EXPECT_EQ(plan.files, 4u);
  EXPECT_EQ(plan.bytes, 3000u + 12u);
  Shred(w.ctx, w.drives, plan);

  // The file went under a random name of its own length, in its folder, and
  // held the last pass's bytes when it went; each pass reached the disk.
  ASSERT_FALSE(w.files.deleted.empty());
  const std::string& gone = w.files.deleted.front();
  EXPECT_EQ(gone.size(), secret.size());
  EXPECT_TRUE(gone.starts_with("C:\\Data\\")) << gone;
  EXPECT_NE(gone, secret);
  const std::string last = w.files.dataWhenDeleted[gone];
  EXPECT_GE(last.size(), 3000u);
  EXPECT_EQ(last.find_first_not_of(kBlockB), std::string::npos);
  int flushes = 0;
  for (const std::string& line : w.files.journal) flushes += line == "flush " + secret;
  EXPECT_GE(flushes, 2);
  // Everything chosen is gone; the link went itself, what it led to and the
  // other name of the shared data stay as they were.
  EXPECT_FALSE(w.files.Exists(secret));
  EXPECT_FALSE(w.files.Exists("C:\\Data\\Old"));
  EXPECT_EQ(w.files.Data("C:\\Elsewhere\\kept.txt"), "keep");
  EXPECT_EQ(w.files.Data("C:\\Elsewhere\\shared.txt"), "both");
  EXPECT_EQ(w.ctx.ItemsLeft, 0);
  EXPECT_EQ(w.ctx.FilesDeleted, 4 + 1 + 2);  // the files, the link, the folders
}

TEST(ShredFilesTest, RootsAndProtectedFoldersAreRefusedAsWholesButAFileInsideIsShredded) {
  struct Case {
    const char* path;
    const char* line;  // nullptr: shredded
  } cases[] = {
      {"C:\\", "  left (refused: drive root): C:\\"},
      {"c:", "  left (refused: unsafe path): c:"},
      {"C:\\WINDOWS", "  left (refused: protected folder): C:\\WINDOWS"},
      {"C:\\windows\\SYSTEM32\\", "  left (refused: protected folder): C:\\windows\\SYSTEM32"},
      {"C:\\Program Files", "  left (refused: protected folder): C:\\Program Files"},
      {"C:\\Documents and Settings\\user",
       "  left (refused: protected folder): C:\\Documents and Settings\\user"},
      {"C:\\Documents and Settings", "  left (refused: protected folder): C:\\Documents and Settings"},
      {"C:\\Documents and Settings\\user\\My Documents",
       "  left (refused: protected folder): C:\\Documents and Settings\\user\\My Documents"},
      {"C:\\Documents and Settings\\user\\Desktop\\",
       "  left (refused: protected folder): C:\\Documents and Settings\\user\\Desktop"},
      {"C:\\Documents and Settings\\user\\Application Data",
       "  left (refused: protected folder): C:\\Documents and Settings\\user\\Application Data"},
      {"C:\\Documents and Settings\\user\\My Documents\\..",
       "  left (refused: protected folder): C:\\Documents and Settings\\user\\My Documents\\.."},
      {"Temp\\a.txt", "  left (refused: unsafe path): Temp\\a.txt"},
      {"C:\\Documents and Settings\\user\\Desktop\\*.txt",
       "  left (refused: unsafe path): C:\\Documents and Settings\\user\\Desktop\\*.txt"},
      {"C:\\Data\\missing.txt", "  left (not found): C:\\Data\\missing.txt"},
      {"C:\\Documents and Settings\\user\\Desktop\\note.txt", nullptr},
      {"C:\\Documents and Settings\\user\\My Documents\\letter.doc", nullptr},
  };
  for (const Case& c : cases) {
    World w;
    const auto before = w.files.Snapshot();
    const std::vector<std::string> lines = w.Shredded({c.path});
    if (c.line) {
      EXPECT_EQ(lines, std::vector<std::string>{c.line}) << c.path;
      EXPECT_EQ(w.files.Snapshot(), before) << c.path;
    } else {
      EXPECT_EQ(lines, std::vector<std::string>{std::string("  ") + c.path}) << c.path;
      EXPECT_FALSE(w.files.Exists(c.path)) << c.path;
    }
  }
}

TEST(ShredFilesTest, AFileThatCannotBeOpenedIsNeitherOverwrittenNorRenamed) {
  World w;
  w.files.AddFile("C:\\Data\\busy.db", "live");
  w.files.LockExclusive("C:\\Data\\busy.db");
  EXPECT_EQ(w.Shredded({"C:\\Data\\busy.db"}),
            std::vector<std::string>{"  left (in use): C:\\Data\\busy.db"});
  EXPECT_EQ(w.files.Data("C:\\Data\\busy.db"), "live");
  EXPECT_TRUE(w.files.deleted.empty());
}

TEST(ShredFilesTest, WithSecureErasingTheRecycleBinsFilesAreOverwrittenBeforeItIsEmptied) {
  const std::string bin = "C:\\$Recycle.Bin\\S-1-5-21-1\\";
  for (const bool secure : {true, false}) {
    World w;
    w.SetOption("chkenablesecureerasing", secure ? "1" : "0");
    w.files.AddFile(bin + "$RAB12CD.doc", "the letter");
    w.files.AddFile(bin + "$RFOLDER\\inside.txt", "inside");
    w.files.AddFile(bin + "$IAB12CD.doc", "record");
    w.files.AddFile("C:\\RECYCLER\\S-1-5-21-1\\Dc1.txt", "xp item");
    EmptyRecycleBin(w.ctx);
    EXPECT_EQ(w.shell.recycleBinEmptied, 1);
    for (const char* item : {"$RAB12CD.doc", "$RFOLDER\\inside.txt"}) {
      const std::string path = bin + item;
      EXPECT_EQ(w.files.Exists(path), !secure) << path;
      if (secure) {
        EXPECT_EQ(w.files.dataWhenDeleted[path].find_first_not_of(kBlockB), std::string::npos) << path;
      }
    }
    EXPECT_EQ(w.files.Exists("C:\\RECYCLER\\S-1-5-21-1\\Dc1.txt"), !secure);
    // The records are the shell's to remove when it empties the bin.
    EXPECT_TRUE(w.files.Exists(bin + "$IAB12CD.doc"));
  }
}

}  // namespace
}  // namespace nimbrel
