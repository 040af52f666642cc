// Where Opera and Netscape/Mozilla keep their profile data: under the user
// profile on the NT family, under the Windows folder on 95 and 98. Both end
// in a backslash; both are empty on a Windows version that is not known.
// Neither checks that the folder exists.
#pragma once

#include <string>

#include "core/Context.h"

namespace nimbrel {

std::string OperaFolder(Context& ctx);
std::string MozillaProfilesFolder(Context& ctx);
// The folder above OperaFolder: OperaFolder less its last part ("Opera\").
std::string OperaRootFolder(Context& ctx);
// Opera's remembered folder n, 0 to 9: the value "Last Directory" (n = 0) or
// "Last Directory" followed by the digit n of HKEY_CURRENT_USER
// "Software\Opera Software", ending in a backslash; empty when the value is
// absent or empty.
std::string OperaRememberedFolder(Context& ctx, int n);

}  // namespace nimbrel
