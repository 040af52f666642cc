// The command line, for unattended runs (the Task Scheduler's, say):
//
//   Nimbrel.exe /erase [/journal FILE]   erases the stored selection without
//                                        a window or message, appends to Log.txt
//                                        (and writes what it changed to FILE)
//   Nimbrel.exe /preview FILE            writes what /erase would erase to
//                                        FILE, changing nothing else
//   Nimbrel.exe /wipefree D: [E: ...]    wipes the drives' free space
//   Nimbrel.exe /shred PATH...           shreds the files and folders, once
//                                        the user said yes (/preview FILE
//                                        with it: what it would erase)
//   Nimbrel.exe /?                       shows the usage
//
// Switches are case-insensitive and start with "/" or "-". FILE holds one
// line per change: row, kind, item and bytes, separated by tabs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Context.h"
#include "platform/Drives.h"

namespace nimbrel {

enum class CommandMode { Window, Erase, Preview, Usage, WipeFree, Shred, Bad };

struct CommandLine {
  CommandMode mode = CommandMode::Window;
  std::string file;     // /preview's
  std::string journal;  // /journal's, with /erase
  std::vector<std::string> targets;  // /wipefree's drives, /shred's paths
};

// The exit codes of the command-line runs.
constexpr int kExitDone = 0;
constexpr int kExitNothingSelected = 1;
constexpr int kExitBadArgument = 2;
constexpr int kExitBusy = 3;  // another run went on past the wait; nothing was erased
constexpr int kExitNotWritten = 4;  // FILE could not be written
constexpr int kExitItemsLeft = 5;  // the run left items it could not erase (in Log.txt)

// The words of a command line as Windows programs split it: blanks separate
// them, double quotes group, a backslash before a quote makes it a quote.
std::vector<std::string> SplitCommandLine(std::string_view text);
CommandLine ParseCommandLine(const std::vector<std::string>& words);

// The rows the stored settings select, as the window lists them at start-up
// (whose step of storing "1" for every category never stored is taken too).
std::vector<std::string> StoredSelection(Context& ctx);

// Runs a mode other than Window and returns the process's exit code; the
// wipe and the shred need the drives.
int RunCommandLine(Context& ctx, const CommandLine& command, Drives* drives = nullptr);

}  // namespace nimbrel
