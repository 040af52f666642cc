#include "cleaning/Winapp2.h"

#include <gtest/gtest.h>

#include <fstream>
#include <future>
#include <iostream>
#include <map>
#include <sstream>

#include "cleaning/Winapp2Erase.h"
#include "erasers/modFiles.h"
#include "fakes/TestWorld.h"
#include "platform/Path.h"
#include "platform/Text.h"

namespace nimbrel {
namespace {

std::string SharedCopy() {
  std::ifstream in(std::string(NIMBREL_TEST_DATA) + "/winapp2/Winapp2.ini", std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Names(const Winapp2File& f) {
  std::vector<std::string> names;
  for (const Winapp2Entry& e : f.entries) names.push_back(e.name);
  return names;
}

TEST(Winapp2Parse, SharedCopyHasTheEntriesAndKeysItsReadmeCounts) {
  const Winapp2File f = ParseWinapp2(SharedCopy());
  const Winapp2Counts& c = f.counts;
  EXPECT_EQ(f.entries.size(), 3715u);
  EXPECT_EQ(c.fileKey, 11058);
  EXPECT_EQ(c.regKey, 3368);
  EXPECT_EQ(c.detectFile, 2842);
  EXPECT_EQ(c.langSecRef, 2176);
  EXPECT_EQ(c.section, 1539);
  EXPECT_EQ(c.detect, 1489);
  EXPECT_EQ(c.excludeKey, 84);
  EXPECT_EQ(c.warning, 5);
  EXPECT_EQ(c.skippedLines + c.skippedSections, 0);
}

// Damaged or odd input: the sane part reads as if alone.
TEST(Winapp2Parse, BadInputIsSkippedAloneAndTheRestRead) {
  const std::string sane = "[A *]\r\nFileKey1=%AppData%\\A|*.log\r\n[B *]\r\nRegKey1=HKCU\\Software\\B\r\n";
  const struct {
    const char* what;
    std::string text;
    int skipped;
  } cases[] = {
      {"sane", sane, 0},
      {"byte-order mark", "\xEF\xBB\xBF" + sane, 0},
      {"LF line ends", "[A *]\nFileKey1=%AppData%\\A|*.log\n[B *]\nRegKey1=HKCU\\Software\\B\n", 0},
      {"no line end at the end", sane.substr(0, sane.size() - 2), 0},
      {"line without =", sane + "junk\r\n", 1},
      {"header without \" *\"", "[C]\r\nFileKey1=%AppData%\\C|*\r\n" + sane, 1},
      {"repeated section", sane + "[a *]\r\nFileKey1=%AppData%\\X|*\r\n", 1},
      {"unknown key, bad flag, empty pattern",
       "[A *]\r\nFoo=1\r\nFileKey1=%AppData%\\A|*.log\r\nFileKey2=%AppData%\\A|*|DELETE\r\n"
       "FileKey3=%AppData%\\A|\r\n[B *]\r\nRegKey1=HKCU\\Software\\B\r\n",
       3},
      {"key before any section", "FileKey1=C:\\x|*\r\n" + sane, 1},
      {"binary garbage", std::string("\0\x01\xFF[\x02 *]\r\n=\0=\r\n", 15) + sane, 2},
      {"very long line", sane + "FileKey1=" + std::string(1 << 20, 'a') + "\r\n", 1},
      {"empty name", "[ *]\r\n" + sane, 1},
  };
  for (const auto& c : cases) {
    const Winapp2File f = ParseWinapp2(c.text);
    const std::vector<std::string> expected = {"A *", "B *"};
    EXPECT_EQ(Names(f), expected) << c.what;
    EXPECT_EQ(f.counts.skippedLines + f.counts.skippedSections, c.skipped) << c.what;
    ASSERT_EQ(f.entries.size(), 2u) << c.what;
    EXPECT_EQ(f.entries[0].fileKeys.size(), 1u) << c.what;
    EXPECT_EQ(f.entries[1].regKeys.size(), 1u) << c.what;
  }
}

TEST(Winapp2Parse, FiftyMegabytesOfEntriesAreRead) {
  std::string big;
  const std::string warning(2000, 'w');
  for (int i = 0; big.size() < (50u << 20); ++i)
    big += "[Entry " + std::to_string(i) + " *]\r\nWarning=" + warning +
           "\r\nFileKey1=%AppData%\\E|*.log;*.tmp|RECURSE\r\n";
  const Winapp2File f = ParseWinapp2(big);
  EXPECT_GT(f.entries.size(), 25000u);
  EXPECT_EQ(f.counts.skippedLines, 0);
}

TEST(Winapp2Parse, KeysAndFlags) {
  const Winapp2File f = ParseWinapp2(
      "[X *]\r\nWarning=Careful\r\nDefault=True\r\nDetectOS=6.1|\r\nSpecialDetect=DET_CHROME\r\n"
      "FileKey1=%LocalAppData%\\X\\Cache_*|*.tmp; *.log |RECURSE|REMOVESELF\r\n"
      "RegKey1=HKCU\\Software\\X|Last\r\nRegKey2=HKCU\\Software\\X\\Sub\r\n"
      "ExcludeKey1=FILE|%AppData%\\X\\|keep.txt;keep2.txt\r\nExcludeKey2=PATH|%AppData%\\X\\P\\\r\n"
      "ExcludeKey3=REG|HKCU\\Software\\X\\Keep|Value\r\n");
  ASSERT_EQ(f.entries.size(), 1u);
  const Winapp2Entry& e = f.entries[0];
  EXPECT_EQ(Winapp2TickKey(e.name), "X");
  EXPECT_EQ(e.warning, "Careful");
  EXPECT_EQ(e.detectOS, "6.1|");
  ASSERT_EQ(e.fileKeys.size(), 1u);
  EXPECT_EQ(e.fileKeys[0].folder, "%LocalAppData%\\X\\Cache_*");
  EXPECT_EQ(e.fileKeys[0].patterns, (std::vector<std::string>{"*.tmp", "*.log"}));
  EXPECT_TRUE(e.fileKeys[0].recurse && e.fileKeys[0].removeEmptied);
  ASSERT_EQ(e.regKeys.size(), 2u);
  EXPECT_EQ(e.regKeys[0].value.value_or("-"), "Last");
  EXPECT_FALSE(e.regKeys[1].value);
  ASSERT_EQ(e.excludes.size(), 3u);
  EXPECT_EQ(e.excludes[0].names, (std::vector<std::string>{"keep.txt", "keep2.txt"}));
  EXPECT_EQ(e.excludes[1].kind, ExclusionKind::Path);
  EXPECT_EQ(e.excludes[1].names, std::vector<std::string>{"*"});
  EXPECT_EQ(e.excludes[2].where, "HKCU\\Software\\X\\Keep");
}

// ---- On a machine ----

void Windows10(TestWorld& w) {
  w.system.version = {10, 0, 2};
  w.system.systemDirectory = "C:\\Windows\\system32";
  const std::string u = "C:\\Users\\user";
  w.system.env = {{"USERPROFILE", u},
                  {"APPDATA", u + "\\AppData\\Roaming"},
                  {"LOCALAPPDATA", u + "\\AppData\\Local"},
                  {"TEMP", u + "\\AppData\\Local\\Temp"},
                  {"ProgramData", "C:\\ProgramData"},
                  {"ALLUSERSPROFILE", "C:\\ProgramData"},
                  {"PUBLIC", "C:\\Users\\Public"},
                  {"WINDIR", "C:\\Windows"},
                  {"SystemRoot", "C:\\Windows"},
                  {"SystemDrive", "C:"},
                  {"ProgramFiles", "C:\\Program Files"},
                  {"ProgramW6432", "C:\\Program Files"},
                  {"ProgramFiles(x86)", "C:\\Program Files (x86)"},
                  {"CommonProgramFiles", "C:\\Program Files\\Common Files"},
                  {"CommonProgramFiles(x86)", "C:\\Program Files (x86)\\Common Files"},
                  {"USERNAME", "user"}};
  w.shell.specialFolders = {{kCsidlAppData, u + "\\AppData\\Roaming"},
                            {kCsidlLocalAppData, u + "\\AppData\\Local"},
                            {5, u + "\\Documents"},
                            {16, u + "\\Desktop"}};
}

void WindowsXp(TestWorld& w) {
  const std::string u = "C:\\Documents and Settings\\user";
  w.system.env = {{"USERPROFILE", u},
                  {"APPDATA", u + "\\Application Data"},
                  {"TEMP", u + "\\Local Settings\\Temp"},
                  {"ALLUSERSPROFILE", "C:\\Documents and Settings\\All Users"},
                  {"WINDIR", "C:\\WINDOWS"},
                  {"SystemDrive", "C:"},
                  {"ProgramFiles", "C:\\Program Files"},
                  {"CommonProgramFiles", "C:\\Program Files\\Common Files"},
                  {"USERNAME", "user"}};
  w.shell.specialFolders = {{kCsidlAppData, u + "\\Application Data"},
                            {5, u + "\\My Documents"},
                            {16, u + "\\Desktop"}};
}

// Every FileKey of the shared copy, its folder made (a wildcard as "x") with
// a file for its first pattern, and every entry erased: no file planted at the top
// of a protected folder goes, nor any protected folder.
TEST(Winapp2Safety, NoLineOfTheSharedCopyReachesAProtectedFolder) {
  const Winapp2File file = ParseWinapp2(SharedCopy());
  // Each layout is a world of its own: both are checked side by side.
  const auto check = [&file](void (*layout)(TestWorld&)) {
    TestWorld w;
    layout(w);
    const PathVariables vars(w.ctx);
    const auto solid = [](std::string s) {
      for (char& c : s)
        if (c == '*' || c == '?') c = 'x';
      return s;
    };
    for (const Winapp2Entry& e : file.entries)
      for (const FilesAction& k : e.fileKeys)
        for (const std::string& folder : vars.Expand(k.folder).paths)
          w.files.AddFile(solid(folder) + "\\" + solid(k.patterns[0]));
    // As a run takes them at its start.
    w.ctx.RunProtectedFolders = TakeProtectedFolders(w.ctx);
    std::vector<std::string> kept = w.ctx.RunProtectedFolders->wholes;
    kept.insert(kept.end(), w.ctx.RunProtectedFolders->sealed.begin(),
                w.ctx.RunProtectedFolders->sealed.end());
    for (const std::string& folder : kept) w.files.AddFile(folder + "\\canary.log", "keep");
    w.ctx.SetReport(&w.report);
    for (const Winapp2Entry& e : file.entries) EraseWinapp2Entry(w.ctx, vars, e);

    for (const std::string& folder : kept) {
      EXPECT_TRUE(w.files.Exists(folder + "\\canary.log")) << folder;
      EXPECT_TRUE(w.files.Exists(folder)) << folder;
    }
    std::map<std::string, int> refused;
    for (const std::string& line : w.report.lines)
      if (line.starts_with("  refused (")) ++refused[line.substr(11, line.find(')') - 11)];
    std::ostringstream told;
    told << w.files.deleted.size() << " files and folders erased; refused:";
    for (const auto& [why, n] : refused) told << " " << why << " " << n << ";";
    EXPECT_GT(w.files.deleted.size(), 4000u);
    return told.str();
  };
  auto xp = std::async(std::launch::async, check, &WindowsXp);
  const std::string ten = check(&Windows10);
  std::cout << "Windows XP: " << xp.get() << "\nWindows 10: " << ten << "\n";
}

// The key lines of the shared copy that the protected keys refuse, with their
// entries: one, an application's own file type, which as a file-type key of
// Classes stays whole (its sub-keys stay erasable).
TEST(Winapp2Safety, TheProtectedKeysRefuseOnlyKeysWindowsKeepsForAll) {
  const Winapp2File file = ParseWinapp2(SharedCopy());
  TestWorld w;
  w.ctx.SetReport(&w.report);
  std::ostringstream told;
  int refused = 0;
  for (const Winapp2Entry& e : file.entries)
    for (const KeyAction& k : e.regKeys) {
      Winapp2Entry one;
      one.name = e.name;
      one.regKeys = {k};
      w.report.lines.clear();
      EraseWinapp2Entry(w.ctx, PathVariables(w.ctx), one);
      for (const std::string& line : w.report.lines)
        if (line.starts_with("  refused (protected key)")) {
          ++refused;
          told << "  " << e.name << ": " << k.line << "\n";
        }
    }
  EXPECT_EQ(refused, 1);
  EXPECT_EQ(told.str(), "  Multi Password Recovery *: HKLM\\Software\\Classes\\.mpf\n");
}

// The file is read where the program keeps its own files: beside the exe, or
// in its application-data folder once the program folder may not be written
// to and that folder is there.
TEST(Winapp2File, IsReadWhereTheProgramKeepsItsFiles) {
  const std::string program = "C:\\Program Files\\Nimbrel",
                    mine = "C:\\Users\\user\\AppData\\Roaming\\Nimbrel";
  const struct {
    const char* name;
    bool writable, beside, mineFolder, mineFile;
    std::string read;  // the folder it is read in; empty: none
  } cases[] = {
      {"portable", true, true, true, true, program},
      {"portable, no file", true, false, true, true, ""},
      {"installed", false, true, true, true, mine},
      {"installed, own folder not made yet", false, true, false, false, program},
      {"installed, own folder without it", false, true, true, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestWorld w;
    Windows10(w);
    w.files.AddFolder(program);
    if (c.beside) w.files.AddFile(program + "\\Winapp2.ini", "[Program *]\r\n");
    if (c.mineFolder) w.files.AddFolder(mine);
    if (c.mineFile) w.files.AddFile(mine + "\\Winapp2.ini", "[Mine *]\r\n");
    if (!c.writable) w.files.DenyWrites(program);
    const Winapp2Catalogue& read = Winapp2Entries(w.ctx, true);
    EXPECT_EQ(read.path, c.read.empty() ? "" : c.read + "\\Winapp2.ini");
    EXPECT_EQ(read.detected.size(), c.read.empty() ? 0u : 1u);
  }
}

// The file's text reaches the file functions in the ANSI code page (Latin-1 in
// the fakes): UTF-8 with its mark or without is converted line by line, a line
// with a character the code page lacks is left out alone, ANSI text is kept.
TEST(Winapp2File, PathsBeyondAsciiMatchInEveryEncoding) {
  const std::string program = "C:\\Program Files\\Nimbrel";
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"UTF-8 with its mark", "\xEF\xBB\xBF[Caf\xC3\xA9 *]\r\nFileKey1=%AppData%\\Caf\xC3\xA9|*.log\r\n"
                              "FileKey2=%AppData%\\\xE6\x97\xA5|*.log\r\n"},
      {"UTF-8", "[Caf\xC3\xA9 *]\r\nFileKey2=%AppData%\\\xE6\x97\xA5|*.log\r\n"
                "FileKey1=%AppData%\\Caf\xC3\xA9|*.log\r\n"},
      {"ANSI", "[Caf\xE9 *]\r\nFileKey1=%AppData%\\Caf\xE9|*.log\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestWorld w;
    Windows10(w);
    w.files.AddFile(program + "\\Winapp2.ini", c.text);
    w.files.AddFile("C:\\Users\\user\\AppData\\Roaming\\Caf\xE9\\a.log", "x");
    const Winapp2Catalogue& read = Winapp2Entries(w.ctx, true);
    ASSERT_EQ(read.file.entries.size(), 1u);
    const Winapp2Entry& e = read.file.entries[0];
    EXPECT_EQ(e.name, "Caf\xE9 *");
    ASSERT_EQ(e.fileKeys.size(), 1u);
    EraseWinapp2Entry(w.ctx, PathVariables(w.ctx), e);
    EXPECT_FALSE(w.files.Exists("C:\\Users\\user\\AppData\\Roaming\\Caf\xE9\\a.log"));
  }
}

class Winapp2Machine : public ::testing::Test {
 protected:
  Winapp2Machine() {
    Windows10(w);
    w.ctx.SetReport(&w.report);
  }
  void Erase(const std::string& entryText) {
    const Winapp2File f = ParseWinapp2("[T *]\r\n" + entryText);
    ASSERT_EQ(f.entries.size(), 1u);
    EraseWinapp2Entry(w.ctx, PathVariables(w.ctx), f.entries[0]);
  }
  bool There(const std::string& path) { return w.files.Exists(path); }
  TestWorld w;
  const std::string local = "C:\\Users\\user\\AppData\\Local";
  const std::string roaming = "C:\\Users\\user\\AppData\\Roaming";
};

TEST_F(Winapp2Machine, FileKeysEraseWhatTheyNameAndExcludesWin) {
  const std::string a = local + "\\App";
  for (const char* f : {"\\Cache_1\\x.tmp", "\\Cache_2\\deep\\y.tmp", "\\Cache_2\\keep.tmp",
                        "\\Other\\z.tmp", "\\Logs\\a.log", "\\Logs\\a.txt", "\\Gone\\s\\b.dat",
                        "\\Kept\\s\\keep.dat", "\\Kept\\s\\c.dat", "\\Path\\in\\p.dat",
                        "\\Path\\q.dat"})
    w.files.AddFile(a + f, "x");
  Erase("FileKey1=%LocalAppData%\\App\\Cache_*|*.tmp|RECURSE\r\n"
        "FileKey2=%LocalAppData%\\App\\Logs|*.log\r\n"
        "FileKey3=%LocalAppData%\\App\\Gone|*|RECURSE|REMOVESELF\r\n"
        "FileKey4=%LocalAppData%\\App\\Kept|*|RECURSE|REMOVESELF\r\n"
        "FileKey5=%LocalAppData%\\App\\Path|*|RECURSE\r\n"
        "ExcludeKey1=FILE|%LocalAppData%\\App\\Cache_*\\|keep.tmp\r\n"
        "ExcludeKey2=FILE|%LocalAppData%\\App\\Kept\\s\\|keep.dat\r\n"
        "ExcludeKey3=PATH|%LocalAppData%\\App\\Path\\in\\|*.dat\r\n");
  const struct {
    const char* path;
    bool there;
  } expect[] = {{"\\Cache_1\\x.tmp", false}, {"\\Cache_2\\deep\\y.tmp", false},
                {"\\Cache_2\\keep.tmp", true}, {"\\Other\\z.tmp", true},
                {"\\Logs\\a.log", false},      {"\\Logs\\a.txt", true},
                {"\\Gone", false},             {"\\Kept\\s\\keep.dat", true},
                {"\\Kept\\s\\c.dat", false},   {"\\Kept", true},
                {"\\Path\\in\\p.dat", true},   {"\\Path\\q.dat", false}};
  for (const auto& e : expect) EXPECT_EQ(There(a + e.path), e.there) << e.path;
}

TEST_F(Winapp2Machine, LinesAtProtectedFoldersAreRefusedWithWhy) {
  w.files.AddFile(roaming + "\\top.log", "x");
  w.files.AddFile(roaming + "\\named.txt", "x");
  w.files.AddFile("C:\\Users\\user\\Documents\\doc.log", "x");
  w.files.AddFile("C:\\Users\\user\\AppData\\a.log", "x");
  w.files.AddFile("C:\\Windows\\setup.log", "x");
  w.files.AddFolderLink(local + "\\Linked", "C:\\Users\\user\\Documents");
  for (const std::string& f : {std::string("C:\\Users\\user\\Documents\\sub\\f.txt"),
                               std::string("C:\\Users\\user\\Favorites\\x\\f.txt"),
                               std::string("C:\\boot.log"), roaming + "\\AppOne\\a.tmp"})
    w.files.AddFile(f, "x");
  Erase("FileKey1=%AppData%|*.log\r\nFileKey2=%AppData%|named.txt\r\n"
        "FileKey3=%UserProfile%\\Documents|*|RECURSE\r\nFileKey4=%UserProfile%\\AppData|*|RECURSE\r\n"
        "FileKey5=%WinDir%|setup.log\r\nFileKey6=%LocalAppData%\\Linked|*\r\nFileKey7=%Nope%\\x|*\r\n"
        "FileKey8=%UserProfile%\\Documents\\*|*.*|RECURSE\r\nFileKey9=%UserProfile%\\*\\x|*.*\r\n"
        "FileKey10=%SystemDrive%\\|*.log\r\nFileKey11=%AppData%\\App*|*.tmp\r\n");
  EXPECT_TRUE(There("C:\\Users\\user\\Documents\\sub\\f.txt"));
  EXPECT_TRUE(There("C:\\Users\\user\\Favorites\\x\\f.txt"));
  EXPECT_TRUE(There("C:\\boot.log"));
  EXPECT_FALSE(There(roaming + "\\AppOne\\a.tmp"));
  EXPECT_TRUE(There(roaming + "\\top.log"));
  EXPECT_TRUE(There(roaming + "\\named.txt"));
  EXPECT_TRUE(There("C:\\Users\\user\\Documents\\doc.log"));
  EXPECT_TRUE(There("C:\\Users\\user\\AppData\\a.log"));
  EXPECT_TRUE(There("C:\\Windows\\setup.log"));
  std::vector<std::string> refused;
  for (const std::string& line : w.report.lines)
    if (line.starts_with("  refused")) refused.push_back(line.substr(0, line.find(')') + 1));
  const std::vector<std::string> expected = {
      "  refused (protected folder)", "  refused (protected folder)", "  refused (protected folder)",
      "  refused (protected folder)", "  refused (protected folder)", "  refused (link)",
      "  refused (unknown variable %Nope%)", "  refused (wildcard below a protected folder)",
      "  refused (wildcard below a protected folder)", "  refused (drive root)"};
  EXPECT_EQ(refused, expected);
}

TEST_F(Winapp2Machine, RegKeysDeleteKeysAndValuesButNeverAHiveTop) {
  FakeRegistry& r = w.registry;
  r.PutString(RegRoot::CurrentUser, "Software\\X", "Last", "1");
  r.PutString(RegRoot::CurrentUser, "Software\\X", "Other", "1");
  r.PutString(RegRoot::CurrentUser, "Software\\X\\Sub\\Deep", "v", "1");
  r.PutString(RegRoot::CurrentUser, "Software\\Y\\Keep", "v", "1");
  r.PutString(RegRoot::CurrentUser, "Software\\Y\\Drop", "v", "1");
  r.PutString(RegRoot::CurrentUser, "Software\\Y", "w", "1");
  r.PutString(RegRoot::LocalMachine, "Software\\Wow6432Node\\Z", "v", "1");
  Erase("RegKey1=HKCU\\Software\\X|Last\r\nRegKey2=HKCU\\Software\\X\\Sub\r\n"
        "RegKey3=HKCU\\Software\\Y\r\nRegKey4=HKCU\\Software\r\nRegKey5=HKLM\\Software\\Z\r\n"
        "RegKey6=HKLM\\Software\\Microsoft\r\nRegKey7=HKCU\r\n"
        "ExcludeKey1=REG|HKCU\\Software\\Y\\Keep\r\n");
  EXPECT_FALSE(r.Get(RegRoot::CurrentUser, "Software\\X", "Last"));
  EXPECT_TRUE(r.Get(RegRoot::CurrentUser, "Software\\X", "Other"));
  EXPECT_FALSE(r.HasKey(RegRoot::CurrentUser, "Software\\X\\Sub"));
  EXPECT_TRUE(r.HasKey(RegRoot::CurrentUser, "Software\\Y\\Keep"));
  EXPECT_FALSE(r.HasKey(RegRoot::CurrentUser, "Software\\Y\\Drop"));
  EXPECT_FALSE(r.Get(RegRoot::CurrentUser, "Software\\Y", "w"));
  EXPECT_FALSE(r.HasKey(RegRoot::LocalMachine, "Software\\Wow6432Node\\Z"));
  int refused = 0;
  for (const std::string& line : w.report.lines) refused += line.starts_with("  refused (");
  EXPECT_EQ(refused, 3);
}

TEST_F(Winapp2Machine, DetectionAndVariablesOfBothLayouts) {
  w.registry.AddKey(RegRoot::CurrentUser, "Software\\Here");
  w.files.AddFolder(local + "\\Packages\\Vendor.App_123");
  w.files.AddFolder(local + "\\Google\\Chrome\\User Data");
  const struct {
    const char* keys;
    bool shown;
  } cases[] = {
      {"", true},
      {"Detect=HKCU\\Software\\Here", true},
      {"Detect1=HKCU\\Software\\Gone\r\nDetect2=HKCU\\Software\\Here", true},
      {"Detect=HKCU\\Software\\Gone", false},
      {"DetectFile=%LocalAppData%\\Packages\\Vendor.App_*", true},
      {"DetectFile=%LocalAppData%\\Packages\\Other_*", false},
      {"DetectOS=6.1|", true},
      {"DetectOS=|6.3", false},
      {"SpecialDetect=DET_CHROME", true},
      {"SpecialDetect=DET_MOZILLA", false},
      {"Detect=HKCU\\Software\\Here\r\nDetectOS=|5.1", false},
  };
  const PathVariables vars(w.ctx);
  for (const auto& c : cases) {
    const Winapp2File f = ParseWinapp2(std::string("[T *]\r\n") + c.keys + "\r\n");
    EXPECT_EQ(Winapp2Detected(w.ctx, vars, f.entries.at(0)), c.shown) << c.keys;
  }
  const auto paths = [](TestWorld& world, const char* text) {
    std::string all;
    for (const std::string& p : PathVariables(world.ctx).Expand(text).paths) all += p + ";";
    return all;
  };
  EXPECT_EQ(paths(w, "%ProgramFiles%\\A"), "C:\\Program Files\\A;C:\\Program Files (x86)\\A;");
  EXPECT_EQ(paths(w, "%LocalLowAppData%"), "C:\\Users\\user\\AppData\\LocalLow;");
  TestWorld xp;
  WindowsXp(xp);
  EXPECT_EQ(paths(xp, "%LocalAppData%"), "C:\\Documents and Settings\\user\\Local Settings\\Application Data;");
  EXPECT_EQ(paths(xp, "%ProgramData%"), "C:\\Documents and Settings\\All Users\\Application Data;");
  EXPECT_EQ(paths(xp, "%Public%"), "C:\\Documents and Settings\\All Users;");
  EXPECT_EQ(paths(xp, "%LocalLowAppData%\\X"), "");
}

}  // namespace
}  // namespace nimbrel
