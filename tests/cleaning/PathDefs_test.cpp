// The built-in cleaning definitions: their form and counts, the safety rule
// every line keeps, and every section executed on a fixture of its own traces
// and their neighbours.
#include "cleaning/PathDefs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "erasers/modDefinitions.h"
#include "fakes/TestWorld.h"
#include "platform/Path.h"
#include "platform/Text.h"

namespace nimbrel {
namespace {

using Lines = std::vector<std::string>;

struct Section {
  std::string name;
  Lines lines;
};

Lines SplitCrLf(const std::string& text) {
  Lines lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(text.substr(start, end - start));
  lines.push_back(text.substr(start));
  return lines;
}

// The lines of both texts as the definitions file holds them, cut into sections.
std::vector<Section> BuiltInSections() {
  std::vector<Section> sections;
  for (const std::string* text : {&txtPathDefs1, &txtPathDefs2})
    for (const std::string& line : SplitCrLf(*text)) {
      if (line.starts_with('['))
        sections.push_back({line.substr(1, line.size() - 2), {}});
      else if (!sections.empty())
        sections.back().lines.push_back(line);
    }
  return sections;
}

std::string KindOf(const std::string& line) { return line.substr(0, line.find('=')); }
std::string PathOf(const std::string& line) { return line.substr(line.find('=') + 1); }

TEST(BuiltInDefinitions, EveryLineIsAHeaderOrADirectiveOfPrintableCharacters) {
  for (const std::string* text : {&txtPathDefs1, &txtPathDefs2}) {
    const Lines lines = SplitCrLf(*text);
    EXPECT_TRUE(lines.front().starts_with('['));
    for (const std::string& line : lines) {
      EXPECT_FALSE(line.empty()) << "a blank line";
      EXPECT_TRUE(std::all_of(line.begin(), line.end(), [](char c) {
        return c >= 0x20 && c < 0x7F;
      })) << line;
      const std::string kind = KindOf(line);
      EXPECT_TRUE(line.starts_with('[') || kind == "deleteval" || kind == "deletekey" ||
                  kind == "deletefiles")
          << line;
    }
  }
  EXPECT_EQ(SplitCrLf(txtPathDefs1).front(), "[ACDSee 4.0]");
  EXPECT_TRUE(
      txtPathDefs1.ends_with("deletefiles=%Program Files%\\ICQ\\Plugins\\VoiceMessage\\*.wav"));
  EXPECT_EQ(SplitCrLf(txtPathDefs2).front(), "[iMesh]");
  EXPECT_EQ(SplitCrLf(txtPathDefs2).back(),
            "deletefiles=%WindowsDirectory%\\Internet Logs\\ZALog.txt");
}

TEST(BuiltInDefinitions, TheTextsHoldTheirSectionsAndDirectivesInTheirCounts) {
  const std::vector<Section> sections = BuiltInSections();
  EXPECT_EQ(sections.size(), 63u);
  std::set<std::string> names;
  std::map<std::string, int> totals;
  for (const Section& section : sections) {
    EXPECT_TRUE(names.insert(ToUpper(section.name)).second) << section.name;
    EXPECT_FALSE(section.lines.empty()) << section.name;
    for (const std::string& line : section.lines) ++totals[KindOf(line)];
  }
  EXPECT_EQ(totals, (std::map<std::string, int>{
                        {"deleteval", 103}, {"deletekey", 195}, {"deletefiles", 124}}));
}

TEST(BuiltInDefinitions, ExampleSectionsWordForWord) {
  const std::map<std::string, Lines> examples = {
      {"Zone Alarm Logs", {"deletefiles=%WindowsDirectory%\\Internet Logs\\ZALog.txt"}},
      {"Ad-Aware 6", {"deletefiles=%Program Files%\\Lavasoft\\Ad-Aware 6\\Logs\\*.*"}},
      {"Agent NewsReader",
       {"deletefiles=%Program Files%\\Agent\\Data\\*.IDX",
        "deletefiles=%Program Files%\\Agent\\Data\\*.DAT",
        "deletefiles=%Program Files%\\Agent\\Data\\*.BAK"}},
      {"WinRar 3.x", {"deletekey=HKEY_CURRENT_USER\\Software\\WinRAR\\DialogEditHistory\\ArcName"}},
      {"Winzip",
       {"deletekey=HKEY_CURRENT_USER\\Software\\Nico Mak Computing\\Winzip\\filemenu",
        "deletekey=HKEY_CURRENT_USER\\Software\\Nico Mak Computing\\Winzip\\extract",
        "deleteval=HKEY_CURRENT_USER\\Software\\Nico Mak Computing\\WinZip\\directories\\DefDir",
        "deleteval=HKEY_CURRENT_USER\\Software\\Nico Mak "
        "Computing\\WinZip\\directories\\ExtractTo"}},
      {"Windows Media Player",
       {"deletekey=HKEY_CURRENT_USER\\Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList",
        "deletekey=HKEY_CURRENT_USER\\Software\\Microsoft\\MediaPlayer\\Player\\RecentURLList",
        "deletefiles=%WindowsDirectory%\\wmplibrary_v_0_12.db",
        "deletefiles=%WindowsDirectory%\\wmplibrary_v_0_12.lrd",
        "deletefiles=%WindowsDirectory%\\All Users\\Application Data\\Microsoft\\Media "
        "Index\\*.*"}},
      {"Sonique",
       {"deleteval=HKEY_CURRENT_USER\\Software\\MediaScience\\Sonique\\General Preferences "
        "0.80\\LoadPlaylist",
        "deleteval=HKEY_USERS\\Software\\MediaScience\\Sonique\\General Preferences "
        "0.80\\LoadPlaylist",
        "deletekey=HKEY_CURRENT_USER\\Software\\MediaScience\\Sonique\\PLAY_HISTORY",
        "deletekey=HKEY_CURRENT_USER\\Software\\MediaScience\\Sonique\\URL_HISTORY",
        "deletekey=HKEY_USERS\\Software\\MediaScience\\Sonique\\PLAY_HISTORY",
        "deletefiles=%Program Files%\\Sonique\\*.pls"}},
  };
  std::set<std::string> names;
  for (const Section& s : BuiltInSections()) {
    EXPECT_TRUE(names.insert(s.name).second) << "two sections named " << s.name;
    if (const auto example = examples.find(s.name); example != examples.end()) {
      EXPECT_EQ(s.lines, example->second) << s.name;
    }
  }
  // The lines the interpreter's own cases are about are part of the text.
  const std::string all = txtPathDefs1 + "\r\n" + txtPathDefs2 + "\r\n";
  EXPECT_NE(all.find("deleteval=HKEY_CURRENT_USER\\Software\\ACD Systems\\ACDSee\\ImageDB\r\n"),
            std::string::npos);
  EXPECT_NE(
      all.find("deleteval=HKEY_Users\\.default\\Software\\ACD Systems\\ACDSee\\openfolder\r\n"),
      std::string::npos);
}

// No line may reach a drive root, the Windows, program-files or profile
// folder, or anything above them: file lines start at a macro, a wildcard
// name lies in a folder below it, "*.*" removes a sub-folder of an
// application's folder, and keys lie three parts below their root.
TEST(BuiltInDefinitions, NoLineReachesAWholeSystemFolder) {
  const Lines macros = {"%Program Files%\\", "%WindowsDirectory%\\", "%CurrentUser%\\",
                        "%BootDirectory%\\"};
  for (const Section& s : BuiltInSections())
    for (const std::string& line : s.lines) {
      const std::string path = PathOf(line);
      if (KindOf(line) != "deletefiles") {
        const std::string key = KindOf(line) == "deleteval" ? ParentOf(path) : path;
        EXPECT_GE(std::count(key.begin(), key.end(), '\\'), 3) << line;
        continue;
      }
      const auto macro = std::find_if(macros.begin(), macros.end(),
                                      [&](const std::string& m) { return path.starts_with(m); });
      ASSERT_NE(macro, macros.end()) << line;
      const std::string below = path.substr(macro->size());
      const std::string name = FileNameOf(below);
      const Lines parts = [&] {
        Lines out;
        for (std::size_t start = 0, end; (end = below.find('\\', start)) != std::string::npos;
             start = end + 1)
          out.push_back(below.substr(start, end - start));
        return out;
      }();
      for (const std::string& part : parts) {
        EXPECT_FALSE(part.empty() || IsDots(part)) << line;
        EXPECT_EQ(part.find_first_of("*?"), std::string::npos) << line;
      }
      const bool wildcard = name.find_first_of("*?") != std::string::npos;
      EXPECT_GE(parts.size(), name == "*.*" ? 2u : wildcard ? 1u : 0u) << line;
      EXPECT_FALSE(name.empty()) << line;
    }
}

// ---- Every section on a fixture of its own ----

constexpr const char* kProgramFiles = "C:\\Program Files";

RegRoot RootNamed(const std::string& root) {
  if (EqualsNoCase(root, "HKEY_CURRENT_USER")) return RegRoot::CurrentUser;
  if (EqualsNoCase(root, "HKEY_LOCAL_MACHINE")) return RegRoot::LocalMachine;
  return RegRoot::Users;
}

std::string RootTag(RegRoot root) {
  return root == RegRoot::CurrentUser ? "HKCU" : root == RegRoot::LocalMachine ? "HKLM" : "HKU";
}

// "REG HKCU\PATH" for a key, "VAL HKCU\PATH\\NAME" for a value, "FILE C:\PATH"
// and "DIR C:\PATH", all upper-cased as Windows compares them.
using Snapshot = std::map<std::string, std::string>;

bool Within(const std::string& item, const std::string& container) {
  return item == container || item.starts_with(container + "\\");
}

class SectionFixture {
 public:
  explicit SectionFixture(const Section& section) {
    w.files.AddFolder("C:\\Temp");
    w.ctx.ProgramFilesFolder = kProgramFiles;
    for (const std::string& line : section.lines) Aim(line);
    for (const std::string& line : section.lines) Plant(line);
  }

  TestWorld w;
  int registryLines = 0;
  // Upper-cased: values "HKCU\KEY\\NAME", keys "HKCU\KEY", files and folders.
  std::set<std::string> values, keys, files, folders;
  std::vector<std::pair<std::string, std::string>> patterns;  // folder, wildcard name

  Snapshot Take() {
    Snapshot s;
    for (RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine, RegRoot::Users})
      TakeKey(s, root, "");
    TakeFolder(s, "C:");
    return s;
  }

  // What a snapshot holds once exactly the section's targets are gone.
  Snapshot WithoutTargets(const Snapshot& before) const {
    Snapshot out;
    for (const auto& [item, content] : before)
      if (!IsTarget(item)) out.emplace(item, content);
    return out;
  }

  bool IsTarget(const std::string& item) const {
    const std::string kind = item.substr(0, item.find(' ')), path = item.substr(item.find(' ') + 1);
    if (kind == "VAL" && values.count(path)) return true;
    if (kind == "VAL" || kind == "REG") {
      const std::string key = kind == "VAL" ? path.substr(0, path.find("\\\\")) : path;
      return std::any_of(keys.begin(), keys.end(),
                         [&](const std::string& k) { return Within(key, k); });
    }
    if (kind == "FILE" && files.count(path)) return true;
    if (kind == "FILE")
      for (const auto& [folder, name] : patterns)
        if (ParentOf(path) == folder && WildcardMatch(name, FileNameOf(path))) return true;
    return std::any_of(folders.begin(), folders.end(),
                       [&](const std::string& f) { return Within(path, f); });
  }

 private:
  static std::string Expand(const std::string& path) {
    const std::pair<const char*, const char*> macros[] = {
        {"%Program Files%", kProgramFiles},
        {"%WindowsDirectory%", "C:\\WINDOWS"},
        {"%CurrentUser%", "C:\\Documents and Settings\\user"},
        {"%BootDirectory%", "C:"}};
    for (const auto& [macro, folder] : macros)
      if (path.starts_with(macro)) return folder + path.substr(std::string(macro).size());
    return path;
  }

  struct RegPath {
    RegRoot root;
    bool live;  // the root is spelt in capitals, as the interpreter wants it
    std::string path;
  };
  static RegPath SplitRoot(const std::string& text) {
    const std::string root = text.substr(0, text.find('\\'));
    return {RootNamed(root), root == ToUpper(root), text.substr(root.size() + 1)};
  }
  static std::string Id(RegRoot root, const std::string& path) {
    return ToUpper(RootTag(root) + "\\" + path);
  }

  // Records what the line is meant to remove.
  void Aim(const std::string& line) {
    const std::string kind = KindOf(line), path = PathOf(line);
    if (kind == "deletefiles") {
      const std::string full = Expand(path), folder = ParentOf(full), name = FileNameOf(full);
      if (name == "*.*")
        folders.insert(ToUpper(folder));
      else if (name.find_first_of("*?") != std::string::npos)
        patterns.emplace_back(ToUpper(folder), name);
      else
        files.insert(ToUpper(full));
      return;
    }
    const RegPath r = SplitRoot(path);
    if (!r.live) return;
    ++registryLines;
    if (kind == "deleteval")
      values.insert(Id(r.root, ParentOf(r.path)) + "\\\\" + ToUpper(FileNameOf(r.path)));
    else
      keys.insert(Id(r.root, r.path));
  }

  // Plants the line's target (also for a line that must do nothing) and its
  // neighbours, but none inside something the section removes.
  void Plant(const std::string& line) {
    const std::string kind = KindOf(line), path = PathOf(line);
    if (kind == "deletefiles") {
      const std::string full = Expand(path), folder = ParentOf(full), name = FileNameOf(full);
      std::string neighbours = folder;
      if (name == "*.*") {
        w.files.AddFile(folder + "\\trace.dat", "trace in " + folder);
        w.files.AddFile(folder + "\\Sub\\deep.dat", "deep trace in " + folder);
        neighbours = ParentOf(folder);
      } else if (name.find_first_of("*?") != std::string::npos) {
        for (const char* stem : {"trace", "second"}) {
          std::string file = name;
          for (std::size_t at; (at = file.find('*')) != std::string::npos;)
            file.replace(at, 1, stem);
          std::replace(file.begin(), file.end(), '?', 'x');
          // The second in other letters: names match regardless of case.
          if (std::string(stem) == "second") file = ToLower(file);
          w.files.AddFile(folder + "\\" + file, "trace " + file);
        }
      } else {
        w.files.AddFile(full, "trace " + full);
      }
      for (const std::string& n :
           {neighbours + "\\neighbour.nimbrel", neighbours + "\\Neighbour Folder\\inside.nimbrel"})
        if (!IsTarget("FILE " + ToUpper(n))) w.files.AddFile(n, "kept " + n);
      return;
    }
    const RegPath r = SplitRoot(path);
    const std::string key = kind == "deleteval" ? ParentOf(r.path) : r.path;
    if (kind == "deleteval")
      w.registry.PutString(r.root, key, FileNameOf(r.path), "trace " + line);
    else
      w.registry.PutString(r.root, key, "Trace", "trace " + line);
    const std::string sibling = kind == "deleteval" ? key : ParentOf(key) + "\\Neighbour";
    if (!IsTarget("VAL " + Id(r.root, sibling) + "\\\\KEPT"))
      w.registry.PutString(r.root, sibling, "Kept", "kept beside " + line);
  }

  void TakeKey(Snapshot& s, RegRoot root, const std::string& path) {
    Registry& reg = w.registry;
    const RegKey key = reg.OpenKey(root, path);
    if (!key) return;
    if (!path.empty()) s["REG " + Id(root, path)] = "";
    std::string name;
    for (std::uint32_t i = 0; reg.EnumValue(key, i, name) == kRegSuccess; ++i) {
      std::uint32_t type = 0;
      std::string data;
      reg.QueryValue(key, name, type, data);
      s["VAL " + Id(root, path) + "\\\\" + ToUpper(name)] = std::to_string(type) + ":" + data;
    }
    Lines children;
    for (std::uint32_t i = 0; reg.EnumKey(key, i, name) == kRegSuccess; ++i)
      children.push_back(name);
    reg.CloseKey(key);
    for (const std::string& child : children)
      TakeKey(s, root, path.empty() ? child : path + "\\" + child);
  }

  void TakeFolder(Snapshot& s, const std::string& folder) {
    for (const FileEntry& e : w.files.Find(folder + "\\*")) {
      if (IsDots(e.name)) continue;
      const std::string full = folder + "\\" + e.name;
      if (e.attributes & kAttrDirectory) {
        s["DIR " + ToUpper(full)] = std::to_string(e.attributes);
        TakeFolder(s, full);
      } else {
        s["FILE " + ToUpper(full)] = std::to_string(e.attributes) + ":" + w.files.Data(full);
      }
    }
  }
};

Lines Differences(const Snapshot& actual, const Snapshot& expected) {
  Lines out;
  for (const auto& [item, content] : expected)
    if (!actual.count(item))
      out.push_back("gone: " + item);
    else if (actual.at(item) != content)
      out.push_back("changed: " + item);
  for (const auto& [item, content] : actual)
    if (!expected.count(item)) out.push_back("left or new: " + item);
  return out;
}

TEST(BuiltInDefinitions, EverySectionErasesItsOwnTracesAndNothingBeside) {
  const std::string_view texts[] = {txtPathDefs1, txtPathDefs2};
  for (const Section& section : BuiltInSections()) {
    SCOPED_TRACE(section.name);
    SectionFixture f(section);
    const Snapshot before = f.Take();
    const Snapshot expected = f.WithoutTargets(before);
    ASSERT_LT(expected.size(), before.size()) << "nothing planted to erase";

    f.w.ctx.SetReport(&f.w.report);
    RunDefinitionSection(f.w.ctx, texts, section.name);
    EXPECT_EQ(f.w.ctx.RegistryItemsRemoved, f.registryLines);
    // A progress line for every file erased and every folder removed; each
    // counts once, a removed folder once for all it held.
    int gone = 0;
    for (const auto& [item, content] : before) {
      if (expected.count(item) || item.starts_with("REG") || item.starts_with("VAL")) continue;
      const std::string path = item.substr(item.find(' ') + 1);
      const bool removedFolder = item.starts_with("DIR") && f.folders.count(path);
      gone += removedFolder || (item.starts_with("FILE") &&
                                std::none_of(f.folders.begin(), f.folders.end(),
                                             [&](const std::string& d) { return Within(path, d); }));
      if (item.starts_with("DIR") && !removedFolder) continue;
      const std::string line = "  " + path + (removedFolder ? "\\" : "");
      EXPECT_TRUE(std::any_of(f.w.report.lines.begin(), f.w.report.lines.end(),
                              [&](const std::string& l) { return EqualsNoCase(l, line); }))
          << "no progress line for " << path;
    }
    EXPECT_EQ(f.w.ctx.FilesDeleted, gone);
    DeleteThirdPartyFileCreated(f.w.ctx);
    EXPECT_EQ(Differences(f.Take(), expected), Lines{});
  }
}

}  // namespace
}  // namespace nimbrel
