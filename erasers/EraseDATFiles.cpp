#include "erasers/EraseDATFiles.h"

#include <algorithm>
#include <utility>

#include "erasers/modFiles.h"
#include "platform/Text.h"

namespace nimbrel {

namespace {

constexpr const char* kLineEnd = "\r\n";

bool Exists(Files& files, const std::string& path) {
  return files.Attributes(path) != kInvalidAttributes;
}

// The system folder cut after its last "\": "C:\WINDOWS\" for C:\WINDOWS\SYSTEM32.
std::string WindowsFolder(Context& ctx) {
  const std::string system = ctx.platform.system.SystemDirectory();
  const auto cut = system.rfind('\\');
  return cut == std::string::npos ? std::string() : system.substr(0, cut + 1);
}

// The file goes at the next start of the system; a link is left alone.
void DeleteAtNextStart(Files& files, const std::string& path) {
  if (!files.IsLink(path)) files.DeleteAtReboot(path);
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

}  // namespace

void DeleteIndexDatFiles(Context& ctx) {
  Files& files = ctx.platform.files;
  const std::pair<const std::string*, const char*> targets[] = {
      {&ctx.CacheFolder, "Content.IE5\\index.dat"},
      {&ctx.HistoryFolder, "history.ie5\\index.dat"},
      {&ctx.CookiesFolder, "index.dat"}};
  for (const auto& [folder, name] : targets) {
    if (ErasableFolder(ctx, *folder).empty()) continue;
    const std::string path = EnsureTrailingBackslash(*folder) + name;
    if (files.IsLink(path)) continue;
    if (!files.Delete(path) && Exists(files, path)) files.DeleteAtReboot(path);
  }
}

void WriteIndexDatDeletes(Context& ctx, std::string& batch, const std::string& folder) {
  Files& files = ctx.platform.files;
  const std::vector<FileEntry> entries = files.Find(folder + "\\*");
  for (const FileEntry& entry : entries) {
    if (entry.name == "." || entry.name == "..") continue;
    // A linked folder leads out of the tree.
    if ((entry.attributes & kAttrDirectory) && !(entry.attributes & kAttrReparsePoint)) {
      WriteIndexDatDeletes(ctx, batch, folder + "\\" + entry.name);
      ctx.DoEvents();
    }
  }
  for (const FileEntry& entry : entries) {
    if (entry.attributes & (kAttrDirectory | kAttrHidden | kAttrSystem)) continue;
    if (FindNoCase(entry.name, "index.dat") != std::string::npos) {
      const std::string path = folder + "\\" + entry.name;
      batch += "DEL \"" + path + "\"" + kLineEnd;
      DeleteAtNextStart(files, path);
    }
    ctx.DoEvents();
  }
}

void CreateIndexDatBatch(Context& ctx, const std::string& folder) {
  std::string base = folder;
  while (!base.empty() && base.back() == '\\') base.pop_back();
  const std::string windows = WindowsFolder(ctx);
  if (ErasableFolder(ctx, base).empty() || !IsSafeBaseFolder(windows)) return;
  const std::string batchPath = windows + "DelIndex.BAT";
  std::string batch = std::string("@ECHO OFF") + kLineEnd;
  WriteIndexDatDeletes(ctx, batch, base);
  Files& files = ctx.platform.files;
  // Never written through a link: the lines would land in its target.
  if (files.IsLink(batchPath)) return;
  files.Append(batchPath, batch);
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
