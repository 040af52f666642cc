#include "cleaning/ActivityLog.h"

#include "settings/FrmMessage.h"

namespace nimbrel {

namespace {
constexpr const char* kCrLf = "\r\n";

bool Exists(Context& ctx, const std::string& path) {
  return ctx.platform.files.Attributes(path) != kInvalidAttributes;
}
}  // namespace

std::string LogFilePath(Context& ctx) { return ctx.platform.system.ProgramFolder() + "\\Log.txt"; }

void WriteLogFile(Context& ctx, const ListBox& progress, ProgressBar& bar) {
  const std::string path = LogFilePath(ctx);
  if (ctx.OptionSelected("ChkDontStoreLogFile")) return;
  Files& files = ctx.platform.files;
  files.Append(path, std::string(kCrLf) + kCrLf + kCrLf);
  files.Append(path, std::string("   Nimbrel v3.0") + kCrLf);
  files.Append(path, std::string(103, '~') + kCrLf);
  files.Append(path, std::string(kCrLf) + kCrLf);
  const int count = progress.ListCount();
  if (count > 0) {
    bar.SetMax(count);
    bar.SetValue(count);
  }
  for (int i = 0; i < count; ++i) {
    bar.SetValue(bar.Value() - 1);
    files.Append(path, progress.List(i) + kCrLf);
    ctx.platform.loop.DoEvents();
  }
}

void ClearLogFile(Context& ctx) {
  const std::string path = LogFilePath(ctx);
  if (Exists(ctx, path)) {
    ctx.platform.files.Delete(path);
    ShowInformation(ctx, "Information", "Log File has been cleared sucessfully.");
  } else {
    ShowInformation(ctx, "Information", "There are no Log files to be cleared.");
  }
}

void ViewLogFile(Context& ctx, WindowHandle owner) {
  const std::string path = LogFilePath(ctx);
  if (!Exists(ctx, path)) return;
  ctx.platform.shell.Execute(owner, "", path, "", ctx.platform.system.ProgramFolder(),
                             kSwShowNormal);
}

}  // namespace nimbrel
