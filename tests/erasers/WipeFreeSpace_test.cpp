// The free-space wipe fills the room and the file table, flushes each pass,
// and leaves the drive as it found it, however it ends; its leftover folder
// goes at the next wipe or start, and nothing else ever does.
#include "erasers/WipeFreeSpace.h"

#include <gtest/gtest.h>

#include <functional>

#include "erasers/SecureOverwrite.h"
#include "fakes/FakeDrives.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

const std::string kRoot = "D:\\";
const std::string kFolder = "D:\\Nimbrel Free Space Wipe";

struct World : TestWorld {
  FakeDrives drives{files};
  World() {
    ctx.SetReport(&report);
    files.AddFolder("C:\\WINDOWS\\system32");
    files.AddFolder("D:\\");
    drives.drives[kRoot].capacity = (3ull << 20) + 1000;  // not a whole number of pieces
    files.AddFile("D:\\Work\\live.txt", std::string(5000, 'L'));
  }
  std::uint64_t Free() { return drives.Space(kRoot)->freeBytes; }
  // The bytes a fill file held when deleted, all of them block B's.
  std::uint64_t FillBytes(char fill) {
    std::uint64_t n = 0;
    for (const auto& [path, data] : files.dataWhenDeleted)
      if (path.find("\\fill") != std::string::npos) {
        EXPECT_EQ(data.find_first_not_of(fill), std::string::npos) << path;
        n += data.size();
      }
    return n;
  }
  int Flushes(const std::string& prefix) {
    int n = 0;
    for (const std::string& line : files.journal) n += line.starts_with("flush " + prefix);
    return n;
  }
};

TEST(WipeFreeSpaceTest, FillsTheRoomAndTheFileTableThenLeavesTheDriveAsItWas) {
  struct Case {
    const char* name;
    const char* extraPasses;  // nullptr: secure erasing off
    int passes;
  } cases[] = {{"secure erasing off: one pass", nullptr, 1},
               {"secure erasing on, two extra passes", "2", 3}};
  for (const Case& c : cases) {
    World w;
    if (c.extraPasses) {
      w.SetOption("chkenablesecureerasing", "1");
      w.SetOption("cmboverwriteTracksFiles", c.extraPasses);
    }
    const auto before = w.files.Snapshot();
    const std::uint64_t free = w.Free();
    const WipeResult r = WipeFreeSpace(w.ctx, w.drives, "d:");
    EXPECT_EQ(r.outcome, WipeOutcome::Done) << c.name;
    // Every byte of the room was written, in every pass, each pass flushed.
    EXPECT_EQ(w.FillBytes(kBlockB), r.written / c.passes) << c.name;
    EXPECT_GE(r.written / c.passes, free - 4096) << c.name;
    EXPECT_EQ(w.Flushes(kFolder + "\\fill"), c.passes + 1) << c.name;  // and the close's
    // The file table took small files until it held no more.
    EXPECT_GT(r.tableFiles, 100u) << c.name;
    EXPECT_EQ(r.freeAfter, free) << c.name;
    EXPECT_FALSE(r.folderLeft) << c.name;
    EXPECT_EQ(w.files.Snapshot(), before) << c.name;
  }
}

TEST(WipeFreeSpaceTest, HoweverItEndsAtMostItsFolderStaysAndTheNextStartRemovesIt) {
  struct Case {
    const char* name;
    std::function<void(World&)> set;
    WipeStep step;
    WipeOutcome outcome;
    bool folderLeft;
  } cases[] = {
      {"cancelled half-way", [](World&) {},
       [](const WipeStatus& s) { return s.written < s.total / 2; }, WipeOutcome::Cancelled, false},
      {"cancelled in the file table", [](World&) {},
       [](const WipeStatus& s) { return s.phase != WipePhase::FileTable; }, WipeOutcome::Cancelled,
       false},
      {"a full drive: only the file table",
       [](World& w) { w.drives.drives[kRoot].capacity = 5000; }, {}, WipeOutcome::Done, false},
      {"the drive goes away while it fills",
       [](World& w) { w.drives.drives[kRoot].goneAfter = 2ull << 20; }, {},
       WipeOutcome::DriveGone, true},
      {"a drive whose file table is full",
       [](World& w) { w.drives.drives[kRoot].entries = 2; }, {}, WipeOutcome::Failed, false},
  };
  for (const Case& c : cases) {
    World w;
    c.set(w);
    const auto before = w.files.Snapshot();
    const std::uint64_t free = w.drives.Space(kRoot)->freeBytes;
    const WipeResult r = WipeFreeSpace(w.ctx, w.drives, kRoot, c.step);
    EXPECT_EQ(r.outcome, c.outcome) << c.name;
    EXPECT_EQ(r.folderLeft, c.folderLeft) << c.name;
    EXPECT_EQ(w.files.Exists(kFolder), c.folderLeft) << c.name;
    // The drive comes back: the next start removes the folder, and says so.
    w.drives.ComeBack(kRoot);
    if (c.folderLeft) {
      EXPECT_EQ(RemoveWipeLeftovers(w.ctx, w.drives), std::vector<std::string>{kRoot}) << c.name;
      EXPECT_EQ(w.report.lines.back(),
                "  removed what an unfinished free space wipe left: " + kFolder)
          << c.name;
    }
    EXPECT_EQ(w.files.Snapshot(), before) << c.name;
    EXPECT_EQ(w.drives.Space(kRoot)->freeBytes, free) << c.name;
  }
}

TEST(WipeFreeSpaceTest, OnlyTheWipesOwnFolderIsEverRemovedAndOnlyOnAWritableFixedDrive) {
  struct Case {
    const char* name;
    std::function<void(World&)> plant;
    const char* aim;
    WipeOutcome outcome;
    const char* line;  // the last line told; nullptr: none
  } cases[] = {
      {"a leftover with its marker goes first",
       [](World& w) {
         w.files.AddFile(kFolder + "\\Nimbrel.wipe", "m");
         w.files.AddFile(kFolder + "\\fill1.tmp", "BBBB");
         w.files.AddFile(kFolder + "\\t\\0\\1", "BBBB");
       },
       "D:\\", WipeOutcome::Done, nullptr},
      {"a folder of that name without the marker is the user's",
       [](World& w) { w.files.AddFile(kFolder + "\\mine.txt", "keep"); }, "D:\\",
       WipeOutcome::Unfinished,
       "  left (refused: not the wipe's folder): D:\\Nimbrel Free Space Wipe"},
      {"a link of that name is never followed",
       [](World& w) {
         w.files.AddFile("D:\\Work\\target\\Nimbrel.wipe", "m");
         w.files.AddFolderLink(kFolder, "D:\\Work\\target");
       },
       "D:\\", WipeOutcome::Unfinished,
       "  left (refused: link): D:\\Nimbrel Free Space Wipe"},
      {"a read-only drive", [](World& w) { w.drives.drives[kRoot].readOnly = true; }, "D:",
       WipeOutcome::NotWipeable, nullptr},
      {"a removable drive", [](World& w) { w.drives.drives[kRoot].fixed = false; }, "D:",
       WipeOutcome::NotWipeable, nullptr},
      {"no drive letter", [](World&) {}, "D", WipeOutcome::NotWipeable, nullptr},
      {"a folder, not a drive", [](World&) {}, "D:\\Work", WipeOutcome::NotWipeable, nullptr},
      {"a drive not there", [](World&) {}, "E:", WipeOutcome::NotWipeable, nullptr},
  };
  for (const Case& c : cases) {
    World w;
    c.plant(w);
    const bool leftover = w.files.Exists(kFolder + "\\fill1.tmp");
    const auto before = w.files.Snapshot();
    const WipeResult r = WipeFreeSpace(w.ctx, w.drives, c.aim);
    EXPECT_EQ(r.outcome, c.outcome) << c.name;
    EXPECT_EQ(r.leftoverRemoved, leftover) << c.name;
    if (c.line) {
      EXPECT_EQ(w.report.lines.back(), c.line) << c.name;
    }
    if (leftover) {
      EXPECT_FALSE(w.files.Exists(kFolder)) << c.name;
    } else {
      EXPECT_EQ(w.files.Snapshot(), before) << c.name;
    }
  }
}

TEST(WipeFreeSpaceTest, DriveRootTakesADriveLetterOnly) {
  const std::pair<const char*, const char*> cases[] = {
      {"c:", "C:\\"}, {"C:\\", "C:\\"}, {" d:/ ", "D:\\"}, {"C", ""},
      {"C:\\x", ""},  {"1:", ""},       {"\\\\server\\share", ""}};
  for (const auto& [text, root] : cases) EXPECT_EQ(DriveRoot(text), root) << text;
}

}  // namespace
}  // namespace nimbrel
