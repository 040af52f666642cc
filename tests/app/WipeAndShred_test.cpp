// Files dropped on the main window are shredded only once the user said Yes
// to the count and size; with nothing to shred, the message says why.
#include "app/WipeAndShred.h"

#include <gtest/gtest.h>

#include "dialogs/FrmMessage.h"
#include "fakes/FakeDrives.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

TEST(WipeAndShredTest, ADropIsShreddedOnlyAfterYesAndARefusalIsShown) {
  struct Case {
    const char* name;
    std::vector<std::string> dropped;
    bool yes;
    const char* shown;  // the start of the message's text
    bool gone;
  } cases[] = {
      {"Yes", {"C:\\Data\\a.txt", "C:\\Data\\Old"}, true,
       "2 files (1,500 bytes) and 1 folder will be overwritten and deleted", true},
      {"No", {"C:\\Data\\a.txt", "C:\\Data\\Old"}, false,
       "2 files (1,500 bytes) and 1 folder will be overwritten and deleted", false},
      {"only a drive root", {"C:\\"}, true,
       "Nothing can be shredded:\r\n  left (refused: drive root): C:\\", false},
  };
  for (const Case& c : cases) {
    TestWorld w;
    FakeDrives drives{w.files};
    w.ctx.SetReport(&w.report);
    w.files.AddFolder("C:\\WINDOWS\\system32");
    w.files.AddFile("C:\\Data\\a.txt", std::string(1000, 'a'));
    w.files.AddFile("C:\\Data\\Old\\b.txt", std::string(500, 'b'));
    std::string text;
    w.loop.onModal = [&](Form& f) {
      auto& msg = static_cast<FrmMessage&>(f);
      text = msg.lblMesage.Caption();
      (c.yes && msg.cmdYes.Visible() ? msg.cmdYes : msg.cmdNo.Visible() ? msg.cmdNo : msg.cmdOK)
          .UserClick();
    };
    ShredFromWindow(w.ctx, drives, c.dropped);
    EXPECT_TRUE(text.starts_with(c.shown)) << c.name << ": " << text;
    EXPECT_EQ(w.files.Exists("C:\\Data\\a.txt"), !c.gone) << c.name;
    EXPECT_EQ(w.files.Exists("C:\\Data\\Old"), !c.gone) << c.name;
    EXPECT_EQ(w.ctx.FilesDeleted, c.gone ? 3 : 0) << c.name;
    EXPECT_FALSE(w.system.RunLocked()) << c.name;
  }
}

TEST(WipeAndShredTest, TheShredsPreviewListsWhatItWouldEraseAndChangesNothing) {
  TestWorld w;
  FakeDrives drives{w.files};
  w.files.AddFolder("C:\\WINDOWS\\system32");
  w.files.AddFile("C:\\Data\\Old\\a.txt", std::string(1000, 'a'));
  const auto before = w.files.Snapshot();
  EXPECT_EQ(ShredCommand(w.ctx, drives, {"C:\\Data\\Old"}, "C:\\out.tsv"), 0);
  const std::string out = w.files.Data("C:\\out.tsv");
  for (const char* line : {"Shred Files\tfile\tC:\\Data\\Old\\a.txt\t1000",
                           "Shred Files\tfolder\tC:\\Data\\Old"})
    EXPECT_NE(out.find(line), std::string::npos) << line << " in\n" << out;
  EXPECT_EQ(out.find("fill"), std::string::npos);
  auto after = w.files.Snapshot();
  after.erase("C:\\OUT.TSV");
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace nimbrel
