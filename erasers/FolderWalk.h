// The folder walk every eraser and listing walks with, and how what a walk or
// an erase could not reach is told as left.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/Context.h"
#include "platform/Path.h"

namespace nimbrel {

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

// The folders directly in `folder` whose names match `pattern`, each ending
// in "\"; links are left out, as an eraser never follows one. None when an
// eraser may not work in `folder`.
std::vector<std::string> SubFolders(Context& ctx, const std::string& folder,
                                    const std::string& pattern = "*");

// After a failed delete of `path`: told as left, with the reason `failure`
// gives ("in use", "access denied", "error"), when it is still there.
void LeftIfThere(Context& ctx, const std::string& path, FileFailure failure);
// A folder a walk or folder erase would not enter, told as left when it is
// still there: one it may not list (where the system cannot tell a link
// either), or else a link or one that leads elsewhere since it was listed.
void LeftNotEntered(Context& ctx, const std::string& folder);
// A folder that could not be listed (its Find found nothing and failed).
void LeftIfUnlisted(Context& ctx, const std::vector<FileEntry>& listing, const std::string& folder);
// A folder is entered only as itself: an existing folder, no link, and still
// where the system puts it under `base` (canonical, upper-case) at this moment.
bool MayEnter(Files& files, const std::string& folder, const std::string& base);
// Whether a file of a walk with base `base` is still there: the open file
// lies below the base, or, not opened, its folder may still be entered.
bool Inside(Files& files, const std::string& path, FileHandle handle, const std::string& base);

}  // namespace nimbrel
