#include "platform/win32/FileCloser.h"

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <deque>
#include <utility>

// In ntdll on every NT system; MinGW's headers leave it out.
extern "C" NTSTATUS NTAPI NtWriteFile(HANDLE file, HANDLE event, PIO_APC_ROUTINE apc,
                                      void* apcContext, IO_STATUS_BLOCK* io, void* buffer,
                                      ULONG length, LARGE_INTEGER* offset, ULONG* key);

namespace nimbrel {

namespace {

constexpr int kWorkers = 12;        // files in flight
constexpr std::size_t kQueued = 4;  // files waiting for a worker, at most
// WriteFile takes a 32-bit count: larger writes go in pieces of this size.
constexpr std::size_t kMaxChunk = 1u << 30;
static_assert(FileCloser::kForever == INFINITE);

// Condition variables (Vista and later) wait inside the process; a semaphore
// or an event costs a server round trip under Wine for every file. Windows XP
// has none, and there each file is written, flushed and closed at once.
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

// A write at its own position, through ntdll: WriteFile with a position
// passes its OVERLAPPED on as a completion value, which under Wine costs a
// server round trip for every write.
bool WriteAt(HANDLE h, const EraseWrite& w) {
  const char* p = w.bytes;
  std::uint64_t position = w.position;
  std::size_t left = w.size;
  while (left > 0) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(position);
    const ULONG chunk = static_cast<ULONG>(std::min(left, kMaxChunk));
    IO_STATUS_BLOCK io{};
    if (NtWriteFile(h, nullptr, nullptr, nullptr, &io, const_cast<char*>(p), chunk, &at,
                    nullptr) < 0 ||
        io.Information == 0)
      return false;
    p += io.Information;
    position += io.Information;
    left -= io.Information;
  }
  return true;
}

struct Job {
  HANDLE file = nullptr;
  std::vector<ErasePass> passes;
  bool remove = false;
};

// The passes in order, each flushed before the next; the last flush; then the
// delete, so that nothing is deleted before its last bytes reach the medium
// (a program end that cuts a job short leaves the file in place); the close.
void Run(const Job& job) {
  for (std::size_t i = 0; i < job.passes.size(); ++i) {
    if (i > 0) FlushFileBuffers(job.file);
    WritePass(job.passes[i], [&job](std::uint64_t position, const char* bytes, std::size_t size) {
      return WriteAt(job.file, {position, bytes, size, 0});
    });
  }
  FlushFileBuffers(job.file);
  if (job.remove) {
    FILE_DISPOSITION_INFORMATION disposition{TRUE};
    IO_STATUS_BLOCK io;
    NtSetInformationFile(job.file, &io, &disposition, sizeof disposition,
                         FileDispositionInformation);
  }
  CloseHandle(job.file);
}

}  // namespace

struct FileCloser::State {
  const SleepApi sleep = Kernel32<SleepApi>("SleepConditionVariableCS");
  const WakeApi wake = Kernel32<WakeApi>("WakeConditionVariable");
  const WakeApi wakeAll = Kernel32<WakeApi>("WakeAllConditionVariable");
  CRITICAL_SECTION lock;
  CondVar queued, taken, closed;
  std::deque<Job> queue;
  int pending = 0;  // handed over and not yet closed
  bool stopping = false;
  std::vector<HANDLE> workers;
  std::vector<HANDLE> toDelete;  // marked and not yet handed over

  State() { InitializeCriticalSection(&lock); }
  ~State() { DeleteCriticalSection(&lock); }

  static DWORD WINAPI Work(void* param) {
    State& s = *static_cast<State*>(param);
    EnterCriticalSection(&s.lock);
    for (;;) {
      while (s.queue.empty() && !s.stopping) s.sleep(&s.queued, &s.lock, INFINITE);
      if (s.queue.empty()) break;
      const Job job = std::move(s.queue.front());
      s.queue.pop_front();
      s.wake(&s.taken);
      LeaveCriticalSection(&s.lock);
      Run(job);
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

bool FileCloser::DeleteWhenClosed(void* file) {
  std::vector<HANDLE>& marked = state_->toDelete;
  if (std::find(marked.begin(), marked.end(), file) != marked.end()) return true;
  try {
    marked.push_back(file);
  } catch (...) {
    return false;
  }
  return true;
}

void FileCloser::Close(void* file, std::vector<ErasePass> passes) {
  State& s = *state_;
  Job job{file, std::move(passes), false};
  if (const auto mark = std::find(s.toDelete.begin(), s.toDelete.end(), file);
      mark != s.toDelete.end()) {
    s.toDelete.erase(mark);
    job.remove = true;
  }
  if (!s.Start()) {
    Run(job);
    return;
  }
  EnterCriticalSection(&s.lock);
  while (s.queue.size() >= kQueued) s.sleep(&s.taken, &s.lock, INFINITE);
  bool queued = true;
  try {
    s.queue.push_back(std::move(job));  // unchanged when it throws
    ++s.pending;
    s.wake(&s.queued);
  } catch (...) {
    queued = false;
  }
  LeaveCriticalSection(&s.lock);
  if (!queued) Run(job);
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
