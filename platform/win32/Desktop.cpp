// Win32 implementation of platform/Desktop.h.
#include "platform/win32/Win32Platform.h"

#include <windows.h>

#undef SendMessage

namespace nimbrel {

namespace {

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
  auto& found = *reinterpret_cast<std::vector<TopLevelWindow>*>(context);
  char name[257] = {};
  const int length = GetClassNameA(window, name, sizeof name - 1);
  try {
    found.push_back({reinterpret_cast<WindowHandle>(window),
                     std::string(name, length > 0 ? length : 0)});
  } catch (...) {
    return FALSE;  // out of memory: stop with the windows found so far
  }
  return TRUE;
}

}  // namespace

std::vector<TopLevelWindow> Win32Desktop::TopLevelWindows() {
  std::vector<TopLevelWindow> found;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<WindowHandle> Win32Desktop::WindowsOfClass(const std::string& className) {
  return NoThrow(std::vector<WindowHandle>(), [&] {
    std::vector<WindowHandle> found;
    for (const TopLevelWindow& w : TopLevelWindows())
      if (w.className == className) found.push_back(w.handle);
    return found;
  });
}

void Win32Desktop::PostClose(WindowHandle window) {
  PostMessageA(reinterpret_cast<HWND>(window), WM_CLOSE, 0, 0);
}

bool Win32Desktop::KeyDown(int virtualKey) {
  // The high bit is the key's state now; the low bit only says it was pressed since the last call.
  return (static_cast<unsigned short>(GetAsyncKeyState(virtualKey)) & 0x8000) != 0;
}

bool Win32Desktop::EmptyClipboard() {
  if (!OpenClipboard(nullptr)) return false;
  const bool ok = ::EmptyClipboard() != 0;
  CloseClipboard();
  return ok;
}

std::intptr_t Win32Desktop::SendMessage(WindowHandle window, std::uint32_t message,
                                        std::uintptr_t wParam, std::intptr_t lParam) {
  return SendMessageA(reinterpret_cast<HWND>(window), message, wParam, lParam);
}

}  // namespace nimbrel
