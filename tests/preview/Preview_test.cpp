#include "preview/Preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "cleaning/ApplicationCatalogue.h"
#include "cleaning/TrackCategories.h"
#include "erasers/WindowsTraces.h"
#include "erasers/modDefinitions.h"
#include "platform/Path.h"
#include "preview/RecordedWorld.h"
#include "preview/WindowlessRun.h"

namespace nimbrel {
namespace {

constexpr RegRoot HKCU = RegRoot::CurrentUser;
const std::string kPf = "C:\\Program Files";
const std::string kWinzip = "Software\\Nico Mak Computing\\Winzip";
const std::string kReal = "Software\\RealNetworks\\RealPlayer\\6.0\\Preferences";
const char* const kApps[] = {"Ad Adware 6", "Agent NewsReader", "Real Player 8",
                             "WinRar 3.x", "Winzip", "Zone Alram Logs"};

// The fake registry's name of a change's key or value ("HKCU\PATH", and
// "HKCU\PATH\\NAME" for a value), upper-cased.
std::string FakeId(const Change& c) {
  std::string id = ToUpper(c.item);
  id.replace(0, id.find('\\'), "HKCU");
  if (c.kind == ChangeKind::RegistryValue) {
    const std::string name = FileNameOf(id);
    id = ParentOf(id) + "\\\\" + (name == "(DEFAULT)" ? "" : name);
  }
  return id;
}

class PreviewTest : public ::testing::Test {
 protected:
  PreviewTest() {
    for (const TrackCategory& c : kTrackCategories) w.SetOption(c.key, "1");
    for (const TrackCategory& c : kWindowsTodayCategories) w.SetOption(c.key, "1");
    for (const Application& app : kApplications) w.SetOption(app.label, "False");
    for (const char* app : kApps) w.SetOption(app, "True");
    w.registry.PutString(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                         "PROG_FILES_DIR", kPf);
    w.files.AddFolder(kPf + "\\Nimbrel");
    // Windows Temp Files: two files and their folder; a read-only file, an
    // index.dat and a file in use that is only overwritten stay.
    w.files.AddFile("C:\\Temp\\a.txt", "temp a");
    w.files.AddFile("C:\\Temp\\sub\\b.log", "temp b, deeper");
    w.files.AddFile("C:\\Temp\\ro.txt", "read-only", kAttrArchive | kAttrReadOnly);
    w.files.AddFile("C:\\Temp\\sub\\index.dat", "kept");
    w.files.AddFile("C:\\Temp\\busy.tmp", "in use");
    w.files.Lock("C:\\Temp\\busy.tmp");
    w.shell.recycleBinItems = 4;
    // The applications: a folder erased whole, wildcards, a single file,
    // keys, values and the RealOne history.
    w.files.AddFile(kPf + "\\Lavasoft\\Ad-Aware 6\\Logs\\scan.log", "log");
    w.files.AddFile(kPf + "\\Lavasoft\\Ad-Aware 6\\Logs\\old\\scan2.log", "older log");
    w.files.AddFile(kPf + "\\Lavasoft\\Ad-Aware 6\\defs.ref", "kept");
    w.files.AddFile(kPf + "\\Agent\\Data\\a.IDX", "idx");
    w.files.AddFile(kPf + "\\Agent\\Data\\b.dat", "dat");
    w.files.AddFile(kPf + "\\Agent\\Data\\groups.ini", "kept");
    w.files.AddFile("C:\\WINDOWS\\Internet Logs\\ZALog.txt", "za");
    w.files.AddFile("C:\\WINDOWS\\Internet Logs\\ZALog.old", "kept");
    const std::string realOne = "C:\\Documents and Settings\\user\\Application Data\\Real\\RealOne Player";
    w.files.AddFile(realOne + "\\History\\h1.rpl", "history");
    w.files.AddFile(realOne + "\\realplayer.ste", "state");
    w.registry.PutString(HKCU, "Software\\WinRAR\\DialogEditHistory\\ArcName", "0", "a.rar");
    w.registry.PutString(HKCU, "Software\\WinRAR\\DialogEditHistory\\ExtrPath", "0", "kept");
    w.registry.PutString(HKCU, kWinzip + "\\filemenu", "0", "x");
    w.registry.PutString(HKCU, kWinzip + "\\directories", "DefDir", "C:\\zips");
    w.registry.PutString(HKCU, kWinzip + "\\directories", "AddDir", "kept");
    w.registry.PutString(HKCU, kReal + "\\MostRecentClips1", "", "clip");
    w.registry.AddKey(HKCU, kReal + "\\MostRecentClips2\\Child");  // a key with sub-keys stays
    // Windows XP's Open dialog list and folder views.
    w.registry.PutString(HKCU, std::string(kExplorerKey) + "\\ComDlg32\\OpenSaveMRU\\txt", "a",
                         "C:\\notes.txt");
    w.registry.PutString(HKCU, "Software\\Microsoft\\Windows\\ShellNoRoam\\Bags\\1\\Shell",
                         "Mode", "4");
  }

  std::vector<std::string> Rows() {
    WindowlessRun list(w.ctx);
    list.Run().FillToBeErasedList();
    return list.Rows();
  }

  TestWorld w;
};

TEST_F(PreviewTest, ThePreviewChangesNothingAndListsExactlyWhatTheRunThenChanges) {
  const std::vector<std::string> rows = Rows();
  ASSERT_EQ(rows.size(), 18u + 7u + 6u);
  w.DecideDataFolder();
  const WorldState before = StateOf(w);
  w.registry.journal.clear();  // the settings stored above
  const RecordedRun preview = RunRecorded(w.ctx, PreviewMode::Preview, rows);
  EXPECT_FALSE(preview.busy);
  EXPECT_EQ(StateOf(w), before);
  EXPECT_TRUE(JournalledChanges(w).empty());
  EXPECT_FALSE(w.system.runLocked);

  const RecordedRun run = RunRecorded(w.ctx, PreviewMode::PassThrough, rows);
  EXPECT_EQ(run.changes, preview.changes);
  const WorldState after = StateOf(w);

  // The journal of the run is what the fakes say changed, item by item.
  std::set<std::string> erasedFiles, erasedRegistry, modified;
  for (const Change& c : run.changes) {
    if (c.kind == ChangeKind::File || c.kind == ChangeKind::Folder)
      erasedFiles.insert(PathKey(c.item));
    else if (c.kind == ChangeKind::RegistryKey || c.kind == ChangeKind::RegistryValue)
      erasedRegistry.insert(FakeId(c));
    else if (c.kind == ChangeKind::Modified || c.kind == ChangeKind::Created)
      modified.insert(PathKey(c.item));
  }
  const std::vector<std::string> goneFiles = Gone(before.files, after.files);
  EXPECT_EQ(std::set<std::string>(goneFiles.begin(), goneFiles.end()), erasedFiles);
  for (const std::string& id : Gone(before.registry, after.registry)) {
    // A value goes with its key.
    const std::string key = id.substr(0, id.find("\\\\"));
    EXPECT_TRUE(erasedRegistry.count(id) || erasedRegistry.count(key)) << id;
  }
  for (const std::string& id : erasedRegistry) EXPECT_FALSE(after.registry.count(id)) << id;
  std::set<std::string> changedFiles;
  for (const auto& [key, value] : after.files)
    if (!before.files.count(key) || before.files.at(key) != value) changedFiles.insert(key);
  EXPECT_EQ(changedFiles, modified);
  EXPECT_EQ(after.recycleBinEmptied, 1);
  EXPECT_EQ(after.clipboardEmptied, 1);

  // What each row would erase, as the preview window shows it.
  const auto itemsOf = [&](const std::string& row) {
    std::vector<std::string> items;
    for (const Change& c : preview.changes)
      if (RowLabel(preview, c.row) == row)
        items.push_back(std::string(ChangeKindName(c.kind)) + " " + c.item + " " +
                        std::to_string(c.bytes));
    return items;
  };
  EXPECT_EQ(itemsOf("Windows Temp Files"),
            (std::vector<std::string>{"file C:\\Temp\\a.txt 6", "file C:\\Temp\\sub\\b.log 14"}));
  EXPECT_EQ(itemsOf("Windows Recycle Bin"), std::vector<std::string>{"recycle bin 4 0"});
  EXPECT_EQ(itemsOf("Windows Clipboard"), std::vector<std::string>{"clipboard  0"});
  EXPECT_EQ(itemsOf("Windows DNS Cache"), std::vector<std::string>{"dns cache  0"});
  EXPECT_EQ(itemsOf("Windows Explorer History"),
            std::vector<std::string>{"registry value HKEY_CURRENT_USER\\" + std::string(kExplorerKey) +
                                     "\\ComDlg32\\OpenSaveMRU\\txt\\a 0"});
  EXPECT_EQ(itemsOf("Windows Folder Views").size(), 3u);  // Bags, 1 and Shell
  EXPECT_EQ(itemsOf("Cookies"), std::vector<std::string>{});
  EXPECT_EQ(itemsOf("WinRar 3.x"),
            std::vector<std::string>{
                "registry key HKEY_CURRENT_USER\\Software\\WinRAR\\DialogEditHistory\\ArcName 0"});
  EXPECT_EQ(itemsOf("Zone Alram Logs"),
            std::vector<std::string>{"file C:\\WINDOWS\\Internet Logs\\ZALog.txt 2"});
  EXPECT_EQ(itemsOf("(after the rows)"),
            std::vector<std::string>{"created C:\\Program Files\\Nimbrel\\Log.txt 0"});
  const ChangeTotals totals = Totals(preview.changes);
  EXPECT_EQ(totals.files, 9);
  EXPECT_EQ(totals.folders, 2);  // Ad-Aware's Logs folder and the one in it
  EXPECT_EQ(totals.registryItems, 4 + 1 + 3);
}

TEST_F(PreviewTest, APreviewWithAnotherRunUnderWayRunsNothing) {
  w.system.runLocked = true;  // the window's own run
  const RecordedRun inRun = RunRecorded(w.ctx, PreviewMode::Preview, Rows());
  EXPECT_TRUE(inRun.busy);
  EXPECT_TRUE(inRun.changes.empty());
  w.system.runLocked = false;
  w.system.runLockedElsewhere = true;  // a command-line run that goes on past the wait
  const RecordedRun elsewhere = RunRecorded(w.ctx, PreviewMode::Preview, Rows());
  EXPECT_TRUE(elsewhere.busy);
  EXPECT_TRUE(elsewhere.changes.empty());
  EXPECT_EQ(w.system.runLockWaited, kRunLockWait);
}

// Where the program folder may not be written to, the preview lists the log
// where the run then keeps it, the application-data folder made for it.
TEST_F(PreviewTest, TheLogIsListedWhereTheRunKeepsIt) {
  const std::string appData = "C:\\Documents and Settings\\user\\Application Data";
  w.files.AddFolder(appData);
  w.files.DenyWrites(kPf + "\\Nimbrel");
  const std::vector<Change> listed = RunRecorded(w.ctx, PreviewMode::Preview, {}).changes;
  EXPECT_EQ(listed, (std::vector<Change>{
                        {0, ChangeKind::Created, appData + "\\Nimbrel", 0},
                        {0, ChangeKind::Created, appData + "\\Nimbrel\\Log.txt", 0}}));
  EXPECT_EQ(RunRecorded(w.ctx, PreviewMode::PassThrough, {}).changes, listed);
}

TEST_F(PreviewTest, TheTextHasOneTabSeparatedLinePerChange) {
  RecordedRun run;
  run.rows = {"Windows Temp Files"};
  run.changes = {{0, ChangeKind::File, "C:\\Temp\\a.txt", 6},
                 {0, ChangeKind::Folder, "C:\\Temp\\sub", 0},
                 {1, ChangeKind::Created, "C:\\Nimbrel\\Log.txt", 0},
                 {-1, ChangeKind::Window, "IEFrame", 0}};
  EXPECT_EQ(ChangesAsText(run),
            "Windows Temp Files\tfile\tC:\\Temp\\a.txt\t6\r\n"
            "Windows Temp Files\tfolder\tC:\\Temp\\sub\t\r\n"
            "(after the rows)\tcreated\tC:\\Nimbrel\\Log.txt\t\r\n"
            "(before the rows)\twindow\tIEFrame\t\r\n");
}

// One definitions section per directive kind, each previewed on its own:
// nothing changes, and what is listed is what the run then changes.
TEST(PreviewOfDefinitionsTest, EachDirectiveKindIsListedAsItsRunChangesIt) {
  const struct {
    const char* name;
    const char* line;
    std::function<void(TestWorld&)> plant;
    std::vector<Change> listed;
  } kinds[] = {
      {"value", "deleteval=HKEY_CURRENT_USER\\Software\\App\\Recent\\File1",
       [](TestWorld& w) {
         w.registry.PutString(HKCU, "Software\\App\\Recent", "File1", "x");
         w.registry.PutString(HKCU, "Software\\App\\Recent", "File2", "kept");
       },
       {{-1, ChangeKind::RegistryValue, "HKEY_CURRENT_USER\\Software\\App\\Recent\\File1", 0}}},
      {"key", "deletekey=HKEY_CURRENT_USER\\Software\\App\\History",
       [](TestWorld& w) { w.registry.PutString(HKCU, "Software\\App\\History", "0", "x"); },
       {{-1, ChangeKind::RegistryKey, "HKEY_CURRENT_USER\\Software\\App\\History", 0}}},
      {"file", "deletefiles=%Program Files%\\App\\app.log",
       [](TestWorld& w) { w.files.AddFile("C:\\Program Files\\App\\app.log", "12345"); },
       {{-1, ChangeKind::File, "C:\\Program Files\\App\\app.log", 5}}},
      {"wildcard", "deletefiles=%WindowsDirectory%\\App\\*.tmp",
       [](TestWorld& w) {
         w.files.AddFile("C:\\WINDOWS\\App\\a.tmp", "a");
         w.files.AddFile("C:\\WINDOWS\\App\\b.TMP", "bb");
         w.files.AddFile("C:\\WINDOWS\\App\\c.txt", "kept");
       },
       {{-1, ChangeKind::File, "C:\\WINDOWS\\App\\a.tmp", 1},
        {-1, ChangeKind::File, "C:\\WINDOWS\\App\\b.TMP", 2}}},
      {"folder", "deletefiles=%CurrentUser%\\App\\Cache\\*.*",
       [](TestWorld& w) {
         w.files.AddFile("C:\\Documents and Settings\\user\\App\\Cache\\x.bin", "xx");
         w.files.AddFile("C:\\Documents and Settings\\user\\App\\Cache\\in\\y.bin", "yyy");
       },
       {{-1, ChangeKind::File, "C:\\Documents and Settings\\user\\App\\Cache\\in\\y.bin", 3},
        {-1, ChangeKind::Folder, "C:\\Documents and Settings\\user\\App\\Cache\\in", 0},
        {-1, ChangeKind::File, "C:\\Documents and Settings\\user\\App\\Cache\\x.bin", 2},
        {-1, ChangeKind::Folder, "C:\\Documents and Settings\\user\\App\\Cache", 0}}},
  };
  for (const auto& kind : kinds) {
    SCOPED_TRACE(kind.name);
    TestWorld w;
    w.files.AddFolder("C:\\Temp");
    w.ctx.ProgramFilesFolder = "C:\\Program Files";
    kind.plant(w);
    const std::string text = std::string("[App]\r\n") + kind.line;
    const std::string_view texts[] = {text};
    const WorldState before = StateOf(w);
    const auto erase = [&](Context& ctx) {
      ThirdPartyPathsCreation(ctx, texts);
      RunDefinitionSection(ctx, texts, "App");
      DeleteThirdPartyFileCreated(ctx);
    };
    Recorder preview(w, PreviewMode::Preview);
    erase(preview.ctx);
    EXPECT_EQ(StateOf(w), before);
    EXPECT_TRUE(JournalledChanges(w).empty());
    EXPECT_EQ(preview.Changes(), kind.listed);
    Recorder run(w, PreviewMode::PassThrough);
    erase(run.ctx);
    EXPECT_EQ(run.Changes(), preview.Changes());
    EXPECT_NE(StateOf(w), before);
  }
}

}  // namespace
}  // namespace nimbrel
