// Times the real file erasers on the real Win32 platform (run under Wine by
// bench/run.sh):
//   erase_bench file PATH EXTRA_PASSES   SecureEraseFile
//   erase_bench tree FOLDER EXTRA_PASSES EraseFilesInTree(FOLDER, "*.*")
//   erase_bench databases PROFILE EXTRA_PASSES  a Chromium profile's History and
//                                        Cookies, keeping kept.example (bench/databases.sh)
//   erase_bench sitedata PROFILE KEPT    a Chromium profile's Site Data, keeping the sites
//                                        site0.example to site<KEPT - 1>.example
//                                        (bench/site_data.sh); no extra passes
// with secure erasing on and EXTRA_PASSES extra passes, or off for 0 (the
// settings are written first: they stay in the registry between runs).
// Prints the seconds spent in the call and the counters it left.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "core/Context.h"
#include "erasers/BrowserDatabases.h"
#include "erasers/SiteData.h"
#include "erasers/ProtectedFolders.h"
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
    const double start = Seconds();
    loop_.DoEvents();
    yieldSeconds += Seconds() - start;
  }
  long lines = 0, counts = 0, yields = 0;
  double yieldSeconds = 0;

 private:
  EventLoop& loop_;
};

// The real files, with the calls the erasers make counted and timed on the
// walking thread: where a run's time goes, call by call.
class TimedFiles final : public Files {
 private:
  struct Calls {
    long count = 0;
    double seconds = 0;
  };
  template <class F>
  auto Time(const char* name, F&& f) {
    const double start = Seconds();
    auto result = f();
    Calls& c = calls_[name];
    ++c.count;
    c.seconds += Seconds() - start;
    return result;
  }
  Files& real_;
  std::map<std::string, Calls> calls_;

 public:
  explicit TimedFiles(Files& real) : real_(real) {}

  std::vector<FileEntry> Find(const std::string& p) override { return Time("Find", [&] { return real_.Find(p); }); }
  std::uint32_t Attributes(const std::string& p) override { return Time("Attributes", [&] { return real_.Attributes(p); }); }
  bool SetAttributes(const std::string& p, std::uint32_t a) override { return Time("SetAttributes", [&] { return real_.SetAttributes(p, a); }); }
  bool IsLink(const std::string& p) override { return Time("IsLink", [&] { return real_.IsLink(p); }); }
  std::uint32_t LinkCount(const std::string& p) override { return Time("LinkCount", [&] { return real_.LinkCount(p); }); }
  bool HeldOpen(const std::string& p) override { return Time("HeldOpen", [&] { return real_.HeldOpen(p); }); }
  std::optional<std::uint64_t> Size(const std::string& p) override { return Time("Size", [&] { return real_.Size(p); }); }
  std::string CanonicalPath(const std::string& p) override { return Time("CanonicalPath", [&] { return real_.CanonicalPath(p); }); }
  ErasableFile OpenForErase(const std::string& p) override { return Time("OpenForErase", [&] { return real_.OpenForErase(p); }); }
  bool IsUnder(FileHandle f, const std::string& d) override { return Time("IsUnder", [&] { return real_.IsUnder(f, d); }); }
  bool Write(FileHandle f, const void* d, std::size_t n) override { return Time("Write", [&] { return real_.Write(f, d, n); }); }
  bool Seek(FileHandle f, std::uint64_t at) override { return Time("Seek", [&] { return real_.Seek(f, at); }); }
  bool Flush(FileHandle f) override { return Time("Flush", [&] { return real_.Flush(f); }); }
  void Close(FileHandle f) override { Time("Close", [&] { real_.Close(f); return 0; }); }
  void OverwriteAndClose(FileHandle f, std::vector<ErasePass> passes) override {
    Time("OverwriteAndClose", [&] { real_.OverwriteAndClose(f, std::move(passes)); return 0; });
  }
  void Finish() override { Time("Finish", [&] { real_.Finish(); return 0; }); }
  bool DeleteOnClose(FileHandle f) override { return Time("DeleteOnClose", [&] { return real_.DeleteOnClose(f); }); }
  bool Delete(const std::string& p) override { return Time("Delete", [&] { return real_.Delete(p); }); }
  bool DeleteAtReboot(const std::string& p) override { return Time("DeleteAtReboot", [&] { return real_.DeleteAtReboot(p); }); }
  bool CreateFolder(const std::string& p) override { return Time("CreateFolder", [&] { return real_.CreateFolder(p); }); }
  bool RemoveFolder(const std::string& p) override { return Time("RemoveFolder", [&] { return real_.RemoveFolder(p); }); }
  FileFailure LastFailure() override { return real_.LastFailure(); }
  bool Replace(const std::string& a, const std::string& b) override { return Time("Replace", [&] { return real_.Replace(a, b); }); }
  bool Append(const std::string& p, const std::string& b) override { return Time("Append", [&] { return real_.Append(p, b); }); }
  std::optional<std::string> ReadAll(const std::string& p) override { return Time("ReadAll", [&] { return real_.ReadAll(p); }); }
  bool WriteAll(const std::string& p, const std::string& b) override { return Time("WriteAll", [&] { return real_.WriteAll(p, b); }); }

  void Print() const {
    for (const auto& [name, c] : calls_)
      std::printf("  %-18s %7ld calls %8.3f s %7.1f us each\n", name.c_str(), c.count, c.seconds,
                  1e6 * c.seconds / static_cast<double>(c.count));
  }

};

int Run(int argc, char** argv) {
  const std::string mode = argc == 4 ? argv[1] : "";
  if (mode != "file" && mode != "tree" && mode != "databases" && mode != "sitedata") {
    std::fprintf(stderr,
                 "usage: erase_bench file PATH EXTRA_PASSES | tree FOLDER EXTRA_PASSES"
                 " | databases PROFILE EXTRA_PASSES | sitedata PROFILE KEPT\n");
    return 2;
  }
  Win32Bundle win32;
  SettingsStore settings(win32.registry);
  // NIMBREL_BENCH_CALLS=1: each file call counted and timed.
  const bool timed = std::getenv("NIMBREL_BENCH_CALLS") != nullptr;
  TimedFiles timedFiles(win32.files);
  Platform platform = win32.AsPlatform();
  Platform timedPlatform{platform.registry, timedFiles, platform.system, platform.shell,
                         platform.desktop, platform.loop, platform.profile, platform.urlHistory,
                         platform.urlCache, platform.databases};
  Context ctx(timed ? timedPlatform : platform, settings);
  CountingReport report(win32.loop);
  ctx.SetReport(&report);

  const std::string extra = mode == "sitedata" ? "0" : argv[3];
  settings.WriteSetting(kOptions, "chkenablesecureerasing", std::atoi(extra.c_str()) > 0 ? "1" : "0");
  settings.WriteSetting(kOptions, "cmboverwriteTracksFiles", extra);
  const double start = Seconds();
  if (mode == "file") {
    SecureEraseFile(ctx, argv[2]);
  } else if (mode == "databases") {
    // A Chromium profile's History and Network\Cookies, keeping kept.example.
    EraseHistoryDatabases(ctx, TodaysBrowser::Chrome, argv[2]);
    EraseCookieDatabases(ctx, TodaysBrowser::Chrome, argv[2], {"kept.example"});
  } else if (mode == "sitedata") {
    // As a cleaning run does: the protected folders asked once for the run.
    ctx.RunProtectedFolders = TakeProtectedFolders(ctx);
    std::vector<std::string> kept;
    for (int i = 0, n = std::atoi(argv[3]); i < n; ++i)
      kept.push_back("site" + std::to_string(i) + ".example");
    BrowserFolders folders;
    folders.profiles.push_back({argv[2], argv[2]});
    EraseSiteData(ctx, TodaysBrowser::Chrome, folders, kept);
  } else {
    EraseFilesInTree(ctx, argv[2], "*.*");
  }
  const double walked = Seconds() - start;
  win32.files.Settle();  // the last flushes and deletes belong to the time
  const double spent = Seconds() - start;
  if (timed) {
    std::printf("walk %.3f s, then %.3f s for the files in flight\n", walked, spent - walked);
    timedFiles.Print();
    std::printf("  %-18s %7ld calls %8.3f s\n", "DoEvents", report.yields, report.yieldSeconds);
  }
  std::printf("seconds=%.3f files=%d bytes=%llu lines=%ld reports=%ld yields=%ld\n", spent,
              ctx.FilesDeleted, static_cast<unsigned long long>(ctx.BytesErased), report.lines,
              report.counts, report.yields);
  return 0;
}

}  // namespace
}  // namespace nimbrel

int main(int argc, char** argv) { return nimbrel::Run(argc, argv); }
