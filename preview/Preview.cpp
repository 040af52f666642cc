#include "preview/Preview.h"

#include "preview/PreviewPlatform.h"
#include "preview/WindowlessRun.h"

namespace nimbrel {

RecordedRun RunRecorded(Context& ctx, PreviewMode mode, const std::vector<std::string>& rows) {
  // A run of this process is under way (a preview within a run cannot be).
  if (ctx.platform.system.RunLocked()) return {rows, {}, true};
  PreviewPlatform platform(ctx.platform, mode);
  Context recorded(platform.AsPlatform(), ctx.settings);
  // The run keeps its files where this process does: whether the program
  // folder may be written to is told by the real file system (a probe
  // recorded instead of made would always succeed).
  ctx.dataFolder.SaveFolder(ctx.platform);
  recorded.dataFolder = ctx.dataFolder;
  // The rows are given: the list is never built from the settings here.
  WindowlessRun front(recorded,
                      [&platform](int row) { platform.journal.SetRow(row); });
  front.ListRows(rows);
  CleaningRun& run = front.Run();
  run.StartCleanning();
  RecordedRun recordedRun{rows, platform.journal.Changes(), run.BusyElsewhere()};
  // What the run refused changes nothing, yet belongs in the list: each
  // "  refused (WHY): LINE" progress line, under the row whose line precedes it.
  int row = kBeforeTheRows;
  for (const std::string& line : front.LstShowingTracksErasedProgress.Lines()) {
    if (line.starts_with("Cleaning ") && line.ends_with(" <OK>")) ++row;
    if (line.starts_with("  refused ("))
      recordedRun.changes.push_back({row, ChangeKind::Refused, line.substr(10)});
  }
  return recordedRun;
}

std::string RowLabel(const RecordedRun& run, int row) {
  if (row < 0) return "(before the rows)";
  if (row >= static_cast<int>(run.rows.size())) return "(after the rows)";
  return run.rows[static_cast<std::size_t>(row)];
}

ChangeTotals Totals(const std::vector<Change>& changes) {
  ChangeTotals t;
  for (const Change& c : changes) {
    if (c.kind == ChangeKind::File) {
      ++t.files;
      t.bytes += c.bytes;
    } else if (c.kind == ChangeKind::Folder) {
      ++t.folders;
    } else if (c.kind == ChangeKind::RegistryKey || c.kind == ChangeKind::RegistryValue) {
      ++t.registryItems;
    }
  }
  return t;
}

std::string ChangesAsText(const RecordedRun& run) {
  std::string text;
  for (const Change& c : run.changes) {
    text += RowLabel(run, c.row) + '\t' + ChangeKindName(c.kind) + '\t' + c.item + '\t';
    if (c.kind == ChangeKind::File || c.kind == ChangeKind::SiteData) text += std::to_string(c.bytes);
    text += "\r\n";
  }
  return text;
}

}  // namespace nimbrel
