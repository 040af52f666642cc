// Times the real file erasers on the real Win32 platform (run under Wine by
// bench/run.sh):
//   erase_bench file PATH EXTRA_PASSES   SecureEraseFile
//   erase_bench tree FOLDER EXTRA_PASSES EraseFilesInTree(FOLDER, "*.*")
// with secure erasing on and EXTRA_PASSES extra passes, or off for 0 (the
// settings are written first: they stay in the registry between runs).
// Prints the seconds spent in the call and the counters it left.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "erasers/Context.h"
#include "erasers/modFiles.h"
#include "platform/win32/Win32Bundle.h"

namespace nimbrel {
namespace {

// The main window's progress controls, as models: the erasers report into
// them as they do in the program.
struct ProgressControls : Form {
  explicit ProgressControls(EventLoop& loop)
      : Form(loop, "FrmMain", 1000, 1000),
        progress(*this, "LstShowingTracksErasedProgress", 0, 0, 10, 10),
        regKeys(*this, "lblScannedRegKeys", "0", 0, 0, 10, 10),
        files(*this, "lblFilesDelete", "0", 0, 0, 10, 10),
        size(*this, "lblSize", "0", 0, 0, 10, 10) {}
  ListBox progress;
  Label regKeys, files, size;
};

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Run(int argc, char** argv) {
  const std::string mode = argc == 4 ? argv[1] : "";
  if (mode != "file" && mode != "tree") {
    std::fprintf(stderr, "usage: erase_bench file PATH EXTRA_PASSES | tree FOLDER EXTRA_PASSES\n");
    return 2;
  }
  Win32Bundle win32;
  SettingsStore settings(win32.registry);
  Context ctx(win32.AsPlatform(), settings);
  ProgressControls controls(win32.loop);
  ctx.display = {&controls, &controls.progress, &controls.regKeys, &controls.files, &controls.size};

  const std::string extra = argv[3];
  settings.WriteSetting(kOptions, "chkenablesecureerasing", std::atoi(extra.c_str()) > 0 ? "1" : "0");
  settings.WriteSetting(kOptions, "cmboverwriteTracksFiles", extra);
  const double start = Seconds();
  if (mode == "file") {
    SecureEraseFile(ctx, argv[2]);
  } else {
    EraseFilesInTree(ctx, argv[2], "*.*");
  }
  win32.files.Settle();  // the last flushes and deletes belong to the time
  const double spent = Seconds() - start;
  ctx.display = {};
  std::printf("seconds=%.3f files=%d bytes=%s lines=%d\n", spent, ctx.FilesDeleted,
              controls.size.Caption().c_str(), controls.progress.ListCount());
  return 0;
}

}  // namespace
}  // namespace nimbrel

int main(int argc, char** argv) { return nimbrel::Run(argc, argv); }
