// The hot keys, polled from the keyboard state on every tick of tmrHotKeys:
// the boss key (Ctrl + Shift + a letter) closes every Internet Explorer
// window and, if so chosen, then starts a run; the stealth key (Shift + a
// letter, Ctrl up) shows or hides the main window while stealth mode is on.
#pragma once

#include <string>
#include <vector>

#include "cleaning/CleaningRun.h"
#include "core/Context.h"
#include "platform/Controls.h"

namespace nimbrel {

// The main window's parts that the hot keys drive; the main window owns them.
struct HotKeyControls {
  Form& FrmMain;
  Timer& tmrHotKeys;
};

class HotKeys {
 public:
  HotKeys(Context& ctx, const HotKeyControls& controls, CleaningRun& run);

  // One poll. The timer stays stopped meanwhile, also through a run it starts.
  void Tick();

 private:
  bool BossKeyDown();
  bool StealthKeyDown();
  void BossKey();
  void ShowOrHideMainWindow();

  Context& ctx_;
  HotKeyControls c_;
  CleaningRun& run_;
  // Set by the boss key's close-and-erase action during one tick.
  bool StartErasingAfterClose = false;
  // Each combination as it was at the last tick: it acts on the tick it
  // becomes pressed, not again while it stays held.
  bool bossHeld_ = false, stealthHeld_ = false;
  // The boss letter, the stealth switch and the stealth letter as last read:
  // read again only once the section changed, so that an idle tick reads nothing.
  std::vector<std::string> keys_;
};

}  // namespace nimbrel
