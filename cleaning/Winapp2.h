// The community cleaning file, Winapp2.ini, read into its entries. Reading is
// text work only: what a line names on the machine is looked at when an
// entry is detected or erased (cleaning/Winapp2Erase.h).
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

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

// The settings section of the entries' ticks, one "True"/"False" value each.
inline constexpr const char* kWinapp2Section = "Winapp2";
// The file's name, beside the exe or in the application-data folder.
inline constexpr const char* kWinapp2File = "Winapp2.ini";

struct Winapp2FileKey {
  std::string line;    // the value as written, for the preview and the log
  std::string folder;  // may hold variables and wildcards in any part
  std::vector<std::string> patterns;
  bool recurse = false, removeSelf = false;
};

struct Winapp2RegKey {
  std::string line;
  std::string key;                   // ROOT\path
  std::optional<std::string> value;  // a value of the key rather than the key
};

enum class Winapp2ExcludeKind { File, Path, Reg };

struct Winapp2Exclude {
  Winapp2ExcludeKind kind;
  std::string where;  // a folder (without trailing backslash) or ROOT\key
  // File: the names kept in the folder; Path: the pattern kept in the folder
  // and below ("*" when none); Reg: the value kept, none for the whole key.
  std::vector<std::string> names;
};

struct Winapp2Entry {
  std::string name;  // as the header spells it, " *" included: the to-be-erased row
  std::string langSecRef, section, warning, specialDetect, detectOS;
  std::vector<std::string> detects, detectFiles;
  std::vector<Winapp2FileKey> fileKeys;
  std::vector<Winapp2RegKey> regKeys;
  std::vector<Winapp2Exclude> excludes;
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
