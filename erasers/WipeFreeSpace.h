// Wiping a drive's free space: files in one folder of the program's own at
// the drive's root fill the free room, written with the secure-erasing
// passes (each flushed to the medium); then small files fill the file table,
// where NTFS keeps small files whole; then everything made goes, the room
// first. Whatever stops a wipe leaves at most that folder, which the next
// wipe or the next start removes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/Context.h"
#include "platform/Drives.h"

namespace nimbrel {

// The wipe's folder at a drive's root, and the file in it that marks it as
// the wipe's: only a folder holding it (or nothing at all) is ever removed.
inline constexpr const char* kWipeFolderName = "Nimbrel Free Space Wipe";
inline constexpr const char* kWipeMarkerName = "Nimbrel.wipe";
// A fill file's largest size: FAT32 takes no file of 4 GiB.
inline constexpr std::uint64_t kFillFileBytes = 1ull << 30;
// The bytes each small file of the file table holds: as much as an NTFS
// record of 1 KiB keeps inside itself beside a short name.
inline constexpr std::size_t kTableFileBytes = 640;

// The fixed drives that take writes: the ones a wipe may be aimed at.
std::vector<std::string> WipeableDrives(Drives& drives);
// "C:\" of "c:", "C:" or "C:\"; empty for anything else.
std::string DriveRoot(const std::string& text);

enum class WipePhase { Filling, FileTable, Removing };

struct WipeStatus {
  WipePhase phase = WipePhase::Filling;
  int pass = 1, passes = 1;
  std::uint64_t written = 0;  // bytes written in all passes so far
  std::uint64_t total = 0;    // the free room times the passes, as at the start
  std::uint64_t tableFiles = 0;
};

enum class WipeOutcome {
  Done,
  Cancelled,
  NotWipeable,  // no fixed drive that takes writes
  Failed,       // its folder could not be made
  DriveGone,    // the drive went away while the wipe worked
  Unfinished,   // a leftover folder could not be removed first
};

struct WipeResult {
  WipeOutcome outcome = WipeOutcome::Done;
  std::uint64_t freeBefore = 0, freeAfter = 0;
  std::uint64_t written = 0;
  std::uint64_t tableFiles = 0;
  bool leftoverRemoved = false;  // an earlier wipe's folder went first
  bool folderLeft = false;       // the wipe's folder is still there
};

// Called after each piece written and every few small files: false cancels.
// The caller lets the user interface run there (Context::DoEvents).
using WipeStep = std::function<bool(const WipeStatus&)>;

// Wipes the free space of the drive at `root` ("D:\").
WipeResult WipeFreeSpace(Context& ctx, Drives& drives, const std::string& root,
                         const WipeStep& step = {});

// Removes what an unfinished wipe left on the drive: its folder, when it is
// no link and holds the wipe's marker or nothing. True when one was there
// and is gone; told as a progress line.
bool RemoveWipeLeftover(Context& ctx, const std::string& root);
// The same on every fixed drive; the roots whose leftover went.
std::vector<std::string> RemoveWipeLeftovers(Context& ctx, Drives& drives);

}  // namespace nimbrel
