#include "app/FrmPreview.h"

#include <gtest/gtest.h>

#include "app/FrmMain.h"
#include "cleaning/ApplicationCatalogue.h"
#include "cleaning/TrackCategories.h"
#include "dialogs/FrmMessage.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;

Lines Shown(const ListView& list) {
  Lines lines;
  for (int i = 0; i < list.Count(); ++i) {
    std::string line = list.Item(i).text;
    for (int sub = 1; sub <= 2; ++sub)
      if (!list.SubItem(i, sub).empty()) line += " | " + list.SubItem(i, sub);
    lines.push_back(line);
  }
  return lines;
}

TEST(FrmPreviewTest, ListsEachRowsItemsAndTheTotals) {
  TestWorld w;
  RecordedRun preview;
  preview.rows = {"Windows Temp Files", "Windows Recycle Bin", "Cookies", "WinRar 3.x"};
  preview.changes = {
      {-1, ChangeKind::Window, "IEFrame", 0},
      {-1, ChangeKind::Window, "IEFrame", 0},
      {0, ChangeKind::File, "C:\\Temp\\a.txt", 1200},
      {0, ChangeKind::Folder, "C:\\Temp\\sub", 0},
      {0, ChangeKind::Modified, "C:\\Temp\\busy.tmp", 0},
      {1, ChangeKind::RecycleBin, "1", 0},
      {3, ChangeKind::RegistryKey, "HKEY_CURRENT_USER\\Software\\WinRAR\\ArcName", 0},
      {3, ChangeKind::RegistryValue, "HKEY_CURRENT_USER\\Software\\WinRAR\\(Default)", 0},
      {4, ChangeKind::Created, "C:\\Nimbrel\\Log.txt", 0},
  };
  FrmPreview dlg(w.ctx, preview);
  EXPECT_EQ(Shown(dlg.lvwPreview),
            (Lines{"(before the rows)", "  2 Internet Explorer windows closed | Windows",
                   "Windows Temp Files", "  C:\\Temp\\a.txt | File | 1200",
                   "  C:\\Temp\\sub\\ | Folder", "  C:\\Temp\\busy.tmp | Changed, kept",
                   "Windows Recycle Bin", "  the recycle bin: 1 item | Recycle bin", "Cookies",
                   "  nothing to erase", "WinRar 3.x",
                   "  HKEY_CURRENT_USER\\Software\\WinRAR\\ArcName | Registry key",
                   "  HKEY_CURRENT_USER\\Software\\WinRAR\\(Default) | Registry value",
                   "(after the rows)", "  C:\\Nimbrel\\Log.txt | Written"}));
  EXPECT_EQ(dlg.lvwPreview.Item(2).smallIcon, RowMark::Category);
  EXPECT_EQ(dlg.lvwPreview.Item(10).smallIcon, RowMark::Application);
  EXPECT_EQ(dlg.lblTotals.Caption(),
            "Would erase 1 file (1200 bytes), 1 folder and 2 registry items.");
  EXPECT_EQ(TotalsText({0, 0, 2, 1}), "Would erase 0 files (0 bytes), 2 folders and 1 registry item.");
}

class PreviewCommandTest : public ::testing::Test {
 protected:
  PreviewCommandTest() {
    for (const TrackCategory& c : kTrackCategories) w.SetOption(c.key, "0");
    for (const Application& app : kApplications) w.SetOption(app.label, "False");
    w.SetOption("chkWindowsTemp", "1");
    w.files.AddFolder("C:\\Program Files\\Nimbrel");
    w.files.AddFile("C:\\Temp\\a.txt", "secret");
    main.Load();
  }
  TestWorld w;
  FrmMain main{w.ctx};
};

TEST_F(PreviewCommandTest, PreviewShowsWhatStartErasingWouldEraseAndErasesOnlyWhenAsked) {
  std::vector<bool> commandsDuringPreview;
  w.loop.onDoEvents = [&](int) {
    commandsDuringPreview.push_back(main.Picture1.Enabled() || main.mnuStartErasing.Enabled());
  };
  Lines shown;
  std::string totals;
  w.loop.onModal = [&](Form& f) {
    auto& dlg = static_cast<FrmPreview&>(f);
    shown = Shown(dlg.lvwPreview);
    totals = dlg.lblTotals.Caption();
    dlg.cmdClose.UserClick();
  };
  main.ImgPreviewNormal.UserMouseMove({});
  EXPECT_TRUE(main.ImgPreviewMouseMove.Visible());
  main.ImgPreviewMouseMove.UserClick();
  EXPECT_EQ(w.loop.modalShown, Lines{"FrmPreview"});
  EXPECT_EQ(shown, (Lines{"Windows Temp Files", "  C:\\Temp\\a.txt | File | 6", "(after the rows)",
                          "  C:\\Program Files\\Nimbrel\\Log.txt | Written"}));
  EXPECT_EQ(totals, "Would erase 1 file (6 bytes), 0 folders and 0 registry items.");
  EXPECT_TRUE(w.files.Exists("C:\\Temp\\a.txt"));
  EXPECT_FALSE(w.files.Exists("C:\\Program Files\\Nimbrel\\Log.txt"));
  EXPECT_TRUE(main.LstShowingTracksErasedProgress.Lines().empty());
  EXPECT_FALSE(commandsDuringPreview.empty());
  EXPECT_EQ(std::count(commandsDuringPreview.begin(), commandsDuringPreview.end(), true), 0);
  EXPECT_TRUE(main.Picture1.Enabled());
  EXPECT_TRUE(main.mnuStartErasing.Enabled());
  EXPECT_EQ(main.lblstatus.Caption(), " Ready");

  // Erase Now: the window's own run, with its progress, log and message.
  w.loop.onDoEvents = nullptr;
  w.loop.onModal = [&](Form& f) {
    if (f.Name() == "FrmPreview")
      static_cast<FrmPreview&>(f).cmdEraseNow.UserClick();
    else
      static_cast<FrmMessage&>(f).cmdOK.UserClick();
  };
  main.lblPreview.UserClick();
  EXPECT_EQ(w.loop.modalShown, (Lines{"FrmPreview", "FrmPreview", "FrmMessage"}));
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\a.txt"));
  EXPECT_TRUE(w.files.Exists("C:\\Program Files\\Nimbrel\\Log.txt"));
  EXPECT_EQ(main.LstShowingTracksErasedProgress.Lines().at(1), "Cleaning Windows Temp Files <OK>");
}

TEST_F(PreviewCommandTest, APreviewKeptWaitingByAnotherRunSaysSoAndShowsNothing) {
  w.system.runLockedElsewhere = true;
  std::string message;
  w.loop.onModal = [&](Form& f) {
    message = static_cast<FrmMessage&>(f).lblMesage.Caption();
    f.Close();
  };
  main.lblPreview.UserClick();
  EXPECT_EQ(w.loop.modalShown, Lines{"FrmMessage"});
  EXPECT_EQ(message,
            "Another run of Nimbrel is still erasing. Please take the preview again when it has "
            "finished.");
  EXPECT_TRUE(main.Picture1.Enabled());
}

}  // namespace
}  // namespace nimbrel
