// Win32 implementation of platform/Desktop.h, but for the one-instance claim
// (OneInstance.cpp).
#include "platform/win32/Win32Platform.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Ui.h"

#include <string_view>

#include <tlhelp32.h>

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

std::uint32_t Win32Desktop::WindowProcess(WindowHandle window) {
  DWORD pid = 0;
  if (!GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &pid)) return 0;
  return pid;
}

std::vector<ProcessEntry> Win32Desktop::Processes() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return {};
  std::vector<ProcessEntry> found = NoThrow(std::vector<ProcessEntry>(), [snapshot] {
    std::vector<ProcessEntry> out;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
      entry.szExeFile[sizeof entry.szExeFile - 1] = '\0';
      // Windows 9x gives the whole path, NT the file name alone.
      std::string_view exe(entry.szExeFile);
      if (const auto cut = exe.find_last_of("\\/"); cut != exe.npos) exe.remove_prefix(cut + 1);
      out.push_back({static_cast<std::uint32_t>(entry.th32ProcessID), std::string(exe)});
    }
    return out;
  });
  CloseHandle(snapshot);
  return found;
}

bool Win32Desktop::KeyDown(int virtualKey) {
  // The high bit is the key's state now; the low bit only says it was pressed since the last call.
  return (static_cast<unsigned short>(GetAsyncKeyState(virtualKey)) & 0x8000) != 0;
}

namespace {

// The Windows Runtime's clipboard statics, as far as they are called here:
// IUnknown's and IInspectable's six methods, GetHistoryItemsAsync,
// ClearHistory, and after two others IsHistoryEnabled.
struct ClipboardStatics2 {
  using Ask = HRESULT(STDMETHODCALLTYPE*)(ClipboardStatics2*, unsigned char* answer);
  struct Methods {
    void* unknownAndInspectable[3];
    ULONG(STDMETHODCALLTYPE* Release)(ClipboardStatics2*);
    void* inspectable[2];
    void* GetHistoryItemsAsync;
    Ask ClearHistory;
    void* itemMethods[2];
    Ask IsHistoryEnabled;
  }* methods;
};
constexpr GUID kClipboardStatics2 = {
    0xD2AC1B6A, 0xD29F, 0x554B, {0xB3, 0x03, 0xF0, 0x45, 0x23, 0x45, 0xFE, 0x02}};
constexpr wchar_t kClipboardClass[] = L"Windows.ApplicationModel.DataTransfer.Clipboard";

// Asks the clipboard statics one yes-or-no question; false where Windows has
// no such class (before Windows 10 1809) or the call fails.
bool AskClipboard(ClipboardStatics2::Ask ClipboardStatics2::Methods::*method) {
  using String = void*;  // HSTRING
  using Initialize = HRESULT(WINAPI*)(int type);
  using Uninitialize = void(WINAPI*)();
  using CreateString = HRESULT(WINAPI*)(const wchar_t*, UINT32, String*);
  using DeleteString = HRESULT(WINAPI*)(String);
  using GetFactory = HRESULT(WINAPI*)(String, const GUID&, void**);
  const auto init = SystemFunction<Initialize>("combase.dll", "RoInitialize");
  const auto uninit = SystemFunction<Uninitialize>("combase.dll", "RoUninitialize");
  const auto create = SystemFunction<CreateString>("combase.dll", "WindowsCreateString");
  const auto remove = SystemFunction<DeleteString>("combase.dll", "WindowsDeleteString");
  const auto factory = SystemFunction<GetFactory>("combase.dll", "RoGetActivationFactory");
  if (!init || !uninit || !create || !remove || !factory) return false;
  // A single-threaded apartment, as the window's thread has or gets one.
  const HRESULT initialized = init(0);
  bool yes = false;
  String name = nullptr;
  if (SUCCEEDED(create(kClipboardClass, sizeof kClipboardClass / sizeof *kClipboardClass - 1,
                       &name))) {
    ClipboardStatics2* statics = nullptr;
    if (SUCCEEDED(factory(name, kClipboardStatics2, reinterpret_cast<void**>(&statics))) &&
        statics) {
      unsigned char answer = 0;
      yes = SUCCEEDED((statics->methods->*method)(statics, &answer)) && answer;
      statics->methods->Release(statics);
    }
    remove(name);
  }
  if (SUCCEEDED(initialized)) uninit();
  return yes;
}

}  // namespace

bool Win32Desktop::ClipboardHistoryOn() {
  return AskClipboard(&ClipboardStatics2::Methods::IsHistoryEnabled);
}

bool Win32Desktop::ClearClipboardHistory() {
  return AskClipboard(&ClipboardStatics2::Methods::ClearHistory);
}

bool Win32Desktop::EmptyClipboard(WindowHandle owner) {
  if (!OpenClipboard(reinterpret_cast<HWND>(owner))) return false;
  const bool ok = ::EmptyClipboard() != 0;
  CloseClipboard();
  return ok;
}

}  // namespace nimbrel
