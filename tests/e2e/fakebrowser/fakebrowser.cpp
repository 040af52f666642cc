// FakeBrowser: a stand-in for a browser in the end-to-end tests, copied into the
// prefix under a browser's executable name (chrome.exe). It shows one top-level
// window of the class given (Chrome_WidgetWin_1 by default) and ends when that
// window is asked to close, as a browser does; it never ends otherwise.
//   FakeBrowser.exe [CLASS]
#include <windows.h>

#include <cstdlib>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  const char* className = __argc > 1 ? __argv[1] : "Chrome_WidgetWin_1";
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = className;
  if (!RegisterClassA(&wc)) return 1;
  HWND window = CreateWindowExA(0, className, "Fake browser", WS_OVERLAPPEDWINDOW, 20, 20, 320,
                                200, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
