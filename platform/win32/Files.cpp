// Win32 implementation of platform/Files.h.
#include "platform/win32/Win32Platform.h"

#include "platform/Text.h"

#include <windows.h>

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

using FinalPathApi = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);

// GetFinalPathNameByHandleA: Vista and later, and Wine.
FinalPathApi LookUpFinalPath() {
  static const FinalPathApi api = [] {
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const FARPROC proc = kernel ? GetProcAddress(kernel, "GetFinalPathNameByHandleA") : nullptr;
    return reinterpret_cast<FinalPathApi>(reinterpret_cast<void (*)()>(proc));
  }();
  return api;
}

// The path the system reaches when it opens `path` following links; empty when unknown.
std::string FinalPath(FinalPathApi api, const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return std::string();
  std::string buffer(MAX_PATH + 1, '\0');
  DWORD n = api(h, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  if (n >= buffer.size()) {
    buffer.assign(n + 1, '\0');
    n = api(h, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  }
  CloseHandle(h);
  if (n == 0 || n >= buffer.size()) return std::string();
  buffer.resize(n);
  return buffer;
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

}  // namespace

std::vector<FileEntry> Win32Files::Find(const std::string& pattern) {
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
  return GetFileAttributesA(path.c_str());
}

bool Win32Files::SetAttributes(const std::string& path, std::uint32_t attributes) {
  return SetFileAttributesA(path.c_str(), attributes) != 0;
}

std::uint32_t Win32Files::LinkCount(const std::string& path) {
  // No access needed for the information; a link is opened itself, not followed.
  HANDLE h = CreateFileA(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  // The standard information (Vista and later) holds the count without the
  // volume query of GetFileInformationByHandle, which is slow under Wine.
  struct StandardInfo {
    LARGE_INTEGER allocationSize, endOfFile;
    DWORD numberOfLinks;
    BOOLEAN deletePending, directory;
  };
  using GetInfoEx = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
  static const auto getInfoEx = reinterpret_cast<GetInfoEx>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFileInformationByHandleEx")));
  constexpr int kFileStandardInfo = 1;
  std::uint32_t links = 0;
  StandardInfo standard;
  BY_HANDLE_FILE_INFORMATION info;
  if (getInfoEx && getInfoEx(h, kFileStandardInfo, &standard, sizeof standard)) {
    links = standard.numberOfLinks;
  } else if (GetFileInformationByHandle(h, &info)) {
    links = info.nNumberOfLinks;
  }
  CloseHandle(h);
  return links;
}

bool Win32Files::IsLink(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return true;
  // Windows marks every link with the attribute. Wine shows a file link as an
  // ordinary file; opened, it resolves to its target, so its final path is not
  // its folder's final path followed by its own name.
  const FinalPathApi api = LookUpFinalPath();
  if (!UnderWine() || !api) return false;
  return NoThrow(true, [&] {
    std::string full = FullPath(path);
    while (full.size() > 1 && full.back() == '\\') full.pop_back();
    const auto cut = full.rfind('\\');
    if (full.empty() || cut == std::string::npos) return full.empty();  // a drive root
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(full.c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return true;
    FindClose(find);
    std::string folder = full.substr(0, cut);
    if (folder.find('\\') == std::string::npos) folder += '\\';
    // Kept for the folder last asked about: a tree walk asks for each of its
    // files in a row, and every lookup is two round trips to the wineserver.
    static std::string cachedFolder, cachedFinal;
    if (cachedFinal.empty() || cachedFolder != folder) {
      cachedFinal = FinalPath(api, folder);
      cachedFolder = folder;
    }
    std::string expected = cachedFinal;
    const std::string actual = FinalPath(api, full);
    if (expected.empty() || actual.empty()) return true;
    if (expected.back() != '\\') expected += '\\';
    return !EqualsNoCase(actual, expected + entry.cFileName);
  });
}

std::optional<std::uint64_t> Win32Files::Size(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return Join(data.nFileSizeHigh, data.nFileSizeLow);
}

FileHandle Win32Files::OpenForOverwrite(const std::string& path) {
  if (IsReadOnly(path)) return 0;
  return FromHandle(CreateFileA(path.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
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

void Win32Files::Close(FileHandle file) {
  if (file) CloseHandle(ToHandle(file));
}

bool Win32Files::Delete(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool Win32Files::CreateFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool Win32Files::RemoveFolder(const std::string& path) {
  return RemoveDirectoryA(path.c_str()) != 0;
}

bool Win32Files::Replace(const std::string& from, const std::string& to) {
  if (IsReadOnly(to)) return false;
  return MoveFileExA(from.c_str(), to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32Files::Append(const std::string& path, const std::string& bytes) {
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
  if (IsReadOnly(path)) return false;
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = WriteLoop(h, bytes.data(), bytes.size());
  if (!CloseHandle(h)) ok = false;
  return ok;
}

}  // namespace nimbrel
