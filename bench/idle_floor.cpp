// The least an idle window program with a 10 ms timer costs: a message-only
// window, one SetTimer of 10 ms and a GetMessage loop, nothing done per tick.
// bench/idle_cpu.sh measures it beside Nimbrel, so Nimbrel's idle figure can be
// read against what the timer alone costs under the same Wine. With the
// argument "shown" the timer's window is an ordinary top-level window on the
// screen instead, as Nimbrel's is: under Wine every wait of a thread with
// such a window also looks for X events.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  const bool shown = commandLine && std::strstr(commandLine, "shown");
  HWND window = shown ? CreateWindowExA(0, "STATIC", "idle floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                        0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr)
                      : CreateWindowExA(0, "STATIC", "idle floor", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                        nullptr, nullptr, nullptr);
  if (!window || !SetTimer(window, 1, 10, nullptr)) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
