// Shredding the files and folders a user chooses: each file is overwritten
// with the secure-erasing passes (each flushed to the medium), renamed to a
// random name so that its own leaves the folder's index, and deleted; a
// folder is emptied so and removed; a link is removed itself, never followed.
// A drive root and the protected folders (erasers/ProtectedFolders.h) are
// refused as wholes; a file the user chose inside them is shredded.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Context.h"
#include "platform/Drives.h"

namespace nimbrel {

enum class ShredKind { File, Folder, Link };

struct ShredItem {
  ShredKind kind = ShredKind::File;
  std::string path;
  std::uint64_t bytes = 0;
  // The chosen folder it was found in (canonical, upper-case); empty for a
  // path chosen itself.
  std::string base;
};

struct ShredPlan {
  // Files and links first, each folder after everything in it.
  std::vector<ShredItem> items;
  std::uint64_t files = 0, folders = 0, bytes = 0;
};

// What shredding the paths would erase. A refused or missing path is told
// as left (Context::Left) and left out.
ShredPlan PlanShred(Context& ctx, const std::vector<std::string>& paths);
// Shreds the plan's items, each told as a progress line and counted.
void Shred(Context& ctx, Drives& drives, const ShredPlan& plan);

// With secure erasing on, the files in the recycle bin's folders of every
// drive ("$Recycle.Bin", "RECYCLER", "RECYCLED") are overwritten and deleted,
// before the shell empties the bin; with it off, nothing is done here.
void OverwriteRecycleBin(Context& ctx);

// A random name of `length` letters and digits for a file in `folder` (with
// its trailing backslash) that holds nothing of that name.
std::string RandomFreeName(Files& files, const std::string& folder, std::size_t length);

}  // namespace nimbrel
