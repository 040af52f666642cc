// The free-space wipe and the shredder as the user starts them: from the
// command line (/wipefree, /shred), from the main window and from Explorer's
// Send To, each shred asked first in the message dialog.
#pragma once

#include <string>
#include <vector>

#include "core/Context.h"
#include "platform/Drives.h"

namespace nimbrel {

// The question before a shred: the count and size of what it erases.
std::string ShredQuestion(std::uint64_t files, std::uint64_t folders, std::uint64_t bytes);
// "1,234,567": a number of bytes as the program shows them.
std::string GroupedNumber(std::uint64_t n);

// Plans the shred, asks, and shreds what the user confirmed; the lines told
// go to the report (and a refusal with nothing to shred is shown). False
// when the user said No or nothing could be shredded.
bool ShredChosen(Context& ctx, Drives& drives, const std::vector<std::string>& paths);

// Files and folders dropped on the main window: shredded as ShredChosen
// does, the counters starting at 0, while no run of Nimbrel erases.
void ShredFromWindow(Context& ctx, Drives& drives, const std::vector<std::string>& paths);

// Removes what unfinished wipes left on the fixed drives and says so in
// the message dialog, naming the drives.
void TellWipeLeftoversRemoved(Context& ctx, Drives& drives);

// /shred PATH...: asks, shreds, appends the record to Log.txt; with a FILE
// (/preview FILE) writes what the shred would erase instead, changing nothing.
int ShredCommand(Context& ctx, Drives& drives, const std::vector<std::string>& paths,
                 const std::string& previewFile);
// /wipefree D: ...: wipes each drive's free space in turn, no window shown.
int WipeFreeCommand(Context& ctx, Drives& drives, const std::vector<std::string>& roots);

}  // namespace nimbrel
