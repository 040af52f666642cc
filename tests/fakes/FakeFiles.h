// In-memory file system with Windows behaviour: case-insensitive paths,
// wildcard finds, hidden/read-only attributes, files in use, hard links
// (names sharing one data block), folder links (reparse points) and file
// links as Wine shows them.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace nimbrel {

class FakeFiles final : public Files {
 public:
  FakeFiles() = default;
  // A copy is a file system of its own: hard links stay shared within it only.
  FakeFiles(const FakeFiles& other) { *this = other; }
  FakeFiles& operator=(const FakeFiles& other);
  // Set-up. Paths are full Windows paths ("C:\Temp\a.txt"); parents are created.
  void AddFolder(const std::string& path, std::uint32_t attributes = kAttrDirectory);
  void AddFile(const std::string& path, const std::string& data = "",
               std::uint32_t attributes = kAttrArchive);
  // A second name for the data of `existing`.
  void AddHardLink(const std::string& existing, const std::string& link);
  // A folder link: listed as DIRECTORY | REPARSE_POINT; never followed here.
  void AddFolderLink(const std::string& path);
  // A folder link to `target`, followed as Wine does: paths below the link
  // reach the target's entries, and removing the link removes the target.
  void AddFolderLink(const std::string& path, const std::string& target);
  // A file link to `target` as Wine shows it: the target's plain attributes,
  // writes reach the target, and deleting the link deletes the target.
  void AddFileLink(const std::string& path, const std::string& target);
  // Deleting or removing the path fails as for a file in use.
  void Lock(const std::string& path) { Node(path)->locked = true; }
  // The user may not change it: opening it to erase, deleting or removing it
  // fails as access denied; for a folder, listing it fails so as well.
  void Deny(const std::string& path) { Node(path)->denied = true; }
  void Allow(const std::string& path) { Node(path)->denied = false; }
  // Open elsewhere without sharing: reading and writing fail as well.
  void LockExclusive(const std::string& path) { Node(path)->locked = Node(path)->exclusive = true; }
  // Open elsewhere with deleting shared, as WinINet holds its index.dat files
  // once it has read the cache: a delete succeeds, yet the file stays listed
  // (and opens no more) until that handle is closed with Release.
  void HoldOpen(const std::string& path) { Node(path)->held = true; }
  void Release(const std::string& path);
  void FailWritesAfter(std::size_t bytes) { failWritesAfter_ = bytes; }
  // Nothing in the folder may be made, written, replaced or deleted, as in
  // Program Files for a user without administrator rights.
  void DenyWrites(const std::string& folder) { deniedFolders_.insert(Key(folder)); }
  // No free room left: a write that would make a file longer fails whole;
  // bytes within a file's length are still overwritten.
  bool diskFull = false;
  // An 8.3 name the system resolves to a long one ("C:\PROGRA~1").
  void AddShortName(const std::string& shortPath, const std::string& longPath) {
    shortNames_[Key(shortPath)] = Key(longPath);
  }
  // Removes the folder with all it holds and puts a link to `target` in its
  // place, as another program might while a walk works.
  void SwapForFolderLink(const std::string& path, const std::string& target);
  // Removes a link entry itself, its target untouched; false for no link.
  bool RemoveLinkEntry(const std::string& path);
  // Called with the pattern of every Find before it lists.
  std::function<void(const std::string&)> onFind;
  // Called with the path of every CanonicalPath before it resolves it.
  std::function<void(const std::string&)> onCanonicalPath;
  // Called with the path after every Append or WriteAll that wrote.
  std::function<void(const std::string&)> onWrite;
  // Close and OverwriteAndClose only queue the file, as the Win32 closing
  // workers take it. Any later call that names a path, or Finish, works off
  // the queue, the files in turn a step at a time (a pass, with the flush
  // before it, or the close), as workers in parallel would.
  bool deferCloses = false;
  // How many of those steps Finish takes before its time bound passes.
  std::size_t finishSteps = static_cast<std::size_t>(-1);
  // The program ends: the system closes every file still open, without a
  // flush; a file marked by DeleteOnClose goes once its delete holds (see
  // Files::DeleteOnClose), and stays otherwise.
  void EndProcess();

  // Inspection.
  bool Exists(const std::string& path) const { return Node(path) != nullptr; }
  // Every entry at or below `folder` (not following links) with its
  // attributes, link target and bytes, as one text to compare.
  std::string Dump(const std::string& folder) const;
  std::string Data(const std::string& path) const;
  int flushes = 0;
  int writes = 0;
  int reads = 0;  // ReadAll calls
  std::vector<std::string> deleted;  // every path Delete/RemoveFolder removed
  std::vector<std::string> rebootDeletes;  // every path DeleteAtReboot registered
  bool refuseRebootDeletes = false;        // as without the rights to register
  std::map<std::string, std::string> dataWhenDeleted;  // a deleted file's last bytes, by path
  // Writes, flushes, closes and deletes in order: "write PATH POS SIZE FILL"
  // (FILL the byte in hex, or "mixed"), "flush PATH", "close PATH", "delete PATH";
  // "abandon PATH" for a file the program's end closed (then "delete PATH"
  // when its delete held).
  std::vector<std::string> journal;
  std::size_t QueuedCloses() const { return queued_.size(); }
  // Every entry (upper-cased path) with its attributes, data, lock and link
  // target, for comparing the whole file system before and after.
  std::map<std::string, std::string> Snapshot() const;

  std::vector<FileEntry> Find(const std::string& pattern) override;
  std::uint32_t Attributes(const std::string& path) override;
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
  bool IsLink(const std::string& path) override;
  std::uint32_t LinkCount(const std::string& path) override;
  bool HeldOpen(const std::string& path) override;
  std::optional<std::uint64_t> Size(const std::string& path) override;
  std::string CanonicalPath(const std::string& path) override;
  bool IsUnder(FileHandle file, const std::string& folder) override;
  ErasableFile OpenForErase(const std::string& path) override;
  bool Write(FileHandle file, const void* data, std::size_t size) override;
  bool Seek(FileHandle file, std::uint64_t position) override;
  bool Flush(FileHandle file) override;
  void Close(FileHandle file) override;
  void OverwriteAndClose(FileHandle file, std::vector<ErasePass> passes) override;
  void Finish() override;
  bool DeleteOnClose(FileHandle file) override;
  bool Delete(const std::string& path) override;
  bool DeleteAtReboot(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  FileFailure LastFailure() override { return failure_; }
  bool Replace(const std::string& from, const std::string& to) override;
  bool Append(const std::string& path, const std::string& bytes) override;
  std::optional<std::string> ReadAll(const std::string& path) override;
  bool WriteAll(const std::string& path, const std::string& bytes) override;

 private:
  struct Entry {
    std::string path;  // as created
    std::uint32_t attributes = kAttrArchive;
    std::shared_ptr<std::string> data = std::make_shared<std::string>();
    bool locked = false;
    bool exclusive = false;
    bool held = false, deletePending = false;
    bool denied = false;
    std::string linkTarget = {};  // key of a link's target
  };
  struct Open {
    std::string key;
    std::size_t pos = 0;
    bool deleteOnClose = false;
    bool deleteHolds = false;  // also when the program ends before the close
  };
  // A file handed to Close or OverwriteAndClose, and how far its work is.
  struct Job {
    FileHandle file = 0;
    std::vector<ErasePass> passes;
    std::size_t step = 0;  // the next pass; passes.size(): the close
  };
  static std::string Key(const std::string& path);
  // Takes the job's next step; true when that was the close.
  bool Step(Job& job);
  // Up to `steps` steps over the queued jobs, in turn.
  void WorkQueue(std::size_t steps);
  void Settle() { WorkQueue(static_cast<std::size_t>(-1)); }
  void CloseNow(FileHandle file);
  bool LinkAt(const std::string& path) const;
  // The key with every folder link above it replaced by its target.
  std::string Resolve(std::string key) const;
  // A file link's target (null when dangling); any other entry itself.
  Entry* Follow(Entry* e);
  const Entry* Follow(const Entry* e) const;
  std::string Lookup(const std::string& path) const;  // the key a path reaches
  Entry* Node(const std::string& path);
  const Entry* Node(const std::string& path) const;
  template <class F>
  // The entries directly in the folder `key` whose names start with `start`
  // (upper-case).
  void ForEachChild(const std::string& key, F&& visit, std::string_view start = {}) const;
  bool HasChildren(const std::string& key) const;
  bool FolderExists(const std::string& path) const;
  // True when the path lies directly in a folder given to DenyWrites.
  bool Denied(const std::string& path) const;
  void AddParents(const std::string& path);

  std::map<std::string, Entry> entries_;
  std::map<FileHandle, Open> open_;
  std::vector<Job> queued_;  // deferred work, oldest first
  std::map<std::string, std::string> folderLinks_;  // link key -> target key
  std::map<std::string, std::string> shortNames_;   // short key -> long key
  std::set<std::string> deniedFolders_;             // keys
  FileHandle next_ = 1;
  std::size_t failWritesAfter_ = static_cast<std::size_t>(-1);
  std::size_t written_ = 0;
  FileFailure failure_ = FileFailure::None;
  // Records why a call on `e` failed (locked: in use; read-only or denied:
  // access denied; missing: none) and returns false.
  bool Fail(const Entry* e);
};

}  // namespace nimbrel
