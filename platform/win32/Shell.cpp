// Win32 implementation of platform/Shell.h.
#include "platform/win32/Win32Platform.h"

#include "platform/Controls.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#undef FindExecutable

namespace nimbrel {

namespace {

// An empty text is passed as no text, so the shell uses its default.
const char* OrNull(const std::string& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

bool Win32Shell::EmptyRecycleBin(std::uintptr_t owner) {
  return SUCCEEDED(SHEmptyRecycleBinA(reinterpret_cast<HWND>(owner), nullptr,
                                      SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI));
}

std::uint64_t Win32Shell::RecycleBinItems() {
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  if (FAILED(SHQueryRecycleBinA(nullptr, &info)) || info.i64NumItems < 0) return 0;
  return static_cast<std::uint64_t>(info.i64NumItems);
}

std::string Win32Shell::SpecialFolder(int csidl) {
  char buffer[MAX_PATH + 1] = {};
  if (!SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE)) return std::string();
  return NoThrow(std::string(), [&] { return std::string(buffer); });
}

std::intptr_t Win32Shell::Execute(std::uintptr_t owner, const std::string& verb,
                                  const std::string& file, const std::string& parameters,
                                  const std::string& folder, int show) {
  HINSTANCE rc = ShellExecuteA(reinterpret_cast<HWND>(owner), OrNull(verb), file.c_str(),
                               OrNull(parameters), OrNull(folder), show);
  return reinterpret_cast<std::intptr_t>(rc);
}

std::intptr_t Win32Shell::FindExecutable(const std::string& file, std::string& program) {
  // The function writes up to MAX_PATH characters, whatever the caller expects.
  char buffer[MAX_PATH + 1] = {};
  HINSTANCE rc = FindExecutableA(file.c_str(), nullptr, buffer);
  const auto code = reinterpret_cast<std::intptr_t>(rc);
  buffer[MAX_PATH] = '\0';
  NoThrow(false, [&] {
    program = code > 32 ? std::string(buffer) : std::string();
    return true;
  });
  return code;
}

bool Win32Shell::NotifyIcon(NotifyIconAction action, std::uintptr_t window,
                            const std::string& tip) {
  const HWND hwnd = reinterpret_cast<HWND>(window);
  // The first form of the record, which every shell from Windows 95 on reads.
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = hwnd;
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kNotifyIconMessage;
  data.hIcon = reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0));
  if (!data.hIcon) data.hIcon = reinterpret_cast<HICON>(GetClassLongPtrA(hwnd, GCLP_HICONSM));
  if (!data.hIcon) data.hIcon = reinterpret_cast<HICON>(GetClassLongPtrA(hwnd, GCLP_HICON));
  // At most 63 characters, so the terminating NUL always fits the 64 bytes.
  lstrcpynA(data.szTip, tip.c_str(), sizeof data.szTip);
  return Shell_NotifyIconA(action == NotifyIconAction::Add ? NIM_ADD : NIM_DELETE, &data) != FALSE;
}

}  // namespace nimbrel
