// What the entries of the community file name on this machine, and their
// erasing: the entry's actions run through the one definitions eraser
// (erasers/DefinitionActions.h), whose rules are stricter than the file's.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cleaning/Winapp2.h"
#include "core/Context.h"

namespace nimbrel {

// Whether the entry is shown: any of its Detect, DetectFile and
// SpecialDetect finds its application (an entry with none always does), on
// a Windows version within its DetectOS bounds.
bool Winapp2Detected(Context& ctx, const PathVariables& vars, const Winapp2Entry& entry);

// Erases what the entry names, its ExcludeKeys kept.
void EraseWinapp2Entry(Context& ctx, const PathVariables& vars, const Winapp2Entry& entry);

// ---- The file the program reads ----

// Winapp2.ini where the program reads its own files (settings/DataFolder.h:
// beside the exe, or in the user's application-data folder's "Nimbrel" when
// the program folder may not be written to); empty when it is not there.
std::string Winapp2Location(Context& ctx);

struct Winapp2Catalogue {
  std::string path, bytes;
  Winapp2File file;
  std::vector<const Winapp2Entry*> detected;  // in the file's order
};

// The file as last read, read again when it changed (or went, or came);
// `detect` detects its entries again even when it did not change.
const Winapp2Catalogue& Winapp2Entries(Context& ctx, bool detect);
// The community file as one run erases it: read once as the run starts, its
// entries found by name and its variables' folders asked of the system once,
// so that an entry costs what its own files and keys cost.
class Winapp2Run {
 public:
  explicit Winapp2Run(Context& ctx);
  Winapp2Run(const Winapp2Run&) = delete;
  Winapp2Run& operator=(const Winapp2Run&) = delete;
  // The entry a to-be-erased row names; null for any other row.
  const Winapp2Entry* Find(std::string_view row) const;
  void Erase(const Winapp2Entry& entry) const { EraseWinapp2Entry(ctx_, vars_, entry); }

 private:
  Context& ctx_;
  Winapp2File file_;
  std::unordered_map<std::string, const Winapp2Entry*> byName_;  // upper-case, the first of a name
  PathVariables vars_;
};

}  // namespace nimbrel
