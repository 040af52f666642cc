#include "erasers/modDefinitions.h"

#include <optional>
#include <variant>
#include <vector>

#include "erasers/DefinitionActions.h"
#include "erasers/modFiles.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr int kShift = 10;

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

// A registry directive's key: its root, in capitals, and a key below it
// ("" when the root alone or none of the three is written).
std::string RootedKey(std::string_view text) {
  for (const std::string_view root : {"HKEY_CURRENT_USER\\", "HKEY_LOCAL_MACHINE\\", "HKEY_USERS\\"})
    if (text.starts_with(root) && text.size() > root.size()) return std::string(text);
  return {};
}

// The action a line of a section names; none for any other line.
std::optional<std::variant<FilesAction, KeyAction>> ActionOf(std::string_view line) {
  if (!line.starts_with('d')) return std::nullopt;
  const std::string_view kind = line.substr(0, 9);
  if (kind == "deleteval") {
    // A value straight under a root is never meant; such a line does nothing.
    const std::string key = RootedKey(ParentOf(From(line, 10)));
    if (key.empty()) return std::nullopt;
    return KeyAction{std::string(line), key, FileNameOf(From(line, 10)), true};
  }
  if (kind == "deletekey") {
    const std::string key = RootedKey(From(line, 10));
    if (key.empty()) return std::nullopt;
    return KeyAction{std::string(line), key, std::nullopt, true};
  }
  if (kind != "deletefil") return std::nullopt;
  // The file name follows the path's last backslash; a path without one
  // names no folder.
  const std::string path(From(line, 12));
  if (path.find('\\') == std::string::npos) return std::nullopt;
  const std::string name = FileNameOf(path);
  const std::string folder = ParentOf(path);
  // A wildcard straight in a macro's folder would reach the whole Windows,
  // program-files or profile folder, or the drive root.
  if (HasWildcards(name) && folder.starts_with('%') && folder.find('%', 1) + 1 == folder.size())
    return std::nullopt;
  FilesAction files{std::string(line), folder, {name}};
  // "*.*" is the whole folder.
  files.erase = name == "*.*" ? FilesErase::WholeFolder : FilesErase::AsNamed;
  files.variables = VariableSyntax::LeadingMacro;
  return files;
}

bool IsHeaderOf(std::string_view line, std::string_view section) {
  return line.size() >= 2 && line.front() == '[' && line.substr(1, line.size() - 2) == section;
}

}  // namespace

std::string ScrambleLine(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(static_cast<unsigned char>(c) + kShift);
  return out;
}

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
  // Written in one go: a file opened once per line cost a run of the
  // catalogue's applications thousands of opens.
  std::string scrambled;
  for (std::string_view text : texts)
    for (std::string_view line : SplitLines(text)) {
      scrambled += ScrambleLine(line) + std::string(kLineEnd);
      ctx.DoEvents();
    }
  return files.Append(file, scrambled);
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
  const PathVariables vars(ctx);
  const DefinitionEraser eraser(ctx, vars);
  for (++line; line != lines.end(); ++line) {
    if (line->starts_with('[')) break;
    if (const auto action = ActionOf(*line))
      std::visit([&eraser](const auto& a) { eraser.Erase(a); }, *action);
    ctx.DoEvents();
  }
}

}  // namespace nimbrel
