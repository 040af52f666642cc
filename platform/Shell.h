// The Windows shell: recycle bin, special folders, opening documents and the
// notify icon of a window.
#pragma once

#include <cstdint>
#include <string>

namespace nimbrel {

constexpr int kSwShowNormal = 1;
constexpr int kSwShowMaximized = 3;
constexpr int kCsidlRecent = 8;
// The user's application-data folder, the roaming one ("Application Data",
// "AppData\Roaming").
constexpr int kCsidlAppData = 26;
constexpr int kCsidlLocalAppData = 28;  // the local application data
constexpr int kCsidlHistory = 34;

enum class NotifyIconAction { Add, Delete };

class Shell {
 public:
  virtual ~Shell() = default;
  // SHEmptyRecycleBinA for all drives, without confirmation or progress window.
  virtual bool EmptyRecycleBin(std::uintptr_t owner) = 0;
  // SHQueryRecycleBinA for all drives: the items in the recycle bin (0 when
  // it cannot be told).
  virtual std::uint64_t RecycleBinItems() = 0;
  // SHGetSpecialFolderPathA; empty when unknown.
  virtual std::string SpecialFolder(int csidl) = 0;
  // ShellExecuteA; the result as the function returns it (> 32 is success).
  virtual std::intptr_t Execute(std::uintptr_t owner, const std::string& verb,
                                const std::string& file, const std::string& parameters,
                                const std::string& folder, int show) = 0;
  // FindExecutableA; the result code, and the program found in `program`.
  virtual std::intptr_t FindExecutable(const std::string& file, std::string& program) = 0;
  // Shell_NotifyIconA for the one icon of `window` (id 1): added with the
  // window's icon and `tip` (its first 63 characters), its mouse messages sent
  // to the window as kNotifyIconMessage (platform/Controls.h); or deleted.
  // The shell's answer, which callers may ignore.
  virtual bool NotifyIcon(NotifyIconAction action, std::uintptr_t window,
                          const std::string& tip) = 0;
};

}  // namespace nimbrel
