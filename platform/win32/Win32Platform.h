// The Win32 implementations of the platform service interfaces.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "platform/Databases.h"
#include "platform/Desktop.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/Shell.h"
#include "platform/System.h"
#include "platform/UrlCache.h"
#include "platform/UrlHistory.h"
#include "platform/win32/FileCloser.h"

namespace nimbrel {

// Runs `body`, turning any exception (an allocation failure) into `fallback`,
// so no exception leaves the platform layer.
template <class R, class F>
R NoThrow(R fallback, F&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return fallback;
  }
}

class Win32Registry final : public Registry {
 public:
  RegKey OpenKey(RegRoot root, const std::string& path) override;
  RegKey OpenKeyEx(RegRoot root, const std::string& path, std::uint32_t access) override;
  RegKey CreateKey(RegRoot root, const std::string& path) override;
  void CloseKey(RegKey key) override;
  bool QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                  std::string& data) override;
  bool SetValue(RegKey key, const std::string& name, std::uint32_t type,
                const std::string& data) override;
  bool DeleteValue(RegKey key, const std::string& name) override;
  bool DeleteKey(RegRoot root, const std::string& path) override;
  bool QueryInfo(RegKey key, RegKeyInfo& info) override;
  long EnumKey(RegKey key, std::uint32_t index, std::string& name) override;
  long EnumValue(RegKey key, std::uint32_t index, std::string& name) override;
  bool KeyChanged(RegKey key) override;

  Win32Registry();
  ~Win32Registry() override;  // ends the watches
  Win32Registry(const Win32Registry&) = delete;
  Win32Registry& operator=(const Win32Registry&) = delete;

 private:
  struct Watch;
  void Unwatch(RegKey key);
  std::unordered_map<RegKey, std::unique_ptr<Watch>> watches_;
};

class Win32Files final : public Files {
 public:
  std::vector<FileEntry> Find(const std::string& pattern) override;
  std::uint32_t Attributes(const std::string& path) override;
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
  bool IsLink(const std::string& path) override;
  std::uint32_t LinkCount(const std::string& path) override;
  bool HeldOpen(const std::string& path) override;
  std::optional<std::uint64_t> Size(const std::string& path) override;
  std::string CanonicalPath(const std::string& path) override;
  bool IsUnder(FileHandle file, const std::string& folder) override;
  ErasableFile OpenForErase(const std::string& path) override;
  bool Write(FileHandle file, const void* data, std::size_t size) override;
  bool Seek(FileHandle file, std::uint64_t position) override;
  bool Flush(FileHandle file) override;
  void Close(FileHandle file) override;
  void OverwriteAndClose(FileHandle file, std::vector<ErasePass> passes) override;
  bool DeleteOnClose(FileHandle file) override;
  bool Delete(const std::string& path) override;
  bool DeleteAtReboot(const std::string& path) override;
  bool CreateFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  FileFailure LastFailure() override { return failure_; }
  bool Replace(const std::string& from, const std::string& to) override;
  bool Append(const std::string& path, const std::string& bytes) override;
  std::optional<std::string> ReadAll(const std::string& path) override;
  bool WriteAll(const std::string& path, const std::string& bytes) override;

  // Returns once every file given to Close is flushed and closed, or when
  // `milliseconds` have passed first. Every call that names a path waits so
  // first, without a bound: it sees each erased file gone.
  void Settle(unsigned long milliseconds = FileCloser::kForever) { closer_.Wait(milliseconds); }
  // Settles for 10 seconds at most.
  void Finish() override { Settle(kFinishBound); }
  static constexpr unsigned long kFinishBound = 10000;

 private:
  FileCloser closer_;
  // The files OpenForErase opened and not yet handed over, each with the
  // right to delete, with the object name the link test read under Wine
  // (empty elsewhere): the later calls on that file need not ask again.
  std::unordered_map<FileHandle, std::wstring> opened_;
  FileFailure failure_ = FileFailure::None;
  // Records how the call whose result is `ok` ended (the system's last error
  // when it failed) and returns `ok`.
  bool Note(bool ok);
};

class Win32System final : public System {
 public:
  Win32System() = default;
  ~Win32System() override;
  Win32System(const Win32System&) = delete;
  Win32System& operator=(const Win32System&) = delete;

  OsVersion Version() override;
  std::string SystemDirectory() override;
  std::string TempPath() override;
  std::string Environment(const std::string& name) override;
  std::string ProgramFolder() override;
  std::string ExeBaseName() override;
  DateTime Now() override;
  void Pause(unsigned milliseconds) override;
  std::string GeneralDate(const DateTime& t) override;
  std::string LocalWeekdayName(const DateTime& t) override;
  std::optional<std::string> AnsiOfUtf8(std::string_view utf8) override;
  bool LockRun(unsigned milliseconds) override;
  void UnlockRun() override;
  bool RunLocked() override { return runLocked_; }

 private:
  void* runMutex_ = nullptr;  // HANDLE, made at the first LockRun
  bool runLocked_ = false;
};

class Win32Shell final : public Shell {
 public:
  bool EmptyRecycleBin(std::uintptr_t owner) override;
  std::uint64_t RecycleBinItems() override;
  bool FlushDnsCache() override;
  std::string SpecialFolder(int csidl) override;
  std::string KnownFolderPath(KnownFolder folder) override;
  std::intptr_t Execute(std::uintptr_t owner, const std::string& verb, const std::string& file,
                        const std::string& parameters, const std::string& folder,
                        int show) override;
  std::intptr_t FindExecutable(const std::string& file, std::string& program) override;
  bool NotifyIcon(NotifyIconAction action, std::uintptr_t window, const std::string& tip) override;
};

class Win32Desktop final : public Desktop {
 public:
  Win32Desktop() = default;
  ~Win32Desktop() override;
  Win32Desktop(const Win32Desktop&) = delete;
  Win32Desktop& operator=(const Win32Desktop&) = delete;

  std::vector<WindowHandle> WindowsOfClass(const std::string& className) override;
  std::vector<TopLevelWindow> TopLevelWindows() override;
  void PostClose(WindowHandle window) override;
  std::uint32_t WindowProcess(WindowHandle window) override;
  std::vector<ProcessEntry> Processes() override;
  bool KeyDown(int virtualKey) override;
  bool EmptyClipboard(WindowHandle owner) override;
  bool ClipboardHistoryOn() override;
  bool ClearClipboardHistory() override;
  bool ClaimInstance() override;
  bool CallInstance(const std::string& formName) override;

 private:
  void* instanceMutex_ = nullptr;  // HANDLE, held from the claim on
};

class Win32Profile final : public Profile {
 public:
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& file) override;
  bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                   const std::string& file) override;
};

class Win32UrlHistory final : public UrlHistory {
 public:
  UrlHistoryObject Create() override;
  std::int32_t ClearHistory(UrlHistoryObject object) override;
  void Release(UrlHistoryObject object) override;
};

class Win32UrlCache final : public UrlCache {
 public:
  FindHandle FindFirst(void* entry, std::uint32_t& size) override;
  bool FindNext(FindHandle find, void* entry, std::uint32_t& size) override;
  void FindClose(FindHandle find) override;
  bool DeleteEntry(const std::string& url) override;
};

// SQLite is given the path in UTF-8, as it expects on Windows.
class Win32Databases final : public SqliteDatabases {
 protected:
  std::string FileName(const std::string& path) override;
};

}  // namespace nimbrel
