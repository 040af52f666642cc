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
  bool deleting = false;  // the delete is applied: the name goes as the handle closes
};

// Applies the delete asked for: the file goes as its handle closes, by the
// program or by the system as the process ends. Until then it stays as it is.
void ApplyDelete(Job& job) {
  if (!job.remove || job.deleting) return;
  FILE_DISPOSITION_INFORMATION disposition{TRUE};
  IO_STATUS_BLOCK io;
  job.deleting = NtSetInformationFile(job.file, &io, &disposition, sizeof disposition,
                                      FileDispositionInformation) >= 0;
}

// The passes in order, each flushed before the next; the last flush; the
// close. The delete is applied after each flush: once one whole pass has
// reached the medium, a program end that cuts the job short still deletes
// the file. One before that leaves it in place, since the system may drop the
// unwritten bytes of a deleted file and keep its old ones on the disk.
void Run(Job& job) {
  for (std::size_t i = 0; i < job.passes.size(); ++i) {
    if (i > 0) {
      FlushFileBuffers(job.file);
      ApplyDelete(job);
    }
    WritePass(job.passes[i], [&job](std::uint64_t position, const char* bytes, std::size_t size) {
      return WriteAt(job.file, {position, bytes, size, 0});
    });
  }
  FlushFileBuffers(job.file);
  ApplyDelete(job);
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
  // Marked and not yet handed over, each with whether its delete is applied.
  std::vector<std::pair<HANDLE, bool>> toDelete;

  State() { InitializeCriticalSection(&lock); }
  ~State() { DeleteCriticalSection(&lock); }

  static DWORD WINAPI Work(void* param) {
    State& s = *static_cast<State*>(param);
    EnterCriticalSection(&s.lock);
    for (;;) {
      while (s.queue.empty() && !s.stopping) s.sleep(&s.queued, &s.lock, INFINITE);
      if (s.queue.empty()) break;
      Job job = std::move(s.queue.front());
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

namespace {
template <class Marks>
auto MarkOf(Marks& marks, void* file) {
  return std::find_if(marks.begin(), marks.end(), [file](const auto& m) { return m.first == file; });
}
}  // namespace

bool FileCloser::DeleteWhenClosed(void* file) {
  auto& marked = state_->toDelete;
  if (MarkOf(marked, file) != marked.end()) return true;
  try {
    marked.emplace_back(file, false);
  } catch (...) {
    return false;
  }
  return true;
}

void FileCloser::Flushed(void* file) {
  auto& marked = state_->toDelete;
  if (const auto mark = MarkOf(marked, file); mark != marked.end() && !mark->second) {
    Job job{file, {}, true, false};
    ApplyDelete(job);
    mark->second = job.deleting;
  }
}

void FileCloser::Close(void* file, std::vector<ErasePass> passes) {
  State& s = *state_;
  Job job{file, std::move(passes), false, false};
  if (const auto mark = MarkOf(s.toDelete, file); mark != s.toDelete.end()) {
    job.remove = true;
    job.deleting = mark->second;
    s.toDelete.erase(mark);
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
