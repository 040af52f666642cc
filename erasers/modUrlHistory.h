// Internet Explorer's URL history store, behind its history list and the
// address bar's suggestions, cleared through the system's own object.
#pragma once

#include "core/Context.h"

namespace nimbrel {

// Creates the URL history object, asks it to clear itself and releases it.
// Nothing happens when the object is not available; what ClearHistory
// returns is not looked at.
void ClearUrlHistory(Context& ctx);

}  // namespace nimbrel
