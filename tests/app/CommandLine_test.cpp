#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include "cleaning/ApplicationCatalogue.h"
#include "cleaning/CleaningRun.h"
#include "cleaning/TrackCategories.h"
#include "dialogs/FrmMessage.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

using Words = std::vector<std::string>;
constexpr const char* kLog = "C:\\Program Files\\Nimbrel\\Log.txt";

TEST(CommandLineTest, SplitsAsWindowsProgramsDo) {
  EXPECT_EQ(SplitCommandLine(""), Words{});
  EXPECT_EQ(SplitCommandLine("  /erase\t-JOURNAL  j.txt "), (Words{"/erase", "-JOURNAL", "j.txt"}));
  EXPECT_EQ(SplitCommandLine("/preview \"C:\\My Files\\p.txt\""),
            (Words{"/preview", "C:\\My Files\\p.txt"}));
  EXPECT_EQ(SplitCommandLine("a\\\"b \"\" c\"d e\""), (Words{"a\"b", "", "cd e"}));
}

TEST(CommandLineTest, SwitchesInAnyCaseWithSlashOrDash) {
  const auto parse = [](const Words& words) { return ParseCommandLine(words); };
  EXPECT_EQ(parse({}).mode, CommandMode::Window);
  EXPECT_EQ(parse({"/erase"}).mode, CommandMode::Erase);
  EXPECT_EQ(parse({"-ERASE"}).mode, CommandMode::Erase);
  EXPECT_EQ(parse({"/?"}).mode, CommandMode::Usage);
  EXPECT_EQ(parse({"-?"}).mode, CommandMode::Usage);
  const CommandLine preview = parse({"/Preview", "C:\\Out\\p.txt"});
  EXPECT_EQ(preview.mode, CommandMode::Preview);
  EXPECT_EQ(preview.file, "C:\\Out\\p.txt");
  for (const Words& words : {Words{"/erase", "/journal", "j"}, Words{"-journal", "j", "/ERASE"}}) {
    const CommandLine erase = parse(words);
    EXPECT_EQ(erase.mode, CommandMode::Erase);
    EXPECT_EQ(erase.journal, "j");
  }
  // Bad: unknown, without a switch sign, repeated, combined, or lacking a file.
  for (const Words& words :
       {Words{"/erasing"}, Words{"erase"}, Words{"/"}, Words{"/erase", "/erase"},
        Words{"/erase", "/preview", "p"}, Words{"/?", "/erase"}, Words{"/preview"},
        Words{"/preview", ""}, Words{"/erase", "extra"}, Words{"/journal", "j"},
        Words{"/preview", "p", "/journal", "j"}, Words{"/erase", "/journal"},
        Words{"/erase", "/journal", "a", "/journal", "b"}})
    EXPECT_EQ(parse(words).mode, CommandMode::Bad) << ::testing::PrintToString(words);
}

class CommandLineRunTest : public ::testing::Test {
 protected:
  CommandLineRunTest() {
    for (const TrackCategory& c : kTrackCategories) w.SetOption(c.key, "0");
    for (const Application& app : kApplications) w.SetOption(app.label, "False");
    w.SetOption("chkWindowsTemp", "1");
    w.files.AddFolder("C:\\Program Files\\Nimbrel");
    w.files.AddFolder("C:\\Out");
    w.files.AddFile("C:\\Temp\\a.txt", "secret");
    w.files.AddFile("C:\\Temp\\sub\\b.txt", "more");
    w.loop.onModal = [this](Form& f) {
      modal.push_back(f.Name());
      f.Close();
    };
  }
  int Run(const std::string& line) {
    return RunCommandLine(w.ctx, ParseCommandLine(SplitCommandLine(line)));
  }
  TestWorld w;
  std::vector<std::string> modal;
};

TEST_F(CommandLineRunTest, EraseRunsTheStoredSelectionWithoutAnyWindowAndLogsIt) {
  EXPECT_EQ(Run("/erase"), kExitDone);
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\a.txt"));
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\sub\\b.txt"));
  const std::string log = w.files.Data(kLog);
  EXPECT_NE(log.find("   Nimbrel v3.0\r\n"), std::string::npos);
  EXPECT_NE(log.find("Cleaning Windows Temp Files <OK>\r\n"), std::string::npos);
  EXPECT_NE(log.find("  C:\\Temp\\a.txt\r\n"), std::string::npos);
  EXPECT_TRUE(w.loop.shown.empty());
  EXPECT_TRUE(modal.empty());
  EXPECT_FALSE(w.system.runLocked);
  // A second run appends its record.
  EXPECT_EQ(Run("-Erase"), kExitDone);
  EXPECT_GT(w.files.Data(kLog).size(), log.size());
}

TEST_F(CommandLineRunTest, EraseThatLeavesItemsExitsFiveAndLogsWhy) {
  const auto preview = [this] {
    EXPECT_EQ(Run("/preview C:\\Out\\p.txt"), kExitDone);
    return w.files.Data("C:\\Out\\p.txt");
  };
  // A preview lists changes alone: a file in use is none, and changes nothing.
  const std::string clean = preview();
  w.files.AddFile("C:\\Temp\\held.txt", "held");
  w.files.Lock("C:\\Temp\\held.txt");
  EXPECT_EQ(preview(), clean);

  EXPECT_EQ(Run("/erase"), kExitItemsLeft);
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\a.txt"));
  EXPECT_EQ(w.files.Data("C:\\Temp\\held.txt"), "held");
  EXPECT_NE(w.files.Data(kLog).find("\r\n  left (in use): C:\\Temp\\held.txt\r\n"),
            std::string::npos);
  EXPECT_EQ(Run("/erase /journal C:\\Out\\j.txt"), kExitItemsLeft);
  EXPECT_EQ(w.files.Data("C:\\Out\\j.txt").find("held.txt"), std::string::npos);
  EXPECT_TRUE(modal.empty());
}

TEST_F(CommandLineRunTest, NothingSelectedBadArgumentsAndABusyLockEraseNothing) {
  EXPECT_EQ(Run("/erase /now"), kExitBadArgument);
  EXPECT_EQ(Run("erase"), kExitBadArgument);
  w.system.runLockedElsewhere = true;
  EXPECT_EQ(Run("/erase"), kExitBusy);
  EXPECT_EQ(w.system.runLockWaited, kRunLockWait);
  w.system.runLockedElsewhere = false;
  w.SetOption("chkWindowsTemp", "0");
  EXPECT_EQ(Run("/erase"), kExitNothingSelected);
  EXPECT_TRUE(w.files.Exists("C:\\Temp\\a.txt"));
  EXPECT_FALSE(w.files.Exists(kLog));
  EXPECT_TRUE(modal.empty());
}

TEST_F(CommandLineRunTest, PreviewWritesWhatEraseWouldEraseAndChangesNothingElse) {
  const auto before = w.files.Snapshot();
  EXPECT_EQ(Run("/preview C:\\Out\\p.txt"), kExitDone);
  EXPECT_EQ(w.files.Data("C:\\Out\\p.txt"),
            "Windows Temp Files\tfile\tC:\\Temp\\a.txt\t6\r\n"
            "Windows Temp Files\tfile\tC:\\Temp\\sub\\b.txt\t4\r\n"
            "(after the rows)\tcreated\tC:\\Program Files\\Nimbrel\\Log.txt\t\r\n");
  auto after = w.files.Snapshot();
  after.erase("C:\\OUT\\P.TXT");
  EXPECT_EQ(after, before);

  // The run it previewed, with its journal: the same lines.
  EXPECT_EQ(Run("/erase /journal C:\\Out\\j.txt"), kExitDone);
  EXPECT_EQ(w.files.Data("C:\\Out\\j.txt"), w.files.Data("C:\\Out\\p.txt"));
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\a.txt"));
  EXPECT_TRUE(modal.empty());
}

TEST_F(CommandLineRunTest, PreviewOfNothingAndPreviewsThatCannotBeWritten) {
  EXPECT_EQ(Run("/preview C:\\Missing\\p.txt"), kExitNotWritten);
  EXPECT_EQ(Run("/erase /journal C:\\Missing\\j.txt"), kExitNotWritten);
  EXPECT_FALSE(w.files.Exists("C:\\Temp\\a.txt"));  // the run itself was made
  w.SetOption("chkWindowsTemp", "0");
  w.files.AddFile("C:\\Out\\p.txt", "old");
  EXPECT_EQ(Run("/preview C:\\Out\\p.txt"), kExitNothingSelected);
  EXPECT_EQ(w.files.Data("C:\\Out\\p.txt"), "");
}

TEST_F(CommandLineRunTest, UsageIsShownInTheProgramsMessageDialog) {
  std::string title, text;
  w.loop.onModal = [&](Form& f) {
    auto& msg = static_cast<FrmMessage&>(f);
    title = msg.strip.title.Caption();
    text = msg.lblMesage.Caption();
    EXPECT_TRUE(msg.cmdOK.Visible());
    EXPECT_FALSE(msg.cmdYes.Visible());
    msg.cmdOK.UserClick();
  };
  EXPECT_EQ(Run("/?"), kExitDone);
  EXPECT_EQ(title, "Nimbrel command line");
  EXPECT_NE(text.find("/erase"), std::string::npos);
  EXPECT_NE(text.find("/preview FILE"), std::string::npos);
  EXPECT_NE(text.find("Exit codes"), std::string::npos);
}

TEST(PreviewOnAFreshProfileTest, WritesNothingAndTakesTheDefaultsAsALoadWouldStoreThem) {
  TestWorld w;
  w.files.AddFolder("C:\\Program Files\\Nimbrel");
  w.files.AddFolder("C:\\Out");
  w.files.AddFile("C:\\Temp\\a.txt", "secret");
  w.loop.onModal = [](Form& f) { f.Close(); };
  const auto registry = w.registry.Snapshot();
  EXPECT_EQ(RunCommandLine(w.ctx, ParseCommandLine({"/preview", "C:\\Out\\p.txt"})), kExitDone);
  EXPECT_EQ(w.registry.Snapshot(), registry);
  EXPECT_TRUE(w.registry.setLog.empty());
  EXPECT_NE(w.files.Data("C:\\Out\\p.txt").find("Windows Temp Files\tfile\tC:\\Temp\\a.txt\t6\r\n"),
            std::string::npos);
  EXPECT_TRUE(w.files.Exists("C:\\Temp\\a.txt"));
}

TEST(StoredSelectionTest, CategoriesNeverStoredCountAsChosenAndAreStored) {
  TestWorld w;
  const std::vector<std::string> rows = StoredSelection(w.ctx);
  // A fresh profile: every kind of trace but the folder views.
  ASSERT_EQ(rows.size(), kTrackCategories.size() + kWindowsTodayCategories.size() - 1 +
                             kApplications.size());
  EXPECT_EQ(rows.front(), "Location Bar History");
  EXPECT_EQ(rows.back(), "Zone Alram Logs");
  EXPECT_EQ(w.Option("chkCookies"), "1");
  EXPECT_TRUE(w.loop.shown.empty());
}

}  // namespace
}  // namespace nimbrel
