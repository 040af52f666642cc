#include "cleaning/CleaningRun.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/FrmMain.h"
#include "cleaning/ApplicationCatalogue.h"
#include "cleaning/TrackCategories.h"
#include "dialogs/FrmEraseingSettings.h"
#include "dialogs/FrmMessage.h"
#include "erasers/modFiles.h"
#include "erasers/modRegistry.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

class CleaningRunTest : public ::testing::Test {
 protected:
  CleaningRunTest() {
    for (const TrackCategory& c : kTrackCategories) w.SetOption(c.key, "0");
    for (const Application& app : kApplications) w.SetOption(app.label, "False");
    w.loop.onModal = [this](Form& f) {
      auto& msg = static_cast<FrmMessage&>(f);
      messages.push_back(msg.strip.title.Caption() + "|" + msg.lblMesage.Caption());
      okOnly = msg.cmdOK.Visible() && !msg.cmdYes.Visible() && !msg.cmdNo.Visible();
      menusDuringMessage = main.mnuStartErasing.Enabled();
      statusDuringMessage = main.lblstatus.Caption();
      msg.cmdOK.UserClick();
    };
  }

  using Lines = std::vector<std::string>;
  Lines Progress() { return main.LstShowingTracksErasedProgress.Lines(); }

  TestWorld w;
  FrmMain main{w.ctx};
  CleaningRun& run = main.Run();
  std::vector<std::string> messages;
  bool okOnly = false;
  bool menusDuringMessage = true;
  std::string statusDuringMessage;
  std::size_t closedBeforeTheEnd = 0;
};

TEST_F(CleaningRunTest, ListHoldsSelectedCategoriesInCatalogueOrder) {
  w.SetOption("chkWindowsTemp", "1");
  w.SetOption("chkCookies", " 1 ");
  w.SetOption("chkIndex", "2");          // only exactly 1 selects
  w.SetOption("chkLocationBarHistory", "yes");  // not a number: not selected
  run.FillToBeErasedList();
  ASSERT_EQ(main.lvwToBeErased.Count(), 2);
  EXPECT_EQ(main.lvwToBeErased.Item(0).text, "Cookies");
  EXPECT_EQ(main.lvwToBeErased.Item(1).text, "Windows Temp Files");
  EXPECT_EQ(main.lvwToBeErased.Item(0).smallIcon, RowMark::Category);
}

TEST_F(CleaningRunTest, RunWalksEveryRowWithLinesMarksAndStates) {
  w.SetOption("chkCookies", "1");
  w.SetOption("chkWindowsClipboard", "1");
  run.FillToBeErasedList();
  main.lvwToBeErased.SetSubItem(0, 1, "Done");  // left over from an earlier run
  run.StartCleanning();

  const auto lines = Progress();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], " Cleaning Started  at : 08/12/2026 14:05:09");
  EXPECT_EQ(lines[1], "Cleaning Cookies <OK>");
  EXPECT_EQ(lines[2], "Cleaning Windows Clipboard <OK>");
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(main.lvwToBeErased.SubItem(i, 1), "Done");
    EXPECT_EQ(main.lvwToBeErased.Item(i).smallIcon, RowMark::Reached);
  }
  EXPECT_EQ(w.desktop.clipboardEmptied, 1);
  EXPECT_EQ(main.PgbTemp.Max(), 3);  // the log leaves it at its line count
  EXPECT_EQ(main.PgbTemp.Value(), 0);
  EXPECT_TRUE(main.PgbTemp.BarColours());
  EXPECT_EQ(statusDuringMessage, " Cleaning ...");
  EXPECT_EQ(main.lblstatus.Caption(), " Ready");
  EXPECT_EQ(main.lblstatus.Left(), 45);
  EXPECT_EQ(messages, (std::vector<std::string>{
                          "Information| All selected tracks were erased sucessfully."}));
  EXPECT_TRUE(okOnly);
  EXPECT_FALSE(menusDuringMessage);  // the menus come back after the message
  EXPECT_TRUE(main.mnuStartErasing.Enabled());
  EXPECT_TRUE(main.mnuOptions.Enabled());
  EXPECT_TRUE(main.mnuEraseSetting.Enabled());
  EXPECT_TRUE(main.Picture1.Enabled());
  EXPECT_FALSE(w.ctx.MessageAnswer);
}

TEST_F(CleaningRunTest, TheStatusStripSaysHowManyItemsTheRunLeft) {
  w.SetOption("chkWindowsTemp", "1");
  w.SetOption("ChkDontStoreLogFile", "1");
  run.FillToBeErasedList();
  const struct {
    int locked;
    const char* status;
  } cases[] = {{2, " 2 items could not be erased"}, {1, " 1 item could not be erased"},
               {0, " Ready"}};
  for (const auto& c : cases) {
    // A temp folder of its own for each run, with its files in use.
    const std::string temp = "C:\\Temp" + std::to_string(c.locked);
    w.system.env["TEMP"] = temp;
    w.files.AddFile(temp + "\\erased.txt", "x");
    for (int i = 0; i < c.locked; ++i) {
      w.files.AddFile(temp + "\\locked" + std::to_string(i) + ".txt", "x");
      w.files.Lock(temp + "\\locked" + std::to_string(i) + ".txt");
    }
    messages.clear();
    run.StartCleanning();
    EXPECT_EQ(main.lblstatus.Caption(), c.status) << c.locked;
    EXPECT_EQ(w.ctx.ItemsLeft, c.locked);
    EXPECT_FALSE(w.files.Exists(temp + "\\erased.txt"));
    // The message says what it always says; the progress list says what was left.
    EXPECT_EQ(messages, (Lines{"Information| All selected tracks were erased sucessfully."}));
    const Lines lines = Progress();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.starts_with("  left (in use): "); }),
              c.locked);
  }
}

TEST_F(CleaningRunTest, ARunWaitsForAnotherProcesssRunWithItsCommandsDisabled) {
  w.SetOption("chkWindowsClipboard", "1");
  run.FillToBeErasedList();
  w.system.runLockedElsewhere = true;
  int tries = 0;
  std::string statusWhileWaiting;
  bool usableWhileWaiting = true;
  w.system.onRunLockWait = [&] {
    statusWhileWaiting = main.lblstatus.Caption();
    usableWhileWaiting = main.Picture1.Enabled() || main.mnuStartErasing.Enabled();
    if (++tries == 3) w.system.runLockedElsewhere = false;  // that run ends
  };
  bool lockedDuringMessage = true;
  w.loop.onModal = [&](Form& f) {
    lockedDuringMessage = w.system.runLocked;
    f.Close();
  };
  run.StartCleanning();
  EXPECT_EQ(tries, 3);
  EXPECT_EQ(statusWhileWaiting, " Waiting for another run of Nimbrel to end ...");
  EXPECT_FALSE(usableWhileWaiting);
  EXPECT_EQ(w.desktop.clipboardEmptied, 1);
  EXPECT_FALSE(run.BusyElsewhere());
  // Released once the erasing and the log are done, before the message.
  EXPECT_FALSE(lockedDuringMessage);
  EXPECT_FALSE(w.system.runLocked);
}

TEST_F(CleaningRunTest, ARunKeptWaitingPastTheBoundErasesNothingAndSaysSo) {
  w.SetOption("chkWindowsClipboard", "1");
  run.FillToBeErasedList();
  w.system.runLockedElsewhere = true;
  run.StartCleanning();
  EXPECT_TRUE(run.BusyElsewhere());
  EXPECT_FALSE(run.Running());
  EXPECT_EQ(w.system.runLockWaited, kRunLockWait);
  EXPECT_EQ(w.desktop.clipboardEmptied, 0);
  EXPECT_TRUE(Progress().empty());
  EXPECT_EQ(messages, (std::vector<std::string>{
                          "Information|Another run of Nimbrel is still erasing. Nothing was "
                          "erased; please try again when it has finished."}));
  EXPECT_TRUE(main.Picture1.Enabled());
  EXPECT_TRUE(main.mnuStartErasing.Enabled());
  EXPECT_EQ(main.lblstatus.Caption(), " Ready");

  // This process's own run lock (a preview under way): the run returns at once.
  w.system.runLockedElsewhere = false;
  w.system.runLocked = true;
  run.StartCleanning();
  EXPECT_EQ(w.desktop.clipboardEmptied, 0);
  EXPECT_EQ(messages.size(), 1u);
}

// A row is left out when a row listed before starts with its label, in any
// letter case: a community entry spelt twice is one row.
TEST_F(CleaningRunTest, ARowStartingAnEarlierRowIsListedOnce) {
  w.SetOption("chkCookies", "1");
  w.SetOption("Wordpad", "True");
  std::string ini;
  for (const char* name : {"Cookies", "Dup", "DUP", "Dup Two", "Wordpad"}) {
    ini += std::string("[") + name + " *]\r\nFileKey1=%Temp%|*.x\r\n";
    w.settings.WriteSetting("Winapp2", name, "True");
  }
  w.files.AddFile(w.ctx.dataFolder.PathToRead(w.ctx.platform, "Winapp2.ini"), ini);
  run.FillToBeErasedList();
  Lines rows;
  for (int i = 0; i < main.lvwToBeErased.Count(); ++i) rows.push_back(main.lvwToBeErased.Item(i).text);
  EXPECT_EQ(rows, (Lines{"Cookies", "Wordpad", "Cookies *", "Dup *", "Dup Two *", "Wordpad *"}));
}

TEST_F(CleaningRunTest, EmptyListGivesNoStartLineAndKeepsMax) {
  main.PgbTemp.SetMax(33);
  main.LstShowingTracksErasedProgress.AddItem("old line");
  run.FillToBeErasedList();
  run.StartCleanning();
  EXPECT_TRUE(Progress().empty());
  EXPECT_EQ(main.PgbTemp.Max(), 33);
  EXPECT_EQ(messages.size(), 1u);  // the completion message all the same
}

TEST_F(CleaningRunTest, CategoryDeselectedAfterBuildingGetsLineAndMarkButNoErase) {
  w.SetOption("chkWindowsClipboard", "1");
  run.FillToBeErasedList();
  w.SetOption("chkWindowsClipboard", "0");
  run.StartCleanning();
  EXPECT_EQ(Progress().back(), "Cleaning Windows Clipboard <OK>");
  EXPECT_EQ(main.lvwToBeErased.Item(0).smallIcon, RowMark::Reached);
  EXPECT_EQ(main.lvwToBeErased.SubItem(0, 1), "");
  EXPECT_EQ(w.desktop.clipboardEmptied, 0);
}

TEST_F(CleaningRunTest, MatchingIsTrimmedCaseInsensitiveEquality) {
  const std::string winrar = "Software\\WinRAR\\DialogEditHistory";
  w.registry.PutString(RegRoot::CurrentUser, winrar + "\\ArcName", "0", "C:\\a.rar");
  w.registry.PutString(RegRoot::CurrentUser, winrar + "\\ExtrPath", "0", "C:\\out");
  w.files.AddFolder("C:\\Temp");
  w.SetOption("chkWindowsClipboard", "1");
  w.SetOption("chkCookies", "1");
  main.lvwToBeErased.Add("  windows CLIPBOARD ", RowMark::Category);
  main.lvwToBeErased.Add("Opera Cookies", RowMark::Category);  // not "Cookies"
  main.lvwToBeErased.Add("Something Else", RowMark::Category);
  main.lvwToBeErased.Add("winrar 3.X", RowMark::Application);
  run.StartCleanning();
  EXPECT_EQ(w.desktop.clipboardEmptied, 1);
  EXPECT_EQ(main.lvwToBeErased.SubItem(0, 1), "Done");
  EXPECT_EQ(main.lvwToBeErased.SubItem(1, 1), "");  // Opera Cookies is not selected
  EXPECT_EQ(main.lvwToBeErased.SubItem(2, 1), "");  // matches nothing
  EXPECT_EQ(main.lvwToBeErased.SubItem(3, 1), "Done");
  EXPECT_EQ(Progress().size(), 5u);
  // The application row ran its section: one key deleted and counted, its
  // sibling kept, and the definitions file erased (and counted) again.
  EXPECT_FALSE(w.registry.HasKey(RegRoot::CurrentUser, winrar + "\\ArcName"));
  EXPECT_TRUE(w.registry.HasKey(RegRoot::CurrentUser, winrar + "\\ExtrPath"));
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 1);
  EXPECT_EQ(w.ctx.FilesDeleted, 1);
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\WFView"));
}

TEST_F(CleaningRunTest, FaultsOnTheWayEndWithTheMessageAndLoseNothingElse) {
  // Files the temp walk cannot erase, a key WinRar 3.x may not delete, Winzip
  // after it, and a log that cannot be written: each run still ends with its
  // message, and the rest is erased.
  const std::string winrar = "Software\\WinRAR\\DialogEditHistory\\ArcName";
  const std::string winzip = "Software\\Nico Mak Computing\\Winzip\\filemenu";
  const std::string log = "C:\\Program Files\\Nimbrel\\Log.txt";
  w.files.AddFile("C:\\Temp\\held.txt", "held");
  w.files.LockExclusive("C:\\Temp\\held.txt");
  w.files.AddFile("C:\\Temp\\in-use.txt", "in use");
  w.files.Lock("C:\\Temp\\in-use.txt");
  w.files.AddFile("C:\\Temp\\ro.txt", "ro", kAttrReadOnly);
  w.files.AddFile(log, "old log", kAttrReadOnly);
  w.SetOption("chkWindowsTemp", "1");
  w.SetOption("WinRar 3.x", "True");
  w.SetOption("Winzip", "True");
  for (int attempt = 0; attempt < 2; ++attempt) {
    w.files.AddFile("C:\\Temp\\Sub\\a.tmp", "a");
    w.registry.PutString(RegRoot::CurrentUser, winrar, "0", "C:\\a.rar");
    w.registry.MarkReadOnly(RegRoot::CurrentUser, winrar);
    w.registry.PutString(RegRoot::CurrentUser, winzip, "0", "x");
    if (attempt == 1) {
      w.files.SetAttributes(log, kAttrNormal);
      w.files.Delete(log);
      w.files.AddFolder(log);  // a folder in the log's place
    }
    messages.clear();
    run.FillToBeErasedList();
    run.StartCleanning();
    EXPECT_EQ(messages, (Lines{"Information| All selected tracks were erased sucessfully."})) << attempt;
    EXPECT_EQ(w.files.Data("C:\\Temp\\held.txt"), "held");
    EXPECT_EQ(w.files.Data("C:\\Temp\\in-use.txt"), "in use");
    EXPECT_EQ(w.files.Data("C:\\Temp\\ro.txt"), "ro");
    EXPECT_FALSE(w.files.Exists("C:\\Temp\\Sub\\a.tmp"));
    EXPECT_TRUE(w.registry.HasKey(RegRoot::CurrentUser, winrar));
    EXPECT_FALSE(w.registry.HasKey(RegRoot::CurrentUser, winzip));
    EXPECT_EQ(main.lvwToBeErased.SubItem(2, 1), "Done");
    if (attempt == 0) {
      EXPECT_EQ(w.files.Data(log), "old log");
    }
  }
  EXPECT_EQ(w.files.Attributes(log) & kAttrDirectory, kAttrDirectory);
}

TEST_F(CleaningRunTest, NoDefinitionsFileOutlivesARunWithOrWithoutApplicationRows) {
  const std::string file = "C:\\Temp\\WFView";
  w.files.AddFile(file, "left from a run that broke off");
  run.FillToBeErasedList();
  run.StartCleanning();  // no rows at all
  EXPECT_FALSE(w.files.Exists(file));
  EXPECT_EQ(w.ctx.FilesDeleted, 1);

  w.files.AddFile(file, "left again");
  w.SetOption("chkWindowsClipboard", "1");
  w.SetOption("Wordpad", "True");
  w.SetOption("Zone Alram Logs", "True");
  run.FillToBeErasedList();
  // Within an application row the file is there, and gone again before the next row.
  Lines seen;
  w.loop.onDoEvents = [&](int) {
    const Lines lines = Progress();
    if (!lines.empty() && lines.back().starts_with("Cleaning "))
      seen.push_back(lines.back() + (w.files.Exists(file) ? " with file" : ""));
  };
  run.StartCleanning();
  EXPECT_FALSE(w.files.Exists(file));
  seen.erase(std::unique(seen.begin(), seen.end()), seen.end());
  // (The yields while its lines are scrambled come before the file is written.)
  EXPECT_EQ(seen, (Lines{"Cleaning Windows Clipboard <OK>", "Cleaning Wordpad <OK>",
                         "Cleaning Wordpad <OK> with file", "Cleaning Wordpad <OK>",
                         "Cleaning Zone Alram Logs <OK>", "Cleaning Zone Alram Logs <OK> with file",
                         "Cleaning Zone Alram Logs <OK>"}));
}

TEST_F(CleaningRunTest, CountersAndLabelsAreResetAtTheStart) {
  w.ctx.RegistryItemsRemoved = 12;
  w.ctx.FilesDeleted = 7;
  main.lblSize.SetCaption("4096");
  main.lblScannedRegKeys.SetCaption("12");
  main.lvwToBeErased.Add("Unknown");
  run.StartCleanning();
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 0);
  EXPECT_EQ(w.ctx.FilesDeleted, 0);
  EXPECT_EQ(main.lblSize.Caption(), "0");
  EXPECT_EQ(main.lblScannedRegKeys.Caption(), "0");
  EXPECT_EQ(main.lblFilesDelete.Caption(), "0");
}

TEST_F(CleaningRunTest, PrimitivesCountDuringTheRow) {
  w.SetOption("chkWindowsClipboard", "1");
  run.FillToBeErasedList();
  w.loop.doEvents = 0;  // count the run's own yields
  main.lvwToBeErased.Add("Unknown");
  // A registry delete made while the first row runs shows in the label.
  w.loop.onDoEvents = [this](int n) {
    if (n == 1999) DeleteRegValue(w.ctx, RegRoot::CurrentUser, "Software\\X", "v");
  };
  run.StartCleanning();
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 1);
  EXPECT_EQ(main.lblScannedRegKeys.Caption(), "1");
}

// A run takes the protected folders once, at its start; a check after it
// asks the system afresh.
TEST_F(CleaningRunTest, ARunKeepsTheShellsProtectedFoldersAndLaterChecksAskAgain) {
  w.SetOption("chkWindowsTemp", "1");
  w.shell.specialFolders[kCsidlPersonal] = "C:\\Docs";
  w.system.env["TEMP"] = "C:\\Docs";
  w.files.AddFile("C:\\Docs\\letter.doc", "Dear reader");
  w.files.AddFile("C:\\Docs\\Old\\draft.doc", "draft");
  run.StartCleanning();
  EXPECT_EQ(w.files.Data("C:\\Docs\\letter.doc"), "Dear reader");
  EXPECT_EQ(w.files.Data("C:\\Docs\\Old\\draft.doc"), "draft");
  w.shell.specialFolders[kCsidlPersonal] = "C:\\Papers";
  EXPECT_NE(ErasableFolder(w.ctx, "C:\\Docs"), "");
  EXPECT_EQ(ErasableFolder(w.ctx, "C:\\Papers"), "");
}

TEST_F(CleaningRunTest, ErasersReportLinesCountsAndBytesInOrderThroughTheRun) {
  w.SetOption("chkWindowsTemp", "1");
  w.SetOption("ChkDontStoreLogFile", "1");
  w.files.AddFile("C:\\Temp\\a.tmp", std::string(10, 'a'));
  w.files.AddFile("C:\\Temp\\b.tmp", std::string(5, 'b'));
  run.FillToBeErasedList();
  RecordingReport recorder(w.loop, &main.Report());  // the window still shows it all
  w.ctx.SetReport(&recorder);
  w.loop.doEvents = 0;
  run.StartCleanning();
  EXPECT_EQ(recorder.calls,
            (Lines{"line  Cleaning Started  at : 08/12/2026 14:05:09", "row 0",
                   "line Cleaning Windows Temp Files <OK>", "line   C:\\Temp\\a.tmp", "files 1",
                   "bytes 10", "line   C:\\Temp\\b.tmp", "files 2", "bytes 15", "row 1",
                   "finished"}));
  // Every yield of the run went through the report: clearing the row, the
  // settle pause, the walk and the row's end.
  EXPECT_EQ(recorder.yields, w.loop.doEvents);
  EXPECT_EQ(Progress(), recorder.lines);
  EXPECT_EQ(main.lblFilesDelete.Caption(), "2");
  EXPECT_EQ(main.lblSize.Caption(), "15");
  w.ctx.SetReport(&main.Report());
}

TEST_F(CleaningRunTest, EachRowShowsBothCountersAsTheyStand) {
  w.SetOption("chkWindowsTemp", "1");
  w.SetOption("chkWindowsClipboard", "1");
  w.files.AddFile("C:\\Temp\\a.tmp", "a");
  run.FillToBeErasedList();
  // Something between the rows overwrites the labels; the next row's step
  // shows the counters again.
  w.loop.onDoEvents = [this](int) {
    const Lines lines = Progress();
    if (!lines.empty() && lines.back() == "  C:\\Temp\\a.tmp") {
      main.lblScannedRegKeys.SetCaption("stale");
      main.lblFilesDelete.SetCaption("stale");
    }
  };
  run.StartCleanning();
  EXPECT_EQ(main.lblScannedRegKeys.Caption(), "0");
  EXPECT_EQ(main.lblFilesDelete.Caption(), "1");
}

TEST_F(CleaningRunTest, SecondStartDuringARunDoesNothing) {
  w.SetOption("chkWindowsClipboard", "1");
  run.FillToBeErasedList();
  w.loop.doEvents = 0;  // count the run's own yields
  int nested = 0;
  w.loop.onDoEvents = [&](int n) {
    if (n == 10) {
      ++nested;
      run.StartCleanning();  // a timer tick or click served mid-run
      main.mnuStartErasing.UserClick();
    }
  };
  run.StartCleanning();
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(w.desktop.clipboardEmptied, 1);
  EXPECT_EQ(Progress().size(), 2u);
  EXPECT_FALSE(run.Running());
}

TEST_F(CleaningRunTest, BrowserWindowsAreClosedFirstOnlyWhenChosen) {
  w.desktop.windows = {{1, "IEFrame"}, {2, "Notepad"}};
  run.StartCleanning();
  EXPECT_TRUE(w.desktop.closed.empty());

  w.SetOption("ChkCloseAllIE", "1");
  w.loop.onModal = [this](Form& f) {
    closedBeforeTheEnd = w.desktop.closed.size();
    f.Close();
  };
  run.StartCleanning();
  EXPECT_EQ(w.desktop.closed, (std::vector<WindowHandle>{1}));
  EXPECT_EQ(closedBeforeTheEnd, 1u);
}

TEST_F(CleaningRunTest, FolderVariablesComeFromTheRegistry) {
  const std::string shell = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  w.registry.PutString(RegRoot::CurrentUser, shell, "Cookies", "C:\\Cookies");
  w.registry.PutString(RegRoot::CurrentUser, shell, "Cache", "C:\\Cache");
  w.registry.Put(RegRoot::CurrentUser, shell, "History", kRegExpandSz, std::string("%H%\0", 4));
  w.registry.PutString(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                       "PROG_FILES_DIR", "C:\\Program Files");
  w.ctx.HistoryFolder = "stale";
  run.StartCleanning();
  EXPECT_EQ(w.ctx.CookiesFolder, "C:\\Cookies");
  EXPECT_EQ(w.ctx.CacheFolder, "C:\\Cache");
  EXPECT_EQ(w.ctx.HistoryFolder, "");
  EXPECT_EQ(w.ctx.ProgramFilesFolder, "C:\\Program Files");
}

// The program-files folders: the old value first, then the one Windows
// writes; and the 32-bit programs' folder, which 64-bit Windows shows a
// 64-bit program.
TEST_F(CleaningRunTest, ProgramFilesFoldersComeFromTheValuesWindowsWrites) {
  struct Case {
    const char *old, *windows, *x86;  // nullptr: no such value
    std::string folder, x86Folder;
  };
  const Case cases[] = {
      {nullptr, "C:\\Program Files", "C:\\Program Files (x86)", "C:\\Program Files",
       "C:\\Program Files (x86)"},
      {nullptr, "C:\\Program Files", nullptr, "C:\\Program Files", ""},
      {"D:\\Apps", "C:\\Program Files", nullptr, "D:\\Apps", ""},
      {"", "C:\\Program Files", nullptr, "C:\\Program Files", ""},
      {nullptr, nullptr, nullptr, "", ""},
  };
  const std::string cv = "Software\\Microsoft\\Windows\\CurrentVersion";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder + " | " + c.x86Folder);
    w.registry.DeleteKey(RegRoot::LocalMachine, cv);
    const std::pair<const char*, const char*> values[] = {
        {"PROG_FILES_DIR", c.old}, {"ProgramFilesDir", c.windows},
        {"ProgramFilesDir (x86)", c.x86}};
    for (const auto& [name, data] : values)
      if (data) w.registry.PutString(RegRoot::LocalMachine, cv, name, data);
    run.StartCleanning();
    EXPECT_EQ(w.ctx.ProgramFilesFolder, c.folder);
    EXPECT_EQ(w.ctx.ProgramFilesX86Folder, c.x86Folder);
  }
}


TEST_F(CleaningRunTest, FreshProfileListsEveryCategoryThenEveryApplication) {
  TestWorld fresh;
  FrmMain freshMain(fresh.ctx);
  freshMain.Load();
  // The eighteen, then the kinds of trace of today's Windows but the folder views.
  std::vector<std::string> categories;
  for (const TrackCategory& c : kTrackCategories) categories.push_back(c.label);
  for (const TrackCategory& c : kWindowsTodayCategories) {
    EXPECT_EQ(fresh.Option(c.key), c.tickedWhenFresh ? "1" : "0") << c.key;
    if (c.tickedWhenFresh) categories.push_back(c.label);
  }
  EXPECT_EQ(fresh.Option(kFolderViewsKey), "0");
  for (const TrackCategory& c : kTrackCategories) EXPECT_EQ(fresh.Option(c.key), "1") << c.key;
  const ListView& list = freshMain.lvwToBeErased;
  const int n = static_cast<int>(categories.size());
  ASSERT_EQ(n, 24);
  ASSERT_EQ(list.Count(), n + 62);
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(list.Item(i).text, categories[static_cast<std::size_t>(i)]);
    EXPECT_EQ(list.Item(i).smallIcon, RowMark::Category);
  }
  for (int i = 0; i < 62; ++i) {
    EXPECT_EQ(list.Item(n + i).text, kApplications[static_cast<std::size_t>(i)].label);
    EXPECT_EQ(list.Item(n + i).smallIcon, RowMark::Application);
  }
}

TEST_F(CleaningRunTest, ApplicationRowsAreTheTickedOnesLettingMessagesThroughForEach) {
  w.SetOption("chkCookies", "1");
  w.SetOption("Winzip", "True");
  w.SetOption("ACDSee4", "1");
  const int before = w.loop.doEvents;
  run.FillToBeErasedList();
  ASSERT_EQ(main.lvwToBeErased.Count(), 3);
  EXPECT_EQ(main.lvwToBeErased.Item(0).text, "Cookies");
  EXPECT_EQ(main.lvwToBeErased.Item(1).text, "ACDSee4");
  EXPECT_EQ(main.lvwToBeErased.Item(2).text, "Winzip");
  EXPECT_EQ(main.lvwToBeErased.Item(2).smallIcon, RowMark::Application);
  // The list building yields after each application it reads.
  EXPECT_EQ(w.loop.doEvents - before, 62);
}

TEST_F(CleaningRunTest, EraseSettingsCommandRebuildsTheListAfterTheDialog) {
  w.SetOption("chkCookies", "1");
  w.SetOption("chkWindowsTemp", "1");
  w.SetOption("Winzip", "True");
  w.SetOption("Wordpad", "True");
  run.FillToBeErasedList();
  ASSERT_EQ(main.lvwToBeErased.Count(), 4);
  w.loop.onModal = [](Form& f) {
    auto& dlg = static_cast<FrmEraseingSettings&>(f);
    dlg.chkCookies.SetValue(0);
    dlg.lvwThirdpartyControls.UserCheck(dlg.lvwThirdpartyControls.FindItemPrefix("Winzip"), false);
    dlg.strip.close->UserClick();
  };
  main.Label7.UserClick();
  EXPECT_EQ(w.loop.modalShown, (std::vector<std::string>{"FrmEraseingSettings"}));
  ASSERT_EQ(main.lvwToBeErased.Count(), 2);
  EXPECT_EQ(main.lvwToBeErased.Item(0).text, "Windows Temp Files");
  EXPECT_EQ(main.lvwToBeErased.Item(1).text, "Wordpad");

  main.mnuEraseSetting.UserClick();  // the tray menu entry does the same
  EXPECT_EQ(w.loop.modalShown.size(), 2u);
}

}  // namespace
}  // namespace nimbrel
