// The Windows version tag: "95", "98", "NT", "2K", "XP", or empty for any
// other version. Chooses where the profile and history folders live.
#pragma once

#include <string>

#include "core/Context.h"

namespace nimbrel {

// Probes the version afresh on every call.
std::string OSVersionTag(Context& ctx);

}  // namespace nimbrel
