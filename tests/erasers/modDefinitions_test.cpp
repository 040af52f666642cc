#include "erasers/modDefinitions.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "cleaning/PathDefs.h"
#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;
constexpr const char* kFile = "C:\\Temp\\WFView";

class DefinitionsTest : public ::testing::Test {
 protected:
  DefinitionsTest() {
    w.files.AddFolder("C:\\Temp");
    w.ctx.ProgramFilesFolder = "C:\\Program Files";
    w.ctx.SetReport(&w.report);
  }
  // Runs `section` of a definitions text of the test's own.
  void Run(const std::string& text, const std::string& section) {
    const std::string_view texts[] = {text};
    RunDefinitionSection(w.ctx, texts, section);
  }
  bool Value(RegRoot root, const std::string& key, const std::string& name) {
    return w.registry.Get(root, key, name) != nullptr;
  }
  TestWorld w;
};

TEST_F(DefinitionsTest, ScramblingRaisesEveryCodeByTenWithinAByte) {
  EXPECT_EQ(ScrambleLine("A \\"), "K*f");
  EXPECT_EQ(ScrambleLine("\xFA\xFF"), std::string("\x04\x09"));
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  const std::string scrambled = ScrambleLine(all);
  for (int c = 0; c < 256; ++c)
    EXPECT_EQ(static_cast<unsigned char>(scrambled[static_cast<std::size_t>(c)]), (c + 10) % 256);
}

TEST_F(DefinitionsTest, FileHoldsTheBuiltInTextWithEveryByteButTheLineEndsRaisedByTen) {
  const std::string_view texts[] = {txtPathDefs1, txtPathDefs2};
  ThirdPartyPathsCreation(w.ctx, texts);
  std::string expected = txtPathDefs1 + "\r\n" + txtPathDefs2 + "\r\n";
  int lines = 0;
  for (char& c : expected)
    if (c == '\n')
      ++lines;
    else if (c != '\r')
      c = static_cast<char>(c + 10);
  EXPECT_EQ(w.files.Data(kFile), expected);
  EXPECT_EQ(w.report.yields, lines);  // one per line written
}

TEST_F(DefinitionsTest, TextsAreSplitAtCrLfIntoAFileMadeAfresh) {
  w.files.AddFile(kFile, "old\r\n");
  const std::string_view texts[] = {"", "a\r\n", "b\nc"};
  EXPECT_TRUE(ThirdPartyPathsCreation(w.ctx, texts));
  // An empty text is one empty line; a final line break gives an empty line.
  EXPECT_EQ(w.files.Data(kFile),
            "\r\n" + ScrambleLine("a") + "\r\n\r\n" + ScrambleLine("b\nc") + "\r\n");
}

TEST_F(DefinitionsTest, DeleteValueTakesTheNameAfterTheLastBackslash) {
  const std::string acdsee = "Software\\ACD Systems\\ACDSee";
  w.registry.PutString(RegRoot::CurrentUser, acdsee, "ImageDB", "db");
  w.registry.PutString(RegRoot::CurrentUser, acdsee, "Other", "kept");
  w.registry.PutString(RegRoot::Users, ".default\\" + acdsee, "openfolder", "kept");
  Run("[ACDSee]\r\n"
      "deleteval=HKEY_CURRENT_USER\\Software\\ACD Systems\\ACDSee\\ImageDB\r\n"
      "deleteval=HKEY_Users\\.default\\Software\\ACD Systems\\ACDSee\\openfolder\r\n"
      "deleteval=HKEY_CURRENT_USER\\NoBackslashInTheTail\r\n"
      "deletekey=HKEY_CURRENT_USER\\\r\n"
      "deletekey=hkey_current_user\\Software\\ACD Systems\\ACDSee\r\n",
      "ACDSee");
  EXPECT_FALSE(Value(RegRoot::CurrentUser, acdsee, "ImageDB"));
  EXPECT_TRUE(Value(RegRoot::CurrentUser, acdsee, "Other"));
  // A root not in capitals, a value under a root, a root itself: nothing, uncounted.
  EXPECT_TRUE(Value(RegRoot::Users, ".default\\" + acdsee, "openfolder"));
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 1);
}

TEST_F(DefinitionsTest, StarDotStarRemovesTheFolderItselfAndAWildcardOnlyItsMatches) {
  w.files.AddFile("C:\\Program Files\\Lavasoft\\Ad-Aware 6\\Logs\\a.log", "log");
  w.files.AddFile("C:\\Program Files\\Lavasoft\\Ad-Aware 6\\Logs\\old\\b.log", "log");
  w.files.AddFile("C:\\Program Files\\Lavasoft\\Ad-Aware 6\\defs.ref", "kept");
  const std::string data = "C:\\Program Files\\Agent\\Data\\";
  w.files.AddFile(data + "a.IDX", "a");
  w.files.AddFile(data + "b.idx", "b");
  w.files.AddFile(data + "c.DAT", "kept");
  Run("[Logs]\r\n"
      "deletefiles=%Program Files%\\Lavasoft\\Ad-Aware 6\\Logs\\*.*\r\n"
      "deletefiles=%Program Files%\\Agent\\Data\\*.IDX\r\n",
      "Logs");
  EXPECT_FALSE(w.files.Exists("C:\\Program Files\\Lavasoft\\Ad-Aware 6\\Logs"));
  EXPECT_EQ(w.files.Data("C:\\Program Files\\Lavasoft\\Ad-Aware 6\\defs.ref"), "kept");
  EXPECT_FALSE(w.files.Exists(data + "a.IDX"));
  EXPECT_FALSE(w.files.Exists(data + "b.idx"));
  EXPECT_EQ(w.files.Data(data + "c.DAT"), "kept");
  EXPECT_TRUE(w.files.Exists("C:\\Program Files\\Agent\\Data"));
  EXPECT_EQ(w.ctx.FilesDeleted, 3);  // the folder once, each match once
  EXPECT_EQ(w.report.lines, (Lines{"  C:\\Program Files\\Lavasoft\\Ad-Aware 6\\Logs\\a.log",
                                   "  C:\\Program Files\\Lavasoft\\Ad-Aware 6\\Logs\\old\\b.log",
                                   "  C:\\Program Files\\Lavasoft\\Ad-Aware 6\\Logs\\",
                                   "  " + data + "a.IDX", "  " + data + "b.idx"}));
}

TEST_F(DefinitionsTest, SectionNamesMatchExactlyAndExecutionStopsAtTheNextHeader) {
  for (const char* key : {"K0", "K1", "K2", "K3"})
    w.registry.PutString(RegRoot::CurrentUser, std::string("Software\\T\\") + key, "v", "x");
  const std::string text =
      "[Other]\r\ndeletekey=HKEY_CURRENT_USER\\Software\\T\\K0\r\n"
      "[WinRar 3.x]\r\ndeletekey=HKEY_CURRENT_USER\\Software\\T\\K1\r\n\r\n"
      "dummy line\r\n"
      "[Next]\r\ndeletekey=HKEY_CURRENT_USER\\Software\\T\\K2\r\n"
      "[WinRar 3.x]\r\ndeletekey=HKEY_CURRENT_USER\\Software\\T\\K3";
  Run(text, "winrar 3.X");
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 0);  // letter case counts
  Run(text, "WinRar 3.x");
  EXPECT_TRUE(w.registry.HasKey(RegRoot::CurrentUser, "Software\\T\\K0"));
  EXPECT_FALSE(w.registry.HasKey(RegRoot::CurrentUser, "Software\\T\\K1"));
  EXPECT_TRUE(w.registry.HasKey(RegRoot::CurrentUser, "Software\\T\\K2"));
  EXPECT_TRUE(w.registry.HasKey(RegRoot::CurrentUser, "Software\\T\\K3"));
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 1);
}

TEST_F(DefinitionsTest, TheFileIsWrittenWhenMissingAndReadWithAYieldPerLine) {
  const std::string text = "[A]\r\n[B]\r\ndeletekey=HKEY_CURRENT_USER\\Software\\B\r\n\r\n[C]";
  Run(text, "B");
  EXPECT_EQ(w.files.Data(kFile), ScrambleLine("[A]") + "\r\n" + ScrambleLine("[B]") + "\r\n" +
                                     ScrambleLine("deletekey=HKEY_CURRENT_USER\\Software\\B") +
                                     "\r\n\r\n" + ScrambleLine("[C]") + "\r\n");
  // Five written, one passed over in the search, two executed.
  EXPECT_EQ(w.report.yields, 5 + 1 + 2);
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 1);
}

TEST_F(DefinitionsTest, MacrosAreReplacedAtTheStartOnlyAndWithoutAValueEraseNothing) {
  const std::string text =
      "[M]\r\n"
      "deletefiles=%Program Files%\\Agent\\Data\\*.IDX\r\n"
      "deletefiles=%WindowsDirectory%\\Internet Logs\\ZALog.txt\r\n"
      "deletefiles=%CurrentUser%\\Real\\RealPlayer\\history.rpl\r\n"
      "deletefiles=%BootDirectory%\\mirc\\download\\*.*\r\n"
      "[Inside]\r\n"
      "deletefiles=C:\\Logs\\%WindowsDirectory%\\x.log\r\n";
  const Lines traces = {"C:\\Program Files\\Agent\\Data\\a.IDX",
                        "C:\\WINDOWS\\Internet Logs\\ZALog.txt",
                        "C:\\Documents and Settings\\user\\Real\\RealPlayer\\history.rpl",
                        "C:\\mirc\\download\\song.mp3"};
  // Where the lines would land with a macro that has no value.
  const Lines atTheRoot = {"C:\\Agent\\Data\\a.IDX", "C:\\Internet Logs\\ZALog.txt",
                           "C:\\Real\\RealPlayer\\history.rpl"};
  for (const std::string& path : traces) w.files.AddFile(path, "trace");
  for (const std::string& path : atTheRoot) w.files.AddFile(path, "kept");

  w.ctx.ProgramFilesFolder.clear();
  w.system.env.erase("WINDIR");
  w.system.env.erase("USERPROFILE");
  Run(text, "M");
  for (const std::string& path : traces) EXPECT_TRUE(w.files.Exists(path)) << path;
  EXPECT_EQ(w.ctx.FilesDeleted, 0);
  EXPECT_TRUE(w.report.lines.empty());

  w.ctx.ProgramFilesFolder = "C:\\Program Files\\";  // a trailing backslash is dropped
  w.system.env["WINDIR"] = "C:\\WINDOWS";
  w.system.env["USERPROFILE"] = "C:\\Documents and Settings\\user";
  Run(text, "M");
  for (const std::string& path : traces) EXPECT_FALSE(w.files.Exists(path)) << path;
  EXPECT_FALSE(w.files.Exists("C:\\mirc\\download"));
  for (const std::string& path : atTheRoot) EXPECT_TRUE(w.files.Exists(path)) << path;
  EXPECT_EQ(w.ctx.FilesDeleted, 4);

  // A macro inside a path is no macro: the line names that very file.
  w.files.AddFile("C:\\Logs\\%WindowsDirectory%\\x.log", "trace");
  Run(text, "Inside");
  EXPECT_FALSE(w.files.Exists("C:\\Logs\\%WindowsDirectory%\\x.log"));
}

TEST_F(DefinitionsTest, AWildcardStraightInAMacroFolderIsRefused) {
  w.files.AddFile("C:\\WINDOWS\\system.ini", "kept");
  w.files.AddFile("C:\\WINDOWS\\one.log", "trace");
  w.files.AddFile("C:\\Program Files\\setup.log", "kept");
  w.files.AddFile("C:\\Documents and Settings\\user\\ntuser.dat", "kept");
  Run("[S]\r\n"
      "deletefiles=%WindowsDirectory%\\*.*\r\n"
      "deletefiles=%Program Files%\\*.log\r\n"
      "deletefiles=%CurrentUser%\\*.*\r\n"
      "deletefiles=%BootDirectory%\\*.*\r\n"
      "deletefiles=%WindowsDirectory%\\one.log\r\n",
      "S");
  EXPECT_TRUE(w.files.Exists("C:\\WINDOWS\\system.ini"));
  EXPECT_TRUE(w.files.Exists("C:\\Program Files\\setup.log"));
  EXPECT_TRUE(w.files.Exists("C:\\Documents and Settings\\user\\ntuser.dat"));
  EXPECT_FALSE(w.files.Exists("C:\\WINDOWS\\one.log"));
  EXPECT_EQ(w.ctx.FilesDeleted, 1);
}

TEST_F(DefinitionsTest, WithoutAUsableTemporaryFolderNoSectionRuns) {
  w.registry.PutString(RegRoot::CurrentUser, "Software\\T\\K", "v", "x");
  const std::string text = "[A]\r\ndeletekey=HKEY_CURRENT_USER\\Software\\T\\K";
  for (const char* temp : {"", "Temp", "C:\\.", "C:\\Temp\\.."}) {
    w.system.env["TEMP"] = temp;
    Run(text, "A");
    DeleteThirdPartyFileCreated(w.ctx);
  }
  w.system.env["TEMP"] = "C:\\Missing";  // the file cannot be created there
  Run(text, "A");
  EXPECT_TRUE(w.registry.HasKey(RegRoot::CurrentUser, "Software\\T\\K"));
  EXPECT_FALSE(w.files.Exists("C:\\WFView"));
  EXPECT_EQ(w.ctx.RegistryItemsRemoved, 0);
}

// One file is written in the temporary folder, whatever folder that is: a
// drive root as well.
TEST_F(DefinitionsTest, ATemporaryFolderAtADriveRootHoldsTheFile) {
  w.files.AddFile("R:\\other.txt", "kept");
  w.registry.PutString(RegRoot::CurrentUser, "Software\\T\\K", "v", "x");
  for (const char* temp : {"R:\\", "R:"}) {
    w.system.env["TEMP"] = temp;
    EXPECT_EQ(DefinitionsFilePath(w.ctx), "R:\\WFView");
  }
  const std::string text = "[A]\r\ndeletekey=HKEY_CURRENT_USER\\Software\\T\\K";
  const std::string_view texts[] = {text};
  EXPECT_TRUE(ThirdPartyPathsCreation(w.ctx, texts));
  EXPECT_TRUE(w.files.Exists("R:\\WFView"));
  RunDefinitionSection(w.ctx, texts, "A");
  DeleteThirdPartyFileCreated(w.ctx);
  EXPECT_FALSE(w.registry.HasKey(RegRoot::CurrentUser, "Software\\T\\K"));
  EXPECT_FALSE(w.files.Exists("R:\\WFView"));
  EXPECT_EQ(w.files.Data("R:\\other.txt"), "kept");
}

// "%Program Files%" stands for both program-files folders, each once.
TEST_F(DefinitionsTest, ProgramFilesLinesRunInEachProgramFilesFolder) {
  const std::string pf = "C:\\Program Files", x86 = "C:\\Program Files (x86)";
  const std::string text = "[P]\r\ndeletefiles=%Program Files%\\App\\*.log\r\n"
                           "deletefiles=%Program Files%\\App\\Cache\\*.*\r\n";
  struct Case {
    std::string programFiles, x86Folder;
    Lines gone;
    int counted;
  };
  const Case cases[] = {
      {pf, x86, {pf, x86}, 4},
      {"", x86, {x86}, 2},
      {pf, "", {pf}, 2},
      {pf, "c:\\program files\\", {pf}, 2},  // one folder, spelt twice
      {"", "", {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.programFiles + " | " + c.x86Folder);
    TestWorld world;
    world.files.AddFolder("C:\\Temp");
    for (const std::string& folder : {pf, x86}) {
      world.files.AddFile(folder + "\\App\\a.log", "trace");
      world.files.AddFile(folder + "\\App\\Cache\\b.bin", "trace");
      world.files.AddFile(folder + "\\App\\app.exe", "kept");
    }
    world.ctx.ProgramFilesFolder = c.programFiles;
    world.ctx.ProgramFilesX86Folder = c.x86Folder;
    const std::string_view texts[] = {text};
    RunDefinitionSection(world.ctx, texts, "P");
    for (const std::string& folder : {pf, x86}) {
      const bool gone = std::find(c.gone.begin(), c.gone.end(), folder) != c.gone.end();
      EXPECT_EQ(world.files.Exists(folder + "\\App\\a.log"), !gone) << folder;
      EXPECT_EQ(world.files.Exists(folder + "\\App\\Cache"), !gone) << folder;
      EXPECT_EQ(world.files.Data(folder + "\\App\\app.exe"), "kept");
    }
    EXPECT_EQ(world.ctx.FilesDeleted, c.counted);
  }
}

TEST_F(DefinitionsTest, TheFileIsCutToOneEmptyLineThenErasedAndCounted) {
  DeleteThirdPartyFileCreated(w.ctx);
  EXPECT_EQ(w.ctx.FilesDeleted, 0);  // none there: nothing counted

  w.files.AddFile(kFile, std::string(5000, 'x'));
  DeleteThirdPartyFileCreated(w.ctx);
  EXPECT_FALSE(w.files.Exists(kFile));
  EXPECT_EQ(w.ctx.FilesDeleted, 1);
  EXPECT_EQ(w.ctx.BytesErased, 2u);
  // Opened once to tell that its data is its own, then cut and erased.
  EXPECT_EQ(w.files.journal,
            (Lines{"flush " + std::string(kFile), "close " + std::string(kFile),
                   "write " + std::string(kFile) + " 0 2048 42",
                   "write " + std::string(kFile) + " 0 2048 20", "flush " + std::string(kFile),
                   "close " + std::string(kFile), "delete " + std::string(kFile)}));
}

TEST_F(DefinitionsTest, ADefinitionsFileThatIsALinkIsNeitherWrittenNorRead) {
  w.registry.PutString(RegRoot::CurrentUser, "Software\\T\\K", "v", "x");
  w.files.AddFile("C:\\Elsewhere\\target.txt",
                  ScrambleLine("[A]") + "\r\n" +
                      ScrambleLine("deletekey=HKEY_CURRENT_USER\\Software\\T\\K") + "\r\n");
  const std::string before = w.files.Data("C:\\Elsewhere\\target.txt");
  w.files.AddFileLink(kFile, "C:\\Elsewhere\\target.txt");
  Run("[A]\r\ndeletekey=HKEY_CURRENT_USER\\Software\\T\\K", "A");
  DeleteThirdPartyFileCreated(w.ctx);
  EXPECT_EQ(w.files.Data("C:\\Elsewhere\\target.txt"), before);
  EXPECT_TRUE(w.registry.HasKey(RegRoot::CurrentUser, "Software\\T\\K"));
}

}  // namespace
}  // namespace nimbrel
