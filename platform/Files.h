// The file system, as the ANSI kernel32 functions see it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel {

constexpr std::uint32_t kAttrReadOnly = 0x1;
constexpr std::uint32_t kAttrHidden = 0x2;
constexpr std::uint32_t kAttrSystem = 0x4;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;
constexpr std::uint32_t kAttrNormal = 0x80;
constexpr std::uint32_t kAttrReparsePoint = 0x400;
constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFF;

struct FileEntry {
  std::string name;  // the name only, no folder
  std::uint32_t attributes = 0;
  std::uint64_t size = 0;
};

using FileHandle = std::uintptr_t;  // 0 is no file

// One write of an overwrite pass: `size` bytes from `bytes` at `position`
// from the file's start. The bytes must outlive the work (the overwrite
// patterns live as long as the program).
struct EraseWrite {
  std::uint64_t position = 0;
  const char* bytes = nullptr;
  std::size_t size = 0;
  // When the write fails (a full disk has no room to make the file longer),
  // its first `within` bytes, those inside the file's length, are written
  // instead; with none, the pass ends there.
  std::size_t within = 0;
};
// One overwrite pass: its writes, in order.
using ErasePass = std::vector<EraseWrite>;

// Makes the writes of one pass through `write(position, bytes, size)`, each
// that fails made again with its `within` bytes; false when the pass ended early.
template <class Write>
bool WritePass(const ErasePass& pass, Write&& write) {
  for (const EraseWrite& w : pass)
    if (!write(w.position, w.bytes, w.size) && !(w.within && write(w.position, w.bytes, w.within)))
      return false;
  return true;
}

// Why a call on the file system failed, as far as the system tells.
enum class FileFailure {
  None,          // it worked, or found nothing to work on
  InUse,         // another program holds the file without sharing it
  AccessDenied,  // the user may not (read-only, permissions)
  Other,
};

// A file opened to be overwritten and deleted through one handle.
struct ErasableFile {
  FileHandle handle = 0;    // 0 when it could not be opened so
  bool link = false;        // the path is a link (see IsLink): nothing was opened
  std::uint32_t links = 0;  // names sharing the file's data (1 for an ordinary file)
};

class Files {
 public:
  virtual ~Files() = default;
  // FindFirstFileA/FindNextFileA over one folder, in one pass; the pattern is
  // a full path whose last part may hold wildcards. "." and ".." included.
  virtual std::vector<FileEntry> Find(const std::string& pattern) = 0;
  // GetFileAttributesA; kInvalidAttributes when the path does not exist.
  virtual std::uint32_t Attributes(const std::string& path) = 0;
  virtual bool SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // True when the path is a symbolic link, junction or other reparse point,
  // also where the system shows a file link without the reparse attribute
  // (Wine); true as well when that cannot be told.
  virtual bool IsLink(const std::string& path) = 0;
  // The names the file's data has (1 for an ordinary file; more for a hard
  // link), asked of the path itself, never a link's target; 0 for a folder
  // or when it cannot be told.
  virtual std::uint32_t LinkCount(const std::string& path) = 0;
  // True when another program holds the existing file open without sharing
  // its deletion (a browser's lock file while the browser runs); asked by an
  // open that reads and changes nothing.
  virtual bool HeldOpen(const std::string& path) = 0;
  virtual std::optional<std::uint64_t> Size(const std::string& path) = 0;
  // The path as the system resolves it: made full (".", "..", trailing dots
  // and blanks and "/" undone), short names made long and, where the path
  // exists and the system can tell, links along it followed; no trailing
  // backslash but for a root. Empty when it cannot be made.
  virtual std::string CanonicalPath(const std::string& path) = 0;

  // An existing file, never a link's target, opened for writing from its start
  // (without truncating) and for deleting; the link test and the hard-link count
  // are made on that handle. A read-only file, a folder or a file in use that
  // its user does not share for deleting is not opened. `path` names the file as its
  // folder's listing spells it.
  virtual ErasableFile OpenForErase(const std::string& path) = 0;
  // True when the open file lies in the folder (a canonical path) or below
  // it, judged by the name the system gives the open file and the folder.
  virtual bool IsUnder(FileHandle file, const std::string& folder) = 0;
  virtual bool Write(FileHandle file, const void* data, std::size_t size) = 0;
  // Moves the write position to `position` bytes from the file's start.
  virtual bool Seek(FileHandle file, std::uint64_t position) = 0;
  // FlushFileBuffers: the data written so far reaches the medium. A file
  // marked by DeleteOnClose is from then on deleted even if the program ends
  // before closing it.
  virtual bool Flush(FileHandle file) = 0;
  // Flushes what was written to the medium, then closes (removing a name
  // DeleteOnClose marked). The work may end after the call returns, but every
  // later call that names a path sees it done.
  virtual void Close(FileHandle file) = 0;
  // Close, with the passes first: the writes of each pass in order, each pass
  // flushed to the medium before the next one starts (the last by Close's
  // flush). The whole of it may be done after the call returns, a few files
  // at a time: the call waits while as many are in hand.
  virtual void OverwriteAndClose(FileHandle file, std::vector<ErasePass> passes) = 0;
  // Returns once every file given to Close is flushed and closed, or when a
  // bound of a few seconds has passed. Called before the program ends.
  virtual void Finish() = 0;
  // Marks an opened file for deletion: the name is gone once the handle is
  // closed, as DeleteFileA would have removed it. The delete holds, even when
  // the program ends before the close, from the file's first flush after a
  // whole pass (Flush, or the flushes of the passes handed over to Close or
  // OverwriteAndClose). A program end before that leaves the file in place:
  // the system may drop the unflushed bytes of a deleted file and keep its
  // old ones on the disk. False when it cannot be deleted (opened without the
  // right to).
  virtual bool DeleteOnClose(FileHandle file) = 0;

  virtual bool Delete(const std::string& path) = 0;
  // MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT: the file is deleted at the
  // next start of the system. False when the system refuses (no rights).
  virtual bool DeleteAtReboot(const std::string& path) = 0;
  virtual bool CreateFolder(const std::string& path) = 0;
  // RemoveDirectoryA: an empty folder only.
  virtual bool RemoveFolder(const std::string& path) = 0;
  // Why the last Find, OpenForErase, DeleteOnClose, Delete or RemoveFolder
  // failed; None when it worked (a Find of nothing, or of a missing folder,
  // worked). The other calls leave it as it was.
  virtual FileFailure LastFailure() = 0;
  // Replaces `to` by `from` in one step (MoveFileEx with replace, write-through).
  virtual bool Replace(const std::string& from, const std::string& to) = 0;

  // The program's own files (its log, keep lists, probes, the definitions
  // file): never written through a link or into a file that has another name
  // elsewhere (a hard link), which would land the bytes in what it leads to;
  // false then, the file unchanged.
  // Opens for appending (creating the file), writes the bytes, closes.
  virtual bool Append(const std::string& path, const std::string& bytes) = 0;
  virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
  // Creates or truncates the file and writes the bytes.
  virtual bool WriteAll(const std::string& path, const std::string& bytes) = 0;
};

}  // namespace nimbrel
