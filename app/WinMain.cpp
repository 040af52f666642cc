// The Windows entry point: the platform, the settings, the program-wide
// context and the main window, then the message loop.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <ole2.h>

#include "app/FrmMain.h"
#include "erasers/Context.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Ui.h"
#include "settings/SettingsStore.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace nimbrel;
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);
  OleInitialize(nullptr);

  Win32Registry registry;
  Win32Files files;
  Win32System system;
  Win32Shell shell;
  Win32Desktop desktop;
  Win32Profile profile;
  Win32EventLoop loop;
  const Platform platform{registry, files, system, shell, desktop, loop, profile};
  SettingsStore settings(registry);
  Context ctx(platform, settings);
  FrmMain frm(ctx);
  frm.Load();  // its load step shows it
  const int code = loop.Run();
  OleUninitialize();
  return code;
}
