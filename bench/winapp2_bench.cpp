// Times reading the community file on the real Win32 platform (run under Wine
// by bench/winapp2.sh): the read, parse and detection of every entry that the
// program makes at its start, as often as asked, and the parse alone of the
// same text made 50 MB long. Prints seconds and what was found.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cleaning/Winapp2Erase.h"
#include "core/Context.h"
#include "platform/win32/Win32Bundle.h"

namespace nimbrel {
namespace {

double Seconds() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

int Run(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
  Win32Bundle win32;
  SettingsStore settings(win32.registry);
  Context ctx(win32.AsPlatform(), settings);
  for (int i = 0; i < rounds; ++i) {
    const double start = Seconds();
    // A file that changed each round: read, parsed and detected afresh.
    const Winapp2Catalogue& c = Winapp2Entries(ctx, true);
    const double took = Seconds() - start;
    std::printf("read+parse+detect %.3f s: %zu bytes, %zu entries, %zu detected (%s)\n", took,
                c.bytes.size(), c.file.entries.size(), c.detected.size(), c.path.c_str());
  }
  std::string big = Winapp2Entries(ctx, false).bytes;
  if (big.empty()) return 1;
  const std::string one = big;
  for (int n = 0; big.size() < (50u << 20); ++n)
    big += "\r\n[Copy " + std::to_string(n) + " *]\r\n" + one.substr(0, 1 << 20);
  const double start = Seconds();
  const Winapp2File f = ParseWinapp2(big);
  std::printf("parse of %zu MB: %.3f s, %zu entries\n", big.size() >> 20, Seconds() - start,
              f.entries.size());
  return 0;
}

}  // namespace
}  // namespace nimbrel

int main(int argc, char** argv) { return nimbrel::Run(argc, argv); }
