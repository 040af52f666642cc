// The Windows entry point: the platform, the settings, the program-wide
// context and the main window, then the message loop.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <ole2.h>

#include "app/FrmMain.h"
#include "erasers/Context.h"
#include "platform/win32/Win32Bundle.h"
#include "settings/SettingsStore.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace nimbrel;
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);
  Win32Bundle win32;
  // COM as a single-threaded apartment on this, the user-interface thread,
  // for the URL history object; undone on the way out, however the program
  // ends, when it was done here.
  if (SUCCEEDED(OleInitialize(nullptr))) win32.loop.AtExit([] { OleUninitialize(); });
  SettingsStore settings(win32.registry);
  Context ctx(win32.AsPlatform(), settings);
  FrmMain frm(ctx);
  frm.Load();  // its load step shows it
  const int code = win32.loop.Run();
  win32.loop.PrepareExit();
  return code;
}
