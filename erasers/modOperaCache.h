// Where Opera and Netscape/Mozilla keep their profile data: under the user
// profile on the NT family, under the Windows folder on 95 and 98. Both end
// in a backslash; both are empty on a Windows version that is not known.
// Neither checks that the folder exists.
#pragma once

#include <string>

#include "erasers/Context.h"

namespace nimbrel {

std::string OperaFolder(Context& ctx);
std::string MozillaProfilesFolder(Context& ctx);

}  // namespace nimbrel
