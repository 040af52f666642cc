// The Windows entry point: the platform, the settings, the program-wide
// context, then either the main window and the message loop or, with
// arguments, a run of the command line (app/CommandLine.h).
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <ole2.h>

#include "app/CommandLine.h"
#include "app/FrmMain.h"
#include "core/Context.h"
#include "platform/win32/Win32Bundle.h"
#include "platform/win32/Win32Drives.h"
#include "settings/SettingsStore.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  using namespace nimbrel;
  const CommandLine command = ParseCommandLine(SplitCommandLine(commandLine ? commandLine : ""));
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof icc;
  icc.dwICC = ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);
  Win32Bundle win32;
  // COM as a single-threaded apartment on this, the user-interface thread,
  // for the URL history object; undone on the way out, however the program
  // ends, when it was done here.
  if (SUCCEEDED(OleInitialize(nullptr))) win32.loop.AtExit([] { OleUninitialize(); });
  int code = 0;
  if (command.mode != CommandMode::Window) {
    SettingsStore settings(win32.registry);
    Context ctx(win32.AsPlatform(), settings);
    Win32Drives drives;
    code = RunCommandLine(ctx, command, &drives);
  } else if (!win32.desktop.ClaimInstance()) {
    // Started again (by hand while the start-up entry's copy runs, say): the
    // first copy comes forward, and no second one starts timers and hot keys.
    win32.desktop.CallInstance("FrmMain");
  } else {
    SettingsStore settings(win32.registry);
    Context ctx(win32.AsPlatform(), settings);
    FrmMain frm(ctx);
    Win32Drives drives;
    frm.UseDrives(drives);
    frm.Load();  // its load step shows it
    code = win32.loop.Run();
  }
  win32.loop.PrepareExit();
  return code;
}
