// Nimbrel's own port of LevelDB to Windows XP (not LevelDB's file).
//
// LevelDB's port/port.h includes "port/port_chromium.h" when
// LEVELDB_PLATFORM_CHROMIUM is defined: the hook upstream leaves for a program
// that brings its own port, as Chromium does. The Windows builds define it and
// find this file first, since upstream's own Windows port (port_stdcxx.h with
// env_windows.cc) needs std::mutex, std::condition_variable and std::thread,
// which MinGW's win32 thread model lacks, and functions Windows XP lacks.
//
// What XP has stands in: a CRITICAL_SECTION for the mutex, a semaphore and a
// count of waiters for the condition variable (every Signal and SignalAll of
// LevelDB is made with the mutex held, and every Wait sits in a loop that
// tests its condition again, so a wake-up taken by a later waiter is harmless).
// The Env (files, locks, the background thread) is
// platform/win32/LevelDbEnv.cpp. Snappy is built in; CRC32C and Zstd are not.
#ifndef NIMBREL_LEVELDB_PORT_XP_H_
#define NIMBREL_LEVELDB_PORT_XP_H_

#include <windows.h>

#include <snappy.h>

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <string>

#include "port/thread_annotations.h"

namespace leveldb {
namespace port {

class CondVar;

class LOCKABLE Mutex {
 public:
  Mutex() { InitializeCriticalSection(&section_); }
  ~Mutex() { DeleteCriticalSection(&section_); }
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  void Lock() EXCLUSIVE_LOCK_FUNCTION() { EnterCriticalSection(&section_); }
  void Unlock() UNLOCK_FUNCTION() { LeaveCriticalSection(&section_); }
  void AssertHeld() ASSERT_EXCLUSIVE_LOCK() {}

 private:
  friend class CondVar;
  CRITICAL_SECTION section_;
};

class CondVar {
 public:
  explicit CondVar(Mutex* mu)
      : mu_(mu), semaphore_(CreateSemaphoreA(nullptr, 0, 0x7fffffff, nullptr)) {
    assert(mu != nullptr);
  }
  ~CondVar() { CloseHandle(semaphore_); }
  CondVar(const CondVar&) = delete;
  CondVar& operator=(const CondVar&) = delete;

  // With the mutex held: gives it up, waits for a signal, takes it again.
  void Wait() {
    ++waiters_;
    mu_->Unlock();
    WaitForSingleObject(semaphore_, INFINITE);
    mu_->Lock();
  }
  // With the mutex held, as LevelDB always signals.
  void Signal() {
    if (waiters_ == 0) return;
    --waiters_;
    ReleaseSemaphore(semaphore_, 1, nullptr);
  }
  void SignalAll() {
    if (waiters_ == 0) return;
    const LONG n = waiters_;
    waiters_ = 0;
    ReleaseSemaphore(semaphore_, n, nullptr);
  }

 private:
  Mutex* const mu_;
  HANDLE semaphore_;
  LONG waiters_ = 0;  // guarded by the mutex
};

inline bool Snappy_Compress(const char* input, size_t length, std::string* output) {
  output->resize(snappy::MaxCompressedLength(length));
  size_t outlen;
  snappy::RawCompress(input, length, &(*output)[0], &outlen);
  output->resize(outlen);
  return true;
}

inline bool Snappy_GetUncompressedLength(const char* input, size_t length, size_t* result) {
  return snappy::GetUncompressedLength(input, length, result);
}

inline bool Snappy_Uncompress(const char* input, size_t length, char* output) {
  return snappy::RawUncompress(input, length, output);
}

// Zstd is not built in: a table compressed with it reads as damaged.
inline bool Zstd_Compress(int, const char*, size_t, std::string*) { return false; }
inline bool Zstd_GetUncompressedLength(const char*, size_t, size_t*) { return false; }
inline bool Zstd_Uncompress(const char*, size_t, char*) { return false; }

inline bool GetHeapProfile(void (*)(void*, const char*, int), void*) { return false; }

inline uint32_t AcceleratedCRC32C(uint32_t, const char*, size_t) { return 0; }

}  // namespace port
}  // namespace leveldb

#endif  // NIMBREL_LEVELDB_PORT_XP_H_
