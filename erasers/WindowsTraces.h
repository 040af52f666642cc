// What Windows keeps of a user's work beside the recent documents: Explorer's
// search, address and file-dialog lists, the programs it counted, its
// thumbnail cache, the error reports and crash dumps, and the folder views.
// Each knows the Windows XP places and those of Windows Vista and later, and
// erases nothing on a version that has neither.
#pragma once

#include "core/Context.h"

namespace nimbrel {

inline constexpr const char* kExplorerKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";

// The values of Explorer's search box, address bar, Open and Save dialogs and
// Map Network Drive lists (and of their sub-keys), a progress line per entry
// as the Run list has; the keys stay.
void EraseExplorerHistory(Context& ctx);
// The values of UserAssist's Count keys (a line per program, its name
// decoded) and of MuiCache (but its LangID); the keys stay.
void EraseProgramUsage(Context& ctx);
// Explorer's thumbcache_*.db. One Explorer holds open is left, with its line,
// and goes at the next start of the system.
void EraseThumbnailCache(Context& ctx);
// The user's error-report archive and queue and crash dumps, then the
// machine's, as far as the account may delete them.
void EraseErrorReports(Context& ctx);
// The BagMRU and Bags keys, whole, where Windows keeps them.
void EraseFolderViews(Context& ctx);

}  // namespace nimbrel
