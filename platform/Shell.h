// The Windows shell: recycle bin, special folders, opening documents and the
// notify icon of a window.
#pragma once

#include <cstdint>
#include <string>

namespace nimbrel {

constexpr int kSwShowNormal = 1;
constexpr int kSwShowMaximized = 3;
constexpr int kCsidlPersonal = 0x05;  // the user's Documents
constexpr int kCsidlRecent = 8;
constexpr int kCsidlMyMusic = 0x0d;
constexpr int kCsidlMyVideo = 0x0e;
constexpr int kCsidlDesktopDirectory = 0x10;
constexpr int kCsidlAppData = 0x1a;
constexpr int kCsidlLocalAppData = 0x1c;
constexpr int kCsidlHistory = 34;
constexpr int kCsidlCommonAppData = 0x23;  // ProgramData
constexpr int kCsidlWindows = 0x24;
constexpr int kCsidlSystem = 0x25;
constexpr int kCsidlProgramFiles = 0x26;
constexpr int kCsidlMyPictures = 0x27;
constexpr int kCsidlProfile = 0x28;
constexpr int kCsidlSystemX86 = 0x29;  // SysWOW64 on 64-bit Windows
constexpr int kCsidlProgramFilesX86 = 0x2a;
constexpr int kCsidlCommonDocuments = 0x2e;  // the public profile's Documents

// Folders that have no CSIDL.
enum class KnownFolder {
  Downloads,
  LocalAppDataLow,
  Public,        // the public profile
  UserProfiles,  // the folder that holds the profiles
  // The program-files folder of the system's own programs: on 64-bit Windows
  // the 64-bit one, also for a 32-bit program.
  ProgramFilesNative,
};

enum class NotifyIconAction { Add, Delete };

class Shell {
 public:
  virtual ~Shell() = default;
  // SHEmptyRecycleBinA for all drives, without confirmation or progress window.
  virtual bool EmptyRecycleBin(std::uintptr_t owner) = 0;
  // SHQueryRecycleBinA for all drives: the items in the recycle bin (0 when
  // it cannot be told).
  virtual std::uint64_t RecycleBinItems() = 0;
  // Empties the DNS resolver cache (DnsFlushResolverCache of dnsapi.dll,
  // looked up at run time); false when it could not.
  virtual bool FlushDnsCache() = 0;
  // SHGetSpecialFolderPathA; empty when unknown.
  virtual std::string SpecialFolder(int csidl) = 0;
  // SHGetKnownFolderPath (Windows Vista and later, looked up at run time);
  // ProgramFilesNative from the 64-bit registry view. Empty when unknown.
  virtual std::string KnownFolderPath(KnownFolder folder) = 0;
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
