// The program's icon in the taskbar's notification area, standing for the
// main window while it is minimised. The icon's mouse messages reach that
// window as mouse moves over it (kNotifyIconMessage, platform/Controls.h).
#pragma once

#include <cstddef>

#include "platform/Controls.h"
#include "platform/Shell.h"

namespace nimbrel {

class clsMakeTrayIcon {
 public:
  explicit clsMakeTrayIcon(Shell& shell) : shell_(shell) {}

  // Adds the window's icon, its caption as the tip.
  void ShowIcon(Form& window);
  // Removes it; nothing happens when there is none.
  void RemoveIcon(Form& window);

  // True while the icon is shown.
  bool bRunningInTray = false;

  // The tip's room in the shell's record, its terminating NUL included.
  static constexpr std::size_t kTipBytes = 64;

 private:
  Shell& shell_;
};

}  // namespace nimbrel
