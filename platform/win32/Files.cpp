// Win32 implementation of platform/Files.h.
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

HANDLE ToHandle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

FileHandle FromHandle(HANDLE h) {
  return h == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<FileHandle>(h);
}

std::uint64_t Join(DWORD high, DWORD low) {
  return (static_cast<std::uint64_t>(high) << 32) | low;
}

// Windows refuses to write, truncate or replace a read-only file; Wine running as
// root would not, so the attribute is checked first to behave the same on both.
bool IsReadOnly(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
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

// The object name of an open file ("\??\C:\folder\name" under Wine) in the
// ANSI code page; empty when unknown.
std::string NtPathOf(HANDLE h) {
  std::vector<char> buffer(sizeof(OBJECT_NAME_INFORMATION) + 2 * MAX_PATH + 2);
  for (int attempt = 0; attempt < 2; ++attempt) {
    ULONG needed = 0;
    const NTSTATUS status = NtQueryObject(h, ObjectNameInformation, buffer.data(),
                                          static_cast<ULONG>(buffer.size()), &needed);
    if (status >= 0) {
      const UNICODE_STRING& name = reinterpret_cast<OBJECT_NAME_INFORMATION*>(buffer.data())->Name;
      const int chars = name.Length / 2;
      const int n = WideCharToMultiByte(CP_ACP, 0, name.Buffer, chars, nullptr, 0, nullptr, nullptr);
      std::string out(static_cast<std::size_t>(n), '\0');
      if (n > 0) WideCharToMultiByte(CP_ACP, 0, name.Buffer, chars, out.data(), n, nullptr, nullptr);
      return out;
    }
    if (needed <= buffer.size()) return std::string();
    buffer.resize(needed);
  }
  return std::string();
}

std::string FullPath(const std::string& path) {
  std::string buffer(MAX_PATH + 1, '\0');
  DWORD n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(),
                             nullptr);
  if (n >= buffer.size()) {
    buffer.assign(n + 1, '\0');
    n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  }
  if (n == 0 || n >= buffer.size()) return std::string();
  buffer.resize(n);
  return buffer;
}

// Windows marks every link with the reparse attribute. Wine shows a file link
// as an ordinary file and an open follows it: the handle then names the target,
// not `path`'s folder followed by its name (as listed). True when unknown.
bool ReachesElsewhere(HANDLE h, const std::string& path) {
  std::string full = FullPath(path);
  while (full.size() > 1 && full.back() == '\\') full.pop_back();
  const auto cut = full.rfind('\\');
  if (full.empty() || cut == std::string::npos) return true;
  std::string folder = full.substr(0, cut);
  if (folder.find('\\') == std::string::npos) folder += '\\';
  // Kept for the folder last asked about: a tree walk asks for each of its
  // files in a row.
  static std::string cachedFolder, cachedName;
  if (cachedName.empty() || cachedFolder != folder) {
    HANDLE f = CreateFileA(folder.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (f == INVALID_HANDLE_VALUE) return true;
    cachedName = NtPathOf(f);
    cachedFolder = folder;
    CloseHandle(f);
  }
  std::string expected = cachedName;
  const std::string actual = NtPathOf(h);
  if (expected.empty() || actual.empty()) return true;
  if (expected.back() != '\\') expected += '\\';
  return !EqualsNoCase(actual, expected + full.substr(cut + 1));
}

// "\\?\C:\x" and "\\.\C:\x" as "C:\x", "\\?\UNC\server\share" as "\\server\share".
std::string WithoutDevicePrefix(std::string p) {
  if (p.rfind("\\\\?\\UNC\\", 0) == 0) return "\\\\" + p.substr(8);
  if (p.rfind("\\\\?\\", 0) == 0 || p.rfind("\\\\.\\", 0) == 0 || p.rfind("\\??\\", 0) == 0)
    return p.substr(4);
  return p;
}

// The DOS path the system resolved an open file or folder to, links along
// the way followed: GetFinalPathNameByHandleA where it exists (Vista on),
// the object name under Wine; empty on older systems.
std::string ResolvedName(HANDLE h) {
  using FinalPath = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
  static const auto finalPath = reinterpret_cast<FinalPath>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
  if (finalPath) {
    std::string buffer(MAX_PATH + 1, '\0');
    DWORD n = finalPath(h, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    if (n >= buffer.size()) {
      buffer.assign(n + 1, '\0');
      n = finalPath(h, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
    }
    if (n > 0 && n < buffer.size()) return WithoutDevicePrefix(buffer.substr(0, n));
  }
  if (UnderWine()) return WithoutDevicePrefix(NtPathOf(h));
  return std::string();
}

}  // namespace

std::string Win32Files::CanonicalPath(const std::string& path) {
  Settle();
  return NoThrow(std::string(), [&] {
    std::string p = path;
    for (char& c : p)
      if (c == '/') c = '\\';
    // Makes it full: ".", "..", trailing dots and blanks undone.
    std::string canonical = FullPath(WithoutDevicePrefix(p));
    if (canonical.empty()) return canonical;
    std::string buffer(MAX_PATH + 1, '\0');
    DWORD n = GetLongPathNameA(canonical.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n >= buffer.size()) {
      buffer.assign(n + 1, '\0');
      n = GetLongPathNameA(canonical.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    }
    if (n > 0 && n < buffer.size()) canonical = buffer.substr(0, n);
    HANDLE h = CreateFileA(canonical.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      const std::string resolved = ResolvedName(h);
      CloseHandle(h);
      if (!resolved.empty()) canonical = resolved;
    }
    while (canonical.size() > 3 && canonical.back() == '\\') canonical.pop_back();
    return canonical;
  });
}

bool Win32Files::IsUnder(FileHandle file, const std::string& folder) {
  return file != 0 && NoThrow(false, [&] {
    // Object names compare on every system: "\??\C:\..." under Wine,
    // "\Device\HarddiskVolume1\..." on Windows. The folder's is kept for the
    // folder last asked about: a walk asks about its base for every file.
    static std::string cachedFolder, cachedName;
    if (cachedName.empty() || !EqualsNoCase(cachedFolder, folder)) {
      HANDLE f = CreateFileA(folder.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS, nullptr);
      if (f == INVALID_HANDLE_VALUE) return false;
      cachedName = NtPathOf(f);
      cachedFolder = folder;
      CloseHandle(f);
    }
    const std::string name = NtPathOf(ToHandle(file));
    if (cachedName.empty() || name.size() <= cachedName.size()) return false;
    const bool sep = cachedName.back() == '\\';
    return EqualsNoCase(name.substr(0, cachedName.size()), cachedName) &&
           (sep || name[cachedName.size()] == '\\');
  });
}

std::vector<FileEntry> Win32Files::Find(const std::string& pattern) {
  Settle();
  std::vector<FileEntry> out;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA(pattern.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return out;
  NoThrow(false, [&] {
    do {
      out.push_back({data.cFileName, data.dwFileAttributes,
                     Join(data.nFileSizeHigh, data.nFileSizeLow)});
    } while (FindNextFileA(find, &data));
    return true;
  });
  FindClose(find);
  return out;
}

std::uint32_t Win32Files::Attributes(const std::string& path) {
  Settle();
  return GetFileAttributesA(path.c_str());
}

bool Win32Files::SetAttributes(const std::string& path, std::uint32_t attributes) {
  Settle();
  return SetFileAttributesA(path.c_str(), attributes) != 0;
}

bool Win32Files::IsLink(const std::string& path) {
  Settle();
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
  if (!UnderWine()) return false;
  return NoThrow(true, [&] {
    std::string full = FullPath(path);
    while (full.size() > 1 && full.back() == '\\') full.pop_back();
    const auto cut = full.rfind('\\');
    if (full.empty() || cut == std::string::npos) return full.empty();  // a drive root
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(full.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return true;
    FindClose(find);
    HANDLE h = CreateFileA(full.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return true;
    const bool elsewhere = ReachesElsewhere(h, full.substr(0, cut + 1) + entry.cFileName);
    CloseHandle(h);
    return elsewhere;
  });
}

ErasableFile Win32Files::OpenForErase(const std::string& path) {
  const auto open = [&](DWORD access) {
    return CreateFileA(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  };
  HANDLE h = open(GENERIC_WRITE | DELETE);
  ErasableFile out;
  // A file in use that its user shares for writing but not for deleting is
  // still overwritten; DeleteOnClose then fails, as DeleteFileA would.
  if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION) {
    h = open(GENERIC_WRITE);
    out.deletable = false;
  }
  if (h == INVALID_HANDLE_VALUE) return {0, IsLink(path), 0};
  FILE_BASIC_INFORMATION basic;
  FILE_STANDARD_INFORMATION standard;
  out.link = !Query(h, &basic, sizeof basic, FileBasicInformation) ||
             !Query(h, &standard, sizeof standard, FileStandardInformation) ||
             (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
             (UnderWine() && NoThrow(true, [&] { return ReachesElsewhere(h, path); }));
  // Windows refuses to write a read-only file; Wine running as root would not.
  if (out.link || (basic.FileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    CloseHandle(h);
    return out;
  }
  out.handle = FromHandle(h);
  out.links = standard.NumberOfLinks;
  return out;
}

std::optional<std::uint64_t> Win32Files::Size(const std::string& path) {
  Settle();
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
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
  return file != 0 && FlushFileBuffers(ToHandle(file)) != 0;
}

void Win32Files::Close(FileHandle file) { OverwriteAndClose(file, {}); }

void Win32Files::OverwriteAndClose(FileHandle file, std::vector<ErasePass> passes) {
  if (file) closer_.Close(ToHandle(file), std::move(passes));
}

bool Win32Files::DeleteOnClose(FileHandle file) {
  return file != 0 && closer_.DeleteWhenClosed(ToHandle(file));
}

bool Win32Files::Delete(const std::string& path) {
  Settle();
  return DeleteFileA(path.c_str()) != 0;
}

bool Win32Files::DeleteAtReboot(const std::string& path) {
  Settle();
  return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

bool Win32Files::CreateFolder(const std::string& path) {
  Settle();
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool Win32Files::RemoveFolder(const std::string& path) {
  Settle();
  return RemoveDirectoryA(path.c_str()) != 0;
}

bool Win32Files::Replace(const std::string& from, const std::string& to) {
  Settle();
  if (IsReadOnly(to)) return false;
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32Files::Append(const std::string& path, const std::string& bytes) {
  Settle();
  if (IsReadOnly(path)) return false;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER zero{};
  bool ok = SetFilePointerEx(h, zero, nullptr, FILE_END) != 0 &&
            WriteLoop(h, bytes.data(), bytes.size());
  if (!CloseHandle(h)) ok = false;
  return ok;
}

std::optional<std::string> Win32Files::ReadAll(const std::string& path) {
  Settle();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::nullopt;
  auto result = NoThrow(std::optional<std::string>(), [&]() -> std::optional<std::string> {
    std::string out;
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
  if (IsReadOnly(path)) return false;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteLoop(h, bytes.data(), bytes.size());
  if (!CloseHandle(h)) ok = false;
  return ok;
}

}  // namespace nimbrel
