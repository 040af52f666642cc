// The homepage guard: every 30 seconds it compares Internet Explorer's start
// page with the one the user wants kept, and on a difference asks whether to
// keep the new page or put the remembered one back.
#pragma once

#include <string>

#include "core/Context.h"
#include "platform/Controls.h"

namespace nimbrel {

inline constexpr const char* kGuardSwitchKey = "chkPreverntHomepage";
inline constexpr const char* kRememberedPageKey = "txtHomepage";

// Internet Explorer's start page ("" when it has none).
std::string ReadStartPage(Context& ctx);
// Sets the start page to exactly `page` (a text value, blanks and all).
void WriteStartPage(Context& ctx, const std::string& page);

// The main window's controls that the guard drives.
struct HomepageGuardControls {
  Timer& tmrCheckSettings;
};

class HomepageGuard {
 public:
  HomepageGuard(Context& ctx, const HomepageGuardControls& controls);
  // The timer's tick.
  void Tick();

 private:
  void Check();
  Context& ctx_;
  HomepageGuardControls c_;
};

}  // namespace nimbrel
