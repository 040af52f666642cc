#include "app/clsMakeTrayIcon.h"

namespace nimbrel {

void clsMakeTrayIcon::ShowIcon(Form& window) {
  shell_.NotifyIcon(NotifyIconAction::Add, window.Handle(),
                    window.Caption().substr(0, kTipBytes - 1));
  bRunningInTray = true;
}

void clsMakeTrayIcon::RemoveIcon(Form& window) {
  shell_.NotifyIcon(NotifyIconAction::Delete, window.Handle(), "");
  bRunningInTray = false;
}

}  // namespace nimbrel
