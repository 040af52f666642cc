// For the tests of recorded runs: a context over the fakes wrapped in one
// mode, and the whole state of the fakes, to tell that a preview changed
// nothing and what a real run changed.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "fakes/TestWorld.h"
#include "preview/PreviewPlatform.h"

namespace nimbrel {

inline void PrintTo(const Change& c, std::ostream* out) {
  *out << "{" << c.row << ", " << ChangeKindName(c.kind) << ", " << c.item << ", " << c.bytes
       << "}";
}

// A context whose platform is the world's, wrapped in `mode`.
struct Recorder {
  Recorder(TestWorld& w, PreviewMode mode)
      : platform(w.ctx.platform, mode), ctx(platform.AsPlatform(), w.settings) {
    ctx.ProgramFilesFolder = w.ctx.ProgramFilesFolder;
  }
  std::vector<Change> Changes() const { return platform.journal.Changes(); }

  PreviewPlatform platform;
  Context ctx;
};

// Everything a run could change in the fakes.
struct WorldState {
  std::map<std::string, std::string> files, registry;
  int recycleBinEmptied = 0, clipboardEmptied = 0;
  std::size_t windowsClosed = 0, programsStarted = 0;
  bool operator==(const WorldState&) const = default;
};

inline WorldState StateOf(TestWorld& w) {
  return {w.files.Snapshot(), w.registry.Snapshot(), w.shell.recycleBinEmptied,
          w.desktop.clipboardEmptied, w.desktop.closed.size(), w.shell.executions.size()};
}

// The changes the fakes' journals hold: files written or deleted, registry
// keys and values created, written or deleted.
inline std::vector<std::string> JournalledChanges(TestWorld& w) {
  std::vector<std::string> changes;
  for (const std::string& line : w.files.journal)
    if (line.rfind("write ", 0) == 0 || line.rfind("delete ", 0) == 0) changes.push_back(line);
  changes.insert(changes.end(), w.registry.journal.begin(), w.registry.journal.end());
  return changes;
}

// The fake file system's entries (upper-cased) gone between two states.
inline std::vector<std::string> Gone(const std::map<std::string, std::string>& before,
                                     const std::map<std::string, std::string>& after) {
  std::vector<std::string> gone;
  for (const auto& [key, value] : before)
    if (!after.count(key)) gone.push_back(key);
  return gone;
}

}  // namespace nimbrel
