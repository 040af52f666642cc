// What a recorded run changed on the machine (or, in a preview, would
// change), item by item, each under the to-be-erased row that changed it.
// Files and folders are kept as their net change over the whole run: a file
// the run creates and erases again (the definitions file) is no change, a
// file overwritten and deleted is one erased file.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace nimbrel {

// How a wrapped platform treats a change: records it instead of making it,
// or makes it and records it once made.
enum class PreviewMode { Preview, PassThrough };

enum class ChangeKind {
  File,           // a file erased; bytes: its size
  Folder,         // a folder removed
  RegistryKey,    // a registry key deleted
  RegistryValue,  // a registry value deleted
  RegistryWrite,  // a registry value written or key created
  RecycleBin,     // the recycle bin emptied; item: the number of items in it
  Clipboard,      // the clipboard emptied
  ClipboardHistory,  // the clipboard history cleared
  DnsCache,       // the DNS resolver cache flushed
  Window,         // a window asked to close; item: its class
  Modified,       // a file written, overwritten or given other attributes, and kept
  Created,        // a file or folder the run leaves behind
  Program,        // a program started; item: the file opened
  UrlCacheEntry,  // a URL cache entry deleted; item: its URL
  UrlHistory,     // the URL history store asked to clear itself
  AtReboot,       // a file the system is to delete at its next start
  DatabaseRows,   // rows deleted from a database; item: "PATH: what went"
  SiteData,       // a web site's data gone from a browser's profile; item:
                  // "PROFILE: SITE", bytes: its size in every store and folder
  Refused,        // a line the run refused, nothing changed; item: "(WHY): LINE"
};

// The kind's name in the preview file ("file", "registry key" ...).
const char* ChangeKindName(ChangeKind kind);

// The rows a change may belong to besides the list's own (0 to count - 1):
// before the first row, and the list's row count for after the last.
constexpr int kBeforeTheRows = -1;

struct Change {
  int row;
  ChangeKind kind;
  std::string item;  // a path, a key, a count or a window class
  std::uint64_t bytes = 0;
  bool operator==(const Change&) const = default;
};

// A path as the journal and the preview's memory compare it: "/" as "\",
// upper-cased, without a trailing backslash (but for a root).
std::string PathKey(const std::string& path);

class ChangeJournal {
 public:
  // The row whose steps make the changes from now on.
  void SetRow(int row) { row_ = row; }

  // A file or folder that was not there before.
  void Created(const std::string& path, bool folder);
  // A file written, overwritten or given other attributes.
  void Modified(const std::string& path);
  // A file deleted (`bytes` its size before) or a folder removed.
  void Deleted(const std::string& path, std::uint64_t bytes, bool folder);
  // Any other change.
  void Record(ChangeKind kind, const std::string& item, std::uint64_t bytes = 0);

  // The net changes, in the order each item was first changed. A file the
  // run erased is no file to delete at the next start as well: one deleted
  // while another handle holds it stays listed until that handle closes, and
  // the run may register it again.
  std::vector<Change> Changes() const;

 private:
  // A file's or folder's story over the run.
  struct PathStory {
    bool existedBefore = true, existsNow = true, folder = false, sized = false;
    std::uint64_t bytes = 0;
  };
  struct Entry {
    Change change;
    PathStory story;
    bool isPath = false;
  };
  Entry& PathEntry(const std::string& path, bool existedBefore, bool folder);
  // Whether the run deleted the path and left nothing there.
  bool GoneAtTheEnd(const std::string& path) const;

  std::vector<Entry> entries_;
  std::map<std::string, std::size_t> paths_;  // PathKey -> its entry
  int row_ = kBeforeTheRows;
};

}  // namespace nimbrel
