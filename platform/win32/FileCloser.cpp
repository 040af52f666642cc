#include "platform/win32/FileCloser.h"

#include <windows.h>

#include <deque>
#include <vector>

namespace nimbrel {

namespace {

constexpr int kWorkers = 3;                // flushes in flight
constexpr std::size_t kQueued = 8;         // files waiting for a worker, at most
static_assert(FileCloser::kForever == INFINITE);

// Condition variables (Vista and later) wait inside the process; a semaphore
// or an event costs a server round trip under Wine for every file. Windows XP
// has none, and there files are flushed and closed at once.
struct CondVar {
  void* ptr = nullptr;  // CONDITION_VARIABLE_INIT
};
using SleepApi = BOOL(WINAPI*)(CondVar*, CRITICAL_SECTION*, DWORD);
using WakeApi = void(WINAPI*)(CondVar*);

template <class Api>
Api Kernel32(const char* name) {
  return reinterpret_cast<Api>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

}  // namespace

struct FileCloser::State {
  const SleepApi sleep = Kernel32<SleepApi>("SleepConditionVariableCS");
  const WakeApi wake = Kernel32<WakeApi>("WakeConditionVariable");
  const WakeApi wakeAll = Kernel32<WakeApi>("WakeAllConditionVariable");
  CRITICAL_SECTION lock;
  CondVar queued, taken, closed;
  std::deque<HANDLE> queue;
  int pending = 0;  // handed over and not yet closed
  bool stopping = false;
  std::vector<HANDLE> workers;

  State() { InitializeCriticalSection(&lock); }
  ~State() { DeleteCriticalSection(&lock); }

  static DWORD WINAPI Work(void* param) {
    State& s = *static_cast<State*>(param);
    EnterCriticalSection(&s.lock);
    for (;;) {
      while (s.queue.empty() && !s.stopping) s.sleep(&s.queued, &s.lock, INFINITE);
      if (s.queue.empty()) break;
      const HANDLE file = s.queue.front();
      s.queue.pop_front();
      s.wake(&s.taken);
      LeaveCriticalSection(&s.lock);
      FlushFileBuffers(file);
      CloseHandle(file);
      EnterCriticalSection(&s.lock);
      if (--s.pending == 0) s.wakeAll(&s.closed);
    }
    LeaveCriticalSection(&s.lock);
    return 0;
  }

  // Workers start with the first file handed over: a program that erases
  // nothing has none. False when there can be none.
  bool Start() {
    if (!workers.empty()) return true;
    if (!sleep || !wake || !wakeAll) return false;
    for (int i = 0; i < kWorkers; ++i)
      if (HANDLE t = CreateThread(nullptr, 64 * 1024, &Work, this, 0, nullptr)) workers.push_back(t);
    return !workers.empty();
  }
};

FileCloser::FileCloser() : state_(std::make_unique<State>()) {}

FileCloser::~FileCloser() {
  State& s = *state_;
  if (s.workers.empty()) return;
  EnterCriticalSection(&s.lock);
  s.stopping = true;  // the workers empty the queue first
  s.wakeAll(&s.queued);
  LeaveCriticalSection(&s.lock);
  for (HANDLE t : s.workers) {
    WaitForSingleObject(t, INFINITE);
    CloseHandle(t);
  }
}

void FileCloser::FlushAndClose(void* file) {
  State& s = *state_;
  if (!s.Start()) {
    FlushFileBuffers(file);
    CloseHandle(file);
    return;
  }
  EnterCriticalSection(&s.lock);
  while (s.queue.size() >= kQueued) s.sleep(&s.taken, &s.lock, INFINITE);
  s.queue.push_back(file);
  ++s.pending;
  s.wake(&s.queued);
  LeaveCriticalSection(&s.lock);
}

void FileCloser::Wait(unsigned long milliseconds) {
  State& s = *state_;
  // Without workers every file was closed as it was handed over.
  if (s.workers.empty()) return;
  const DWORD start = GetTickCount();
  EnterCriticalSection(&s.lock);
  while (s.pending > 0) {
    DWORD wait = INFINITE;
    if (milliseconds != kForever) {
      const DWORD spent = GetTickCount() - start;
      if (spent >= milliseconds) break;
      wait = milliseconds - spent;
    }
    s.sleep(&s.closed, &s.lock, wait);
  }
  LeaveCriticalSection(&s.lock);
}

}  // namespace nimbrel
