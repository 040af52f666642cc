// The activity log Log.txt, where the context's DataFolder keeps the
// program's files: one record appended per run (a fixed header, then every
// progress line), viewable and clearable.
#pragma once

#include <string>

#include "core/Context.h"
#include "platform/Controls.h"

namespace nimbrel {

// The log that View Log opens and Clear Log clears.
std::string LogFilePath(Context& ctx);
// Appends the run's record unless ChkDontStoreLogFile is 1, in pieces of about
// 64 KiB, so a record cut short keeps the pieces already written.
void WriteLogFile(Context& ctx, const ListBox& progress, ProgressBar& bar);
// Deletes the log; false when there was none.
bool ClearLogFile(Context& ctx);
// Opens the log with the shell's default viewer; nothing when there is none.
void ViewLogFile(Context& ctx, WindowHandle owner);

}  // namespace nimbrel
