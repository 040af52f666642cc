#include "erasers/JumpLists.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;

std::string Sample(const std::string& name) {
  std::ifstream in(std::string(NIMBREL_TEST_DATA) + "/jumplists/" + name +
                       ".automaticDestinations-ms",
                   std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
const std::string kPinned = Sample("quick-access-18-pinned");
const std::string kUnpinned = Sample("10-recent-none-pinned");
const std::string kNeverFilled = Sample("never-filled");

std::string With(std::string bytes, std::size_t at, std::string_view put) {
  return bytes.replace(at, put.size(), put);
}

TEST(JumpLists, ThePinsAreReadFromTheDestListAndADamagedFileIsUnreadable) {
  ASSERT_EQ(kUnpinned.substr(2944, 8), std::string("\x04\0\0\0\x0a\0\0\0", 8));
  const struct {
    const char* what;
    std::string file;
    std::optional<std::uint32_t> pinned;
  } cases[] = {
      {"Quick Access, 18 pinned", kPinned, 18},
      {"10 recent, none pinned", kUnpinned, 0},
      {"never filled: no DestList", kNeverFilled, 0},
      // The header counts none, the first entry's own pin state says pinned.
      {"an entry pinned", With(kUnpinned, 2944 + 32 + 108, std::string(4, '\0')), 1},
      {"cut short", kUnpinned.substr(0, 3000), std::nullopt},
      {"more entries than the stream holds", With(kUnpinned, 2948, "\xe8\x03"), std::nullopt},
      {"an allocation sector past the end", With(kPinned, 0x4C, std::string("\x00\x10\x00\x00", 4)),
       std::nullopt},
      {"not a compound file", std::string(4096, 'x'), std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(PinnedJumpListItems(c.file), c.pinned) << c.what;
}

TEST(JumpLists, APinnedOrUnreadableListIsKeptWholeAndTheOthersGoFromWindows7On) {
  const std::string recent = "C:\\Users\\ann\\AppData\\Roaming\\Microsoft\\Windows\\Recent";
  const std::string automatic = recent + "\\AutomaticDestinations\\";
  const std::string custom = recent + "\\CustomDestinations\\";
  for (const OsVersion version : {OsVersion{5, 1, 2}, OsVersion{6, 0, 2}, OsVersion{6, 1, 2},
                                  OsVersion{10, 0, 2}}) {
    SCOPED_TRACE(version.major * 10 + version.minor);
    TestWorld w;
    w.ctx.SetReport(&w.report);
    w.system.version = version;
    w.shell.specialFolders[kCsidlRecent] = recent;
    w.files.AddFile(automatic + "f01b4d95cf55d32a.automaticDestinations-ms", kPinned);
    w.files.AddFile(automatic + "5f7b5f1e01b83767.automaticDestinations-ms", kUnpinned);
    w.files.AddFile(automatic + "9b9cdc69c1c24e2b.automaticDestinations-ms", kNeverFilled);
    w.files.AddFile(automatic + "1bc392b8e104a00e.automaticDestinations-ms", "damaged");
    w.files.AddFile(automatic + "desktop.ini", "kept");
    w.files.AddFile(custom + "5d696d521de238c3.customDestinations-ms", "tasks");
    w.files.AddFile(recent + "\\report.docx.lnk", "not a jump list");
    EraseJumpLists(w.ctx);
    const bool lists = version.major > 6 || (version.major == 6 && version.minor >= 1);
    EXPECT_EQ(w.files.Data(automatic + "f01b4d95cf55d32a.automaticDestinations-ms"), kPinned);
    EXPECT_EQ(w.files.Data(automatic + "1bc392b8e104a00e.automaticDestinations-ms"), "damaged");
    EXPECT_EQ(w.files.Exists(automatic + "5f7b5f1e01b83767.automaticDestinations-ms"), !lists);
    EXPECT_EQ(w.files.Exists(automatic + "9b9cdc69c1c24e2b.automaticDestinations-ms"), !lists);
    EXPECT_EQ(w.files.Exists(custom + "5d696d521de238c3.customDestinations-ms"), !lists);
    EXPECT_TRUE(w.files.Exists(automatic + "desktop.ini"));
    EXPECT_TRUE(w.files.Exists(recent + "\\report.docx.lnk"));
    if (!lists) {
      EXPECT_TRUE(w.report.lines.empty());
      continue;
    }
    EXPECT_EQ(w.report.lines,
              (Lines{"  kept (unreadable): " + automatic + "1bc392b8e104a00e.automaticDestinations-ms",
                     "  " + automatic + "5f7b5f1e01b83767.automaticDestinations-ms",
                     "  " + automatic + "9b9cdc69c1c24e2b.automaticDestinations-ms",
                     "  kept (pinned items): " + automatic + "f01b4d95cf55d32a.automaticDestinations-ms",
                     "  " + custom + "5d696d521de238c3.customDestinations-ms"}));
  }
}

}  // namespace
}  // namespace nimbrel
