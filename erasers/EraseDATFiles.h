// Internet Explorer's index.dat files stay open, and so cannot be deleted,
// while Windows runs. Those that stay are removed at the next start: by
// DelIndex.BAT in the Windows folder, which Autoexec.bat calls (Windows 95 and
// 98), and through the system's list of files to delete at start-up (the NT
// family, which never runs Autoexec.bat).
#pragma once

#include <string>

#include "core/Context.h"

namespace nimbrel {

// Deletes, by name, CacheFolder's "Content.IE5\index.dat", HistoryFolder's
// "history.ie5\index.dat" and CookiesFolder's "index.dat" (not overwritten,
// not counted); each that stays is registered for deletion at the next start.
// The folder, and the folder holding the file, must be ones an eraser may
// work in (not a link nor below one); a file that is a link is left alone.
void DeleteIndexDatFiles(Context& ctx);
// Appends to DelIndex.BAT in the Windows folder "@ECHO OFF" and a DEL line
// for every index.dat under `folder` (the IE History folder), each only when
// the batch does not hold that line yet (letter case aside), then has
// Autoexec.bat call the batch. Nothing when the folder is not one an eraser
// may work in, nor when DelIndex.BAT is a link.
void CreateIndexDatBatch(Context& ctx, const std::string& folder);
// Adds to `batch` a DEL line for each file named "index.dat" (letter case
// aside, nothing more or less) under `folder`, by the walk of modFiles:
// sub-folders first, depth first; hidden and system files are not listed and
// links not followed; a line `batch` holds already is not added again. Each
// file named is also registered for deletion at the next start.
void WriteIndexDatDeletes(Context& ctx, std::string& batch, const std::string& folder);
// Appends "@ECHO OFF" and the batch path to Autoexec.bat in the root of the
// boot drive, creating it, unless it already names the batch or is a link.
void AddToAutoexec(Context& ctx, const std::string& batchPath);

}  // namespace nimbrel
