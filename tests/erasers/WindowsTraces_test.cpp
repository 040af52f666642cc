#include "erasers/WindowsTraces.h"

#include <gtest/gtest.h>

#include "fakes/TestWorld.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;
constexpr RegRoot HKCU = RegRoot::CurrentUser;
constexpr OsVersion kXP{5, 1, 2}, kWindows10{10, 0, 2};
const std::string kEx = kExplorerKey;
const std::string kDialogs = kEx + "\\ComDlg32\\";
const std::string kLocalShell =
    "Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell";
const std::string kCount7 = kEx + "\\UserAssist\\{CEBFF5CD-ACE2-4F4F-9178-9926F41749EA}\\Count";
const std::string kCountXP = kEx + "\\UserAssist\\{75048700-EF1F-11D0-9888-006097DEACF9}\\Count";

struct Value {
  std::string key, name;
  bool gone;
};

// Each layout's values, and which of them the three registry rows take.
const std::vector<Value> kWindows10Values = {
    {kEx + "\\WordWheelQuery", "MRUListEx", true},
    {kEx + "\\WordWheelQuery", "0", true},
    {kEx + "\\TypedPaths", "url1", true},
    {kDialogs + "OpenSavePidlMRU\\*", "0", true},
    {kDialogs + "OpenSavePidlMRU\\docx", "0", true},
    {kDialogs + "LastVisitedPidlMRU", "0", true},
    {kDialogs + "CIDSizeMRU", "0", true},
    {kEx + "\\Map Network Drive MRU", "a", true},
    {kCount7, "HRZR_PGYFRFFVBA", true},
    {kCount7, "P:\\Cebtenz Svyrf\\nccf.rkr", true},
    {kCount7.substr(0, kCount7.size() - 6), "Version", false},
    {kLocalShell + "\\MuiCache", "C:\\apps\\app.exe.FriendlyAppName", true},
    {kLocalShell + "\\MuiCache", "LangID", false},
    {kLocalShell + "\\BagMRU\\0", "0", true},
    {kLocalShell + "\\Bags\\1\\Shell", "Mode", true},
    {"Software\\Microsoft\\Windows\\Shell\\Bags\\1\\Desktop", "Mode", true},
    {"Software\\Microsoft\\Windows\\Shell", "Kept", false},
    {kEx, "ShellState", false},
    {kEx + "\\Advanced", "Hidden", false},
    {kEx + "\\RunMRU", "a", false},
};
const std::vector<Value> kXPValues = {
    {kDialogs + "OpenSaveMRU\\*", "a", true},
    {kDialogs + "OpenSaveMRU\\txt", "MRUList", true},
    {kDialogs + "LastVisitedMRU", "a", true},
    {kEx + "\\Map Network Drive MRU", "a", true},
    {kCountXP, "HRZR_HVFPHG", true},
    {"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", "C:\\x.exe", true},
    {"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", "LangID", false},
    {"Software\\Microsoft\\Windows\\ShellNoRoam\\BagMRU", "NodeSlots", true},
    {"Software\\Microsoft\\Windows\\ShellNoRoam\\Bags\\1\\Shell", "Mode", true},
    {kEx + "\\Advanced", "Hidden", false},
};

TEST(WindowsTraces, TheRegistryRowsTakeTheirListsOnXPAndWindows10AndLeaveTheNeighbours) {
  for (const auto& [version, values] : {std::pair{kXP, kXPValues}, {kWindows10, kWindows10Values}}) {
    SCOPED_TRACE(version.major);
    TestWorld w;
    w.system.version = version;
    for (const Value& v : values) w.registry.PutString(HKCU, v.key, v.name, "x");
    EraseExplorerHistory(w.ctx);
    EraseProgramUsage(w.ctx);
    EraseFolderViews(w.ctx);
    for (const Value& v : values)
      EXPECT_EQ(w.registry.Get(HKCU, v.key, v.name) == nullptr, v.gone) << v.key << " " << v.name;
    // The lists' keys stay; the folder views' go whole.
    EXPECT_TRUE(w.registry.HasKey(HKCU, version.major == 5 ? kCountXP : kCount7));
    EXPECT_FALSE(w.registry.HasKey(HKCU, version.major == 5
                                             ? "Software\\Microsoft\\Windows\\ShellNoRoam\\Bags"
                                             : kLocalShell + "\\Bags"));
  }
}

TEST(WindowsTraces, ExplorerEntriesAndCountedProgramsAreListedByName) {
  TestWorld w;
  w.ctx.SetReport(&w.report);
  w.system.version = kWindows10;
  w.registry.PutString(HKCU, kEx + "\\WordWheelQuery", "MRUListEx", "x");
  w.registry.PutString(HKCU, kEx + "\\WordWheelQuery", "0", "x");
  w.registry.PutString(HKCU, kDialogs + "OpenSavePidlMRU\\docx", "1", "x");
  w.registry.PutString(HKCU, kCount7, "P:\\Cebtenz Svyrf\\nccf.rkr", "x");
  EraseExplorerHistory(w.ctx);
  EraseProgramUsage(w.ctx);
  EXPECT_EQ(w.report.lines, (Lines{"  0", "  docx\\1", "  C:\\Program Files\\apps.exe"}));
}

TEST(WindowsTraces, ThumbnailsAndErrorReportsGoWhereEachVersionKeepsThem) {
  const std::string local10 = "C:\\Users\\ann\\AppData\\Local";
  const std::string localXP = "C:\\Documents and Settings\\ann\\Local Settings\\Application Data";
  const struct {
    OsVersion version;
    std::string local, common, windows;
    Lines gone, kept;
  } layouts[] = {
      {kWindows10, local10, "C:\\ProgramData", "C:\\Windows",
       {local10 + "\\Microsoft\\Windows\\Explorer\\thumbcache_96.db",
        local10 + "\\Microsoft\\Windows\\WER\\ReportArchive\\AppCrash_x\\Report.wer",
        local10 + "\\Microsoft\\Windows\\WER\\ReportQueue\\AppHang_y\\Report.wer",
        local10 + "\\CrashDumps\\app.exe.1234.dmp",
        "C:\\ProgramData\\Microsoft\\Windows\\WER\\ReportArchive\\Kernel_z\\Report.wer",
        "C:\\Windows\\Minidump\\120126-1.dmp", "C:\\Windows\\MEMORY.DMP"},
       {local10 + "\\Microsoft\\Windows\\Explorer\\thumbcache_256.db",
        local10 + "\\Microsoft\\Windows\\Explorer\\iconcache_16.db",
        local10 + "\\CrashDumps\\notes.txt", "C:\\Windows\\win.ini",
        "C:\\ProgramData\\Microsoft\\Windows\\WER\\ReportQueue\\Kernel_w\\Report.wer"}},
      {kXP, localXP, "C:\\Documents and Settings\\All Users\\Application Data", "C:\\WINDOWS",
       {localXP + "\\PCHealth\\ErrorRep\\UserDumps\\app.hdmp",
        "C:\\Documents and Settings\\All Users\\Application Data\\Microsoft\\Dr Watson\\user.dmp",
        "C:\\Documents and Settings\\All Users\\Application Data\\Microsoft\\Dr Watson\\drwtsn32.log",
        "C:\\WINDOWS\\PCHealth\\ErrorRep\\QSignoff\\a.txt", "C:\\WINDOWS\\Minidump\\Mini1.dmp"},
       {localXP + "\\Microsoft\\Windows\\Explorer\\thumbcache_96.db", "C:\\WINDOWS\\win.ini"}},
  };
  for (const auto& layout : layouts) {
    SCOPED_TRACE(layout.version.major);
    TestWorld w;
    w.ctx.SetReport(&w.report);
    w.system.version = layout.version;
    w.shell.specialFolders[kCsidlLocalAppData] = layout.local;
    w.shell.specialFolders[kCsidlCommonAppData] = layout.common;
    w.shell.specialFolders[kCsidlWindows] = layout.windows;
    for (const Lines* list : {&layout.gone, &layout.kept})
      for (const std::string& path : *list) w.files.AddFile(path, "trace");
    const std::string held = layout.local + "\\Microsoft\\Windows\\Explorer\\thumbcache_256.db";
    // The machine's report the account may not delete.
    const std::string denied = "C:\\ProgramData\\Microsoft\\Windows\\WER\\ReportQueue\\Kernel_w\\Report.wer";
    if (layout.version.major == 10) {
      w.files.Lock(held);
      w.files.Deny(denied);
    }
    EraseThumbnailCache(w.ctx);
    EraseErrorReports(w.ctx);
    for (const std::string& path : layout.gone) EXPECT_FALSE(w.files.Exists(path)) << path;
    for (const std::string& path : layout.kept) EXPECT_TRUE(w.files.Exists(path)) << path;
    EXPECT_FALSE(w.files.Exists(layout.local + "\\Microsoft\\Windows\\WER\\ReportArchive\\AppCrash_x"));
    if (layout.version.major != 10) continue;
    EXPECT_EQ(w.files.rebootDeletes, Lines{held});
    EXPECT_EQ(std::count(w.report.lines.begin(), w.report.lines.end(), "  left (in use): " + held), 1);
    EXPECT_EQ(std::count(w.report.lines.begin(), w.report.lines.end(),
                         "  left (access denied): " + denied), 1);
  }
}

}  // namespace
}  // namespace nimbrel
