// Other windows and programs, the keyboard state, the clipboard and window
// messages.
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

// A running process as the tool-help snapshot lists it.
struct ProcessEntry {
  std::uint32_t id = 0;
  std::string exeName;  // the executable's file name ("chrome.exe")
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Top-level windows whose class name equals `className` (EnumWindows).
  virtual std::vector<WindowHandle> WindowsOfClass(const std::string& className) = 0;
  // Every top-level window with its class name (EnumWindows, GetClassNameA).
  virtual std::vector<TopLevelWindow> TopLevelWindows() = 0;
  virtual void PostClose(WindowHandle window) = 0;
  // The process that made the window (GetWindowThreadProcessId); 0 when the
  // window is gone.
  virtual std::uint32_t WindowProcess(WindowHandle window) = 0;
  // Every process running now (CreateToolhelp32Snapshot, Process32First and
  // Process32Next); empty when the snapshot cannot be taken.
  virtual std::vector<ProcessEntry> Processes() = 0;
  // GetAsyncKeyState: true while the virtual key is held down.
  virtual bool KeyDown(int virtualKey) = 0;
  // Opens the clipboard for `owner` (OpenClipboardA), empties it and closes it.
  virtual bool EmptyClipboard(WindowHandle owner) = 0;
  // Whether the user keeps a clipboard history, as Windows 10 1809 and later
  // can (through its runtime's Clipboard class, looked up at run time).
  virtual bool ClipboardHistoryOn() = 0;
  // Clears that history; false where there is none or it could not be cleared.
  virtual bool ClearClipboardHistory() = 0;

  // Claims the program's one instance in the user's session (a named mutex
  // kept until the process ends): true for the first process to claim it.
  virtual bool ClaimInstance() = 0;
  // Asks the form named `formName` of the instance that claimed it to come
  // forward (its ComeForward event); false when no such window turned up
  // within a few seconds.
  virtual bool CallInstance(const std::string& formName) = 0;
};

}  // namespace nimbrel
