// DoEvents for Win32: what is waiting in this thread's queue is dispatched.
#pragma once

#include <windows.h>

namespace nimbrel {

// Looking at the queue is a round trip to the wineserver under Wine, and long
// erasures yield after every block and file. The queue is therefore looked at
// when 10 ms have passed since the last look: the window still answers at once
// to the eye, and a walk over thousands of small files no longer pays a look
// per file. WM_QUIT is left in the queue for the message loop.
inline void DispatchPendingMessages() {
  constexpr DWORD kInterval = 10;
  static DWORD lastLook = GetTickCount() - kInterval;
  const DWORD now = GetTickCount();
  if (now - lastLook < kInterval) return;
  lastLook = now;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace nimbrel
