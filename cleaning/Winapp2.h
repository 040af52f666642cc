// The community cleaning file, Winapp2.ini, read into its entries, whose
// FileKey, RegKey and ExcludeKey lines are read into the actions of
// erasers/DefinitionActions.h. Reading is text work only: what a line names on
// the machine is looked at when an entry is detected or erased
// (cleaning/Winapp2Erase.h).
//
//   [Name *]                      an entry; the name ends in " *"
//   LangSecRef=3021 / Section=..  the group the file's authors put it in
//   Detect[N]=ROOT\key            shown when the key exists
//   DetectFile[N]=path            shown when the file or folder exists
//   DetectOS=min|max              major.minor bounds of the Windows version
//   SpecialDetect=DET_CHROME      a browser (DET_MOZILLA, DET_THUNDERBIRD, DET_OPERA)
//   Warning=text                  asked before the entry is ticked
//   Default=...                   ignored: every entry starts unticked
//   FileKeyN=folder|pattern[;pattern...][|RECURSE][|REMOVESELF]
//   RegKeyN=ROOT\key[|value]
//   ExcludeKeyN=FILE|folder\|name[;name...], PATH|folder\[|pattern], REG|key[|value]
//
// A malformed line is skipped alone, a malformed section (an empty name, no
// trailing " *", control characters, or a name read already) with all its
// lines; the rest of the file is read as if they were not there.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "erasers/DefinitionActions.h"
#include "settings/DataFolder.h"

namespace nimbrel {

// The settings section of the entries' ticks, one "True"/"False" value each.
inline constexpr const char* kWinapp2Section = "Winapp2";

struct Winapp2Entry {
  std::string name;  // as the header spells it, " *" included: the to-be-erased row
  std::string langSecRef, section, warning, specialDetect, detectOS;
  std::vector<std::string> detects, detectFiles;
  std::vector<FilesAction> fileKeys;
  std::vector<KeyAction> regKeys;
  std::vector<Exclusion> excludes;
};

// The keys read, by kind, and what was skipped.
struct Winapp2Counts {
  int fileKey = 0, regKey = 0, detectFile = 0, langSecRef = 0, section = 0, detect = 0,
      excludeKey = 0, warning = 0, detectOS = 0, specialDetect = 0, defaults = 0;
  int skippedLines = 0, skippedSections = 0;
};

struct Winapp2File {
  std::vector<Winapp2Entry> entries;  // in the file's order
  Winapp2Counts counts;
};

Winapp2File ParseWinapp2(std::string_view text);

// The entry's settings key: its name without the trailing " *".
std::string Winapp2TickKey(std::string_view name);

}  // namespace nimbrel
