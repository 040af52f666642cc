// The drives, as the free-space wipe and the shredder need them beyond Files:
// the fixed drives with their room and kind, new files that fill a drive, and
// a link removed as itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace nimbrel {

struct DriveSpace {
  std::uint64_t freeBytes = 0;   // GetDiskFreeSpaceExA: free to this user
  std::uint64_t totalBytes = 0;
};

struct DriveKind {
  std::string fileSystem;        // "NTFS", "FAT32" ...; empty when unknown
  bool readOnly = false;         // a volume that takes no writes
  // No seek penalty: a solid-state drive. None where Windows cannot say
  // (before Windows 7, or a drive that does not answer).
  std::optional<bool> solidState;
};

class Drives {
 public:
  virtual ~Drives() = default;
  // The roots of the fixed drives ("C:\"), in letter order.
  virtual std::vector<std::string> FixedDrives() = 0;
  // None when the drive is not there (any more).
  virtual std::optional<DriveSpace> Space(const std::string& root) = 0;
  virtual DriveKind Kind(const std::string& root) = 0;

  // A new file, never an existing one nor through a link, open for writing
  // without sharing; 0 when it cannot be made (the name is taken, the drive
  // or its file table is full, the drive is gone).
  virtual FileHandle CreateNew(const std::string& path) = 0;
  // A new folder, never an existing one; false when it cannot be made.
  virtual bool CreateFolder(const std::string& path) = 0;
  // Writes at the position from the file's start; the bytes the drive took
  // (fewer when it filled up, 0 when it took none).
  virtual std::size_t WriteAt(FileHandle file, std::uint64_t position, const char* bytes,
                              std::size_t size) = 0;
  // FlushFileBuffers: what was written reaches the medium.
  virtual bool Flush(FileHandle file) = 0;
  virtual void Close(FileHandle file) = 0;

  // Removes the link at the path itself (a symbolic link or junction), never
  // what it leads to; false, with nothing removed, when the path is no link
  // or the system cannot remove it without reaching its target.
  virtual bool RemoveLink(const std::string& path) = 0;
};

}  // namespace nimbrel
