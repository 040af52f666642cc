// What the entries of the community file name on this machine, and their
// erasing under this program's own rules, stricter than the file's:
//
//  - every FileKey folder passes the erasers' guards (ErasableFolder: no
//    drive root, no protected folder or folder above one, among them the
//    application-data folders, ProgramData, the public profile and the
//    user's Documents, Desktop, Downloads, Pictures, Music and Videos, which
//    a line may reach into but never take whole; not the Windows folder,
//    nothing in the system folders, no link on the way), and each folder of
//    a walk is checked again as it is entered;
//  - REMOVESELF removes only emptied folders, never one that kept a file;
//  - a RegKey naming a root or a hive's top (HKCU, HKCU\Software,
//    HKLM\Software\Microsoft ...) is refused;
//  - an ExcludeKey always wins.
//
// A refused line erases nothing; it is told as the progress line
// "  refused (WHY): WHAT", which the preview lists too.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cleaning/Winapp2.h"
#include "core/Context.h"

namespace nimbrel {

// A path of the file with its variables replaced: several paths when a
// variable stands for two folders (%ProgramFiles% on 64-bit Windows), none
// when one stands for no folder here (%LocalLowAppData% on Windows XP), and
// `refused` set for a variable the program does not know.
struct Winapp2Paths {
  std::vector<std::string> paths;
  std::string refused;
};

// The file's variables as this machine answers them, read once per pass.
class Winapp2Variables {
 public:
  explicit Winapp2Variables(Context& ctx);
  Winapp2Paths Expand(std::string_view text) const;

 private:
  std::map<std::string, std::vector<std::string>> folders_;  // by upper-case name
};

// The existing folders (and, with `files`, files in the last part) that a
// path with wildcards in any of its parts names; never through a link.
std::vector<std::string> ResolveWinapp2Wildcards(Context& ctx, const std::string& path,
                                                 bool files);

// Whether the entry is shown: any of its Detect, DetectFile and
// SpecialDetect finds its application (an entry with none always does), on
// a Windows version within its DetectOS bounds.
bool Winapp2Detected(Context& ctx, const Winapp2Variables& vars, const Winapp2Entry& entry);

// Why a RegKey or ExcludeKey's key is refused; empty when it is not.
std::string Winapp2RegKeyRefusal(std::string_view key);
// Why a FileKey line may not work in `folder` (an existing folder it names):
// "unsafe path", "link", "drive root", "protected folder"; empty when it may.
std::string Winapp2FolderRefusal(Context& ctx, const std::string& folder);

// Erases what the entry names, its ExcludeKeys kept.
void EraseWinapp2Entry(Context& ctx, const Winapp2Entry& entry);

// ---- The file the program reads ----

// Winapp2.ini beside the exe, else in the user's application-data folder's
// "Nimbrel"; empty when neither is there.
std::string Winapp2Location(Context& ctx);

struct Winapp2Catalogue {
  std::string path, bytes;
  Winapp2File file;
  std::vector<const Winapp2Entry*> detected;  // in the file's order
};

// The file as last read, read again when it changed (or went, or came);
// `detect` detects its entries again even when it did not change.
const Winapp2Catalogue& Winapp2Entries(Context& ctx, bool detect);
// The entry a to-be-erased row names; null for any other row.
const Winapp2Entry* FindWinapp2Entry(Context& ctx, std::string_view row);

}  // namespace nimbrel
