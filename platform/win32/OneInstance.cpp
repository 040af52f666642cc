// Win32 implementation of Desktop's one-instance claim: the named mutex the
// first instance holds, and the call that brings that instance's window forward.
#include "platform/Text.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Ui.h"

#include <string_view>

namespace nimbrel {

namespace {

// Without a "Global" prefix the name belongs to the user's session.
constexpr const char* kInstanceMutexName = "NimbrelSoft.Nimbrel.Instance";
constexpr DWORD kCallInstanceWait = 10000, kCallInstancePoll = 100;

struct FormSearch {
  const std::string* name;
  HWND found;
};

// A form window of another process carrying the name looked for.
BOOL CALLBACK FindOtherForm(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<FormSearch*>(context);
  char cls[64] = {};
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == GetCurrentProcessId() || !GetClassNameA(window, cls, sizeof cls) ||
      std::string_view(cls) != kFormClass)
    return TRUE;
  const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(window, kNameProp)));
  char name[256] = {};
  // Global atoms keep the first spelling given: the name compares in any case.
  if (atom == 0 || !GlobalGetAtomNameA(atom, name, sizeof name) ||
      !EqualsNoCase(name, *search.name))
    return TRUE;
  search.found = window;
  return FALSE;
}

}  // namespace

Win32Desktop::~Win32Desktop() {
  if (instanceMutex_) CloseHandle(instanceMutex_);
}

bool Win32Desktop::ClaimInstance() {
  if (instanceMutex_) return true;
  HANDLE mutex = CreateMutexA(nullptr, FALSE, kInstanceMutexName);
  // Without the mutex (no resources) it cannot be told: this one runs.
  if (!mutex) return true;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return false;
  }
  instanceMutex_ = mutex;
  return true;
}

bool Win32Desktop::CallInstance(const std::string& formName) {
  // The first instance may still be starting: its window comes a moment later.
  const DWORD start = GetTickCount();
  for (;;) {
    FormSearch search{&formName, nullptr};
    EnumWindows(FindOtherForm, reinterpret_cast<LPARAM>(&search));
    if (search.found) {
      DWORD pid = 0;
      GetWindowThreadProcessId(search.found, &pid);
      // The user started this process: it may hand the foreground on.
      AllowSetForegroundWindow(pid);
      return PostMessageA(search.found, ComeForwardMessage(), 0, 0) != 0;
    }
    if (GetTickCount() - start >= kCallInstanceWait) return false;
    Sleep(kCallInstancePoll);
  }
}

}  // namespace nimbrel
