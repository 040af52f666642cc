#include "cleaning/ActivityLog.h"

#include "platform/Path.h"

namespace nimbrel {

namespace {
constexpr const char* kCrLf = "\r\n";
constexpr std::size_t kLogPiece = 64 * 1024;
}  // namespace

std::string LogFilePath(Context& ctx) { return ctx.dataFolder.PathToRead(ctx.platform, kLogFile); }

void WriteLogFile(Context& ctx, const ListBox& progress, ProgressBar& bar) {
  if (ctx.OptionSelected("ChkDontStoreLogFile")) return;
  const std::string path = ctx.dataFolder.PathToSave(ctx.platform, kLogFile);
  Files& files = ctx.platform.files;
  const std::string refused = ctx.dataFolder.TakeRefusal();
  if (!refused.empty())
    ctx.AddProgressLine("  left (refused: link): " + refused + " (nothing is saved there)");
  // A log that is a link, or a name of a file elsewhere, is never written
  // through (the files layer refuses it); the run says so.
  if (!IsOwnFile(files, path)) {
    ctx.AddProgressLine("  left (refused: link): " + path);
    return;
  }
  // The record goes out in pieces of about 64 KiB: an append per line opens,
  // writes and closes the file each time, which after a run over thousands of
  // files took longer than the erasing.
  std::string piece = std::string(kCrLf) + kCrLf + kCrLf + "   Nimbrel v3.0" + kCrLf +
                      std::string(103, '~') + kCrLf + kCrLf + kCrLf;
  const int count = progress.ListCount();
  if (count > 0) {
    bar.SetMax(count);
    bar.SetValue(count);
  }
  for (int i = 0; i < count; ++i) {
    bar.SetValue(bar.Value() - 1);
    piece += progress.List(i);
    piece += kCrLf;
    if (piece.size() >= kLogPiece) {
      files.Append(path, piece);
      piece.clear();
    }
    ctx.platform.loop.DoEvents();
  }
  if (!piece.empty()) files.Append(path, piece);
}

bool ClearLogFile(Context& ctx) {
  if (!Exists(ctx.platform.files, LogFilePath(ctx))) return false;
  // Deleted where it is saved: an earlier log beside an exe whose folder may
  // not be written to is first copied there with the other files, so that it
  // is not read again once cleared.
  const std::string path = ctx.dataFolder.PathToSave(ctx.platform, kLogFile);
  if (Exists(ctx.platform.files, path)) ctx.platform.files.Delete(path);
  return true;
}

void ViewLogFile(Context& ctx, WindowHandle owner) {
  const std::string path = LogFilePath(ctx);
  if (!Exists(ctx.platform.files, path)) return;
  ctx.platform.shell.Execute(owner, "", path, "", WithoutTrailingBackslash(ParentOf(path)),
                             kSwShowNormal);
}

}  // namespace nimbrel
