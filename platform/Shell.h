// The Windows shell: recycle bin, special folders, opening documents.
#pragma once

#include <cstdint>
#include <string>

namespace nimbrel {

constexpr int kSwShowNormal = 1;
constexpr int kSwShowMaximized = 3;
constexpr int kCsidlRecent = 8;
constexpr int kCsidlHistory = 34;

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
};

}  // namespace nimbrel
