// The file system and the profile files of a recorded run (PreviewPlatform.h).
// In preview mode nothing reaches the disk: deleted files and folders, written
// files and changed attributes are kept in memory over the real file system,
// and every read answers from both. Whether a delete would succeed is told
// from the real file: its attributes, whether it is empty (a folder), and
// whether it opens for erasing with the right to delete, as the run opens it.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>

#include "platform/Files.h"
#include "platform/Profile.h"
#include "preview/ChangeJournal.h"

namespace nimbrel {

class PreviewFiles final : public Files {
 public:
  PreviewFiles(Files& inner, PreviewMode mode, ChangeJournal& journal)
      : inner_(inner), mode_(mode), journal_(journal) {}

  std::vector<FileEntry> Find(const std::string& pattern) override;
  std::uint32_t Attributes(const std::string& path) override;
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
  bool IsLink(const std::string& path) override;
  std::uint32_t LinkCount(const std::string& path) override;
  bool HeldOpen(const std::string& path) override;
  std::optional<std::uint64_t> Size(const std::string& path) override;
  std::string CanonicalPath(const std::string& path) override { return inner_.CanonicalPath(path); }
  ErasableFile OpenForErase(const std::string& path) override;
  bool IsUnder(FileHandle file, const std::string& folder) override;
  bool Write(FileHandle file, const void* data, std::size_t size) override;
  bool Seek(FileHandle file, std::uint64_t position) override;
  bool Flush(FileHandle file) override;
  void Close(FileHandle file) override;
  void OverwriteAndClose(FileHandle file, std::vector<ErasePass> passes) override;
  void Finish() override { inner_.Finish(); }
  bool DeleteOnClose(FileHandle file) override;
  bool Delete(const std::string& path) override;
  // Recorded; in a preview nothing is asked of the system.
  bool DeleteAtReboot(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  // As the real file system answered the last call put to it: a preview
  // tells a refusal from the real file.
  FileFailure LastFailure() override { return inner_.LastFailure(); }
  bool Replace(const std::string& from, const std::string& to) override;
  bool Append(const std::string& path, const std::string& bytes) override;
  std::optional<std::string> ReadAll(const std::string& path) override;
  bool WriteAll(const std::string& path, const std::string& bytes) override;

  // For the profile wrapper: true when the file is gone in the preview.
  bool GoneInPreview(const std::string& path) const;
  // A file written other than through this interface (a profile string),
  // which existed before when `existed`: recorded, and in preview mode made to
  // exist. False when its folder is missing.
  bool NoteWritten(const std::string& path, bool existed);

 private:
  // A file or folder as the preview has changed it.
  struct Node {
    std::string path;          // as first named
    bool present = true;       // false: deleted or removed
    bool folder = false;
    bool ownData = false;      // `data` is all of it (made or rewritten in memory)
    std::string data;          // with !ownData: what was appended to the real file
    bool attributesSet = false;
    std::uint32_t attributes = kAttrArchive;
  };
  // A file opened for erasing.
  struct Open {
    FileHandle inner = 0;  // 0 for a file that exists only in memory
    std::string path;
    std::uint64_t size = 0;
    std::size_t position = 0;
    bool deleteOnClose = false, written = false;
  };

  bool Preview() const { return mode_ == PreviewMode::Preview; }
  // A deleted file or removed folder; one that exists only in memory.
  static Node Gone(const std::string& path, bool folder);
  static Node Made(const std::string& path, bool folder);
  Node* NodeOf(const std::string& path);
  // Whether anything under the folder (a PathKey) was changed in memory.
  bool Touched(const std::string& folderKey) const;
  bool Exists(const std::string& path) { return Attributes(path) != kInvalidAttributes; }
  bool FolderExists(const std::string& path);
  // The node for a file the preview writes, made when there is none.
  Node& Written(const std::string& path);
  // Whether the real file opens for erasing with the right to delete.
  bool Deletable(const std::string& path);
  // Records a write of `path`, which existed before when `existed`.
  void NoteWrite(const std::string& path, bool existed);
  // Whether the system would take a write of the file: a folder or a
  // read-only file refuses it, and so does a missing folder for a new file.
  bool MayWrite(const std::string& path, bool& existed);
  // Pass-through: makes the write and records it when it was made.
  bool PassWrite(const std::string& path, const std::function<bool()>& write);
  Open* OpenOf(FileHandle file);

  Files& inner_;
  PreviewMode mode_;
  ChangeJournal& journal_;
  std::map<std::string, Node> nodes_;  // PathKey -> node
  std::map<FileHandle, Open> open_;
  FileHandle next_ = 1;
  std::set<std::string> known_;  // PathKeys known to exist now (pass-through)
};

// Profile strings: in preview mode those written are kept in memory, and a
// file gone in the preview has none.
class PreviewProfile final : public Profile {
 public:
  PreviewProfile(Profile& inner, PreviewMode mode, PreviewFiles& files)
      : inner_(inner), mode_(mode), files_(files) {}
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& file) override;
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) override;

 private:
  Profile& inner_;
  PreviewMode mode_;
  PreviewFiles& files_;
  std::map<std::string, std::string> written_;  // file, section and key (upper) -> value
};

}  // namespace nimbrel
