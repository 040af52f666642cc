// Other windows, keys, clipboard and messages, all set up by the test.
#pragma once

#include <map>
#include <set>
#include <vector>

#include "platform/Desktop.h"

namespace nimbrel {

class FakeDesktop final : public Desktop {
 public:
  struct Message {
    WindowHandle window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };
  std::map<WindowHandle, std::string> windows;  // handle -> class name
  std::vector<WindowHandle> closed;
  std::set<int> keysDown;
  int clipboardEmptied = 0;
  std::vector<Message> sent;

  std::vector<WindowHandle> WindowsOfClass(const std::string& className) override {
    std::vector<WindowHandle> out;
    for (const auto& [h, c] : windows)
      if (c == className) out.push_back(h);
    return out;
  }
  std::vector<TopLevelWindow> TopLevelWindows() override {
    std::vector<TopLevelWindow> out;
    for (const auto& [h, c] : windows) out.push_back({h, c});
    return out;
  }
  void PostClose(WindowHandle window) override { closed.push_back(window); }
  bool KeyDown(int virtualKey) override { return keysDown.count(virtualKey) > 0; }
  bool EmptyClipboard() override {
    ++clipboardEmptied;
    return true;
  }
  std::intptr_t SendMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) override {
    sent.push_back({window, message, wParam, lParam});
    return 0;
  }
};

}  // namespace nimbrel
