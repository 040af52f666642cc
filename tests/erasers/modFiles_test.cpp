#include "erasers/modFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "dialogs/FrmKeepList.h"
#include "erasers/EraseDATFiles.h"
#include "erasers/modCookies.h"
#include "erasers/modDefinitions.h"
#include "fakes/TestWorld.h"
#include "platform/Text.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;

class ModFilesTest : public ::testing::Test {
 protected:
  ModFilesTest() { ctx.SetReport(&w.report); }
  TestWorld w;
  Context& ctx = w.ctx;

  Lines Journal(const std::string& prefix) const {
    Lines out;
    for (const std::string& line : w.files.journal)
      if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
  }
  // The journal lines about one file: "VERB PATH ...".
  Lines JournalOf(const std::string& path) const {
    Lines out;
    for (const std::string& line : w.files.journal) {
      const auto start = line.find(' ') + 1;
      if (line.compare(start, path.size(), path) == 0 &&
          (line.size() == start + path.size() || line[start + path.size()] == ' '))
        out.push_back(line);
    }
    return out;
  }
  // What erasing a file of `length` bytes with `passes` passes writes: each
  // pass its blocks A then B over the length it finds, then a flush (the
  // last one Close's), then the close and the delete.
  static Lines Expected(const std::string& path, std::size_t length, int passes) {
    Lines out;
    for (int pass = 0; pass < passes; ++pass) {
      const std::size_t size = (length / kOverwriteBlockSize + 1) * kOverwriteBlockSize;
      for (const char* fill : {"42", "20"})
        out.push_back("write " + path + " 0 " + std::to_string(size) + " " + fill);
      out.push_back("flush " + path);
      length = std::max(length, size);
    }
    out.push_back("close " + path);
    out.push_back("delete " + path);
    return out;
  }
  Lines Progress() const { return w.report.lines; }
  void SecureErasing(const std::string& extraPasses) {
    w.SetOption("chkenablesecureerasing", "1");
    w.SetOption("cmboverwriteTracksFiles", extraPasses);
  }
};

TEST_F(ModFilesTest, EmptyFileGetsOneBlockOfEachPatternThenIsFlushedAndDeleted) {
  w.files.AddFile("C:\\T\\a.txt");
  SecureEraseFile(ctx, "C:\\T\\a.txt");
  EXPECT_EQ(w.files.journal, (Lines{"write C:\\T\\a.txt 0 2048 42", "write C:\\T\\a.txt 0 2048 20",
                                     "flush C:\\T\\a.txt", "close C:\\T\\a.txt",
                                     "delete C:\\T\\a.txt"}));
  EXPECT_EQ(ctx.FilesDeleted, 1);
  EXPECT_EQ(w.report.files, 1);
}

TEST_F(ModFilesTest, FileOf4096BytesGetsThreeBlocksAndGrowsBy2048) {
  w.files.AddFile("C:\\T\\b.bin", std::string(4096, 'x'));
  SecureEraseFile(ctx, "C:\\T\\b.bin");
  EXPECT_EQ(w.files.dataWhenDeleted["C:\\T\\b.bin"], std::string(6144, ' '));
  EXPECT_EQ(Journal("write"), (Lines{"write C:\\T\\b.bin 0 6144 42", "write C:\\T\\b.bin 0 6144 20"}));
  EXPECT_EQ(w.report.bytes, 4096u);
}

TEST_F(ModFilesTest, LargeFilesAreWrittenInMebibytePiecesWithAYieldEach) {
  const std::size_t mib = 1024 * 1024;
  w.files.AddFile("C:\\T\\big", std::string(2 * mib + 100, 'x'));
  SecureEraseFile(ctx, "C:\\T\\big");
  EXPECT_EQ(Journal("write"),
            (Lines{"write C:\\T\\big 0 1048576 42", "write C:\\T\\big 0 1048576 20",
                   "write C:\\T\\big 1048576 1048576 42", "write C:\\T\\big 1048576 1048576 20",
                   "write C:\\T\\big 2097152 2048 42", "write C:\\T\\big 2097152 2048 20"}));
  EXPECT_EQ(w.files.dataWhenDeleted["C:\\T\\big"], std::string(2 * mib + 2048, ' '));
  EXPECT_EQ(w.loop.doEvents, 3);  // one per piece
}

TEST_F(ModFilesTest, PassCountFollowsTheSettings) {
  w.files.AddFile("C:\\T\\off");
  SecureEraseFile(ctx, "C:\\T\\off");
  EXPECT_EQ(w.files.flushes, 1);

  // On with 3 extra passes: four, each flushed before the next and before the delete.
  SecureErasing("3");
  w.files.journal.clear();
  w.files.AddFile("C:\\T\\on");
  SecureEraseFile(ctx, "C:\\T\\on");
  EXPECT_EQ(Journal("flush").size(), 4u);
  EXPECT_EQ(w.files.journal.back(), "delete C:\\T\\on");
  EXPECT_EQ(w.files.journal[w.files.journal.size() - 3], "flush C:\\T\\on");
  // Each pass reads the grown length: the fourth writes four blocks.
  EXPECT_EQ(Journal("write").back(), "write C:\\T\\on 0 8192 20");
}

TEST_F(ModFilesTest, SettingsChangedDuringALargeFileApplyFromItsNextPass) {
  // A file of a mebibyte or more is written piece by piece with a yield
  // each, and the settings are read after each of its passes.
  const std::string big(1024 * 1024, 'x');
  SecureErasing("3");
  w.files.AddFile("C:\\T\\changed", big);
  w.loop.onDoEvents = [&](int) { w.SetOption("cmboverwriteTracksFiles", "0"); };
  SecureEraseFile(ctx, "C:\\T\\changed");
  EXPECT_EQ(Journal("flush").size(), 1u);

  SecureErasing("5");
  w.files.journal.clear();
  w.files.AddFile("C:\\T\\switched", big);
  w.loop.onDoEvents = [&](int) { w.SetOption("chkenablesecureerasing", "0"); };
  SecureEraseFile(ctx, "C:\\T\\switched");
  EXPECT_EQ(Journal("flush").size(), 1u);
}

TEST_F(ModFilesTest, SettingsChangedDuringAWalkApplyFromTheNextSmallFile) {
  // A smaller file is handed over whole, its passes read from the settings
  // before its first byte: nothing lets the window run between them.
  SecureErasing("3");
  w.files.AddFile("C:\\Temp\\a", "a");
  w.files.AddFile("C:\\Temp\\b", "b");
  w.loop.onDoEvents = [&](int) {
    if (w.report.lines.size() == 1) w.SetOption("cmboverwriteTracksFiles", "0");
  };
  EraseFilesInTree(ctx, "C:\\Temp", "*.*");
  EXPECT_EQ(JournalOf("C:\\Temp\\a"), Expected("C:\\Temp\\a", 1, 4));
  EXPECT_EQ(JournalOf("C:\\Temp\\b"), Expected("C:\\Temp\\b", 1, 1));
}

TEST_F(ModFilesTest, ExtraPassesAreCappedAndNonNumbersMeanNone) {
  SecureErasing("1e9");
  w.files.AddFile("C:\\T\\a");
  SecureEraseFile(ctx, "C:\\T\\a");
  EXPECT_EQ(w.files.flushes, 1 + kMaxExtraPasses);
  SecureErasing("many");
  w.files.AddFile("C:\\T\\b");
  SecureEraseFile(ctx, "C:\\T\\b");
  EXPECT_EQ(w.files.flushes, 2 + kMaxExtraPasses);
}

TEST_F(ModFilesTest, MissingOrNonFilePathsChangeNothing) {
  w.files.AddFolder("C:\\T\\Folder");
  w.files.AddFile("C:\\T\\sys.dat", "s", kAttrSystem);
  SecureEraseFile(ctx, "C:\\T\\missing.txt");
  SecureEraseFile(ctx, "C:\\T\\Folder");
  SecureEraseFile(ctx, "C:\\T\\sys.dat");
  EraseFile(ctx, "C:\\T\\*.none");
  EXPECT_EQ(ctx.FilesDeleted, 0);
  EXPECT_EQ(w.report.files, 0);
  EXPECT_TRUE(w.files.journal.empty());
}

TEST_F(ModFilesTest, HiddenFileIsOverwrittenAndDeletedLikeAnyOther) {
  w.files.AddFile("C:\\T\\h.txt", "abc", kAttrHidden);
  SecureEraseFile(ctx, "C:\\T\\h.txt");
  EXPECT_FALSE(w.files.Exists("C:\\T\\h.txt"));
  EXPECT_EQ(Journal("write").size(), 2u);
  EXPECT_EQ(ctx.FilesDeleted, 1);
}

TEST_F(ModFilesTest, WildcardDeletesEveryOrdinaryMatchWithoutOverwritingAndCountsEach) {
  w.files.AddFile("C:\\T\\a.tmp", "aaa");
  w.files.AddFile("C:\\T\\b.TMP", "bbb");
  w.files.AddFile("C:\\T\\hidden.tmp", "h", kAttrHidden);
  w.files.AddFile("C:\\T\\keep.txt", "k");
  SecureEraseFile(ctx, "C:\\T\\*.tmp");
  EXPECT_FALSE(w.files.Exists("C:\\T\\a.tmp"));
  EXPECT_FALSE(w.files.Exists("C:\\T\\b.TMP"));
  EXPECT_TRUE(w.files.Exists("C:\\T\\hidden.tmp"));
  EXPECT_TRUE(w.files.Exists("C:\\T\\keep.txt"));
  EXPECT_TRUE(Journal("write").empty());
  EXPECT_EQ(ctx.FilesDeleted, 2);
  EXPECT_EQ(w.report.bytes, 0u);
}

TEST_F(ModFilesTest, WildcardsAndRelativePathsNeverReachARootOrTheCurrentFolder) {
  w.files.AddFile("C:\\a.tmp", "a");
  w.files.AddFile("C:\\boot.ini", "b");
  EraseFile(ctx, "C:\\*.tmp");
  EraseFile(ctx, "boot.ini");
  EraseFile(ctx, "\\boot.ini");
  EraseFile(ctx, "C:\\T\\..\\*.*");
  EXPECT_TRUE(w.files.Exists("C:\\a.tmp"));
  EXPECT_TRUE(w.files.Exists("C:\\boot.ini"));
  EXPECT_EQ(ctx.FilesDeleted, 0);
  // A single named file at a drive root is still a precise aim.
  EraseFile(ctx, "C:\\boot.ini");
  EXPECT_FALSE(w.files.Exists("C:\\boot.ini"));
}

TEST_F(ModFilesTest, FilesThatStayAreNotCounted) {
  // In use elsewhere, shared for writing only or not at all; read-only.
  w.files.AddFile("C:\\T\\shared.dat", "shared");
  w.files.Lock("C:\\T\\shared.dat");
  w.files.AddFile("C:\\T\\index.dat", "secret");
  w.files.LockExclusive("C:\\T\\index.dat");
  w.files.AddFile("C:\\T\\ro.txt", "ro", kAttrReadOnly);
  for (const char* path : {"C:\\T\\shared.dat", "C:\\T\\index.dat", "C:\\T\\ro.txt"}) {
    const std::string before = w.files.Data(path);
    EraseFile(ctx, path);
    SecureEraseFile(ctx, path);
    EraseFile(ctx, "C:\\T\\*.*");
    EXPECT_EQ(w.files.Data(path), before) << path;
  }
  EXPECT_EQ(ctx.FilesDeleted, 0);
  EXPECT_EQ(w.report.bytes, 0u);
}

TEST_F(ModFilesTest, HardLinkedDataIsNotOverwrittenOnlyThisNameDeleted) {
  w.files.AddFile("C:\\Docs\\report.doc", "precious");
  w.files.AddHardLink("C:\\Docs\\report.doc", "C:\\T\\copy.doc");
  SecureEraseFile(ctx, "C:\\T\\copy.doc");
  EXPECT_FALSE(w.files.Exists("C:\\T\\copy.doc"));
  EXPECT_EQ(w.files.Data("C:\\Docs\\report.doc"), "precious");
  EXPECT_TRUE(Journal("write").empty());
  EXPECT_EQ(ctx.FilesDeleted, 1);
}

TEST_F(ModFilesTest, FileLinksAreNeitherOverwrittenNorDeleted) {
  w.files.AddFile("C:\\Docs\\target.doc", "precious");
  w.files.AddFileLink("C:\\T\\link.doc", "C:\\Docs\\target.doc");          // as Wine shows it
  w.files.AddFile("C:\\T\\winlink.doc", "", kAttrArchive | kAttrReparsePoint);  // as Windows does
  EraseFile(ctx, "C:\\T\\link.doc");
  EraseFile(ctx, "C:\\T\\winlink.doc");
  SecureEraseFile(ctx, "C:\\T\\*.doc");
  EXPECT_EQ(w.files.Data("C:\\Docs\\target.doc"), "precious");
  EXPECT_TRUE(w.files.Exists("C:\\T\\link.doc"));
  EXPECT_TRUE(w.files.Exists("C:\\T\\winlink.doc"));
  EXPECT_TRUE(Journal("write").empty());
}

TEST_F(ModFilesTest, ErasedSizeAddsUpAndIsReportedEachTime) {
  w.files.AddFile("C:\\T\\a", std::string(100, 'a'));
  w.files.AddFile("C:\\T\\b", std::string(23, 'b'), kAttrHidden);
  ctx.BytesErased = 1000;
  AddToErasedSize(ctx, "C:\\T\\a");
  AddToErasedSize(ctx, "C:\\T\\b");
  AddToErasedSize(ctx, "C:\\T\\missing");
  AddToErasedSize(ctx, "C:\\T");
  EXPECT_EQ(w.report.calls, (Lines{"bytes 1100", "bytes 1123", "bytes 1123", "bytes 1123"}));
}

TEST_F(ModFilesTest, ErasedSizeNeitherWrapsAt32BitsNorAt64) {
  ctx.BytesErased = 4294967000u;
  w.files.AddFile("C:\\T\\a", std::string(1000, 'a'));
  AddToErasedSize(ctx, "C:\\T\\a");
  EXPECT_EQ(w.report.bytes, 4294968000u);
  ctx.BytesErased = UINT64_MAX - 10;
  AddToErasedSize(ctx, "C:\\T\\a");
  EXPECT_EQ(w.report.bytes, UINT64_MAX);
}

TEST_F(ModFilesTest, EraseFolderRemovesTheWholeTreeReadOnlyItemsIncluded) {
  w.files.AddFile("C:\\T\\Old\\a.txt", "a", kAttrReadOnly);
  w.files.AddFile("C:\\T\\Old\\Sub\\b.txt", "b", kAttrHidden | kAttrReadOnly);
  w.files.AddFolder("C:\\T\\Old\\Sub\\Empty", kAttrDirectory | kAttrReadOnly);
  EXPECT_TRUE(EraseFolder(ctx, "C:\\T\\Old\\"));
  EXPECT_FALSE(w.files.Exists("C:\\T\\Old"));
  EXPECT_TRUE(w.files.Exists("C:\\T"));
  EXPECT_EQ(ctx.FilesDeleted, 1);

  // A missing folder is no erased one.
  EXPECT_FALSE(EraseFolder(ctx, "C:\\T\\Missing"));
  EXPECT_EQ(ctx.FilesDeleted, 1);
  EXPECT_EQ(w.report.files, 1);
}

TEST_F(ModFilesTest, EraseFolderWithALockedFileIsFalseAndRemovesTheRest) {
  w.files.AddFile("C:\\T\\Old\\busy.txt", "b");
  w.files.Lock("C:\\T\\Old\\busy.txt");
  w.files.AddFile("C:\\T\\Old\\Sub\\free.txt", "f");
  EXPECT_FALSE(EraseFolder(ctx, "C:\\T\\Old"));
  EXPECT_TRUE(w.files.Exists("C:\\T\\Old\\busy.txt"));
  EXPECT_FALSE(w.files.Exists("C:\\T\\Old\\Sub"));
}

TEST_F(ModFilesTest, EraseFolderLeavesLinksAndWhatTheyPointAt) {
  w.files.AddFile("C:\\Outside\\keep.txt", "keep");
  w.files.AddFolder("C:\\Outside\\Empty");
  w.files.AddFolderLink("C:\\T\\Old\\dirlink", "C:\\Outside");
  w.files.AddFolderLink("C:\\T\\Old\\emptylink", "C:\\Outside\\Empty");
  w.files.AddFileLink("C:\\T\\Old\\filelink", "C:\\Outside\\keep.txt");
  w.files.AddFile("C:\\T\\Old\\own.txt", "o");
  EXPECT_FALSE(EraseFolder(ctx, "C:\\T\\Old"));
  EXPECT_EQ(w.files.Data("C:\\Outside\\keep.txt"), "keep");
  EXPECT_TRUE(w.files.Exists("C:\\Outside\\Empty"));
  EXPECT_FALSE(w.files.Exists("C:\\T\\Old\\own.txt"));
  // A folder that is itself a link is not removed either.
  EXPECT_FALSE(EraseFolder(ctx, "C:\\T\\Old\\dirlink\\"));
  EXPECT_TRUE(w.files.Exists("C:\\Outside\\Empty"));
}

TEST_F(ModFilesTest, RootEmptyAndRelativeBaseFoldersEraseNothing) {
  w.files.AddFile("C:\\a.txt", "a");
  w.files.AddFile("C:\\Temp\\b.txt", "b");
  w.files.AddFile("Temp\\rel.txt", "r");  // where a relative walk would land
  for (const char* base : {"", "Temp", "C:", "C:\\", "C:\\\\", "C:/", "\\", "\\\\server",
                           "\\\\server\\share", "\\\\?\\C:\\Temp", "C:\\Temp\\..", "C:\\.",
                           "C:\\Temp\\*", " "}) {
    EraseFilesInTree(ctx, base, "*.*");
    EXPECT_FALSE(EraseFolder(ctx, base)) << base;
  }
  EXPECT_TRUE(w.files.Exists("C:\\a.txt"));
  EXPECT_TRUE(w.files.Exists("C:\\Temp\\b.txt"));
  EXPECT_TRUE(w.files.Exists("Temp\\rel.txt"));
  EXPECT_TRUE(w.files.journal.empty());
  // Nothing aimed at (unset, relative) says nothing; a root is told once per spelling.
  EXPECT_EQ(Progress(), (Lines{"  left (refused: drive root): C:\\",
                               "  left (refused: drive root): C:\\\\",
                               "  left (refused: drive root): C:/",
                               "  left (refused: drive root): \\\\server\\share",
                               "  left (refused: drive root): C:\\Temp\\..",
                               "  left (refused: drive root): C:\\."}));

  EXPECT_TRUE(IsSafeBaseFolder("C:\\Temp"));
  EXPECT_TRUE(IsSafeBaseFolder("c:\\Temp\\"));
  EXPECT_TRUE(IsSafeBaseFolder("\\\\server\\share\\dir"));
  EXPECT_TRUE(IsSafeBaseFolder("C:\\Documents and Settings\\user\\Local Settings\\Temp"));
}

TEST_F(ModFilesTest, TreeWalkErasesMatchesInEveryFolderAndListsEach) {
  w.files.AddFile("C:\\Temp\\a.txt", "a");
  w.files.AddFile("C:\\Temp\\Sub\\b.txt", "bb");
  w.files.AddFile("C:\\Temp\\Sub\\Deeper\\c.log", "ccc");
  w.files.AddFile("C:\\Temp\\hidden.txt", "h", kAttrHidden);
  EraseFilesInTree(ctx, "C:\\Temp", "*.*");
  EXPECT_EQ(Progress(), (Lines{"  C:\\Temp\\a.txt", "  C:\\Temp\\hidden.txt", "  C:\\Temp\\Sub",
                               "  C:\\Temp\\Sub\\b.txt", "  C:\\Temp\\Sub\\Deeper",
                               "  C:\\Temp\\Sub\\Deeper\\c.log"}));
  for (const char* gone : {"C:\\Temp\\a.txt", "C:\\Temp\\hidden.txt", "C:\\Temp\\Sub\\b.txt",
                           "C:\\Temp\\Sub\\Deeper\\c.log"})
    EXPECT_FALSE(w.files.Exists(gone)) << gone;
  EXPECT_TRUE(w.files.Exists("C:\\Temp\\Sub\\Deeper"));  // folders stay
  EXPECT_EQ(ctx.FilesDeleted, 4);
  EXPECT_EQ(w.report.bytes, 7u);
  EXPECT_EQ(Journal("write").size(), 8u);
}

TEST_F(ModFilesTest, TreeWalkHonoursThePattern) {
  w.files.AddFile("C:\\Moz\\p1\\cookies.txt", "c");
  w.files.AddFile("C:\\Moz\\p1\\prefs.js", "p");
  EraseFilesInTree(ctx, "C:\\Moz\\", "cookies.txt");
  EXPECT_FALSE(w.files.Exists("C:\\Moz\\p1\\cookies.txt"));
  EXPECT_TRUE(w.files.Exists("C:\\Moz\\p1\\prefs.js"));
  EXPECT_EQ(Progress(), (Lines{"  C:\\Moz\\p1\\cookies.txt"}));
  EraseFilesInTree(ctx, "C:\\Moz\\p1", "..\\*.*");
  EXPECT_TRUE(w.files.Exists("C:\\Moz\\p1\\prefs.js"));
}

TEST_F(ModFilesTest, TreeWalkReadsEachFolderOnceForAPatternOfEveryName) {
  w.files.AddFile("C:\\Temp\\a.txt", "a");
  w.files.AddFile("C:\\Temp\\Sub\\b", "b");
  std::vector<std::string> finds;
  w.files.onFind = [&finds](const std::string& pattern) { finds.push_back(pattern); };
  for (const char* pattern : {"*", "*.*"}) {
    finds.clear();
    EraseFilesInTree(ctx, "C:\\Temp", pattern);
    EXPECT_EQ(finds, (Lines{"C:\\Temp\\*", "C:\\Temp\\Sub\\*"})) << pattern;
  }
  // Any other pattern is matched by the system, short names included.
  finds.clear();
  EraseFilesInTree(ctx, "C:\\Temp", "*.txt");
  EXPECT_EQ(finds, (Lines{"C:\\Temp\\*", "C:\\Temp\\*.txt", "C:\\Temp\\Sub\\*",
                          "C:\\Temp\\Sub\\*.txt"}));
}

TEST_F(ModFilesTest, TreeWalkListsButKeepsIndexDatAndSkins) {
  w.files.AddFile("C:\\Temp\\Index.DAT", "i");
  w.files.AddFile("C:\\Temp\\old index.dat.bak", "i");
  w.files.AddFile("C:\\Temp\\Skins\\blue.bmp", "s");
  w.files.AddFile("C:\\Temp\\myskinsfile.txt", "s");
  w.files.AddFile("C:\\Temp\\other.txt", "o");
  EraseFilesInTree(ctx, "C:\\Temp", "*.*");
  for (const char* kept : {"C:\\Temp\\Index.DAT", "C:\\Temp\\old index.dat.bak",
                           "C:\\Temp\\Skins\\blue.bmp", "C:\\Temp\\myskinsfile.txt"}) {
    EXPECT_TRUE(w.files.Exists(kept)) << kept;
    const Lines lines = Progress();
    EXPECT_NE(std::find(lines.begin(), lines.end(), std::string("  ") + kept), lines.end()) << kept;
  }
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\other.txt"));
  EXPECT_EQ(ctx.FilesDeleted, 1);
}

TEST_F(ModFilesTest, TreeWalkNeverFollowsLinks) {
  w.files.AddFile("C:\\Outside\\keep.txt", "keep");
  w.files.AddFile("C:\\Outside\\Deep\\keep2.txt", "keep2");
  w.files.AddFolderLink("C:\\Temp\\dirlink", "C:\\Outside");
  w.files.AddFileLink("C:\\Temp\\filelink.txt", "C:\\Outside\\keep.txt");
  w.files.AddFile("C:\\Temp\\own.txt", "o");
  EraseFilesInTree(ctx, "C:\\Temp", "*.*");
  EXPECT_EQ(w.files.Data("C:\\Outside\\keep.txt"), "keep");
  EXPECT_EQ(w.files.Data("C:\\Outside\\Deep\\keep2.txt"), "keep2");
  EXPECT_TRUE(w.files.Exists("C:\\Temp\\filelink.txt"));
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\own.txt"));
  EXPECT_EQ(Journal("write"), (Lines{"write C:\\Temp\\own.txt 0 2048 42",
                                     "write C:\\Temp\\own.txt 0 2048 20"}));
  // A base folder that is a link is not walked, also when named with a
  // trailing backslash (which reaches the target's attributes under Wine).
  for (const char* base : {"C:\\Temp\\dirlink", "C:\\Temp\\dirlink\\"}) {
    EraseFilesInTree(ctx, base, "*.*");
    EXPECT_TRUE(w.files.Exists("C:\\Outside\\keep.txt")) << base;
    EXPECT_TRUE(w.files.Exists("C:\\Outside\\Deep\\keep2.txt")) << base;
  }
}

TEST_F(ModFilesTest, FilesThatCannotBeDeletedAreLeftWholeAndTheWalkGoesOn) {
  // In use elsewhere: shared for writing only, or not at all; read-only.
  w.files.AddFile("C:\\Temp\\a-shared.txt", "shared");
  w.files.Lock("C:\\Temp\\a-shared.txt");
  w.files.AddFile("C:\\Temp\\b-exclusive.txt", "exclusive");
  w.files.LockExclusive("C:\\Temp\\b-exclusive.txt");
  w.files.AddFile("C:\\Temp\\c-ro.txt", "ro", kAttrReadOnly);
  w.files.AddFile("C:\\Temp\\d.txt", "d");
  w.files.AddFile("C:\\Temp\\Sub\\e.txt", "e");
  SecureErasing("2");
  EraseFilesInTree(ctx, "C:\\Temp", "*.*");
  EXPECT_EQ(w.files.Data("C:\\Temp\\a-shared.txt"), "shared");
  EXPECT_EQ(w.files.Data("C:\\Temp\\b-exclusive.txt"), "exclusive");
  EXPECT_EQ(w.files.Data("C:\\Temp\\c-ro.txt"), "ro");
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\d.txt"));
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\Sub\\e.txt"));
  // Only those two count, once each, though the others are tried twice.
  EXPECT_EQ(ctx.FilesDeleted, 2);
  EXPECT_EQ(w.report.bytes, 2u);
  for (const std::string& line : Journal("write"))
    EXPECT_TRUE(line.starts_with("write C:\\Temp\\d.txt") || line.starts_with("write C:\\Temp\\Sub\\e.txt"))
        << line;
  // Each listed, the folder Sub too; each file left told once, with its reason.
  const Lines progress = Progress();
  EXPECT_EQ(progress.size(), 9u);
  for (const char* line : {"  left (in use): C:\\Temp\\a-shared.txt",
                           "  left (in use): C:\\Temp\\b-exclusive.txt",
                           "  left (access denied): C:\\Temp\\c-ro.txt"})
    EXPECT_EQ(std::count(progress.begin(), progress.end(), line), 1) << line;
  EXPECT_EQ(ctx.ItemsLeft, 3);
}

TEST_F(ModFilesTest, OnAFullDiskEveryByteIsStillOverwrittenThenTheFileDeleted) {
  // The last block would make the file longer; there is no room for that.
  w.files.AddFile("C:\\Temp\\a.bin", std::string(3000, 'x'));
  w.files.AddFile("C:\\Temp\\b.bin", std::string(4096, 'x'));
  w.files.diskFull = true;
  SecureErasing("1");
  EraseFilesInTree(ctx, "C:\\Temp", "*.*");
  EXPECT_EQ(w.files.dataWhenDeleted["C:\\Temp\\a.bin"], std::string(3000, ' '));
  EXPECT_EQ(w.files.dataWhenDeleted["C:\\Temp\\b.bin"], std::string(4096, ' '));
  EXPECT_EQ(Journal("write C:\\Temp\\a.bin"),
            (Lines{"write C:\\Temp\\a.bin 0 3000 42", "write C:\\Temp\\a.bin 0 3000 20",
                   "write C:\\Temp\\a.bin 0 3000 42", "write C:\\Temp\\a.bin 0 3000 20"}));
  EXPECT_EQ(ctx.FilesDeleted, 2);
}

TEST_F(ModFilesTest, TreeWalkErasesEachFileAsSecureEraseFileDoes) {
  // The walk works from the listing; the passes, flushes, sizes and counts
  // must be those of SecureEraseFile on each path. One handle serves every
  // pass and the delete, which happens as it closes.
  SecureErasing("1");
  w.files.AddFile("C:\\Temp\\a.bin", std::string(4096, 'x'));
  w.files.AddFile("C:\\Temp\\shared.txt", "data");
  w.files.AddHardLink("C:\\Temp\\shared.txt", "C:\\Other\\shared.txt");
  w.files.AddFile("C:\\Temp\\ro.txt", "r", kAttrReadOnly);
  EraseFilesInTree(ctx, "C:\\Temp", "*.*");
  EXPECT_EQ(w.files.journal,
            (Lines{"write C:\\Temp\\a.bin 0 6144 42", "write C:\\Temp\\a.bin 0 6144 20",
                   "flush C:\\Temp\\a.bin", "write C:\\Temp\\a.bin 0 8192 42",
                   "write C:\\Temp\\a.bin 0 8192 20", "flush C:\\Temp\\a.bin",
                   "close C:\\Temp\\a.bin", "delete C:\\Temp\\a.bin",
                   "flush C:\\Temp\\shared.txt", "close C:\\Temp\\shared.txt",
                   "delete C:\\Temp\\shared.txt"}));
  EXPECT_EQ(w.files.Data("C:\\Other\\shared.txt"), "data");
  EXPECT_EQ(w.files.Data("C:\\Temp\\ro.txt"), "r");
  EXPECT_EQ(ctx.FilesDeleted, 2);  // the read-only file stays: no count
  EXPECT_EQ(w.report.bytes, 4096u + 4);
}

// Files in flight: the closing workers hold a few erased files while the walk
// goes on (the fake takes their steps in turn once something waits for them).
class FilesInFlightTest : public ModFilesTest {
 protected:
  FilesInFlightTest() {
    w.files.deferCloses = true;
    w.loop.files = &w.files;  // as the program's loop is given its files
    SecureErasing("2");
  }
  // A tree whose files are erased in this order, with their lengths.
  const std::vector<std::pair<std::string, std::size_t>> tree = {
      {"C:\\Temp\\a.txt", 100},       {"C:\\Temp\\b.bin", 4096},
      {"C:\\Temp\\One\\c.log", 0},    {"C:\\Temp\\One\\d.tmp", 5000},
      {"C:\\Temp\\Two\\e.tmp", 2047}, {"C:\\Temp\\Two\\f.tmp", 70000},
      {"C:\\Temp\\Two\\g.tmp", 1}};
  void Plant() {
    for (const auto& [path, length] : tree) w.files.AddFile(path, std::string(length, 's'));
  }
};

TEST_F(FilesInFlightTest, EachFileStillGetsItsPassesFlushesAndDeleteInOrder) {
  Plant();
  EraseFilesInTree(ctx, "C:\\Temp", "*.*");
  EXPECT_EQ(w.files.QueuedCloses(), 3u);  // the last folder's files are still in flight
  w.files.Finish();
  for (const auto& [path, length] : tree) {
    EXPECT_EQ(JournalOf(path), Expected(path, length, 3)) << path;
    EXPECT_FALSE(w.files.Exists(path)) << path;
  }
  // They were in flight together: g's first pass came before e's first flush.
  const Lines& j = w.files.journal;
  const auto flush = std::find(j.begin(), j.end(), "flush C:\\Temp\\Two\\e.tmp");
  ASSERT_NE(flush, j.begin());
  EXPECT_EQ(flush[-1], "write C:\\Temp\\Two\\g.tmp 0 2048 20");
}

TEST_F(FilesInFlightTest, ProgressAndCountsComeOutInTheWalksOrderAsWithoutThem) {
  Plant();
  EraseFilesInTree(ctx, "C:\\Temp", "*.*");
  w.files.Finish();
  const Lines inFlight = w.report.calls;
  Lines lines;
  for (const auto& [path, length] : tree) lines.push_back("  " + path);
  lines.insert(lines.begin() + 2, {"  C:\\Temp\\One", "  C:\\Temp\\Two"});
  EXPECT_EQ(w.report.lines, lines);

  // The same walk with every file closed at once reports exactly the same.
  TestWorld once;
  once.ctx.SetReport(&once.report);
  once.SetOption("chkenablesecureerasing", "1");
  once.SetOption("cmboverwriteTracksFiles", "2");
  for (const auto& [path, length] : tree) once.files.AddFile(path, std::string(length, 's'));
  EraseFilesInTree(once.ctx, "C:\\Temp", "*.*");
  EXPECT_EQ(inFlight, once.report.calls);
  EXPECT_EQ(ctx.FilesDeleted, 7);
}

TEST_F(FilesInFlightTest, AnExitWithFilesInFlightDeletesNoneUnflushed) {
  Plant();
  EraseFilesInTree(ctx, "C:\\Temp", "*.*");
  // The exit's wait runs out after ten steps: e, f and g write their three
  // passes, e closes; f and g have their last pass written but not flushed.
  w.files.finishSteps = 10;
  w.loop.Quit();
  w.files.EndProcess();
  for (const auto& [path, length] : tree) {
    const Lines mine = JournalOf(path);
    if (w.files.Exists(path)) {
      EXPECT_EQ(std::count(mine.begin(), mine.end(), "delete " + path), 0) << path;
      EXPECT_EQ(mine.back(), "abandon " + path);
    } else {
      EXPECT_EQ(mine, Expected(path, length, 3)) << path;
    }
  }
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\Two\\e.tmp"));
  EXPECT_TRUE(w.files.Exists("C:\\Temp\\Two\\f.tmp"));
  EXPECT_TRUE(w.files.Exists("C:\\Temp\\Two\\g.tmp"));
  EXPECT_EQ(w.files.Data("C:\\Temp\\Two\\g.tmp"), std::string(6144, ' '));
}

TEST_F(ModFilesTest, TreeWalkYieldsForEveryEntryFileAndFolder) {
  w.files.AddFile("C:\\Temp\\a", "a");
  w.files.AddFolder("C:\\Temp\\Sub");
  EraseFilesInTree(ctx, "C:\\Temp", "*.*");
  // Entries: a, Sub (twice, listing and matching), Sub's own walk, and the
  // sub-folder step. The small file's passes are handed over without a yield.
  EXPECT_EQ(w.loop.doEvents, 5);
}

}  // namespace
}  // namespace nimbrel

namespace nimbrel {
namespace {

class ProtectedFoldersTest : public ModFilesTest {
 protected:
  ProtectedFoldersTest() {
    ctx.ProgramFilesFolder = "C:\\Program Files";
    w.files.AddShortName("C:\\PROGRA~1", "C:\\Program Files");
    w.files.AddShortName("C:\\DOCUME~1", "C:\\Documents and Settings");
    for (const char* file :
         {"C:\\boot.ini", "C:\\WINDOWS\\notepad.exe", "C:\\WINDOWS\\system.ini",
          "C:\\WINDOWS\\system32\\kernel32.dll", "C:\\WINDOWS\\system32\\drivers\\null.sys",
          "C:\\Program Files\\App\\app.exe", "C:\\Documents and Settings\\user\\ntuser.dat",
          "C:\\Documents and Settings\\other\\letter.doc"})
      w.files.AddFile(file, "keep");
  }
};

TEST_F(ProtectedFoldersTest, NoWalkOrFolderEraseStartsAtOneHoweverSpelt) {
  for (const char* folder :
       {"C:\\WINDOWS", "c:\\windows\\", "C:/Windows", "C:\\windows.", "C:\\windows. .",
        "C:\\WINDOWS\\system32", "C:\\WINDOWS\\SYSTEM32\\drivers", "C:\\windows\\temp\\..",
        "C:\\windows\\.", "\\\\?\\C:\\WINDOWS", "\\\\.\\C:\\WINDOWS", "C:\\Program Files",
        "C:\\PROGRA~1", "C:\\progra~1\\", "C:\\Documents and Settings", "C:\\DOCUME~1",
        "C:\\Documents and Settings\\user", "C:\\DOCUME~1\\user\\", "C:\\", "C:\\.", "C:"}) {
    EraseFilesInTree(ctx, folder, "*.*");
    EXPECT_FALSE(EraseFolder(ctx, folder)) << folder;
    EraseFile(ctx, std::string(folder) + "\\*.ini");
    EXPECT_EQ(ErasableFolder(ctx, folder), "") << folder;
  }
  EXPECT_TRUE(Journal("write").empty());
  EXPECT_TRUE(Journal("delete").empty());
  EXPECT_TRUE(w.files.deleted.empty());
  // Each spelling that is there is told as refused, nothing else.
  for (const std::string& line : Progress())
    EXPECT_TRUE(line.starts_with("  left (refused: protected folder): ") ||
                line.starts_with("  left (refused: drive root): "))
        << line;
}

TEST_F(ProtectedFoldersTest, FoldersBelowThemAreErasedAsAnyOther) {
  w.files.AddFile("C:\\WINDOWS\\Temp\\a.tmp", "a");
  w.files.AddFile("C:\\Documents and Settings\\user\\Local Settings\\Temp\\b.tmp", "b");
  w.files.AddFile("C:\\Program Files\\App\\Logs\\c.log", "c");
  EraseFilesInTree(ctx, "C:\\WINDOWS\\Temp", "*.*");
  EraseFilesInTree(ctx, "C:\\DOCUME~1\\user\\Local Settings\\Temp", "*.*");
  EXPECT_TRUE(EraseFolder(ctx, "C:\\PROGRA~1\\App\\Logs"));
  EXPECT_FALSE(w.files.Exists("C:\\WINDOWS\\Temp\\a.tmp"));
  EXPECT_FALSE(w.files.Exists("C:\\Documents and Settings\\user\\Local Settings\\Temp\\b.tmp"));
  EXPECT_FALSE(w.files.Exists("C:\\Program Files\\App\\Logs"));
  EXPECT_TRUE(w.files.Exists("C:\\Program Files\\App\\app.exe"));
  // Progress lines keep the spelling the walk was given.
  EXPECT_EQ(Progress(), (Lines{"  C:\\WINDOWS\\Temp\\a.tmp",
                               "  C:\\DOCUME~1\\user\\Local Settings\\Temp\\b.tmp"}));
}

TEST_F(ProtectedFoldersTest, ALinkThatResolvesToAProtectedFolderIsRefused) {
  w.files.AddFolderLink("C:\\Temp\\win", "C:\\WINDOWS");
  EXPECT_EQ(ErasableFolder(ctx, "C:\\Temp\\win"), "");
  EraseFilesInTree(ctx, "C:\\Temp\\win\\", "*.*");
  EXPECT_EQ(w.files.Data("C:\\WINDOWS\\system.ini"), "keep");
}

// A 64-bit Windows 7 whose folders the shell knows, Downloads moved to D:.
class SystemFoldersTest : public ModFilesTest {
 protected:
  SystemFoldersTest() {
    const std::string user = "C:\\Users\\user";
    w.system.systemDirectory = "C:\\Windows\\system32";
    w.system.env = {{"TEMP", user + "\\AppData\\Local\\Temp"},
                    {"USERPROFILE", user},
                    {"WINDIR", "C:\\Windows"},
                    {"SystemRoot", "C:\\Windows"},
                    {"ProgramFiles", "C:\\Program Files"},
                    {"ProgramFiles(x86)", "C:\\Program Files (x86)"},
                    {"ProgramW6432", "C:\\Program Files"},
                    {"ALLUSERSPROFILE", "C:\\ProgramData"},
                    {"PUBLIC", "C:\\Users\\Public"}};
    w.shell.specialFolders = {
        {kCsidlWindows, "C:\\Windows"},
        {kCsidlSystem, "C:\\Windows\\system32"},
        {kCsidlSystemX86, "C:\\Windows\\SysWOW64"},
        {kCsidlProgramFiles, "C:\\Program Files"},
        {kCsidlProgramFilesX86, "C:\\Program Files (x86)"},
        {kCsidlProfile, user},
        {kCsidlPersonal, user + "\\Documents"},
        {kCsidlDesktopDirectory, user + "\\Desktop"},
        {kCsidlMyPictures, user + "\\Pictures"},
        {kCsidlMyMusic, user + "\\Music"},
        {kCsidlMyVideo, user + "\\Videos"},
        {kCsidlAppData, user + "\\AppData\\Roaming"},
        {kCsidlLocalAppData, user + "\\AppData\\Local"},
        {kCsidlCommonAppData, "C:\\ProgramData"},
        {kCsidlCommonDocuments, "C:\\Users\\Public\\Documents"}};
    w.shell.knownFolders = {{KnownFolder::Downloads, "D:\\Downloads"},
                            {KnownFolder::LocalAppDataLow, user + "\\AppData\\LocalLow"},
                            {KnownFolder::Public, "C:\\Users\\Public"},
                            {KnownFolder::UserProfiles, "C:\\Users"},
                            {KnownFolder::ProgramFilesNative, "C:\\Program Files"}};
  }
  // The variables of the folders unset, or set to another folder.
  void Variables(const char* value) {
    for (auto& [name, folder] : w.system.env)
      if (name != "TEMP") folder = value;
  }
};

TEST_F(SystemFoldersTest, EachFolderIsProtectedWhateverItsVariableSays) {
  const char* const refused[] = {
      "C:\\Windows", "C:\\Windows\\system32\\drivers", "C:\\Program Files",
      "C:\\Program Files (x86)", "C:\\Users", "C:\\Users\\user", "C:\\Users\\Public",
      "C:\\ProgramData", "C:\\Users\\user\\Documents", "C:\\Users\\user\\Desktop",
      "D:\\Downloads", "C:\\Users\\user\\Pictures", "C:\\Users\\user\\Music",
      "C:\\Users\\user\\Videos", "C:\\Users\\user\\AppData\\Roaming",
      "C:\\Users\\user\\AppData\\Local", "C:\\Users\\user\\AppData\\LocalLow",
      "C:\\Users\\user\\AppData",
      // The system folders and the Windows folder's system sub-folders, with
      // all they hold.
      "C:\\Windows\\SysWOW64", "C:\\windows\\syswow64\\en-US", "C:\\Windows\\WinSxS\\x86_a",
      "C:\\Windows\\Fonts", "C:\\Windows\\assembly\\GAC", "C:\\Windows\\inf",
      "C:\\Windows\\servicing\\Packages", "C:\\Windows\\Installer\\{1}",
      "C:\\Windows\\Boot\\EFI"};
  const char* const erasable[] = {
      "C:\\Users\\user\\AppData\\Local\\Temp",
      "C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Cookies",
      "C:\\Users\\user\\AppData\\LocalLow\\App\\Cache", "C:\\Users\\user\\Documents\\Old",
      "D:\\Downloads\\Partial", "C:\\Program Files\\App\\Logs", "C:\\Windows\\Temp",
      "C:\\Windows\\Logs\\CBS", "C:\\Windows\\Prefetch", "C:\\Windows\\Cookies"};
  for (const char* value : {"", "C:\\Elsewhere"}) {
    Variables(value);
    SCOPED_TRACE(value);
    for (const char* folder : refused) EXPECT_EQ(ErasableFolder(ctx, folder), "") << folder;
    for (const char* folder : erasable) EXPECT_NE(ErasableFolder(ctx, folder), "") << folder;
  }
}

TEST_F(SystemFoldersTest, AWalkOrCookieEraseSetToOneErasesNothingThere) {
  Variables("");
  for (const char* file :
       {"C:\\Windows\\SysWOW64\\kernel32.dll", "C:\\Windows\\Fonts\\arial.ttf",
        "C:\\Users\\user\\Documents\\letter.doc", "C:\\Program Files\\App\\app.exe"})
    w.files.AddFile(file, "keep");
  for (const char* folder : {"C:\\Windows\\SysWOW64", "C:\\Windows\\Fonts",
                             "C:\\Users\\user\\Documents", "C:\\Program Files"}) {
    EraseFilesInTree(ctx, folder, "*.*");
    EXPECT_FALSE(EraseFolder(ctx, folder)) << folder;
    EraseFile(ctx, std::string(folder) + "\\*.*");
  }
  EXPECT_TRUE(w.files.deleted.empty());
  EXPECT_TRUE(Journal("write").empty());
}

TEST_F(ModFilesTest, SubFolderSwappedForALinkDuringTheWalkIsLeft) {
  for (const char* file : {"C:\\Docs\\one.doc", "C:\\Docs\\two.doc"}) w.files.AddFile(file, "mine");
  w.files.AddFile("C:\\Temp\\a.tmp", "a");
  w.files.AddFile("C:\\Temp\\Early\\b.tmp", "b");
  w.files.AddFile("C:\\Temp\\Late\\c.tmp", "c");
  w.files.AddFile("C:\\Temp\\Zeta\\e.tmp", "e");
  // "Early" is swapped once the base folder's sub-folders are known, before it
  // is entered (at the first yield, while the base is listed); "Late" once it
  // was entered, as its entries are about to be listed.
  w.loop.onDoEvents = [this](int count) {
    if (count == 1) w.files.SwapForFolderLink("C:\\Temp\\Early", "C:\\Docs");
  };
  w.files.onFind = [this](const std::string& pattern) {
    if (pattern == "C:\\Temp\\Late\\*") w.files.SwapForFolderLink("C:\\Temp\\Late", "C:\\Docs");
  };
  EraseFilesInTree(ctx, "C:\\Temp", "*.*");
  EXPECT_EQ(w.files.Data("C:\\Docs\\one.doc"), "mine");
  EXPECT_EQ(w.files.Data("C:\\Docs\\two.doc"), "mine");
  // Opened, found elsewhere and closed untouched: never written or deleted.
  for (const std::string& line : w.files.journal)
    if (line.rfind("write", 0) == 0 || line.rfind("delete", 0) == 0) {
      EXPECT_EQ(line.find("Docs"), std::string::npos) << line;
    }
  // The walk left "Late" at its first file and went on with the rest.
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\a.tmp"));
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\Zeta\\e.tmp"));
  EXPECT_EQ(ctx.FilesDeleted, 2);
  const Lines lines = Progress();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "  C:\\Temp\\Late\\one.doc"), 1);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "  C:\\Temp\\Late\\two.doc"), 0);
}

TEST(EveryWalkTest, NoneEntersAFolderSwappedForALinkWhileItWorks) {
  // Each caller's folder is swapped for a link to the user's documents at a
  // moment of its walk: a sub-folder once its sibling is listed, the base
  // folder itself while it is being checked.
  const struct {
    const char* caller;
    std::string folder, swapped, trigger;  // trigger: the Find or CanonicalPath that swaps
    std::function<void(Context&)> run;
  } table[] = {
      {"definitions", "C:\\Program Files\\App\\Logs", "C:\\Program Files\\App\\Logs\\Z",
       "C:\\Program Files\\App\\Logs\\A\\*",
       [](Context& ctx) {
         const std::string_view texts[] = {"[App]\r\ndeletefiles=%Program Files%\\App\\Logs\\*.*"};
         RunDefinitionSection(ctx, texts, "App");
       }},
      {"index.dat batch", "C:\\Profile\\History", "C:\\Profile\\History\\Z",
       "C:\\Profile\\History\\A\\*",
       [](Context& ctx) { CreateIndexDatBatch(ctx, "C:\\Profile\\History"); }},
      {"keep-list dialog", "C:\\Profile\\Cookies", "C:\\Profile\\Cookies", "C:\\Profile\\Cookies",
       [](Context& ctx) { EXPECT_EQ(ListCurrentCookies(ctx), Lines{}); }},
      {"cookie eraser", "C:\\Profile\\Cookies", "C:\\Profile\\Cookies", "C:\\Profile\\Cookies",
       [](Context& ctx) { DeleteIECookies(ctx); }},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.caller);
    TestWorld w;
    w.ctx.ProgramFilesFolder = "C:\\Program Files";
    w.ctx.CookiesFolder = row.folder;
    w.files.AddFolder("C:\\Temp");
    for (const char* file : {"\\A\\index.dat", "\\A\\a.txt", "\\Z\\index.dat", "\\Z\\z.txt"})
      w.files.AddFile(row.folder + file, "trace");
    for (const char* file : {"C:\\Docs\\index.dat", "C:\\Docs\\doc.txt"}) w.files.AddFile(file, "mine");
    bool swapped = false;
    Lines findsAfter;
    const auto maybeSwap = [&](const std::string& arg) {
      if (swapped || !EqualsNoCase(arg, row.trigger)) return;
      swapped = true;
      w.files.SwapForFolderLink(row.swapped, "C:\\Docs");
    };
    w.files.onCanonicalPath = maybeSwap;
    w.files.onFind = [&](const std::string& pattern) {
      if (swapped) findsAfter.push_back(pattern);
      maybeSwap(pattern);
    };
    row.run(w.ctx);
    EXPECT_TRUE(swapped);
    for (const std::string& pattern : findsAfter)
      EXPECT_FALSE(StartsWithNoCase(pattern, row.swapped + "\\")) << pattern;
    EXPECT_EQ(w.files.Data("C:\\Docs\\doc.txt"), "mine");
    EXPECT_EQ(w.files.Data("C:\\Docs\\index.dat"), "mine");
    for (const std::string& path : w.files.rebootDeletes)
      EXPECT_TRUE(StartsWithNoCase(path, row.folder + "\\A\\")) << path;
  }
}

}  // namespace
}  // namespace nimbrel
