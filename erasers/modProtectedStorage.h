// Internet Explorer's protected-storage registry data, where it keeps form
// and address autocomplete entries.
#pragma once

#include "core/Context.h"

namespace nimbrel {

inline constexpr const char* kProtectedStorageKey =
    "Software\\Microsoft\\Protected Storage System Provider";

// Deletes each of the key's sub-keys with everything below it (the platform
// deletes no key that still has sub-keys), then its values, each request
// counted; the key itself stays.
void ClearProtectedStorage(Context& ctx);

}  // namespace nimbrel
