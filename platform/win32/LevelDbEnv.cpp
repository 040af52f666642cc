// Nimbrel's own LevelDB Env for Windows, from Windows XP on (not LevelDB's
// file): LevelDB's files, its lock and its background thread through the
// functions Windows XP has. Upstream's util/env_windows.cc needs std::mutex,
// std::condition_variable and std::thread, which MinGW's win32 thread model
// lacks. Names come in UTF-8 (as SQLite's do) and reach the system as UTF-16.
//
// Reads of a table go through one handle per file, its position set and read
// under a lock (no OVERLAPPED offset, which Wine serves slowly). A file is
// written through a buffer of its own, synced with FlushFileBuffers. The lock
// is LevelDB's LOCK file opened and locked with LockFileEx, as Chromium locks
// it: a browser that runs holds it, and the database is then left. No info log
// is written (Nimbrel gives LevelDB a logger that drops its lines).
#include <windows.h>

#include <cstdio>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "leveldb/env.h"
#include "leveldb/slice.h"
#include "leveldb/status.h"
#include "port/port.h"
#include "util/mutexlock.h"

namespace leveldb {

namespace {

constexpr std::size_t kWriteBuffer = 64 * 1024;

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0)
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Utf8(const wchar_t* wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return {};
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, out.data(), n, nullptr, nullptr);
  out.pop_back();
  return out;
}

Status Error(const std::string& context, DWORD code) {
  char text[32];
  std::snprintf(text, sizeof text, "error %lu", static_cast<unsigned long>(code));
  if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
    return Status::NotFound(context, text);
  return Status::IOError(context, text);
}

HANDLE OpenFile(const std::string& name, DWORD access, DWORD disposition) {
  return CreateFileW(Wide(name).c_str(), access,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

class XpSequentialFile final : public SequentialFile {
 public:
  XpSequentialFile(std::string name, HANDLE file) : name_(std::move(name)), file_(file) {}
  ~XpSequentialFile() override { CloseHandle(file_); }
  Status Read(size_t n, Slice* result, char* scratch) override {
    DWORD read = 0;
    if (!ReadFile(file_, scratch, static_cast<DWORD>(n), &read, nullptr))
      return Error(name_, GetLastError());
    *result = Slice(scratch, read);
    return Status::OK();
  }
  Status Skip(uint64_t n) override {
    LARGE_INTEGER distance;
    distance.QuadPart = static_cast<LONGLONG>(n);
    if (!SetFilePointerEx(file_, distance, nullptr, FILE_CURRENT))
      return Error(name_, GetLastError());
    return Status::OK();
  }

 private:
  std::string name_;
  HANDLE file_;
};

class XpRandomAccessFile final : public RandomAccessFile {
 public:
  XpRandomAccessFile(std::string name, HANDLE file) : name_(std::move(name)), file_(file) {}
  ~XpRandomAccessFile() override { CloseHandle(file_); }
  Status Read(uint64_t offset, size_t n, Slice* result, char* scratch) const override {
    MutexLock lock(&mutex_);
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD read = 0;
    if (!SetFilePointerEx(file_, at, nullptr, FILE_BEGIN) ||
        !ReadFile(file_, scratch, static_cast<DWORD>(n), &read, nullptr)) {
      *result = Slice(scratch, 0);
      return Error(name_, GetLastError());
    }
    *result = Slice(scratch, read);
    return Status::OK();
  }

 private:
  std::string name_;
  HANDLE file_;
  mutable port::Mutex mutex_;
};

class XpWritableFile final : public WritableFile {
 public:
  XpWritableFile(std::string name, HANDLE file) : name_(std::move(name)), file_(file) {}
  ~XpWritableFile() override {
    if (file_ != INVALID_HANDLE_VALUE) Close();
  }
  Status Append(const Slice& data) override {
    buffer_.append(data.data(), data.size());
    return buffer_.size() >= kWriteBuffer ? Flush() : Status::OK();
  }
  Status Close() override {
    Status s = Flush();
    if (!CloseHandle(file_) && s.ok()) s = Error(name_, GetLastError());
    file_ = INVALID_HANDLE_VALUE;
    return s;
  }
  Status Flush() override {
    std::size_t done = 0;
    while (done < buffer_.size()) {
      DWORD written = 0;
      if (!WriteFile(file_, buffer_.data() + done, static_cast<DWORD>(buffer_.size() - done),
                     &written, nullptr))
        return Error(name_, GetLastError());
      done += written;
    }
    buffer_.clear();
    return Status::OK();
  }
  Status Sync() override {
    Status s = Flush();
    if (s.ok() && !FlushFileBuffers(file_)) s = Error(name_, GetLastError());
    return s;
  }

 private:
  std::string name_;
  HANDLE file_;
  std::string buffer_;
};

class XpFileLock final : public FileLock {
 public:
  XpFileLock(std::string name, HANDLE file) : name(std::move(name)), file(file) {}
  std::string name;
  HANDLE file;
};

class XpEnv final : public Env {
 public:
  XpEnv() : queued_(&mutex_) {}

  Status NewSequentialFile(const std::string& name, SequentialFile** result) override {
    *result = nullptr;
    const HANDLE file = OpenFile(name, GENERIC_READ, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return Error(name, GetLastError());
    *result = new XpSequentialFile(name, file);
    return Status::OK();
  }
  Status NewRandomAccessFile(const std::string& name, RandomAccessFile** result) override {
    *result = nullptr;
    const HANDLE file = OpenFile(name, GENERIC_READ, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return Error(name, GetLastError());
    *result = new XpRandomAccessFile(name, file);
    return Status::OK();
  }
  Status NewWritableFile(const std::string& name, WritableFile** result) override {
    *result = nullptr;
    const HANDLE file = OpenFile(name, GENERIC_WRITE, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) return Error(name, GetLastError());
    *result = new XpWritableFile(name, file);
    return Status::OK();
  }
  Status NewAppendableFile(const std::string& name, WritableFile** result) override {
    *result = nullptr;
    const HANDLE file = OpenFile(name, GENERIC_WRITE, OPEN_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) return Error(name, GetLastError());
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(file, zero, nullptr, FILE_END)) {
      const DWORD code = GetLastError();
      CloseHandle(file);
      return Error(name, code);
    }
    *result = new XpWritableFile(name, file);
    return Status::OK();
  }
  bool FileExists(const std::string& name) override {
    return GetFileAttributesW(Wide(name).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  Status GetChildren(const std::string& folder, std::vector<std::string>* result) override {
    result->clear();
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW(Wide(folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
      const DWORD code = GetLastError();
      return code == ERROR_FILE_NOT_FOUND ? Status::OK() : Error(folder, code);
    }
    do {
      const std::string name = Utf8(found.cFileName);
      if (name != "." && name != "..") result->push_back(name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return Status::OK();
  }
  Status RemoveFile(const std::string& name) override {
    if (!DeleteFileW(Wide(name).c_str())) return Error(name, GetLastError());
    return Status::OK();
  }
  Status CreateDir(const std::string& name) override {
    if (!CreateDirectoryW(Wide(name).c_str(), nullptr)) return Error(name, GetLastError());
    return Status::OK();
  }
  Status RemoveDir(const std::string& name) override {
    if (!RemoveDirectoryW(Wide(name).c_str())) return Error(name, GetLastError());
    return Status::OK();
  }
  Status GetFileSize(const std::string& name, uint64_t* size) override {
    *size = 0;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Wide(name).c_str(), GetFileExInfoStandard, &data))
      return Error(name, GetLastError());
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      return Status::IOError(name, "a folder");
    *size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return Status::OK();
  }
  Status RenameFile(const std::string& from, const std::string& to) override {
    if (!MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return Error(from, GetLastError());
    return Status::OK();
  }
  Status LockFile(const std::string& name, FileLock** lock) override {
    *lock = nullptr;
    {
      MutexLock held(&mutex_);
      if (!locked_.insert(name).second) return Status::IOError("lock " + name, "already held");
    }
    const HANDLE file = CreateFileW(Wide(name).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    OVERLAPPED whole = {};
    if (file == INVALID_HANDLE_VALUE ||
        !LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                    MAXDWORD, &whole)) {
      const DWORD code = GetLastError();
      if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
      MutexLock held(&mutex_);
      locked_.erase(name);
      char text[32];
      std::snprintf(text, sizeof text, "held elsewhere (error %lu)",
                    static_cast<unsigned long>(code));
      return Status::IOError("lock " + name, text);
    }
    *lock = new XpFileLock(name, file);
    return Status::OK();
  }
  Status UnlockFile(FileLock* lock) override {
    auto* xp = static_cast<XpFileLock*>(lock);
    OVERLAPPED whole = {};
    UnlockFileEx(xp->file, 0, MAXDWORD, MAXDWORD, &whole);
    CloseHandle(xp->file);
    {
      MutexLock held(&mutex_);
      locked_.erase(xp->name);
    }
    delete xp;
    return Status::OK();
  }
  // One background thread runs the work in the order it came.
  void Schedule(void (*function)(void*), void* arg) override {
    MutexLock held(&mutex_);
    if (!started_) {
      started_ = true;
      StartThread([](void* env) { static_cast<XpEnv*>(env)->Background(); }, this);
    }
    work_.push_back({function, arg});
    queued_.Signal();
  }
  void StartThread(void (*function)(void*), void* arg) override {
    auto* start = new Start{function, arg};
    const HANDLE thread = CreateThread(nullptr, 0, ThreadMain, start, 0, nullptr);
    if (thread) CloseHandle(thread);
    else delete start;
  }
  Status GetTestDirectory(std::string* path) override {
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0 || n > MAX_PATH) return Status::IOError("no temporary folder");
    *path = Utf8(temp) + "leveldb-test";
    CreateDir(*path);
    return Status::OK();
  }
  Status NewLogger(const std::string&, Logger** result) override {
    *result = new NoLogger;
    return Status::OK();
  }
  uint64_t NowMicros() override {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return ticks / 10;
  }
  void SleepForMicroseconds(int micros) override { Sleep(static_cast<DWORD>(micros / 1000)); }

 private:
  class NoLogger final : public Logger {
   public:
    void Logv(const char*, std::va_list) override {}
  };
  struct Start {
    void (*function)(void*);
    void* arg;
  };
  static DWORD WINAPI ThreadMain(LPVOID p) {
    const Start s = *static_cast<Start*>(p);
    delete static_cast<Start*>(p);
    s.function(s.arg);
    return 0;
  }
  struct Work {
    void (*function)(void*);
    void* arg;
  };
  void Background() {
    for (;;) {
      Work work;
      {
        MutexLock held(&mutex_);
        while (work_.empty()) queued_.Wait();
        work = work_.front();
        work_.pop_front();
      }
      work.function(work.arg);
    }
  }

  port::Mutex mutex_;
  port::CondVar queued_;
  bool started_ = false;
  std::deque<Work> work_;
  std::set<std::string> locked_;
};

}  // namespace

// Made once and never destroyed: the background thread may still use it as
// the process ends.
Env* Env::Default() {
  static XpEnv* env = new XpEnv;
  return env;
}

}  // namespace leveldb
