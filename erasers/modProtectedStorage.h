// Internet Explorer's protected-storage registry data, where it keeps form
// and address autocomplete entries.
#pragma once

#include "core/Context.h"

namespace nimbrel {

inline constexpr const char* kProtectedStorageKey =
    "Software\\Microsoft\\Protected Storage System Provider";

// Deletes the key's direct sub-keys, then its values, each request counted;
// the key itself stays, and so do sub-keys that hold sub-keys of their own.
void ClearProtectedStorage(Context& ctx);

}  // namespace nimbrel
