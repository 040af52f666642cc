#include "erasers/EraseDATFiles.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "erasers/modFiles.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

constexpr const char* kLineEnd = "\r\n";
constexpr const char* kIndexDat = "index.dat";

// The system folder cut after its last "\": "C:\WINDOWS\" for C:\WINDOWS\SYSTEM32.
std::string WindowsFolder(Context& ctx) {
  return FolderPartOf(ctx.platform.system.SystemDirectory());
}

// Whether a field of the text holds `needle` (letter case aside). Fields end
// at a comma or a line end; a field in double quotes is taken without them
// and may hold commas.
bool AnyFieldContains(const std::string& text, const std::string& needle) {
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::string field;
    if (i < n && text[i] == '"') {
      const std::size_t close = std::min(text.find('"', i + 1), n);
      field = text.substr(i + 1, close - i - 1);
      i = std::min(text.find_first_of(",\r\n", close), n);
    } else {
      const std::size_t end = std::min(text.find_first_of(",\r\n", i), n);
      field = Trim(text.substr(i, end - i));
      i = end;
    }
    if (FindNoCase(field, needle) != std::string::npos) return true;
    i += i + 1 < n && text[i] == '\r' && text[i + 1] == '\n' ? 2 : 1;
  }
  return false;
}

// The lines of a text, each trimmed and upper-cased, for telling whether a
// line is there already.
std::vector<std::string> LineKeys(const std::string& text) {
  std::vector<std::string> keys;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    keys.push_back(ToUpper(Trim(text.substr(start, end - start))));
    start = end + 1;
  }
  return keys;
}

// An index.dat file the batch names: named so exactly (letter case aside),
// neither hidden nor system nor a folder.
bool IsIndexDat(const FileEntry& entry) {
  return !(entry.attributes & (kAttrDirectory | kAttrHidden | kAttrSystem)) &&
         EqualsNoCase(entry.name, kIndexDat);
}

}  // namespace

void DeleteIndexDatFiles(Context& ctx) {
  Files& files = ctx.platform.files;
  const std::pair<const std::string*, const char*> targets[] = {
      {&ctx.CacheFolder, "Content.IE5\\"}, {&ctx.HistoryFolder, "history.ie5\\"},
      {&ctx.CookiesFolder, ""}};
  for (const auto& [base, sub] : targets) {
    if (ErasableFolder(ctx, *base).empty()) {
      LeftIfRefused(ctx, *base);
      continue;
    }
    const std::string folder = EnsureTrailingBackslash(*base) + sub;
    // The folder that holds it passes the same rules: a linked Content.IE5
    // leads elsewhere.
    if (*sub && ErasableFolder(ctx, folder).empty()) {
      LeftIfRefused(ctx, folder);
      continue;
    }
    const std::string path = folder + kIndexDat;
    if (files.IsLink(path)) {
      ctx.Left("refused: link", path);
      continue;
    }
    if (files.Delete(path) || !Exists(files, path)) continue;
    // In use until the system stops: it goes at the next start.
    LeftIfThere(ctx, path, files.LastFailure());
    files.DeleteAtReboot(path);
  }
}

void WriteIndexDatDeletes(Context& ctx, std::string& batch, const std::string& folder) {
  const std::vector<std::string> written = LineKeys(batch);
  const WalkPlan plan{"*", true, true};
  WalkFolder(ctx, folder, plan, [&](const WalkedFile& found) {
    if (!IsIndexDat(found.entry)) return WalkOn::Next;
    const std::string line = "DEL \"" + found.path + "\"";
    // Each file once: a batch that names it already is not made longer.
    if (std::find(written.begin(), written.end(), ToUpper(line)) == written.end())
      batch += line + kLineEnd;
    DeleteAtNextStart(ctx.platform.files, found.path);
    return WalkOn::Next;
  });
}

void CreateIndexDatBatch(Context& ctx, const std::string& folder) {
  const std::string base = WithoutTrailingBackslash(folder);
  const std::string windows = WindowsFolder(ctx);
  if (ErasableFolder(ctx, base).empty() || !IsSafeBaseFolder(windows)) return;
  const std::string batchPath = windows + "DelIndex.BAT";
  Files& files = ctx.platform.files;
  // Written through a link, the batch would change the link's target.
  if (files.IsLink(batchPath)) return ctx.Left("refused: link", batchPath);
  const std::string before = files.ReadAll(batchPath).value_or("");
  // The lines the batch holds already are not written again.
  std::string batch = before;
  if (!batch.empty() && batch.back() != '\n' && batch.back() != '\r') batch += kLineEnd;
  const std::vector<std::string> held = LineKeys(batch);
  if (std::find(held.begin(), held.end(), "@ECHO OFF") == held.end())
    batch.append("@ECHO OFF").append(kLineEnd);
  WriteIndexDatDeletes(ctx, batch, base);
  if (batch.size() > before.size()) files.Append(batchPath, batch.substr(before.size()));
  if (Exists(files, batchPath)) AddToAutoexec(ctx, batchPath);
}

void AddToAutoexec(Context& ctx, const std::string& batchPath) {
  // The boot drive's root: the Windows folder cut after its first "\".
  const std::string windows = WindowsFolder(ctx);
  const std::string root = windows.substr(0, windows.find('\\') + 1);
  if (root.size() != 3 || root[1] != ':' || Trim(batchPath).empty()) return;
  const std::string autoexec = root + "Autoexec.bat";
  Files& files = ctx.platform.files;
  if (files.IsLink(autoexec)) return;
  std::string lines;
  if (Exists(files, autoexec)) {
    const auto text = files.ReadAll(autoexec);
    if (!text || AnyFieldContains(*text, batchPath)) return;
    // A last line without its line end would run into ours.
    if (!text->empty() && text->back() != '\n' && text->back() != '\r') lines += kLineEnd;
  }
  lines.append("@ECHO OFF").append(kLineEnd).append(batchPath).append(kLineEnd);
  files.Append(autoexec, lines);
}

}  // namespace nimbrel
