// Win32 implementation of platform/Files.h.
//
// The interface speaks the ANSI code page, as the rest of the program does;
// underneath, every call is the wide ("W") function. Only the wide functions
// accept the system's long-path form ("\\?\C:\..." and "\\?\UNC\server\share\..."),
// which reaches files whose full path is longer than MAX_PATH: a path that long
// is handed over in that form, every other path as it is spelt.
#include "platform/win32/Win32Platform.h"

#include "platform/Text.h"

#include <windows.h>
#include <winternl.h>

#include <utility>

namespace nimbrel {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// WriteFile takes a 32-bit count: larger writes go in pieces of this size.
constexpr std::size_t kMaxChunk = 1u << 30;
// From this length on a path takes the long-path form: CreateDirectory's limit
// (MAX_PATH less room for an 8.3 name) is the lowest of the ANSI calls.
constexpr std::size_t kLongPath = MAX_PATH - 12;

HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

FileHandle FromHandle(HANDLE h) {
  return h == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<FileHandle>(h);
}

std::uint64_t Join(DWORD high, DWORD low) {
  return (static_cast<std::uint64_t>(high) << 32) | low;
}

// ANSI code page <-> UTF-16. A path longer than any the system takes converts
// to nothing, and so names no file.
constexpr std::size_t kMaxText = 1u << 20;

std::wstring Wide(const std::string& text) {
  if (text.empty() || text.size() > kMaxText) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), size, out.data(), n);
  return out;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty() || text.size() > kMaxText) return std::string();
  const int size = static_cast<int>(text.size());
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), size, out.data(), n, nullptr, nullptr);
  return out;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// GetFullPathNameW: ".", "..", "/" and trailing dots and blanks undone; empty
// when it fails.
std::wstring FullPathW(const std::wstring& path) {
  if (path.empty()) return path;
  std::wstring buffer(MAX_PATH + 1, L'\0');
  DWORD n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(),
                             nullptr);
  if (n >= buffer.size()) {
    buffer.assign(n + 1, L'\0');
    n = GetFullPathNameW(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  }
  if (n == 0 || n >= buffer.size()) return std::wstring();
  buffer.resize(n);
  return buffer;
}

// A full path in the system's own spelling: a drive or share root followed by
// names joined by single backslashes, none of them "." or "..". Such a path
// means the same with the long-path prefix (which turns off the system's
// clean-up of a path) and keeps every name exactly as a listing spelt it.
bool IsPlainFullPath(const std::wstring& p) {
  std::size_t start;
  if (p.size() >= 3 && p[1] == L':' && p[2] == L'\\' &&
      ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z'))) {
    start = 3;
  } else if (StartsWith(p, L"\\\\") && p.size() > 2 && p[2] != L'?' && p[2] != L'.') {
    start = 2;
  } else {
    return false;
  }
  if (p.find(L'/') != std::wstring::npos) return false;
  while (start < p.size()) {
    std::size_t end = p.find(L'\\', start);
    if (end == std::wstring::npos) end = p.size();
    const std::wstring part = p.substr(start, end - start);
    // An empty part is a doubled backslash; a trailing backslash is allowed.
    if ((part.empty() && end != p.size() - 1) || part == L"." || part == L"..") return false;
    start = end + 1;
  }
  return true;
}

// The wide path the system calls are given: as spelt, or in the long-path
// form when it is long.
std::wstring LongForm(std::wstring p) {
  if (p.size() < kLongPath || StartsWith(p, L"\\\\?\\")) return p;
  if (!IsPlainFullPath(p)) p = FullPathW(p);
  if (p.size() >= 3 && p[1] == L':') return L"\\\\?\\" + p;
  if (StartsWith(p, L"\\\\.\\")) return L"\\\\?\\" + p.substr(4);
  if (StartsWith(p, L"\\\\")) return L"\\\\?\\UNC\\" + p.substr(2);
  return p;
}

// LongForm of an ANSI path. Empty (no file) for a path holding a NUL, which
// the system would cut short and so read as another path.
std::wstring SysPath(const std::string& path) {
  if (path.find('\0') != std::string::npos) return std::wstring();
  return LongForm(Wide(path));
}

// "\\?\C:\x" and "\\.\C:\x" as "C:\x", "\\?\UNC\server\share" as "\\server\share".
std::wstring WithoutDevicePrefix(const std::wstring& p) {
  if (StartsWith(p, L"\\\\?\\UNC\\")) return L"\\\\" + p.substr(8);
  if (StartsWith(p, L"\\\\?\\") || StartsWith(p, L"\\\\.\\") || StartsWith(p, L"\\??\\"))
    return p.substr(4);
  return p;
}

bool EqualsNoCaseW(std::wstring a, std::wstring b) {
  if (a.size() != b.size()) return false;
  if (a.empty()) return true;
  CharUpperBuffW(a.data(), static_cast<DWORD>(a.size()));
  CharUpperBuffW(b.data(), static_cast<DWORD>(b.size()));
  return a == b;
}

// `path` as SysPath or LongForm give it.
HANDLE OpenExisting(const std::wstring& path, DWORD access, DWORD flags) {
  if (path.empty()) return INVALID_HANDLE_VALUE;
  return CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
}

// A folder (or file) opened for its name only: no access to its data.
HANDLE OpenForName(const std::wstring& path) {
  return OpenExisting(path, 0, FILE_FLAG_BACKUP_SEMANTICS);
}

DWORD AttributesOf(const std::string& path) {
  const std::wstring p = SysPath(path);
  return p.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(p.c_str());
}

// Windows refuses to write, truncate or replace a read-only file; Wine running as
// root would not, so the attribute is checked first to behave the same on both.
bool IsReadOnly(const std::string& path) {
  const DWORD attributes = AttributesOf(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

bool WriteLoop(HANDLE h, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(size < kMaxChunk ? size : kMaxChunk);
    DWORD written = 0;
    if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0) return false;
    p += written;
    size -= written;
  }
  return true;
}

bool UnderWine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

// ntdll's file calls exist on every Windows version and under Wine, and each is
// one round trip: kernel32's wrappers add volume and drive-letter look-ups that
// Wine answers slowly (its mount manager is another process).
bool Query(HANDLE h, void* info, ULONG size, FILE_INFORMATION_CLASS kind) {
  IO_STATUS_BLOCK io;
  return NtQueryInformationFile(h, &io, info, size, kind) >= 0;
}

// The object name of an open file: "\??\C:\folder\name" under Wine,
// "\Device\HarddiskVolume1\folder\name" on Windows; empty when unknown.
std::wstring NtPathOf(HANDLE h) {
  std::vector<char> buffer(sizeof(OBJECT_NAME_INFORMATION) + 2 * MAX_PATH + 2);
  for (int attempt = 0; attempt < 3; ++attempt) {
    ULONG needed = 0;
    const NTSTATUS status = NtQueryObject(h, ObjectNameInformation, buffer.data(),
                                          static_cast<ULONG>(buffer.size()), &needed);
    if (status >= 0) {
      const UNICODE_STRING& name = reinterpret_cast<OBJECT_NAME_INFORMATION*>(buffer.data())->Name;
      return std::wstring(name.Buffer, name.Length / 2);
    }
    // A long name: the call says how much it needs, or else the largest name.
    const std::size_t more = needed > buffer.size() ? needed : sizeof(OBJECT_NAME_INFORMATION) + 65536;
    if (more <= buffer.size()) return std::wstring();
    buffer.resize(more);
  }
  return std::wstring();
}

// The object name of the path's folder, kept for the folder last asked
// about: a walk asks about its files in a row. Empty when it cannot be opened.
class FolderNames {
 public:
  std::wstring Of(const std::wstring& folder) {
    if (name_.empty() || !EqualsNoCaseW(folder_, folder)) {
      const HANDLE f = OpenForName(LongForm(folder));
      if (f == INVALID_HANDLE_VALUE) return std::wstring();
      name_ = NtPathOf(f);
      folder_ = folder;
      CloseHandle(f);
    }
    return name_;
  }

 private:
  std::wstring folder_, name_;
};

// Windows marks every link with the reparse attribute. Wine shows a file link
// as an ordinary file and an open follows it: the handle, whose object name is
// `actual`, then names the target, not `path`'s folder followed by its name
// (as listed). True when unknown.
bool ReachesElsewhere(const std::wstring& actual, const std::wstring& path) {
  std::wstring full = FullPathW(path);
  while (full.size() > 1 && full.back() == L'\\') full.pop_back();
  const auto cut = full.rfind(L'\\');
  if (full.empty() || cut == std::wstring::npos) return true;
  std::wstring folder = full.substr(0, cut);
  if (folder.find(L'\\') == std::wstring::npos) folder += L'\\';
  static FolderNames folders;
  std::wstring expected = folders.Of(folder);
  if (expected.empty() || actual.empty()) return true;
  if (expected.back() != L'\\') expected += L'\\';
  std::wstring name = full.substr(cut + 1);
  // A name given in its 8.3 form: the handle bears the long one the folder lists.
  if (!EqualsNoCaseW(actual, expected + name) && name.find(L'~') != std::wstring::npos) {
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW(LongForm(full).c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return true;
    FindClose(find);
    name = entry.cFileName;
  }
  return !EqualsNoCaseW(actual, expected + name);
}

// The DOS path the system resolved an open file or folder to, links along
// the way followed: GetFinalPathNameByHandleW where it exists (Vista on),
// the object name under Wine; empty on older systems.
std::wstring ResolvedName(HANDLE h) {
  using FinalPath = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
  static const auto finalPath = reinterpret_cast<FinalPath>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleW")));
  if (finalPath) {
    std::wstring buffer(MAX_PATH + 1, L'\0');
    DWORD n = finalPath(h, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    if (n >= buffer.size()) {
      buffer.assign(n + 1, L'\0');
      n = finalPath(h, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    }
    if (n > 0 && n < buffer.size()) return WithoutDevicePrefix(buffer.substr(0, n));
  }
  if (UnderWine()) return WithoutDevicePrefix(NtPathOf(h));
  return std::wstring();
}

// GetLongPathNameW: 8.3 names along the path made long; the path itself
// when that cannot be done.
std::wstring LongNames(const std::wstring& full) {
  const std::wstring p = LongForm(full);
  if (p.empty()) return full;
  std::wstring buffer(MAX_PATH + 1, L'\0');
  DWORD n = GetLongPathNameW(p.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n >= buffer.size()) {
    buffer.assign(n + 1, L'\0');
    n = GetLongPathNameW(p.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  if (n == 0 || n >= buffer.size()) return full;
  return WithoutDevicePrefix(buffer.substr(0, n));
}

// The name a listing gives an entry: its long name, or its 8.3 name when the
// ANSI code page cannot spell the long one (the ANSI name would hold "?",
// which reads as a wildcard).
std::string ListedName(const WIN32_FIND_DATAW& data) {
  const std::wstring name = data.cFileName;
  const std::string ansi = Narrow(name);
  if (Wide(ansi) == name || data.cAlternateFileName[0] == L'\0') return ansi;
  return Narrow(std::wstring(data.cAlternateFileName));
}

FileFailure FailureOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_NO_MORE_FILES:
      return FileFailure::None;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
      return FileFailure::InUse;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD:
      return FileFailure::AccessDenied;
    default:
      return FileFailure::Other;
  }
}

}  // namespace

bool Win32Files::Note(bool ok) {
  // Nothing found to work on is no failure: nothing stays.
  failure_ = ok ? FileFailure::None : FailureOf(GetLastError());
  return ok;
}

std::string Win32Files::CanonicalPath(const std::string& path) {
  Settle();
  return NoThrow(std::string(), [&] {
    if (path.find('\0') != std::string::npos) return std::string();
    std::wstring p = Wide(path);
    for (wchar_t& c : p)
      if (c == L'/') c = L'\\';
    // Makes it full: ".", "..", trailing dots and blanks undone.
    std::wstring canonical = FullPathW(WithoutDevicePrefix(p));
    if (canonical.empty()) return std::string();
    canonical = LongNames(canonical);
    const HANDLE h = OpenForName(LongForm(canonical));
    if (h != INVALID_HANDLE_VALUE) {
      const std::wstring resolved = ResolvedName(h);
      CloseHandle(h);
      if (!resolved.empty()) canonical = resolved;
    }
    while (canonical.size() > 3 && canonical.back() == L'\\') canonical.pop_back();
    return Narrow(canonical);
  });
}

bool Win32Files::IsUnder(FileHandle file, const std::string& folder) {
  return file != 0 && NoThrow(false, [&] {
    // Object names compare on every system: "\??\C:\..." under Wine,
    // "\Device\HarddiskVolume1\..." on Windows. A walk asks about its base
    // for every file.
    static FolderNames folders;
    const std::wstring base = folders.Of(Wide(folder));
    const auto known = opened_.find(file);
    const std::wstring name = known != opened_.end() && !known->second.empty()
                                  ? known->second
                                  : NtPathOf(ToHandle(file));
    if (base.empty() || name.size() <= base.size()) return false;
    const bool sep = base.back() == L'\\';
    return EqualsNoCaseW(name.substr(0, base.size()), base) &&
           (sep || name[base.size()] == L'\\');
  });
}

std::vector<FileEntry> Win32Files::Find(const std::string& pattern) {
  Settle();
  std::vector<FileEntry> out;
  failure_ = FileFailure::None;
  const std::wstring p = SysPath(pattern);
  if (p.empty()) return out;
  WIN32_FIND_DATAW data;
  const HANDLE find = FindFirstFileW(p.c_str(), &data);
  if (!Note(find != INVALID_HANDLE_VALUE)) return out;
  NoThrow(false, [&] {
    do {
      out.push_back({ListedName(data), data.dwFileAttributes,
                     Join(data.nFileSizeHigh, data.nFileSizeLow)});
    } while (FindNextFileW(find, &data));
    return true;
  });
  FindClose(find);
  return out;
}

std::uint32_t Win32Files::Attributes(const std::string& path) {
  Settle();
  return AttributesOf(path);
}

bool Win32Files::SetAttributes(const std::string& path, std::uint32_t attributes) {
  Settle();
  const std::wstring p = SysPath(path);
  return !p.empty() && SetFileAttributesW(p.c_str(), attributes) != 0;
}

bool Win32Files::IsLink(const std::string& path) {
  Settle();
  const DWORD attributes = AttributesOf(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
  if (!UnderWine()) return false;
  return NoThrow(true, [&] {
    std::wstring full = FullPathW(Wide(path));
    while (full.size() > 1 && full.back() == L'\\') full.pop_back();
    const auto cut = full.rfind(L'\\');
    if (full.empty() || cut == std::wstring::npos) return full.empty();  // a drive root
    WIN32_FIND_DATAW entry;
    const HANDLE find = FindFirstFileW(LongForm(full).c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return true;
    FindClose(find);
    const HANDLE h = OpenForName(LongForm(full));
    if (h == INVALID_HANDLE_VALUE) return true;
    const bool elsewhere = ReachesElsewhere(NtPathOf(h), full.substr(0, cut + 1) + entry.cFileName);
    CloseHandle(h);
    return elsewhere;
  });
}

std::uint32_t Win32Files::LinkCount(const std::string& path) {
  Settle();
  const HANDLE h = OpenExisting(SysPath(path), 0,
                                FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS);
  if (h == INVALID_HANDLE_VALUE) return 0;
  FILE_STANDARD_INFORMATION standard;
  const bool known = Query(h, &standard, sizeof standard, FileStandardInformation);
  CloseHandle(h);
  return known && !standard.Directory ? standard.NumberOfLinks : 0;
}

bool Win32Files::HeldOpen(const std::string& path) {
  Settle();
  const std::wstring p = SysPath(path);
  if (p.empty()) return false;
  // Asking for the right to delete meets a holder that shares no deleting.
  const HANDLE h = CreateFileW(p.c_str(), DELETE, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

ErasableFile Win32Files::OpenForErase(const std::string& path) {
  // Opened for deleting as well as writing: a file that cannot be deleted (in
  // use by a program that does not share it for deleting) is not overwritten
  // either, so it is never left overwritten under its name.
  const HANDLE h =
      OpenExisting(SysPath(path), GENERIC_WRITE | DELETE, FILE_FLAG_OPEN_REPARSE_POINT);
  if (!Note(h != INVALID_HANDLE_VALUE)) {
    const FileFailure failure = failure_;
    const ErasableFile refused{0, IsLink(path), 0};
    failure_ = failure;
    return refused;
  }
  FILE_BASIC_INFORMATION basic;
  FILE_STANDARD_INFORMATION standard;
  ErasableFile out;
  std::wstring name;
  out.link = !Query(h, &basic, sizeof basic, FileBasicInformation) ||
             !Query(h, &standard, sizeof standard, FileStandardInformation) ||
             (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
             (UnderWine() && NoThrow(true, [&] {
                name = NtPathOf(h);
                return ReachesElsewhere(name, Wide(path));
              }));
  // Windows refuses to write a read-only file; Wine running as root would not.
  if (out.link || (basic.FileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    CloseHandle(h);
    if (!out.link) failure_ = FileFailure::AccessDenied;
    return out;
  }
  out.handle = FromHandle(h);
  out.links = standard.NumberOfLinks;
  // Unrecorded (no memory), the file is only asked about again.
  NoThrow(false, [&] { return opened_.insert_or_assign(out.handle, std::move(name)).second; });
  return out;
}

std::optional<std::uint64_t> Win32Files::Size(const std::string& path) {
  Settle();
  const std::wstring p = SysPath(path);
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (p.empty() || !GetFileAttributesExW(p.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return Join(data.nFileSizeHigh, data.nFileSizeLow);
}

bool Win32Files::Write(FileHandle file, const void* data, std::size_t size) {
  return file != 0 && WriteLoop(ToHandle(file), data, size);
}

bool Win32Files::Seek(FileHandle file, std::uint64_t position) {
  if (file == 0 || position > static_cast<std::uint64_t>(INT64_MAX)) return false;
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(position);
  return SetFilePointerEx(ToHandle(file), to, nullptr, FILE_BEGIN) != 0;
}

bool Win32Files::Flush(FileHandle file) {
  if (file == 0 || !FlushFileBuffers(ToHandle(file))) return false;
  closer_.Flushed(ToHandle(file));
  return true;
}

void Win32Files::Close(FileHandle file) { OverwriteAndClose(file, {}); }

void Win32Files::OverwriteAndClose(FileHandle file, std::vector<ErasePass> passes) {
  if (!file) return;
  opened_.erase(file);
  closer_.Close(ToHandle(file), std::move(passes));
}

bool Win32Files::DeleteOnClose(FileHandle file) {
  failure_ = FileFailure::Other;
  if (file == 0) return false;
  // OpenForErase asks for the right to delete; any other handle is asked.
  if (!opened_.contains(file)) {
    OBJECT_BASIC_INFORMATION info;
    if (NtQueryObject(ToHandle(file), ObjectBasicInformation, &info, sizeof info, nullptr) < 0)
      return false;
    if (!(info.GrantedAccess & DELETE)) {
      failure_ = FileFailure::AccessDenied;
      return false;
    }
  }
  if (!closer_.DeleteWhenClosed(ToHandle(file))) return false;
  failure_ = FileFailure::None;
  return true;
}

bool Win32Files::Delete(const std::string& path) {
  Settle();
  const std::wstring p = SysPath(path);
  if (p.empty()) {
    failure_ = FileFailure::None;  // names no file
    return false;
  }
  return Note(DeleteFileW(p.c_str()) != 0);
}

bool Win32Files::DeleteAtReboot(const std::string& path) {
  Settle();
  return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

bool Win32Files::CreateFolder(const std::string& path) {
  Settle();
  const std::wstring p = SysPath(path);
  return !p.empty() && CreateDirectoryW(p.c_str(), nullptr) != 0;
}

bool Win32Files::RemoveFolder(const std::string& path) {
  Settle();
  const std::wstring p = SysPath(path);
  if (p.empty()) {
    failure_ = FileFailure::None;  // names no folder
    return false;
  }
  return Note(RemoveDirectoryW(p.c_str()) != 0);
}

bool Win32Files::Replace(const std::string& from, const std::string& to) {
  Settle();
  if (IsReadOnly(to)) return false;
  const std::wstring f = SysPath(from), t = SysPath(to);
  return !f.empty() && !t.empty() &&
         MoveFileExW(f.c_str(), t.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

namespace {

// Opens the program's own file for writing, made when missing: never a link,
// a file reached through one, or a file with another name elsewhere, each
// judged on the handle (nothing is written before). INVALID_HANDLE_VALUE when
// it cannot be opened so.
HANDLE OpenOwnFile(const std::string& path) {
  if (IsReadOnly(path)) return INVALID_HANDLE_VALUE;
  const std::wstring p = SysPath(path);
  if (p.empty()) return INVALID_HANDLE_VALUE;
  const HANDLE h = CreateFileW(p.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return h;
  FILE_BASIC_INFORMATION basic;
  FILE_STANDARD_INFORMATION standard;
  const bool link = !Query(h, &basic, sizeof basic, FileBasicInformation) ||
                    !Query(h, &standard, sizeof standard, FileStandardInformation) ||
                    (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
                    standard.NumberOfLinks != 1 ||
                    (UnderWine() && NoThrow(true, [&] { return ReachesElsewhere(NtPathOf(h), Wide(path)); }));
  if (!link) return h;
  CloseHandle(h);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

bool Win32Files::Append(const std::string& path, const std::string& bytes) {
  Settle();
  const HANDLE h = OpenOwnFile(path);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER zero{};
  bool ok = SetFilePointerEx(h, zero, nullptr, FILE_END) != 0 &&
            WriteLoop(h, bytes.data(), bytes.size());
  if (!CloseHandle(h)) ok = false;
  return ok;
}

std::optional<std::string> Win32Files::ReadAll(const std::string& path) {
  Settle();
  const HANDLE h = OpenExisting(SysPath(path), GENERIC_READ, FILE_ATTRIBUTE_NORMAL);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  auto result = NoThrow(std::optional<std::string>(), [&]() -> std::optional<std::string> {
    std::string out;
    LARGE_INTEGER size;
    if (GetFileSizeEx(h, &size) && size.QuadPart > 0 &&
        static_cast<std::uint64_t>(size.QuadPart) < out.max_size())
      out.reserve(static_cast<std::size_t>(size.QuadPart));
    char buffer[64 * 1024];
    for (;;) {
      DWORD got = 0;
      if (!ReadFile(h, buffer, sizeof buffer, &got, nullptr)) return std::nullopt;
      if (got == 0) return out;
      out.append(buffer, got);
    }
  });
  CloseHandle(h);
  return result;
}

bool Win32Files::WriteAll(const std::string& path, const std::string& bytes) {
  Settle();
  const HANDLE h = OpenOwnFile(path);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = SetEndOfFile(h) != 0 && WriteLoop(h, bytes.data(), bytes.size());
  if (!CloseHandle(h)) ok = false;
  return ok;
}

}  // namespace nimbrel
