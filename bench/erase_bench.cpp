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

// Counts what the erasers report, and lets messages through as the program does.
class CountingReport final : public RunReport {
 public:
  explicit CountingReport(EventLoop& loop) : loop_(loop) {}
  void ProgressLine(const std::string&) override { ++lines; }
  void RegistryItemsRemoved(std::int32_t) override { ++counts; }
  void FilesDeleted(std::int32_t) override { ++counts; }
  void BytesErased(std::uint64_t) override { ++counts; }
  void DoEvents() override {
    ++yields;
    loop_.DoEvents();
  }
  WindowHandle Owner() override { return 0; }
  long lines = 0, counts = 0, yields = 0;

 private:
  EventLoop& loop_;
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
  CountingReport report(win32.loop);
  ctx.SetReport(&report);

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
  std::printf("seconds=%.3f files=%d bytes=%llu lines=%ld reports=%ld yields=%ld\n", spent,
              ctx.FilesDeleted, static_cast<unsigned long long>(ctx.BytesErased), report.lines,
              report.counts, report.yields);
  return 0;
}

}  // namespace
}  // namespace nimbrel

int main(int argc, char** argv) { return nimbrel::Run(argc, argv); }
