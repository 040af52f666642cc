// Closing every Internet Explorer window, before a run and on the boss key.
#pragma once

#include "core/Context.h"

namespace nimbrel {

// Asks every top-level window of class "IEFrame" (compared trimmed and
// without regard to case) to close. The browsers close themselves later and
// may ask their own questions first; nothing waits for them.
void CloseAllInternetExplorers(Context& ctx);

}  // namespace nimbrel
