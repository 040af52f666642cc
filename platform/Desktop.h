// Other windows, the keyboard state, the clipboard and window messages.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel {

using WindowHandle = std::uintptr_t;

// Virtual-key codes of the modifier keys.
constexpr int kVkShift = 0x10;
constexpr int kVkControl = 0x11;

struct TopLevelWindow {
  WindowHandle handle;
  std::string className;  // as GetClassNameA gives it
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Top-level windows whose class name equals `className` (EnumWindows).
  virtual std::vector<WindowHandle> WindowsOfClass(const std::string& className) = 0;
  // Every top-level window with its class name (EnumWindows, GetClassNameA).
  virtual std::vector<TopLevelWindow> TopLevelWindows() = 0;
  virtual void PostClose(WindowHandle window) = 0;
  // GetAsyncKeyState: true while the virtual key is held down.
  virtual bool KeyDown(int virtualKey) = 0;
  virtual bool EmptyClipboard() = 0;
  virtual std::intptr_t SendMessage(WindowHandle window, std::uint32_t message,
                                    std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

}  // namespace nimbrel
