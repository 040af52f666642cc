// Recorded runs without a window: the preview (what a run over the given
// rows would change, the machine left as it is) and the journal of a real run
// (what it changed), and the text both are written in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Context.h"
#include "preview/ChangeJournal.h"

namespace nimbrel {

struct RecordedRun {
  std::vector<std::string> rows;  // the to-be-erased rows run
  std::vector<Change> changes;
  // Another run held the run lock (past the wait, for one of another
  // process): nothing ran.
  bool busy = false;
};

// Runs the rows as Start Erasing runs them (the log included, no message)
// over the context's platform wrapped in `mode`.
RecordedRun RunRecorded(Context& ctx, PreviewMode mode, const std::vector<std::string>& rows);

// The label a change's row is shown with: the row's text, or where the
// change falls outside the rows.
std::string RowLabel(const RecordedRun& run, int row);

struct ChangeTotals {
  int files = 0;
  std::uint64_t bytes = 0;
  int folders = 0;
  int registryItems = 0;  // keys and values deleted
};
ChangeTotals Totals(const std::vector<Change>& changes);

// One line per change: row label, kind, item and, for a file, its bytes,
// separated by tabs and ended by CR LF.
std::string ChangesAsText(const RecordedRun& run);

}  // namespace nimbrel
