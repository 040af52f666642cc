#include "erasers/CloseAllInternetExplorers.h"

#include "platform/Text.h"

namespace nimbrel {

namespace {

constexpr const char* kBrowserFrameClass = "IEFrame";

}  // namespace

void CloseAllInternetExplorers(Context& ctx) {
  Desktop& desktop = ctx.platform.desktop;
  for (const TopLevelWindow& window : desktop.TopLevelWindows())
    if (EqualsNoCase(Trim(window.className), kBrowserFrameClass)) desktop.PostClose(window.handle);
}

}  // namespace nimbrel
