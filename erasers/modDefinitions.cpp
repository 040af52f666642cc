#include "erasers/modDefinitions.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "erasers/modFiles.h"
#include "erasers/modRegistry.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr int kShift = 10;

std::string Shifted(std::string_view text, int by) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) + by);
  return out;
}

// The lines of a text split at every CR LF: an empty text is one empty line,
// a text ending in a line break ends in an empty line.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (;;) {
    const auto end = text.find(kLineEnd);
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) return lines;
    text.remove_prefix(end + kLineEnd.size());
  }
}

// The text from the character at `index` on ("" when the line is shorter).
std::string_view From(std::string_view line, std::size_t index) {
  return index < line.size() ? line.substr(index) : std::string_view();
}

bool IsFile(Files& files, const std::string& path) {
  const std::uint32_t attributes = files.Attributes(path);
  return attributes != kInvalidAttributes && !(attributes & kAttrDirectory);
}

// A registry path of a directive: its root, in capitals, and what follows.
struct RootedPath {
  RegRoot root;
  std::string tail;
};

std::optional<RootedPath> SplitRoot(std::string_view text) {
  struct Root {
    std::string_view prefix;
    RegRoot root;
  };
  static constexpr Root kRoots[] = {{"HKEY_CURRENT_USER\\", RegRoot::CurrentUser},
                                    {"HKEY_LOCAL_MACHINE\\", RegRoot::LocalMachine},
                                    {"HKEY_USERS\\", RegRoot::Users}};
  for (const Root& r : kRoots)
    if (text.starts_with(r.prefix))
      return RootedPath{r.root, std::string(text.substr(r.prefix.size()))};
  return std::nullopt;
}

void DeleteValueLine(Context& ctx, std::string_view text) {
  const auto path = SplitRoot(text);
  if (!path) return;
  const std::string key = ParentOf(path->tail);
  // A value straight under a root is never meant; such a line does nothing.
  if (key.empty()) return;
  DeleteRegValue(ctx, path->root, key, FileNameOf(path->tail));
}

void DeleteKeyLine(Context& ctx, std::string_view text) {
  const auto path = SplitRoot(text);
  if (!path || path->tail.empty()) return;  // never a root itself
  DeleteRegKey(ctx, path->root, path->tail);
}

// The boot drive: the drive letter and colon that start WINDIR.
std::string BootDrive(Context& ctx) {
  const std::string windir = ctx.platform.system.Environment("WINDIR");
  return windir.size() >= 2 && windir[1] == ':' ? windir.substr(0, 2) : std::string();
}

// The path macros, in the order they are tried, and the folders each stands
// for: "%Program Files%" both program-files folders (the 32-bit programs'
// folder too on 64-bit Windows), the others one each.
struct Macro {
  std::string_view name;
  std::vector<std::string> (*folders)(Context& ctx);
};
const Macro kMacros[] = {
    {"%Program Files%",
     [](Context& ctx) {
       return std::vector<std::string>{ctx.ProgramFilesFolder, ctx.ProgramFilesX86Folder};
     }},
    {"%WindowsDirectory%",
     [](Context& ctx) {
       return std::vector<std::string>{ctx.platform.system.Environment("WINDIR")};
     }},
    {"%CurrentUser%",
     [](Context& ctx) {
       return std::vector<std::string>{ctx.platform.system.Environment("USERPROFILE")};
     }},
    {"%BootDirectory%", [](Context& ctx) { return std::vector<std::string>{BootDrive(ctx)}; }},
};

// A walk's visitor that keeps the path of every file (not folder) it finds.
WalkVisitor Collect(std::vector<std::string>& out) {
  return [&out](const WalkedFile& found) {
    if (!(found.entry.attributes & kAttrDirectory)) out.push_back(found.path);
    return WalkOn::Next;
  };
}

// A progress line for every file (and folder) of the list that is gone now.
void ListGone(Context& ctx, const std::vector<std::string>& erasing) {
  for (const std::string& erased : erasing)
    if (!Exists(ctx.platform.files, erased))
      ctx.AddProgressLine("  " + erased);
}

// Erases the file or files `path` names; with the name "*.*" the folder itself.
void DeletePath(Context& ctx, const std::string& path, const std::string& name) {
  if (name != "*.*") {
    EraseFileListed(ctx, path);
    return;
  }
  const std::string folder = ParentOf(path);
  std::vector<std::string> erasing;
  const std::uint32_t attributes = ctx.platform.files.Attributes(folder);
  if (attributes != kInvalidAttributes && (attributes & kAttrDirectory) &&
      WalkFolder(ctx, folder, {}, Collect(erasing)))
    erasing.push_back(folder + "\\");
  EraseFolder(ctx, folder);
  ListGone(ctx, erasing);
}

void DeleteFilesLine(Context& ctx, std::string_view line) {
  // The file name follows the path's last backslash; a path without one
  // names no folder.
  const std::string path(From(line, 12));
  if (path.find('\\') == std::string::npos) return;
  const std::string name = FileNameOf(path);
  const bool wildcard = name.find_first_of("*?") != std::string::npos;
  for (const Macro& macro : kMacros) {
    if (!path.starts_with(macro.name)) continue;
    const std::string rest = path.substr(macro.name.size());
    // A wildcard straight in a macro's folder would reach the whole Windows,
    // program-files or profile folder, or the drive root.
    if (wildcard && rest.find('\\', 1) == std::string::npos) return;
    std::vector<std::string> done;
    for (std::string folder : macro.folders(ctx)) {
      // A root's backslash goes too: `rest` starts with one.
      while (!folder.empty() && folder.back() == '\\') folder.pop_back();
      // Without a value the path would start at the root of the current drive.
      if (folder.empty() || std::any_of(done.begin(), done.end(), [&](const std::string& d) {
            return EqualsNoCase(d, folder);
          }))
        continue;
      done.push_back(folder);
      DeletePath(ctx, folder + rest, name);
    }
    return;
  }
  DeletePath(ctx, path, name);
}

void ExecuteLine(Context& ctx, std::string_view line) {
  if (!line.starts_with('d')) return;
  const std::string_view kind = line.substr(0, 9);
  if (kind == "deleteval")
    DeleteValueLine(ctx, From(line, 10));
  else if (kind == "deletekey")
    DeleteKeyLine(ctx, From(line, 10));
  else if (kind == "deletefil")
    DeleteFilesLine(ctx, line);
}

bool IsHeaderOf(std::string_view line, std::string_view section) {
  return line.size() >= 2 && line.front() == '[' && line.substr(1, line.size() - 2) == section;
}

}  // namespace

void EraseFileListed(Context& ctx, const std::string& path) {
  if (path.find('\\') == std::string::npos) return;
  std::vector<std::string> erasing;
  const std::string name = FileNameOf(path);
  if (name.find_first_of("*?") != std::string::npos) {
    // The matches, in a folder an eraser may work in (nothing is erased elsewhere).
    WalkFolder(ctx, ParentOf(path), {name, false}, Collect(erasing));
  } else {
    // One named file, as the folder spells it: it may lie in any folder.
    for (const FileEntry& entry : ctx.platform.files.Find(path))
      if (!IsDots(entry.name) && !(entry.attributes & kAttrDirectory))
        erasing.push_back(FolderPartOf(path) + entry.name);
  }
  EraseFile(ctx, path);
  ListGone(ctx, erasing);
}

std::string ScrambleLine(std::string_view text) { return Shifted(text, kShift); }

std::string UnscrambleLine(std::string_view text) { return Shifted(text, -kShift); }

std::string DefinitionsFilePath(Context& ctx) {
  const std::string temp = ctx.platform.system.Environment("TEMP");
  // One file is written there, never a folder walked: a drive root will do.
  const std::string file = temp.empty() ? std::string() : EnsureTrailingBackslash(temp) + "WFView";
  return IsSafeBaseFolder(file) ? file : std::string();
}

bool ThirdPartyPathsCreation(Context& ctx, DefinitionTexts texts) {
  const std::string file = DefinitionsFilePath(ctx);
  if (file.empty()) return false;
  Files& files = ctx.platform.files;
  // Made afresh: a name that is there is removed first. Never written
  // through a link, which would write into its target, nor removed (under
  // Wine that removes the target); deleting a hard link's name leaves the
  // data to its other names.
  if (files.IsLink(file)) return false;
  if (files.Attributes(file) != kInvalidAttributes &&
      (!files.Delete(file) || files.Attributes(file) != kInvalidAttributes))
    return false;
  for (std::string_view text : texts)
    for (std::string_view line : SplitLines(text)) {
      if (!files.Append(file, ScrambleLine(line) + std::string(kLineEnd))) return false;
      ctx.DoEvents();
    }
  return true;
}

void DeleteThirdPartyFileCreated(Context& ctx) {
  const std::string file = DefinitionsFilePath(ctx);
  if (file.empty()) return;
  Files& files = ctx.platform.files;
  if (IsFile(files, file)) {
    // Cut short only when the data is this name's alone and may be erased;
    // otherwise the erase below deletes the name without writing.
    const ErasableFile opened = files.OpenForErase(file);
    const bool own = opened.handle && opened.links == 1;
    if (opened.handle) files.Close(opened.handle);
    if (own) files.WriteAll(file, std::string(kLineEnd));
  }
  EraseFile(ctx, file);
  if (IsFile(files, file)) EraseFile(ctx, file);
}

void RunDefinitionSection(Context& ctx, DefinitionTexts texts, const std::string& section) {
  const std::string file = DefinitionsFilePath(ctx);
  if (file.empty()) return;
  Files& files = ctx.platform.files;
  if (files.IsLink(file)) return;
  if (files.Attributes(file) == kInvalidAttributes && !ThirdPartyPathsCreation(ctx, texts)) return;
  // The lines are the texts this program wrote, never read back: whatever
  // the file holds now may be another's.
  std::vector<std::string_view> lines;
  for (std::string_view text : texts)
    for (std::string_view line : SplitLines(text)) lines.push_back(line);

  auto line = lines.begin();
  while (line != lines.end() && !IsHeaderOf(*line, section)) {
    ctx.DoEvents();
    ++line;
  }
  if (line == lines.end()) return;
  for (++line; line != lines.end(); ++line) {
    if (line->starts_with('[')) break;
    ExecuteLine(ctx, *line);
    ctx.DoEvents();
  }
}

}  // namespace nimbrel
