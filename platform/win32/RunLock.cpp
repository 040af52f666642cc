// Win32 implementation of System's run lock: a named mutex that one run at a
// time holds, across every instance in the user's session.
#include "platform/win32/Win32Platform.h"

#include <windows.h>

namespace nimbrel {

namespace {

// The run lock's name: with no "Global" prefix, it belongs to the user's session.
constexpr const char* kRunMutexName = "NimbrelSoft.Nimbrel.Run";

}  // namespace

Win32System::~Win32System() {
  UnlockRun();
  if (runMutex_) CloseHandle(runMutex_);
}

bool Win32System::LockRun(unsigned milliseconds) {
  if (runLocked_) return false;
  if (!runMutex_) runMutex_ = CreateMutexA(nullptr, FALSE, kRunMutexName);
  // Without the mutex (no resources), runs go on unguarded rather than never.
  if (!runMutex_) return runLocked_ = true;
  const DWORD rc = WaitForSingleObject(runMutex_, milliseconds);
  // An abandoned mutex: the process that held it ended mid-run; it is ours now.
  runLocked_ = rc == WAIT_OBJECT_0 || rc == WAIT_ABANDONED;
  return runLocked_;
}

void Win32System::UnlockRun() {
  if (!runLocked_) return;
  runLocked_ = false;
  if (runMutex_) ReleaseMutex(runMutex_);
}

}  // namespace nimbrel
