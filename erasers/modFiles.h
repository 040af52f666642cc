// Erasing files and folders: a file is overwritten in place (once, or more
// often with secure erasing on) and deleted, a folder is removed with all it
// holds, a tree is walked for files matching a pattern. Every file and folder
// erased and gone counts once in FilesDeleted and its size adds to
// BytesErased, both told to the run's report. What an operation meant to
// erase and left is told as left (Context::Left) with the reason: "in use",
// "access denied", "refused: link", "refused: drive root", "refused:
// protected folder"; what a walk keeps on purpose (index.dat, SKINS) is not.
//
// Safety, for every caller: an empty, relative or root base folder erases
// nothing, nor does one that is a link or lies below one; links (symbolic
// links, junctions, other reparse points) are left alone, never followed,
// overwritten or deleted; the data of a file with more than one hard link is
// never overwritten, only this name is deleted.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Context.h"
#include "platform/Path.h"

namespace nimbrel {

// The overwrite pattern: each 2048-byte stretch gets block A, then block B.
constexpr std::size_t kOverwriteBlockSize = 2048;
constexpr char kBlockA = 0x42;
constexpr char kBlockB = 0x20;
// Extra passes beyond this (a hand-edited setting) are not made.
constexpr int kMaxExtraPasses = 10;

// Overwrites the file ("chkenablesecureerasing" and "cmboverwriteTracksFiles"
// give the passes: read once for a file under 1 MiB, whose passes the platform
// may still be writing when the call returns; re-read after each pass of a
// larger one), flushes every pass to the medium and deletes it after its last
// flush; counted when it is deleted. A name with wildcards deletes the
// ordinary files that match, without overwriting, each counted. No match:
// nothing at all.
void SecureEraseFile(Context& ctx, const std::string& path);
// SecureEraseFile, then the wildcard delete once more.
void EraseFile(Context& ctx, const std::string& path);
// Removes the folder and everything in it, read-only items included; counted
// once when it is gone. True when the folder is gone.
bool EraseFolder(Context& ctx, const std::string& path);
// Erases every file matching `pattern` in the folder and its sub-folders,
// adding a progress line for each; paths holding "index.dat" or "SKINS" are
// listed but kept. Folders stay, and sub-folders named in `notEntered` are
// never entered.
void EraseFilesInTree(Context& ctx, const std::string& folder, const std::string& pattern,
                      const std::vector<std::string>& notEntered = {});
// Adds the size of the file at `path` (0 for anything else) to BytesErased.
void AddToErasedSize(Context& ctx, const std::string& path);
void EmptyRecycleBin(Context& ctx);

// ---- The folder walk, the one every eraser and listing walks with ----

// How a walk goes: the names it visits in each folder, whether it goes into
// the sub-folders, and whether a folder's sub-folders come before its files.
struct WalkPlan {
  std::string pattern = "*";  // no folder part; "*" and "*.*" visit every name
  bool deep = true;
  bool subFoldersFirst = false;
  // An erasing walk tells what it could not enter or list as left.
  bool tellLeft = false;
  // Names of sub-folders the walk neither visits nor enters, at any depth.
  std::vector<std::string> notEntered = {};
};

// An entry the walk found: its path (the folder as the walk spells it and the
// name as the listing gives it), its listing, and the walk's base (canonical,
// upper-case), in which the entry must still lie when it is changed.
struct WalkedFile {
  const std::string& path;
  const FileEntry& entry;
  const std::string& base;
};

// What the visitor tells the walk after an entry.
enum class WalkOn { Next, LeaveFolder };

using WalkVisitor = std::function<WalkOn(const WalkedFile&)>;

// Visits every entry matching the plan's pattern, folders included, "." and
// ".." never, with a yield after each. The base folder must be one an eraser
// may work in (ErasableFolder). Each folder is checked as it is entered: an
// existing folder, no link, and still where the system puts it below the
// base (it may have been swapped for a link since it was listed); a linked
// folder is never entered. False when the base folder was refused.
bool WalkFolder(Context& ctx, const std::string& folder, const WalkPlan& plan,
                const WalkVisitor& visit);

// Whether a walked file is still where the walk found it: `handle`, the file
// opened (0 when it could not be), lies below the walk's base; unopened, its
// folder still passes the walk's entry check.
bool StillInWalk(Context& ctx, const WalkedFile& file, FileHandle handle);

// A folder an eraser may work in, by its spelling: absolute ("X:\..." or
// "\\server\share\..."), at least one folder below the drive or share root,
// no "." or ".." parts, no wildcards.
bool IsSafeBaseFolder(std::string_view folder);
// The folder as the system resolves it (Files::CanonicalPath), when an eraser
// may work in it: a safe spelling, neither a link nor below one, that
// resolves to no drive or share root;
// to none of the Windows and program-files folders, the user's profile, the
// folder of profiles, the user's Documents, Desktop, Downloads, Pictures,
// Music and Videos, the roaming, local and LocalLow application-data folders,
// ProgramData, the public profile or a folder above any of them (folders
// below them are erasable); and to nothing inside the system folders (the
// 32-bit one too) or the Windows folder's system sub-folders (WinSxS, Fonts,
// Installer and the like; not Temp, Logs or Prefetch). Each protected folder
// is taken from the shell and from the environment alike. Empty otherwise.
std::string ErasableFolder(Context& ctx, const std::string& folder);
// Tells the folder as left when ErasableFolder refuses it and it is there
// ("refused: drive root", "refused: protected folder", "refused: unsafe
// path"); nothing for a folder it allows, a missing one, and an empty or
// relative path (an unset variable: nothing was aimed at).
void LeftIfRefused(Context& ctx, const std::string& folder);
// After a failed delete of `path`: told as left, with the reason `failure`
// gives ("in use", "access denied", "error"), when it is still there.
void LeftIfThere(Context& ctx, const std::string& path, FileFailure failure);
// The protected folders ErasableFolder refuses, as the system and the
// environment name them now. A run takes them once, at its start
// (Context::RunProtectedFolders).
ProtectedFolderList TakeProtectedFolders(Context& ctx);

}  // namespace nimbrel
