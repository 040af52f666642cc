// Other windows and programs, keys, clipboard and messages, all set up by the
// test.
#pragma once

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "platform/Text.h"

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
  // The running processes, and the process of each window that has one.
  std::vector<ProcessEntry> processes;
  std::map<WindowHandle, std::uint32_t> owners;
  // Programs (by executable name, in any case) that end when one of their
  // windows is asked to close: every process of that name goes, with its windows.
  std::set<std::string> endOnClose;

  void PostClose(WindowHandle window) override {
    closed.push_back(window);
    const auto owner = owners.find(window);
    if (owner == owners.end()) return;
    const auto process = std::find_if(processes.begin(), processes.end(),
                                      [&](const ProcessEntry& p) { return p.id == owner->second; });
    if (process == processes.end()) return;
    for (const std::string& name : endOnClose)
      if (EqualsNoCase(name, process->exeName)) return EndProgram(name);
  }
  // Every process of the program goes, and the windows they made.
  void EndProgram(const std::string& exeName) {
    std::set<std::uint32_t> ended;
    for (const ProcessEntry& p : processes)
      if (EqualsNoCase(p.exeName, exeName)) ended.insert(p.id);
    std::erase_if(processes, [&](const ProcessEntry& p) { return ended.count(p.id) > 0; });
    for (auto it = owners.begin(); it != owners.end();) {
      if (ended.count(it->second)) {
        windows.erase(it->first);
        it = owners.erase(it);
      } else {
        ++it;
      }
    }
  }
  std::uint32_t WindowProcess(WindowHandle window) override {
    const auto owner = owners.find(window);
    return owner == owners.end() || !windows.count(window) ? 0 : owner->second;
  }
  std::vector<ProcessEntry> Processes() override { return processes; }
  bool KeyDown(int virtualKey) override { return keysDown.count(virtualKey) > 0; }
  bool EmptyClipboard(WindowHandle owner) override {
    clipboardOwner = owner;
    ++clipboardEmptied;
    return true;
  }
  bool hasClipboardHistory = false;
  int clipboardHistoryCleared = 0;
  bool ClipboardHistoryOn() override { return hasClipboardHistory; }
  bool ClearClipboardHistory() override {
    if (!hasClipboardHistory) return false;
    ++clipboardHistoryCleared;
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
