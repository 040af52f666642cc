#include "cleaning/ActivityLog.h"

#include <gtest/gtest.h>

#include "app/FrmMain.h"
#include "cleaning/ApplicationCatalogue.h"
#include "cleaning/TrackCategories.h"
#include "dialogs/FrmMessage.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

const std::string kLog = "C:\\Program Files\\Nimbrel\\Log.txt";
const std::string kHeader = "\r\n\r\n\r\n   Nimbrel v3.0\r\n" + std::string(103, '~') + "\r\n\r\n\r\n";

class ActivityLogTest : public ::testing::Test {
 protected:
  ActivityLogTest() {
    w.files.AddFolder("C:\\Program Files\\Nimbrel");
    for (const TrackCategory& c : kTrackCategories) w.SetOption(c.key, "0");
    for (const Application& app : kApplications) w.SetOption(app.label, "False");
    w.loop.onModal = [this](Form& f) {
      messages.push_back(static_cast<FrmMessage&>(f).lblMesage.Caption());
      static_cast<FrmMessage&>(f).cmdOK.UserClick();
    };
  }
  TestWorld w;
  FrmMain main{w.ctx};
  std::vector<std::string> messages;
};

TEST_F(ActivityLogTest, TwoRunsAppendTwoRecordsByteForByte) {
  w.SetOption("chkWindowsClipboard", "1");
  main.Run().FillToBeErasedList();
  main.Run().StartCleanning();
  w.system.now.minute = 30;
  main.Run().StartCleanning();
  const std::string first = kHeader +
                            " Cleaning Started  at : 08/12/2026 14:05:09\r\n"
                            "Cleaning Windows Clipboard <OK>\r\n";
  const std::string second = kHeader +
                             " Cleaning Started  at : 08/12/2026 14:30:09\r\n"
                             "Cleaning Windows Clipboard <OK>\r\n";
  EXPECT_EQ(w.files.Data(kLog), first + second);
  EXPECT_EQ(main.PgbTemp.Value(), 0);
}

TEST_F(ActivityLogTest, EmptyRunAppendsTheHeaderAlone) {
  main.Run().StartCleanning();
  EXPECT_EQ(w.files.Data(kLog), kHeader);
}

TEST_F(ActivityLogTest, ProgressBarCountsDownWhileLinesAreCopied) {
  main.LstShowingTracksErasedProgress.AddItem("a");
  main.LstShowingTracksErasedProgress.AddItem("b");
  main.LstShowingTracksErasedProgress.AddItem("c");
  std::vector<int> seen;
  w.loop.onDoEvents = [&](int) { seen.push_back(main.PgbTemp.Value()); };
  WriteLogFile(w.ctx, main.LstShowingTracksErasedProgress, main.PgbTemp);
  EXPECT_EQ(main.PgbTemp.Max(), 3);
  EXPECT_EQ(seen, (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(w.files.Data(kLog), kHeader + "a\r\nb\r\nc\r\n");
}

TEST_F(ActivityLogTest, ALongRecordIsAppendedInAFewPiecesWithEveryLineWhole) {
  std::string lines;
  for (int i = 0; i < 5000; ++i) {
    const std::string line = "  C:\\Temp\\folder\\file" + std::to_string(i) + ".tmp";
    main.LstShowingTracksErasedProgress.AddItem(line);
    lines += line + "\r\n";
  }
  std::vector<std::string> seen;  // the log after each append
  w.DecideDataFolder();
  w.files.onWrite = [&](const std::string& path) { seen.push_back(w.files.Data(path)); };
  WriteLogFile(w.ctx, main.LstShowingTracksErasedProgress, main.PgbTemp);
  EXPECT_EQ(w.files.Data(kLog), kHeader + lines);
  EXPECT_GE(seen.size(), 2u);
  EXPECT_LE(seen.size(), 4u);
  for (const std::string& log : seen) EXPECT_TRUE(log.ends_with("\r\n"));
  EXPECT_EQ(main.PgbTemp.Value(), 0);
}

TEST_F(ActivityLogTest, DontStoreLogFileLeavesTheLogAlone) {
  w.SetOption("ChkDontStoreLogFile", "1");
  main.Run().StartCleanning();
  EXPECT_FALSE(w.files.Exists(kLog));
  w.files.AddFile(kLog, "old");
  main.Run().StartCleanning();
  EXPECT_EQ(w.files.Data(kLog), "old");
}

TEST_F(ActivityLogTest, ClearSaysWhetherThereWasALog) {
  main.Command8.UserClick();
  w.files.AddFile(kLog, "x");
  main.Command8.UserClick();
  EXPECT_FALSE(w.files.Exists(kLog));
  EXPECT_EQ(messages, (std::vector<std::string>{"There are no Log files to be cleared.",
                                                "Log File has been cleared sucessfully."}));
}

TEST_F(ActivityLogTest, ViewOpensAnExistingLogOnly) {
  main.Command9.UserClick();
  EXPECT_TRUE(w.shell.executions.empty());
  w.files.AddFile(kLog, "x");
  main.Command9.UserClick();
  ASSERT_EQ(w.shell.executions.size(), 1u);
  EXPECT_EQ(w.shell.executions[0].verb, "");
  EXPECT_EQ(w.shell.executions[0].file, kLog);
  EXPECT_EQ(w.shell.executions[0].folder, "C:\\Program Files\\Nimbrel");
  EXPECT_EQ(w.shell.executions[0].show, kSwShowNormal);
}

// Installed where it may not write, over a log an earlier copy left beside the
// exe: View opens that log until the first record or Clear moves the files to
// the application-data folder; from then on only the log there counts.
TEST_F(ActivityLogTest, AnEarlierLogBesideAnExeThatMayNotWriteThereMovesAtTheFirstChange) {
  const std::string appData = "C:\\Documents and Settings\\user\\Application Data";
  const std::string mine = appData + "\\Nimbrel", moved = mine + "\\Log.txt";
  for (const bool clearFirst : {false, true}) {
    SCOPED_TRACE(clearFirst ? "cleared first" : "a run first");
    TestWorld v;
    FrmMain window{v.ctx};
    messages.clear();
    v.loop.onModal = w.loop.onModal;
    v.files.AddFolder(appData);
    v.files.AddFile(kLog, "earlier\r\n");
    v.files.DenyWrites("C:\\Program Files\\Nimbrel");
    window.Command9.UserClick();
    if (clearFirst) window.Command8.UserClick();
    window.Run().StartCleanning();
    EXPECT_EQ(v.files.Data(moved), (clearFirst ? "" : "earlier\r\n") + kHeader);
    window.Command9.UserClick();
    window.Command8.UserClick();
    window.Command8.UserClick();
    window.Command9.UserClick();
    ASSERT_EQ(v.shell.executions.size(), 2u);
    EXPECT_EQ(v.shell.executions[0].file, kLog);
    EXPECT_EQ(v.shell.executions[1].file, moved);
    EXPECT_EQ(v.shell.executions[1].folder, mine);
    // The run's own message between; each Clear but the last cleared a log.
    const std::string cleared = "Log File has been cleared sucessfully.";
    ASSERT_EQ(messages.size(), clearFirst ? 4u : 3u);
    EXPECT_EQ(messages.front() == cleared, clearFirst);
    EXPECT_EQ(messages[messages.size() - 2], cleared);
    EXPECT_EQ(messages.back(), "There are no Log files to be cleared.");
    EXPECT_EQ(v.files.Data(kLog), "earlier\r\n");
  }
}

TEST_F(ActivityLogTest, ADataFolderThatIsALinkIsNotUsedAndTheFirstRunSaysSo) {
  const std::string mine = "C:\\Documents and Settings\\user\\Application Data\\Nimbrel";
  const std::string docs = "C:\\Documents and Settings\\user\\My Documents";
  TestWorld v;
  FrmMain window{v.ctx};
  v.loop.onModal = w.loop.onModal;
  v.files.AddFolder(docs);
  v.files.AddFolderLink(mine, docs);
  v.files.DenyWrites("C:\\Program Files\\Nimbrel");
  const std::string told = "  left (refused: link): " + mine + " (nothing is saved there)";
  for (int run = 1; run <= 2; ++run) {
    window.Run().StartCleanning();
    const ListBox& lines = window.LstShowingTracksErasedProgress;
    int count = 0;
    for (int i = 0; i < lines.ListCount(); ++i) count += lines.List(i) == told;
    EXPECT_EQ(count, run == 1) << "run " << run;
  }
  EXPECT_EQ(v.files.Find(docs + "\\*").size(), 2u);  // "." and ".." alone
}

}  // namespace
}  // namespace nimbrel
