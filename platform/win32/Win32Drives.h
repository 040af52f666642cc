// The Win32 drives (platform/Drives.h).
#pragma once

#include "platform/Drives.h"

namespace nimbrel {

class Win32Drives final : public Drives {
 public:
  std::vector<std::string> FixedDrives() override;
  std::optional<DriveSpace> Space(const std::string& root) override;
  DriveKind Kind(const std::string& root) override;
  FileHandle CreateNew(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  std::size_t WriteAt(FileHandle file, std::uint64_t position, const char* bytes,
                      std::size_t size) override;
  bool Flush(FileHandle file) override;
  void Close(FileHandle file) override;
  bool RemoveLink(const std::string& path) override;
};

}  // namespace nimbrel
