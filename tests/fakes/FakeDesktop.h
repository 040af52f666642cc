// Other windows, keys, clipboard and messages, all set up by the test.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Desktop.h"

namespace nimbrel {

class FakeDesktop final : public Desktop {
 public:
  std::map<WindowHandle, std::string> windows;  // handle -> class name
  std::vector<WindowHandle> closed;
  std::set<int> keysDown;
  int clipboardEmptied = 0;
  WindowHandle clipboardOwner = 0;  // the owner the last emptying opened it for

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
  bool EmptyClipboard(WindowHandle owner) override {
    clipboardOwner = owner;
    ++clipboardEmptied;
    return true;
  }

  // Another process claimed the instance first; the forms it was asked to bring forward.
  bool instanceClaimedElsewhere = false;
  std::vector<std::string> instanceCalls;
  bool ClaimInstance() override { return !instanceClaimedElsewhere; }
  bool CallInstance(const std::string& formName) override {
    instanceCalls.push_back(formName);
    return instanceClaimedElsewhere;
  }
};

}  // namespace nimbrel
