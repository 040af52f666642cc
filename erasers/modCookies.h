// Internet Explorer's cookies: one small file each in the user's Cookies
// folder. They are deleted by name, sparing index.dat (removed at boot, see
// EraseDATFiles) and the cookies on the keep list (Cookies.ini).
#pragma once

#include "core/Context.h"

namespace nimbrel {

// Deletes every file of CookiesFolder, hidden and system files included, but
// "index.dat" spelt exactly so and the cookies whose name the keep list holds
// exactly; a progress line for each. A file that resists is tried once more
// with its attributes cleared. Cookies are neither overwritten nor counted.
// The folder is listed by the walk of modFiles, so nothing happens in a folder
// no eraser may work in, nor in one that is a link or lies below one; each
// cookie is deleted through a handle that must lie in the folder, and a link
// is left.
void DeleteIECookies(Context& ctx);

}  // namespace nimbrel
