// The least an idle window program with a 10 ms timer costs: a message-only
// window, one SetTimer of 10 ms and a GetMessage loop, nothing done per tick.
// bench/idle_cpu.sh measures it beside Nimbrel, so Nimbrel's idle figure can be
// read against what the timer alone costs under the same Wine.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HWND window = CreateWindowExA(0, "STATIC", "idle floor", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                nullptr, nullptr);
  if (!window || !SetTimer(window, 1, 10, nullptr)) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
